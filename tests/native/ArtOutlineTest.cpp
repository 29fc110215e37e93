// The generated pictures and window outline against the pixel maps they are drawn from.
#include "shell/RegionStream.h"
#include "util/DpiScale.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

#ifdef PAKICO_ART_DIR
const fs::path kArtDir = PAKICO_ART_DIR;
#else
const fs::path kArtDir; // the build must say where the generated pictures are
#endif

#ifdef PAKICO_ART_MAPS
const fs::path kMapDir = PAKICO_ART_MAPS;
#else
const fs::path kMapDir =
    fs::path(__FILE__).parent_path().parent_path().parent_path() / "res" / "art";
#endif

constexpr int kWidth = 58;
constexpr int kHeight = 59;
constexpr int kTransparent = -1;
constexpr int kMaskIndex = 13; // fuchsia marks transparent pixels in every bitmap

// The standard 16-colour palette, in 4-bit bitmap index order.
struct NamedColour {
    const char* name;
    std::uint32_t rgb;
};
constexpr std::array<NamedColour, 16> kPalette = {{
    {"black", 0x000000},
    {"maroon", 0x800000},
    {"green", 0x008000},
    {"olive", 0x808000},
    {"navy", 0x000080},
    {"purple", 0x800080},
    {"teal", 0x008080},
    {"silver", 0xC0C0C0},
    {"grey", 0x808080},
    {"red", 0xFF0000},
    {"lime", 0x00FF00},
    {"yellow", 0xFFFF00},
    {"blue", 0x0000FF},
    {"fuchsia", 0xFF00FF},
    {"aqua", 0x00FFFF},
    {"white", 0xFFFFFF},
}};

// A picture as palette indices, row by row from the top; kTransparent outside.
struct Picture {
    int width = 0;
    int height = 0;
    std::vector<int> pixels;
    int at(int x, int y) const { return pixels[static_cast<size_t>(y * width + x)]; }
};

std::vector<std::uint8_t> ReadBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw std::runtime_error("cannot open " + path.string());
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::uint32_t U32(const std::vector<std::uint8_t>& b, size_t at) {
    if (at + 4 > b.size())
        throw std::runtime_error("read past the end");
    return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<std::uint32_t>(b[at + 3]) << 24;
}
std::int32_t I32(const std::vector<std::uint8_t>& b, size_t at) {
    return static_cast<std::int32_t>(U32(b, at));
}
int U16(const std::vector<std::uint8_t>& b, size_t at) {
    return b.at(at) | b.at(at + 1) << 8;
}

// Parses a pixel map the way the artwork is written: [palette] then [pixels].
Picture ReadMap(const std::string& name) {
    std::ifstream in(kMapDir / (name + ".txt"));
    if (!in)
        throw std::runtime_error("cannot open map " + name);
    std::map<char, int> palette;
    Picture pic;
    std::string line, section;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line == "[palette]" || line == "[pixels]") {
            section = line;
            continue;
        }
        if (section == "[pixels]" && !line.empty()) {
            if (pic.width == 0)
                pic.width = static_cast<int>(line.size());
            if (static_cast<int>(line.size()) != pic.width)
                throw std::runtime_error(name + ": ragged row");
            for (char c : line)
                pic.pixels.push_back(palette.at(c));
            ++pic.height;
        } else if (section == "[palette]" && !line.empty() && line[0] != '#') {
            std::istringstream fields(line);
            std::string key, colour;
            fields >> key >> colour;
            int index = colour == "transparent" ? kTransparent : -2;
            for (size_t i = 0; i < kPalette.size(); ++i)
                if (colour == kPalette[i].name)
                    index = static_cast<int>(i);
            if (key.size() != 1 || index == -2)
                throw std::runtime_error(name + ": bad palette line " + line);
            palette[key[0]] = index;
        }
    }
    return pic;
}

// A 4-bit BI_RGB bitmap file with the standard palette, as stored in the resources.
Picture ReadBmp4(const std::string& file) {
    const auto b = ReadBytes(kArtDir / file);
    if (b.size() < 54 || b[0] != 'B' || b[1] != 'M')
        throw std::runtime_error(file + ": not a bitmap");
    EXPECT_EQ(b.size(), U32(b, 2)) << file;
    EXPECT_EQ(40u, U32(b, 14)) << file;
    EXPECT_EQ(4, U16(b, 28)) << file;
    EXPECT_EQ(0u, U32(b, 30)) << file << ": compressed";
    for (size_t i = 0; i < kPalette.size(); ++i) {
        const size_t at = 54 + 4 * i;
        const std::uint32_t rgb = b.at(at + 2) << 16 | b.at(at + 1) << 8 | b.at(at);
        EXPECT_EQ(kPalette[i].rgb, rgb) << file << " palette entry " << i;
    }
    Picture pic;
    pic.width = I32(b, 18);
    pic.height = I32(b, 22); // positive: bottom-up
    const size_t stride = static_cast<size_t>((pic.width * 4 + 31) / 32 * 4);
    const size_t bits = U32(b, 10);
    if (pic.width <= 0 || pic.height <= 0 || bits + stride * pic.height > b.size())
        throw std::runtime_error(file + ": bad size");
    for (int y = 0; y < pic.height; ++y) {
        const size_t row = bits + stride * static_cast<size_t>(pic.height - 1 - y);
        for (int x = 0; x < pic.width; ++x) {
            const std::uint8_t pair = b[row + static_cast<size_t>(x / 2)];
            pic.pixels.push_back(x % 2 == 0 ? pair >> 4 : pair & 15);
        }
    }
    return pic;
}

struct Rect {
    std::int32_t left, top, right, bottom;
    bool operator==(const Rect&) const = default;
};

struct Outline {
    std::uint32_t byteCount = 0;
    std::uint32_t dwSize = 0, iType = 0, nCount = 0, nRgnSize = 0;
    Rect bound{};
    std::vector<Rect> rects;
    size_t fileSize = 0;
};

Outline ReadOutline() {
    const auto b = ReadBytes(kArtDir / "CatOutline.bin");
    Outline o;
    o.fileSize = b.size();
    o.byteCount = U32(b, 0);
    o.dwSize = U32(b, 4);
    o.iType = U32(b, 8);
    o.nCount = U32(b, 12);
    o.nRgnSize = U32(b, 16);
    o.bound = {I32(b, 20), I32(b, 24), I32(b, 28), I32(b, 32)};
    for (size_t at = 36; at + 16 <= b.size(); at += 16)
        o.rects.push_back({I32(b, at), I32(b, at + 4), I32(b, at + 8), I32(b, at + 12)});
    return o;
}

const char* const kWindowMaps[] = {"window_ready", "window_resting", "window_compress",
                                   "window_extract"};

class ArtTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_FALSE(kArtDir.empty()) << "build the tests with PAKICO_ART_DIR";
        ASSERT_TRUE(fs::exists(kArtDir / "CatOutline.bin")) << "run the pakico_art target";
    }
};

TEST_F(ArtTest, OutlineHeaderIsConsistent) {
    const Outline o = ReadOutline();
    EXPECT_EQ(32u, o.dwSize);
    EXPECT_EQ(1u, o.iType); // RDH_RECTANGLES
    EXPECT_GT(o.nCount, 0u);
    EXPECT_EQ(16 * o.nCount, o.nRgnSize);
    EXPECT_EQ(32 + o.nRgnSize, o.byteCount);
    EXPECT_EQ(4 + o.byteCount, o.fileSize);
    EXPECT_EQ(o.nCount, o.rects.size());
}

TEST_F(ArtTest, BoundIsTheBoundingBoxOfTheRects) {
    const Outline o = ReadOutline();
    ASSERT_FALSE(o.rects.empty());
    Rect box = o.rects.front();
    for (const Rect& r : o.rects)
        box = {std::min(box.left, r.left), std::min(box.top, r.top), std::max(box.right, r.right),
               std::max(box.bottom, r.bottom)};
    EXPECT_EQ(box, o.bound);
    EXPECT_GE(o.bound.left, 0);
    EXPECT_GE(o.bound.top, 0);
    EXPECT_LE(o.bound.right, kWidth);
    EXPECT_LE(o.bound.bottom, kHeight);
}

// The platform's region form: bands of equal top and bottom from the top down, each
// band's rectangles left to right with gaps between them, and no two touching bands
// with the same spans (those are merged into one).
TEST_F(ArtTest, RectsAreBandedLikeGetRegionData) {
    const std::vector<Rect> rects = ReadOutline().rects;
    std::vector<std::vector<Rect>> bands;
    for (const Rect& r : rects) {
        ASSERT_LT(r.left, r.right);
        ASSERT_LT(r.top, r.bottom);
        if (bands.empty() || bands.back().front().top != r.top)
            bands.emplace_back();
        bands.back().push_back(r);
    }
    for (size_t i = 0; i < bands.size(); ++i) {
        const auto& band = bands[i];
        for (size_t j = 0; j < band.size(); ++j) {
            EXPECT_EQ(band[0].bottom, band[j].bottom) << "band " << i;
            if (j > 0) {
                EXPECT_LT(band[j - 1].right, band[j].left) << "band " << i;
            }
        }
        if (i == 0)
            continue;
        const auto& above = bands[i - 1];
        EXPECT_LE(above.front().bottom, band.front().top) << "bands overlap at " << i;
        if (above.front().bottom == band.front().top) {
            bool sameSpans = above.size() == band.size();
            for (size_t j = 0; sameSpans && j < band.size(); ++j)
                sameSpans = above[j].left == band[j].left && above[j].right == band[j].right;
            EXPECT_FALSE(sameSpans) << "bands " << i - 1 << " and " << i << " not merged";
        }
    }
}

TEST_F(ArtTest, OutlineCoversExactlyTheOpaquePixelsOfEveryPicture) {
    const Outline o = ReadOutline();
    std::vector<int> cover(kWidth * kHeight, 0);
    for (const Rect& r : o.rects)
        for (int y = std::max(r.top, 0); y < std::min(r.bottom, kHeight); ++y)
            for (int x = std::max(r.left, 0); x < std::min(r.right, kWidth); ++x)
                ++cover[static_cast<size_t>(y * kWidth + x)];
    for (const char* name : kWindowMaps) {
        const Picture map = ReadMap(name);
        ASSERT_EQ(kWidth, map.width) << name;
        ASSERT_EQ(kHeight, map.height) << name;
        int mismatches = 0;
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x) {
                const int covered = cover[static_cast<size_t>(y * kWidth + x)];
                const int wanted = map.at(x, y) == kTransparent ? 0 : 1;
                if (covered != wanted && ++mismatches <= 5)
                    ADD_FAILURE() << name << " (" << x << ", " << y << ") covered " << covered
                                  << " times, opaque " << wanted;
            }
        EXPECT_EQ(0, mismatches) << name;
    }
}

// On a dense screen the pictures grow pixel for pixel and the outline with them: the grown
// outline still covers exactly the grown opaque pixels, at twice and three times the size.
TEST_F(ArtTest, TheGrownOutlineCoversExactlyTheGrownPictures) {
    const auto bytes = ReadBytes(kArtDir / "CatOutline.bin");
    const auto data = RegionDataFromStream(bytes.data(), bytes.size());
    ASSERT_TRUE(data.has_value());
    const Picture map = ReadMap("window_ready");
    std::vector<std::uint32_t> opaque;
    for (int p : map.pixels)
        opaque.push_back(p == kTransparent ? 0 : 1);
    for (int factor : {2, 3}) {
        const int w = kWidth * factor, h = kHeight * factor;
        const auto grown = ScaleNearest(opaque, kWidth, kHeight, w, h);
        ASSERT_EQ(static_cast<size_t>(w * h), grown.size());
        const auto grownData = ScaleRegionData(*data, factor);
        const auto rects = RegionRects(grownData);
        EXPECT_EQ(RegionRects(*data).size(), rects.size()) << factor;
        std::vector<std::uint32_t> cover(grown.size(), 0);
        for (const RegionRect& r : rects)
            for (int y = std::max(r.top, 0); y < std::min(r.bottom, h); ++y)
                for (int x = std::max(r.left, 0); x < std::min(r.right, w); ++x)
                    ++cover[static_cast<size_t>(y * w + x)];
        EXPECT_EQ(grown, cover) << "at " << factor << " times";
        // The bounding box of the drawn cat, (3, 1)-(57, 58), grows alike.
        EXPECT_EQ(3 * factor, I32(grownData, 16));
        EXPECT_EQ(1 * factor, I32(grownData, 20));
        EXPECT_EQ(57 * factor, I32(grownData, 24));
        EXPECT_EQ(58 * factor, I32(grownData, 28));
    }
}

TEST_F(ArtTest, WindowBitmapsMatchTheirMaps) {
    for (int i = 0; i < 4; ++i) {
        const std::string file = "CoolForm" + std::to_string(i + 1) + ".bmp";
        const Picture bmp = ReadBmp4(file);
        const Picture map = ReadMap(kWindowMaps[i]);
        ASSERT_EQ(kWidth, bmp.width) << file;
        ASSERT_EQ(kHeight, bmp.height) << file;
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x) {
                const int want = map.at(x, y) == kTransparent ? kMaskIndex : map.at(x, y);
                ASSERT_EQ(want, bmp.at(x, y)) << file << " at (" << x << ", " << y << ")";
            }
    }
}

TEST_F(ArtTest, OutlineIsCatShaped) {
    const Outline o = ReadOutline();
    auto inside = [&](int x, int y) {
        for (const Rect& r : o.rects)
            if (x >= r.left && x < r.right && y >= r.top && y < r.bottom)
                return true;
        return false;
    };
    EXPECT_FALSE(inside(0, 0));
    EXPECT_FALSE(inside(kWidth - 1, 0));
    EXPECT_FALSE(inside(0, kHeight - 1));
    EXPECT_FALSE(inside(kWidth - 1, kHeight - 1));
    EXPECT_TRUE(inside(kWidth / 2, kHeight / 2));
    // Two ears on top: the first band holds two rectangles, one either side of the middle.
    ASSERT_GE(o.rects.size(), 2u);
    EXPECT_EQ(o.rects[0].top, o.rects[1].top);
    EXPECT_LT(o.rects[0].right, kWidth / 2);
    EXPECT_GT(o.rects[1].left, kWidth / 2);
    EXPECT_FALSE(inside(kWidth / 2, o.rects[0].top)); // the dip between the ears
}

TEST_F(ArtTest, ImageListIsTheTwelveMenuImagesWithFuchsiaMask) {
    const char* const names[] = {"menu00_door",    "menu01_run",      "menu02_compress",
                                 "menu03_extract", "menu04_settings", "menu05_cancel",
                                 "menu06_reopen",  "menu07_watch",    "menu08_cat",
                                 "menu09_help",    "menu10_view",     "menu11_openfolder"};
    const Picture strip = ReadBmp4("ImageList1.bmp");
    ASSERT_EQ(192, strip.width);
    ASSERT_EQ(16, strip.height);
    for (int i = 0; i < 12; ++i) {
        const Picture map = ReadMap(names[i]);
        ASSERT_EQ(16, map.width) << names[i];
        ASSERT_EQ(16, map.height) << names[i];
        bool anyMask = false, anyOpaque = false;
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x) {
                const int want = map.at(x, y) == kTransparent ? kMaskIndex : map.at(x, y);
                ASSERT_EQ(want, strip.at(16 * i + x, y))
                    << names[i] << " (" << x << ", " << y << ")";
                if (want == kMaskIndex)
                    anyMask = true;
                else
                    anyOpaque = true;
            }
        EXPECT_TRUE(anyMask && anyOpaque) << names[i];
    }
}

// The program icon: a 32 x 32 and a 16 x 16 4-bit image whose AND masks are the maps'
// transparent pixels and whose colour parts are black there.
TEST_F(ArtTest, ProgramIconHasBothSizesWithMasks) {
    const auto b = ReadBytes(kArtDir / "Pakico.ico");
    ASSERT_EQ(0, U16(b, 0));
    ASSERT_EQ(1, U16(b, 2));
    ASSERT_EQ(2, U16(b, 4));
    const std::map<int, std::string> mapFor = {{32, "catface32"}, {16, "menu08_cat"}};
    for (int i = 0; i < 2; ++i) {
        const size_t entry = 6 + 16 * static_cast<size_t>(i);
        const int size = b.at(entry);
        ASSERT_TRUE(mapFor.count(size)) << "icon entry " << i;
        const Picture map = ReadMap(mapFor.at(size));
        const size_t at = U32(b, entry + 12);
        EXPECT_EQ(4, U16(b, at + 14));
        EXPECT_EQ(2 * size, I32(b, at + 8)); // colour and mask stacked
        const size_t xorAt = at + 40 + 64;
        const size_t xorStride = static_cast<size_t>((size * 4 + 31) / 32 * 4);
        const size_t andAt = xorAt + xorStride * static_cast<size_t>(size);
        const size_t andStride = static_cast<size_t>((size + 31) / 32 * 4);
        ASSERT_GE(b.size(), andAt + andStride * static_cast<size_t>(size));
        for (int y = 0; y < size; ++y)
            for (int x = 0; x < size; ++x) {
                const size_t row = static_cast<size_t>(size - 1 - y);
                const int colour = (b[xorAt + row * xorStride + static_cast<size_t>(x / 2)] >>
                                    (x % 2 == 0 ? 4 : 0)) &
                                   15;
                const bool masked =
                    b[andAt + row * andStride + static_cast<size_t>(x / 8)] & (0x80 >> (x % 8));
                const bool clear = map.at(x, y) == kTransparent;
                ASSERT_EQ(clear, masked) << size << " (" << x << ", " << y << ")";
                ASSERT_EQ(clear ? 0 : map.at(x, y), colour)
                    << size << " (" << x << ", " << y << ")";
            }
    }
}

} // namespace
