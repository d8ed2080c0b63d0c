#include "ie/UI/InfoBalloon.h"

#include "ie/UI/IBalloonAnchor.h"
#include "ie/UI/IBalloonHost.h"
#include "ie/res/ResourceIds.h"
#include "utils/Diagnostics/ReportAssert.h"
#include "utils/Options/Options.h"
#include "utils/Window/UWindowClass.h"
#include "utils/iRPC/CServerNotify.h"
#include "utils/iRPC/RPCWindowHandle.h"

#include <cstdio>

// The decision matrix and the status button speak in the display's modes.
static_assert(int{IBalloonDisplay::kShowForVerdict} == int{CBalloonShowRules::kAutomatic}, "modes differ");
static_assert(int{IBalloonDisplay::kShowForForm} == int{CBalloonShowRules::kForm}, "modes differ");
static_assert(int{IBalloonDisplay::kShowOnRequest} == int{CBalloonShowRules::kOnRequest}, "modes differ");

namespace {

constexpr char kClassName[] = "QuillonInfoBalloon";
constexpr COLORREF kMagenta = RGB(255, 0, 255);
constexpr COLORREF kLinkBlue = RGB(0, 0, 255);
constexpr int kCloseFrames = 3;

// The balloon of this thread, for the thread hook, which has no context of
// its own. One browser window per thread, so one balloon per thread.
thread_local CInfoBalloon* t_balloon = nullptr;

const UWindowClass& BalloonClass(WNDPROC procedure) {
    static const UWindowClass windowClass(kClassName, procedure, 0, ::LoadCursor(nullptr, IDC_ARROW));
    return windowClass;
}

RECT ToRect(const BalloonRect& rect) {
    return RECT{rect.left, rect.top, rect.right, rect.bottom};
}

BalloonRect ToBalloonRect(const RECT& rect) {
    return BalloonRect{rect.left, rect.top, rect.right, rect.bottom};
}

BalloonSize ToSize(SIZE size) {
    return BalloonSize{size.cx, size.cy};
}

void MoveChild(HWND child, const BalloonRect& rect) {
    if (child)
        ::MoveWindow(child, rect.left, rect.top, rect.Width(), rect.Height(), FALSE);
}

bool NoticesWanted() {
    return GetOption(OptionScope::MachineWide, "PIP") == "true";
}

// Where windows may go on the monitor of `window`: its work area now (the
// task bar may have moved since the browser started).
BalloonRect WorkAreaOf(HWND window) {
    MONITORINFO info = {};
    info.cbSize = sizeof info;
    const HMONITOR monitor = ::MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST);
    if (monitor && ::GetMonitorInfoA(monitor, &info))
        return ToBalloonRect(info.rcWork);
    RECT area = {};
    ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    return ToBalloonRect(area);
}

}  // namespace

CInfoBalloon::CInfoBalloon() {
    BalloonColoursOf(3, &colours_);  // grey until a verdict says otherwise
}

CInfoBalloon::~CInfoBalloon() {
    Destroy();
}

void CInfoBalloon::SetBHO(IBalloonHost* host) {
    if (!host) {
        REPORT_ASSERT("CInfoBalloon::SetBHO", "NULL pointer");
        return;
    }
    host_ = host;
}

void CInfoBalloon::SetTimerIntervals(UINT delayMs, UINT autoHideMs, UINT onRequestMs) {
    delayMs_ = delayMs;
    autoHideMs_ = autoHideMs;
    onRequestMs_ = onRequestMs;
}

bool CInfoBalloon::Create(HWND owner, const char* title) {
    if (window_) {
        REPORT_ASSERT("CInfoBalloon::Create", "Window exists already");
        return false;
    }
    const UWindowClass& windowClass = BalloonClass(&CInfoBalloon::WindowProcedure);
    if (!windowClass.Registered())
        return false;
    // A tool window: no task bar button, and never activated by showing.
    const HWND window = ::CreateWindowExA(WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, windowClass.Name(), title ? title : "",
                                          WS_POPUP, 0, 0, 0, 0, owner, nullptr, windowClass.Instance(), this);
    if (!window) {
        REPORT_ASSERT("CInfoBalloon::Create", "Failed to create window");
        return false;
    }
    return true;
}

void CInfoBalloon::Destroy() {
    if (window_)
        ::DestroyWindow(window_);  // WM_NCDESTROY forgets it
}

// The window

LRESULT CALLBACK CInfoBalloon::WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    CInfoBalloon* balloon = nullptr;
    if (message == WM_NCCREATE) {
        balloon = static_cast<CInfoBalloon*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
        balloon->window_ = window;
        ::SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(balloon));
    } else {
        balloon = reinterpret_cast<CInfoBalloon*>(::GetWindowLongPtrA(window, GWLP_USERDATA));
    }
    if (!balloon)
        return ::DefWindowProcA(window, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        ::SetWindowLongPtrA(window, GWLP_USERDATA, 0);
        balloon->window_ = nullptr;
        return ::DefWindowProcA(window, message, wParam, lParam);
    }
    return balloon->OnMessage(message, wParam, lParam);
}

LRESULT CInfoBalloon::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE: {
        const LRESULT result = ::DefWindowProcA(window_, message, wParam, lParam);
        try {
            OnCreate();
        } catch (...) {
            REPORT_ASSERT("CInfoBalloon::OnCreate", "Exception thrown");
        }
        return result;
    }
    case WM_DESTROY:
        try {
            OnDestroy();
        } catch (...) {
            REPORT_ASSERT("CInfoBalloon::OnDestroy", "Exception thrown");
        }
        return ::DefWindowProcA(window_, message, wParam, lParam);
    case WM_PAINT:
        try {
            PAINTSTRUCT paint;
            const HDC dc = ::BeginPaint(window_, &paint);
            if (dc)
                Paint(dc);
            ::EndPaint(window_, &paint);
        } catch (...) {
            REPORT_ASSERT("CInfoBalloon::OnPaint", "Exception thrown");
        }
        return 0;
    case WM_PRINTCLIENT:
        // Transparent children draw the balloon beneath them this way.
        try {
            Paint(reinterpret_cast<HDC>(wParam));
        } catch (...) {
            REPORT_ASSERT("CInfoBalloon::OnPaint", "Exception thrown");
        }
        return 0;
    case WM_ERASEBKGND:
        return 1;  // Paint covers everything
    case WM_MOUSEACTIVATE:
        return MA_NOACTIVATE;  // the browser keeps the focus
    case WM_TIMER:
        try {
            OnTimer(static_cast<UINT_PTR>(wParam));
        } catch (...) {
            REPORT_ASSERT("CInfoBalloon::OnTimer", "Exception thrown");
        }
        return 0;
    case kHideMessage:
        try {
            Hide();
        } catch (...) {
            REPORT_ASSERT("CInfoBalloon::OnHide", "Exception thrown");
        }
        return 0;
    default:
        return ::DefWindowProcA(window_, message, wParam, lParam);
    }
}

void CInfoBalloon::OnCreate() {
    const HMODULE module = UWindowClass::ModuleOfThisCode();
    const RECT none = {0, 0, 0, 0};

    close_.Bitmap().SetFrameCount(kCloseFrames);
    close_.Bitmap().SetCurrentFrame(0);
    close_.Bitmap().SetTransparent(true);
    close_.Bitmap().SetTransparentColour(kMagenta);
    close_.Bitmap().LoadFromResource(module, IDB_BALLOON_CLOSE);  // reported by the bitmap
    close_.SetButtonMode(true);
    close_.Create(window_, none, 0, WS_CHILD | WS_VISIBLE, WS_EX_TRANSPARENT);

    title_.SetFont("Tahoma", 15, 900);
    title_.SetDrawFlags(DT_LEFT | DT_TOP | DT_SINGLELINE | DT_NOPREFIX);
    title_.Create(window_, none, kTitle);

    body_.SetFont("Tahoma", 13, 500);
    body_.SetDrawFlags(DT_LEFT | DT_TOP | DT_WORDBREAK | DT_NOPREFIX);
    body_.Create(window_, none);

    for (UTextWnd* link : {&details_, &neverWarn_}) {
        link->SetFont("Tahoma", 11, 500);
        link->SetUnderline(true);
        link->SetTextColour(kLinkBlue);
        link->SetDrawFlags(DT_LEFT | DT_TOP | DT_SINGLELINE | DT_NOPREFIX);
    }
    details_.SetLink(this, kViewDetails);
    details_.Create(window_, none, kDetailsText);
    neverWarn_.SetLink(this, kNeverWarn);
    neverWarn_.Create(window_, none, kNeverWarnText);

    transparency_.SetWindow(window_);
    transparency_.SetTransparency(kOpacityPercent);

    hook_.Reset(::SetWindowsHookExA(WH_CALLWNDPROC, &CInfoBalloon::MoveHookProc, nullptr, ::GetCurrentThreadId()));
    if (!hook_.IsValid() || t_balloon) {
        hook_.Reset();
        REPORT_ASSERT("CInfoBalloon::OnCreate", "Failed to set window hook");
        return;
    }
    t_balloon = this;
}

void CInfoBalloon::OnDestroy() {
    hook_.Reset();
    if (t_balloon == this)
        t_balloon = nullptr;
    ::KillTimer(window_, kDelayTimer);
    ::KillTimer(window_, kAutoHideTimer);
}

// Showing and hiding

void CInfoBalloon::Set(int colour, int verdict, const std::string& text, const std::string& site) {
    colour_ = colour;
    verdict_ = verdict;
    text_ = text;
    site_ = site;
    rules_.Set(verdict, text, site);
    if (!window_)
        return;
    ::SetWindowTextA(window_, text.c_str());
    body_.SetText(text);
    title_.SetText(kTitle);
    ::SetTimer(window_, kDelayTimer, delayMs_, nullptr);
}

void CInfoBalloon::Show(int mode) {
    const bool visible = window_ && ::IsWindowVisible(window_);
    const bool onList = !visible && host_ && host_->IsOnDoNotWarnList(site_);
    if (rules_.Show(mode, visible, onList) == CBalloonShowRules::Decision::kShow)
        ShowNow();
}

void CInfoBalloon::ShowNow() {
    if (!window_)
        return;
    ::ShowWindow(details_.Window(), rules_.ShowDetailsLink() ? SW_SHOWNA : SW_HIDE);
    ::ShowWindow(neverWarn_.Window(), rules_.ShowNeverWarnLink() ? SW_SHOWNA : SW_HIDE);
    Layout();
    Position();
    ::SetWindowPos(window_, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    ::SetTimer(window_, kAutoHideTimer, rules_.CurrentMode() == CBalloonShowRules::kOnRequest ? onRequestMs_ : autoHideMs_,
               nullptr);
    rules_.Shown();
}

void CInfoBalloon::Hide() {
    HideWindow();
    rules_.Hide();
    if (window_)
        ::KillTimer(window_, kAutoHideTimer);
}

void CInfoBalloon::HideWindow() {
    if (window_)
        ::ShowWindow(window_, SW_HIDE);
}

void CInfoBalloon::OnTimer(UINT_PTR timerId) {
    switch (timerId) {
    case kDelayTimer:
        ::KillTimer(window_, kDelayTimer);
        if (rules_.DelayPassed())
            Show(rules_.CurrentMode());
        return;
    case kAutoHideTimer:
        // On request the balloon stays while the pointer rests on it or on
        // the status button's face that brought it up.
        if (rules_.StaysUnderPointer() && PointerStays())
            return;
        HideWindow();
        ::KillTimer(window_, kAutoHideTimer);
        return;
    default:
        REPORT_ASSERT("CInfoBalloon::OnTimer", "Unknown timer ID");
        return;
    }
}

bool CInfoBalloon::PointerStays() const {
    POINT pointer = {};
    if (!::GetCursorPos(&pointer))
        return false;
    RECT window = {};
    ::GetWindowRect(window_, &window);
    win::UniqueRegion region(::CreateRectRgn(0, 0, 0, 0));
    if (region.IsValid() && ::GetWindowRgn(window_, region.Get()) != ERROR &&
        ::PtInRegion(region.Get(), pointer.x - window.left, pointer.y - window.top))
        return true;
    return Anchor().IsOnStatusFace(pointer);
}

// Links

void CInfoBalloon::DoAction(int action) {
    switch (action) {
    case kViewDetails:
        if (!host_) {
            REPORT_ASSERT("CInfoBalloon::DoAction", "No BHO");
            return;
        }
        host_->OpenVendorPage("/sites/" + site_);
        return;
    case kNeverWarn: {
        // Copied: hiding may bring a new verdict in before the notice is made.
        const std::string site = site_;
        if (host_)
            host_->AddToDoNotWarnList(site);
        else
            REPORT_ASSERT("CInfoBalloon::DoAction", "No BHO");
        Hide();
        if (NoticesWanted()) {
            CServerNotify notice("type=whitelist&name=" + site);
            notice.Send(kRPCServiceWindow, 0, 0);
        }
        return;
    }
    default:
        REPORT_ASSERT("CInfoBalloon::DoAction", "Unexpected action code");
        return;
    }
}

void CInfoBalloon::CloseButton::MouseUp(POINT) {
    if (Window())
        ::SendMessageA(::GetParent(Window()), kHideMessage, 0, 0);
}

// Layout, shape and place

void CInfoBalloon::Layout() {
    if (!window_)
        return;
    BalloonColoursOf(colour_, &colours_);  // another code keeps the colours
    BalloonMeasures measures;
    measures.title = ToSize(title_.Measure(0));
    measures.body = ToSize(body_.Measure(kBodyWrapWidth));
    measures.close = ToSize(close_.Bitmap().GetSize());
    measures.details = ToSize(details_.Measure(0));
    measures.neverWarn = ToSize(neverWarn_.Measure(0));
    geometry_ = LayOutBalloon(measures, anchored_, pointerOnRight_);
    MoveChild(title_.Window(), geometry_.title);
    MoveChild(body_.Window(), geometry_.body);
    MoveChild(close_.Window(), geometry_.close);
    MoveChild(details_.Window(), geometry_.details);
    MoveChild(neverWarn_.Window(), geometry_.neverWarn);
    width_ = geometry_.width;
    height_ = geometry_.height;
    ApplyRegion();
    ::InvalidateRect(window_, nullptr, TRUE);
}

void CInfoBalloon::ApplyRegion() {
    const BalloonRect& outline = geometry_.outline;
    win::UniqueRegion region(::CreateRoundRectRgn(outline.left, outline.top, outline.right, outline.bottom,
                                                  kCornerDiameter, kCornerDiameter));
    if (geometry_.hasPointer && region.IsValid()) {
        POINT points[3];
        for (int i = 0; i < 3; ++i)
            points[i] = POINT{geometry_.pointer[i].x, geometry_.pointer[i].y};
        win::UniqueRegion pointer(::CreatePolygonRgn(points, 3, WINDING));
        if (!pointer.IsValid() || ::CombineRgn(region.Get(), region.Get(), pointer.Get(), RGN_OR) != COMPLEXREGION)
            region.Reset();
    }
    if (!region.IsValid()) {
        REPORT_ASSERT("CInfoBalloon::Layout", "Failed to create window's region");
        return;
    }
    if (!::SetWindowRgn(window_, region.Get(), TRUE)) {
        char text[64];
        std::snprintf(text, sizeof text, "Failed to set window's region: %lu", ::GetLastError());
        REPORT_ASSERT("CInfoBalloon::Layout", text);
        return;
    }
    region.Release();  // the window owns it now
}

IBalloonAnchor& CInfoBalloon::Anchor() const {
    return anchor_ ? *anchor_ : ThreadBandAnchor();
}

HWND CInfoBalloon::BrowserTopWindow() const {
    HWND browser = host_ ? host_->BrowserWindow() : nullptr;
    if (!browser && window_)
        browser = ::GetWindow(window_, GW_OWNER);
    const HWND top = browser ? ::GetAncestor(browser, GA_ROOT) : nullptr;
    return top ? top : browser;
}

void CInfoBalloon::Position() {
    if (!window_ || positioning_)
        return;
    positioning_ = true;
    const HWND browser = BrowserTopWindow();
    RECT browserRect = {};
    if (browser)
        ::GetWindowRect(browser, &browserRect);
    // The band is looked up afresh: the user may have closed or reopened it.
    const HWND menuBar = Anchor().MenuBarWindow();
    BalloonPlacement placement;
    if (menuBar && ::IsWindowVisible(menuBar)) {
        RECT menuBarRect = {};
        ::GetWindowRect(menuBar, &menuBarRect);
        placement = PlaceBelowMenuBar(ToBalloonRect(menuBarRect), ToBalloonRect(browserRect), width_);
    } else {
        placement = PlaceInWindowCorner(WorkAreaOf(browser ? browser : window_), ToBalloonRect(browserRect), width_);
    }
    // The pointer and the room for it belong to the shape: a change of
    // anchoring lays the balloon out again before it moves.
    if (placement.anchored != anchored_ || placement.pointerOnRight != pointerOnRight_) {
        anchored_ = placement.anchored;
        pointerOnRight_ = placement.pointerOnRight;
        Layout();
    }
    ::SetWindowPos(window_, nullptr, placement.left, placement.top, width_, height_,
                   SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOOWNERZORDER);
    positioning_ = false;
}

LRESULT CALLBACK CInfoBalloon::MoveHookProc(int code, WPARAM wParam, LPARAM lParam) {
    try {
        CInfoBalloon* balloon = t_balloon;
        if (code >= 0 && balloon) {
            const CWPSTRUCT* record = reinterpret_cast<const CWPSTRUCT*>(lParam);
            if (!record) {
                REPORT_ASSERT("CInfoBalloon::MoveHookProc", "NULL LPARAM");
            } else if (record->message == WM_WINDOWPOSCHANGED && balloon->window_ &&
                       ::IsWindowVisible(balloon->window_) && record->hwnd != balloon->window_ &&
                       !::IsChild(balloon->window_, record->hwnd)) {
                // A hidden balloon is placed when it shows; its own moves
                // and its children's are its doing.
                balloon->Position();
            }
        }
    } catch (...) {
        REPORT_ASSERT("CInfoBalloon::MoveHookProc", "Exception thrown");
    }
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

// Paint

void CInfoBalloon::Paint(HDC dc) {
    RECT client = {};
    ::GetClientRect(window_, &client);
    win::UniqueBrush region(::CreateSolidBrush(colours_.region));
    win::UniqueBrush card(::CreateSolidBrush(colours_.card));
    win::UniquePen border(::CreatePen(PS_SOLID, 1, colours_.border));
    if (!region.IsValid() || !card.IsValid() || !border.IsValid())
        return;
    // The window's own shape, also when it is printed (which is not clipped).
    win::UniqueRegion shape(::CreateRectRgn(0, 0, 0, 0));
    if (shape.IsValid() && ::GetWindowRgn(window_, shape.Get()) != ERROR)
        ::FillRgn(dc, shape.Get(), region.Get());
    else
        ::FillRect(dc, &client, region.Get());
    const HGDIOBJ oldBrush = ::SelectObject(dc, card.Get());
    const HGDIOBJ oldPen = ::SelectObject(dc, border.Get());
    const RECT cardRect = ToRect(geometry_.card);
    ::RoundRect(dc, cardRect.left, cardRect.top, cardRect.right, cardRect.bottom, kCornerDiameter, kCornerDiameter);
    ::SelectObject(dc, oldPen);
    ::SelectObject(dc, oldBrush);
}
