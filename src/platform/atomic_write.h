#pragma once

#include "config/save_userconfig.h"

class QByteArray;
class QString;

namespace setforge::platform {

// Replaces the file at `path` (after its symbolic links) with `bytes` whole, or leaves it as it
// was; on failure the result carries a German reason. Only a regular file or a missing one is
// written. A replaced file keeps its mode, owner, group (on Windows its attributes and access
// rights) and hard links: where a new file cannot be given the old owner, or the file has further
// links, it is rewritten in place behind a complete backup. A failed save leaves no file behind;
// what a killed save leaves (a temporary file named as only this program names them) goes with
// the next save to the same folder, and the backup of a file killed halfway through an in-place
// write stays until that file is saved again.
config::WriteResult writeFileAtomically(const QString& path, const QByteArray& bytes);

// The points of a save at which a test may stop the process, as a crash or a kill would.
enum class WriteStep {
    TemporaryWritten,   // the new bytes are in the temporary file, which may have no name yet
    TemporaryNamed,     // the temporary file has its name and is about to replace the target
    InPlaceHalfWritten, // half of the new bytes are written over the target; its backup is complete
};

struct WriteTestHooks {
    void (*atStep)(WriteStep) = nullptr;
    bool noUnnamedTemporary = false; // behave as on a file system without unnamed temporary files
};

// For tests only; the program never sets them.
WriteTestHooks& writeTestHooks();

} // namespace setforge::platform
