#include "platform/system_reason.h"

#include <cerrno>
#include <system_error>

#ifdef _WIN32
#include <windows.h>
#endif

namespace setforge::platform {

namespace {

// Only the numbers a save can meet; the rest get the system's text alone.
const char* germanReason(int errorNumber) {
    switch (errorNumber) {
    case ENAMETOOLONG:
        return "Der Pfad ist zu lang, oder ein Name darin";
    case ENOENT:
        return "Der Ordner existiert nicht";
    case ENOTDIR:
        return "Ein Teil des Pfades ist kein Ordner";
    case EISDIR:
        return "Das Ziel ist ein Ordner";
    case EACCES:
    case EPERM:
        return "Keine Berechtigung";
    case EROFS:
        return "Das Dateisystem ist schreibgeschützt";
    case ENOSPC:
        return "Auf dem Datenträger ist kein Platz mehr frei";
#ifdef EDQUOT
    case EDQUOT:
        return "Das Speicherkontingent ist erschöpft";
#endif
    case EFBIG:
        return "Die Datei wird zu groß für den Datenträger oder die erlaubte Dateigröße";
    case EIO:
        return "Ein-/Ausgabefehler beim Zugriff auf den Datenträger";
    case ELOOP:
        return "Zu viele symbolische Verknüpfungen im Pfad";
    case EBUSY:
    case ETXTBSY:
        return "Die Datei wird gerade benutzt";
    case EMFILE:
    case ENFILE:
        return "Zu viele offene Dateien";
    case ENOMEM:
        return "Nicht genug Arbeitsspeicher";
    case EXDEV:
        return "Die Datei liegt auf einem anderen Dateisystem";
    case EINVAL:
        return "Das Dateisystem erlaubt diesen Namen oder Vorgang nicht";
    case EEXIST:
        return "Eine Datei dieses Namens existiert bereits";
#ifdef ESTALE
    case ESTALE:
        return "Die Netzwerkfreigabe ist nicht mehr erreichbar";
#endif
    default:
        return nullptr;
    }
}

} // namespace

std::string systemReason(int errorNumber, bool withEnglish) {
    // The C library's text for the number, as strerror gives it, without strerror's shared buffer.
    const std::string english = std::generic_category().message(errorNumber);
    const char* german = germanReason(errorNumber);
    if (german == nullptr) {
        return "Systemfehler " + std::to_string(errorNumber) + " (" + english + ")";
    }
    return withEnglish ? std::string(german) + " (" + english + ")" : std::string(german);
}

#ifdef _WIN32

namespace {

const char* germanWindowsReason(unsigned long errorCode) {
    switch (errorCode) {
    case ERROR_FILENAME_EXCED_RANGE:
        return "Der Pfad ist zu lang, oder ein Name darin";
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
        return "Der Ordner existiert nicht";
    case ERROR_DIRECTORY:
        return "Ein Teil des Pfades ist kein Ordner";
    case ERROR_INVALID_NAME:
        return "Der Name ist unter Windows nicht erlaubt";
    case ERROR_ACCESS_DENIED:
        return "Keine Berechtigung";
    case ERROR_WRITE_PROTECT:
        return "Der Datenträger ist schreibgeschützt";
    case ERROR_HANDLE_DISK_FULL:
    case ERROR_DISK_FULL:
        return "Auf dem Datenträger ist kein Platz mehr frei";
    case ERROR_NOT_ENOUGH_QUOTA:
        return "Das Speicherkontingent ist erschöpft";
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
    case ERROR_USER_MAPPED_FILE:
        return "Die Datei wird gerade von einem anderen Programm benutzt";
    case ERROR_NOT_READY:
        return "Das Laufwerk ist nicht bereit";
    case ERROR_BAD_NETPATH:
    case ERROR_NETNAME_DELETED:
    case ERROR_UNEXP_NET_ERR:
        return "Die Netzwerkfreigabe ist nicht erreichbar";
    case ERROR_CANT_RESOLVE_FILENAME:
        return "Zu viele symbolische Verknüpfungen im Pfad";
    case ERROR_WRITE_FAULT:
    case ERROR_READ_FAULT:
    case ERROR_CRC:
        return "Ein-/Ausgabefehler beim Zugriff auf den Datenträger";
    case ERROR_NOT_ENOUGH_MEMORY:
    case ERROR_OUTOFMEMORY:
        return "Nicht genug Arbeitsspeicher";
    default:
        return nullptr;
    }
}

std::string windowsText(unsigned long errorCode) {
    char* text = nullptr;
    const DWORD flags = FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS;
    DWORD size = FormatMessageA(flags, nullptr, errorCode, MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US),
                                reinterpret_cast<char*>(&text), 0, nullptr);
    if (size == 0) { // no English texts installed
        size = FormatMessageA(flags, nullptr, errorCode, 0, reinterpret_cast<char*>(&text), 0, nullptr);
    }
    std::string message = size == 0 ? "error " + std::to_string(errorCode) : std::string(text, size);
    LocalFree(text);
    while (!message.empty() &&
           (message.back() == '\n' || message.back() == '\r' || message.back() == '.' || message.back() == ' ')) {
        message.pop_back();
    }
    return message;
}

} // namespace

std::string windowsReason(unsigned long errorCode, bool withEnglish) {
    const char* german = germanWindowsReason(errorCode);
    const std::string english = windowsText(errorCode);
    if (german == nullptr) {
        return "Systemfehler " + std::to_string(errorCode) + " (" + english + ")";
    }
    return withEnglish ? std::string(german) + " (" + english + ")" : std::string(german);
}

#endif

} // namespace setforge::platform
