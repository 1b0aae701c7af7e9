// The hash of a window's pixels that tells whether its content has changed
// between two captures. A capture is taken every few milliseconds, for a
// window of up to a whole screen, so it reads 32-bit words in four
// independent lanes rather than bytes one after another.
//
// Portable: the Win32 side hashes what it captured, the tests what they made.
#ifndef KAIRON_PLATFORM_PIXEL_HASH_H
#define KAIRON_PLATFORM_PIXEL_HASH_H

#include <cstddef>
#include <cstdint>

// `width` × `height` pixels of 32 bits each (blue, green, red, unused),
// rows one after another. The unused byte is left out, since a copy may
// leave anything there; the size is in, so that a window that changes only
// its size has changed; a size without pixels (a minimised window's) is
// the empty picture. Any one pixel changed always changes the hash.
std::uint64_t HashPixels(const std::uint32_t* pixels, int width, int height);

// Whether every pixel has one colour (the unused byte left out), as a
// window shown before its content is drawn has; a picture without pixels
// is blank too.
bool IsOneColour(const std::uint32_t* pixels, int width, int height);

#endif
