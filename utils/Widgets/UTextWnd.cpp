#include "utils/Widgets/UTextWnd.h"

#include "utils/Diagnostics/ReportAssert.h"
#include "utils/Ownership/GdiOwnership.h"
#include "utils/Widgets/ParentBackground.h"
#include "utils/Widgets/ULinkNotify.h"
#include "utils/Window/UWindowClass.h"

#include <windowsx.h>

#include <algorithm>
#include <cstring>
#include <utility>

namespace {

constexpr char kClassName[] = "QuillonTextWindow";

template <typename Handler>
void Guarded(const char* method, Handler handler) {
    try {
        handler();
    } catch (...) {
        REPORT_ASSERT(method, "Exception thrown");
    }
}

}  // namespace

UTextWnd::~UTextWnd() {
    Destroy();
}

bool UTextWnd::Create(HWND parent, const RECT& rect, const std::string& text, UINT controlId, DWORD style) {
    if (window_) {
        REPORT_ASSERT("UTextWnd::Create", "The window exists already");
        return false;
    }
    // The arrow over labels; links set the hand themselves.
    static const UWindowClass windowClass(kClassName, &UTextWnd::WindowProcedure, 0,
                                          ::LoadCursorA(nullptr, IDC_ARROW));
    if (!windowClass.Registered())
        return false;  // reported at registration
    text_ = text;
    const HWND window = ::CreateWindowExA(0, kClassName, "", style, rect.left, rect.top, rect.right - rect.left,
                                          rect.bottom - rect.top, parent,
                                          reinterpret_cast<HMENU>(static_cast<UINT_PTR>(controlId)),
                                          windowClass.Instance(), this);
    if (!window) {
        window_ = nullptr;
        REPORT_ASSERT("UTextWnd::Create", "Could not create the window");
        return false;
    }
    return true;
}

void UTextWnd::Destroy() {
    if (window_)
        ::DestroyWindow(window_);
    window_ = nullptr;
}

void UTextWnd::SetText(const std::string& text) {
    text_ = text;
    Invalidate();
}

bool UTextWnd::SetFont(const char* face, int height, int weight) {
    if (!face) {
        REPORT_ASSERT("UTextWnd::SetFont", "NULL pointer");
        return false;
    }
    if (std::strlen(face) > kMaxFaceLength) {
        REPORT_ASSERT("UTextWnd::SetFont", "Font name too long");
        return false;
    }
    std::string oldFace = std::exchange(face_, face);
    const int oldHeight = std::exchange(height_, height);
    const int oldWeight = std::exchange(weight_, weight);
    if (RebuildFont("UTextWnd::SetFont"))
        return true;
    face_ = std::move(oldFace);
    height_ = oldHeight;
    weight_ = oldWeight;
    return false;
}

bool UTextWnd::SetUnderline(bool on) {
    const bool old = std::exchange(underline_, on);
    if (RebuildFont("UTextWnd::SetUnderline"))
        return true;
    underline_ = old;
    return false;
}

bool UTextWnd::SetAntialiased(bool on) {
    const bool old = std::exchange(antialiased_, on);
    if (RebuildFont("UTextWnd::SetAntialiased"))
        return true;
    antialiased_ = old;
    return false;
}

bool UTextWnd::RebuildFont(const char* method) {
    LOGFONTA description = {};
    description.lfHeight = height_;
    description.lfWeight = weight_;
    description.lfUnderline = underline_ ? TRUE : FALSE;
    description.lfCharSet = DEFAULT_CHARSET;
    description.lfOutPrecision = OUT_DEFAULT_PRECIS;
    description.lfClipPrecision = CLIP_DEFAULT_PRECIS;
    description.lfQuality = antialiased_ ? ANTIALIASED_QUALITY : DEFAULT_QUALITY;
    description.lfPitchAndFamily = DEFAULT_PITCH | FF_DONTCARE;
    face_.copy(description.lfFaceName, LF_FACESIZE - 1);
    win::UniqueFont font(::CreateFontIndirectA(&description));
    if (!font) {
        REPORT_ASSERT(method, "Failed to create font");
        return false;
    }
    font_ = std::move(font);  // the old font is deleted here; no DC holds it
    Invalidate();
    return true;
}

HFONT UTextWnd::Font() const {
    return font_ ? font_.Get() : static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
}

void UTextWnd::SetTextColour(COLORREF colour) {
    textColour_ = colour;
    Invalidate();
}

void UTextWnd::SetTransparentBackground(bool on, COLORREF background) {
    transparent_ = on;
    background_ = background;
    Invalidate();
}

void UTextWnd::SetDrawFlags(UINT flags) {
    drawFlags_ = flags;
    Invalidate();
}

void UTextWnd::SetLink(ULinkNotify* target, int action) {
    linkTarget_ = target;
    linkAction_ = action;
}

void UTextWnd::SetCommandId(UINT commandId) {
    commandId_ = commandId;
}

SIZE UTextWnd::Measure(const std::string& text, int wrapWidth) const {
    const win::UniqueMemoryDC dc(::CreateCompatibleDC(nullptr));
    const win::ScopedSelectObject font(dc.Get(), Font());
    if (!dc || !font) {
        REPORT_ASSERT("UTextWnd::Measure", "Could not get a device context");
        return SIZE{0, 0};
    }
    UINT flags = DT_CALCRECT | (drawFlags_ & (DT_NOPREFIX | DT_EXPANDTABS));
    if (wrapWidth > 0)
        flags |= DT_WORDBREAK;
    else if (drawFlags_ & DT_SINGLELINE)
        flags |= DT_SINGLELINE;
    RECT area = {0, 0, std::max(wrapWidth, 0), 0};
    ::DrawTextA(dc.Get(), text.c_str(), static_cast<int>(text.size()), &area, flags);
    return SIZE{area.right - area.left, area.bottom - area.top};
}

void UTextWnd::Invalidate() {
    if (window_)
        ::InvalidateRect(window_, nullptr, FALSE);
}

LRESULT CALLBACK UTextWnd::WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    UTextWnd* self = nullptr;
    if (message == WM_NCCREATE) {
        self = static_cast<UTextWnd*>(reinterpret_cast<const CREATESTRUCTA*>(lParam)->lpCreateParams);
        self->window_ = window;
        ::SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    } else {
        self = reinterpret_cast<UTextWnd*>(::GetWindowLongPtrA(window, GWLP_USERDATA));
    }
    if (!self)
        return ::DefWindowProcA(window, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        ::SetWindowLongPtrA(window, GWLP_USERDATA, 0);
        self->window_ = nullptr;
        return ::DefWindowProcA(window, message, wParam, lParam);
    }
    return self->Dispatch(message, wParam, lParam);
}

LRESULT UTextWnd::Dispatch(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_ERASEBKGND:
        return 1;  // painted with the text, without flicker
    case WM_PAINT:
        Guarded("UTextWnd::OnPaint", [&] { OnPaint(nullptr); });
        return 0;
    case WM_PRINTCLIENT:
        Guarded("UTextWnd::OnPaint", [&] { OnPaint(reinterpret_cast<HDC>(wParam)); });
        return 0;
    case WM_SETCURSOR: {
        bool handled = false;
        if (LOWORD(lParam) == HTCLIENT)
            Guarded("UTextWnd::OnMouseMove", [&] { handled = OnMouseMove(); });
        if (handled)
            return TRUE;
        break;
    }
    case WM_MOUSEMOVE: {
        bool handled = false;
        Guarded("UTextWnd::OnMouseMove", [&] { handled = OnMouseMove(); });
        if (handled)
            return 0;
        break;
    }
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        Guarded("UTextWnd::OnMouseButtonDown", [&] { OnMouseButtonDown(); });
        return 0;
    case WM_LBUTTONUP:
        Guarded("UTextWnd::OnMouseButtonUp",
                [&] { OnMouseButtonUp(POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}); });
        return 0;
    case WM_CAPTURECHANGED:
        pressed_ = false;
        return 0;
    default:
        break;
    }
    return ::DefWindowProcA(window_, message, wParam, lParam);
}

void UTextWnd::OnPaint(HDC printDc) {
    PAINTSTRUCT paint = {};
    const HDC dc = printDc ? printDc : ::BeginPaint(window_, &paint);
    if (!dc)
        return;
    RECT client = {};
    ::GetClientRect(window_, &client);
    const win::UniqueBitmap buffer(::CreateCompatibleBitmap(dc, std::max<LONG>(client.right, 1),
                                                            std::max<LONG>(client.bottom, 1)));
    const win::MemoryCanvas canvas(dc, buffer.Get());
    if (buffer && canvas) {
        const HDC target = canvas.Get();
        if (transparent_) {
            PaintParentBackground(window_, target);
        } else {
            const win::UniqueBrush brush(::CreateSolidBrush(background_));
            ::FillRect(target, &client, brush.Get());
        }
        const win::ScopedSelectObject font(target, Font());
        ::SetBkMode(target, TRANSPARENT);
        ::SetTextColor(target, textColour_);
        RECT area = client;
        ::DrawTextA(target, text_.c_str(), static_cast<int>(text_.size()), &area, drawFlags_);
        ::BitBlt(dc, 0, 0, client.right, client.bottom, target, 0, 0, SRCCOPY);
    }
    if (!printDc)
        ::EndPaint(window_, &paint);
}

bool UTextWnd::OnMouseMove() {
    if (!IsLinkOrCommand())
        return false;  // default processing
    ::SetCursor(::LoadCursorA(nullptr, IDC_HAND));
    return true;
}

void UTextWnd::OnMouseButtonDown() {
    // Held until released, so the release comes here even off the text.
    pressed_ = true;
    ::SetCapture(window_);
}

void UTextWnd::OnMouseButtonUp(POINT point) {
    const bool wasPressed = std::exchange(pressed_, false);
    if (::GetCapture() == window_)
        ::ReleaseCapture();
    RECT client = {};
    ::GetClientRect(window_, &client);
    // A click is a press and a release on the text; a release dragged in
    // from elsewhere or away from it is not.
    if (!wasPressed || !::PtInRect(&client, point))
        return;
    // Last: the notification may close this window and its owner.
    if (linkTarget_)
        linkTarget_->DoAction(linkAction_);
    else if (commandId_ != kNoCommand)
        ::SendMessageA(::GetParent(window_), WM_COMMAND, MAKEWPARAM(commandId_, BN_CLICKED),
                       reinterpret_cast<LPARAM>(window_));
}
