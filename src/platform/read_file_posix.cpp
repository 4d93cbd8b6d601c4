#include "platform/read_file.h"

#ifndef _WIN32

#include "platform/system_reason.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace setforge::platform {
namespace {

// Why the open failed. A socket cannot be opened at all (ENXIO), so its kind is looked up by name.
std::string openFailure(const NativePath& path, int error) {
    if (error == ENOENT) {
        return "Die Datei gibt es nicht";
    }
    struct stat st {};
    if (error == ENXIO && stat(path.c_str(), &st) == 0 && !S_ISREG(st.st_mode)) {
        return detail::notRegularFileReason(st.st_mode);
    }
    return systemReason(error, false);
}

class Descriptor {
public:
    explicit Descriptor(int fd)
        : m_fd(fd) {}
    ~Descriptor() {
        if (m_fd >= 0) {
            ::close(m_fd);
        }
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    [[nodiscard]] int get() const { return m_fd; }

private:
    int m_fd;
};

} // namespace

FileRead readRegularFile(const NativePath& path, std::size_t limit) {
    // Non-blocking: opening a FIFO for reading would otherwise wait for a writer for good.
    const Descriptor fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    if (fd.get() < 0) {
        return detail::refusedRead(openFailure(path, errno));
    }
    struct stat st {};
    if (fstat(fd.get(), &st) != 0) {
        return detail::refusedRead(systemReason(errno, false));
    }
    if (!S_ISREG(st.st_mode)) {
        return detail::refusedRead(detail::notRegularFileReason(st.st_mode));
    }
    FileRead read;
    if (static_cast<unsigned long long>(st.st_size) > limit) {
        read.tooLarge = true;
        return read;
    }
    return detail::readUpTo(limit, [&fd](char* buffer, std::size_t size, std::optional<std::string>& refusal) {
        ssize_t n = 0;
        do {
            n = ::read(fd.get(), buffer, size);
        } while (n < 0 && errno == EINTR);
        if (n < 0) {
            refusal = systemReason(errno, false);
            return std::size_t{0};
        }
        return static_cast<std::size_t>(n);
    });
}

} // namespace setforge::platform

#endif
