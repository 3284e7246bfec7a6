// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

#pragma once
// Helpers shared by the tests: a private temporary folder and whole-file reads and writes.

#include <string>
#include <string_view>
#include <vector>

namespace kestrana::test {

// A fresh folder under the system's temporary folder, removed with everything in it at the end.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    const std::string& path() const { return path_; }
    // path() + "/" + name
    std::string file(std::string_view name) const;

private:
    std::string path_;
};

void writeFile(const std::string& path, std::string_view content);
std::string readFile(const std::string& path);
bool fileExists(const std::string& path);

// Runs a command line through the shell; returns its exit status and what it wrote.
struct CommandResult {
    int status = -1;
    std::string out;
    std::string err;
};
// Standard input is `inputPath` (nothing to read by default).
CommandResult runCommand(const std::string& commandLine, const std::string& inputPath = "/dev/null");
// Quotes one word for the shell.
std::string shellQuote(std::string_view word);
// The first line a command wrote on standard error.
std::string firstLineOfErrors(const CommandResult& result);
// The lines, each ended by a line feed, as a command prints them.
std::string joinedLines(const std::vector<std::string>& lines);

} // namespace kestrana::test
