#pragma once
// The one place where the profile writer touches the file system, so that a
// write either replaces the whole file or leaves the previous one as it was.

#include <string_view>

namespace common {

enum class FileStatus {
    Missing,     // nothing at the path
    Writable,    // a regular file that may be rewritten
    ReadOnly,    // a regular file without any write permission (the read-only attribute)
    NotRegular,  // a directory or another non-file object
};

FileStatus fileStatus(const char* path);

// Writes `content` to a temporary file beside `path` and renames it over
// `path`, keeping the permissions of the file it replaces. A symbolic link is
// followed, so the file it names is replaced and the link stays. Returns false
// (and removes the temporary file) when any step fails.
bool replaceFileContent(const char* path, std::string_view content);

}  // namespace common
