#include "tools/BrowserHost/FaceColour.h"

namespace {

struct Rgb {
    int r, g, b;
};

Rgb Split(std::uint32_t pixel) {
    return Rgb{static_cast<int>((pixel >> 16) & 0xFF), static_cast<int>((pixel >> 8) & 0xFF),
               static_cast<int>(pixel & 0xFF)};
}

bool IsGreen(const Rgb& c) {
    return c.g > c.r + 30 && c.g > c.b + 30;
}
// Red signs are dark in green; the yellow sign is orange, strong in red and green.
bool IsRed(const Rgb& c) {
    return c.r > c.g + 80 && c.r > c.b + 50 && c.g < 110;
}
bool IsYellow(const Rgb& c) {
    return c.r > 170 && c.g >= 110 && c.b < 110 && c.r > c.b + 100;
}
bool IsBlue(const Rgb& c) {
    return c.b > c.r + 50 && c.b > c.g + 10;
}

}  // namespace

std::string ClassifyFaceColour(const std::vector<std::uint32_t>& pixels, int width, int height) {
    if (width < 8 || height < 8 || pixels.size() < static_cast<std::size_t>(width) * height)
        return std::string();
    long long brightness = 0;
    for (int i = 0; i < width * height; ++i) {
        const Rgb c = Split(pixels[i]);
        brightness += (c.r * 30 + c.g * 59 + c.b * 11) / 100;
    }
    // The dark faces (off, service down) average 94 to 134 over a frame,
    // the grey one 163 to 192, whichever frame shows.
    const bool dark = brightness / (width * height) < 150;

    // The sign sits in the square at the left end of the face.
    int green = 0, red = 0, yellow = 0, blue = 0;
    const int side = height < width ? height : width;
    for (int y = 0; y < side; ++y) {
        for (int x = 0; x < side; ++x) {
            const Rgb c = Split(pixels[static_cast<std::size_t>(y) * width + x]);
            green += IsGreen(c);
            red += IsRed(c);
            yellow += IsYellow(c);
            blue += IsBlue(c);
        }
    }
    // A few stray pixels of edges and anti-aliasing are no sign.
    const int enough = side * side / 12;
    if (dark)
        return red >= enough ? "service down" : "off";
    int best = enough - 1;
    std::string face = "grey";
    const std::pair<int, const char*> counts[] = {{green, "green"}, {yellow, "yellow"}, {red, "red"}, {blue, "wait"}};
    for (const auto& [count, name] : counts) {
        if (count > best) {
            best = count;
            face = name;
        }
    }
    return face;
}
