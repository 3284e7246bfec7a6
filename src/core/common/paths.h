// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

#pragma once
// Where files live: the fixed drive paths of the design map into one home folder.

#include <string>
#include <string_view>

namespace kestrana::common {

// $KESTRANA_HOME when set and not empty, else ~/Kestrana. Not created here.
std::string homeFolder();
// "c:\X\Y" or "d:/X/Y" (any drive letter, either case, either slash) -> <home>/X/Y with every
// backslash a slash; any other text is returned unchanged (on this system a backslash may be part of a
// file name). Applied to typed paths too.
std::string mapDesignPath(std::string_view path, std::string_view home);
std::string mapDesignPath(std::string_view path);
// Joins a folder and a file name with one slash.
std::string joinPath(std::string_view folder, std::string_view name);
// The folder a file lies in: the path up to its last slash ("." for a bare name, "/" at the root).
std::string folderOfFile(const std::string& path);

// The file a report chosen in the save dialog goes to: the name with ".txt" appended, unless it
// already ends in ".txt" (a name ending in ".txt" twice helps nobody).
std::string reportFileName(std::string_view chosenName);

// Writes `content` to `path` through a temporary file beside it, flushed to disk, renamed into place,
// and the folder flushed after the rename, so neither a failure nor a power cut leaves a half-written
// or empty file, nor destroys the previous one. A symbolic link is written through: its final target
// is replaced and the link stays. Refused without writing anything: a read-only file, a folder, a
// device, a pipe or a socket (renaming over them would replace the node itself), and a run file this
// program has read (see protectRunFile). Throws Error.
// A scratch file (a stage deleted within the same operation) skips the flushes: losing it to a power
// cut costs nothing, and flushing it would cost every operation the time of a disk write.
enum class Durability { Flushed, Scratch };
void writeFileAtomically(const std::string& path, std::string_view content,
                         Durability durability = Durability::Flushed);

// Marks the file at `path` (followed through links) as a run file this program reads, so that no
// file this program writes ever replaces it, under whatever name or link it is given as an output.
// Does nothing when there is no regular file at `path`.
void protectRunFile(const std::string& path);
// Throws Error when `path` names a file marked by protectRunFile (directly, through a link,
// or as another hard link of it).
void refuseProtectedRunFile(const std::string& path);

// Flushes a file that was written, then renames it to `target` and flushes the folder, so the new file
// is on disk under its name before anyone relies on it. Throws Error; `from` is left on failure.
void renameDurably(const std::string& from, const std::string& target);

// The name a path finally stands for: symbolic links followed to their last target, which need not
// exist yet (a link to a file still to be written). Throws Error for a link that cannot be read or a
// loop of links.
std::string finalTarget(const std::string& path);

// What the errno of a failed file operation means, in the words the program's messages use:
// "permission denied", "no such file or folder", "the path is too long", "file too large", "no space
// left on the disk", "the file is busy", ...; the system's own text for anything else.
std::string fileProblemText(int errorNumber);

// Flushes the folder holding `path`, so that a name just made there (a rename, a link) lasts through a
// power cut. A file system that cannot flush a folder is left as it is.
void syncFolderOf(const std::string& path);

// Reads a whole file (or pipe); throws Error ("cannot open ...") when it cannot be read or is
// a folder or a device.
std::string readWholeFile(const std::string& path);

} // namespace kestrana::common
