#pragma once

#include "platform/atomic_write.h"

#include <optional>
#include <string>
#include <string_view>

// The system-level half of the atomic write, without Qt: POSIX calls on Unix, Win32 on Windows.

namespace setforge::platform {

#ifdef _WIN32
using NativePath = std::wstring; // as Windows' wide-character calls take it
#else
using NativePath = std::string; // the bytes the file system stores
#endif

// See writeFileAtomically().
config::WriteResult replaceFile(NativePath path, std::string_view bytes);

namespace detail {

// Temporary files and backups are named ".setforge-<pid>-<6 letters or digits>.tmp" and
// ".setforge-<pid>-<6 letters or digits>-<id of the file backed up>.bak": a save recognises
// exactly these as its own and removes them once the process that made them is gone.
struct Leftover {
    unsigned long pid = 0;
    bool backup = false;
    unsigned long long fileId = 0; // of the file a backup holds the old bytes of
};

[[nodiscard]] std::string temporaryName(unsigned long pid);
[[nodiscard]] std::string backupName(unsigned long pid, unsigned long long fileId);
[[nodiscard]] std::optional<Leftover> parseLeftover(std::string_view name);

// A save takes well under a second; a leftover this old is stale even where its process number
// means nothing (another machine on a network share, another pid namespace).
inline constexpr long long StaleAfterSeconds = 10 * 60;

void reach(WriteStep step);

inline config::WriteResult failed(std::string reason) {
    return {false, std::move(reason)};
}

} // namespace detail
} // namespace setforge::platform
