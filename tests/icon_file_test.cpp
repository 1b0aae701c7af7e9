// Checks the committed program icon: the eight images Kairon.exe's icon
// group is built from, their sizes and depths, and that every image is
// complete inside the file with a picture in it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace {

std::vector<std::uint8_t> ReadBytes(const std::string& path)
{
    std::vector<std::uint8_t> bytes;
    if (std::FILE* f = std::fopen(path.c_str(), "rb")) {
        std::uint8_t buffer[4096];
        size_t n;
        while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0)
            bytes.insert(bytes.end(), buffer, buffer + n);
        std::fclose(f);
    }
    return bytes;
}

std::uint32_t U16(const std::vector<std::uint8_t>& b, size_t at)
{
    return b[at] | b[at + 1] << 8;
}

std::uint32_t U32(const std::vector<std::uint8_t>& b, size_t at)
{
    return U16(b, at) | U16(b, at + 2) << 16;
}

size_t RowBytes(size_t width, size_t bitsPerPixel)
{
    return (width * bitsPerPixel + 31) / 32 * 4;
}

struct IconImage {
    size_t size;
    size_t bitsPerPixel;
    size_t offset;
    size_t bytes;
};

class IconFile : public ::testing::Test {
protected:
    void SetUp() override
    {
#ifndef KAIRON_SOURCE_DIR
        FAIL() << "kairon_tests needs KAIRON_SOURCE_DIR to find resources/kairon.ico";
#else
        file = ReadBytes(std::string(KAIRON_SOURCE_DIR) + "/resources/kairon.ico");
        ASSERT_GE(file.size(), 6u) << "resources/kairon.ico is missing or empty";
        ASSERT_EQ(U16(file, 0), 0u);  // reserved
        ASSERT_EQ(U16(file, 2), 1u);  // an icon, not a cursor
        size_t count = U16(file, 4);
        ASSERT_GE(file.size(), 6 + 16 * count);
        for (size_t i = 0; i < count; ++i) {
            size_t at = 6 + 16 * i;
            size_t width = file[at] == 0 ? 256 : file[at];
            size_t height = file[at + 1] == 0 ? 256 : file[at + 1];
            EXPECT_EQ(width, height) << "entry " << i;
            EXPECT_EQ(file[at + 2], 0) << "entry " << i << ": colour count must be 0 from 8 bits up";
            EXPECT_EQ(U16(file, at + 4), 1u) << "entry " << i << ": planes";
            images.push_back({width, U16(file, at + 6), U32(file, at + 12), U32(file, at + 8)});
        }
#endif
    }

    // Whether pixel (x, y), counted from the top left, is transparent in
    // the image's AND mask.
    bool MaskedOut(const IconImage& image, size_t x, size_t y) const
    {
        size_t palette = image.bitsPerPixel == 8 ? 256 * 4 : 0;
        size_t mask = image.offset + 40 + palette + RowBytes(image.size, image.bitsPerPixel) * image.size;
        size_t row = image.size - 1 - y;  // bottom-up
        return file[mask + row * RowBytes(image.size, 1) + x / 8] & (0x80 >> (x % 8));
    }

    std::vector<std::uint8_t> file;
    std::vector<IconImage> images;
};

TEST_F(IconFile, HoldsEachSizeInEightAndThirtyTwoBitColour)
{
    std::set<std::pair<size_t, size_t>> found;
    for (const IconImage& image : images)
        found.insert({image.size, image.bitsPerPixel});
    std::set<std::pair<size_t, size_t>> expected = {
        {16, 8}, {24, 8}, {32, 8}, {48, 8}, {16, 32}, {24, 32}, {32, 32}, {48, 32},
    };
    EXPECT_EQ(images.size(), 8u);
    EXPECT_EQ(found, expected);
}

TEST_F(IconFile, EveryImageLiesInsideTheFileWithoutOverlap)
{
    size_t directoryEnd = 6 + 16 * images.size();
    std::vector<std::pair<size_t, size_t>> spans;
    for (const IconImage& image : images) {
        SCOPED_TRACE(testing::Message() << image.size << " px, " << image.bitsPerPixel << " bits");
        ASSERT_GE(image.offset, directoryEnd);
        ASSERT_LE(image.bytes, file.size());
        ASSERT_LE(image.offset, file.size() - image.bytes);
        spans.push_back({image.offset, image.offset + image.bytes});
    }
    std::sort(spans.begin(), spans.end());
    for (size_t i = 1; i < spans.size(); ++i)
        EXPECT_LE(spans[i - 1].second, spans[i].first);
}

TEST_F(IconFile, EachImageIsABitmapOfItsEntrysSizeAndDepth)
{
    for (const IconImage& image : images) {
        SCOPED_TRACE(testing::Message() << image.size << " px, " << image.bitsPerPixel << " bits");
        ASSERT_GE(image.bytes, 40u);
        ASSERT_LE(image.offset + image.bytes, file.size());
        size_t at = image.offset;
        EXPECT_EQ(U32(file, at), 40u);                      // BITMAPINFOHEADER
        EXPECT_EQ(U32(file, at + 4), image.size);           // width
        EXPECT_EQ(U32(file, at + 8), 2 * image.size);       // colours and mask
        EXPECT_EQ(U16(file, at + 12), 1u);                  // planes
        EXPECT_EQ(U16(file, at + 14), image.bitsPerPixel);  // same depth as the entry
        EXPECT_EQ(U32(file, at + 16), 0u);                  // uncompressed
        size_t palette = image.bitsPerPixel == 8 ? 256 * 4 : 0;
        size_t pixels = RowBytes(image.size, image.bitsPerPixel) * image.size;
        size_t mask = RowBytes(image.size, 1) * image.size;
        EXPECT_EQ(image.bytes, 40 + palette + pixels + mask);
    }
}

// A stopwatch: the corners are background, the middle of the dial is drawn.
TEST_F(IconFile, CornersAreTransparentAndTheDialIsOpaque)
{
    for (const IconImage& image : images) {
        SCOPED_TRACE(testing::Message() << image.size << " px, " << image.bitsPerPixel << " bits");
        ASSERT_LE(image.offset + image.bytes, file.size());
        size_t last = image.size - 1, middle = image.size / 2;
        EXPECT_TRUE(MaskedOut(image, 0, 0));
        EXPECT_TRUE(MaskedOut(image, last, 0));
        EXPECT_TRUE(MaskedOut(image, 0, last));
        EXPECT_TRUE(MaskedOut(image, last, last));
        EXPECT_FALSE(MaskedOut(image, middle, middle));
        if (image.bitsPerPixel == 32) {
            // Windows draws a 32-bit icon by its alpha channel, not its mask.
            auto alpha = [&](size_t x, size_t y) {
                size_t row = image.size - 1 - y;
                return file[image.offset + 40 + (row * image.size + x) * 4 + 3];
            };
            EXPECT_EQ(alpha(0, 0), 0);
            EXPECT_EQ(alpha(last, last), 0);
            EXPECT_EQ(alpha(middle, middle), 255);
        }
    }
}

}  // namespace
