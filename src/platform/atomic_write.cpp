#include "platform/atomic_write.h"

#include "platform/replace_file.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>

namespace setforge::platform {

config::WriteResult writeFileAtomically(const QString& path, const QByteArray& bytes) {
    const std::string_view view(bytes.constData(), static_cast<std::size_t>(bytes.size()));
#ifdef _WIN32
    return replaceFile(QDir::toNativeSeparators(path).toStdWString(), view);
#else
    return replaceFile(QFile::encodeName(path).toStdString(), view);
#endif
}

} // namespace setforge::platform
