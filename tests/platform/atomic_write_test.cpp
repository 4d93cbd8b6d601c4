#include "platform/qt_window_services.h"
#include "platform/replace_file.h"
#include "platform/system_reason.h"

#include "support/printers.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <functional>
#include <iostream>
#include <map>
#include <optional>
#include <ostream>
#include <string>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <grp.h>
#include <sched.h>
#include <sys/file.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <unistd.h>

// Shows a file's bytes as text in failure messages.
inline void PrintTo(const QByteArray& bytes, std::ostream* os) {
    *os << '"' << bytes.toStdString() << '"';
}

namespace setforge::platform {
namespace {

const QByteArray OldBytes = "name \"old\"\r\n// User Angaben\r\n\r\n";
constexpr uid_t Nobody = 65534;
constexpr gid_t NoGroup = 65534;

QByteArray newConfig(qsizetype size) {
    QByteArray bytes;
    while (bytes.size() < size) {
        bytes += "bind \"F11\" \"vest\"\r\n";
    }
    bytes.truncate(size);
    return bytes;
}

void putFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
    ASSERT_EQ(file.write(bytes), bytes.size());
}

QByteArray bytesOf(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

std::string native(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

// A file's extended attributes, its access control list among them, as " name=value" each.
QByteArray attributesOf(const QString& path) {
    char names[4096];
    const ssize_t size = llistxattr(native(path).c_str(), names, sizeof names);
    QByteArray all;
    for (ssize_t at = 0; at < size; at += static_cast<ssize_t>(std::strlen(names + at)) + 1) {
        char value[4096];
        const ssize_t n = lgetxattr(native(path).c_str(), names + at, value, sizeof value);
        all += " " + QByteArray(names + at) + "=" + QByteArray(value, std::max<ssize_t>(n, 0)).toHex();
    }
    return all;
}

// Every entry below `root` with what it is: a file's bytes, owner, group, mode and number of
// links, extended attributes, a link's target, another kind by name. Two equal trees mean nothing was changed, added
// or left behind. Special files are never opened (a FIFO would block).
std::map<QString, QByteArray> treeOf(const QString& root) {
    std::map<QString, QByteArray> tree;
    QDirIterator it(root, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        struct stat st {};
        QByteArray entry = "<gone>";
        if (lstat(native(path).c_str(), &st) == 0) {
            entry = QByteArray::number(st.st_uid) + ":" + QByteArray::number(st.st_gid) + " " +
                    QByteArray::number(st.st_mode, 8) + " ";
            if (S_ISREG(st.st_mode)) {
                entry += "links " + QByteArray::number(st.st_nlink) + attributesOf(path) + " " + bytesOf(path);
            } else if (S_ISLNK(st.st_mode)) {
                entry += "-> " + QFile::encodeName(QFile::symLinkTarget(path));
            } else if (S_ISDIR(st.st_mode)) {
                entry += "<folder>";
            } else {
                entry += "<special " + QByteArray::number(static_cast<qulonglong>(st.st_rdev)) + ">";
            }
        }
        tree.emplace(QDir(root).relativeFilePath(path), entry);
    }
    return tree;
}

// Runs `work` in a child process and returns what it reported; nullopt when the child died
// without reporting (a failed assertion in it is lost, so a wrong report must show the fault).
std::optional<std::string> inChild(const std::function<std::string()>& work) {
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0) {
        return std::nullopt;
    }
    const pid_t child = fork();
    if (child == 0) {
        close(pipeEnds[0]);
        const std::string report = work();
        for (size_t sent = 0; sent < report.size();) {
            const ssize_t n = write(pipeEnds[1], report.data() + sent, report.size() - sent);
            if (n <= 0) {
                _exit(2);
            }
            sent += static_cast<size_t>(n);
        }
        _exit(0);
    }
    close(pipeEnds[1]);
    std::string report;
    char buffer[256];
    for (ssize_t n; (n = read(pipeEnds[0], buffer, sizeof buffer)) > 0;) {
        report.append(buffer, static_cast<size_t>(n));
    }
    close(pipeEnds[0]);
    int status = 0;
    waitpid(child, &status, 0);
    if (child < 0 || !WIFEXITED(status) || WEXITSTATUS(status) != 0 || report.empty()) {
        return std::nullopt;
    }
    return report;
}

std::string encode(const config::WriteResult& result) {
    return (result.ok ? "1" : "0") + result.error;
}

config::WriteResult decode(const std::optional<std::string>& report) {
    if (!report) {
        ADD_FAILURE() << "the writing child process did not report";
        return {false, "<no report>"};
    }
    return {report->front() == '1', report->substr(1)};
}

bool dropToNobody() {
    return setgroups(0, nullptr) == 0 && setgid(NoGroup) == 0 && setuid(Nobody) == 0;
}

// Where the write runs: here, or in a child process that meets the fault there.
enum class Runner {
    Here,
    FileSizeLimit,   // with SIGXFSZ ignored, a write past the limit fails with EFBIG, as on a full disk
    AsNobody,        // root drops to nobody:nogroup, whom permissions stop (root only)
    PrivateMountRoot // the whole case runs in a private mount namespace on a fresh tmpfs (root only)
};

struct WriteFault {
    const char* name;
    // Builds the fault below `root`, which already holds userconfig.cfg with OldBytes,
    // and returns the path the user chose.
    std::function<QString(const QDir& root)> prepare;
    int systemError = 0;             // the errno whose reason must be given; 0: see reasonContains
    const char* reasonContains = ""; // a part the reason must hold
    Runner runner = Runner::Here;
    rlim_t fileSizeLimit = RLIM_INFINITY;
    qsizetype configSize = 64 * 1024;
    bool needsFolderPermissions = false; // root writes into read-only folders anyway
};

void PrintTo(const WriteFault& fault, std::ostream* os) {
    *os << fault.name;
}

struct Attempt {
    config::WriteResult result;
    std::map<QString, QByteArray> before;
    std::map<QString, QByteArray> after;
};

Attempt attemptHere(const WriteFault& fault, const QDir& root) {
    Attempt attempt;
    putFile(root.filePath("userconfig.cfg"), OldBytes);
    const QString path = fault.prepare(root);
    attempt.before = treeOf(root.path());
    const QByteArray bytes = newConfig(fault.configSize);
    switch (fault.runner) {
    case Runner::Here:
    case Runner::PrivateMountRoot:
        attempt.result = writeFileAtomically(path, bytes);
        break;
    case Runner::FileSizeLimit:
        attempt.result = decode(inChild([&] {
            std::signal(SIGXFSZ, SIG_IGN);
            const rlimit fileSize{fault.fileSizeLimit, fault.fileSizeLimit};
            setrlimit(RLIMIT_FSIZE, &fileSize);
            return encode(writeFileAtomically(path, bytes));
        }));
        break;
    case Runner::AsNobody:
        attempt.result = decode(inChild([&] {
            return dropToNobody() ? encode(writeFileAtomically(path, bytes)) : std::string("0could not become nobody");
        }));
        break;
    }
    attempt.after = treeOf(root.path());
    return attempt;
}

// The whole attempt inside a private mount namespace, so that device nodes and bind mounts
// exist only there and vanish with the child; the machine's /dev is never touched.
std::optional<Attempt> attemptInPrivateMounts(const WriteFault& fault, const QDir& root) {
    const std::optional<std::string> report = inChild([&]() -> std::string {
        if (unshare(CLONE_NEWNS) != 0 || mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
            mount("tmpfs", native(root.path()).c_str(), "tmpfs", 0, "size=4m,mode=0700") != 0) {
            return "skip " + std::string(std::strerror(errno));
        }
        const Attempt attempt = attemptHere(fault, root);
        return encode(attempt.result) + '\0' + (attempt.before == attempt.after ? "same" : "changed");
    });
    if (!report) {
        ADD_FAILURE() << "the child in the private mount namespace did not report";
        return std::nullopt;
    }
    if (report->starts_with("skip ")) {
        return std::nullopt;
    }
    const std::size_t end = report->find('\0');
    Attempt attempt;
    attempt.result = decode(report->substr(0, end));
    attempt.after["tree"] = QByteArray::fromStdString(report->substr(end + 1));
    attempt.before["tree"] = "same";
    return attempt;
}

class AtomicWriteFault : public ::testing::TestWithParam<WriteFault> {};

TEST_P(AtomicWriteFault, LeavesEveryFileAsItWasAndGivesTheReason) {
    const WriteFault& fault = GetParam();
    if (fault.needsFolderPermissions && geteuid() == 0) {
        GTEST_SKIP() << "running as root, which writes into read-only folders anyway";
    }
    if ((fault.runner == Runner::AsNobody || fault.runner == Runner::PrivateMountRoot) && geteuid() != 0) {
        GTEST_SKIP() << "needs root (to drop to nobody, or to make device nodes in a private mount namespace)";
    }
    QTemporaryDir temp;
    ASSERT_TRUE(temp.isValid());
    const QDir root(temp.path());

    std::optional<Attempt> attempt;
    if (fault.runner == Runner::PrivateMountRoot) {
        attempt = attemptInPrivateMounts(fault, root);
        if (!attempt && !HasFailure()) {
            GTEST_SKIP() << "no private mount namespace here (unshare or mount refused)";
        }
    } else {
        attempt = attemptHere(fault, root);
    }
    ASSERT_TRUE(attempt.has_value());

    EXPECT_FALSE(attempt->result.ok);
    EXPECT_FALSE(attempt->result.error.empty());
    if (fault.systemError != 0) {
        EXPECT_EQ(attempt->result.error, systemReason(fault.systemError));
    }
    EXPECT_NE(attempt->result.error.find(fault.reasonContains), std::string::npos) << attempt->result.error;
    EXPECT_EQ(attempt->after, attempt->before);

    // Lets QTemporaryDir remove a read-only folder again.
    QFile::setPermissions(root.filePath("locked"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

QString makeFifo(const QDir& root, const QString& name) {
    const QString path = root.filePath(name);
    EXPECT_EQ(mkfifo(native(path).c_str(), 0644), 0) << std::strerror(errno);
    return path;
}

QString makeDevice(const QDir& root, unsigned minor) {
    const QString path = root.filePath("device.cfg");
    EXPECT_EQ(mknod(native(path).c_str(), S_IFCHR | 0666, makedev(1, minor)), 0) << std::strerror(errno);
    return path;
}

QString makeSocket(const QDir& root) {
    const QString path = root.filePath("socket.cfg");
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const std::string where = native(path);
    EXPECT_LT(where.size(), sizeof address.sun_path);
    std::strncpy(address.sun_path, where.c_str(), sizeof address.sun_path - 1);
    const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
    EXPECT_EQ(bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0) << std::strerror(errno);
    close(fd); // the socket's entry stays
    return path;
}

constexpr const char* NotRegular = "keine gewöhnliche Datei";

// userconfig.cfg with `fileMode` in the test folder with `folderMode`.
QString withModes(const QDir& root, mode_t folderMode, mode_t fileMode) {
    chmod(native(root.path()).c_str(), folderMode);
    chmod(native(root.filePath("userconfig.cfg")).c_str(), fileMode);
    return root.filePath("userconfig.cfg");
}

INSTANTIATE_TEST_SUITE_P(
    Faults, AtomicWriteFault,
    ::testing::Values(
        WriteFault{.name = "FolderChosenAsFile",
                   .prepare =
                       [](const QDir& root) {
                           root.mkdir("chosen.cfg");
                           putFile(root.filePath("chosen.cfg/keep.txt"), OldBytes);
                           return root.filePath("chosen.cfg");
                       },
                   .reasonContains = NotRegular},
        WriteFault{.name = "Fifo",
                   .prepare = [](const QDir& root) { return makeFifo(root, "pipe.cfg"); },
                   .reasonContains = NotRegular},
        WriteFault{.name = "SymlinkToAFifo",
                   .prepare =
                       [](const QDir& root) {
                           makeFifo(root, "pipe");
                           QFile::link("pipe", root.filePath("userconfig-link.cfg"));
                           return root.filePath("userconfig-link.cfg");
                       },
                   .reasonContains = NotRegular},
        WriteFault{.name = "Socket", .prepare = makeSocket, .reasonContains = NotRegular},
        WriteFault{.name = "NullDevice",
                   .prepare = [](const QDir& root) { return makeDevice(root, 3); },
                   .reasonContains = NotRegular,
                   .runner = Runner::PrivateMountRoot},
        WriteFault{.name = "FullDevice",
                   .prepare = [](const QDir& root) { return makeDevice(root, 7); },
                   .reasonContains = NotRegular,
                   .runner = Runner::PrivateMountRoot},
        WriteFault{.name = "NullDeviceBoundOverTheFile",
                   .prepare =
                       [](const QDir& root) {
                           const QString path = root.filePath("userconfig.cfg");
                           EXPECT_EQ(mount("/dev/null", native(path).c_str(), nullptr, MS_BIND, nullptr), 0)
                               << std::strerror(errno);
                           return path;
                       },
                   .reasonContains = NotRegular,
                   .runner = Runner::PrivateMountRoot},
        WriteFault{.name = "PathBelowARegularFile",
                   .prepare =
                       [](const QDir& root) {
                           putFile(root.filePath("notes"), OldBytes);
                           return root.filePath("notes/userconfig.cfg");
                       },
                   .systemError = ENOTDIR},
        WriteFault{.name = "FolderVanishedAfterTheDialog",
                   .prepare =
                       [](const QDir& root) {
                           root.mkdir("gone");
                           root.rmdir("gone");
                           return root.filePath("gone/userconfig.cfg");
                       },
                   .systemError = ENOENT},
        WriteFault{
            .name = "PathLongerThanTheSystemAllows",
            .prepare = [](const QDir& root) { return root.filePath(QString("d/").repeated(2100) + "userconfig.cfg"); },
            .systemError = ENAMETOOLONG,
            .reasonContains = "Der Pfad ist zu lang"},
        WriteFault{.name = "NameLongerThanTheFileSystemAllows",
                   .prepare = [](const QDir& root) { return root.filePath(QString(256, 'n')); },
                   .systemError = ENAMETOOLONG},
        // Above and below the size of Qt's write buffer: a buffered write fails only when flushed.
        WriteFault{.name = "DiskFullOverAnExistingFile",
                   .prepare = [](const QDir& root) { return root.filePath("userconfig.cfg"); },
                   .systemError = EFBIG,
                   .runner = Runner::FileSizeLimit,
                   .fileSizeLimit = 4096},
        WriteFault{.name = "DiskFullWhenTheLastBytesGoOut",
                   .prepare = [](const QDir& root) { return root.filePath("userconfig.cfg"); },
                   .systemError = EFBIG,
                   .runner = Runner::FileSizeLimit,
                   .fileSizeLimit = 1024,
                   .configSize = 3000},
        // Written in place: the old bytes must come back into the file and into its other name.
        WriteFault{.name = "DiskFullOverAHardLinkedFile",
                   .prepare =
                       [](const QDir& root) {
                           EXPECT_EQ(link(native(root.filePath("userconfig.cfg")).c_str(),
                                          native(root.filePath("second-name.cfg")).c_str()),
                                     0);
                           return root.filePath("userconfig.cfg");
                       },
                   .systemError = EFBIG,
                   .runner = Runner::FileSizeLimit,
                   .fileSizeLimit = 4096},
        // The folder, not the file, stops the save: the reason says so.
        WriteFault{.name = "FolderNotWritableWhileTheFileIs",
                   .prepare = [](const QDir& root) { return withModes(root, 0755, 0666); },
                   .reasonContains = "Im Ordner /",
                   .runner = Runner::AsNobody},
        // The saver's own file that he may not write: refused like the same file with two links.
        WriteFault{.name = "ReadOnlyFileOfTheSaver",
                   .prepare =
                       [](const QDir& root) {
                           EXPECT_EQ(chown(native(root.filePath("userconfig.cfg")).c_str(), Nobody, NoGroup), 0);
                           return withModes(root, 0777, 0444);
                       },
                   .reasonContains = "schreibgeschützt",
                   .runner = Runner::AsNobody},
        WriteFault{.name = "ReadOnlyFolder",
                   .prepare =
                       [](const QDir& root) {
                           root.mkdir("locked");
                           putFile(root.filePath("locked/userconfig.cfg"), OldBytes);
                           QFile::setPermissions(root.filePath("locked"), QFile::ReadOwner | QFile::ExeOwner);
                           return root.filePath("locked/userconfig.cfg");
                       },
                   .reasonContains = "Im Ordner ",
                   .needsFolderPermissions = true},
        // Replacing the file would take it from its owner; changing it in place is not allowed.
        WriteFault{.name = "AnotherUsersFileInASharedFolder",
                   .prepare = [](const QDir& root) { return withModes(root, 0777, 0644); },
                   .reasonContains = "gehört einem anderen Benutzer",
                   .runner = Runner::AsNobody}),
    [](const ::testing::TestParamInfo<WriteFault>& fault) { return std::string(fault.param.name); });

// The reasons a failed save shows are German, with the system's text in brackets for a report.
TEST(AtomicWrite, ReasonsAreGermanWithTheSystemsTextBeside) {
    struct Case {
        int error;
        const char* german; // "": a number without a German text of its own
    };
    const Case cases[] = {
        {ENAMETOOLONG, "Der Pfad ist zu lang"},
        {ENOSPC, "Auf dem Datenträger ist kein Platz mehr frei"},
        {EDQUOT, "Das Speicherkontingent ist erschöpft"},
        {EFBIG, "Die Datei wird zu groß"},
        {EACCES, "Keine Berechtigung"},
        {EPERM, "Keine Berechtigung"},
        {EROFS, "Das Dateisystem ist schreibgeschützt"},
        {ENOENT, "Der Ordner existiert nicht"},
        {ENOTDIR, "Ein Teil des Pfades ist kein Ordner"},
        {EIO, "Ein-/Ausgabefehler"},
        {ELOOP, "Zu viele symbolische Verknüpfungen"},
        {EHOSTDOWN, ""},
    };
    for (const Case& c : cases) {
        const std::string reason = systemReason(c.error);
        SCOPED_TRACE(reason);
        const std::string german = *c.german != '\0' ? c.german : "Systemfehler " + std::to_string(c.error);
        EXPECT_EQ(reason.rfind(german, 0), 0u);
        EXPECT_TRUE(reason.ends_with(" (" + std::string(std::strerror(c.error)) + ")"));
    }
}

// An existing file that nobody may replace, root included: the immutable attribute, where the
// file system and the tools allow it.
TEST(AtomicWrite, ImmutableExistingFileKeepsItsBytes) {
    QTemporaryDir temp;
    ASSERT_TRUE(temp.isValid());
    const QDir root(temp.path());
    const QString path = root.filePath("userconfig.cfg");
    putFile(path, OldBytes);
    const std::string quoted = "'" + path.toStdString() + "'";
    if (std::system(("chattr +i " + quoted + " 2>/dev/null").c_str()) != 0) {
        GTEST_SKIP() << "chattr +i is not available here (no e2fsprogs, no permission, or the file system lacks it)";
    }
    const std::map<QString, QByteArray> before = treeOf(root.path());
    const config::WriteResult result = writeFileAtomically(path, newConfig(500));
    const std::map<QString, QByteArray> after = treeOf(root.path());
    EXPECT_EQ(std::system(("chattr -i " + quoted).c_str()), 0);

    EXPECT_FALSE(result.ok);
    EXPECT_FALSE(result.error.empty());
    EXPECT_EQ(after, before);
}

struct Replacement {
    const char* name;
    std::optional<QByteArray> existing;
    QByteArray written;
};

TEST(AtomicWrite, LeavesExactlyTheNewBytesAndNothingElse) {
    const Replacement cases[] = {
        {"new file", std::nullopt, newConfig(300)},
        {"longer file replaced", newConfig(8192), newConfig(40)},
        {"shorter file replaced", newConfig(10), newConfig(5000)},
        {"emptied", OldBytes, QByteArray()},
        {"bytes outside UTF-8 kept", OldBytes, QByteArray("name \"J\xe4ger\x80\"\r\n")},
    };
    for (const Replacement& c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir temp;
        ASSERT_TRUE(temp.isValid());
        const QString path = QDir(temp.path()).filePath("userconfig.cfg");
        if (c.existing) {
            putFile(path, *c.existing);
        }

        const config::WriteResult result = writeFileAtomically(path, c.written);

        EXPECT_TRUE(result.ok) << result.error;
        EXPECT_TRUE(result.error.empty());
        ASSERT_EQ(treeOf(temp.path()).size(), 1u);
        EXPECT_EQ(bytesOf(path), c.written);
    }
}

// What a saved file is besides its bytes: a new file gets the usual mode for the user's umask.
TEST(AtomicWrite, NewFileGetsTheModeTheUmaskAllows) {
    for (const mode_t mask : {mode_t{022}, mode_t{077}, mode_t{002}}) {
        SCOPED_TRACE(mask);
        QTemporaryDir temp;
        ASSERT_TRUE(temp.isValid());
        const QString path = QDir(temp.path()).filePath("userconfig.cfg");
        const mode_t previous = umask(mask);
        const config::WriteResult result = writeFileAtomically(path, OldBytes);
        umask(previous);
        ASSERT_TRUE(result.ok) << result.error;
        struct stat st {};
        ASSERT_EQ(stat(native(path).c_str(), &st), 0);
        EXPECT_EQ(st.st_mode & 07777, 0666 & ~mask);
    }
}

struct Keeping {
    const char* name;
    // Prepares `root` (userconfig.cfg with OldBytes is there) and returns the path the user chose.
    std::function<QString(const QDir& root)> prepare;
    Runner runner = Runner::Here;
    bool needsRoot = false;
    int refuseOwnerAndModeChanges = 0; // as FAT through FUSE does (ENOSYS)
};

// A note and an access control list (u::rw-, u:nobody:rw-, g::r--, m::rw-, o::---, as the kernel
// stores it: version 2, then tag and permissions in one word, id in the next) on the file; "" where
// the file system has neither.
QString withAttributes(const QDir& root) {
    const std::uint32_t list[] = {2, 0x60001, ~0u, 0x60002, Nobody, 0x40004, ~0u, 0x60010, ~0u, 0x20, ~0u};
    const std::string file = native(root.filePath("userconfig.cfg"));
    if (setxattr(file.c_str(), "user.note", "mine", 4, 0) != 0 ||
        setxattr(file.c_str(), "system.posix_acl_access", list, sizeof list, 0) != 0) {
        return {};
    }
    return root.filePath("userconfig.cfg");
}

// Saving changes the bytes of the chosen file, reached through its links, and nothing else about
// any entry of the folder: owner, group, mode, the number of hard links, symbolic links.
TEST(AtomicWrite, ReplacedFileKeepsWhatItIsBesidesItsBytes) {
    const auto hardLink = [](const QDir& root, const QString& name) {
        EXPECT_EQ(link(native(root.filePath("userconfig.cfg")).c_str(), native(root.filePath(name)).c_str()), 0)
            << std::strerror(errno);
    };
    const auto own = [](const QDir& root, uid_t uid, gid_t gid, mode_t mode) {
        EXPECT_EQ(chown(native(root.filePath("userconfig.cfg")).c_str(), uid, gid), 0) << std::strerror(errno);
        EXPECT_EQ(chmod(native(root.filePath("userconfig.cfg")).c_str(), mode), 0) << std::strerror(errno);
        return root.filePath("userconfig.cfg");
    };
    const Keeping cases[] = {
        {"plain file", [](const QDir& root) { return root.filePath("userconfig.cfg"); }},
        {"unusual mode",
         [](const QDir& root) {
             chmod(native(root.filePath("userconfig.cfg")).c_str(), 0604);
             return root.filePath("userconfig.cfg");
         }},
        {"second hard link",
         [&](const QDir& root) {
             hardLink(root, "linked.cfg");
             return root.filePath("userconfig.cfg");
         }},
        {"hard links in another folder, chosen by the other name",
         [&](const QDir& root) {
             root.mkdir("backup");
             hardLink(root, "backup/userconfig.cfg");
             hardLink(root, "backup/second.cfg");
             return root.filePath("backup/userconfig.cfg");
         }},
        {"symbolic link chosen",
         [](const QDir& root) {
             root.mkdir("cstrike");
             QFile::link("../userconfig.cfg", root.filePath("cstrike/userconfig.cfg"));
             return root.filePath("cstrike/userconfig.cfg");
         }},
        {"player's file saved by root", [&](const QDir& root) { return own(root, Nobody, NoGroup, 0640); },
         Runner::Here, true},
        {"player's hard-linked file saved by root",
         [&](const QDir& root) {
             hardLink(root, "linked.cfg");
             return own(root, Nobody, NoGroup, 0600);
         },
         Runner::Here, true},
        {"group-shared file saved by a member of the group",
         [&](const QDir& root) {
             chmod(native(root.path()).c_str(), 0777);
             return own(root, 0, NoGroup, 0664);
         },
         Runner::AsNobody, true},
        {"access control list and extended attribute", withAttributes},
        {"file system refusing owner and mode changes, mode as a new file gets",
         [](const QDir& root) { return root.filePath("userconfig.cfg"); }, Runner::Here, false, ENOSYS},
        {"file system refusing owner and mode changes, another mode",
         [&](const QDir& root) {
             chmod(native(root.filePath("userconfig.cfg")).c_str(), 0604);
             return root.filePath("userconfig.cfg");
         },
         Runner::Here, false, EOPNOTSUPP},
    };
    for (const Keeping& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.needsRoot && geteuid() != 0) {
            std::cout << "skipped without root: " << c.name << "\n";
            continue;
        }
        QTemporaryDir temp;
        ASSERT_TRUE(temp.isValid());
        const QDir root(temp.path());
        putFile(root.filePath("userconfig.cfg"), OldBytes);
        const QString path = c.prepare(root);
        if (path.isEmpty()) {
            std::cout << "skipped, the file system has no extended attributes or access control lists: " << c.name
                      << "\n";
            continue;
        }
        std::map<QString, QByteArray> expected = treeOf(root.path());
        struct stat chosen {};
        ASSERT_EQ(stat(native(path).c_str(), &chosen), 0);
        // Every name of the chosen file must show the new bytes, everything else stays as it was.
        std::vector<QString> namesOfTheFile;
        for (const auto& [name, entry] : expected) {
            struct stat st {};
            if (lstat(native(root.filePath(name)).c_str(), &st) == 0 && S_ISREG(st.st_mode) &&
                st.st_ino == chosen.st_ino) {
                namesOfTheFile.push_back(name);
            }
        }

        const QByteArray bytes = newConfig(700);
        writeTestHooks().refuseOwnerAndModeChanges = c.refuseOwnerAndModeChanges;
        const config::WriteResult result = c.runner == Runner::AsNobody ? decode(inChild([&] {
            return dropToNobody() ? encode(writeFileAtomically(path, bytes)) : std::string("0no nobody");
        }))
                                                                        : writeFileAtomically(path, bytes);
        writeTestHooks().refuseOwnerAndModeChanges = 0;
        ASSERT_TRUE(result.ok) << result.error;

        for (const QString& name : namesOfTheFile) {
            QByteArray& entry = expected[name];
            entry.replace(entry.indexOf(OldBytes), OldBytes.size(), bytes);
        }
        EXPECT_EQ(treeOf(root.path()), expected);
    }
}

// Paths and names up to the longest the system takes are saved; the temporary name never makes
// them longer.
TEST(AtomicWrite, LongestPathsAndNamesAreSaved) {
    struct Case {
        const char* name;
        int pathBytes; // 0: as it comes
        int nameBytes;
    };
    const Case cases[] = {{"4094-byte path", 4094, 20}, {"255-byte name", 0, 255}, {"250-byte name", 0, 250}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir temp;
        ASSERT_TRUE(temp.isValid());
        QString folder = temp.path();
        // Folders of up to 200 bytes until only the file name is missing.
        while (c.pathBytes > 0 && native(folder).size() + 1 + c.nameBytes < static_cast<size_t>(c.pathBytes)) {
            const int missing = c.pathBytes - static_cast<int>(native(folder).size()) - 1 - c.nameBytes - 1;
            folder += "/" + QString(std::min(200, std::max(1, missing)), 'd');
            ASSERT_EQ(mkdir(native(folder).c_str(), 0700), 0) << std::strerror(errno);
        }
        const QString path = folder + "/" + QString(c.nameBytes - 4, 'u') + ".cfg";
        if (c.pathBytes > 0) {
            ASSERT_EQ(native(path).size(), static_cast<size_t>(c.pathBytes));
        }
        putFile(path, OldBytes);

        const config::WriteResult result = writeFileAtomically(path, newConfig(900));

        ASSERT_TRUE(result.ok) << result.error;
        EXPECT_EQ(bytesOf(path), newConfig(900));
        EXPECT_EQ(QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot).size(), 1);
    }
}

// ---- Saves that were killed, and what the next save does with their leftovers ----

WriteStep g_killAt = WriteStep::TemporaryWritten;

void killHere(WriteStep step) {
    if (step == g_killAt) {
        raise(SIGKILL);
    }
}

// Names in `folder` that a save made for itself.
QStringList leftoversIn(const QDir& folder) {
    return folder.entryList({".setforge-*"}, QDir::Files | QDir::Hidden | QDir::System);
}

struct Kill {
    const char* name;
    WriteStep step;
    bool noUnnamedTemporary;
    bool hardLinked;
    int leftovers;                       // what the killed save leaves in the folder
    bool chosenFileIsOld;                // false: the kill came in the middle of writing it
    bool playersFileSavedByRoot = false; // in a sticky folder; the player saves it next (root only)
};

// Whether the folder's file system has unnamed temporary files; without them a kill while
// writing leaves a named one.
bool hasUnnamedTemporaries(const QDir& folder) {
    const int fd = open(native(folder.path()).c_str(), O_TMPFILE | O_WRONLY, 0600);
    if (fd < 0) {
        return false;
    }
    close(fd);
    return true;
}

TEST(AtomicWrite, KilledSaveLeavesNothingTheNextSaveKeeps) {
    const Kill cases[] = {
        {"killed while writing an unnamed temporary file", WriteStep::TemporaryWritten, false, false, 0, true},
        {"killed while writing, file system without unnamed files", WriteStep::TemporaryWritten, true, false, 1, true},
        {"killed between naming the temporary file and renaming it", WriteStep::TemporaryNamed, false, false, 1, true},
        {"killed between naming and renaming, file system without unnamed files", WriteStep::TemporaryNamed, true,
         false, 1, true},
        {"killed halfway through writing a hard-linked file in place", WriteStep::InPlaceHalfWritten, false, true, 1,
         false},
        {"root killed halfway through writing the player's hard-linked file", WriteStep::InPlaceHalfWritten, false,
         true, 1, false, true},
    };
    for (const Kill& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.playersFileSavedByRoot && geteuid() != 0) {
            std::cout << "skipped without root: " << c.name << "\n";
            continue;
        }
        QTemporaryDir temp;
        ASSERT_TRUE(temp.isValid());
        const QDir root(temp.path());
        const QString path = root.filePath("userconfig.cfg");
        putFile(path, OldBytes);
        if (c.hardLinked) {
            ASSERT_EQ(link(native(path).c_str(), native(root.filePath("linked.cfg")).c_str()), 0);
        }
        if (c.playersFileSavedByRoot) {
            ASSERT_EQ(chmod(native(root.path()).c_str(), 01777), 0);
            ASSERT_EQ(chown(native(path).c_str(), Nobody, NoGroup), 0);
        }
        const QByteArray killedBytes = newConfig(100000);

        const pid_t child = fork();
        if (child == 0) {
            g_killAt = c.step;
            writeTestHooks() = {.atStep = killHere, .noUnnamedTemporary = c.noUnnamedTemporary};
            (void)writeFileAtomically(path, killedBytes);
            _exit(0); // not killed: the step was never reached
        }
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) << "status " << status;

        const QStringList left = leftoversIn(root);
        const int unnamedFallback = c.step == WriteStep::TemporaryWritten && !hasUnnamedTemporaries(root) ? 1 : 0;
        ASSERT_EQ(left.size(), std::max(c.leftovers, unnamedFallback)) << left.join(" ").toStdString();
        if (c.chosenFileIsOld) {
            EXPECT_EQ(bytesOf(path), OldBytes);
        } else {
            // Part new, part old; the backup holds every old byte.
            EXPECT_NE(bytesOf(path), OldBytes);
            EXPECT_NE(bytesOf(path), killedBytes);
            EXPECT_EQ(bytesOf(root.filePath(left.first())), OldBytes);
        }
        if (c.hardLinked) {
            EXPECT_EQ(bytesOf(root.filePath("linked.cfg")), bytesOf(path));
        }

        // A save of another file in the folder removes temporary files but keeps the backup of
        // a file that is still part-written.
        ASSERT_TRUE(writeFileAtomically(root.filePath("other.cfg"), OldBytes).ok);
        EXPECT_EQ(leftoversIn(root).size(), c.step == WriteStep::InPlaceHalfWritten ? 1 : 0);

        // A save of the file itself (by its owner) leaves it complete, and nothing else behind.
        const QByteArray bytes = newConfig(5000);
        const config::WriteResult result =
            !c.playersFileSavedByRoot ? writeFileAtomically(path, bytes) : decode(inChild([&] {
                return dropToNobody() ? encode(writeFileAtomically(path, bytes)) : std::string("0no nobody");
            }));
        ASSERT_TRUE(result.ok) << result.error;
        EXPECT_EQ(bytesOf(path), bytes);
        EXPECT_TRUE(leftoversIn(root).isEmpty()) << leftoversIn(root).join(" ").toStdString();
        if (c.hardLinked) {
            EXPECT_EQ(bytesOf(root.filePath("linked.cfg")), bytes);
        }
    }
}

pid_t endedProcess() {
    const pid_t child = fork();
    if (child == 0) {
        _exit(0);
    }
    waitpid(child, nullptr, 0);
    return child;
}

int g_pauseSocket = -1;

void pauseHere(WriteStep step) {
    char byte = 'p';
    if (step == g_killAt && write(g_pauseSocket, &byte, 1) == 1) {
        (void)!read(g_pauseSocket, &byte, 1);
    }
}

// A save in a child process that pauses at `step` until released: a slow disk, or another
// window's save under way.
class PausedSave {
public:
    PausedSave(const QString& path, const QByteArray& bytes, WriteStep step) {
        int ends[2];
        if (socketpair(AF_UNIX, SOCK_STREAM, 0, ends) != 0) {
            return;
        }
        m_child = fork();
        if (m_child == 0) {
            g_killAt = step;
            g_pauseSocket = ends[1];
            writeTestHooks().atStep = pauseHere;
            const std::string report = encode(writeFileAtomically(path, bytes));
            _exit(write(ends[1], report.data(), report.size()) > 0 ? 0 : 2);
        }
        close(ends[1]);
        m_socket = ends[0];
        char byte = 0;
        paused = read(m_socket, &byte, 1) == 1;
    }
    ~PausedSave() { (void)finish(); }
    bool paused = false;

    void release() {
        if (!m_released.exchange(true)) {
            (void)!write(m_socket, "g", 1);
        }
    }
    config::WriteResult finish() {
        if (m_child <= 0) {
            return {false, "<no save>"};
        }
        release();
        std::string report;
        char buffer[256];
        for (ssize_t n; (n = read(m_socket, buffer, sizeof buffer)) > 0;) {
            report.append(buffer, static_cast<size_t>(n));
        }
        waitpid(m_child, nullptr, 0);
        close(m_socket);
        m_child = -1;
        return decode(report.empty() ? std::nullopt : std::optional(report));
    }

private:
    pid_t m_child = -1;
    int m_socket = -1;
    std::atomic<bool> m_released = false;
};

// Two windows saving the same file (through any of its names): one waits for the other and then
// saves, or, when the other takes too long, changes nothing and says why. The bytes are never a
// mix of both configs.
TEST(AtomicWrite, TwoSavesOfOneFileNeverMix) {
    const struct {
        const char* name;
        WriteStep step;
        bool hardLinked;    // the second save goes through the other name
        int releaseAfterMs; // -1: only after the second save has given up
    } cases[] = {
        {"second window while the first writes in place", WriteStep::InPlaceHalfWritten, true, -1},
        {"second window while the first is about to rename", WriteStep::TemporaryNamed, false, -1},
        {"slow in-place write that ends while the second waits", WriteStep::InPlaceHalfWritten, true, 200},
        {"slow save that renames while the second waits", WriteStep::TemporaryNamed, false, 200},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir temp;
        const QString path = QDir(temp.path()).filePath("userconfig.cfg");
        const QString other = c.hardLinked ? QDir(temp.path()).filePath("linked.cfg") : path;
        putFile(path, OldBytes);
        ASSERT_TRUE(!c.hardLinked || link(native(path).c_str(), native(other).c_str()) == 0);
        const QByteArray first = newConfig(100000);
        const QByteArray second = newConfig(100000).replace("F11", "F12");

        PausedSave firstSave(path, first, c.step);
        ASSERT_TRUE(firstSave.paused);
        const std::map<QString, QByteArray> during = treeOf(temp.path());
        std::thread releaser([&] {
            if (c.releaseAfterMs >= 0) {
                std::this_thread::sleep_for(std::chrono::milliseconds(c.releaseAfterMs));
                firstSave.release();
            }
        });
        const config::WriteResult secondResult = writeFileAtomically(other, second);
        releaser.join();
        EXPECT_TRUE(c.releaseAfterMs >= 0 || treeOf(temp.path()) == during);
        const config::WriteResult firstResult = firstSave.finish();

        EXPECT_TRUE(firstResult.ok) << firstResult.error;
        EXPECT_EQ(secondResult.error, c.releaseAfterMs >= 0 ? "" : detail::anotherSaveReason());
        EXPECT_EQ(bytesOf(path), secondResult.ok ? second : first);
        EXPECT_EQ(bytesOf(other), bytesOf(path));
        EXPECT_TRUE(leftoversIn(QDir(temp.path())).isEmpty());
    }
}

// A process that holds the lock on `path` as a save running elsewhere (another machine on a
// network share) would, until it is killed; -1 when it could not.
pid_t holdLocked(const QString& path) {
    int ends[2];
    if (pipe(ends) != 0) {
        return -1;
    }
    const pid_t child = fork();
    if (child == 0) {
        const int fd = open(native(path).c_str(), O_RDONLY);
        if (fd >= 0 && flock(fd, LOCK_EX) == 0 && write(ends[1], "l", 1) == 1) {
            pause();
        }
        _exit(1);
    }
    close(ends[1]);
    char byte = 0;
    const bool held = read(ends[0], &byte, 1) == 1;
    close(ends[0]);
    return held ? child : -1;
}

// Only leftovers of the program's exact pattern and of this user that no save holds locked go;
// nothing else, whatever the pid in their names says.
TEST(AtomicWrite, NextSaveRemovesOnlyItsOwnUnheldLeftovers) {
    const QString dead = QString::number(endedProcess());
    const QString alive = "1"; // init runs as long as the machine does
    const QString self = QString::number(getpid());
    struct Entry {
        QString name;
        bool removed;
        enum { File, Held, Folder, Symlink, OtherOwner } kind = File;
    };
    const Entry entries[] = {
        {".setforge-" + dead + "-aB3xY9.tmp", true},
        {".setforge-" + alive + "-aB3xY9.tmp", true},
        {".setforge-" + self + "-aB3xY9.tmp", true},
        // A save still running elsewhere: its pid here is of an ended process, or of none.
        {".setforge-" + dead + "-eF5gH6.tmp", false, Entry::Held},
        {".setforge-4000000000-eF5gH6.tmp", false, Entry::Held},
        {".setforge-" + dead + "-aB3xY9.tmp~", false},
        {".setforge-" + dead + "-aB3xY.tmp", false},
        {".setforge-" + dead + "-aB3xY9Z.tmp", false},
        {".setforge-" + dead + "-aB3x_9.tmp", false},
        {".setforge-" + dead + "-aB3xY9.TMP", false},
        {".setforge--aB3xY9.tmp", false},
        {".setforge-0-aB3xY9.tmp", false},
        {".setforge-0" + dead + "-aB3xY9.tmp", false},
        {".setforge-x" + dead + "-aB3xY9.tmp", false},
        {"setforge-" + dead + "-aB3xY9.tmp", false},
        {"userconfig.cfg.aB3xY9", false},
        {".setforge-" + dead + "-gH6iJ7.tmp", false, Entry::Folder},
        {".setforge-" + dead + "-kL8mN9.tmp", false, Entry::Symlink},
        {".setforge-" + dead + "-pQ1rS2.tmp", false, Entry::OtherOwner},
        // A backup of a file that a killed save left part-written stays until that file is saved.
        {".setforge-" + dead + "-tU3vW4-1.bak", false},
        {".setforge-" + dead + "-tU3vW4-01.bak", false},
    };
    QTemporaryDir temp;
    ASSERT_TRUE(temp.isValid());
    const QDir root(temp.path());
    putFile(root.filePath("target.txt"), OldBytes);
    std::vector<pid_t> holders;
    for (const Entry& e : entries) {
        const QString path = root.filePath(e.name);
        switch (e.kind) {
        case Entry::Folder:
            ASSERT_TRUE(root.mkdir(e.name));
            break;
        case Entry::Symlink:
            ASSERT_TRUE(QFile::link("target.txt", path));
            break;
        case Entry::File:
        case Entry::Held:
        case Entry::OtherOwner:
            putFile(path, OldBytes);
            break;
        }
        if (e.kind == Entry::Held) {
            holders.push_back(holdLocked(path));
            ASSERT_GT(holders.back(), 0);
        }
        if (e.kind == Entry::OtherOwner && chown(native(path).c_str(), Nobody, NoGroup) != 0) {
            ASSERT_NE(geteuid(), 0u) << std::strerror(errno);
        }
    }

    ASSERT_TRUE(writeFileAtomically(root.filePath("userconfig.cfg"), OldBytes).ok);
    for (const pid_t holder : holders) {
        kill(holder, SIGKILL);
        waitpid(holder, nullptr, 0);
    }

    for (const Entry& e : entries) {
        SCOPED_TRACE(e.name.toStdString());
        const bool foreignOwnerMadeUp = e.kind == Entry::OtherOwner && geteuid() != 0;
        if (!foreignOwnerMadeUp) {
            EXPECT_EQ(!QFileInfo::exists(root.filePath(e.name)) && !QFileInfo(root.filePath(e.name)).isSymLink(),
                      e.removed);
        }
    }
}

} // namespace
} // namespace setforge::platform
