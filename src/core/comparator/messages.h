// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

#pragma once
// Every text the comparator shows in a message box or writes into its lists. The screen shows the
// messages in modal boxes with one OK button; the command-line front end prints the message of a
// refusal as the first line of its error output.

#include <string>
#include <string_view>

namespace kestrana::comparator {

// olderRunCountEdit edited to a number outside 1 to 3 (the trailing blank belongs to the text).
inline constexpr std::string_view kEnterOneToThreeMessage = "Please enter between 1 and 3 ";
// PROCESS DATA: any failure while the runs are loaded.
inline constexpr std::string_view kCouldNotOpenMessage =
    "Could not open file. Please type file name correctly.";
// PROCESS DATA: the combo box holds a text that is none of the five names. Refused before the old
// database is touched, because loading it would fill every run with zeros.
inline constexpr std::string_view kUnknownParameterMessage =
    "Please choose the compare parameter from the list: TGI, TGIU, TGIW, TGIG or TGIL";
// PROCESS DATA: the run database could not be made (the reason follows it).
inline constexpr std::string_view kDatabaseNotCreatedMessage =
    "Could not create the run database. Please check the disk and try again.";

// COMPARE: more than 100 km between From and To.
inline constexpr std::string_view kRangeTooWideMessage = "Range too wide. Please select range within 100 kms";
// COMPARE: a km box that holds no number of the 16-bit range.
inline constexpr std::string_view kKmNotNumberMessage =
    "Please type Km - From and Km - To as numbers between -32768 and 32767";
// COMPARE: the listing's first or last km would leave the 16-bit range (only a range of zero length at
// the very ends of the range can do that).
inline constexpr std::string_view kKmOutOfLimitsMessage =
    "Km range out of limits. Please select kms between -32767 and 32766";
// COMPARE: the runs do not all go the same way, by the number of older runs.
inline constexpr std::string_view kNotSameDirection2Message =
    "Can not compare as both recordings not in same direction";
inline constexpr std::string_view kNotSameDirection3Message =
    "Can not compare as the three recordings not in same direction";
inline constexpr std::string_view kNotSameDirection4Message =
    "Can not compare as the four recordings not in same direction";
// COMPARE: a run whose first kilometre line does not step by exactly one km up or down. The listing
// walks the kms by that step, so it could never finish.
inline constexpr std::string_view kUnknownDirectionMessage =
    "Can not compare as a recording does not run over rising or falling kms (its first km line must step by "
    "1 km)";
// COMPARE: the run database is missing or lacks a run's table (the reason follows it).
inline constexpr std::string_view kDatabaseUnreadableMessage =
    "Could not read the run database. Please press PROCESS DATA again.";
// COMPARE: the run database is no longer the one PROCESS DATA made here (another program using the same
// home folder rebuilt it), so it holds other runs.
inline constexpr std::string_view kDatabaseReplacedMessage =
    "The run database was rebuilt by another Kestrana using this home folder. Please press PROCESS DATA "
    "again.";
// kestrana-cli compare: the per-km averages could not be read (the screen leaves its chart as it was).
inline constexpr std::string_view kChartFailedMessage = "Could not make the comparison chart.";
// SAVE DETAILS: the report file could not be written (the reason follows it).
inline constexpr std::string_view kReportNotSavedMessage =
    "Could not save the details. Please choose another file name.";

// "File for TRC Run(k) successfully opened", shown after slot k has loaded.
std::string slotOpenedMessage(int slot);

// The heading line of headingList.
inline constexpr std::string_view kListingHeading = "From  -  To       Blk";
// A listing cell of a block that the run lacks.
inline constexpr std::string_view kNotAvailable = "NA";

// The title prompt of PRINT DETAILS and PRINT GRAPH ("Comparision" as the screens spell it).
inline constexpr std::string_view kTitlePrompt = " Enter Title ( if any ) to be printed on the hard copy";
inline constexpr std::string_view kPrintDetailsPromptTitle = "Print Details";
inline constexpr std::string_view kPrintGraphPromptTitle = "Print Comparision Graph ";
inline constexpr std::string_view kTitleDefault = "  ";

} // namespace kestrana::comparator
