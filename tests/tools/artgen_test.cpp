// Drives the built artgen executable and reads its files as Windows will.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <random>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

Bytes ReadBytes(const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

std::uint32_t U16(const Bytes& b, std::size_t at) {
    return b.at(at) | b.at(at + 1) << 8;
}
std::uint32_t U32(const Bytes& b, std::size_t at) {
    return U16(b, at) | U16(b, at + 2) << 16;
}
std::int32_t I32(const Bytes& b, std::size_t at) {
    return static_cast<std::int32_t>(U32(b, at));
}
std::string Tag(const Bytes& b, std::size_t at) {
    return std::string(b.begin() + at, b.begin() + at + 4);
}
std::uint32_t Stride(std::uint32_t width, std::uint32_t bits) {
    return (width * bits + 31) / 32 * 4;
}

// A RIFF chunk: its id, list type (lists only) and where its data lies.
struct Chunk {
    std::string id;
    std::string listType;
    std::size_t data;
    std::uint32_t size;
};

// The chunks between `begin` and `end`; stops at one that overruns its parent.
std::vector<Chunk> Children(const Bytes& b, std::size_t begin, std::size_t end) {
    std::vector<Chunk> chunks;
    for (std::size_t at = begin; at + 8 <= end;) {
        Chunk chunk{Tag(b, at), "", at + 8, U32(b, at + 4)};
        if (chunk.size > end - chunk.data) {
            ADD_FAILURE() << "chunk " << chunk.id << " at " << at << " overruns its parent";
            break;
        }
        if (chunk.id == "LIST" || chunk.id == "RIFF") {
            chunk.listType = Tag(b, chunk.data);
        }
        chunks.push_back(chunk);
        at = chunk.data + chunk.size + chunk.size % 2;
    }
    return chunks;
}

std::vector<Chunk> Inside(const Bytes& b, const Chunk& list) {
    return Children(b, list.data + 4, list.data + list.size);
}

const Chunk& Find(const std::vector<Chunk>& chunks, const std::string& id,
                  const std::string& listType = "") {
    for (const Chunk& chunk : chunks) {
        if (chunk.id == id && chunk.listType == listType) {
            return chunk;
        }
    }
    throw std::runtime_error("no chunk " + id + " " + listType);
}

fs::path NewTempDir() {
    std::random_device random;
    const fs::path dir = fs::temp_directory_path() / ("artgen_test_" + std::to_string(random()));
    fs::create_directories(dir);
    return dir;
}

// Exit status of artgen with `args`; its error output goes to `errors`.
int RunArtgen(const std::string& args, const fs::path& errors) {
    const std::string command =
        "\"" ARTGEN_PATH "\" " + args + " >/dev/null 2>\"" + errors.string() + "\"";
    int status = std::system(command.c_str());
    // POSIX shells report the exit code in the second byte and a signal in the first.
    if (status > 255 && (status & 0xFF) == 0) {
        status >>= 8;
    }
    return status;
}

std::string Quoted(const fs::path& path) {
    return "\"" + path.string() + "\"";
}

class Artgen : public ::testing::Test {
protected:
    // One run makes the files every test reads.
    static void SetUpTestSuite() {
        s_made = NewTempDir();
        s_status = RunArtgen(Quoted(s_made / "art"), s_made / "stderr.txt");
    }
    static void TearDownTestSuite() {
        std::error_code ignored;
        fs::remove_all(s_made, ignored);
    }
    void SetUp() override { m_dir = NewTempDir(); }
    void TearDown() override {
        std::error_code ignored;
        fs::remove_all(m_dir, ignored);
    }

    static Bytes Generated(const std::string& name) {
        EXPECT_EQ(s_status, 0);
        return ReadBytes(s_made / "art" / name);
    }
    int Run(const std::string& args) const { return RunArtgen(args, m_dir / "stderr.txt"); }
    std::string Errors() const {
        const Bytes text = ReadBytes(m_dir / "stderr.txt");
        return std::string(text.begin(), text.end());
    }

    static inline fs::path s_made;
    static inline int s_status = -1;
    fs::path m_dir;
};

TEST_F(Artgen, ReproducesTheCommittedArtByteForByte) {
    for (const char* name : {"app.ico", "watermark.bmp", "watermark-150.bmp", "watermark-200.bmp",
                             "header.bmp", "header-150.bmp", "header-200.bmp", "busy.avi"}) {
        const Bytes made = Generated(name);
        EXPECT_FALSE(made.empty()) << name;
        EXPECT_TRUE(made == ReadBytes(fs::path(ART_DIR) / name))
            << name << " differs from resources/art: run artgen into resources/art";
    }
}

TEST_F(Artgen, IconHoldsNineImagesLargestAndDeepestFirst) {
    const Bytes ico = Generated("app.ico");
    ASSERT_GE(ico.size(), 6u);
    EXPECT_EQ(U16(ico, 0), 0u);
    EXPECT_EQ(U16(ico, 2), 1u);  // icon
    ASSERT_EQ(U16(ico, 4), 9u);
    const std::uint32_t sizes[] = {48, 48, 48, 32, 32, 32, 16, 16, 16};
    const std::uint32_t bits[] = {32, 8, 4, 32, 8, 4, 32, 8, 4};
    std::size_t expectedOffset = 6 + 9 * 16;
    for (std::size_t i = 0; i < 9; ++i) {
        SCOPED_TRACE("image " + std::to_string(i));
        const std::size_t entry = 6 + 16 * i;
        EXPECT_EQ(ico.at(entry), sizes[i]);
        EXPECT_EQ(ico.at(entry + 1), sizes[i]);
        EXPECT_EQ(ico.at(entry + 2), bits[i] == 4 ? 16u : 0u);
        EXPECT_EQ(U16(ico, entry + 6), bits[i]);
        const std::uint32_t length = U32(ico, entry + 8);
        const std::uint32_t offset = U32(ico, entry + 12);
        EXPECT_EQ(offset, expectedOffset);  // images follow one another, none overlaps
        ASSERT_LE(std::size_t{offset} + length, ico.size());
        expectedOffset = offset + length;

        EXPECT_EQ(U32(ico, offset), 40u);
        EXPECT_EQ(I32(ico, offset + 4), static_cast<std::int32_t>(sizes[i]));
        EXPECT_EQ(I32(ico, offset + 8), static_cast<std::int32_t>(2 * sizes[i]));
        EXPECT_EQ(U16(ico, offset + 14), bits[i]);
        EXPECT_EQ(U32(ico, offset + 16), 0u);  // BI_RGB
        const std::uint32_t table = bits[i] <= 8 ? 4u << bits[i] : 0;
        EXPECT_EQ(length,
                  40 + table + (Stride(sizes[i], bits[i]) + Stride(sizes[i], 1)) * sizes[i]);
    }
    EXPECT_EQ(expectedOffset, ico.size());
}

// Windows ANDs the mask into the screen and XORs the colour over it: a hole must be black in the
// colour rows or it shows as noise. The palette images share one outline; the 32-bit image's mask
// marks what its alpha leaves fully transparent.
TEST_F(Artgen, IconHolesAreBlackAndFollowTheOutline) {
    const Bytes ico = Generated("app.ico");
    ASSERT_EQ(ico.size() >= 6 ? U16(ico, 4) : 0u, 9u);
    for (std::size_t size = 0; size < 3; ++size) {
        Bytes paletteMask;
        for (std::size_t depth = 0; depth < 3; ++depth) {
            const std::size_t offset = U32(ico, 6 + 16 * (3 * size + depth) + 12);
            const auto side = static_cast<std::uint32_t>(I32(ico, offset + 4));
            const std::uint32_t bits = U16(ico, offset + 14);
            SCOPED_TRACE(std::to_string(side) + " px, " + std::to_string(bits) + " bits");
            const std::size_t table = offset + 40;
            const std::size_t pixels = table + (bits <= 8 ? 4u << bits : 0);
            const std::size_t mask = pixels + Stride(side, bits) * side;
            ASSERT_LE(mask + Stride(side, 1) * side, ico.size());
            const Bytes maskBytes(
                ico.begin() + static_cast<std::ptrdiff_t>(mask),
                ico.begin() + static_cast<std::ptrdiff_t>(mask + Stride(side, 1) * side));
            if (depth == 1) {
                paletteMask = maskBytes;
            }
            EXPECT_TRUE(depth != 2 || maskBytes == paletteMask) << "4- and 8-bit outlines differ";
            std::size_t holes = 0;
            for (std::uint32_t y = 0; y < side; ++y) {
                for (std::uint32_t x = 0; x < side; ++x) {
                    const std::size_t row = pixels + y * Stride(side, bits);
                    const bool hole = (maskBytes[y * Stride(side, 1) + x / 8] >> (7 - x % 8)) & 1;
                    holes += hole ? 1 : 0;
                    std::uint32_t color = 0;
                    if (bits == 32) {
                        color = U32(ico, row + 4 * x);
                        EXPECT_EQ(hole, (color >> 24) == 0) << "alpha disagrees with the mask";
                    } else {
                        const std::uint32_t index =
                            bits == 8 ? ico[row + x] : (ico[row + x / 2] >> (x % 2 ? 0 : 4)) & 15;
                        color = U32(ico, table + 4 * index);
                    }
                    if (hole) {
                        EXPECT_EQ(color & 0xFFFFFF, 0u) << "hole at " << x << "," << y;
                    }
                }
            }
            EXPECT_GT(holes, 0u);  // the corners are rounded off
        }
    }
}

// One of each for 96, 144 and 192 dots per inch: 100 %, 150 % and 200 % of the first.
TEST_F(Artgen, BitmapsHaveTheWizardsSizesAtEachScaleIn24BitRows) {
    const struct {
        const char* name;
        std::int32_t width;
        std::int32_t height;
    } cases[] = {
        {"watermark.bmp", 164, 628},      {"watermark-150.bmp", 246, 942},
        {"watermark-200.bmp", 328, 1256}, {"header.bmp", 49, 49},
        {"header-150.bmp", 74, 74},       {"header-200.bmp", 98, 98},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const Bytes bmp = Generated(c.name);
        ASSERT_GE(bmp.size(), 54u);
        EXPECT_EQ(Tag(bmp, 0).substr(0, 2), "BM");
        EXPECT_EQ(U32(bmp, 2), bmp.size());
        EXPECT_EQ(U32(bmp, 10), 54u);
        EXPECT_EQ(U32(bmp, 14), 40u);
        EXPECT_EQ(I32(bmp, 18), c.width);
        EXPECT_EQ(I32(bmp, 22), c.height);  // positive: bottom-up
        EXPECT_EQ(U16(bmp, 28), 24u);
        EXPECT_EQ(U32(bmp, 30), 0u);  // BI_RGB
        const std::uint32_t image =
            Stride(static_cast<std::uint32_t>(c.width), 24) * static_cast<std::uint32_t>(c.height);
        EXPECT_EQ(U32(bmp, 34), image);
        EXPECT_EQ(bmp.size(), 54 + image);
    }
}

// The header sits on the sheet's white band: a white border at every scale, and a drawing that
// fills most of what is inside it.
TEST_F(Artgen, HeaderBitmapsHaveAWhiteBorderAndADrawingInside) {
    const struct {
        const char* name;
        int size;
        int border;
    } cases[] = {{"header.bmp", 49, 2}, {"header-150.bmp", 74, 3}, {"header-200.bmp", 98, 4}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const Bytes bmp = Generated(c.name);
        const std::uint32_t stride = Stride(static_cast<std::uint32_t>(c.size), 24);
        ASSERT_EQ(bmp.size(), 54u + stride * static_cast<std::uint32_t>(c.size));
        int drawn = 0;
        const int inner = c.size - 2 * c.border;
        for (int y = 0; y < c.size; ++y) {
            for (int x = 0; x < c.size; ++x) {
                const std::size_t at = 54 + static_cast<std::size_t>(y) * stride + 3 * x;
                const bool white = bmp[at] == 255 && bmp[at + 1] == 255 && bmp[at + 2] == 255;
                if (x < c.border || y < c.border || x >= c.size - c.border ||
                    y >= c.size - c.border) {
                    EXPECT_TRUE(white) << "pixel " << x << "," << y << " of the border";
                } else if (!white) {
                    ++drawn;
                }
            }
        }
        EXPECT_GT(drawn, inner * inner / 3);
    }
}

TEST_F(Artgen, BusyClipIsASilentUncompressedClipTheAnimationControlPlays) {
    const Bytes avi = Generated("busy.avi");
    EXPECT_LT(avi.size(), 250u * 1024);
    ASSERT_GE(avi.size(), 12u);
    EXPECT_EQ(Tag(avi, 0), "RIFF");
    EXPECT_EQ(Tag(avi, 8), "AVI ");
    ASSERT_EQ(U32(avi, 4) + 8, avi.size());
    const std::vector<Chunk> top = Children(avi, 12, avi.size());

    const std::vector<Chunk> hdrl = Inside(avi, Find(top, "LIST", "hdrl"));
    const Chunk& avih = Find(hdrl, "avih");
    ASSERT_EQ(avih.size, 56u);
    EXPECT_EQ(U32(avi, avih.data), 100000u);  // 10 frames a second
    const std::uint32_t frames = U32(avi, avih.data + 16);
    EXPECT_GE(frames, 12u);
    EXPECT_LE(frames, 16u);
    EXPECT_EQ(U32(avi, avih.data + 24), 1u);  // one stream
    const std::int32_t width = I32(avi, avih.data + 32);
    const std::int32_t height = I32(avi, avih.data + 36);
    int streams = 0;
    for (const Chunk& chunk : hdrl) {
        if (chunk.listType == "strl") {
            ++streams;
            const std::vector<Chunk> strl = Inside(avi, chunk);
            const Chunk& strh = Find(strl, "strh");
            EXPECT_EQ(Tag(avi, strh.data), "vids");
            EXPECT_EQ(Tag(avi, strh.data + 4), "DIB ");
            const Chunk& strf = Find(strl, "strf");
            ASSERT_EQ(strf.size, 40u + 256 * 4);
            EXPECT_EQ(I32(avi, strf.data + 4), width);
            EXPECT_EQ(I32(avi, strf.data + 8), height);
            EXPECT_EQ(U16(avi, strf.data + 14), 8u);
            EXPECT_EQ(U32(avi, strf.data + 16), 0u);  // BI_RGB
        }
    }
    EXPECT_EQ(streams, 1);

    const Chunk& movi = Find(top, "LIST", "movi");
    const std::uint32_t frameSize =
        Stride(static_cast<std::uint32_t>(width), 8) * static_cast<std::uint32_t>(height);
    const std::vector<Chunk> data = Inside(avi, movi);
    ASSERT_EQ(data.size(), frames);
    for (const Chunk& frame : data) {
        EXPECT_EQ(frame.id, "00db");
        EXPECT_EQ(frame.size, frameSize);
    }
    const Chunk& idx1 = Find(top, "idx1");
    ASSERT_EQ(idx1.size, 16 * frames);
    for (std::uint32_t i = 0; i < frames; ++i) {
        const std::size_t entry = idx1.data + 16 * i;
        EXPECT_EQ(Tag(avi, entry), "00db");
        EXPECT_NE(U32(avi, entry + 4) & 0x10, 0u);  // key frame
        // Offsets count from the 'movi' list type and name the chunk's header.
        EXPECT_EQ(movi.data + U32(avi, entry + 8), data[i].data - 8);
        EXPECT_EQ(U32(avi, entry + 12), frameSize);
    }
}

TEST_F(Artgen, BusyClipBackgroundColourIsUsedForNothingElse) {
    const Bytes avi = Generated("busy.avi");
    const std::vector<Chunk> top = Children(avi, 12, avi.size());
    const std::vector<Chunk> strl =
        Inside(avi, Find(Inside(avi, Find(top, "LIST", "hdrl")), "LIST", "strl"));
    const std::size_t info = Find(strl, "strf").data;
    const auto width = static_cast<std::size_t>(I32(avi, info + 4));
    const auto height = static_cast<std::size_t>(I32(avi, info + 8));
    const std::vector<Chunk> frames = Inside(avi, Find(top, "LIST", "movi"));
    ASSERT_FALSE(frames.empty());

    // The control takes the top-left pixel of the first frame, the first byte of its last row.
    const std::uint8_t key = avi.at(frames[0].data + (height - 1) * width);
    const std::uint32_t keyColor = U32(avi, info + 40 + 4 * key) & 0xFFFFFF;
    for (std::size_t i = 0; i < 256; ++i) {
        if (i != key) {
            EXPECT_NE(U32(avi, info + 40 + 4 * i) & 0xFFFFFF, keyColor) << "palette entry " << i;
        }
    }
    // Frames told apart by a hash of their pixels (a set of the pixel vectors themselves trips a
    // false bounds warning of GCC 12 at -O3).
    std::set<std::size_t> distinct;
    for (const Chunk& frame : frames) {
        const Bytes pixels(avi.begin() + static_cast<std::ptrdiff_t>(frame.data),
                           avi.begin() + static_cast<std::ptrdiff_t>(frame.data + frame.size));
        std::size_t background = 0;
        for (std::size_t y = 0; y < height; ++y) {
            for (std::size_t x = 0; x < width; ++x) {
                const bool edge = x == 0 || y == 0 || x + 1 == width || y + 1 == height;
                const bool isKey = pixels[y * width + x] == key;
                EXPECT_TRUE(!edge || isKey) << "the drawing touches the frame's edge";
                background += isKey ? 1 : 0;
            }
        }
        EXPECT_GT(background, width * height / 3);       // the dialog shows through
        EXPECT_LT(background, width * height * 9 / 10);  // and there is a picture
        distinct.insert(std::hash<std::string_view>{}(
            std::string_view(reinterpret_cast<const char*>(pixels.data()), pixels.size())));
    }
    EXPECT_EQ(distinct.size(), frames.size()) << "every frame moves the highlight on";
}

TEST_F(Artgen, WrongCommandLineGivesUsageAndStatus2) {
    for (const std::string args : {"", "a b", "--bogus", "\"\""}) {
        SCOPED_TRACE("artgen " + args);
        EXPECT_EQ(Run(args), 2);
        EXPECT_NE(Errors().find("usage: artgen OUTDIR"), std::string::npos);
    }
}

TEST_F(Artgen, UnwritableDirectoryIsReportedWithStatus1) {
    std::ofstream(m_dir / "file") << "in the way";
    EXPECT_EQ(Run(Quoted(m_dir / "file" / "art")), 1);
    EXPECT_NE(Errors().find("artgen: cannot make directory"), std::string::npos);
    EXPECT_EQ(Run(Quoted(m_dir / "file")), 1);
    EXPECT_EQ(ReadBytes(m_dir / "file").size(), 10u);  // what was there is kept
}

}  // namespace
