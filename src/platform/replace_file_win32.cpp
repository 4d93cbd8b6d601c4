#include "platform/read_file.h"
#include "platform/replace_file.h"

#ifdef _WIN32

#include "platform/system_reason.h"

#include <algorithm>
#include <functional>
#include <optional>
#include <vector>

#include <windows.h>

namespace setforge::platform {

using namespace detail;

namespace {

class Handle {
public:
    explicit Handle(HANDLE handle = INVALID_HANDLE_VALUE)
        : m_handle(handle) {}
    ~Handle() { reset(); }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;

    [[nodiscard]] HANDLE get() const { return m_handle; }
    [[nodiscard]] bool valid() const { return m_handle != INVALID_HANDLE_VALUE; }
    void reset(HANDLE handle = INVALID_HANDLE_VALUE) {
        if (valid()) {
            CloseHandle(m_handle);
        }
        m_handle = handle;
    }
    // Closes now and says whether the system reported an error.
    bool close() {
        const BOOL closed = CloseHandle(m_handle);
        m_handle = INVALID_HANDLE_VALUE;
        return closed != 0;
    }

private:
    HANDLE m_handle;
};

// Removes a file when the save that made it ends, unless told to keep it.
struct RemoveAtEnd {
    std::wstring path;
    ~RemoveAtEnd() {
        if (!path.empty()) {
            DeleteFileW(path.c_str());
        }
    }
};

config::WriteResult lastError() {
    return failed(windowsReason(GetLastError()));
}

std::wstring widen(const std::string& ascii) {
    return std::wstring(ascii.begin(), ascii.end());
}

std::string utf8(const std::wstring& text) {
    const int size =
        WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<std::size_t>(std::max(size, 0)), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), bytes.data(), size, nullptr, nullptr);
    return bytes;
}

// The full path with "\\?\" in front, which lifts the 260-character limit of the plain calls.
// A device name (NUL, CON) comes back as "\\.\NUL" and stays so.
std::wstring extendedPath(const std::wstring& path) {
    DWORD size = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (size == 0) {
        return path;
    }
    std::wstring full(size, L'\0');
    size = GetFullPathNameW(path.c_str(), size, full.data(), nullptr);
    full.resize(size);
    if (full.starts_with(L"\\\\?\\") || full.starts_with(L"\\\\.\\")) {
        return full;
    }
    if (full.starts_with(L"\\\\")) {
        return L"\\\\?\\UNC\\" + full.substr(2);
    }
    return L"\\\\?\\" + full;
}

// The path a handle's file really has, after symbolic links; empty where the system cannot say.
std::wstring finalPath(HANDLE file) {
    const DWORD size = GetFinalPathNameByHandleW(file, nullptr, 0, FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
    if (size == 0) {
        return {};
    }
    std::wstring path(size, L'\0');
    const DWORD written = GetFinalPathNameByHandleW(file, path.data(), size, FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
    if (written == 0 || written >= size) {
        return {};
    }
    path.resize(written);
    return path;
}

std::string notRegularReason(const char* kind) {
    return std::string("Das Ziel ist keine gewöhnliche Datei, sondern ") + kind + " (not a regular file)";
}

bool writeAll(HANDLE file, std::string_view bytes) {
    while (!bytes.empty()) {
        const auto chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), std::size_t{1} << 30));
        DWORD written = 0;
        if (!WriteFile(file, bytes.data(), chunk, &written, nullptr)) {
            return false;
        }
        if (written == 0) {
            SetLastError(ERROR_WRITE_FAULT);
            return false;
        }
        bytes.remove_prefix(written);
    }
    return true;
}

bool readAll(HANDLE file, std::string& bytes) {
    char buffer[64 * 1024];
    for (;;) {
        DWORD read = 0;
        if (!ReadFile(file, buffer, sizeof buffer, &read, nullptr)) {
            return false;
        }
        if (read == 0) {
            return true;
        }
        bytes.append(buffer, read);
    }
}

bool seek(HANDLE file, std::size_t offset) {
    LARGE_INTEGER at;
    at.QuadPart = static_cast<LONGLONG>(offset);
    return SetFilePointerEx(file, at, nullptr, FILE_BEGIN) != 0;
}

unsigned long currentPid() {
    return GetCurrentProcessId();
}

bool processGone(unsigned long pid) {
    if (pid == currentPid()) {
        return false;
    }
    const HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, static_cast<DWORD>(pid));
    if (process == nullptr) {
        return GetLastError() == ERROR_INVALID_PARAMETER; // no process has this number
    }
    DWORD code = 0;
    const bool ended = GetExitCodeProcess(process, &code) && code != STILL_ACTIVE;
    CloseHandle(process);
    return ended;
}

unsigned long long ticks(FILETIME time) {
    return (static_cast<unsigned long long>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

// A leftover of ours that no running save can still need: its process has ended, or it has not
// been touched for minutes.
bool isStale(const Leftover& leftover, FILETIME written) {
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    constexpr unsigned long long TicksPerSecond = 10'000'000;
    const bool old = ticks(now) > ticks(written) &&
                     ticks(now) - ticks(written) > static_cast<unsigned long long>(StaleAfterSeconds) * TicksPerSecond;
    return old || processGone(leftover.pid);
}

void removeStaleLeftovers(const std::wstring& folder, const std::function<bool(const Leftover&)>& wanted) {
    WIN32_FIND_DATAW found;
    const HANDLE search =
        FindFirstFileExW((folder + L".setforge-*").c_str(), FindExInfoBasic, &found, FindExSearchNameMatch, nullptr, 0);
    if (search == INVALID_HANDLE_VALUE) {
        return;
    }
    std::vector<std::wstring> stale;
    do {
        if ((found.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) != 0) {
            continue;
        }
        const std::wstring_view wide(found.cFileName);
        if (std::any_of(wide.begin(), wide.end(), [](wchar_t c) { return c > 127; })) {
            continue;
        }
        std::string name;
        for (const wchar_t c : wide) {
            name += static_cast<char>(c); // ASCII, checked above
        }
        const std::optional<Leftover> leftover = parseLeftover(name);
        if (leftover && wanted(*leftover) && isStale(*leftover, found.ftLastWriteTime)) {
            stale.emplace_back(wide);
        }
    } while (FindNextFileW(search, &found));
    FindClose(search);
    for (const std::wstring& name : stale) {
        DeleteFileW((folder + name).c_str());
    }
}

// Writes a new file beside the target and puts it in the target's place: ReplaceFileW keeps the
// old file's attributes and access rights.
config::WriteResult replaceByRenaming(const std::wstring& folder, const std::wstring& target,
                                      const BY_HANDLE_FILE_INFORMATION* old, std::string_view bytes) {
    Handle file;
    RemoveAtEnd temp;
    for (int attempt = 0; attempt < 100 && !file.valid(); ++attempt) {
        const std::wstring candidate = folder + widen(temporaryName(currentPid()));
        file.reset(
            CreateFileW(candidate.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (file.valid()) {
            temp.path = candidate;
        } else if (GetLastError() != ERROR_FILE_EXISTS && GetLastError() != ERROR_ALREADY_EXISTS) {
            return lastError();
        }
    }
    if (!file.valid()) {
        return lastError();
    }
    if (!writeAll(file.get(), bytes)) {
        return lastError();
    }
    reach(WriteStep::TemporaryWritten);
    if (!FlushFileBuffers(file.get()) || !file.close()) {
        return lastError();
    }
    // Hidden and the like stay as the player set them; not every ReplaceFileW (wine's) carries them over.
    constexpr DWORD Kept = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;
    if (old != nullptr && (old->dwFileAttributes & Kept) != 0 &&
        !SetFileAttributesW(temp.path.c_str(), old->dwFileAttributes & Kept)) {
        return lastError();
    }
    reach(WriteStep::TemporaryNamed);
    const BOOL replaced = old != nullptr ? ReplaceFileW(target.c_str(), temp.path.c_str(), nullptr,
                                                        REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr)
                                         : MoveFileExW(temp.path.c_str(), target.c_str(), MOVEFILE_WRITE_THROUGH);
    if (!replaced) {
        return lastError();
    }
    temp.path.clear();
    return {true, {}};
}

// Writes the new bytes over the file itself, so that its hard links stay. The old bytes are first
// put whole into a backup beside it; a failed write puts them back. A crash in the middle leaves
// the file part new and part old, and the backup with every old byte; the next successful save of
// that file removes the backup.
config::WriteResult replaceInPlace(const std::wstring& folder, const std::wstring& target, unsigned long long fileId,
                                   std::string_view bytes) {
    Handle file(CreateFileW(target.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid()) {
        return lastError();
    }
    std::string oldBytes;
    if (!readAll(file.get(), oldBytes)) {
        return lastError();
    }

    Handle copy;
    RemoveAtEnd backup;
    for (int attempt = 0; attempt < 100 && !copy.valid(); ++attempt) {
        const std::wstring candidate = folder + widen(backupName(currentPid(), fileId));
        copy.reset(
            CreateFileW(candidate.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (copy.valid()) {
            backup.path = candidate;
        } else if (GetLastError() != ERROR_FILE_EXISTS && GetLastError() != ERROR_ALREADY_EXISTS) {
            return lastError();
        }
    }
    if (!copy.valid() || !writeAll(copy.get(), oldBytes) || !FlushFileBuffers(copy.get()) || !copy.close()) {
        return lastError();
    }

    const std::size_t half = bytes.size() / 2;
    bool written = seek(file.get(), 0) && writeAll(file.get(), bytes.substr(0, half));
    if (written) {
        reach(WriteStep::InPlaceHalfWritten);
        written = writeAll(file.get(), bytes.substr(half)) && SetEndOfFile(file.get()) && FlushFileBuffers(file.get());
    }
    if (!written) {
        const std::string reason = windowsReason(GetLastError());
        const bool restored = seek(file.get(), 0) && writeAll(file.get(), oldBytes) && SetEndOfFile(file.get()) &&
                              FlushFileBuffers(file.get());
        if (!restored) {
            const std::wstring kept = backup.path;
            backup.path.clear();
            return failed(reason + ". Die Datei ist unvollständig; ihr bisheriger Inhalt liegt vollständig in " +
                          utf8(kept));
        }
        return failed(reason);
    }
    return {true, {}};
}

} // namespace

config::WriteResult replaceFile(std::wstring path, std::string_view bytes) {
    std::wstring target = extendedPath(path);
    bool exists = false;
    BY_HANDLE_FILE_INFORMATION info{};
    {
        const Handle probe(CreateFileW(target.c_str(), FILE_READ_ATTRIBUTES,
                                       FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                       FILE_FLAG_BACKUP_SEMANTICS, nullptr));
        if (!probe.valid()) {
            if (GetLastError() != ERROR_FILE_NOT_FOUND) {
                return lastError();
            }
        } else {
            exists = true;
            if (GetFileType(probe.get()) != FILE_TYPE_DISK) {
                return failed(notRegularReason("ein Gerät"));
            }
            if (!GetFileInformationByHandle(probe.get(), &info)) {
                return lastError();
            }
            if ((info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
                return failed(notRegularReason("ein Ordner"));
            }
            // A symbolic link stays a link; its target gets the bytes.
            if (std::wstring real = finalPath(probe.get()); !real.empty()) {
                target = std::move(real);
            }
        }
    }
    const std::size_t slash = target.find_last_of(L"\\/");
    if (slash == std::wstring::npos || slash + 1 == target.size()) {
        return failed(notRegularReason("ein Ordner"));
    }
    const std::wstring folder = target.substr(0, slash + 1);

    removeStaleLeftovers(folder, [](const Leftover& leftover) { return !leftover.backup; });

    const unsigned long long fileId = (static_cast<unsigned long long>(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
    const config::WriteResult result = exists && info.nNumberOfLinks > 1
                                           ? replaceInPlace(folder, target, fileId, bytes)
                                           : replaceByRenaming(folder, target, exists ? &info : nullptr, bytes);
    if (result.ok && exists) {
        // The file a killed in-place save left part-written now holds complete new bytes.
        removeStaleLeftovers(folder,
                             [&](const Leftover& leftover) { return leftover.backup && leftover.fileId == fileId; });
    }
    return result;
}

std::string detail::notRegularFileReason(const char* kind) {
    return notRegularReason(kind);
}

} // namespace setforge::platform

#endif
