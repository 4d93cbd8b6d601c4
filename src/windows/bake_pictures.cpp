// Build tool: paints the title area's fixed pictures once and writes their pixels as a C++ header,
// so that the program shows them at start without painting them (see start_pictures.h).
//
//   setforge_bake_pictures <header>
//
// Runs on the offscreen platform; the pictures are painted exactly as the program would paint them.
#include "windows/artwork.h"

#include <QGuiApplication>
#include <QImage>
#include <QPixmap>

#include <cstdio>
#include <memory>

namespace {

struct Picture {
    const char* name;
    QPixmap pixmap;
};

bool writeArray(std::FILE* out, const char* name, const QImage& image) {
    if (image.format() != QImage::Format_RGB32) {
        std::fprintf(stderr, "setforge_bake_pictures: %s is not painted as RGB32 here\n", name);
        return false;
    }
    std::fprintf(out, "inline constexpr std::uint32_t %s[] = {", name);
    int column = 0;
    for (int y = 0; y < image.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            std::fprintf(out, "%s0x%08xU,", column++ % 8 == 0 ? "\n    " : " ", line[x]);
        }
    }
    std::fprintf(out, "\n};\n\n");
    return true;
}

} // namespace

int main(int argc, char* argv[]) {
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <header>\n", argv[0]);
        return 2;
    }
    namespace artwork = setforge::windows::artwork;
    const Picture pictures[] = {
        {"Banner", artwork::banner()},
        {"AboutIcon", artwork::aboutIcon()},
        {"MinimiseButton", artwork::minimiseButton()},
        {"CloseButton", artwork::closeButton()},
    };
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> out(std::fopen(argv[1], "wb"), &std::fclose);
    if (!out) {
        std::perror(argv[1]);
        return 1;
    }
    std::fprintf(out.get(), "// Written by setforge_bake_pictures while building; not to be edited.\n"
                            "#pragma once\n\n#include <cstdint>\n\nnamespace setforge::windows::baked {\n\n"
                            "inline constexpr bool Available = true;\n\n");
    for (const Picture& picture : pictures) {
        if (!writeArray(out.get(), picture.name, picture.pixmap.toImage())) {
            return 1;
        }
    }
    std::fprintf(out.get(), "} // namespace setforge::windows::baked\n");
    const bool failed = std::ferror(out.get()) != 0;
    if (std::fclose(out.release()) != 0 || failed) {
        std::fprintf(stderr, "setforge_bake_pictures: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
