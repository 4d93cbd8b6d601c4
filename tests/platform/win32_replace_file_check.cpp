// The Win32 file writer, built with mingw and run under wine (or on Windows): the same faults as
// the POSIX writer's tests, without Qt and without GoogleTest, which the cross toolchain lacks.
// Exit status 0 when every case passed, 1 otherwise; each failure is printed.
#include "platform/replace_file.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include <windows.h>

using setforge::platform::replaceFile;
using setforge::platform::WriteStep;
using setforge::platform::writeTestHooks;

namespace {

int g_failures = 0;

void check(bool ok, const std::string& what) {
    if (!ok) {
        std::printf("FAIL: %s\n", what.c_str());
        ++g_failures;
    }
}

std::wstring g_root;

std::wstring at(const std::wstring& name) {
    return g_root + L"\\" + name;
}

std::string narrow(const std::wstring& text) {
    std::string bytes;
    for (wchar_t c : text) {
        bytes += c < 128 ? static_cast<char>(c) : '?';
    }
    return bytes;
}

void put(const std::wstring& path, const std::string& bytes) {
    const HANDLE file =
        CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    check(file != INVALID_HANDLE_VALUE &&
              WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr),
          "put " + narrow(path));
    CloseHandle(file);
}

std::string bytesOf(const std::wstring& path) {
    const HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return "<missing>";
    }
    std::string bytes;
    char buffer[4096];
    DWORD read = 0;
    while (ReadFile(file, buffer, sizeof buffer, &read, nullptr) && read > 0) {
        bytes.append(buffer, read);
    }
    CloseHandle(file);
    return bytes;
}

// Names in the test folder, "<name>" for a folder.
std::vector<std::string> entries() {
    std::vector<std::string> names;
    WIN32_FIND_DATAW found;
    const HANDLE search = FindFirstFileW((g_root + L"\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) {
        return names;
    }
    do {
        const std::wstring name = found.cFileName;
        if (name != L"." && name != L"..") {
            names.push_back(narrow(name));
        }
    } while (FindNextFileW(search, &found));
    FindClose(search);
    std::sort(names.begin(), names.end());
    return names;
}

std::string joined(const std::vector<std::string>& names) {
    std::string text;
    for (const std::string& name : names) {
        text += name + " ";
    }
    return text;
}

const std::string OldBytes = "name \"old\"\r\n";
const std::string NewBytes = std::string(5000, 'x') + "\r\n";

void freshFolder() {
    // Every case starts in an empty folder of its own.
    static int count = 0;
    g_root = L"C:\\setforge-check-" + std::to_wstring(GetTickCount64()) + L"-" + std::to_wstring(++count);
    check(CreateDirectoryW(g_root.c_str(), nullptr), "create " + narrow(g_root));
}

struct Case {
    const char* name;
    std::function<std::wstring()> prepare; // returns the chosen path
    bool saved;
    const char* reasonContains;
    std::function<void()> afterwards;
};

void killedChild(const std::wstring& self, int step, const std::wstring& path) {
    std::wstring command = L"\"" + self + L"\" --kill-at " + std::to_wstring(step) + L" \"" + path + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    check(CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process),
          "start the child that is killed");
    WaitForSingleObject(process.hProcess, 30000);
    DWORD code = 0;
    GetExitCodeProcess(process.hProcess, &code);
    check(code == 9, "the child was killed at its step (exit code " + std::to_string(code) + ")");
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
}

int g_killAt = -1;
bool g_pauseInstead = false;

void killHere(WriteStep step) {
    if (static_cast<int>(step) == g_killAt) {
        if (g_pauseInstead) {
            Sleep(4000); // a slow disk: longer than a second save waits
            return;
        }
        TerminateProcess(GetCurrentProcess(), 9);
    }
}

// A process that runs `arguments` of this program; its handle.
HANDLE started(const std::wstring& self, const std::wstring& arguments) {
    std::wstring command = L"\"" + self + L"\" " + arguments;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
        return nullptr;
    }
    CloseHandle(process.hThread);
    return process.hProcess;
}

bool anyLeftover() {
    const std::vector<std::string> names = entries();
    return std::any_of(names.begin(), names.end(), [](const std::string& n) { return n.rfind(".setforge-", 0) == 0; });
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc == 4 && (std::wstring(argv[1]) == L"--kill-at" || std::wstring(argv[1]) == L"--pause-at")) {
        g_pauseInstead = std::wstring(argv[1]) == L"--pause-at";
        g_killAt = std::stoi(argv[2]);
        writeTestHooks().atStep = killHere;
        (void)replaceFile(argv[3], NewBytes);
        return 0; // not killed: the step was never reached
    }
    const std::wstring self = argv[0];

    const Case cases[] = {
        {"new file", [] { return at(L"userconfig.cfg"); }, true, "", {}},
        {"existing file replaced, its attributes kept",
         [] {
             put(at(L"userconfig.cfg"), OldBytes);
             SetFileAttributesW(at(L"userconfig.cfg").c_str(), FILE_ATTRIBUTE_HIDDEN);
             return at(L"userconfig.cfg");
         },
         true, "",
         [] {
             check((GetFileAttributesW(at(L"userconfig.cfg").c_str()) & FILE_ATTRIBUTE_HIDDEN) != 0,
                   "the hidden attribute stays");
         }},
        {"second hard link kept",
         [] {
             put(at(L"userconfig.cfg"), OldBytes);
             check(CreateHardLinkW(at(L"linked.cfg").c_str(), at(L"userconfig.cfg").c_str(), nullptr), "hard link");
             return at(L"userconfig.cfg");
         },
         true, "", [] { check(bytesOf(at(L"linked.cfg")) == NewBytes, "the other name shows the new bytes"); }},
        {"folder chosen as the file",
         [] {
             CreateDirectoryW(at(L"chosen.cfg").c_str(), nullptr);
             return at(L"chosen.cfg");
         },
         false,
         "keine gewöhnliche Datei",
         {}},
        {"device name", [] { return at(L"NUL"); }, false, "keine gewöhnliche Datei", {}},
        {"folder missing", [] { return at(L"gone\\userconfig.cfg"); }, false, "Der Ordner existiert nicht", {}},
        {"path longer than 260 characters",
         [] {
             std::wstring folder = g_root;
             for (int i = 0; i < 3; ++i) {
                 folder += L"\\" + std::wstring(100, L'd');
                 CreateDirectoryW((L"\\\\?\\" + folder).c_str(), nullptr);
             }
             return folder + L"\\userconfig.cfg";
         },
         true,
         "",
         {}},
        {"read-only file refused, whatever its links",
         [] {
             put(at(L"userconfig.cfg"), OldBytes);
             SetFileAttributesW(at(L"userconfig.cfg").c_str(), FILE_ATTRIBUTE_READONLY);
             return at(L"userconfig.cfg");
         },
         false, "schreibgeschützt", [] { SetFileAttributesW(at(L"userconfig.cfg").c_str(), FILE_ATTRIBUTE_NORMAL); }},
        {"unheld leftovers removed whatever their pid, other files kept",
         [] {
             put(at(L".setforge-4000000000-aB3xY9.tmp"), OldBytes); // no such process
             put(at(L".setforge-" + std::to_wstring(GetCurrentProcessId()) + L"-aB3xY9.tmp"), OldBytes); // running
             put(at(L".setforge-04000000000-aB3xY9.tmp"), OldBytes); // never written so
             put(at(L"userconfig.cfg.aB3xY9"), OldBytes);
             return at(L"userconfig.cfg");
         },
         true, "",
         [] {
             check(bytesOf(at(L".setforge-4000000000-aB3xY9.tmp")) == "<missing>", "the unheld leftover is gone");
             check(bytesOf(at(L".setforge-" + std::to_wstring(GetCurrentProcessId()) + L"-aB3xY9.tmp")) == "<missing>",
                   "the unheld leftover named after a running process is gone");
             check(bytesOf(at(L"userconfig.cfg.aB3xY9")) == OldBytes, "a file that is not a leftover stays");
             check(bytesOf(at(L".setforge-04000000000-aB3xY9.tmp")) == OldBytes, "a name with a leading zero stays");
             DeleteFileW(at(L"userconfig.cfg.aB3xY9").c_str());
             DeleteFileW(at(L".setforge-04000000000-aB3xY9.tmp").c_str());
         }},
    };
    for (const Case& c : cases) {
        freshFolder();
        const std::wstring path = c.prepare();
        const std::vector<std::string> before = entries();
        const setforge::config::WriteResult result = replaceFile(path, NewBytes);
        const std::string name = c.name;
        check(result.ok == c.saved, name + ": saved " + std::to_string(result.ok) + ", reason " + result.error);
        check(result.error.find(c.reasonContains) != std::string::npos, name + ": reason " + result.error);
        if (c.saved) {
            check(bytesOf(L"\\\\?\\" + path) == NewBytes, name + ": new bytes in the file");
        } else {
            check(entries() == before, name + ": the folder changed to " + joined(entries()));
        }
        if (c.afterwards) {
            c.afterwards();
        }
        for (const std::string& entry : entries()) {
            check(entry.rfind(".setforge-", 0) != 0, name + ": left behind " + entry);
        }
    }

    // Killed saves: what each leaves, and that the next save of the file leaves nothing.
    struct Kill {
        const char* name;
        WriteStep step;
        bool hardLinked;
    };
    const Kill kills[] = {
        {"killed while writing the temporary file", WriteStep::TemporaryWritten, false},
        {"killed between naming and replacing", WriteStep::TemporaryNamed, false},
        {"killed halfway through an in-place write", WriteStep::InPlaceHalfWritten, true},
    };
    for (const Kill& k : kills) {
        freshFolder();
        const std::string name = k.name;
        put(at(L"userconfig.cfg"), OldBytes);
        if (k.hardLinked) {
            CreateHardLinkW(at(L"linked.cfg").c_str(), at(L"userconfig.cfg").c_str(), nullptr);
        }
        killedChild(self, static_cast<int>(k.step), at(L"userconfig.cfg"));
        int leftovers = 0;
        for (const std::string& entry : entries()) {
            if (entry.rfind(".setforge-", 0) == 0) {
                ++leftovers;
                if (k.hardLinked) {
                    check(bytesOf(at(std::wstring(entry.begin(), entry.end()))) == OldBytes,
                          name + ": the backup holds the old bytes");
                }
            }
        }
        check(leftovers == 1, name + ": " + std::to_string(leftovers) + " leftovers: " + joined(entries()));
        check(k.hardLinked || bytesOf(at(L"userconfig.cfg")) == OldBytes, name + ": the file keeps its old bytes");

        const setforge::config::WriteResult again = replaceFile(at(L"userconfig.cfg"), OldBytes + "neu");
        check(again.ok, name + ": the next save failed: " + again.error);
        check(bytesOf(at(L"userconfig.cfg")) == OldBytes + "neu", name + ": the next save's bytes");
        for (const std::string& entry : entries()) {
            check(entry.rfind(".setforge-", 0) != 0, name + ": still left behind after the next save: " + entry);
        }
    }

    // Two windows saving one file: the second waits, then gives up and changes nothing while the
    // first's slow write goes on; the first ends whole. Meanwhile a save of another file in the
    // folder leaves the temporary file that the first save holds.
    {
        freshFolder();
        put(at(L"userconfig.cfg"), OldBytes);
        const HANDLE first =
            started(self, L"--pause-at " + std::to_wstring(static_cast<int>(WriteStep::TemporaryWritten)) + L" \"" +
                              at(L"userconfig.cfg") + L"\"");
        check(first != nullptr, "start the first save");
        for (int i = 0; i < 500 && !anyLeftover(); ++i) {
            Sleep(10); // its temporary file shows that it holds the lock
        }
        check(replaceFile(at(L"other.cfg"), OldBytes).ok && anyLeftover(), "the held temporary file stays");
        const setforge::config::WriteResult second = replaceFile(at(L"userconfig.cfg"), OldBytes + "zweites Fenster");
        check(!second.ok && second.error.find("anderes Fenster") != std::string::npos,
              "the second save gives up: " + second.error);
        WaitForSingleObject(first, 30000);
        CloseHandle(first);
        check(bytesOf(at(L"userconfig.cfg")) == NewBytes, "the first save's bytes, whole");
        check(!anyLeftover(), "nothing left after both saves: " + joined(entries()));
    }

    std::printf("%s\n", g_failures == 0 ? "all Win32 writer cases passed" : "some Win32 writer cases failed");
    return g_failures == 0 ? 0 : 1;
}
