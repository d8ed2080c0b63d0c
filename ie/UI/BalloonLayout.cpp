#include "ie/UI/BalloonLayout.h"

#include <algorithm>

namespace {

// Room between the parts, in pixels.
constexpr int kMargin = 6;
constexpr int kTitleToClose = 12;
constexpr int kBetweenLinks = 25;
// The card's place in the window, and the extra room the pointer needs.
constexpr int kCardLeft = 14;
constexpr int kCardTop = 12;
constexpr int kPointerRoom = 20;
// The outline around the card.
constexpr int kOutlineSide = 8;
constexpr int kOutlineEnd = 6;
// The pointer: its tip rises kPointerInset in from the window's side, its
// base reaches to kPointerFar.
constexpr int kPointerInset = 12;
constexpr int kPointerFar = 32;
// Against the menu bar: how far the pointer's side sits in from the bar's
// edges, and the gap below it.
constexpr int kFromMenuBarRight = 70;
constexpr int kFromMenuBarLeft = 20;
constexpr int kBelowMenuBar = 2;
// Inside the browser window's corner.
constexpr int kFromWindowEdge = 20;

BalloonRect Offset(BalloonRect rect, int dx, int dy) {
    rect.left += dx;
    rect.right += dx;
    rect.top += dy;
    rect.bottom += dy;
    return rect;
}

// Twice the centre, so that odd widths compare exactly.
int DoubleCentre(const BalloonRect& rect) {
    return rect.left + rect.right;
}

}  // namespace

BalloonGeometry LayOutBalloon(const BalloonMeasures& m, bool anchored, bool pointerOnRight) {
    BalloonGeometry g;
    const int contentWidth = std::max({m.title.width + m.close.width + kTitleToClose, m.body.width + kMargin,
                                       m.details.width + m.neverWarn.width + kBetweenLinks});
    const int linksTop = m.title.height + m.body.height + 3 * kMargin;

    // Relative to the card's top-left corner first.
    g.title = {kMargin, kMargin, m.title.width + kMargin, m.title.height + kMargin};
    g.body = {kMargin, m.title.height + 2 * kMargin, m.body.width + kMargin, m.title.height + m.body.height + 2 * kMargin};
    g.close = {contentWidth - m.close.width, kMargin, contentWidth, m.close.height + kMargin};
    g.details = {kMargin, linksTop, m.details.width + kMargin, linksTop + m.details.height};
    g.neverWarn = {contentWidth - m.neverWarn.width, linksTop, contentWidth, linksTop + m.details.height};

    const int cardTop = kCardTop + (anchored ? kPointerRoom : 0);
    g.card = Offset({0, 0, contentWidth + kMargin, linksTop + m.details.height + kMargin}, kCardLeft, cardTop);
    for (BalloonRect* child : {&g.title, &g.body, &g.close, &g.details, &g.neverWarn})
        *child = Offset(*child, kCardLeft, cardTop);

    g.outline = {g.card.left - kOutlineSide, g.card.top - kOutlineEnd, g.card.right + kOutlineSide,
                 g.card.bottom + kOutlineEnd};
    g.width = g.outline.right;
    g.height = g.outline.bottom;

    g.hasPointer = anchored;
    if (anchored) {
        const int top = g.outline.top;
        if (pointerOnRight) {
            const int right = g.outline.right;
            g.pointer[0] = {right - kPointerInset, top};
            g.pointer[1] = {right - kPointerInset, 0};
            g.pointer[2] = {right - kPointerFar, top};
        } else {
            g.pointer[0] = {kPointerInset, top};
            g.pointer[1] = {kPointerInset, 0};
            g.pointer[2] = {kPointerFar, top};
        }
    }
    return g;
}

BalloonPlacement PlaceBelowMenuBar(const BalloonRect& menuBar, const BalloonRect& browserWindow, int width) {
    BalloonPlacement placement;
    placement.anchored = true;
    // A band in the right half of the browser: the balloon reaches leftwards.
    placement.pointerOnRight = DoubleCentre(browserWindow) < DoubleCentre(menuBar);
    placement.left = placement.pointerOnRight ? menuBar.right - width - kFromMenuBarRight
                                              : menuBar.left + kFromMenuBarLeft;
    placement.top = menuBar.bottom + kBelowMenuBar;
    return placement;
}

BalloonPlacement PlaceInWindowCorner(const BalloonRect& workArea, const BalloonRect& browserWindow, int width) {
    BalloonPlacement placement;
    placement.anchored = false;
    placement.pointerOnRight = DoubleCentre(browserWindow) > DoubleCentre(workArea);
    placement.left = placement.pointerOnRight ? browserWindow.right - width - kFromWindowEdge
                                              : browserWindow.left + kFromWindowEdge;
    placement.top = browserWindow.top + kFromWindowEdge;
    return placement;
}

bool BalloonColoursOf(int colourCode, BalloonColours* colours) {
    constexpr auto rgb = [](std::uint32_t r, std::uint32_t g, std::uint32_t b) { return r | (g << 8) | (b << 16); };
    switch (colourCode) {
    case 0:  // green
        *colours = {rgb(173, 216, 126), rgb(234, 245, 223), rgb(130, 147, 113)};
        return true;
    case 1:  // yellow
        *colours = {rgb(242, 237, 56), rgb(252, 250, 205), rgb(158, 155, 90)};
        return true;
    case 2:  // red
        *colours = {rgb(240, 40, 23), rgb(251, 201, 197), rgb(196, 146, 141)};
        return true;
    case 3:  // grey
    case 4:  // darkgrey
        *colours = {rgb(192, 192, 192), rgb(238, 238, 238), rgb(128, 128, 128)};
        return true;
    default:
        return false;
    }
}
