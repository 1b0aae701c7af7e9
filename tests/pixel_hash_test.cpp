#include "platform/pixel_hash.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <set>
#include <vector>

namespace {

// A picture with every pixel different, so that no change can be undone
// by a neighbour.
std::vector<std::uint32_t> Picture(int width, int height)
{
    std::vector<std::uint32_t> pixels(static_cast<size_t>(width) * static_cast<size_t>(height));
    for (size_t i = 0; i < pixels.size(); ++i)
        pixels[i] = static_cast<std::uint32_t>(i * 0x010203u + 0x404040u) & 0x00FFFFFFu;
    return pixels;
}

// Whatever one pixel's colour changes to, and wherever it is (in every
// lane, in the tail that is not a whole group of four), the hash changes.
TEST(HashPixels, AnyOnePixelChangedChangesTheHash)
{
    for (int width : {1, 3, 4, 7}) {
        const int height = 3;
        std::vector<std::uint32_t> pixels = Picture(width, height);
        const std::uint64_t original = HashPixels(pixels.data(), width, height);
        for (size_t at = 0; at < pixels.size(); ++at) {
            for (int bit = 0; bit < 24; ++bit) {
                pixels[at] ^= 1u << bit;
                EXPECT_NE(HashPixels(pixels.data(), width, height), original)
                    << width << " wide, pixel " << at << ", bit " << bit;
                pixels[at] ^= 1u << bit;
            }
        }
        EXPECT_EQ(HashPixels(pixels.data(), width, height), original);
    }
}

// The copy may leave anything in the byte that holds no colour.
TEST(HashPixels, TheUnusedByteIsLeftOut)
{
    std::vector<std::uint32_t> pixels = Picture(5, 2);
    const std::uint64_t original = HashPixels(pixels.data(), 5, 2);
    for (std::uint32_t& pixel : pixels)
        pixel |= 0xFF000000u;
    EXPECT_EQ(HashPixels(pixels.data(), 5, 2), original);
}

// The same pixels laid out as another size are another picture, and no
// pixels at all (a minimised window) are a picture of their own.
TEST(HashPixels, TheSizeIsPartOfThePicture)
{
    const std::vector<std::uint32_t> pixels(24, 0x00FFFFFFu);
    std::set<std::uint64_t> hashes;
    const int sizes[][2] = {{24, 1}, {1, 24}, {6, 4}, {4, 6}, {12, 2}, {2, 12}, {3, 8}, {8, 3}};
    for (const auto& size : sizes)
        hashes.insert(HashPixels(pixels.data(), size[0], size[1]));
    hashes.insert(HashPixels(nullptr, 0, 0));
    EXPECT_EQ(hashes.size(), 9u);
    EXPECT_EQ(HashPixels(nullptr, 0, 0), HashPixels(pixels.data(), 0, 5));
}

// The same bits on every build, 32-bit and 64-bit, native and under Wine.
TEST(HashPixels, IsTheSameFunctionEverywhere)
{
    const std::vector<std::uint32_t> pixels = Picture(7, 3);
    EXPECT_EQ(HashPixels(pixels.data(), 7, 3), 0x49E459B15E806840ull);
}

}  // namespace
