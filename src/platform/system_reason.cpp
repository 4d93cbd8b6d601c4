#include "platform/system_reason.h"

#include <cerrno>
#include <system_error>

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

std::string systemReason(int errorNumber) {
    // The C library's text for the number, as strerror gives it, without strerror's shared buffer.
    const std::string english = std::generic_category().message(errorNumber);
    const char* german = germanReason(errorNumber);
    if (german == nullptr) {
        return "Systemfehler " + std::to_string(errorNumber) + " (" + english + ")";
    }
    return std::string(german) + " (" + english + ")";
}

} // namespace setforge::platform
