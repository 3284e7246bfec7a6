#pragma once
// Opening a run library by where it lives: the one place that chooses how a library is stored. Every
// part of the program that opens a library (the track history screen, the command line) comes here.

#include "core/library/run_library.h"

#include <memory>
#include <string>

namespace kestrana::library {

// Opens the library at `location`, a file path (sqlite_run_library.h). Throws LibraryError, whose
// file is the location.
std::unique_ptr<RunLibrary> openRunLibrary(const std::string& location, LibraryAccess access);

} // namespace kestrana::library
