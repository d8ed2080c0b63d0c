#include "tests/support/WindowCapture.h"

#include "tests/support/TestPaths.h"
#include "utils/Ownership/GdiOwnership.h"
#include "utils/Ownership/WinOwnership.h"

#include <wincodec.h>

#include <algorithm>

namespace testing_support {

namespace {

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

// Keeps COM initialised on this thread while a file is read or written.
class ComScope {
public:
    ComScope() : result_(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
    ~ComScope() {
        if (SUCCEEDED(result_))
            ::CoUninitialize();
    }
    ComScope(const ComScope&) = delete;
    ComScope& operator=(const ComScope&) = delete;

private:
    HRESULT result_;
};

std::wstring Wide(const std::string& text) {
    const int length = ::MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, nullptr, 0);
    std::wstring wide(length > 0 ? length - 1 : 0, L'\0');
    if (length > 1)
        ::MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, wide.data(), length);
    return wide;
}

HRESULT CreateFactory(win::ComPtr<IWICImagingFactory>* factory) {
    return ::CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                              factory->ReleaseAndGetVoidAddressOf());
}

// PrintWindow draws only the window itself (Wine's WM_PRINT leaves out the
// children), so the visible children follow, bottom of the z-order first,
// each moved to its place.
bool PrintTree(HWND window, HDC dc, POINT origin) {
    POINT previous = {};
    ::SetViewportOrgEx(dc, origin.x, origin.y, &previous);
    const bool printed = ::PrintWindow(window, dc, 0);
    ::SetViewportOrgEx(dc, previous.x, previous.y, nullptr);
    if (!printed)
        return false;
    const HWND top = ::GetWindow(window, GW_CHILD);
    for (HWND child = top ? ::GetWindow(top, GW_HWNDLAST) : nullptr; child; child = ::GetWindow(child, GW_HWNDPREV)) {
        if (!::IsWindowVisible(child))
            continue;
        // PrintWindow draws from the top-left corner of the window's frame.
        RECT frame = {};
        RECT place = {};
        ::GetWindowRect(window, &frame);
        ::GetWindowRect(child, &place);
        PrintTree(child, dc, POINT{origin.x + place.left - frame.left, origin.y + place.top - frame.top});
    }
    return true;
}

}  // namespace

WindowCapture::WindowCapture(HWND window, Source source) {
    RECT rect = {};
    if (!::IsWindow(window) || !::GetWindowRect(window, &rect))
        return;
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    if (width <= 0 || height <= 0)
        return;
    ::RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    ::GdiFlush();

    BITMAPINFO info = TopDown32(width, height);
    void* bits = nullptr;
    const win::UniqueBitmap section(::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    const win::MemoryCanvas canvas(nullptr, section.Get());
    if (!section || !canvas)
        return;
    bool taken = false;
    switch (source) {
    case Source::WindowDC: {
        const HDC dc = ::GetWindowDC(window);
        taken = dc && ::BitBlt(canvas.Get(), 0, 0, width, height, dc, 0, 0, SRCCOPY);
        if (dc)
            ::ReleaseDC(window, dc);
        break;
    }
    case Source::Screen: {
        const win::ScopedWindowDC screen(nullptr);
        taken = screen && ::BitBlt(canvas.Get(), 0, 0, width, height, screen.Get(), rect.left, rect.top, SRCCOPY);
        break;
    }
    case Source::PrintWindow:
        taken = PrintTree(window, canvas.Get(), POINT{0, 0});
        break;
    }
    ::GdiFlush();
    if (!taken)
        return;
    const auto* dib = static_cast<const std::uint32_t*>(bits);
    pixels_.resize(static_cast<size_t>(width) * height);
    for (size_t i = 0; i < pixels_.size(); ++i)
        pixels_[i] = RGB((dib[i] >> 16) & 0xFF, (dib[i] >> 8) & 0xFF, dib[i] & 0xFF);
    width_ = width;
    height_ = height;
}

COLORREF WindowCapture::PixelAt(int x, int y) const {
    if (x < 0 || y < 0 || x >= width_ || y >= height_)
        return CLR_INVALID;
    return pixels_[static_cast<size_t>(y) * width_ + x];
}

int WindowCapture::CountPixels(COLORREF colour, const RECT& area) const {
    const bool whole = ::IsRectEmpty(&area);
    const int left = whole ? 0 : std::max<int>(area.left, 0);
    const int top = whole ? 0 : std::max<int>(area.top, 0);
    const int right = whole ? width_ : std::min<int>(area.right, width_);
    const int bottom = whole ? height_ : std::min<int>(area.bottom, height_);
    int count = 0;
    for (int y = top; y < bottom; ++y)
        for (int x = left; x < right; ++x)
            count += PixelAt(x, y) == colour;
    return count;
}

void WindowCapture::Paste(const WindowCapture& picture, int left, int top) {
    for (int y = std::max(0, -top); y < picture.height_ && top + y < height_; ++y)
        for (int x = std::max(0, -left); x < picture.width_ && left + x < width_; ++x)
            pixels_[static_cast<size_t>(top + y) * width_ + left + x] = picture.pixels_[static_cast<size_t>(y) * picture.width_ + x];
}

HRESULT WindowCapture::SavePng(const std::string& path) const {
    if (!IsValid())
        return E_UNEXPECTED;
    const ComScope com;
    win::ComPtr<IWICImagingFactory> factory;
    RETURN_IF_FAILED(CreateFactory(&factory));
    win::ComPtr<IWICStream> stream;
    RETURN_IF_FAILED(factory->CreateStream(stream.ReleaseAndGetAddressOf()));
    RETURN_IF_FAILED(stream->InitializeFromFilename(Wide(path).c_str(), GENERIC_WRITE));
    win::ComPtr<IWICBitmapEncoder> encoder;
    RETURN_IF_FAILED(factory->CreateEncoder(GUID_ContainerFormatPng, nullptr, encoder.ReleaseAndGetAddressOf()));
    RETURN_IF_FAILED(encoder->Initialize(stream.Get(), WICBitmapEncoderNoCache));
    win::ComPtr<IWICBitmapFrameEncode> frame;
    RETURN_IF_FAILED(encoder->CreateNewFrame(frame.ReleaseAndGetAddressOf(), nullptr));
    RETURN_IF_FAILED(frame->Initialize(nullptr));
    RETURN_IF_FAILED(frame->SetSize(width_, height_));
    WICPixelFormatGUID format = GUID_WICPixelFormat24bppBGR;
    RETURN_IF_FAILED(frame->SetPixelFormat(&format));
    if (format != GUID_WICPixelFormat24bppBGR)
        return WINCODEC_ERR_UNSUPPORTEDPIXELFORMAT;
    const UINT stride = (static_cast<UINT>(width_) * 3 + 3) & ~3u;
    std::vector<BYTE> rows(static_cast<size_t>(stride) * height_);
    for (int y = 0; y < height_; ++y) {
        BYTE* row = rows.data() + static_cast<size_t>(y) * stride;
        for (int x = 0; x < width_; ++x) {
            const COLORREF colour = PixelAt(x, y);
            row[3 * x] = GetBValue(colour);
            row[3 * x + 1] = GetGValue(colour);
            row[3 * x + 2] = GetRValue(colour);
        }
    }
    RETURN_IF_FAILED(frame->WritePixels(height_, stride, static_cast<UINT>(rows.size()), rows.data()));
    RETURN_IF_FAILED(frame->Commit());
    return encoder->Commit();
}

std::string WindowCapture::ScreenshotFolder() {
    char configured[MAX_PATH] = {};
    const DWORD length = ::GetEnvironmentVariableA("QUILLON_SCREENSHOT_DIR", configured, sizeof configured);
    std::string folder = length > 0 && length < sizeof configured ? std::string(configured, length)
                                                                  : ExecutableDirectory() + "screenshots";
    if (folder.back() != '\\' && folder.back() != '/')
        folder += '\\';
    return folder;
}

HRESULT WindowCapture::SaveScreenshot(const std::string& name) const {
    const std::string folder = ScreenshotFolder();
    if (!::CreateDirectoryA(folder.c_str(), nullptr) && ::GetLastError() != ERROR_ALREADY_EXISTS)
        return win::HResultFromLastError();
    return SavePng(folder + name + ".png");
}

WindowCapture WindowCapture::FromPng(const std::string& path) {
    WindowCapture capture;
    const ComScope com;
    win::ComPtr<IWICImagingFactory> factory;
    win::ComPtr<IWICBitmapDecoder> decoder;
    win::ComPtr<IWICBitmapFrameDecode> frame;
    win::ComPtr<IWICFormatConverter> converter;
    UINT width = 0;
    UINT height = 0;
    if (FAILED(CreateFactory(&factory)) ||
        FAILED(factory->CreateDecoderFromFilename(Wide(path).c_str(), nullptr, GENERIC_READ,
                                                  WICDecodeMetadataCacheOnDemand, decoder.ReleaseAndGetAddressOf())) ||
        FAILED(decoder->GetFrame(0, frame.ReleaseAndGetAddressOf())) ||
        FAILED(factory->CreateFormatConverter(converter.ReleaseAndGetAddressOf())) ||
        FAILED(converter->Initialize(frame.Get(), GUID_WICPixelFormat32bppBGRA, WICBitmapDitherTypeNone, nullptr,
                                     0.0, WICBitmapPaletteTypeCustom)) ||
        FAILED(converter->GetSize(&width, &height)) || width == 0 || height == 0)
        return capture;
    std::vector<std::uint32_t> bgra(static_cast<size_t>(width) * height);
    if (FAILED(converter->CopyPixels(nullptr, width * 4, static_cast<UINT>(bgra.size() * 4),
                                     reinterpret_cast<BYTE*>(bgra.data()))))
        return capture;
    capture.pixels_.resize(bgra.size());
    for (size_t i = 0; i < bgra.size(); ++i)
        capture.pixels_[i] = RGB((bgra[i] >> 16) & 0xFF, (bgra[i] >> 8) & 0xFF, bgra[i] & 0xFF);
    capture.width_ = static_cast<int>(width);
    capture.height_ = static_cast<int>(height);
    return capture;
}

}  // namespace testing_support
