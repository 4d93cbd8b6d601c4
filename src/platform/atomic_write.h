#pragma once

#include "config/save_userconfig.h"

class QByteArray;
class QString;

namespace setforge::platform {

// Replaces the file at `path` (after its symbolic links) with `bytes` whole, or leaves it as it
// was; on failure the result carries a German reason. Only a regular file or a missing one is
// written, and an existing one only when the saver may write it. The file is locked for the whole
// save: a second save of it (from another window) waits a moment, then gives up with a reason.
// A replaced file keeps its mode, owner, group, extended attributes and access control list (on
// Windows its attributes and access rights) and hard links: where a new file cannot be given all
// of these, or the file has further links, it is rewritten in place behind a complete backup. A
// failed save leaves no file behind; what a killed save leaves (a temporary file named as only
// this program names them, which no save holds locked any more) goes with the next save to the
// same folder, and the backup of a file killed halfway through an in-place write stays until that
// file is saved again.
config::WriteResult writeFileAtomically(const QString& path, const QByteArray& bytes);

// The points of a save at which a test may stop the process, as a crash or a kill would.
enum class WriteStep {
    TemporaryWritten,   // the new bytes are in the temporary file, which may have no name yet
    TemporaryNamed,     // the temporary file has its name and is about to replace the target
    InPlaceHalfWritten, // half of the new bytes are written over the target; its backup is complete
};

struct WriteTestHooks {
    void (*atStep)(WriteStep) = nullptr;
    bool noUnnamedTemporary = false;   // behave as on a file system without unnamed temporary files
    int refuseOwnerAndModeChanges = 0; // POSIX: fail every owner or mode change with this errno (FAT via FUSE: ENOSYS)
};

// For tests only; the program never sets them.
WriteTestHooks& writeTestHooks();

} // namespace setforge::platform
