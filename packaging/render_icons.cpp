// Writes the window icon in the hicolor sizes, painted by the same code as the running program's,
// and optionally as one Windows .ico holding every size, for the resources of setforge.exe.
#include "windows/artwork.h"

#include <QBuffer>
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QPixmap>

#include <cstdint>
#include <cstdio>
#include <utility>
#include <vector>

namespace {

void appendLittleEndian(QByteArray& out, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) {
        out.append(static_cast<char>((value >> (8 * i)) & 0xffU));
    }
}

// An .ico is a directory of images; since Windows Vista each image may be a whole PNG file,
// which keeps the alpha channel exactly as painted.
QByteArray icoFile(const std::vector<std::pair<int, QByteArray>>& pngs) {
    constexpr std::uint32_t HeaderSize = 6;
    constexpr std::uint32_t EntrySize = 16;
    QByteArray out;
    appendLittleEndian(out, 0, 2); // reserved
    appendLittleEndian(out, 1, 2); // 1 = icon (2 would be a cursor)
    appendLittleEndian(out, static_cast<std::uint32_t>(pngs.size()), 2);
    auto offset = static_cast<std::uint32_t>(HeaderSize + EntrySize * pngs.size());
    for (const auto& [size, png] : pngs) {
        // Width and height are one byte each; 0 stands for 256.
        appendLittleEndian(out, size >= 256 ? 0 : static_cast<std::uint32_t>(size), 1);
        appendLittleEndian(out, size >= 256 ? 0 : static_cast<std::uint32_t>(size), 1);
        appendLittleEndian(out, 0, 1);  // no palette
        appendLittleEndian(out, 0, 1);  // reserved
        appendLittleEndian(out, 1, 2);  // colour planes
        appendLittleEndian(out, 32, 2); // bits per pixel
        appendLittleEndian(out, static_cast<std::uint32_t>(png.size()), 4);
        appendLittleEndian(out, offset, 4);
        offset += static_cast<std::uint32_t>(png.size());
    }
    for (const auto& entry : pngs) {
        out.append(entry.second);
    }
    return out;
}

} // namespace

int main(int argc, char* argv[]) {
    QGuiApplication app(argc, argv);
    if (argc != 2 && argc != 3) {
        std::fprintf(stderr, "usage: %s <output folder> [<file.ico>]\n", argv[0]);
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    std::vector<std::pair<int, QByteArray>> pngs;
    for (int size : setforge::windows::artwork::InstalledIconSizes) {
        QByteArray png;
        QBuffer buffer(&png);
        const QString folder = QStringLiteral("%1x%1/apps").arg(size);
        QFile file(out.filePath(folder + "/setforge.png"));
        if (!buffer.open(QIODevice::WriteOnly) ||
            !setforge::windows::artwork::windowIconPixmap(size).save(&buffer, "PNG") || !out.mkpath(folder) ||
            !file.open(QIODevice::WriteOnly) || file.write(png) != png.size() || !file.flush()) {
            std::fprintf(stderr, "cannot write the %dx%d icon\n", size, size);
            return 1;
        }
        pngs.emplace_back(size, png);
    }
    if (argc == 3) {
        QFile ico(QString::fromLocal8Bit(argv[2]));
        const QByteArray bytes = icoFile(pngs);
        if (!ico.open(QIODevice::WriteOnly) || ico.write(bytes) != bytes.size() || !ico.flush()) {
            std::fprintf(stderr, "cannot write %s\n", argv[2]);
            return 1;
        }
    }
    return 0;
}
