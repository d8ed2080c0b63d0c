#include "utils/Bitmap/UBitmap.h"

#include "utils/Diagnostics/ReportAssert.h"
#include "utils/Ownership/GdiOwnership.h"

#include <cstdio>

namespace {

// A 32-bit top-down DIB header for width x height.
BITMAPINFO TopDown32(int width, int height) {
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    return info;
}

// DIB pixels are 0x00RRGGBB; COLORREFs are 0x00BBGGRR.
COLORREF ColourOfDibPixel(std::uint32_t pixel) {
    return RGB((pixel >> 16) & 0xFF, (pixel >> 8) & 0xFF, pixel & 0xFF);
}

// Puts back the text and background colours a mask blit needed.
class ScopedMaskColours {
public:
    explicit ScopedMaskColours(HDC dc)
        : dc_(dc), text_(::SetTextColor(dc, RGB(0, 0, 0))), background_(::SetBkColor(dc, RGB(255, 255, 255))) {}
    ~ScopedMaskColours() {
        ::SetTextColor(dc_, text_);
        ::SetBkColor(dc_, background_);
    }
    ScopedMaskColours(const ScopedMaskColours&) = delete;
    ScopedMaskColours& operator=(const ScopedMaskColours&) = delete;

private:
    HDC dc_;
    COLORREF text_;
    COLORREF background_;
};

}  // namespace

bool UBitmap::LoadFromResource(HMODULE module, UINT id) {
    Reset();
    // A DIB section keeps the artwork's exact colours whatever the display's
    // depth, so the transparent colour matches exactly.
    const HANDLE image =
        ::LoadImageA(module, MAKEINTRESOURCEA(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION);
    if (!image) {
        REPORT_ASSERT("UBitmap::LoadFromResource", "Couldn't load image from resource");
        return false;
    }
    bitmap_.Reset(static_cast<HBITMAP>(image));
    return ReadPixels("UBitmap::LoadFromResource");
}

bool UBitmap::Attach(HBITMAP bitmap) {
    Reset();
    if (!bitmap) {
        REPORT_ASSERT("UBitmap::Attach", "NULL pointer");
        return false;
    }
    bitmap_.Reset(bitmap);
    return ReadPixels("UBitmap::Attach");
}

void UBitmap::Reset() {
    bitmap_.Reset();
    width_ = 0;
    height_ = 0;
    pixels_.clear();
}

bool UBitmap::ReadPixels(const char* method) {
    BITMAP header = {};
    if (::GetObjectA(bitmap_.Get(), sizeof header, &header) != sizeof header || header.bmWidth <= 0 ||
        header.bmHeight <= 0) {
        REPORT_ASSERT(method, "Could not get to object");
        Reset();
        return false;
    }
    const int width = header.bmWidth;
    const int height = header.bmHeight;
    std::vector<std::uint32_t> pixels(static_cast<size_t>(width) * height);
    BITMAPINFO info = TopDown32(width, height);
    const win::UniqueMemoryDC dc(::CreateCompatibleDC(nullptr));
    if (!dc || ::GetDIBits(dc.Get(), bitmap_.Get(), 0, height, pixels.data(), &info, DIB_RGB_COLORS) != height) {
        REPORT_ASSERT(method, "Could not get to object");
        Reset();
        return false;
    }
    for (std::uint32_t& pixel : pixels)
        pixel = ColourOfDibPixel(pixel);
    pixels_ = std::move(pixels);
    width_ = width;
    height_ = height;
    return true;
}

COLORREF UBitmap::EffectiveTransparentColour() const {
    if (transparentColour_ != kTopLeftColour)
        return transparentColour_;
    return pixels_.empty() ? kTopLeftColour : pixels_.front();
}

SIZE UBitmap::GetSize() const {
    if (frameCount_ <= 0) {
        REPORT_ASSERT("UBitmap::GetSize", "Divide by zero frames");
        return SIZE{0, 0};
    }
    return SIZE{width_ / frameCount_, height_};
}

COLORREF UBitmap::PixelAt(int x, int y) const {
    if (x < 0 || y < 0 || x >= width_ || y >= height_)
        return CLR_INVALID;
    return pixels_[static_cast<size_t>(y) * width_ + x];
}

bool UBitmap::HitTest(POINT point) const {
    if (!IsLoaded() || frameCount_ <= 0 || currentFrame_ < 0 || currentFrame_ >= frameCount_)
        return false;
    const int frameWidth = width_ / frameCount_;
    if (point.x < 0 || point.y < 0 || point.x >= frameWidth || point.y >= height_)
        return false;
    if (!transparent_)
        return true;
    return PixelAt(currentFrame_ * frameWidth + point.x, point.y) != EffectiveTransparentColour();
}

bool UBitmap::Draw(HDC dc, int x, int y) const {
    if (!dc) {
        REPORT_ASSERT("UBitmap::Draw", "NULL pointer");
        return false;
    }
    if (!IsLoaded())
        return false;  // nothing to draw yet is not a fault
    const SIZE size = GetSize();
    if (size.cx <= 0 || size.cy <= 0)
        return false;
    if (currentFrame_ < 0 || currentFrame_ >= frameCount_) {
        REPORT_ASSERT("UBitmap::Draw", "Frame out of range");
        return false;
    }
    const RECT area = {currentFrame_ * size.cx, 0, (currentFrame_ + 1) * size.cx, size.cy};
    const win::UniqueBitmap frame = ExtractBitmapSection(dc, bitmap_.Get(), area);
    if (!frame)
        return false;
    if (transparent_)
        return DrawTransparentBitmap(dc, frame.Get(), x, y, size.cx, size.cy, EffectiveTransparentColour());
    return DrawSolidBitmap(dc, frame.Get(), x, y, size.cx, size.cy);
}

win::UniqueBitmap UBitmap::ExtractBitmapSection(HDC dc, HBITMAP source, const RECT& area) {
    const int width = area.right - area.left;
    const int height = area.bottom - area.top;
    if (!source || width <= 0 || height <= 0) {
        REPORT_ASSERT("UBitmap::ExtractBitmapSection", "NULL pointer");
        return {};
    }
    // A 32-bit section whatever `dc` holds: a fresh memory DC would otherwise
    // give a monochrome copy.
    BITMAPINFO info = TopDown32(width, height);
    void* bits = nullptr;
    win::UniqueBitmap section(::CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    const win::MemoryCanvas from(dc, source);
    const win::MemoryCanvas to(dc, section.Get());
    if (!section || !from || !to ||
        !::BitBlt(to.Get(), 0, 0, width, height, from.Get(), area.left, area.top, SRCCOPY)) {
        char text[40];
        std::snprintf(text, sizeof text, "BitBlt failed: %lu", ::GetLastError());
        REPORT_ASSERT("UBitmap::ExtractBitmapSection", text);
        return {};
    }
    return section;
}

bool UBitmap::DrawSolidBitmap(HDC dc, HBITMAP bitmap, int x, int y, int width, int height) {
    const win::MemoryCanvas image(dc, bitmap);
    if (!image || !::BitBlt(dc, x, y, width, height, image.Get(), 0, 0, SRCCOPY)) {
        REPORT_ASSERT("UBitmap::DrawSolidBitmap", "BitBlt failed");
        return false;
    }
    return true;
}

bool UBitmap::DrawTransparentBitmap(HDC dc, HBITMAP bitmap, int x, int y, int width, int height,
                                    COLORREF transparentColour) {
    const win::MemoryCanvas image(dc, bitmap);
    // The mask is white where the picture has the transparent colour.
    const win::UniqueBitmap maskBitmap(::CreateBitmap(width, height, 1, 1, nullptr));
    const win::MemoryCanvas mask(dc, maskBitmap.Get());
    if (!image || !maskBitmap || !mask) {
        REPORT_ASSERT("UBitmap::DrawTransparentBitmap", "Could not create the mask");
        return false;
    }
    const COLORREF imageBackground = ::SetBkColor(image.Get(), transparentColour);
    const bool masked = ::BitBlt(mask.Get(), 0, 0, width, height, image.Get(), 0, 0, SRCCOPY);
    ::SetBkColor(image.Get(), imageBackground);

    // Without touching the picture: destination XOR picture, then black where
    // the picture is opaque, then XOR picture again, which leaves the
    // destination where the mask is white and the picture elsewhere.
    const ScopedMaskColours colours(dc);
    const bool drawn = masked && ::BitBlt(dc, x, y, width, height, image.Get(), 0, 0, SRCINVERT) &&
                       ::BitBlt(dc, x, y, width, height, mask.Get(), 0, 0, SRCAND) &&
                       ::BitBlt(dc, x, y, width, height, image.Get(), 0, 0, SRCINVERT);
    if (!drawn)
        REPORT_ASSERT("UBitmap::DrawTransparentBitmap", "BitBlt failed");
    return drawn;
}
