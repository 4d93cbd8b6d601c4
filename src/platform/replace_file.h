#pragma once

#include "platform/atomic_write.h"

#include <functional>
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
// ".setforge-<pid>-<6 letters or digits>-<id of the file backed up>.bak", numbers without leading
// zeros. The pid only keeps names of different processes apart: a pid from another machine or
// another pid namespace means nothing here. Whether a save still needs its file is told by the
// lock that save holds on it for as long as it runs.
struct Leftover {
    unsigned long pid = 0;
    bool backup = false;
    unsigned long long fileId = 0; // of the file a backup holds the old bytes of
};

[[nodiscard]] std::string temporaryName(unsigned long pid);
[[nodiscard]] std::string backupName(unsigned long pid, unsigned long long fileId);
[[nodiscard]] std::optional<Leftover> parseLeftover(std::string_view name);

// One try under a fresh random name: done, the name is taken (try another), or failed (the
// system's error stands).
enum class NameTry { Done, Taken, Failed };

// Tries fresh names from `name` until `attempt` is done with one, at most 100 times; false when
// it failed or every name was taken.
bool underFreshName(const std::function<std::string()>& name,
                    const std::function<NameTry(const std::string&)>& attempt);

// One try at a lock: taken, held by someone else, or failed (the system's error stands).
enum class LockTry { Taken, Busy, Failed };

// How long a save waits for another save of the same file before it gives up: a save takes well
// under a second, so a lock held longer belongs to a save that is stuck (a slow disk, a network
// share) or to a window whose user is being asked something.
inline constexpr int LockWaitMilliseconds = 2000;

// Tries `attempt` until it is not Busy or the wait is over (then Busy).
LockTry retryWhileBusy(const std::function<LockTry()>& attempt);

// The German reasons of both writers beyond the system's own error texts.
[[nodiscard]] std::string notRegularReason(std::string_view kind);
[[nodiscard]] std::string anotherSaveReason();
[[nodiscard]] std::string readOnlyReason();
[[nodiscard]] std::string foreignOwnerReason();
[[nodiscard]] std::string folderRefusedReason(std::string_view folder, const std::string& systemReason);
[[nodiscard]] std::string incompleteReason(const std::string& systemReason, std::string_view backupPath);

// Where a file system keeps no locks, a leftover untouched this long is stale: a save takes well
// under a second.
inline constexpr long long StaleAfterSeconds = 10 * 60;

void reach(WriteStep step);

inline config::WriteResult failed(std::string reason) {
    return {false, std::move(reason)};
}

} // namespace detail
} // namespace setforge::platform
