#include "platform/qt_window_services.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <map>
#include <optional>
#include <ostream>
#include <string>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace setforge::platform {
namespace {

const QByteArray OldBytes = "name \"old\"\r\n// User Angaben\r\n\r\n";

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

// Every entry below `root` with its bytes ("<folder>" for a folder): two equal trees mean
// nothing was changed, added or left behind.
std::map<QString, QByteArray> treeOf(const QString& root) {
    std::map<QString, QByteArray> tree;
    QDirIterator it(root, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const QFileInfo info = it.fileInfo();
        QByteArray content = "<folder>";
        if (!info.isDir()) {
            QFile file(path);
            content = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
        }
        tree.emplace(QDir(root).relativeFilePath(path), content);
    }
    return tree;
}

// Writes from a child process whose file-size limit is `limit`, the way a full disk behaves:
// with SIGXFSZ ignored, a write past the limit fails with EFBIG instead of ending the process.
config::WriteResult writeWithFileSizeLimit(const QString& path, const QByteArray& bytes, rlim_t limit) {
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0) {
        ADD_FAILURE() << "pipe() failed";
        return {};
    }
    const pid_t child = fork();
    if (child == 0) {
        close(pipeEnds[0]);
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit fileSize{limit, limit};
        setrlimit(RLIMIT_FSIZE, &fileSize);
        const config::WriteResult result = writeFileAtomically(path, bytes);
        const std::string report = (result.ok ? "1" : "0") + result.error;
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
        ADD_FAILURE() << "the writing child process did not report (status " << status << ")";
        return {};
    }
    return {report.front() == '1', report.substr(1)};
}

struct WriteFault {
    const char* name;
    // Builds the fault below `root`, which already holds userconfig.cfg with OldBytes,
    // and returns the path the user chose.
    std::function<QString(const QDir& root)> prepare;
    int systemError = 0; // the errno whose text the reason must be; 0: any reason
    rlim_t fileSizeLimit = RLIM_INFINITY;
    qsizetype configSize = 64 * 1024;
    bool needsFolderPermissions = false;
};

void PrintTo(const WriteFault& fault, std::ostream* os) {
    *os << fault.name;
}

class AtomicWriteFault : public ::testing::TestWithParam<WriteFault> {};

TEST_P(AtomicWriteFault, LeavesEveryFileAsItWasAndGivesTheReason) {
    const WriteFault& fault = GetParam();
    if (fault.needsFolderPermissions && geteuid() == 0) {
        GTEST_SKIP() << "running as root, which writes into read-only folders anyway";
    }
    QTemporaryDir temp;
    ASSERT_TRUE(temp.isValid());
    const QDir root(temp.path());
    putFile(root.filePath("userconfig.cfg"), OldBytes);
    const QString path = fault.prepare(root);
    const std::map<QString, QByteArray> before = treeOf(root.path());

    const QByteArray bytes = newConfig(fault.configSize);
    const config::WriteResult result = fault.fileSizeLimit == RLIM_INFINITY
                                           ? writeFileAtomically(path, bytes)
                                           : writeWithFileSizeLimit(path, bytes, fault.fileSizeLimit);

    EXPECT_FALSE(result.ok);
    EXPECT_FALSE(result.error.empty());
    if (fault.systemError != 0) {
        EXPECT_EQ(result.error, std::strerror(fault.systemError));
    }
    EXPECT_EQ(treeOf(root.path()), before);

    // Lets QTemporaryDir remove a read-only folder again.
    QFile::setPermissions(root.filePath("locked"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

INSTANTIATE_TEST_SUITE_P(
    Faults, AtomicWriteFault,
    ::testing::Values(WriteFault{.name = "FolderChosenAsFile",
                                 .prepare =
                                     [](const QDir& root) {
                                         root.mkdir("chosen.cfg");
                                         putFile(root.filePath("chosen.cfg/keep.txt"), OldBytes);
                                         return root.filePath("chosen.cfg");
                                     }},
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
                      // Above and below the size of Qt's write buffer: a buffered write fails only when flushed.
                      WriteFault{.name = "DiskFullOverAnExistingFile",
                                 .prepare = [](const QDir& root) { return root.filePath("userconfig.cfg"); },
                                 .systemError = EFBIG,
                                 .fileSizeLimit = 4096},
                      WriteFault{.name = "DiskFullWhenTheLastBytesGoOut",
                                 .prepare = [](const QDir& root) { return root.filePath("userconfig.cfg"); },
                                 .systemError = EFBIG,
                                 .fileSizeLimit = 1024,
                                 .configSize = 3000},
                      WriteFault{.name = "ReadOnlyFolder",
                                 .prepare =
                                     [](const QDir& root) {
                                         root.mkdir("locked");
                                         putFile(root.filePath("locked/userconfig.cfg"), OldBytes);
                                         QFile::setPermissions(root.filePath("locked"),
                                                               QFile::ReadOwner | QFile::ExeOwner);
                                         return root.filePath("locked/userconfig.cfg");
                                     },
                                 .systemError = EACCES,
                                 .needsFolderPermissions = true}),
    [](const ::testing::TestParamInfo<WriteFault>& fault) { return std::string(fault.param.name); });

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
        const std::map<QString, QByteArray> expected{{"userconfig.cfg", c.written}};
        EXPECT_EQ(treeOf(temp.path()), expected);
    }
}

} // namespace
} // namespace setforge::platform
