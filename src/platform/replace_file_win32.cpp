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

// Saves lock one byte far beyond any config's end: the lock then never stands in the way of the
// writes of an in-place save, which Windows checks against byte-range locks of every handle.
constexpr DWORD LockedByteHigh = 0x7fffffff;

LockTry tryLock(HANDLE file) {
    OVERLAPPED at{};
    at.OffsetHigh = LockedByteHigh;
    if (LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &at)) {
        return LockTry::Taken;
    }
    return GetLastError() == ERROR_LOCK_VIOLATION || GetLastError() == ERROR_IO_PENDING ? LockTry::Busy
                                                                                        : LockTry::Failed;
}

// Some shares keep no locks: there saves go on unlocked, as every program's do.
LockTry lockWithin(HANDLE file) {
    const LockTry lock = retryWhileBusy([file] { return tryLock(file); });
    return lock == LockTry::Failed && GetLastError() == ERROR_NOT_SUPPORTED ? LockTry::Taken : lock;
}

// Makes a file of this save under a fresh name from `nextName` and locks it; the handle shares
// everything, so that the rename or the replacement of the target can take it while it stays
// locked, which tells the clean-up of other saves to leave it.
bool makeLocked(const std::wstring& folder, const std::function<std::string()>& nextName, Handle& file,
                std::wstring& path) {
    return underFreshName(nextName, [&](const std::string& name) {
        const std::wstring candidate = folder + widen(name);
        file.reset(CreateFileW(candidate.c_str(), GENERIC_READ | GENERIC_WRITE,
                               FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, CREATE_NEW,
                               FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file.valid()) {
            return GetLastError() == ERROR_FILE_EXISTS || GetLastError() == ERROR_ALREADY_EXISTS ? NameTry::Taken
                                                                                                 : NameTry::Failed;
        }
        path = candidate;
        // The clean-up of another save may have come between making and locking it.
        if (const LockTry lock = lockWithin(file.get()); lock != LockTry::Taken) {
            path.clear();
            if (lock == LockTry::Busy) {
                return NameTry::Taken; // being removed
            }
            const DWORD error = GetLastError();
            file.reset();
            DeleteFileW(candidate.c_str());
            SetLastError(error);
            return NameTry::Failed;
        }
        FILE_STANDARD_INFO standard{};
        const bool removed = GetFileInformationByHandleEx(file.get(), FileStandardInfo, &standard, sizeof standard) &&
                             standard.DeletePending;
        if (removed) {
            path.clear();
            return NameTry::Taken;
        }
        return NameTry::Done;
    });
}

// Removes a leftover that no running save holds: one whose lock can be taken. It is marked for
// removal through the locked handle, so no other file under the same name can be hit.
void removeIfUnheld(const std::wstring& path) {
    const Handle file(CreateFileW(path.c_str(), GENERIC_READ | DELETE,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                  FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    if (!file.valid() || tryLock(file.get()) != LockTry::Taken) {
        return;
    }
    FILE_DISPOSITION_INFO remove{};
    remove.DeleteFile = TRUE;
    SetFileInformationByHandle(file.get(), FileDispositionInfo, &remove, sizeof remove);
}

void removeStaleLeftovers(const std::wstring& folder, const std::function<bool(const Leftover&)>& wanted) {
    WIN32_FIND_DATAW found;
    const HANDLE search =
        FindFirstFileExW((folder + L".setforge-*").c_str(), FindExInfoBasic, &found, FindExSearchNameMatch, nullptr, 0);
    if (search == INVALID_HANDLE_VALUE) {
        return;
    }
    std::vector<std::wstring> candidates;
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
        if (leftover && wanted(*leftover)) {
            candidates.emplace_back(wide);
        }
    } while (FindNextFileW(search, &found));
    FindClose(search);
    for (const std::wstring& name : candidates) {
        removeIfUnheld(folder + name);
    }
}

// Writes a new file beside the target and puts it in the target's place: ReplaceFileW keeps the
// old file's attributes and access rights.
config::WriteResult replaceByRenaming(const std::wstring& folder, const std::wstring& target,
                                      const BY_HANDLE_FILE_INFORMATION* old, std::string_view bytes) {
    Handle file;
    RemoveAtEnd temp;
    if (!makeLocked(
            folder, [] { return temporaryName(currentPid()); }, file, temp.path)) {
        return lastError();
    }
    if (!writeAll(file.get(), bytes)) {
        return lastError();
    }
    reach(WriteStep::TemporaryWritten);
    if (!FlushFileBuffers(file.get())) {
        return lastError();
    }
    // Hidden and the like stay as the player set them; not every ReplaceFileW (wine's) carries them over.
    constexpr DWORD Kept = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;
    if (old != nullptr && (old->dwFileAttributes & Kept) != 0 &&
        !SetFileAttributesW(temp.path.c_str(), old->dwFileAttributes & Kept)) {
        return lastError();
    }
    reach(WriteStep::TemporaryNamed);
    // ReplaceFileW wants the new file to itself (wine's opens it without sharing), so its lock
    // goes a moment early: a clean-up by another save in that moment makes this save fail, with
    // the old file as it was.
    file.reset();
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
    if (!makeLocked(
            folder, [&] { return backupName(currentPid(), fileId); }, copy, backup.path) ||
        !writeAll(copy.get(), oldBytes) || !FlushFileBuffers(copy.get())) {
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
            return failed(incompleteReason(reason, utf8(kept)));
        }
        return failed(reason);
    }
    return {true, {}};
}

bool sameFile(const BY_HANDLE_FILE_INFORMATION& a, const BY_HANDLE_FILE_INFORMATION& b) {
    return a.dwVolumeSerialNumber == b.dwVolumeSerialNumber && a.nFileIndexHigh == b.nFileIndexHigh &&
           a.nFileIndexLow == b.nFileIndexLow;
}

// What the name leads to now, or nullopt (GetLastError() tells why, ERROR_FILE_NOT_FOUND: nothing).
std::optional<BY_HANDLE_FILE_INFORMATION> fileAt(const std::wstring& path) {
    const Handle probe(CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES,
                                   FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                   FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    BY_HANDLE_FILE_INFORMATION info{};
    if (!probe.valid() || !GetFileInformationByHandle(probe.get(), &info)) {
        return std::nullopt;
    }
    return info;
}

// Locks the existing target for the whole save, so that two windows saving the same file (under
// any of its names) never mix their bytes. ReplaceFileW puts a new file under the name, so a save
// that had to wait checks afterwards that the name still leads to the file it locked; if the other
// save has replaced it meanwhile, it locks the new one, which the other save held locked as its
// temporary file until the replacement was done.
std::optional<config::WriteResult> lockTarget(const std::wstring& target, Handle& lock) {
    for (int round = 0; round < 10; ++round) {
        lock.reset(CreateFileW(target.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                               nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        BY_HANDLE_FILE_INFORMATION locked{};
        if (!lock.valid() || !GetFileInformationByHandle(lock.get(), &locked)) {
            return lastError();
        }
        if (const LockTry taken = lockWithin(lock.get()); taken != LockTry::Taken) {
            return taken == LockTry::Busy ? failed(anotherSaveReason()) : lastError();
        }
        const std::optional<BY_HANDLE_FILE_INFORMATION> now = fileAt(target);
        if (now && sameFile(*now, locked)) {
            return std::nullopt;
        }
    }
    return failed(anotherSaveReason());
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
            // One rule for a file the player has made read-only, whatever the number of its links.
            if ((info.dwFileAttributes & FILE_ATTRIBUTE_READONLY) != 0) {
                return failed(readOnlyReason());
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
    Handle lock; // held until this function returns
    if (exists) {
        if (std::optional<config::WriteResult> refused = lockTarget(target, lock)) {
            return std::move(*refused);
        }
        (void)GetFileInformationByHandle(lock.get(), &info); // the file locked, should the name have moved on
    }

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
    return "Unter diesem Namen liegt keine gewöhnliche Datei, sondern " + std::string(kind);
}

} // namespace setforge::platform

#endif
