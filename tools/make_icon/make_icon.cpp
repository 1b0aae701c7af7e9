// Draws Kairon's program icon, a stopwatch, and writes it as a Windows .ico
// file: 16, 24, 32 and 48 pixels square, each as a 32-bit image with alpha
// and as an 8-bit palette image with a transparency mask, for older
// displays. The .ico is committed, so the Windows build needs no image
// tools; run this again only when the picture changes:
//
//     make_icon resources/kairon.ico
//
// Shapes are tested against many sample points per pixel and averaged, which
// gives anti-aliased edges without any library. The proportions keep the rim,
// the crown and the hand at least a pixel or two wide, so the picture still
// reads as a stopwatch at 16 pixels.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <map>
#include <vector>

namespace {

struct Rgba {
    double r = 0, g = 0, b = 0, a = 0;
};

struct Colour {
    std::uint8_t r, g, b;
};

const Colour kRimColour = {0x1F, 0x3A, 0x5F};     // dark steel blue
const Colour kCrownColour = {0x4A, 0x5A, 0x6E};   // slate
const Colour kFaceColour = {0xFB, 0xFB, 0xF6};    // off-white
const Colour kTickColour = {0x2B, 0x2B, 0x2B};
const Colour kHandColour = {0xD2, 0x1F, 0x1F};    // red
const Colour kSweepColour = {0xF6, 0xC9, 0x4A};   // amber: elapsed time

const double kPi = 3.14159265358979323846;

// The picture's geometry for one icon size, in pixels.
struct Geometry {
    double cx, cy;          // centre of the dial
    double outer;           // outer radius of the rim
    double inner;           // radius of the face
    double crownHalfWidth, crownTop, crownBottom;
    double stemHalfWidth;
    double buttonAngle;     // side button, radians clockwise from 12
    double buttonHalfWidth, buttonLength;
    double handAngle, handLength, handHalfWidth;
    double hubRadius;
    double tickLength, tickHalfWidth;
    bool ticks;
};

Geometry GeometryFor(int size)
{
    double s = size;
    Geometry g;
    g.cx = s / 2.0;
    g.outer = s * 0.41;
    g.cy = s - g.outer - s * 0.03;
    double rim = std::max(1.6, s * 0.095);
    g.inner = g.outer - rim;
    g.crownHalfWidth = std::max(2.0, s * 0.13);
    g.crownTop = s * 0.02;
    g.crownBottom = g.crownTop + std::max(2.0, s * 0.10);
    g.stemHalfWidth = std::max(1.0, s * 0.055);
    g.buttonAngle = kPi / 4.0;
    g.buttonHalfWidth = std::max(1.0, s * 0.06);
    g.buttonLength = std::max(1.5, s * 0.09);
    g.handAngle = kPi / 3.0;  // two o'clock
    g.handLength = g.inner * 0.86;
    g.handHalfWidth = std::max(1.1, s * 0.045);
    g.hubRadius = std::max(1.6, s * 0.075);
    g.tickLength = std::max(1.5, s * 0.08);
    g.tickHalfWidth = std::max(0.6, s * 0.03);
    g.ticks = size >= 24;
    return g;
}

// Is (x, y) inside the bar of the given half-width that runs from (x0, y0)
// to (x1, y1), with square ends?
bool InsideBar(double x, double y, double x0, double y0, double x1, double y1,
               double halfWidth)
{
    double dx = x1 - x0, dy = y1 - y0;
    double length = std::sqrt(dx * dx + dy * dy);
    double ux = dx / length, uy = dy / length;
    double along = (x - x0) * ux + (y - y0) * uy;
    double across = -(x - x0) * uy + (y - y0) * ux;
    return along >= 0 && along <= length && std::fabs(across) <= halfWidth;
}

// A point at radius r and angle a (clockwise from 12 o'clock) round the dial.
void OnDial(const Geometry& g, double a, double r, double* x, double* y)
{
    *x = g.cx + r * std::sin(a);
    *y = g.cy - r * std::cos(a);
}

// The colour of the picture at one sample point; later shapes lie on top.
Rgba SampleAt(const Geometry& g, double x, double y)
{
    Rgba out;
    auto paint = [&out](Colour c) {
        out.r = c.r;
        out.g = c.g;
        out.b = c.b;
        out.a = 255;
    };
    double dx = x - g.cx, dy = y - g.cy;
    double r = std::sqrt(dx * dx + dy * dy);

    // Crown and stem above the dial, side button at one o'clock-and-a-half.
    if (std::fabs(dx) <= g.crownHalfWidth && y >= g.crownTop && y <= g.crownBottom)
        paint(kCrownColour);
    if (std::fabs(dx) <= g.stemHalfWidth && y >= g.crownBottom && y <= g.cy)
        paint(kCrownColour);
    double bx0, by0, bx1, by1;
    OnDial(g, g.buttonAngle, g.outer - 1.0, &bx0, &by0);
    OnDial(g, g.buttonAngle, g.outer + g.buttonLength, &bx1, &by1);
    if (InsideBar(x, y, bx0, by0, bx1, by1, g.buttonHalfWidth))
        paint(kCrownColour);

    if (r <= g.outer)
        paint(kRimColour);
    if (r > g.inner)
        return out;
    paint(kFaceColour);

    // The time elapsed so far: a pale wedge from 12 round to the hand.
    double angle = std::atan2(dx, -dy);  // clockwise from 12, -pi..pi
    if (angle >= 0 && angle <= g.handAngle && r <= g.handLength)
        paint(kSweepColour);

    if (g.ticks) {
        for (int quarter = 0; quarter < 4; ++quarter) {
            double a = quarter * kPi / 2.0, x0, y0, x1, y1;
            OnDial(g, a, g.inner - g.tickLength, &x0, &y0);
            OnDial(g, a, g.inner + 0.5, &x1, &y1);
            if (InsideBar(x, y, x0, y0, x1, y1, g.tickHalfWidth))
                paint(kTickColour);
        }
    }

    double hx, hy;
    OnDial(g, g.handAngle, g.handLength, &hx, &hy);
    if (InsideBar(x, y, g.cx, g.cy, hx, hy, g.handHalfWidth))
        paint(kHandColour);
    if (r <= g.hubRadius)
        paint(kHandColour);
    return out;
}

// Straight (not premultiplied) 8-bit RGBA, rows top-down.
struct Image {
    int size;
    std::vector<std::uint8_t> rgba;
};

Image Render(int size)
{
    const int kSamples = 8;  // per axis, so 64 per pixel
    Geometry g = GeometryFor(size);
    Image image{size, std::vector<std::uint8_t>(size * size * 4)};
    for (int py = 0; py < size; ++py) {
        for (int px = 0; px < size; ++px) {
            double r = 0, gr = 0, b = 0, a = 0;
            for (int sy = 0; sy < kSamples; ++sy) {
                for (int sx = 0; sx < kSamples; ++sx) {
                    Rgba c = SampleAt(g, px + (sx + 0.5) / kSamples,
                                      py + (sy + 0.5) / kSamples);
                    // Colours are averaged weighted by coverage, so a
                    // half-covered pixel keeps the full colour of its shape.
                    r += c.r * c.a;
                    gr += c.g * c.a;
                    b += c.b * c.a;
                    a += c.a;
                }
            }
            std::uint8_t* out = &image.rgba[(py * size + px) * 4];
            if (a > 0) {
                out[0] = static_cast<std::uint8_t>(std::lround(r / a));
                out[1] = static_cast<std::uint8_t>(std::lround(gr / a));
                out[2] = static_cast<std::uint8_t>(std::lround(b / a));
            }
            out[3] = static_cast<std::uint8_t>(std::lround(a / (kSamples * kSamples)));
        }
    }
    return image;
}

void PutU16(std::vector<std::uint8_t>* out, unsigned value)
{
    out->push_back(value & 0xFF);
    out->push_back((value >> 8) & 0xFF);
}

void PutU32(std::vector<std::uint8_t>* out, std::uint32_t value)
{
    for (int shift = 0; shift < 32; shift += 8)
        out->push_back((value >> shift) & 0xFF);
}

int RowBytes(int width, int bitsPerPixel)
{
    return (width * bitsPerPixel + 31) / 32 * 4;
}

// In the 8-bit image a pixel is either opaque or transparent.
bool OpaqueIn8Bit(const std::uint8_t* pixel)
{
    return pixel[3] >= 128;
}

// The AND mask: 1 bits where the picture is transparent, rows bottom-up.
void PutMask(std::vector<std::uint8_t>* out, const Image& image,
             bool (*opaque)(const std::uint8_t*))
{
    int rowBytes = RowBytes(image.size, 1);
    for (int y = image.size - 1; y >= 0; --y) {
        std::vector<std::uint8_t> row(rowBytes, 0);
        for (int x = 0; x < image.size; ++x) {
            if (!opaque(&image.rgba[(y * image.size + x) * 4]))
                row[x / 8] |= 0x80 >> (x % 8);
        }
        out->insert(out->end(), row.begin(), row.end());
    }
}

void PutBitmapHeader(std::vector<std::uint8_t>* out, int size, int bitsPerPixel,
                     std::uint32_t imageBytes, std::uint32_t coloursUsed)
{
    PutU32(out, 40);        // biSize
    PutU32(out, size);      // biWidth
    PutU32(out, size * 2);  // biHeight: colour bitmap and mask together
    PutU16(out, 1);         // biPlanes
    PutU16(out, bitsPerPixel);
    PutU32(out, 0);         // biCompression: BI_RGB
    PutU32(out, imageBytes);
    PutU32(out, 0);
    PutU32(out, 0);
    PutU32(out, coloursUsed);
    PutU32(out, 0);
}

bool OpaqueIn32Bit(const std::uint8_t* pixel)
{
    return pixel[3] != 0;
}

std::vector<std::uint8_t> Encode32Bit(const Image& image)
{
    std::vector<std::uint8_t> out;
    int n = image.size;
    std::uint32_t imageBytes = n * n * 4 + RowBytes(n, 1) * n;
    PutBitmapHeader(&out, n, 32, imageBytes, 0);
    for (int y = n - 1; y >= 0; --y) {
        for (int x = 0; x < n; ++x) {
            const std::uint8_t* p = &image.rgba[(y * n + x) * 4];
            out.push_back(p[2]);
            out.push_back(p[1]);
            out.push_back(p[0]);
            out.push_back(p[3]);
        }
    }
    PutMask(&out, image, OpaqueIn32Bit);
    return out;
}

// A palette for the 8-bit image: its opaque colours grouped by their top
// 4 bits per channel, each group's average, the most frequent first. The
// stopwatch has few colours, so the blends along its edges fit comfortably
// in 256 entries and the flat areas keep their exact colour.
std::vector<Colour> BuildPalette(const Image& image)
{
    struct Bucket {
        long count = 0, r = 0, g = 0, b = 0;
    };
    std::map<unsigned, Bucket> buckets;
    for (std::size_t i = 0; i < image.rgba.size(); i += 4) {
        const std::uint8_t* p = &image.rgba[i];
        if (!OpaqueIn8Bit(p))
            continue;
        Bucket& bucket = buckets[(p[0] >> 4) << 8 | (p[1] >> 4) << 4 | (p[2] >> 4)];
        ++bucket.count;
        bucket.r += p[0];
        bucket.g += p[1];
        bucket.b += p[2];
    }
    std::vector<std::pair<long, unsigned>> byCount;
    for (const auto& entry : buckets)
        byCount.push_back({-entry.second.count, entry.first});
    std::sort(byCount.begin(), byCount.end());
    // Entry 0 is black, the colour under the transparent pixels.
    std::vector<Colour> palette(1, Colour{0, 0, 0});
    for (const auto& entry : byCount) {
        if (palette.size() == 256)
            break;
        const Bucket& bucket = buckets[entry.second];
        auto average = [&bucket](long sum) {
            return static_cast<std::uint8_t>((sum + bucket.count / 2) / bucket.count);
        };
        palette.push_back(Colour{average(bucket.r), average(bucket.g), average(bucket.b)});
    }
    return palette;
}

int NearestIndex(const std::vector<Colour>& palette, const std::uint8_t* pixel)
{
    int best = 1;
    long bestDistance = -1;
    for (std::size_t i = 1; i < palette.size(); ++i) {
        long dr = palette[i].r - pixel[0], dg = palette[i].g - pixel[1], db = palette[i].b - pixel[2];
        long distance = dr * dr + dg * dg + db * db;
        if (bestDistance < 0 || distance < bestDistance) {
            bestDistance = distance;
            best = static_cast<int>(i);
        }
    }
    return best;
}

std::vector<std::uint8_t> Encode8Bit(const Image& image)
{
    std::vector<std::uint8_t> out;
    int n = image.size;
    int rowBytes = RowBytes(n, 8);
    std::uint32_t imageBytes = rowBytes * n + RowBytes(n, 1) * n;
    PutBitmapHeader(&out, n, 8, imageBytes, 256);
    std::vector<Colour> palette = BuildPalette(image);
    palette.resize(256, Colour{0, 0, 0});
    for (const Colour& c : palette) {
        out.push_back(c.b);
        out.push_back(c.g);
        out.push_back(c.r);
        out.push_back(0);
    }
    for (int y = n - 1; y >= 0; --y) {
        std::vector<std::uint8_t> row(rowBytes, 0);
        for (int x = 0; x < n; ++x) {
            const std::uint8_t* p = &image.rgba[(y * n + x) * 4];
            if (OpaqueIn8Bit(p))
                row[x] = static_cast<std::uint8_t>(NearestIndex(palette, p));
        }
        out.insert(out.end(), row.begin(), row.end());
    }
    PutMask(&out, image, OpaqueIn8Bit);
    return out;
}

struct Entry {
    int size;
    int bitsPerPixel;
    std::vector<std::uint8_t> data;
};

std::vector<std::uint8_t> BuildIconFile(const std::vector<Entry>& entries)
{
    std::vector<std::uint8_t> out;
    PutU16(&out, 0);  // reserved
    PutU16(&out, 1);  // type: icon
    PutU16(&out, static_cast<unsigned>(entries.size()));
    std::uint32_t offset = 6 + 16 * static_cast<std::uint32_t>(entries.size());
    for (const Entry& e : entries) {
        out.push_back(static_cast<std::uint8_t>(e.size));  // 256 would be 0
        out.push_back(static_cast<std::uint8_t>(e.size));
        out.push_back(0);  // colour count: 0 for 256 colours or more
        out.push_back(0);  // reserved
        PutU16(&out, 1);   // planes
        PutU16(&out, e.bitsPerPixel);
        PutU32(&out, static_cast<std::uint32_t>(e.data.size()));
        PutU32(&out, offset);
        offset += static_cast<std::uint32_t>(e.data.size());
    }
    for (const Entry& e : entries)
        out.insert(out.end(), e.data.begin(), e.data.end());
    return out;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_icon OUTPUT.ico\n");
        return 2;
    }
    const int kSizes[] = {48, 32, 24, 16};
    std::vector<Entry> entries;
    for (int bits : {32, 8}) {
        for (int size : kSizes) {
            Image image = Render(size);
            entries.push_back({size, bits, bits == 32 ? Encode32Bit(image) : Encode8Bit(image)});
        }
    }
    std::vector<std::uint8_t> file = BuildIconFile(entries);
    std::FILE* out = std::fopen(argv[1], "wb");
    if (!out) {
        std::perror(argv[1]);
        return 1;
    }
    bool written = std::fwrite(file.data(), 1, file.size(), out) == file.size();
    if (std::fclose(out) != 0 || !written) {
        std::fprintf(stderr, "make_icon: could not write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
