// The safety balloon's geometry and colours, worked out from the measured
// sizes of its parts: where the title, body, close button and links go,
// the card inside, the rounded outline with its pointer, and where the
// balloon hangs against the status button's menu bar or the browser
// window. Plain arithmetic, no windows, so it is tested everywhere.
#pragma once

#include <cstdint>

struct BalloonRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    bool operator==(const BalloonRect& other) const {
        return left == other.left && top == other.top && right == other.right && bottom == other.bottom;
    }
};

struct BalloonPoint {
    int x = 0;
    int y = 0;
    bool operator==(const BalloonPoint& other) const { return x == other.x && y == other.y; }
};

struct BalloonSize {
    int width = 0;
    int height = 0;
};

// What the parts measure: the title on one line, the body wrapped at
// kBodyWrapWidth, one frame of the close button, the two links on one line.
struct BalloonMeasures {
    BalloonSize title;
    BalloonSize body;
    BalloonSize close;
    BalloonSize details;
    BalloonSize neverWarn;
};

// Everything in the balloon window's client coordinates.
struct BalloonGeometry {
    BalloonRect title;
    BalloonRect body;
    BalloonRect close;
    BalloonRect details;
    BalloonRect neverWarn;
    BalloonRect card;     // the inner rounded card
    BalloonRect outline;  // the rounded outer shape: the card grown all round
    bool hasPointer = false;
    BalloonPoint pointer[3];  // the triangle up to the status button
    int width = 0;            // the window's size
    int height = 0;
};

// Where the balloon goes on the screen, and which way its pointer faces.
struct BalloonPlacement {
    bool anchored = false;
    bool pointerOnRight = false;
    int left = 0;
    int top = 0;
};

// Fill, card and border colours as COLORREF values (0x00BBGGRR).
struct BalloonColours {
    std::uint32_t region = 0;
    std::uint32_t card = 0;
    std::uint32_t border = 0;
};

constexpr int kBodyWrapWidth = 200;
constexpr int kCornerDiameter = 25;

// The layout for the measured parts; `anchored` adds the pointer and room for it.
BalloonGeometry LayOutBalloon(const BalloonMeasures& measures, bool anchored, bool pointerOnRight);

// Hanging below the status button's menu bar (screen coordinates). The
// balloon reaches away from the nearer edge of the browser window.
BalloonPlacement PlaceBelowMenuBar(const BalloonRect& menuBar, const BalloonRect& browserWindow, int width);
// Without a visible band: in the top corner of the browser window that is
// nearer the middle of the work area.
BalloonPlacement PlaceInWindowCorner(const BalloonRect& workArea, const BalloonRect& browserWindow, int width);

// The colours of a verdict colour code (0 green ... 4 darkgrey); false for
// any other code, whose balloon keeps the colours it had.
bool BalloonColoursOf(int colourCode, BalloonColours* colours);
