#include "platform/read_file.h"

#ifdef _WIN32

#include "platform/system_reason.h"

#include <windows.h>

namespace setforge::platform {
namespace {

std::string openFailure(unsigned long error) {
    if (error == ERROR_FILE_NOT_FOUND) {
        return "Die Datei gibt es nicht";
    }
    return windowsReason(error, false);
}

class ReadHandle {
public:
    explicit ReadHandle(HANDLE handle)
        : m_handle(handle) {}
    ~ReadHandle() {
        if (valid()) {
            CloseHandle(m_handle);
        }
    }
    ReadHandle(const ReadHandle&) = delete;
    ReadHandle& operator=(const ReadHandle&) = delete;
    [[nodiscard]] HANDLE get() const { return m_handle; }
    [[nodiscard]] bool valid() const { return m_handle != INVALID_HANDLE_VALUE; }

private:
    HANDLE m_handle;
};

} // namespace

FileRead readRegularFile(const NativePath& path, std::size_t limit) {
    // Backup semantics let a folder open too, so that it is named as one; a pipe or a device is
    // recognised by its handle's type before anything is read from it.
    const ReadHandle file(CreateFileW(path.c_str(), GENERIC_READ,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                      FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!file.valid()) {
        return detail::refusedRead(openFailure(GetLastError()));
    }
    if (GetFileType(file.get()) != FILE_TYPE_DISK) {
        return detail::refusedRead(detail::notRegularFileReason("ein Gerät"));
    }
    BY_HANDLE_FILE_INFORMATION info{};
    if (!GetFileInformationByHandle(file.get(), &info)) {
        return detail::refusedRead(windowsReason(GetLastError(), false));
    }
    if ((info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        return detail::refusedRead(detail::notRegularFileReason("ein Ordner"));
    }
    FileRead read;
    const unsigned long long fileSize = (static_cast<unsigned long long>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
    if (fileSize > limit) {
        read.tooLarge = true;
        return read;
    }
    return detail::readUpTo(limit, [&file](char* buffer, std::size_t size, std::optional<std::string>& refusal) {
        DWORD n = 0;
        if (!ReadFile(file.get(), buffer, static_cast<DWORD>(size), &n, nullptr)) {
            refusal = windowsReason(GetLastError(), false);
        }
        return static_cast<std::size_t>(n);
    });
}

} // namespace setforge::platform

#endif
