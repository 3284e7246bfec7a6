// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

#include "core/library/open_run_library.h"

#include "core/library/server_run_library.h"
#include "core/library/sqlite_run_library.h"

namespace kestrana::library {

std::unique_ptr<RunLibrary> openRunLibrary(const std::string& location, LibraryAccess access) {
    if (isServerLocation(location)) {
        return openServerLibrary(location);
    }
    return openSqliteLibrary(location, access);
}

void initRunLibrary(const std::string& location) {
    if (isServerLocation(location)) {
        initServerLibrary(location);
    } else {
        openSqliteLibrary(location, LibraryAccess::CreateIfMissing);
    }
}

} // namespace kestrana::library
