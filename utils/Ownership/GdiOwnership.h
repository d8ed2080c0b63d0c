// Ownership of device contexts and of objects selected into them. Bitmaps,
// fonts, brushes and regions themselves are owned through the UniqueAny
// aliases of WinOwnership.h; these cover what those cannot: a DC from
// CreateCompatibleDC (DeleteDC), a DC borrowed from a window (ReleaseDC,
// which needs the window) and the object a DC held before SelectObject.
#pragma once

#include "utils/Ownership/WinOwnership.h"

#include <utility>

namespace win {

namespace traits {

// Memory DCs from CreateCompatibleDC or CreateDCA.
struct MemoryDC {
    using Type = HDC;
    static Type Invalid() noexcept { return nullptr; }
    static void Close(Type value) noexcept { ::DeleteDC(value); }
};

}  // namespace traits

using UniqueMemoryDC = UniqueAny<traits::MemoryDC>;

// The DC of a window (or of the screen, window null), released on scope exit.
class ScopedWindowDC {
public:
    explicit ScopedWindowDC(HWND window) noexcept : window_(window), dc_(::GetDC(window)) {}
    ~ScopedWindowDC() {
        if (dc_)
            ::ReleaseDC(window_, dc_);
    }
    ScopedWindowDC(const ScopedWindowDC&) = delete;
    ScopedWindowDC& operator=(const ScopedWindowDC&) = delete;

    HDC Get() const noexcept { return dc_; }
    explicit operator bool() const noexcept { return dc_ != nullptr; }

private:
    HWND window_;
    HDC dc_;
};

// Selects a GDI object into a DC and puts the previous one back on scope
// exit, so the owner of the selected object can delete it afterwards (a
// selected object cannot be deleted).
class ScopedSelectObject {
public:
    ScopedSelectObject(HDC dc, HGDIOBJ object) noexcept
        : dc_(dc), previous_(dc && object ? ::SelectObject(dc, object) : nullptr) {}
    ~ScopedSelectObject() {
        if (previous_ && previous_ != HGDI_ERROR)
            ::SelectObject(dc_, previous_);
    }
    ScopedSelectObject(const ScopedSelectObject&) = delete;
    ScopedSelectObject& operator=(const ScopedSelectObject&) = delete;

    // False when the object could not be selected.
    explicit operator bool() const noexcept { return previous_ && previous_ != HGDI_ERROR; }

private:
    HDC dc_;
    HGDIOBJ previous_;
};

// A memory DC compatible with another DC (or with the screen, dc null)
// that holds one bitmap selected for its whole life.
class MemoryCanvas {
public:
    MemoryCanvas(HDC compatibleWith, HBITMAP bitmap) noexcept
        : dc_(::CreateCompatibleDC(compatibleWith)), selection_(dc_.Get(), bitmap) {}
    MemoryCanvas(const MemoryCanvas&) = delete;
    MemoryCanvas& operator=(const MemoryCanvas&) = delete;

    HDC Get() const noexcept { return dc_.Get(); }
    explicit operator bool() const noexcept { return dc_ && static_cast<bool>(selection_); }

private:
    UniqueMemoryDC dc_;              // deleted last
    ScopedSelectObject selection_;   // restored first
};

}  // namespace win
