// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

#include "core/common/paths.h"

#include "core/common/errors.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <mutex>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace kestrana::common {

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

// What a file is, whatever name or link leads to it: a hard link or a path through a symbolic link
// shares it. Size and modification time tell a file from a later one that reuses a freed inode.
struct FileIdentity {
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    long long modifiedNs = 0;
    bool operator==(const FileIdentity&) const = default;
};

FileIdentity identityOf(const struct stat& info) {
    return FileIdentity{info.st_dev, info.st_ino, info.st_size,
                        static_cast<long long>(info.st_mtim.tv_sec) * 1000000000LL + info.st_mtim.tv_nsec};
}

std::mutex protectedFilesMutex;
std::vector<FileIdentity> protectedFiles; // guarded by protectedFilesMutex

// Why a node that exists may not be replaced by a written file; nullptr for a regular file.
const char* refusedNodeKind(mode_t mode) {
    if (S_ISDIR(mode)) {
        return "it is a folder";
    }
    if (S_ISCHR(mode) || S_ISBLK(mode)) {
        return "it is a device, not a regular file";
    }
    if (S_ISFIFO(mode)) {
        return "it is a pipe (FIFO), not a regular file";
    }
    if (S_ISSOCK(mode)) {
        return "it is a socket, not a regular file";
    }
    return nullptr;
}

} // namespace

std::string finalTarget(const std::string& path) {
    std::string current = path;
    for (int depth = 0; depth < 40; ++depth) {
        struct stat info {};
        if (::lstat(current.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) {
            return current;
        }
        std::string link(4096, '\0');
        const ssize_t length = ::readlink(current.c_str(), link.data(), link.size());
        if (length < 0) {
            throw Error("cannot read the symbolic link: " + systemReason(), current);
        }
        link.resize(static_cast<std::size_t>(length));
        if (link.empty() || link.front() == '/') {
            current = link;
        } else {
            const std::string folder = folderOfFile(current);
            current = current.find('/') == std::string::npos ? link : joinPath(folder, link);
        }
    }
    throw Error("cannot write the file: too many levels of symbolic links", path);
}

// After a rename the new name lives in the folder: flushing the folder makes the name last. Some file
// systems cannot flush a folder; the file itself is already flushed then, which is the most they allow.
void syncFolderOf(const std::string& path) {
    const int fd = ::open(folderOfFile(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

std::string fileProblemText(int errorNumber) {
    switch (errorNumber) {
    case EACCES:
    case EPERM:
        return "permission denied";
    case ENOENT:
        return "no such file or folder";
    case ENOTDIR:
        return "a part of the path is not a folder";
    case ENAMETOOLONG:
        return "the path is too long";
    case ELOOP:
        return "too many levels of symbolic links";
    case EFBIG:
        return "file too large";
    case ENOSPC:
    case EDQUOT:
        return "no space left on the disk";
    case EROFS:
        return "the disk is read-only";
    case EBUSY:
    case ETXTBSY:
        return "the file is busy";
    case EISDIR:
        return "it is a folder";
    case EIO:
        return "the disk failed to read or write (input/output error)";
    case EMFILE:
    case ENFILE:
        return "too many files are open";
    case ENOMEM:
        return "not enough memory";
    default:
        return std::strerror(errorNumber);
    }
}

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

std::string folderOfFile(const std::string& path) {
    const auto slash = path.rfind('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string reportFileName(std::string_view chosenName) {
    constexpr std::string_view extension = ".txt";
    std::string name(chosenName);
    if (!chosenName.ends_with(extension)) {
        name += extension;
    }
    return name;
}

void protectRunFile(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) {
        return;
    }
    const FileIdentity identity = identityOf(info);
    const std::lock_guard<std::mutex> guard(protectedFilesMutex);
    if (std::find(protectedFiles.begin(), protectedFiles.end(), identity) == protectedFiles.end()) {
        protectedFiles.push_back(identity);
    }
}

void refuseProtectedRunFile(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) {
        return;
    }
    const FileIdentity identity = identityOf(info);
    const std::lock_guard<std::mutex> guard(protectedFilesMutex);
    if (std::find(protectedFiles.begin(), protectedFiles.end(), identity) != protectedFiles.end()) {
        throw Error("cannot write the file: it is a run file being read; choose another name", path);
    }
}

void renameDurably(const std::string& from, const std::string& target) {
    FileDescriptor fd(::open(from.c_str(), O_RDONLY | O_CLOEXEC));
    if (fd.get() < 0 || ::fsync(fd.get()) != 0) {
        throw Error("cannot flush the file to disk: " + systemReason(), from);
    }
    if (::rename(from.c_str(), target.c_str()) != 0) {
        throw Error("cannot put the file in place: " + systemReason(), target);
    }
    syncFolderOf(target);
}

void writeFileAtomically(const std::string& path, std::string_view content, Durability durability) {
    if (path.empty()) {
        throw Error("no file name given");
    }
    // Through a symbolic link the file it points to is replaced; the link itself stays.
    const std::string target = finalTarget(path);
    struct stat existing {};
    const bool exists = ::stat(target.c_str(), &existing) == 0;
    if (exists) {
        // A rename would put an ordinary file in place of the device, pipe or folder itself.
        if (const char* kind = refusedNodeKind(existing.st_mode)) {
            throw Error(std::string("cannot write the file: ") + kind, path);
        }
        refuseProtectedRunFile(target);
    }
    // A file that may not be written keeps its content: renaming over it would bypass the protection
    // the user gave it. A file that may be written keeps its permissions in the new version.
    const bool replacing = exists && S_ISREG(existing.st_mode);
    if (replacing && ((existing.st_mode & 0222) == 0 || ::access(target.c_str(), W_OK) != 0)) {
        throw Error("cannot replace the file: it is read-only", path);
    }
    std::vector<char> temp(target.begin(), target.end());
    const std::string suffix = ".tmp-XXXXXX";
    temp.insert(temp.end(), suffix.begin(), suffix.end());
    temp.push_back('\0');
    FileDescriptor fd(::mkstemp(temp.data()));
    if (fd.get() < 0) {
        throw Error("cannot create the file: " + systemReason(), path);
    }
    const std::string tempPath(temp.data());
    auto fail = [&](const std::string& what) {
        const std::string reason = systemReason();
        ::close(fd.release());
        ::unlink(tempPath.c_str());
        throw Error(what + ": " + reason, path);
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
    // On disk before it takes the old file's name: a power cut must leave the old file or the new one.
    if (durability == Durability::Flushed && ::fsync(fd.get()) != 0) {
        fail("cannot write the file");
    }
    if (::close(fd.release()) != 0) {
        const std::string reason = systemReason();
        ::unlink(tempPath.c_str());
        throw Error("cannot write the file: " + reason, path);
    }
    if (::rename(tempPath.c_str(), target.c_str()) != 0) {
        const std::string reason = systemReason();
        ::unlink(tempPath.c_str());
        throw Error("cannot replace the file: " + reason, path);
    }
    if (durability == Durability::Flushed) {
        syncFolderOf(target);
    }
}

std::string readWholeFile(const std::string& path) {
    FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (fd.get() < 0) {
        throw Error("cannot open the file: " + systemReason(), path);
    }
    struct stat info {};
    if (::fstat(fd.get(), &info) != 0) {
        throw Error("cannot read the file: " + systemReason(), path);
    }
    if (S_ISDIR(info.st_mode)) {
        throw Error("cannot open the file: it is a folder", path);
    }
    // A device such as /dev/zero never ends; a pipe does, so it may still be read.
    if (!S_ISREG(info.st_mode) && !S_ISFIFO(info.st_mode)) {
        throw Error("cannot open the file: it is not a regular file", path);
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
            throw Error("cannot read the file: " + systemReason(), path);
        }
        if (got == 0) {
            break;
        }
        filled += static_cast<std::size_t>(got);
    }
    content.resize(filled);
    return content;
}

} // namespace kestrana::common
