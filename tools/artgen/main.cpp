// artgen: draws the wizard's icon, bitmaps and busy animation into the files the resources use.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "tools/artgen/artwork.h"
#include "tools/artgen/aviwriter.h"
#include "tools/artgen/bmpwriter.h"
#include "tools/artgen/icowriter.h"

namespace {

namespace fs = std::filesystem;

constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;

constexpr const char* kUsage =
    "usage: artgen OUTDIR\n"
    "\n"
    "Writes the wizard's art into OUTDIR (made if missing), the same bytes on every run:\n"
    "  app.ico            application icon: 48, 32 and 16 pixels at 32, 8 and 4 bits per pixel\n"
    "  watermark.bmp      164 x 628, 24 bits per pixel, left of the welcome and finish pages\n"
    "  watermark-150.bmp  246 x 942, the same at 150 % (144 dots per inch)\n"
    "  watermark-200.bmp  328 x 1256, the same at 200 % (192 dots per inch)\n"
    "  header.bmp         49 x 49, 24 bits per pixel, on the interior pages' white header\n"
    "  header-150.bmp     74 x 74, the same at 150 %\n"
    "  header-200.bmp     98 x 98, the same at 200 %\n"
    "  busy.avi           272 x 48, 16 frames at 10 per second, uncompressed 8-bit, silent\n";

class WriteError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Written beside the target and renamed over it, so a failed run leaves the old file whole.
void WriteFile(const fs::path& path, const std::vector<std::uint8_t>& bytes) {
    const fs::path temporary = fs::path(path).concat(".tmp");
    {
        std::ofstream file(temporary, std::ios::binary | std::ios::trunc);
        if (file) {
            file.write(reinterpret_cast<const char*>(bytes.data()),
                       static_cast<std::streamsize>(bytes.size()));
            file.close();
        }
        if (!file) {
            std::error_code ignored;
            fs::remove(temporary, ignored);
            throw WriteError("cannot write " + path.string());
        }
    }
    std::error_code error;
    fs::rename(temporary, path, error);
    if (error) {
        fs::remove(temporary, error);
        throw WriteError("cannot write " + path.string());
    }
}

std::vector<std::uint8_t> MakeIcon() {
    std::vector<artgen::IconImage> images;
    // Largest and deepest first: the order in which Windows prefers the images.
    for (const int size : {48, 32, 16}) {
        for (const int bitCount : {32, 8, 4}) {
            images.push_back({artgen::MakeIconPicture(size), bitCount});
        }
    }
    return artgen::EncodeIcon(images);
}

int Generate(const fs::path& directory) {
    std::error_code error;
    fs::create_directories(directory, error);
    if (error || !fs::is_directory(directory)) {
        std::fprintf(stderr, "artgen: cannot make directory %s\n", directory.string().c_str());
        return kExitFailed;
    }
    WriteFile(directory / "app.ico", MakeIcon());
    for (const double scale : artgen::kBitmapScales) {
        // The 100 % files keep their plain names; the others carry their scale.
        const int percent = static_cast<int>(std::lround(scale * 100));
        const std::string suffix = percent == 100 ? "" : "-" + std::to_string(percent);
        WriteFile(directory / ("watermark" + suffix + ".bmp"),
                  artgen::EncodeBmp24(artgen::MakeWatermark(scale), artgen::Rgb8{255, 255, 255}));
        WriteFile(directory / ("header" + suffix + ".bmp"),
                  artgen::EncodeBmp24(artgen::MakeHeader(scale), artgen::Rgb8{255, 255, 255}));
    }
    artgen::AviClip clip{artgen::MakeBusyFrames()};
    WriteFile(directory / "busy.avi", artgen::EncodeAvi(clip));
    return kExitOk;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 2 && (std::string_view(argv[1]) == "--help" || std::string_view(argv[1]) == "-h")) {
        std::fputs(kUsage, stdout);
        return kExitOk;
    }
    if (argc != 2 || argv[1][0] == '\0' || argv[1][0] == '-') {
        std::fputs(kUsage, stderr);
        return kExitUsage;
    }
    try {
        return Generate(argv[1]);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "artgen: %s\n", error.what());
    }
    return kExitFailed;
}
