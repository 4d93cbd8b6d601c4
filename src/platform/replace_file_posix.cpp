#include "platform/read_file.h"
#include "platform/replace_file.h"

#ifndef _WIN32

#include "platform/system_reason.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <ctime>
#include <functional>
#include <vector>

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

namespace setforge::platform {

using namespace detail;

namespace {

class FileDescriptor {
public:
    explicit FileDescriptor(int fd = -1)
        : m_fd(fd) {}
    ~FileDescriptor() { reset(); }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;

    [[nodiscard]] int get() const { return m_fd; }
    void reset(int fd = -1) {
        if (m_fd >= 0) {
            ::close(m_fd);
        }
        m_fd = fd;
    }

private:
    int m_fd;
};

std::string temporaryName() {
    return detail::temporaryName(static_cast<unsigned long>(getpid()));
}

bool sameFile(const struct stat& a, const struct stat& b) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// Whether `name` in the folder still leads to the open file `fd`.
bool nameLeadsTo(int folder, const char* name, int fd) {
    struct stat byName {};
    struct stat open {};
    return fstatat(folder, name, &byName, AT_SYMLINK_NOFOLLOW) == 0 && fstat(fd, &open) == 0 && sameFile(byName, open);
}

// An exclusive lock on the open file itself (flock: it belongs to the open file, not to the
// process, so no other open or close of the same file in this process drops it).
LockTry tryLock(int fd) {
    for (;;) {
        if (flock(fd, LOCK_EX | LOCK_NB) == 0) {
            return LockTry::Taken;
        }
        if (errno != EINTR) {
            return errno == EWOULDBLOCK ? LockTry::Busy : LockTry::Failed;
        }
    }
}

// Some file systems keep no locks (a network share without a lock service): there saves go on
// unlocked, as every program's do.
bool noLocksHere(int error) {
    return error == ENOLCK || error == EOPNOTSUPP || error == EINVAL;
}

LockTry lockWithin(int fd) {
    const LockTry lock = retryWhileBusy([fd] { return tryLock(fd); });
    return lock == LockTry::Failed && noLocksHere(errno) ? LockTry::Taken : lock;
}

// Locks a file this save has just made under `name`. Between making and locking it, the clean-up
// of another save may have taken the lock and removed the name: then the file is an orphan and
// another name is tried.
NameTry lockMadeFile(int folder, const std::string& name, int fd) {
    if (const LockTry lock = lockWithin(fd); lock != LockTry::Taken) {
        return lock == LockTry::Busy ? NameTry::Taken : NameTry::Failed; // Busy: being removed
    }
    if (!nameLeadsTo(folder, name.c_str(), fd)) {
        return errno == ENOENT ? NameTry::Taken : NameTry::Failed;
    }
    return NameTry::Done;
}

// Removes a leftover that no running save holds: a regular file of this user whose lock can be
// taken. It is removed while locked, so its maker, should it be about to lock it, finds the name
// gone. Where the file system keeps no locks, only a leftover untouched for minutes goes.
void removeIfUnheld(int folder, const char* name) {
    struct stat st {};
    if (fstatat(folder, name, &st, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISREG(st.st_mode) || st.st_uid != geteuid()) {
        return;
    }
    // For writing: a network file system may make the lock a write lock.
    const FileDescriptor file(openat(folder, name, O_RDWR | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    if (file.get() < 0) {
        return;
    }
    const LockTry lock = tryLock(file.get());
    const bool unheld = lock == LockTry::Taken || (lock == LockTry::Failed && noLocksHere(errno) &&
                                                   std::time(nullptr) - st.st_mtime > StaleAfterSeconds);
    if (unheld && nameLeadsTo(folder, name, file.get())) {
        unlinkat(folder, name, 0);
    }
}

void removeStaleLeftovers(int folder, const std::function<bool(const Leftover&)>& wanted) {
    const int listing = openat(folder, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (listing < 0) {
        return; // an unreadable folder keeps its leftovers; the save itself goes on
    }
    DIR* entries = fdopendir(listing);
    if (entries == nullptr) {
        ::close(listing);
        return;
    }
    std::vector<std::string> candidates;
    while (const dirent* entry = readdir(entries)) {
        const std::optional<Leftover> leftover = parseLeftover(entry->d_name);
        if (leftover && wanted(*leftover)) {
            candidates.emplace_back(entry->d_name);
        }
    }
    closedir(entries);
    for (const std::string& name : candidates) {
        removeIfUnheld(folder, name.c_str());
    }
}

// Writes all `size` bytes at `offset`; false with errno set when the system refuses a part.
bool writeAll(int fd, const char* data, std::size_t size, off_t offset) {
    while (size > 0) {
        const ssize_t n = pwrite(fd, data, size, offset);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            if (n == 0) {
                errno = EIO;
            }
            return false;
        }
        data += n;
        size -= static_cast<std::size_t>(n);
        offset += n;
    }
    return true;
}

bool readAll(int fd, std::string& bytes) {
    char buffer[64 * 1024];
    for (;;) {
        const ssize_t n = pread(fd, buffer, sizeof buffer, static_cast<off_t>(bytes.size()));
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            return false;
        }
        if (n == 0) {
            return true;
        }
        bytes.append(buffer, static_cast<std::size_t>(n));
    }
}

// Follows the final symbolic links of `target`, so that a link stays a link and its target gets
// the bytes, as editors do. A missing file ends the walk (it is created). False with errno set.
bool followFinalLinks(std::string& target) {
    for (int hops = 0;; ++hops) {
        struct stat st {};
        if (lstat(target.c_str(), &st) != 0) {
            return errno == ENOENT;
        }
        if (!S_ISLNK(st.st_mode)) {
            return true;
        }
        if (hops == 40) {
            errno = ELOOP;
            return false;
        }
        std::string link(PATH_MAX, '\0');
        const ssize_t n = readlink(target.c_str(), link.data(), link.size());
        if (n < 0) {
            return false;
        }
        if (static_cast<std::size_t>(n) == link.size()) {
            errno = ENAMETOOLONG;
            return false;
        }
        link.resize(static_cast<std::size_t>(n));
        const std::size_t slash = target.rfind('/');
        target = link.starts_with('/') || slash == std::string::npos ? link : target.substr(0, slash + 1) + link;
    }
}

const char* kindOfFile(mode_t mode) {
    return S_ISDIR(mode)    ? "ein Ordner"
           : S_ISCHR(mode)  ? "ein Gerät"
           : S_ISBLK(mode)  ? "ein Blockgerät"
           : S_ISFIFO(mode) ? "eine benannte Pipe (FIFO)"
           : S_ISSOCK(mode) ? "ein Socket"
                            : "etwas anderes";
}

std::string notRegularReason(mode_t mode) {
    return detail::notRegularReason(kindOfFile(mode));
}

// The reason for an error of making or renaming a file in the folder: where permissions refuse
// it, the folder is named, since the file itself may well be writable.
std::string folderReason(const std::string& folderPath, int error) {
    return error == EACCES || error == EPERM ? folderRefusedReason(folderPath, systemReason(error))
                                             : systemReason(error);
}

// The folder's entry for a replaced file reaches the disk with the file: without this a power loss
// can bring the old entry back. File systems that cannot sync a folder say EINVAL; the file is
// replaced either way, so no error here turns a done save into a reported failure.
void syncFolder(int folder) {
    (void)fsync(folder);
}

// A file this save makes in the folder: unnamed where the file system allows it (nothing stays
// behind whatever happens to the process), else under a name that a later save recognises. It is
// locked for as long as the save needs it, which tells the clean-up of other saves to leave it.
struct MadeFile {
    int folder = -1;
    FileDescriptor fd;
    std::string name; // empty while unnamed

    ~MadeFile() {
        if (!name.empty()) {
            unlinkat(folder, name.c_str(), 0); // before the lock goes with the descriptor
        }
    }

    bool makeNamed(const std::function<std::string()>& nextName, mode_t mode) {
        return underFreshName(nextName, [&](const std::string& candidate) {
            fd.reset(openat(folder, candidate.c_str(), O_CREAT | O_EXCL | O_RDWR | O_CLOEXEC, mode));
            if (fd.get() < 0) {
                return errno == EEXIST ? NameTry::Taken : NameTry::Failed;
            }
            name = candidate;
            const NameTry locked = lockMadeFile(folder, candidate, fd.get());
            if (locked != NameTry::Done) {
                name.clear(); // removed by another save's clean-up, or ours to remove below
                if (locked == NameTry::Failed) {
                    const int error = errno;
                    unlinkat(folder, candidate.c_str(), 0);
                    errno = error;
                }
            }
            return locked;
        });
    }
};

bool createTemporary(MadeFile& temp) {
#ifdef O_TMPFILE
    if (!writeTestHooks().noUnnamedTemporary) {
        const int fd = openat(temp.folder, ".", O_TMPFILE | O_RDWR | O_CLOEXEC, 0666);
        if (fd >= 0) {
            temp.fd.reset(fd);
            return lockWithin(fd) == LockTry::Taken; // nobody else can reach it yet
        }
        // Other errors (no permission, read-only, full) hold for a named file as well.
        if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL) {
            return false;
        }
    }
#endif
    return temp.makeNamed([] { return temporaryName(); }, 0666);
}

bool nameTemporary(MadeFile& temp) {
    const std::string self = "/proc/self/fd/" + std::to_string(temp.fd.get());
    return underFreshName([] { return temporaryName(); },
                          [&](const std::string& name) {
                              int linked = linkat(AT_FDCWD, self.c_str(), temp.folder, name.c_str(), AT_SYMLINK_FOLLOW);
#ifdef AT_EMPTY_PATH
                              if (linked != 0 && errno == ENOENT) { // no /proc
                                  linked = linkat(temp.fd.get(), "", temp.folder, name.c_str(), AT_EMPTY_PATH);
                              }
#endif
                              if (linked == 0) {
                                  temp.name = name;
                                  return NameTry::Done;
                              }
                              return errno == EEXIST ? NameTry::Taken : NameTry::Failed;
                          });
}

// The existing target, open for writing and locked for the whole save so that two windows saving
// the same file (under any of its names) never mix their bytes.
//
// Replacing by rename puts a new file under the name, so the lock is on the file the name leads
// to when it is taken, and a save that had to wait checks afterwards that the name still leads
// there. If the other save has renamed its new file into place meanwhile, the waiting save locks
// that one instead: the other save held its new file locked too until the rename was done, so the
// waiting save never writes while the other still does.
struct Target {
    FileDescriptor fd; // -1: there is no file yet
    struct stat st {};
};

std::optional<config::WriteResult> openLockedTarget(int folder, const std::string& name, Target& target) {
    for (int round = 0; round < 10; ++round) {
        struct stat st {};
        if (fstatat(folder, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) {
            return errno == ENOENT ? std::nullopt : std::optional(failed(systemReason(errno)));
        }
        if (!S_ISREG(st.st_mode)) {
            return failed(notRegularReason(st.st_mode));
        }
        // The saver's write permission on the file decides whether it may be saved, whatever the
        // way it is then replaced.
        target.fd.reset(openat(folder, name.c_str(), O_RDWR | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
        if (target.fd.get() < 0) {
            if (errno == ENOENT) {
                continue; // replaced or removed meanwhile
            }
            if (errno == EACCES || errno == EPERM) {
                return failed(errno == EACCES && st.st_uid != geteuid() ? foreignOwnerReason() : readOnlyReason());
            }
            return failed(systemReason(errno));
        }
        if (fstat(target.fd.get(), &target.st) != 0) {
            return failed(systemReason(errno));
        }
        if (!S_ISREG(target.st.st_mode)) {
            return failed(notRegularReason(target.st.st_mode));
        }
        const LockTry lock = lockWithin(target.fd.get());
        if (lock != LockTry::Taken) {
            return failed(lock == LockTry::Busy ? anotherSaveReason() : systemReason(errno));
        }
        if (nameLeadsTo(folder, name.c_str(), target.fd.get())) {
            return std::nullopt;
        }
    }
    return failed(anotherSaveReason()); // replaced again and again
}

int changeOwner(int fd, uid_t uid, gid_t gid) {
    if (const int refused = writeTestHooks().refuseOwnerAndModeChanges) {
        errno = refused;
        return -1;
    }
    return fchown(fd, uid, gid);
}

int changeMode(int fd, mode_t mode) {
    if (const int refused = writeTestHooks().refuseOwnerAndModeChanges) {
        errno = refused;
        return -1;
    }
    return fchmod(fd, mode);
}

// What the file system may answer where a new file cannot be given an owner or a mode (another
// user's file; FAT through FUSE, which has neither): the file is then written in place instead.
bool changeRefused(int error) {
    return error == EPERM || error == ENOSYS || error == EOPNOTSUPP;
}

enum class Kept { Yes, NotHere, Failed };

// Gives the new file the old one's owner and mode. Calls nothing that is already so: a file
// system that refuses every change (FAT through FUSE) still takes a file whose mode matches.
Kept keepOwnerAndMode(int fd, const struct stat& old) {
    struct stat own {};
    if (fstat(fd, &own) != 0) {
        return Kept::Failed;
    }
    // The owner first: a change of owner clears the set-id bits that the mode then restores.
    if (own.st_uid != old.st_uid || own.st_gid != old.st_gid) {
        if (changeOwner(fd, old.st_uid, old.st_gid) != 0) {
            return changeRefused(errno) ? Kept::NotHere : Kept::Failed;
        }
        if (fstat(fd, &own) != 0) {
            return Kept::Failed;
        }
    }
    if ((own.st_mode & 07777) != (old.st_mode & 07777) && changeMode(fd, old.st_mode & 07777) != 0) {
        return changeRefused(errno) ? Kept::NotHere : Kept::Failed;
    }
    return Kept::Yes;
}

// The names of a file's extended attributes; nullopt with errno set on failure.
std::optional<std::vector<std::string>> attributeNames(int fd) {
    for (;;) {
        const ssize_t size = flistxattr(fd, nullptr, 0);
        if (size < 0) {
            return errno == EOPNOTSUPP ? std::optional(std::vector<std::string>{}) : std::nullopt;
        }
        std::string list(static_cast<std::size_t>(size), '\0');
        const ssize_t n = flistxattr(fd, list.data(), list.size());
        if (n < 0 && errno == ERANGE) {
            continue; // grew in between
        }
        if (n < 0) {
            return std::nullopt;
        }
        std::vector<std::string> names;
        for (std::size_t at = 0; at < static_cast<std::size_t>(n);) {
            names.emplace_back(list.c_str() + at);
            at += names.back().size() + 1;
        }
        return names;
    }
}

std::optional<std::string> attributeValue(int fd, const std::string& name) {
    for (;;) {
        const ssize_t size = fgetxattr(fd, name.c_str(), nullptr, 0);
        if (size < 0) {
            return std::nullopt;
        }
        std::string value(static_cast<std::size_t>(size), '\0');
        const ssize_t n = fgetxattr(fd, name.c_str(), value.data(), value.size());
        if (n >= 0) {
            value.resize(static_cast<std::size_t>(n));
            return value;
        }
        if (errno != ERANGE) {
            return std::nullopt;
        }
    }
}

// Gives the new file exactly the old one's extended attributes, its access control list
// (system.posix_acl_access) among them: without them a replaced file would lose notes and, worse,
// gain access that its list had narrowed. False where the file system refuses one.
bool copyAttributes(int from, int to) {
    const auto oldNames = attributeNames(from);
    const auto newNames = attributeNames(to);
    if (!oldNames || !newNames) {
        return false;
    }
    for (const std::string& name : *newNames) { // inherited from the folder's default list
        if (std::find(oldNames->begin(), oldNames->end(), name) == oldNames->end() &&
            fremovexattr(to, name.c_str()) != 0) {
            return false;
        }
    }
    for (const std::string& name : *oldNames) {
        const std::optional<std::string> value = attributeValue(from, name);
        if (!value || fsetxattr(to, name.c_str(), value->data(), value->size(), 0) != 0) {
            return false;
        }
    }
    return true;
}

struct Replacement {
    bool inPlaceInstead = false; // a new file cannot be what the old one is
    config::WriteResult result;
};

// Writes a new file beside the target and renames it over the target.
Replacement replaceByRenaming(int folder, const std::string& folderPath, const std::string& name, const Target& old,
                              std::string_view bytes) {
    MadeFile temp;
    temp.folder = folder;
    const auto failure = [] { return Replacement{false, failed(systemReason(errno))}; };
    if (!createTemporary(temp)) {
        return {false, failed(folderReason(folderPath, errno))};
    }
    const int fd = temp.fd.get();
    const bool exists = old.fd.get() >= 0;
    if (exists) {
        const Kept kept = keepOwnerAndMode(fd, old.st);
        if (kept != Kept::Yes) {
            return kept == Kept::NotHere ? Replacement{true, {}} : failure();
        }
    }
    if (!writeAll(fd, bytes.data(), bytes.size(), 0)) {
        return failure();
    }
    reach(WriteStep::TemporaryWritten);
    if (exists) {
        // After the bytes, which clear set-id bits a writer without the right to keep them sets.
        if (!copyAttributes(old.fd.get(), fd)) {
            return {true, {}};
        }
        const Kept kept = keepOwnerAndMode(fd, old.st);
        if (kept != Kept::Yes) {
            return kept == Kept::NotHere ? Replacement{true, {}} : failure();
        }
    }
    if (fsync(fd) != 0) {
        return failure();
    }
    if (temp.name.empty() && !nameTemporary(temp)) {
        return {false, failed(folderReason(folderPath, errno))};
    }
    reach(WriteStep::TemporaryNamed);
    if (renameat(folder, temp.name.c_str(), folder, name.c_str()) != 0) {
        // A file that is a mount point of its own (bind-mounted) cannot be renamed over; a sticky
        // folder may refuse the rename of a file the saver may write.
        if (exists && (errno == EBUSY || errno == EACCES || errno == EPERM)) {
            return {true, {}};
        }
        return {false, failed(folderReason(folderPath, errno))};
    }
    temp.name.clear();
    syncFolder(folder);
    return {false, {true, {}}};
}

// Writes the new bytes over the file itself, so that its hard links, owner, group, mode and
// everything else about it stay. The old bytes are first put whole into a backup beside it; a
// failed write puts them back. A crash in the middle leaves the file part new and part old, and
// the backup with every old byte; the next successful save of that file removes the backup.
config::WriteResult replaceInPlace(int folder, const std::string& folderPath, const Target& target,
                                   std::string_view bytes) {
    const int file = target.fd.get();
    std::string oldBytes;
    if (!readAll(file, oldBytes)) {
        return failed(systemReason(errno));
    }

    MadeFile backup; // removed with the object unless the old bytes have to stay in it
    backup.folder = folder;
    const auto fileId = static_cast<unsigned long long>(target.st.st_ino);
    if (!backup.makeNamed([&] { return backupName(static_cast<unsigned long>(getpid()), fileId); }, 0600)) {
        return failed(folderReason(folderPath, errno));
    }
    // The owner of the file can read a backup that root made of it, and remove it with his saves.
    if (target.st.st_uid != geteuid()) {
        (void)fchown(backup.fd.get(), target.st.st_uid, target.st.st_gid);
    }
    if (!writeAll(backup.fd.get(), oldBytes.data(), oldBytes.size(), 0) || fsync(backup.fd.get()) != 0) {
        return failed(systemReason(errno));
    }
    syncFolder(folder);

    const std::size_t half = bytes.size() / 2;
    bool written = writeAll(file, bytes.data(), half, 0);
    if (written) {
        reach(WriteStep::InPlaceHalfWritten);
        written = writeAll(file, bytes.data() + half, bytes.size() - half, static_cast<off_t>(half)) &&
                  ftruncate(file, static_cast<off_t>(bytes.size())) == 0 && fsync(file) == 0;
    }
    if (!written) {
        const std::string reason = systemReason(errno);
        const bool restored = writeAll(file, oldBytes.data(), oldBytes.size(), 0) &&
                              ftruncate(file, static_cast<off_t>(oldBytes.size())) == 0 && fsync(file) == 0;
        if (!restored) {
            const std::string kept = folderPath + "/" + backup.name;
            backup.name.clear();
            return failed(incompleteReason(reason, kept));
        }
        return failed(reason);
    }
    return {true, {}};
}

} // namespace

config::WriteResult replaceFile(std::string target, std::string_view bytes) {
    if (!followFinalLinks(target)) {
        return failed(systemReason(errno));
    }
    const std::size_t slash = target.rfind('/');
    const std::string folderPath = slash == std::string::npos ? "." : slash == 0 ? "/" : target.substr(0, slash);
    const std::string name = slash == std::string::npos ? target : target.substr(slash + 1);
    if (name.empty() || name == "." || name == "..") {
        return failed(systemReason(EISDIR));
    }
    // Everything below works relative to the open folder: the temporary and backup names
    // never make the path longer than the one the user chose.
    const FileDescriptor folder(open(folderPath.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (folder.get() < 0) {
        return failed(systemReason(errno));
    }
    Target old; // locked until this function returns
    if (std::optional<config::WriteResult> refused = openLockedTarget(folder.get(), name, old)) {
        return std::move(*refused);
    }
    const bool exists = old.fd.get() >= 0;

    removeStaleLeftovers(folder.get(), [](const Leftover& leftover) { return !leftover.backup; });

    config::WriteResult result;
    if (exists && old.st.st_nlink > 1) {
        result = replaceInPlace(folder.get(), folderPath, old, bytes);
    } else {
        Replacement renamed = replaceByRenaming(folder.get(), folderPath, name, old, bytes);
        result =
            renamed.inPlaceInstead ? replaceInPlace(folder.get(), folderPath, old, bytes) : std::move(renamed.result);
    }
    if (result.ok && exists) {
        // The file a killed in-place save left part-written now holds complete new bytes.
        removeStaleLeftovers(folder.get(), [&](const Leftover& leftover) {
            return leftover.backup && leftover.fileId == static_cast<unsigned long long>(old.st.st_ino);
        });
    }
    return result;
}

std::string detail::notRegularFileReason(unsigned int mode) {
    return "Unter diesem Namen liegt keine gewöhnliche Datei, sondern " +
           std::string(kindOfFile(static_cast<mode_t>(mode)));
}

} // namespace setforge::platform

#endif
