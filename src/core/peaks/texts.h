// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

#pragma once
// The fixed texts of the peak analyser: the design texts of its controls, its wait captions and every
// message it shows, and the one failure type of its operations.

#include "core/common/errors.h"

#include <stdexcept>
#include <string>
#include <string_view>

namespace kestrana::peaks {

// Design texts of the screen's controls.
inline constexpr std::string_view kScreenTitle = "PEAK ANALYZER";
inline constexpr std::string_view kDefaultRunPath = "D:\\bbb\\shtd0201.run";
inline constexpr std::string_view kDefaultParameter = "UN2L";
inline constexpr std::string_view kDefaultLimit = "15";
inline constexpr std::string_view kColumnHeaderCaption =
    "  KM_fr      KM_to         1st Peak  2nd  Peak  3rd Peak   4th Peak    5th Peak   6th Peak    7th Peak"
    "   8th Peak";

// The wait label while PROCESS DATA and SHOW DETAILS run.
inline constexpr std::string_view kReadingWaitCaption = "Please wait.Data reading in progress....";
inline constexpr std::string_view kProcessingWaitCaption = "Please wait.Processing data....";

// The closing message of a PROCESS DATA that built the database.
inline constexpr std::string_view kDatabaseGeneratedMessage = "Peak Database generated";

// Why PROCESS DATA stopped. The old database stays in place whenever one of these is shown.
inline constexpr std::string_view kRunFileFailedMessage =
    "Could not open the run file. Please type file name correctly. Peak Database not generated.";
inline constexpr std::string_view kScratchFailedMessage =
    "Could not write the scratch files. Peak Database not generated.";
inline constexpr std::string_view kDatabaseFailedMessage =
    "Could not create the Peak Database. Peak Database not generated.";
inline constexpr std::string_view kBadNumberMessage =
    "A peak record holds a value that is not a whole number from -32768 to 32767. Peak Database not "
    "generated.";
inline constexpr std::string_view kRecordTooLongMessage =
    "A peak record holds more than 26 numbers. Peak Database not generated.";
inline constexpr std::string_view kRecordCutShortMessage =
    "The peak records end inside a record. Peak Database not generated.";
// A run without a single peak pair: an empty database would read as kilometres without a peak.
inline std::string noPeakRecordsMessage(std::string_view runPath) {
    return "The file " + std::string(runPath) + " holds no peak records. Peak Database not generated.";
}

// Why SHOW DETAILS refused to walk the kilometres.
inline constexpr std::string_view kRangeTooWideMessage = " Range too wide. Please select within 50 kms";
inline constexpr std::string_view kEmptyRangeMessage = " Range is empty. Please select two different kms";
inline constexpr std::string_view kBadKmMessage =
    " Km - From and Km - to must be numbers from -32768 to 32767";
inline constexpr std::string_view kBadLimitMessage =
    " Parameter Limiting Value must be a number from -32768 to 32767";
inline constexpr std::string_view kUnknownParameterMessage =
    " Unknown parameter. Please select a parameter from the list";
inline constexpr std::string_view kNoDatabaseMessage = " No Peak Database found. Please PROCESS DATA first";
inline constexpr std::string_view kDatabaseReplacedMessage =
    " The Peak Database was rebuilt by another Kestrana using this home folder. Please PROCESS DATA again";

// PRINT DETAILS asks for a title with these texts.
inline constexpr std::string_view kPrintTitlePrompt = "Enter Title (if any) to be printed on the hard copy";
inline constexpr std::string_view kPrintTitleBoxTitle = "print Details";
inline constexpr std::string_view kPrintTitleDefault = " ";

} // namespace kestrana::peaks
