#include "support/splash_picture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>

#include "support/file_tree.h"

namespace orvo::test {

namespace {

constexpr std::uint32_t kQuadrantColours[] = {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF};
constexpr const char* kQuadrantNames[] = {"top left (red)", "top right (green)", "bottom left (blue)",
                                          "bottom right (white)"};

int QuadrantIndex(int width, int height, int x, int y) { return (y < height / 2 ? 0 : 2) + (x < width / 2 ? 0 : 1); }

bool Near(std::uint32_t seen, std::uint32_t wanted, int tolerance) {
    for (int shift : {0, 8, 16}) {
        int a = static_cast<int>((seen >> shift) & 0xFF);
        int b = static_cast<int>((wanted >> shift) & 0xFF);
        if (std::abs(a - b) > tolerance) return false;
    }
    return true;
}

// LZW codes of 3 bits, least significant bit first, as GIF packs them.
class GifCodeWriter {
public:
    void Put(unsigned code) {
        bits_ |= code << count_;
        count_ += 3;
        while (count_ >= 8) Flush();
    }
    std::string Finish() {
        if (count_ > 0) Flush();
        return std::move(bytes_);
    }

private:
    void Flush() {
        bytes_ += static_cast<char>(bits_ & 0xFF);
        bits_ >>= 8;
        count_ = count_ >= 8 ? count_ - 8 : 0;
    }
    std::string bytes_;
    unsigned bits_ = 0;
    int count_ = 0;
};

void PutLittleEndian16(std::string& out, int value) {
    out += static_cast<char>(value & 0xFF);
    out += static_cast<char>((value >> 8) & 0xFF);
}

// The quadrant picture as a GIF with a four-colour table. A clear code before every
// second pixel keeps the LZW table (and so the code width) from ever growing, which
// makes the encoder trivial. Wine's GDI+ GIF encoder writes no picture data at all.
std::string QuadrantGif(int width, int height) {
    std::string out = "GIF89a";
    PutLittleEndian16(out, width);
    PutLittleEndian16(out, height);
    out += std::string("\xF1\0\0", 3);  // global table of 4 colours, 8 bits each
    for (std::uint32_t colour : kQuadrantColours) {
        for (int shift : {16, 8, 0}) out += static_cast<char>((colour >> shift) & 0xFF);
    }
    out += ',';
    PutLittleEndian16(out, 0);
    PutLittleEndian16(out, 0);
    PutLittleEndian16(out, width);
    PutLittleEndian16(out, height);
    out += std::string("\0\x02", 2);  // no local table; minimum code size 2
    constexpr unsigned kClear = 4;
    constexpr unsigned kEnd = 5;
    GifCodeWriter codes;
    for (int i = 0; i < width * height; ++i) {
        if (i % 2 == 0) codes.Put(kClear);
        codes.Put(static_cast<unsigned>(QuadrantIndex(width, height, i % width, i / width)));
    }
    codes.Put(kEnd);
    std::string data = codes.Finish();
    for (std::size_t at = 0; at < data.size(); at += 255) {
        std::string block = data.substr(at, 255);
        out += static_cast<char>(block.size());
        out += block;
    }
    out += std::string("\0;", 2);
    return out;
}

RECT ScreenRect() {
    return {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
}

}  // namespace

std::wstring WriteQuadrantPicture(const std::wstring& path, int width, int height, std::wstring_view mimeType) {
    if (mimeType == L"image/gif") {
        WriteFileBytes(path, QuadrantGif(width, height));
        return path;
    }
    ScreenImage image{width, height, {}};
    image.pixels.resize(static_cast<std::size_t>(width) * height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.pixels[static_cast<std::size_t>(y) * width + x] = QuadrantColour(width, height, x, y);
    SaveImage(image, path, mimeType);
    return path;
}

std::uint32_t QuadrantColour(int width, int height, int x, int y) {
    return kQuadrantColours[QuadrantIndex(width, height, x, y)];
}

void ExpectQuadrantsOnScreen(POINT origin, int width, int height, int tolerance) {
    RECT picture{origin.x, origin.y, origin.x + width, origin.y + height};
    RECT screen = ScreenRect();
    ScreenImage shot = CaptureScreenArea(screen);
    const int halfWidth = width / 2;
    const int halfHeight = height / 2;
    for (int quadrant = 0; quadrant < 4; ++quadrant) {
        RECT part = picture;
        if (quadrant % 2 == 0) part.right = picture.left + halfWidth;
        else part.left = picture.left + halfWidth;
        if (quadrant < 2) part.bottom = picture.top + halfHeight;
        else part.top = picture.top + halfHeight;
        RECT shown{};
        if (!IntersectRect(&shown, &part, &screen)) {
            ADD_FAILURE() << kQuadrantNames[quadrant] << " quadrant lies off the screen";
            continue;
        }
        int x = (shown.left + shown.right) / 2;
        int y = (shown.top + shown.bottom) / 2;
        std::uint32_t seen = shot.At(x, y);
        EXPECT_TRUE(Near(seen, kQuadrantColours[quadrant], tolerance))
            << kQuadrantNames[quadrant] << " at screen (" << x << "," << y << ") shows " << std::hex << seen;
    }
}

}  // namespace orvo::test
