#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include <sys/stat.h>

#include "platform/op_result.h"

namespace tidora::platform::winepfx {

// Trees below a folder opened as parentFd, walked without following any symbolic link: a link is
// an entry of its own, and what it points at is never looked at. Nesting deeper than a few hundred
// folders is not entered (it would run out of file descriptors).

// The names in an open folder, "." and ".." left out; nullopt when it cannot be listed.
std::optional<std::vector<std::string>> folderEntryNames(int folderFd);

// The bytes of the regular files in the folder `name` and below; what cannot be read counts 0.
uint64_t folderContentSize(int parentFd, const std::string& name);

// Removes the entry `name` (a file, a link or a folder with everything in it); an entry that is
// gone already counts as removed. Folders without write permission are made writable first, so a
// tree that went read-only can still be removed. `shownPath` names the entry in messages.
OpResult removeTree(int parentFd, const std::string& name, const std::string& shownPath);

struct SmallFile {
    std::string text;
    struct stat st {};
};

// A regular file of at most maxBytes, read without following a final link and without waiting
// on a FIFO or device (folderFd may be AT_FDCWD with an absolute name).
std::optional<SmallFile> readSmallFile(int folderFd, const std::string& name, size_t maxBytes);

}  // namespace tidora::platform::winepfx
