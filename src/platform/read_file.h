#pragma once

#include "platform/replace_file.h"

#include <cstddef>
#include <string>

// Reading a file to open, without Qt: POSIX calls on Unix, Win32 on Windows.

namespace setforge::platform {

struct FileRead {
    bool ok = false;
    bool tooLarge = false; // larger than the limit: nothing was read
    std::string bytes;
    std::string reason; // German, with the system's English in brackets, when !ok && !tooLarge
};

// The whole file when it is a regular file (after symbolic links) of at most `limit` bytes. What
// the name is, is checked on the opened descriptor, and the open never waits: a FIFO, a device, a
// socket or a folder is refused with the save step's wording, never read from.
[[nodiscard]] FileRead readRegularFile(const NativePath& path, std::size_t limit);

namespace detail {
#ifdef _WIN32
[[nodiscard]] std::string notRegularFileReason(const char* kind);
#else
[[nodiscard]] std::string notRegularFileReason(unsigned int mode);
#endif
} // namespace detail

} // namespace setforge::platform
