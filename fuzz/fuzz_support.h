// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

#pragma once
// What the fuzz targets share: a private folder for the files an input becomes.

#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <unistd.h>

namespace kestrana::fuzz {

// A folder of this fuzz process, made once (in /dev/shm when there is one, so writing the input file
// costs little) and removed when the process ends normally.
inline const std::string& fuzzFolder() {
    // Never destroyed, so that the removal at exit still finds the name.
    static const std::string* folder = [] {
        const char* base = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
        std::string pattern = std::string(base) + "/kestrana-fuzz-XXXXXX";
        if (mkdtemp(pattern.data()) == nullptr) {
            throw std::runtime_error("cannot make the fuzz folder");
        }
        auto* made = new std::string(pattern);
        std::atexit([] { std::filesystem::remove_all(fuzzFolder()); });
        return made;
    }();
    return *folder;
}

} // namespace kestrana::fuzz
