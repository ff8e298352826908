// picturegen: renders every picture the demo shows (captions and logo) as RGBA PNG files.
// Usage: picturegen OUTDIR. Output is byte-for-byte reproducible from the same sources and fonts.
#include <cstdio>
#include <exception>
#include <filesystem>
#include <system_error>

#include "Canvas.h"
#include "PictureSet.h"
#include "PngWriter.h"
#include "Typesetter.h"

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTDIR\n", argc > 0 ? argv[0] : "picturegen");
        return 2;
    }
    const std::filesystem::path outDir = argv[1];
    try {
        Typesetter typesetter;
        const Halo halo = PictureHalo();
        for (const Picture& picture : PictureSet()) {
            const std::filesystem::path path = outDir / picture.path;
            std::error_code ec;
            std::filesystem::create_directories(path.parent_path(), ec);
            if (ec) {
                std::fprintf(stderr, "picturegen: cannot create %s: %s\n", path.parent_path().c_str(),
                             ec.message().c_str());
                return 1;
            }
            Canvas ink(picture.width, picture.height);
            picture.compose(ink, typesetter);
            std::string error;
            if (!WritePng(path.string(), picture.width, picture.height, Finish(ink, halo), error)) {
                std::fprintf(stderr, "picturegen: %s\n", error.c_str());
                return 1;
            }
            std::printf("%s (%dx%d)\n", path.c_str(), picture.width, picture.height);
            std::fflush(stdout);
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "picturegen: %s\n", e.what());
        return 1;
    }
    return 0;
}
