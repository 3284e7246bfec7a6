#pragma once
// Where files live: the fixed drive paths of the design map into one home folder.

#include <string>
#include <string_view>

namespace kestrana::platform {

// $KESTRANA_HOME when set and not empty, else ~/Kestrana. Not created here.
std::string homeFolder();
// "c:\X\Y" or "d:/X/Y" (any drive letter, either case, either slash) -> <home>/X/Y with every
// backslash a slash; any other text is returned unchanged (on this system a backslash may be part of a
// file name). Applied to typed paths too.
std::string mapDesignPath(std::string_view path, std::string_view home);
std::string mapDesignPath(std::string_view path);
// Joins a folder and a file name with one slash.
std::string joinPath(std::string_view folder, std::string_view name);

// The file a report chosen in the save dialog goes to: the name with ".txt" appended, unless it
// already ends in ".txt" (a name ending in ".txt" twice helps nobody).
std::string reportFileName(std::string_view chosenName);

// Writes `content` to `path` through a temporary file beside it, renamed into place, so a failure
// never leaves a half-written file nor destroys the previous one. A read-only file is not replaced.
// Throws Error.
void writeFileAtomically(const std::string& path, std::string_view content);
// Reads a whole file (or pipe); throws Error ("cannot open ...") when it cannot be read or is
// a folder or a device.
std::string readWholeFile(const std::string& path);

} // namespace kestrana::platform
