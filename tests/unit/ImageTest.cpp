// Image decoding: every PNG colour type and bit depth comes out as 8-bit RGB
// or RGBA, JPEGs come out bottom row first with packed rows, the ending of the
// name picks the decoder, broken files yield none, and the two pixel
// operations of the texture upload.

#include "gl/Image.h"
#include "resources/Crc32.h"
#include "resources/VFile.h"
#include "support/ImageFiles.h"
#include "support/SceneTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>

using namespace testimages;

namespace {

Image* decodeBytes(const std::vector<unsigned char>& bytes)
{
    VFile file;
    file.data = static_cast<unsigned char*>(std::malloc(bytes.size() + 1));
    if (!bytes.empty())
        std::memcpy(file.data, bytes.data(), bytes.size());
    file.size = uint32_t(bytes.size());
    file.pos = 0;
    return decodePNG(&file);
}

// ---------------------------------------------------------------------------
// PNG colour types and depths

constexpr int kW = 5;
constexpr int kH = 3;

unsigned sample(int x, int y, int channel)
{
    return unsigned(x * 53 + y * 97 + channel * 31 + 7) % 256u;
}

// Packs samples of `depth` bits into rows (big-endian bits and 16-bit words).
std::vector<unsigned char> packRows(int channels, int depth, unsigned (*value)(int, int, int))
{
    std::vector<unsigned char> rows;
    for (int y = 0; y < kH; ++y) {
        std::vector<unsigned char> row;
        int bitPos = 0;
        for (int x = 0; x < kW; ++x)
            for (int c = 0; c < channels; ++c) {
                unsigned v = value(x, y, c);
                if (depth == 16) {
                    row.push_back(static_cast<unsigned char>(v));
                    row.push_back(static_cast<unsigned char>(v));
                } else if (depth == 8) {
                    row.push_back(static_cast<unsigned char>(v));
                } else {
                    if (bitPos % 8 == 0)
                        row.push_back(0);
                    row.back() |= static_cast<unsigned char>(v << (8 - depth - bitPos % 8));
                    bitPos += depth;
                }
            }
        rows.insert(rows.end(), row.begin(), row.end());
    }
    return rows;
}

int gDepth = 8;
unsigned lowBits(int x, int y, int c)
{
    return sample(x, y, c) % (1u << gDepth);
}
unsigned fullByte(int x, int y, int c)
{
    return sample(x, y, c);
}

struct PngCase {
    const char* what;
    int colourType;
    int depth;
    bool transparency;
    int expectedBits;
    bool interlaced = false;
};

} // namespace

TEST(PngDecoding, EveryColourTypeAndDepthBecomesEightBitRgbOrRgba)
{
    const PngCase cases[] = {
        {"grey 1", PNG_COLOR_TYPE_GRAY, 1, false, 24},
        {"grey 2", PNG_COLOR_TYPE_GRAY, 2, false, 24},
        {"grey 4", PNG_COLOR_TYPE_GRAY, 4, false, 24},
        {"grey 8", PNG_COLOR_TYPE_GRAY, 8, false, 24},
        {"grey 16", PNG_COLOR_TYPE_GRAY, 16, false, 24},
        {"grey 8 + transparent grey", PNG_COLOR_TYPE_GRAY, 8, true, 32},
        {"grey-alpha 8", PNG_COLOR_TYPE_GRAY_ALPHA, 8, false, 32},
        {"grey-alpha 16", PNG_COLOR_TYPE_GRAY_ALPHA, 16, false, 32},
        {"rgb 8", PNG_COLOR_TYPE_RGB, 8, false, 24},
        {"rgb 8 interlaced", PNG_COLOR_TYPE_RGB, 8, false, 24, true},
        {"rgb 16", PNG_COLOR_TYPE_RGB, 16, false, 24},
        {"rgb 8 + transparent colour (ignored)", PNG_COLOR_TYPE_RGB, 8, true, 24},
        {"rgba 8", PNG_COLOR_TYPE_RGBA, 8, false, 32},
        {"rgba 16", PNG_COLOR_TYPE_RGBA, 16, false, 32},
        {"palette 1", PNG_COLOR_TYPE_PALETTE, 1, false, 24},
        {"palette 2", PNG_COLOR_TYPE_PALETTE, 2, false, 24},
        {"palette 4", PNG_COLOR_TYPE_PALETTE, 4, false, 24},
        {"palette 8", PNG_COLOR_TYPE_PALETTE, 8, false, 24},
        {"palette 8 + alphas", PNG_COLOR_TYPE_PALETTE, 8, true, 32},
    };
    for (const PngCase& c : cases) {
        SCOPED_TRACE(c.what);
        gDepth = c.depth;
        const bool grey = !(c.colourType & PNG_COLOR_MASK_COLOR);
        const bool palette = c.colourType == PNG_COLOR_TYPE_PALETTE;
        const int channels = palette ? 1 : (grey ? 1 : 3) + ((c.colourType & PNG_COLOR_MASK_ALPHA) ? 1 : 0);
        auto value = c.depth < 8 || palette ? lowBits : fullByte;
        std::vector<unsigned char> rows = packRows(channels, c.depth, value);

        PngExtras extras;
        extras.interlaced = c.interlaced;
        if (palette) {
            for (int i = 0; i < (1 << c.depth); ++i)
                extras.palette.push_back(png_color{png_byte(i * 40), png_byte(255 - i * 30), png_byte(i * 7 + 1)});
            if (c.transparency)
                for (int i = 0; i < (1 << c.depth); ++i)
                    extras.paletteAlpha.push_back(png_byte(i * 9));
        } else if (c.transparency) {
            extras.transparentColour = true;
            extras.transparent.gray = png_uint_16(value(0, 0, 0));
            extras.transparent.red = png_uint_16(value(0, 0, 0));
            extras.transparent.green = png_uint_16(value(0, 0, 1));
            extras.transparent.blue = png_uint_16(value(0, 0, 2));
        }
        std::vector<unsigned char> png = encodePng(kW, kH, c.colourType, c.depth, rows, extras);
        ASSERT_FALSE(png.empty());

        std::unique_ptr<Image> image(decodeBytes(png));
        ASSERT_NE(image, nullptr);
        EXPECT_EQ(image->width, kW);
        EXPECT_EQ(image->height, kH);
        ASSERT_EQ(image->bitsPerPixel, c.expectedBits);

        const int bytes = c.expectedBits / 8;
        const unsigned scale = c.depth < 8 && !palette ? 255u / ((1u << c.depth) - 1u) : 1u;
        for (int y = 0; y < kH; ++y)
            for (int x = 0; x < kW; ++x) {
                const unsigned char* p = image->pixels + (y * kW + x) * bytes;
                unsigned r, g, b, a = 255;
                if (palette) {
                    unsigned i = value(x, y, 0);
                    r = extras.palette[i].red;
                    g = extras.palette[i].green;
                    b = extras.palette[i].blue;
                    if (c.transparency)
                        a = extras.paletteAlpha[i];
                } else if (grey) {
                    r = g = b = value(x, y, 0) * scale;
                    if (channels == 2)
                        a = value(x, y, 1);
                    else if (c.transparency)
                        a = value(x, y, 0) == extras.transparent.gray ? 0 : 255;
                } else {
                    r = value(x, y, 0);
                    g = value(x, y, 1);
                    b = value(x, y, 2);
                    if (channels == 4)
                        a = value(x, y, 3);
                }
                ASSERT_EQ(p[0], r) << x << "," << y;
                ASSERT_EQ(p[1], g) << x << "," << y;
                ASSERT_EQ(p[2], b) << x << "," << y;
                if (bytes == 4) {
                    ASSERT_EQ(p[3], a) << x << "," << y;
                }
            }
    }
}

TEST(PngDecoding, TruncatedAndCorruptFilesYieldNone)
{
    gDepth = 8;
    std::vector<unsigned char> png = encodePng(kW, kH, PNG_COLOR_TYPE_RGBA, 8, packRows(4, 8, fullByte));
    std::unique_ptr<Image> whole(decodeBytes(png));
    ASSERT_NE(whole, nullptr);

    // Every cut before the closing IEND chunk (12 bytes) loses image data.
    for (size_t length = 0; length + 12 < png.size(); ++length) {
        std::vector<unsigned char> cut(png.begin(), png.begin() + long(length));
        std::unique_ptr<Image> image(decodeBytes(cut));
        EXPECT_EQ(image, nullptr) << "cut at " << length;
    }

    // Any flipped bit in the header or the data fails a chunk check.
    for (size_t at = 8; at + 12 < png.size(); ++at) {
        std::vector<unsigned char> broken = png;
        broken[at] ^= 0x10;
        std::unique_ptr<Image> image(decodeBytes(broken));
        EXPECT_EQ(image, nullptr) << "flipped byte " << at;
    }

    std::vector<unsigned char> notPng = png;
    notPng[1] = 'X';
    EXPECT_EQ(decodeBytes(notPng), nullptr);
}

// ---------------------------------------------------------------------------
// Name endings and paths

TEST(LoadImage, EndingOfTheNamePicksTheDecoderCaseSensitively)
{
    ScratchDir dir;
    std::vector<unsigned char> png = encodePngRgb(2, 2, std::vector<unsigned char>(12, 200), false);
    std::vector<unsigned char> grey(64 * 8, 90);
    std::vector<unsigned char> jpeg = encodeJpeg(64, 8, grey, TJPF_GRAY, TJSAMP_GRAY);
    for (const char* name : {"a.png", "b.PNG", "c.Png", "d.pNG", "png"})
        ASSERT_TRUE(writeBytes(dir.path(name), png));
    for (const char* name : {"e.jpg", "f.JPG", "g.Jpg", "h.jpeg"})
        ASSERT_TRUE(writeBytes(dir.path(name), jpeg));

    struct Case {
        const char* name;
        bool loads;
    };
    const Case cases[] = {{"a.png", true},  {"b.PNG", true},  {"c.Png", false}, {"d.pNG", false}, {"png", false},
                          {"e.jpg", true},  {"f.JPG", true},  {"g.Jpg", false}, {"h.jpeg", false}};
    for (const Case& c : cases) {
        std::unique_ptr<Image> image(loadImage(c.name, dir.prefix().c_str()));
        EXPECT_EQ(image != nullptr, c.loads) << c.name;
    }
    // A JPEG named like a PNG is refused by the PNG decoder.
    ASSERT_TRUE(writeBytes(dir.path("jpeg-inside.png"), jpeg));
    EXPECT_EQ(loadImage("jpeg-inside.png", dir.prefix().c_str()), nullptr);
    EXPECT_EQ(loadImage("missing.png", dir.prefix().c_str()), nullptr);
    // No directory: the name alone is the path.
    std::unique_ptr<Image> alone(loadImage(dir.path("a.png").c_str(), ""));
    EXPECT_NE(alone, nullptr);
}

// ---------------------------------------------------------------------------
// JPEG

TEST(JpegDecoding, GreyFileGivesEqualChannels)
{
    ScratchDir dir;
    std::vector<unsigned char> grey(64 * 16);
    for (size_t i = 0; i < grey.size(); ++i)
        grey[i] = static_cast<unsigned char>(i * 7);
    ASSERT_TRUE(writeBytes(dir.path("grey.jpg"), encodeJpeg(64, 16, grey, TJPF_GRAY, TJSAMP_GRAY)));
    std::unique_ptr<Image> image(loadImage("grey.jpg", dir.prefix().c_str()));
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->bitsPerPixel, 24);
    for (int i = 0; i < 64 * 16; ++i) {
        const unsigned char* p = image->pixels + i * 3;
        ASSERT_EQ(p[0], p[1]);
        ASSERT_EQ(p[1], p[2]);
    }
}

TEST(JpegDecoding, BottomRowFirstInRgbOrderWithPackedRows)
{
    // 50 wide (150-byte rows, not a multiple of 4): top half red, bottom half
    // blue, with a green column at x = 30.
    const int w = 50, h = 32;
    std::vector<unsigned char> rgb(size_t(w) * h * 3);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            unsigned char* p = &rgb[size_t(y * w + x) * 3];
            if (x >= 28 && x < 33) {
                p[1] = 255;
            } else if (y < h / 2) {
                p[0] = 255;
            } else {
                p[2] = 255;
            }
        }
    std::vector<unsigned char> jpeg = encodeJpeg(w, h, rgb, TJPF_RGB, TJSAMP_444, 100);
    std::unique_ptr<Image> image(decodeJPEG(jpeg.data(), jpeg.size()));
    ASSERT_NE(image, nullptr);
    ASSERT_EQ(image->bitsPerPixel, 24);
    ASSERT_EQ(image->width, w);
    ASSERT_EQ(image->height, h);
    auto at = [&](int x, int row) { return image->pixels + size_t(row * w + x) * 3; };
    // First stored row is the bottom of the picture: blue.
    EXPECT_GT(at(5, 0)[2], 200);
    EXPECT_LT(at(5, 0)[0], 50);
    // Last stored row is the top: red.
    EXPECT_GT(at(5, h - 1)[0], 200);
    EXPECT_LT(at(5, h - 1)[2], 50);
    // The green column stands at x = 30 in every row: no shear from padding.
    for (int row = 0; row < h; ++row)
        ASSERT_GT(at(30, row)[1], 200) << "row " << row;
}

TEST(JpegDecoding, TruncatedAndCorruptFilesYieldNone)
{
    std::vector<unsigned char> rgb(64 * 64 * 3);
    for (size_t i = 0; i < rgb.size(); ++i)
        rgb[i] = static_cast<unsigned char>((i * 31) ^ (i >> 5));
    std::vector<unsigned char> jpeg = encodeJpeg(64, 64, rgb, TJPF_RGB, TJSAMP_420);
    std::unique_ptr<Image> whole(decodeJPEG(jpeg.data(), jpeg.size()));
    ASSERT_NE(whole, nullptr);

    for (size_t length = 0; length < jpeg.size(); length += 7) {
        std::unique_ptr<Image> image(decodeJPEG(jpeg.data(), length));
        EXPECT_EQ(image, nullptr) << "cut at " << length;
    }
    std::vector<unsigned char> noise(jpeg.size());
    for (size_t i = 0; i < noise.size(); ++i)
        noise[i] = static_cast<unsigned char>(i * 131 + 17);
    EXPECT_EQ(decodeJPEG(noise.data(), noise.size()), nullptr);
}

// ---------------------------------------------------------------------------
// Pixel operations

TEST(Rescale, ThreeToFourColumnsReadsColumnsZeroZeroOneTwo)
{
    std::unique_ptr<Image> image(makeImage(3, 1, 24, {10, 11, 12, 20, 21, 22, 30, 31, 32}));
    ASSERT_EQ(rescale(image.get(), 4, 1), 0);
    EXPECT_EQ(image->width, 4);
    EXPECT_EQ(image->height, 1);
    const unsigned char expected[] = {10, 11, 12, 10, 11, 12, 20, 21, 22, 30, 31, 32};
    EXPECT_EQ(std::memcmp(image->pixels, expected, sizeof expected), 0);
    EXPECT_EQ(rescale(nullptr, 4, 4), 1);
}

TEST(Rescale, HundredToHundredTwentyEightNeverReadsPastTheLastColumn)
{
    // Each pixel holds its column; rows hold their row number in the second byte.
    std::vector<unsigned char> bytes;
    for (int y = 0; y < 100; ++y)
        for (int x = 0; x < 100; ++x)
            bytes.insert(bytes.end(), {static_cast<unsigned char>(x), static_cast<unsigned char>(y), 0, 0});
    std::unique_ptr<Image> image(makeImage(100, 100, 32, bytes));
    ASSERT_EQ(rescale(image.get(), 128, 256), 0);
    int maxColumn = 0, maxRow = 0;
    for (int j = 0; j < 256; ++j)
        for (int k = 0; k < 128; ++k) {
            const unsigned char* p = image->pixels + (j * 128 + k) * 4;
            EXPECT_EQ(p[0], int(float(k) * 0.78125f));
            maxColumn = std::max(maxColumn, int(p[0]));
            maxRow = std::max(maxRow, int(p[1]));
        }
    EXPECT_EQ(maxColumn, 99);
    EXPECT_EQ(maxRow, 99);
}

TEST(ConvertTo32, WidensRgbWithOpaqueAlpha)
{
    std::unique_ptr<Image> image(makeImage(2, 1, 24, {1, 2, 3, 4, 5, 6}));
    EXPECT_EQ(convertTo32(image.get()), 0);
    EXPECT_EQ(image->bitsPerPixel, 32);
    const unsigned char expected[] = {1, 2, 3, 255, 4, 5, 6, 255};
    EXPECT_EQ(std::memcmp(image->pixels, expected, sizeof expected), 0);
}

TEST(ConvertTo32, OtherDepthsAreFatal)
{
    std::unique_ptr<Image> image(makeImage(2, 1, 8, {1, 2}));
    EXPECT_EXIT(convertTo32(image.get()), testing::ExitedWithCode(1), "error: Image has unsupported bit depth");
}

// ---------------------------------------------------------------------------
// Broken texture files: none from the decoder, and the scene that names one
// ends the run with "could not load texture <name>".

namespace {

using Bytes = std::vector<unsigned char>;

void putBigEndian(Bytes& bytes, size_t at, uint32_t value, int size)
{
    for (int i = 0; i < size; ++i)
        bytes.at(at + size_t(i)) = static_cast<unsigned char>(value >> (8 * (size - 1 - i)));
}

size_t find(const Bytes& bytes, std::initializer_list<unsigned char> pattern)
{
    auto it = std::search(bytes.begin(), bytes.end(), pattern.begin(), pattern.end());
    return it == bytes.end() ? bytes.size() : size_t(it - bytes.begin());
}

// The PNG with its header's width, height or depth changed, the header's
// CRC made right again, so that only the value itself is wrong.
Bytes pngHeader(Bytes png, size_t field, uint32_t value, int size)
{
    const size_t type = 12, data = 16, crcAt = 29;
    putBigEndian(png, data + field, value, size);
    putBigEndian(png, crcAt, crc32(png.data() + type, crcAt - type), 4);
    return png;
}

Bytes cut(const Bytes& bytes, size_t length)
{
    return Bytes(bytes.begin(), bytes.begin() + long(std::min(length, bytes.size())));
}

} // namespace

TEST(LoadImage, BrokenTextureFilesYieldNoneAndTheSceneNamesThem)
{
    std::vector<unsigned char> pixels(16 * 16 * 3);
    for (size_t i = 0; i < pixels.size(); ++i)
        pixels[i] = static_cast<unsigned char>(i * 13);
    const Bytes png = encodePngRgb(16, 16, pixels, false);
    const Bytes jpeg = encodeJpeg(16, 16, pixels, TJPF_RGB, TJSAMP_420);
    const size_t idat = find(png, {'I', 'D', 'A', 'T'}) - 4;
    const size_t sof = find(jpeg, {0xFF, 0xC0});
    ASSERT_LT(idat, png.size());
    ASSERT_LT(sof, jpeg.size());

    // In the working directory rather than a fresh temporary one: a death
    // test's child runs the test again from its start and ends without
    // cleaning up, so it must find (and leave) the same folder.
    const std::string folder = "LoadImage.BrokenTextureFiles/";
    std::filesystem::create_directory(folder);
    struct Case {
        const char* name;
        Bytes bytes;
        bool directory = false;
    };
    std::vector<Case> cases = {
        {"empty.png", {}},
        {"folder.png", {}, true},
        {"signature.png", cut(png, 8)},
        {"magic.png", [&] { Bytes b = png; b[1] = 'X'; return b; }()},
        {"header-cut.png", cut(png, 20)},
        {"no-data.png", cut(png, idat)},
        {"data-cut.png", cut(png, idat + 20)},
        {"data-crc-cut.png", cut(png, png.size() - 13)},
        {"zero-width.png", pngHeader(png, 0, 0, 4)},
        {"wide.png", pngHeader(png, 0, 0x7FFFFFFF, 4)},
        {"tall.png", pngHeader(png, 4, 100000, 4)},
        {"depth.png", pngHeader(png, 8, 3, 1)},
        {"data-length.png", [&] { Bytes b = png; putBigEndian(b, idat, 0x7FFFFFFF, 4); return b; }()},
        {"empty.jpg", {}},
        {"folder.jpg", {}, true},
        {"magic.jpg", [&] { Bytes b = jpeg; b[0] = 0; return b; }()},
        {"soi-only.jpg", cut(jpeg, 2)},
        {"header-cut.jpg", cut(jpeg, sof + 4)},
        {"scan-cut.jpg", cut(jpeg, jpeg.size() / 2 + sof / 2)},
        {"no-end.jpg", cut(jpeg, jpeg.size() - 2)},
        {"zero-height.jpg", [&] { Bytes b = jpeg; putBigEndian(b, sof + 5, 0, 2); return b; }()},
        {"huge.jpg", [&] { Bytes b = jpeg; putBigEndian(b, sof + 5, 65535, 2); putBigEndian(b, sof + 7, 65535, 2); return b; }()},
        {"png-inside.jpg", png},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.directory)
            std::filesystem::create_directory(folder + c.name);
        else
            ASSERT_TRUE(writeBytes(folder + c.name, c.bytes));
        std::unique_ptr<Image> image(loadImage(c.name, folder.c_str()));
        EXPECT_EQ(image, nullptr);

        SceneWriter w;
        w.addMaterial(1, "m").diffuseMap = std::string("C:\\maps\\") + c.name;
        SceneFile scene(w);
        EXPECT_EXIT(loadScene(scene, folder.c_str()), testing::ExitedWithCode(1),
                    testing::Eq("error: Error in parsing " + scene.path + ": could not load texture " + c.name +
                                "\n\n\n"));
    }
    std::filesystem::remove_all(folder);
}
