#include "tools/BrowserHost/StatusFace.h"

#include "ie/res/ResourceIds.h"
#include "tests/support/WindowCapture.h"
#include "tools/BrowserHost/FaceColour.h"
#include "utils/Ownership/WinOwnership.h"

#include <cstdlib>

namespace {

constexpr char kButtonClass[] = "QuillonBitmapWindow";
constexpr int kFaceWidth = 90;
constexpr std::uint32_t kTransparent = 0xFF00FF;

std::vector<std::uint32_t> Pixels(const testing_support::WindowCapture& capture) {
    std::vector<std::uint32_t> pixels;
    pixels.reserve(static_cast<std::size_t>(capture.Width()) * capture.Height());
    for (int y = 0; y < capture.Height(); ++y) {
        for (int x = 0; x < capture.Width(); ++x) {
            const COLORREF colour = capture.PixelAt(x, y);
            pixels.push_back((GetRValue(colour) << 16) | (GetGValue(colour) << 8) | GetBValue(colour));
        }
    }
    return pixels;
}

bool Close(std::uint32_t a, std::uint32_t b) {
    for (int shift = 0; shift <= 16; shift += 8) {
        if (std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF)) > 12)
            return false;
    }
    return true;
}

// The status button is the band's face-wide bitmap window.
BOOL CALLBACK IsStatusButton(HWND window, LPARAM data) {
    char name[64] = {};
    ::GetClassNameA(window, name, sizeof name);
    RECT rect = {};
    ::GetClientRect(window, &rect);
    if (lstrcmpA(name, kButtonClass) != 0 || rect.right != kFaceWidth || !::IsWindowVisible(window))
        return TRUE;
    *reinterpret_cast<HWND*>(data) = window;
    return FALSE;
}

}  // namespace

CStatusFaceReader::CStatusFaceReader(HMODULE module) {
    if (!module)
        return;
    Load(module, IDB_FACE_GREEN, "green");
    Load(module, IDB_FACE_YELLOW, "yellow");
    Load(module, IDB_FACE_RED, "red");
    Load(module, IDB_FACE_GREY, "grey");
    Load(module, IDB_FACE_WAIT, "wait");
    Load(module, IDB_FACE_OFF, "off");
    Load(module, IDB_FACE_SERVICE_DOWN, "service down");
}

void CStatusFaceReader::Load(HMODULE module, UINT id, const char* name) {
    const win::UniqueBitmap bitmap(static_cast<HBITMAP>(
        ::LoadImageA(module, MAKEINTRESOURCEA(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
    BITMAP header = {};
    if (!bitmap || !::GetObjectA(bitmap.Get(), sizeof header, &header) || header.bmWidth <= 0 || header.bmHeight <= 0)
        return;
    Face face;
    face.name = name;
    face.width = header.bmWidth;
    face.height = header.bmHeight;
    face.pixels.resize(static_cast<std::size_t>(face.width) * face.height);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = face.width;
    info.bmiHeader.biHeight = -face.height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    const HDC screen = ::GetDC(nullptr);
    const int rows = ::GetDIBits(screen, bitmap.Get(), 0, static_cast<UINT>(face.height), face.pixels.data(), &info,
                                 DIB_RGB_COLORS);
    ::ReleaseDC(nullptr, screen);
    if (rows != face.height)
        return;
    for (std::uint32_t& pixel : face.pixels)
        pixel &= 0xFFFFFF;
    faces_.push_back(std::move(face));
}

HWND CStatusFaceReader::FindButton(HWND band) {
    HWND found = nullptr;
    ::EnumChildWindows(band, &IsStatusButton, reinterpret_cast<LPARAM>(&found));
    return found;
}

bool CStatusFaceReader::Matches(const Face& face, int frameLeft, const std::vector<std::uint32_t>& picture,
                                int width, int height) {
    if (face.height != height || frameLeft + width > face.width)
        return false;
    int same = 0;
    int compared = 0;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const std::uint32_t expected = face.pixels[static_cast<std::size_t>(y) * face.width + frameLeft + x];
            // The key colour is drawn transparent: the toolbar shows there.
            if (Close(expected, kTransparent))
                continue;
            ++compared;
            same += Close(expected, picture[static_cast<std::size_t>(y) * width + x]);
        }
    }
    // Nearly all: the pointer or the focus may touch a few pixels.
    return compared > 0 && same * 100 >= compared * 95;
}

std::string CStatusFaceReader::Read(HWND button) const {
    if (!button)
        return std::string();
    const testing_support::WindowCapture capture(button, testing_support::WindowCapture::Source::WindowDC);
    if (!capture.IsValid())
        return std::string();
    const std::vector<std::uint32_t> picture = Pixels(capture);
    for (const Face& face : faces_) {
        for (int left = 0; left + capture.Width() <= face.width; left += kFaceWidth) {
            if (Matches(face, left, picture, capture.Width(), capture.Height()))
                return face.name;
        }
    }
    return ClassifyFaceColour(picture, capture.Width(), capture.Height());
}
