// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

// kestrana-cli: the operations of the four working screens without a window: the analyser, the
// comparator, the peak analyser and the track history with its run library.

#include "command.h"
#include "core/common/errors.h"
#include "help.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <filesystem>
#include <iostream>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

// The work folder as the signal handler sees it: its name and an open handle, so that it can be
// emptied and removed with async-signal-safe calls only. workFolderHandle is -1 while there is none.
char workFolderName[4096];
volatile std::sig_atomic_t workFolderHandle = -1;

// Unlinks every entry of the work folder (it holds files only), then the folder. Async-signal-safe.
void removeWorkFolderNow() {
    const int folder = workFolderHandle;
    if (folder < 0) {
        return;
    }
    alignas(dirent64) char entries[4096];
    for (bool removed = true; removed;) {
        removed = false;
        ::lseek(folder, 0, SEEK_SET);
        const ssize_t size = ::getdents64(folder, entries, sizeof entries);
        for (ssize_t offset = 0; offset < size;) {
            const auto* entry = reinterpret_cast<const dirent64*>(entries + offset);
            const char* name = entry->d_name;
            const bool dots = name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'));
            if (!dots && ::unlinkat(folder, name, 0) == 0) {
                removed = true;
            }
            offset += entry->d_reclen;
        }
    }
    ::rmdir(workFolderName);
}

// A termination signal (SIGTERM, SIGHUP, SIGINT, SIGQUIT, SIGPIPE) ends the call as it would have
// ended anyway, but without leaving the private work folder behind.
void onTerminationSignal(int signalNumber) {
    removeWorkFolderNow();
    ::signal(signalNumber, SIG_DFL);
    ::raise(signalNumber);
}

constexpr int kTerminationSignals[] = {SIGTERM, SIGHUP, SIGINT, SIGQUIT, SIGPIPE};

void installSignalHandlers() {
    // Beyond a file-size limit (ulimit -f) a write then fails with "File too large", which is reported
    // and cleaned up like any other failed write, instead of the process being killed mid-write.
    ::signal(SIGXFSZ, SIG_IGN);
    struct sigaction action {};
    action.sa_handler = onTerminationSignal;
    sigemptyset(&action.sa_mask);
    for (int signalNumber : kTerminationSignals) {
        sigaddset(&action.sa_mask, signalNumber);
    }
    for (int signalNumber : kTerminationSignals) {
        // A signal ignored by whoever started the call (nohup, a background job) stays ignored.
        struct sigaction inherited {};
        if (::sigaction(signalNumber, nullptr, &inherited) == 0 && inherited.sa_handler != SIG_IGN) {
            ::sigaction(signalNumber, &action, nullptr);
        }
    }
}

// Holds the termination signals back while the work folder's bookkeeping changes.
class TerminationSignalsHeld {
public:
    TerminationSignalsHeld() {
        sigset_t held;
        sigemptyset(&held);
        for (int signalNumber : kTerminationSignals) {
            sigaddset(&held, signalNumber);
        }
        ::sigprocmask(SIG_BLOCK, &held, &previous_);
    }
    ~TerminationSignalsHeld() { ::sigprocmask(SIG_SETMASK, &previous_, nullptr); }
    TerminationSignalsHeld(const TerminationSignalsHeld&) = delete;
    TerminationSignalsHeld& operator=(const TerminationSignalsHeld&) = delete;

private:
    sigset_t previous_;
};

// A private folder for scratch and database files (mode 0700, in the temporary folder others share),
// removed when the call ends, whatever happens: on return, on an exception and on a termination signal.
class WorkFolder {
public:
    WorkFolder() {
        namespace fs = std::filesystem;
        std::error_code error;
        const fs::path temp = fs::temp_directory_path(error);
        std::string pattern = (temp / "kestrana-cli-XXXXXX").string();
        if (error || pattern.size() >= sizeof workFolderName || ::mkdtemp(pattern.data()) == nullptr) {
            const std::string reason = error ? error.message() : std::strerror(errno);
            throw kestrana::common::Error("kestrana-cli: cannot create a private temporary folder: " +
                                          reason);
        }
        path_ = pattern;
        const TerminationSignalsHeld held;
        std::memcpy(workFolderName, path_.c_str(), path_.size() + 1);
        workFolderHandle = ::open(path_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    }
    ~WorkFolder() {
        const TerminationSignalsHeld held;
        std::error_code error;
        std::filesystem::remove_all(path_, error);
        if (workFolderHandle >= 0) {
            ::close(workFolderHandle);
            workFolderHandle = -1;
        }
    }
    WorkFolder(const WorkFolder&) = delete;
    WorkFolder& operator=(const WorkFolder&) = delete;
    std::string path() const { return path_; }

private:
    std::string path_;
};

// Whether the call was given a standard input. When it was started with it closed, /dev/null takes its
// place, so that no file the call opens (the work folder, a copy) becomes "standard input" by number.
bool standardInputGiven = true;

void noteClosedStandardInput() {
    if (::fcntl(STDIN_FILENO, F_GETFD) == -1 && errno == EBADF) {
        standardInputGiven = false;
        ::open("/dev/null", O_RDONLY); // takes the lowest free number, 0
    }
}

// A read or a write, made again while a signal interrupts it.
template <typename Call> ssize_t uninterrupted(Call call) {
    ssize_t result = 0;
    do {
        result = call();
    } while (result < 0 && errno == EINTR);
    return result;
}

// A run given as "-" is read from standard input into a file of the work folder, and the command reads
// that copy as it reads any run file. Returns the copy's path (empty when no run is "-"). Throws
// common::Error when standard input cannot be read or the copy cannot be written.
std::string copyStandardInputRun(kestrana::cli::Arguments& args, const std::string& workFolder) {
    auto dash = std::find(args.files.begin(), args.files.end(), "-");
    if (dash == args.files.end()) {
        return {};
    }
    const std::string copyPath = workFolder + "/standard-input.run";
    const int copy = ::open(copyPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    const auto fail = [copy](const char* what) {
        const int error = errno;
        if (copy >= 0) {
            ::close(copy);
        }
        throw kestrana::common::Error("kestrana-cli: " + std::string(what) + ": " + std::strerror(error));
    };
    if (copy < 0) {
        fail("cannot write the copy of standard input");
    }
    if (!standardInputGiven) {
        errno = EBADF;
        fail("cannot read standard input");
    }
    char buffer[65536];
    for (ssize_t got;
         (got = uninterrupted([&] { return ::read(STDIN_FILENO, buffer, sizeof buffer); })) != 0;) {
        if (got < 0) {
            fail("cannot read standard input");
        }
        for (ssize_t written = 0, put = 0; written < got; written += put) {
            put = uninterrupted(
                [&] { return ::write(copy, buffer + written, static_cast<std::size_t>(got - written)); });
            if (put < 0) {
                fail("cannot write the copy of standard input");
            }
        }
    }
    if (::close(copy) != 0) {
        throw kestrana::common::Error("kestrana-cli: cannot write the copy of standard input: " +
                                      std::string(std::strerror(errno)));
    }
    *dash = copyPath;
    return copyPath;
}

// A message as the user should read it: the copy of standard input named "standard input".
std::string shown(std::string text, const std::string& copyPath) {
    if (copyPath.empty()) {
        return text;
    }
    for (std::size_t at = text.find(copyPath); at != std::string::npos;
         at = text.find(copyPath, at + std::strlen(kestrana::cli::kStandardInputName))) {
        text.replace(at, copyPath.size(), kestrana::cli::kStandardInputName);
    }
    return text;
}

} // namespace

int main(int argc, char** argv) {
    using namespace kestrana::cli;
    installSignalHandlers();
    noteClosedStandardInput();
    auto commands = allCommands();
    std::vector<std::string> words(argv + 1, argv + argc);
    if (words.empty()) {
        std::cerr << "kestrana-cli: no command\n" << usageText(commands);
        return 2;
    }
    if (words[0] == "--help" || words[0] == "-h") {
        std::cout << programHelp(commands);
        return 0;
    }
    if (words[0] == "--version") {
        std::cout << versionText(KESTRANA_VERSION);
        return 0;
    }
    const Command* command = nullptr;
    for (const Command& candidate : commands) {
        if (candidate.name == words[0]) {
            command = &candidate;
        }
    }
    if (command == nullptr) {
        std::cerr << "kestrana-cli: unknown command " << words[0] << "\n" << usageText(commands);
        return 2;
    }
    std::vector<std::string> rest(words.begin() + 1, words.end());
    if (asksForHelp(*command, rest)) {
        std::cout << commandHelp(*command);
        return 0;
    }
    std::string standardInputCopy;
    try {
        Arguments args = parseArguments(*command, rest);
        WorkFolder work;
        if (command->readsRunFromStandardInput) {
            standardInputCopy = copyStandardInputRun(args, work.path());
        }
        Context context{std::cout, std::cerr, work.path()};
        int status = command->run(args, context);
        // Output that could not be written (a full disk, a closed pipe) is not a success.
        if (!std::cout.flush()) {
            std::cerr << "kestrana-cli: cannot write the standard output\n";
            return 1;
        }
        return status;
    } catch (const UsageError& error) {
        std::cerr << "kestrana-cli " << command->name << ": " << error.what() << "\n"
                  << "usage: kestrana-cli " << command->synopsis << "\n";
        return 2;
    } catch (const kestrana::common::Error& error) {
        // The screen's message first, then the precise reason; a failure no operation has given a
        // message to shows its reason alone.
        std::cerr << shown(error.what(), standardInputCopy) << "\n";
        if (!error.message().empty() && !error.reason().empty()) {
            std::cerr << shown(error.reason(), standardInputCopy) << "\n";
        }
        return 1;
    } catch (const std::exception& error) {
        std::cerr << shown(error.what(), standardInputCopy) << "\n";
        return 1;
    }
}
