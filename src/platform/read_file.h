#pragma once

#include "platform/replace_file.h"

#include <cstddef>
#include <optional>
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
// socket or a folder is refused with a German reason that names what it is, never read from.
[[nodiscard]] FileRead readRegularFile(const NativePath& path, std::size_t limit);

namespace detail {

inline FileRead refusedRead(std::string reason) {
    FileRead read;
    read.reason = std::move(reason);
    return read;
}

// Reads into a buffer one byte past the limit, so that a file grown since it was measured is still
// caught. `readSome(buffer, size)` gives the bytes read (0 at the end) or a refusal.
template <typename ReadSome> FileRead readUpTo(std::size_t limit, ReadSome readSome) {
    FileRead read;
    read.bytes.resize(limit + 1);
    std::size_t filled = 0;
    while (filled < read.bytes.size()) {
        std::optional<std::string> refusal;
        const std::size_t n = readSome(read.bytes.data() + filled, read.bytes.size() - filled, refusal);
        if (refusal) {
            return refusedRead(std::move(*refusal));
        }
        if (n == 0) {
            break;
        }
        filled += n;
    }
    if (filled > limit) {
        read.tooLarge = true;
        read.bytes.clear();
        return read;
    }
    read.bytes.resize(filled);
    read.ok = true;
    return read;
}

#ifdef _WIN32
[[nodiscard]] std::string notRegularFileReason(const char* kind);
#else
[[nodiscard]] std::string notRegularFileReason(unsigned int mode);
#endif
} // namespace detail

} // namespace setforge::platform
