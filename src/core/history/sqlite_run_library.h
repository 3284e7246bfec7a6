#pragma once
// The embedded run library: one SQLite file, by default <home>/library.sqlite.
//
// Opening checks the file before anything is written to it: a file that is not a Kestrana library,
// is damaged, or was written by a newer version of the program is refused with LibraryError and left
// exactly as it was. Each run is stored in its own transaction; a second program storing at the same
// time waits for it (up to the busy timeout) instead of failing, and the content hash is unique, so a
// file imported by both is stored once.

#include "core/history/run_library.h"

#include <memory>
#include <string>
#include <string_view>

namespace kestrana::history {

// The library's file name in the home folder.
inline constexpr std::string_view kLibraryFileName = "library.sqlite";
// <home>/library.sqlite
std::string defaultLibraryPath();

// The schema version this program writes; a library with a higher one is refused.
inline constexpr int kLibrarySchemaVersion = 1;

enum class LibraryAccess {
    OpenExisting,    // a missing file is refused
    CreateIfMissing, // a missing file is created as an empty library (its folder must exist)
};

// Opens (or creates) the library at `path`, a plain file path (never read as an SQLite URI).
// Throws LibraryError with one of the messages below as its text and the path as its file.
std::unique_ptr<RunLibrary> openSqliteLibrary(const std::string& path, LibraryAccess access);

inline constexpr std::string_view kNoLibraryMessage = "there is no library at this path";
inline constexpr std::string_view kNotALibraryMessage = "this file is not a Kestrana run library";
inline constexpr std::string_view kDamagedLibraryMessage = "this run library is damaged";
inline constexpr std::string_view kNewerLibraryMessage =
    "this run library was written by a newer version of Kestrana; it is left unchanged";
inline constexpr std::string_view kLibraryBusyMessage =
    "this run library is busy in another program; try again when it has finished";

} // namespace kestrana::history
