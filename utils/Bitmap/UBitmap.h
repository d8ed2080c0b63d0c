// A strip of equally wide frames side by side in one bitmap, one of which is
// current, drawn solid or with one colour left out (transparent).
//
// The bitmap is owned: loaded from a resource of a given module (inside the
// browser the process's module is the browser, so callers pass their own) or
// adopted from the caller. A copy of its pixels is kept so that hit tests
// and the top-left colour need no device context.
//
//   UBitmap bitmap;
//   bitmap.LoadFromResource(module, IDB_FACE);
//   bitmap.SetFrameCount(3);
//   bitmap.SetTransparent(true);              // top-left pixel's colour
//   bitmap.SetCurrentFrame(1);
//   bitmap.Draw(dc, 0, 0);
#pragma once

#include "utils/Ownership/WinOwnership.h"

#include <windows.h>

#include <cstdint>
#include <vector>

class UBitmap {
public:
    // "No transparent colour chosen": the top-left pixel's colour is used.
    static constexpr COLORREF kTopLeftColour = CLR_INVALID;

    UBitmap() = default;
    UBitmap(const UBitmap&) = delete;
    UBitmap& operator=(const UBitmap&) = delete;

    // Replaces the bitmap by resource `id` of `module`. False (reported) when
    // the resource cannot be loaded or read; the old bitmap is gone then.
    bool LoadFromResource(HMODULE module, UINT id);
    // Takes ownership of `bitmap` (deleted by this object from now on, also
    // on failure). False (reported) when it is null or cannot be read.
    bool Attach(HBITMAP bitmap);
    // Deletes the bitmap.
    void Reset();

    bool IsLoaded() const { return bitmap_.IsValid(); }
    HBITMAP Handle() const { return bitmap_.Get(); }
    // The whole strip.
    int Width() const { return width_; }
    int Height() const { return height_; }

    // Frame settings survive loading another bitmap, as the faces of one
    // button keep their layout.
    void SetFrameCount(int count) { frameCount_ = count; }
    int FrameCount() const { return frameCount_; }
    void SetCurrentFrame(int frame) { currentFrame_ = frame; }
    int CurrentFrame() const { return currentFrame_; }

    void SetTransparent(bool on) { transparent_ = on; }
    bool IsTransparent() const { return transparent_; }
    // kTopLeftColour (the default) picks the top-left pixel's colour.
    void SetTransparentColour(COLORREF colour) { transparentColour_ = colour; }
    COLORREF TransparentColour() const { return transparentColour_; }
    // The colour left out when drawing transparently: the chosen one, else
    // the top-left pixel's; kTopLeftColour without a bitmap.
    COLORREF EffectiveTransparentColour() const;

    // One frame's size; 0 x 0 (reported) with a frame count of 0.
    SIZE GetSize() const;

    // Draws the current frame with its top-left corner at (x, y).
    bool Draw(HDC dc, int x, int y) const;
    // Whether a point of the current frame (frame coordinates) is part of the
    // picture: inside the frame and, when drawn transparently, not of the
    // transparent colour.
    bool HitTest(POINT point) const;
    // The colour of a pixel of the whole strip; CLR_INVALID outside.
    COLORREF PixelAt(int x, int y) const;

    // A new bitmap holding `area` of `source`, compatible with `dc`; null
    // (reported "BitBlt failed: <error>") when it cannot be made.
    static win::UniqueBitmap ExtractBitmapSection(HDC dc, HBITMAP source, const RECT& area);
    // Draws `bitmap` at (x, y) as it is.
    static bool DrawSolidBitmap(HDC dc, HBITMAP bitmap, int x, int y, int width, int height);
    // Draws `bitmap` at (x, y), leaving out the pixels of `transparentColour`.
    static bool DrawTransparentBitmap(HDC dc, HBITMAP bitmap, int x, int y, int width, int height,
                                      COLORREF transparentColour);

private:
    bool ReadPixels(const char* method);

    win::UniqueBitmap bitmap_;
    int width_ = 0;
    int height_ = 0;
    std::vector<std::uint32_t> pixels_;  // top-down rows of COLORREFs
    bool transparent_ = false;
    COLORREF transparentColour_ = kTopLeftColour;
    int frameCount_ = 1;
    int currentFrame_ = 0;
};
