#include "platform/pixel_hash.h"

namespace {

// xxHash32's primes and round: for a fixed input after it, a lane's final
// value is a one-to-one function of each word it took in.
const std::uint32_t kPrime1 = 2654435761u;
const std::uint32_t kPrime2 = 2246822519u;
const std::uint32_t kPrime3 = 3266489917u;
const std::uint32_t kColourBits = 0x00FFFFFFu;

std::uint32_t RotateLeft(std::uint32_t value, int bits)
{
    return (value << bits) | (value >> (32 - bits));
}

std::uint32_t Round(std::uint32_t lane, std::uint32_t pixel)
{
    return RotateLeft(lane + (pixel & kColourBits) * kPrime2, 13) * kPrime1;
}

}  // namespace

std::uint64_t HashPixels(const std::uint32_t* pixels, int width, int height)
{
    if (width <= 0 || height <= 0)
        width = height = 0;
    const std::size_t count = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
    const std::uint32_t seed = static_cast<std::uint32_t>(width) * kPrime3 ^
                               RotateLeft(static_cast<std::uint32_t>(height), 16);
    std::uint32_t lanes[4] = {seed + kPrime1 + kPrime2, seed + kPrime2, seed, seed - kPrime1};
    std::size_t i = 0;
    for (; i + 4 <= count; i += 4) {
        lanes[0] = Round(lanes[0], pixels[i]);
        lanes[1] = Round(lanes[1], pixels[i + 1]);
        lanes[2] = Round(lanes[2], pixels[i + 2]);
        lanes[3] = Round(lanes[3], pixels[i + 3]);
    }
    for (std::size_t lane = 0; i < count; ++i, ++lane)
        lanes[lane] = Round(lanes[lane], pixels[i]);
    // Each half takes one lane as it is, the other turned: a change that
    // reached a single lane reaches the result.
    const std::uint32_t high = lanes[0] ^ RotateLeft(lanes[2], 16);
    const std::uint32_t low = lanes[1] ^ RotateLeft(lanes[3], 16);
    return (static_cast<std::uint64_t>(high) << 32) | low;
}

bool IsOneColour(const std::uint32_t* pixels, int width, int height)
{
    if (width <= 0 || height <= 0)
        return true;
    const std::uint32_t first = pixels[0] & kColourBits;
    const std::size_t count = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
    for (std::size_t i = 1; i < count; ++i) {
        if ((pixels[i] & kColourBits) != first)
            return false;
    }
    return true;
}
