// A picture of a window as it is on screen, for tests that check what a
// window drew (by pixel) and for the screenshots in docs/screenshots.
//
//   testing_support::WindowCapture capture(window);
//   ASSERT_TRUE(capture.IsValid());
//   EXPECT_EQ(RGB(0, 0, 255), capture.PixelAt(10, 4));
//   EXPECT_TRUE(SUCCEEDED(capture.SavePng("docs/screenshots/balloon-red.png")));
//
// Coordinates are relative to the window's top-left corner (its frame
// included; for the borderless pop-ups and children of the product that is
// the client area). PNG files are written and read with the Windows Imaging
// Component, so they are real PNG files any viewer shows.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace testing_support {

class WindowCapture {
public:
    enum class Source {
        WindowDC,     // the window's own pixels with its children (default)
        Screen,       // the screen where the window is: what is seen, overlaps included
        PrintWindow,  // the window and its children asked to draw themselves; works while hidden
    };

    // Repaints what is pending and takes the picture; IsValid() tells
    // whether that worked.
    explicit WindowCapture(HWND window, Source source = Source::WindowDC);
    // A picture read from a PNG file (to check a saved file).
    static WindowCapture FromPng(const std::string& path);

    bool IsValid() const { return width_ > 0 && height_ > 0; }
    int Width() const { return width_; }
    int Height() const { return height_; }

    // CLR_INVALID outside the picture.
    COLORREF PixelAt(int x, int y) const;
    // How many pixels of the rectangle (all of the picture when empty) have `colour`.
    int CountPixels(COLORREF colour, const RECT& area = RECT{}) const;

    // Lays another picture over this one with its top-left corner at (left,
    // top), clipped to this picture: a window over another, each captured
    // from its own window DC.
    void Paste(const WindowCapture& picture, int left, int top);

    // Writes a 24-bit PNG file; the folder must exist.
    HRESULT SavePng(const std::string& path) const;
    // Writes "<ScreenshotFolder()><name>.png", creating the folder.
    HRESULT SaveScreenshot(const std::string& name) const;
    // The folder in QUILLON_SCREENSHOT_DIR when set (to refresh
    // docs/screenshots: QUILLON_SCREENSHOT_DIR=Z:\<checkout>\docs\screenshots),
    // else "screenshots" beside the test program, so ordinary runs leave the
    // checkout alone. Ends with a backslash.
    static std::string ScreenshotFolder();

private:
    WindowCapture() = default;

    int width_ = 0;
    int height_ = 0;
    std::vector<COLORREF> pixels_;  // top-down rows
};

}  // namespace testing_support
