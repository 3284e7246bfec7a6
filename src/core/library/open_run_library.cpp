#include "core/library/open_run_library.h"

#include "core/library/sqlite_run_library.h"

namespace kestrana::library {

std::unique_ptr<RunLibrary> openRunLibrary(const std::string& location, LibraryAccess access) {
    return openSqliteLibrary(location, access);
}

} // namespace kestrana::library
