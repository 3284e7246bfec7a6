#include "core/platform/paths.h"

#include "core/platform/errors.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace kestrana::platform {

namespace {

bool isDriveLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

std::string systemReason() {
    return std::strerror(errno);
}

// Closes a file descriptor when it goes out of scope, so no failing step leaves a file open.
class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    ~FileDescriptor() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int get() const { return fd_; }
    int release() {
        int fd = fd_;
        fd_ = -1;
        return fd;
    }

private:
    int fd_;
};

} // namespace

std::string homeFolder() {
    const char* home = std::getenv("KESTRANA_HOME");
    if (home != nullptr && *home != '\0') {
        return home;
    }
    const char* user = std::getenv("HOME");
    return joinPath(user != nullptr && *user != '\0' ? user : ".", "Kestrana");
}

std::string mapDesignPath(std::string_view path, std::string_view home) {
    if (path.size() >= 3 && isDriveLetter(path[0]) && path[1] == ':' && (path[2] == '\\' || path[2] == '/')) {
        std::string rest(path.substr(3));
        for (char& c : rest) {
            if (c == '\\') {
                c = '/';
            }
        }
        return joinPath(home, rest);
    }
    return std::string(path);
}

std::string mapDesignPath(std::string_view path) {
    return mapDesignPath(path, homeFolder());
}

std::string joinPath(std::string_view folder, std::string_view name) {
    std::string path(folder);
    if (path.empty()) {
        return std::string(name);
    }
    if (path.back() != '/') {
        path += '/';
    }
    while (!name.empty() && name.front() == '/') {
        name.remove_prefix(1);
    }
    path += name;
    return path;
}

std::string reportFileName(std::string_view chosenName) {
    constexpr std::string_view extension = ".txt";
    std::string name(chosenName);
    if (!chosenName.ends_with(extension)) {
        name += extension;
    }
    return name;
}

void writeFileAtomically(const std::string& path, std::string_view content) {
    if (path.empty()) {
        throw KestranaError("no file name given");
    }
    std::vector<char> temp(path.begin(), path.end());
    const std::string suffix = ".tmp-XXXXXX";
    temp.insert(temp.end(), suffix.begin(), suffix.end());
    temp.push_back('\0');
    FileDescriptor fd(::mkstemp(temp.data()));
    if (fd.get() < 0) {
        throw KestranaError("cannot create the file: " + systemReason(), path);
    }
    const std::string tempPath(temp.data());
    // A file that may not be written keeps its content: renaming over it would bypass the protection
    // the user gave it. A file that may be written keeps its permissions in the new version.
    struct stat existing {};
    const bool replacing = ::stat(path.c_str(), &existing) == 0 && S_ISREG(existing.st_mode);
    if (replacing && ((existing.st_mode & 0222) == 0 || ::access(path.c_str(), W_OK) != 0)) {
        ::close(fd.release());
        ::unlink(tempPath.c_str());
        throw KestranaError("cannot replace the file: it is read-only", path);
    }
    auto fail = [&](const std::string& what) {
        const std::string reason = systemReason();
        ::close(fd.release());
        ::unlink(tempPath.c_str());
        throw KestranaError(what + ": " + reason, path);
    };
    // mkstemp makes the file private; give it the permissions an ordinary new file would have.
    mode_t mask = ::umask(0);
    ::umask(mask);
    ::fchmod(fd.get(), replacing ? existing.st_mode & 0777 : 0666 & ~mask);
    const char* data = content.data();
    std::size_t left = content.size();
    while (left > 0) {
        ssize_t written = ::write(fd.get(), data, left);
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            fail("cannot write the file");
        }
        data += written;
        left -= static_cast<std::size_t>(written);
    }
    if (::close(fd.release()) != 0) {
        const std::string reason = systemReason();
        ::unlink(tempPath.c_str());
        throw KestranaError("cannot write the file: " + reason, path);
    }
    if (::rename(tempPath.c_str(), path.c_str()) != 0) {
        const std::string reason = systemReason();
        ::unlink(tempPath.c_str());
        throw KestranaError("cannot replace the file: " + reason, path);
    }
}

std::string readWholeFile(const std::string& path) {
    FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (fd.get() < 0) {
        throw KestranaError("cannot open the file: " + systemReason(), path);
    }
    struct stat info {};
    if (::fstat(fd.get(), &info) != 0) {
        throw KestranaError("cannot read the file: " + systemReason(), path);
    }
    if (S_ISDIR(info.st_mode)) {
        throw KestranaError("cannot open the file: it is a folder", path);
    }
    // A device such as /dev/zero never ends; a pipe does, so it may still be read.
    if (!S_ISREG(info.st_mode) && !S_ISFIFO(info.st_mode)) {
        throw KestranaError("cannot open the file: it is not a regular file", path);
    }
    std::string content;
    content.resize(static_cast<std::size_t>(info.st_size > 0 ? info.st_size : 0));
    std::size_t filled = 0;
    for (;;) {
        if (filled == content.size()) {
            // The file may have grown, or its size was not known: read on in steps.
            content.resize(content.size() + 65536);
        }
        ssize_t got = ::read(fd.get(), content.data() + filled, content.size() - filled);
        if (got < 0) {
            if (errno == EINTR) {
                continue;
            }
            throw KestranaError("cannot read the file: " + systemReason(), path);
        }
        if (got == 0) {
            break;
        }
        filled += static_cast<std::size_t>(got);
    }
    content.resize(filled);
    return content;
}

} // namespace kestrana::platform
