// Questions about paths in the file system. Where noted, one trailing "\" is
// ignored, so "C:\Folder\" and "C:\Folder" answer alike.
#pragma once

#include <cstdint>
#include <string>

// Attributes of the first match, or -1 when nothing matches.
long GetPathAttributes(const std::string& path);
// Size in bytes, or -1 when nothing matches or the file is 4 GiB or larger.
std::int64_t GetFileSizeOf(const std::string& path);
// An existing entry that is none of read-only, hidden, system, directory,
// device, compressed, offline or encrypted.
bool IsPlainFile(const std::string& path);
// An existing directory (trailing "\" ignored).
bool IsDirectory(const std::string& path);
// Deletes a file or a whole directory tree (trailing "\" ignored), silently.
bool DeletePath(const std::string& path);
