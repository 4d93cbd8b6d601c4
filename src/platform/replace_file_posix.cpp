#include "platform/read_file.h"
#include "platform/replace_file.h"

#ifndef _WIN32

#include "platform/system_reason.h"

#include <cerrno>
#include <climits>
#include <csignal>
#include <ctime>
#include <functional>
#include <vector>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
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
    // Closes now and says whether the system reported an error (a network file system may
    // report a failed write only here).
    bool close() {
        const int fd = m_fd;
        m_fd = -1;
        return ::close(fd) == 0;
    }

private:
    int m_fd;
};

std::string temporaryName() {
    return detail::temporaryName(static_cast<unsigned long>(getpid()));
}

// A leftover of ours that no running save can still need: a regular file of this user whose
// process has ended, or that has not been touched for minutes.
bool isStale(int folder, const char* name, const Leftover& leftover) {
    struct stat st {};
    if (fstatat(folder, name, &st, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISREG(st.st_mode) || st.st_uid != geteuid()) {
        return false;
    }
    const auto pid = static_cast<pid_t>(leftover.pid);
    const bool processGone = pid > 0 && pid != getpid() && kill(pid, 0) != 0 && errno == ESRCH;
    return processGone || std::time(nullptr) - st.st_mtime > StaleAfterSeconds;
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
    std::vector<std::string> stale;
    while (const dirent* entry = readdir(entries)) {
        const std::optional<Leftover> leftover = parseLeftover(entry->d_name);
        if (leftover && wanted(*leftover) && isStale(folder, entry->d_name, *leftover)) {
            stale.emplace_back(entry->d_name);
        }
    }
    closedir(entries);
    for (const std::string& name : stale) {
        unlinkat(folder, name.c_str(), 0);
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

std::string notRegularReason(mode_t mode) {
    const char* kind = S_ISDIR(mode)    ? "ein Ordner"
                       : S_ISCHR(mode)  ? "ein Gerät"
                       : S_ISBLK(mode)  ? "ein Blockgerät"
                       : S_ISFIFO(mode) ? "eine benannte Pipe (FIFO)"
                       : S_ISSOCK(mode) ? "ein Socket"
                                        : "etwas anderes";
    return std::string("Das Ziel ist keine gewöhnliche Datei, sondern ") + kind + " (not a regular file)";
}

// The folder's entry for a replaced file reaches the disk with the file: without this a power loss
// can bring the old entry back. File systems that cannot sync a folder say EINVAL; the file is
// replaced either way, so no error here turns a done save into a reported failure.
void syncFolder(int folder) {
    (void)fsync(folder);
}

// A temporary file in the folder, unnamed where the file system allows it (nothing stays behind
// whatever happens to the process), else under a name that a later save recognises.
struct Temporary {
    int folder = -1;
    FileDescriptor fd;
    std::string name; // empty while unnamed

    ~Temporary() {
        if (!name.empty()) {
            unlinkat(folder, name.c_str(), 0);
        }
    }
};

bool createTemporary(Temporary& temp) {
#ifdef O_TMPFILE
    if (!writeTestHooks().noUnnamedTemporary) {
        const int fd = openat(temp.folder, ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
        if (fd >= 0) {
            temp.fd.reset(fd);
            return true;
        }
        // Other errors (no permission, read-only, full) hold for a named file as well.
        if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL) {
            return false;
        }
    }
#endif
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string name = temporaryName();
        const int fd = openat(temp.folder, name.c_str(), O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC, 0666);
        if (fd >= 0) {
            temp.fd.reset(fd);
            temp.name = std::move(name);
            return true;
        }
        if (errno != EEXIST) {
            return false;
        }
    }
    return false;
}

bool nameTemporary(Temporary& temp) {
    const std::string self = "/proc/self/fd/" + std::to_string(temp.fd.get());
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string name = temporaryName();
        int linked = linkat(AT_FDCWD, self.c_str(), temp.folder, name.c_str(), AT_SYMLINK_FOLLOW);
#ifdef AT_EMPTY_PATH
        if (linked != 0 && errno == ENOENT) { // no /proc
            linked = linkat(temp.fd.get(), "", temp.folder, name.c_str(), AT_EMPTY_PATH);
        }
#endif
        if (linked == 0) {
            temp.name = std::move(name);
            return true;
        }
        if (errno != EEXIST) {
            return false;
        }
    }
    return false;
}

struct Replacement {
    bool ownerCannotBeKept = false;
    config::WriteResult result;
};

// Writes a new file beside the target and renames it over the target.
Replacement replaceByRenaming(int folder, const std::string& name, const struct stat* old, std::string_view bytes) {
    Temporary temp;
    temp.folder = folder;
    const auto failure = [] { return Replacement{false, failed(systemReason(errno))}; };
    if (!createTemporary(temp)) {
        return failure();
    }
    const int fd = temp.fd.get();
    if (old != nullptr) {
        struct stat own {};
        if (fstat(fd, &own) != 0) {
            return failure();
        }
        // The owner first: a change of owner clears the set-id bits that the mode then restores.
        if (own.st_uid != old->st_uid || own.st_gid != old->st_gid) {
            if (fchown(fd, old->st_uid, old->st_gid) != 0) {
                if (errno == EPERM) {
                    return {true, {}};
                }
                return failure();
            }
        }
        if (fchmod(fd, old->st_mode & 07777) != 0) {
            return failure();
        }
    }
    if (!writeAll(fd, bytes.data(), bytes.size(), 0)) {
        return failure();
    }
    reach(WriteStep::TemporaryWritten);
    if (fsync(fd) != 0 || (temp.name.empty() && !nameTemporary(temp)) || !temp.fd.close()) {
        return failure();
    }
    reach(WriteStep::TemporaryNamed);
    if (renameat(folder, temp.name.c_str(), folder, name.c_str()) != 0) {
        return failure();
    }
    temp.name.clear();
    syncFolder(folder);
    return {false, {true, {}}};
}

// Writes the new bytes over the file itself, so that its hard links, owner, group, mode and
// everything else about it stay. The old bytes are first put whole into a backup beside it; a
// failed write puts them back. A crash in the middle leaves the file part new and part old, and
// the backup with every old byte; the next successful save of that file removes the backup.
config::WriteResult replaceInPlace(int folder, const std::string& name, bool forOwner, std::string_view bytes) {
    FileDescriptor file(openat(folder, name.c_str(), O_RDWR | O_NOFOLLOW | O_CLOEXEC));
    if (file.get() < 0) {
        if (forOwner && (errno == EACCES || errno == EPERM)) {
            return failed(
                "Keine Berechtigung: Die Datei gehört einem anderen Benutzer oder einer anderen Gruppe. "
                "Mit diesen Rechten lässt sie sich nicht ändern, und sie zu ersetzen würde ändern, wem sie gehört "
                "(permission denied)");
        }
        return failed(systemReason(errno));
    }
    struct stat st {};
    if (fstat(file.get(), &st) != 0) {
        return failed(systemReason(errno));
    }
    if (!S_ISREG(st.st_mode)) {
        return failed(notRegularReason(st.st_mode));
    }
    std::string oldBytes;
    if (!readAll(file.get(), oldBytes)) {
        return failed(systemReason(errno));
    }

    Temporary backup; // removed with the object unless the old bytes have to stay in it
    backup.folder = folder;
    for (int attempt = 0; attempt < 100 && backup.fd.get() < 0; ++attempt) {
        std::string candidate = backupName(static_cast<unsigned long>(getpid()), st.st_ino);
        const int fd = openat(folder, candidate.c_str(), O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC, 0600);
        if (fd >= 0) {
            backup.fd.reset(fd);
            backup.name = std::move(candidate);
        } else if (errno != EEXIST) {
            break;
        }
    }
    if (backup.fd.get() < 0 || !writeAll(backup.fd.get(), oldBytes.data(), oldBytes.size(), 0) ||
        fsync(backup.fd.get()) != 0 || !backup.fd.close()) {
        return failed(systemReason(errno));
    }
    syncFolder(folder);

    const std::size_t half = bytes.size() / 2;
    bool written = writeAll(file.get(), bytes.data(), half, 0);
    if (written) {
        reach(WriteStep::InPlaceHalfWritten);
        written = writeAll(file.get(), bytes.data() + half, bytes.size() - half, static_cast<off_t>(half)) &&
                  ftruncate(file.get(), static_cast<off_t>(bytes.size())) == 0 && fsync(file.get()) == 0;
    }
    if (!written) {
        const std::string reason = systemReason(errno);
        const bool restored = writeAll(file.get(), oldBytes.data(), oldBytes.size(), 0) &&
                              ftruncate(file.get(), static_cast<off_t>(oldBytes.size())) == 0 && fsync(file.get()) == 0;
        if (!restored) {
            const std::string kept = backup.name;
            backup.name.clear();
            return failed(reason + ". Die Datei ist unvollständig; ihr bisheriger Inhalt liegt vollständig in " + kept);
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
    struct stat old {};
    const bool exists = fstatat(folder.get(), name.c_str(), &old, 0) == 0;
    if (!exists && errno != ENOENT) {
        return failed(systemReason(errno));
    }
    if (exists && !S_ISREG(old.st_mode)) {
        return failed(notRegularReason(old.st_mode));
    }

    removeStaleLeftovers(folder.get(), [](const Leftover& leftover) { return !leftover.backup; });

    config::WriteResult result;
    if (exists && old.st_nlink > 1) {
        result = replaceInPlace(folder.get(), name, false, bytes);
    } else {
        Replacement renamed = replaceByRenaming(folder.get(), name, exists ? &old : nullptr, bytes);
        result =
            renamed.ownerCannotBeKept ? replaceInPlace(folder.get(), name, true, bytes) : std::move(renamed.result);
    }
    if (result.ok && exists) {
        // The file a killed in-place save left part-written now holds complete new bytes.
        removeStaleLeftovers(folder.get(), [&](const Leftover& leftover) {
            return leftover.backup && leftover.fileId == static_cast<unsigned long long>(old.st_ino);
        });
    }
    return result;
}

std::string detail::notRegularFileReason(unsigned int mode) {
    return notRegularReason(static_cast<mode_t>(mode));
}

} // namespace setforge::platform

#endif
