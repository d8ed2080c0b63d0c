#include "tools/BrowserHost/BrowserHost.h"

#include "ie/res/ResourceIds.h"
#include "utils/Com/ScopedBstr.h"
#include "utils/File/LaunchProgram.h"
#include "utils/Text/AnsiWide.h"

#include <commctrl.h>
#include <exdispid.h>

#include <cstdio>
#include <fstream>
#include <sstream>

namespace {

// Where the browser finds add-ons: one subkey per browser helper class, one
// value per toolbar band class.
constexpr char kBrowserHelpersKey[] =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Browser Helper Objects";
constexpr char kToolbarKey[] = "Software\\Microsoft\\Internet Explorer\\Toolbar";
// The rating service's window, which the add-on's monitor brings up.
constexpr char kServiceWindowTitle[] = "Server:{A534759F-A612-4cf7-BA15-D022203D2DD1}";
constexpr char kToolbarAreaClass[] = "QuillonBrowseToolbarArea";

constexpr int kWindowLeft = 16;
constexpr int kWindowTop = 16;
constexpr int kWindowWidth = 840;
constexpr int kWindowHeight = 560;
constexpr int kTitleBarHeight = 24;
constexpr int kAddressBarHeight = kTitleBarHeight + 30;
constexpr int kToolbarHeight = 30;
constexpr int kBandHeight = 26;
constexpr UINT_PTR kPaintSubclassId = 0x51425257;  // "QBRW"

// A face shown this long without change has settled.
constexpr DWORD kSettledMs = 300;
// The balloon comes a second after the add-on asks for it: a step lasts
// at least this long so that its picture shows a balloon that is coming.
constexpr DWORD kBalloonWaitMs = 1400;
constexpr DWORD kSettleLimitMs = 5000;
// An alert is pictured once it has been up this long (painted).
constexpr DWORD kAlertPictureMs = 400;

CBrowserHost* g_host = nullptr;

std::wstring Wide(const std::string& text) {
    return AnsiToWide(text);
}

bool ClassIdFrom(const std::string& text, CLSID& clsid) {
    return SUCCEEDED(::CLSIDFromString(Wide(text).c_str(), &clsid));
}

std::string WindowText(HWND window) {
    char text[1024] = {};
    ::GetWindowTextA(window, text, sizeof text);
    return text;
}

std::string ClassOf(HWND window) {
    char name[64] = {};
    ::GetClassNameA(window, name, sizeof name);
    return name;
}

// The visible top-level windows of this thread other than the browser's.
struct PopUpSearch {
    HWND browser;
    std::vector<HWND> windows;
};

BOOL CALLBACK CollectPopUp(HWND window, LPARAM data) {
    auto* search = reinterpret_cast<PopUpSearch*>(data);
    if (window != search->browser && ::IsWindowVisible(window))
        search->windows.push_back(window);
    return TRUE;
}

std::vector<HWND> PopUps(HWND browserWindow) {
    PopUpSearch search{browserWindow, {}};
    ::EnumThreadWindows(::GetCurrentThreadId(), &CollectPopUp, reinterpret_cast<LPARAM>(&search));
    return search.windows;
}

bool IsDialog(HWND window) {
    return ClassOf(window) == "#32770";
}

// Windows that come and go with the pointer or a menu are not the add-on's doing.
bool IsTransient(HWND window) {
    const std::string name = ClassOf(window);
    return name == "tooltips_class32" || name == "#32768";
}

// The texts of a window and its children, in their order.
BOOL CALLBACK AppendText(HWND child, LPARAM data) {
    const std::string text = WindowText(child);
    if (!text.empty() && ::IsWindowVisible(child)) {
        auto* texts = reinterpret_cast<std::string*>(data);
        if (!texts->empty())
            *texts += " / ";
        *texts += text;
    }
    return TRUE;
}

std::string Texts(HWND window) {
    std::string texts = WindowText(window);
    ::EnumChildWindows(window, &AppendText, reinterpret_cast<LPARAM>(&texts));
    return texts;
}

// Text between two tags, its own tags taken out and its spaces folded.
std::string Element(const std::string& html, const char* open, const char* close, std::size_t& from) {
    const std::size_t start = html.find(open, from);
    const std::size_t end = start == std::string::npos ? start : html.find(close, start);
    if (end == std::string::npos)
        return std::string();
    from = end;
    std::string text;
    bool inTag = false;
    for (std::size_t i = start + std::char_traits<char>::length(open); i < end; ++i) {
        const char c = html[i];
        if (c == '<' || c == '>') {
            inTag = c == '<';
            continue;
        }
        if (inTag)
            continue;
        if (c == '\r' || c == '\n' || c == '\t' || c == ' ') {
            if (!text.empty() && text.back() != ' ')
                text += ' ';
            continue;
        }
        text += c;
    }
    return text;
}

// The heading and first paragraph of a page of the add-on's own, shown from
// its file (the browser shows such pages offline).
struct LocalPage {
    std::string heading;
    std::string paragraph;
};

LocalPage ReadLocalPage(const std::string& url) {
    LocalPage page;
    if (url.compare(0, 8, "file:///") != 0)
        return page;
    const std::size_t query = url.find('?');
    std::ifstream file(url.substr(8, query == std::string::npos ? std::string::npos : query - 8), std::ios::binary);
    std::stringstream html;
    html << file.rdbuf();
    std::size_t at = 0;
    page.heading = Element(html.str(), "<h1>", "</h1>", at);
    page.paragraph = Element(html.str(), "<p>", "</p>", at);
    return page;
}

std::string HostOf(const std::string& url) {
    const std::size_t scheme = url.find("://");
    if (scheme == std::string::npos)
        return url;
    const std::size_t start = scheme + 3;
    return url.substr(start, url.find_first_of("/?#", start) - start);
}

}  // namespace

CBrowserHost::CBrowserHost(Settings settings) : settings_(std::move(settings)) {
    g_host = this;
}

CBrowserHost::~CBrowserHost() {
    Close();
    g_host = nullptr;
}

bool CBrowserHost::Open(std::string& error) {
    if (!Register(error))
        return false;
    CreateWindows();
    if (!LoadHelpers(error))
        return false;
    if (!WaitForService()) {
        error = "the rating service did not come up within " + std::to_string(settings_.serviceWaitMs / 1000) +
                " s of the add-on starting it";
        return false;
    }
    LoadBand();
    faces_ = std::make_unique<CStatusFaceReader>(::GetModuleHandleA(settings_.module.c_str()));
    alertTimer_ = ::SetTimer(nullptr, 0, 100, &CBrowserHost::AlertTimer);
    Pump(200);
    return true;
}

bool CBrowserHost::Register(std::string& error) {
    char system[MAX_PATH] = {};
    ::GetSystemDirectoryA(system, MAX_PATH);
    const std::string regsvr32 = std::string(system) + "\\regsvr32.exe";
    const std::string arguments = "/s \"" + settings_.module + "\"";
    const int code = LaunchProgram(regsvr32.c_str(), arguments.c_str(), 0, true);
    if (code != 0) {
        error = "regsvr32 /s " + settings_.module + " failed with exit code " + std::to_string(code);
        return false;
    }
    return true;
}

void CBrowserHost::CreateWindows() {
    browser_ = testing_support::FakeBrowser::Create(true);
    const HWND frame = browser_->FrameWindow();
    WNDCLASSA area = {};
    area.lpfnWndProc = &::DefWindowProcA;
    area.hInstance = ::GetModuleHandleA(nullptr);
    area.hbrBackground = ::GetSysColorBrush(COLOR_BTNFACE);
    area.hCursor = ::LoadCursor(nullptr, IDC_ARROW);
    area.lpszClassName = kToolbarAreaClass;
    ::RegisterClassA(&area);
    toolbarArea_ = ::CreateWindowExA(0, kToolbarAreaClass, "", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, 10,
                                     10, frame, nullptr, area.hInstance, nullptr);
    titleFont_.Reset(::CreateFontA(-22, 0, 0, 0, FW_BOLD, 0, 0, 0, DEFAULT_CHARSET, 0, 0, CLEARTYPE_QUALITY, 0,
                                   "Tahoma"));
    textFont_.Reset(::CreateFontA(-13, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, CLEARTYPE_QUALITY, 0,
                                  "Tahoma"));
    ::SetWindowSubclass(frame, &CBrowserHost::PaintSubclass, kPaintSubclassId, reinterpret_cast<DWORD_PTR>(this));
    ::SetWindowSubclass(browser_->ViewWindow(), &CBrowserHost::PaintSubclass, kPaintSubclassId,
                        reinterpret_cast<DWORD_PTR>(this));
    SubclassDocument();
    ::SetWindowTextA(frame, "quillon-browse");
    // Its own title bar: with no window manager on the display nobody else
    // would draw one, and the picture should say which page it shows.
    ::SetWindowLongPtrA(frame, GWL_STYLE, WS_POPUP | WS_BORDER | WS_CLIPCHILDREN);
    ::SetWindowPos(frame, HWND_TOP, kWindowLeft, kWindowTop, kWindowWidth, kWindowHeight,
                   SWP_SHOWWINDOW | SWP_FRAMECHANGED);
    Layout();
    ::SetForegroundWindow(frame);
    ::UpdateWindow(frame);
}

void CBrowserHost::Layout() {
    RECT client = {};
    ::GetClientRect(browser_->FrameWindow(), &client);
    const int width = client.right - client.left;
    ::MoveWindow(toolbarArea_, 0, kAddressBarHeight, width, kToolbarHeight, TRUE);
    const int pageTop = kAddressBarHeight + kToolbarHeight;
    ::MoveWindow(browser_->ViewWindow(), 0, pageTop, width, client.bottom - pageTop, TRUE);
    ::MoveWindow(browser_->DocumentWindow(), 0, 0, width, client.bottom - pageTop, TRUE);
    if (bandWindow_ && band_) {
        DESKBANDINFO info = {};
        info.dwMask = DBIM_MINSIZE | DBIM_ACTUAL;
        band_->GetBandInfo(0, DBIF_VIEWMODE_NORMAL, &info);
        // A toolbar row of the browser, never lower than the band asks.
        const int height = info.ptMinSize.y > kBandHeight && info.ptMinSize.y < kToolbarHeight ? info.ptMinSize.y
                                                                                            : kBandHeight;
        ::MoveWindow(bandWindow_, 4, (kToolbarHeight - height) / 2, width - 8, height, TRUE);
    }
}

bool CBrowserHost::LoadHelpers(std::string& error) {
    HKEY key = nullptr;
    if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, kBrowserHelpersKey, 0, KEY_READ, &key) != ERROR_SUCCESS) {
        error = "no browser helper is registered";
        return false;
    }
    const win::UniqueRegKey helpers(key);
    for (DWORD index = 0;; ++index) {
        char name[128] = {};
        DWORD length = sizeof name;
        if (::RegEnumKeyExA(helpers.Get(), index, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        CLSID clsid = {};
        if (!ClassIdFrom(name, clsid))
            continue;
        win::ComPtr<IObjectWithSite> helper;
        const HRESULT created = ::CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IObjectWithSite,
                                                   helper.ReleaseAndGetVoidAddressOf());
        if (FAILED(created)) {
            std::fprintf(stderr, "quillon-browse: browser helper %s could not be created (0x%08lX)\n", name,
                         static_cast<unsigned long>(created));
            continue;
        }
        const HRESULT sited = helper->SetSite(static_cast<IWebBrowser2*>(browser_.Get()));
        if (FAILED(sited)) {
            std::fprintf(stderr, "quillon-browse: browser helper %s refused its site (0x%08lX)\n", name,
                         static_cast<unsigned long>(sited));
            continue;
        }
        helpers_.push_back(helper);
    }
    if (helpers_.empty()) {
        error = "no registered browser helper could be loaded";
        return false;
    }
    return true;
}

bool CBrowserHost::WaitForService() {
    const ULONGLONG deadline = ::GetTickCount64() + settings_.serviceWaitMs;
    while (!::FindWindowA(nullptr, kServiceWindowTitle)) {
        if (::GetTickCount64() >= deadline)
            return false;
        Pump(50);
    }
    return true;
}

void CBrowserHost::LoadBand() {
    HKEY key = nullptr;
    if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, kToolbarKey, 0, KEY_READ, &key) != ERROR_SUCCESS) {
        bandProblem_ = "no toolbar band is registered";
        return;
    }
    const win::UniqueRegKey toolbars(key);
    bandProblem_ = "no toolbar band is registered";
    for (DWORD index = 0;; ++index) {
        char name[128] = {};
        DWORD length = sizeof name;
        if (::RegEnumValueA(toolbars.Get(), index, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        CLSID clsid = {};
        if (!ClassIdFrom(name, clsid))
            continue;
        win::ComPtr<IDeskBand> band;
        const HRESULT created =
            ::CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IDeskBand, band.ReleaseAndGetVoidAddressOf());
        if (FAILED(created)) {
            char text[160];
            std::snprintf(text, sizeof text, "the band %s is registered, but its class does not answer (0x%08lX)", name,
                          static_cast<unsigned long>(created));
            bandProblem_ = text;
            continue;
        }
        bandSite_ = CBandSite::Create(toolbarArea_, static_cast<IWebBrowser2*>(browser_.Get()));
        win::ComPtr<IObjectWithSite> sited;
        HWND window = nullptr;
        if (FAILED(band.As(&sited)) || FAILED(sited->SetSite(static_cast<IOleWindow*>(bandSite_.Get()))) ||
            FAILED(band->GetWindow(&window)) || !window) {
            bandProblem_ = "the toolbar band did not take its place in the toolbar area";
            if (sited)
                sited->SetSite(nullptr);
            continue;
        }
        band_ = band;
        bandWindow_ = window;
        // The browser's toolbar area is a rebar, which takes the band's
        // window in as its own child when the band is inserted.
        ::SetParent(bandWindow_, toolbarArea_);
        Layout();
        band_->ShowDW(TRUE);
        ::ShowWindow(bandWindow_, SW_SHOW);
        bandProblem_.clear();
        return;
    }
}

// --- Steps ---------------------------------------------------------------------------

StepOutcome CBrowserHost::Play(const SessionStep& step, int number, const std::string& picture) {
    StepOutcome outcome;
    outcome.number = number;
    alertSeen_ = false;
    alertText_.clear();
    alertPicture_.reset();
    if (step.kind == SessionStep::Kind::kPage)
        PlayPage(step, outcome);
    else
        PlayTyping(step, outcome);
    Observe(outcome);
    TakePicture(outcome, picture);
    return outcome;
}

void CBrowserHost::PlayPage(const SessionStep& step, StepOutcome& outcome) {
    outcome.action = "page " + step.url;
    browser_->ClearCalls();
    auto content = std::make_unique<CPageContent>(step);
    const std::size_t frames = content->Frames().size();
    if (Load(std::move(content), false)) {
        if (frames > 0)
            outcome.note = std::to_string(frames) + (frames == 1 ? " frame" : " frames");
        Settle(kBalloonWaitMs);
        return;
    }
    outcome.cancelled = true;
    // A handler that cancels may send the browser elsewhere; the browser
    // then goes on with that navigation, announced inside the handler.
    bool redirected = false;
    for (const std::string& call : browser_->Calls())
        redirected = redirected || call.compare(0, 9, "Navigate ") == 0;
    if (redirected) {
        win::ScopedBstr location;
        browser_->get_LocationURL(location.Receive());
        outcome.wentTo = location.Get() ? WideToAnsi(location.Get()) : std::string();
        Load(std::make_unique<CPageContent>(outcome.wentTo), true);
    }
    Settle(kBalloonWaitMs);
}

void CBrowserHost::PlayTyping(const SessionStep& step, StepOutcome& outcome) {
    outcome.action = "type \"" + step.text + "\" into " + step.field;
    if (!page_ || !page_->Focus(step.field)) {
        outcome.note = "the page on display has no field " + step.field;
        return;
    }
    const HWND document = browser_->DocumentWindow();
    ::SetFocus(document);
    // Keys as the keyboard delivers them to the document window.
    for (const char c : step.text) {
        const SHORT key = ::VkKeyScanA(c);
        const WPARAM virtualKey = key == -1 ? 0 : static_cast<WPARAM>(key & 0xFF);
        ::PostMessageA(document, WM_KEYDOWN, virtualKey, 1);
        ::PostMessageA(document, WM_CHAR, static_cast<WPARAM>(static_cast<unsigned char>(c)), 1);
        ::PostMessageA(document, WM_KEYUP, virtualKey, 0xC0000001);
        page_->Type(std::string(1, c));
    }
    ::InvalidateRect(document, nullptr, TRUE);
    Settle(kBalloonWaitMs);
}

bool CBrowserHost::Load(std::unique_ptr<CPageContent> content, bool announced) {
    IDispatch* top = static_cast<IWebBrowser2*>(browser_.Get());
    const std::wstring url = Wide(content->Url());
    browser_->SetReadyState(READYSTATE_LOADING);
    if (!announced && browser_->FireBeforeNavigate2(top, url)) {
        browser_->SetReadyState(READYSTATE_COMPLETE);
        return false;
    }
    browser_->FireDownloadBegin();
    browser_->FireCommandStateChange(CSC_UPDATECOMMANDS, true);
    // The new document comes with a new document window.
    browser_->ReplaceDocumentWindow();
    SubclassDocument();
    Layout();
    page_ = std::move(content);
    browser_->SetDocument(page_->Document());
    browser_->SetLocation(url);
    ::SetWindowTextA(browser_->FrameWindow(), ("quillon-browse - " + page_->Url()).c_str());
    ::InvalidateRect(browser_->FrameWindow(), nullptr, TRUE);
    browser_->FireNavigateComplete2(top, url);
    // Frames navigate between the page's NavigateComplete2 and its DocumentComplete.
    std::vector<const CPageContent::Frame*> loaded;
    for (const CPageContent::Frame& frame : page_->Frames()) {
        IDispatch* disp = static_cast<IWebBrowser2*>(frame.browser.Get());
        const std::wstring frameUrl = Wide(frame.url);
        if (browser_->FireBeforeNavigate2(disp, frameUrl))
            continue;
        browser_->FireNavigateComplete2(disp, frameUrl);
        loaded.push_back(&frame);
    }
    for (const CPageContent::Frame* frame : loaded)
        browser_->FireDocumentComplete(static_cast<IWebBrowser2*>(frame->browser.Get()), Wide(frame->url));
    browser_->SetReadyState(READYSTATE_COMPLETE);
    browser_->FireDocumentComplete(top, url);
    browser_->FireDownloadComplete();
    return true;
}

void CBrowserHost::Pump(DWORD milliseconds) {
    const ULONGLONG end = ::GetTickCount64() + milliseconds;
    for (;;) {
        MSG message;
        while (::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&message);
            ::DispatchMessageA(&message);
        }
        const ULONGLONG now = ::GetTickCount64();
        if (now >= end)
            return;
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(end - now), QS_ALLINPUT);
    }
}

std::string CBrowserHost::ReadStatus() const {
    if (!bandWindow_ || !faces_)
        return std::string();
    return faces_->Read(CStatusFaceReader::FindButton(bandWindow_));
}

void CBrowserHost::Settle(DWORD minimumMs) {
    const ULONGLONG start = ::GetTickCount64();
    if (!bandWindow_) {
        // Nothing on screen tells when the add-on is done: the longest wait.
        Pump(minimumMs);
        return;
    }
    std::string last = ReadStatus();
    ULONGLONG changed = start;
    for (;;) {
        Pump(50);
        const ULONGLONG now = ::GetTickCount64();
        const std::string face = ReadStatus();
        if (face != last) {
            last = face;
            changed = now;
        }
        const bool settled = !face.empty() && face != "wait" && now - changed >= kSettledMs;
        if ((settled && now - start >= minimumMs) || now - start >= kSettleLimitMs)
            return;
    }
}

void CBrowserHost::Observe(StepOutcome& outcome) {
    outcome.status = ReadStatus();
    if (outcome.status.empty())
        outcome.statusMissing = bandWindow_ ? "the band shows none" : "no toolbar band";
    for (const HWND window : PopUps(browser_->FrameWindow())) {
        if (IsDialog(window) || IsTransient(window))
            continue;
        outcome.balloonShown = true;
        outcome.balloonText = Texts(window);
        break;
    }
    outcome.alertShown = alertSeen_;
    outcome.alertText = alertText_;
}

void CBrowserHost::TakePicture(StepOutcome& outcome, const std::string& picture) {
    const HWND frame = browser_->FrameWindow();
    buttonInPicture_ = RECT{};
    if (const HWND button = bandWindow_ ? CStatusFaceReader::FindButton(bandWindow_) : nullptr) {
        RECT frameRect = {};
        ::GetWindowRect(frame, &frameRect);
        ::GetWindowRect(button, &buttonInPicture_);
        ::OffsetRect(&buttonInPicture_, -frameRect.left, -frameRect.top);
    }
    // An alert's picture was taken while it was up; it shows the page too.
    std::unique_ptr<testing_support::WindowCapture> capture = std::move(alertPicture_);
    if (!capture)
        capture = PictureOfWindows();
    if (capture->IsValid() && SUCCEEDED(capture->SavePng(settings_.outputFolder + picture)))
        outcome.picture = picture;
}

std::unique_ptr<testing_support::WindowCapture> CBrowserHost::PictureOfWindows() const {
    // Each window from its own DC, the pop-ups laid over the browser window
    // in their places: Wine's screen does not always show a band window
    // that the toolbar area took in, though the window has drawn it.
    const HWND frame = browser_->FrameWindow();
    auto picture = std::make_unique<testing_support::WindowCapture>(
        frame, testing_support::WindowCapture::Source::WindowDC);
    RECT frameRect = {};
    ::GetWindowRect(frame, &frameRect);
    std::vector<HWND> popUps = PopUps(frame);
    // EnumThreadWindows goes from the top of the z-order down; lay them bottom first.
    for (auto window = popUps.rbegin(); window != popUps.rend(); ++window) {
        RECT rect = {};
        ::GetWindowRect(*window, &rect);
        const testing_support::WindowCapture popUp(*window, testing_support::WindowCapture::Source::WindowDC);
        if (popUp.IsValid())
            picture->Paste(popUp, rect.left - frameRect.left, rect.top - frameRect.top);
    }
    return picture;
}

// --- The alert -----------------------------------------------------------------------

void CALLBACK CBrowserHost::AlertTimer(HWND, UINT, UINT_PTR, DWORD) {
    try {
        if (g_host)
            g_host->CheckForAlert();
    } catch (...) {
        std::fprintf(stderr, "quillon-browse: CBrowserHost::AlertTimer: Exception thrown\n");
    }
}

void CBrowserHost::CheckForAlert() {
    HWND dialog = nullptr;
    for (const HWND window : PopUps(browser_ ? browser_->FrameWindow() : nullptr)) {
        if (IsDialog(window))
            dialog = window;
    }
    if (!dialog) {
        alertDialog_ = nullptr;
        return;
    }
    const ULONGLONG now = ::GetTickCount64();
    if (dialog != alertDialog_) {
        alertDialog_ = dialog;
        alertSince_ = now;
        return;
    }
    if (alertSince_ == 0 || now - alertSince_ < kAlertPictureMs)
        return;
    alertSince_ = 0;  // this dialog is handled; it closes below
    alertSeen_ = true;
    // The reason the alert gives, else whatever texts it shows.
    char reason[1024] = {};
    ::GetDlgItemTextA(dialog, IDC_ALERT_REASON, reason, sizeof reason);
    alertText_ = reason[0] ? reason : Texts(dialog);
    ::RedrawWindow(dialog, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    alertPicture_ = PictureOfWindows();
    // The user reads it and closes it with its button.
    const HWND close = ::GetDlgItem(dialog, IDOK);
    if (close)
        ::PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(close));
    else
        ::PostMessageA(dialog, WM_CLOSE, 0, 0);
}

// --- Painting ------------------------------------------------------------------------

void CBrowserHost::SubclassDocument() {
    ::SetWindowSubclass(browser_->DocumentWindow(), &CBrowserHost::PaintSubclass, kPaintSubclassId,
                        reinterpret_cast<DWORD_PTR>(this));
}

LRESULT CALLBACK CBrowserHost::PaintSubclass(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                             DWORD_PTR data) {
    try {
        auto* host = reinterpret_cast<CBrowserHost*>(data);
        switch (message) {
        case WM_ERASEBKGND:
            return 1;
        case WM_PAINT: {
            PAINTSTRUCT paint;
            const HDC dc = ::BeginPaint(window, &paint);
            RECT client = {};
            ::GetClientRect(window, &client);
            if (window == host->browser_->FrameWindow())
                host->PaintAddressBar(dc, client);
            else if (window == host->browser_->DocumentWindow())
                host->PaintPage(window, dc);
            else
                ::FillRect(dc, &client, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
            ::EndPaint(window, &paint);
            return 0;
        }
        case WM_NCDESTROY:
            ::RemoveWindowSubclass(window, &CBrowserHost::PaintSubclass, kPaintSubclassId);
            break;
        default:
            break;
        }
    } catch (...) {
        std::fprintf(stderr, "quillon-browse: CBrowserHost::PaintSubclass: Exception thrown\n");
    }
    return ::DefSubclassProc(window, message, wParam, lParam);
}

void CBrowserHost::PaintAddressBar(HDC dc, const RECT& client) {
    const std::string url = page_ ? page_->Url() : std::string();
    RECT titleBar = {client.left, client.top, client.right, kTitleBarHeight};
    const win::UniqueBrush titleBrush(::CreateSolidBrush(RGB(0x1F, 0x4E, 0x9A)));
    ::FillRect(dc, &titleBar, titleBrush.Get());
    const HGDIOBJ oldFont = ::SelectObject(dc, textFont_.Get());
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, RGB(0xFF, 0xFF, 0xFF));
    RECT caption = {8, 0, client.right - 8, kTitleBarHeight};
    const std::string title = url.empty() ? "quillon-browse" : "quillon-browse - " + url;
    ::DrawTextA(dc, title.c_str(), -1, &caption, DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_NOPREFIX);
    ::SetTextColor(dc, RGB(0, 0, 0));
    RECT bar = {client.left, kTitleBarHeight, client.right, kAddressBarHeight};
    ::FillRect(dc, &bar, ::GetSysColorBrush(COLOR_BTNFACE));
    RECT label = {8, kTitleBarHeight, 80, kAddressBarHeight};
    ::DrawTextA(dc, "Address", -1, &label, DT_SINGLELINE | DT_VCENTER);
    RECT box = {72, kTitleBarHeight + 4, client.right - 8, kAddressBarHeight - 4};
    ::FillRect(dc, &box, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
    ::FrameRect(dc, &box, ::GetSysColorBrush(COLOR_BTNSHADOW));
    RECT text = {box.left + 6, box.top, box.right - 4, box.bottom};
    ::DrawTextA(dc, url.c_str(), -1, &text, DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_NOPREFIX);
    ::SelectObject(dc, oldFont);
}

void CBrowserHost::PaintPage(HWND window, HDC dc) {
    RECT client = {};
    ::GetClientRect(window, &client);
    ::FillRect(dc, &client, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
    if (!page_)
        return;
    ::SetBkMode(dc, TRANSPARENT);
    const HGDIOBJ oldFont = ::SelectObject(dc, titleFont_.Get());
    const LocalPage local = ReadLocalPage(page_->Url());
    const std::string heading = local.heading.empty() ? HostOf(page_->Url()) : local.heading;
    RECT line = {24, 20, client.right - 24, 52};
    ::SetTextColor(dc, local.heading.empty() ? RGB(0x22, 0x33, 0x66) : RGB(0xB0, 0, 0));
    ::DrawTextA(dc, heading.c_str(), -1, &line, DT_SINGLELINE | DT_END_ELLIPSIS | DT_NOPREFIX);
    ::SelectObject(dc, textFont_.Get());
    ::SetTextColor(dc, RGB(0x44, 0x44, 0x44));
    line = RECT{24, 56, client.right - 24, 74};
    ::DrawTextA(dc, page_->Url().c_str(), -1, &line, DT_SINGLELINE | DT_END_ELLIPSIS | DT_NOPREFIX);
    int top = 92;
    if (!local.paragraph.empty()) {
        RECT text = {24, top, client.right - 120, top + 80};
        ::SetTextColor(dc, RGB(0x22, 0x22, 0x22));
        ::DrawTextA(dc, local.paragraph.c_str(), -1, &text, DT_WORDBREAK | DT_NOPREFIX);
        top += 90;
    }
    for (const CPageContent::Frame& frame : page_->Frames()) {
        RECT box = {24, top, client.right - 24, top + 44};
        ::FrameRect(dc, &box, ::GetSysColorBrush(COLOR_BTNSHADOW));
        RECT text = {box.left + 10, box.top, box.right - 10, box.bottom};
        const std::string caption = "frame: " + frame.url;
        ::DrawTextA(dc, caption.c_str(), -1, &text, DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_NOPREFIX);
        top += 54;
    }
    for (const SessionForm& form : page_->Forms()) {
        const int height = 16 + 30 * static_cast<int>(form.fields.size());
        RECT box = {24, top, 420, top + height};
        ::FillRect(dc, &box, ::GetSysColorBrush(COLOR_BTNFACE));
        int y = top + 10;
        for (const SessionField& field : form.fields) {
            RECT label = {36, y, 150, y + 22};
            ::DrawTextA(dc, field.name.c_str(), -1, &label, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
            RECT input = {156, y, 404, y + 22};
            ::FillRect(dc, &input, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
            const bool focused = field.name == page_->FocusedField();
            ::FrameRect(dc, &input, focused ? static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH))
                                            : ::GetSysColorBrush(COLOR_BTNSHADOW));
            std::string value;
            if (focused)
                value = (field.type == "password" ? std::string(page_->Typed().size(), '*') : page_->Typed()) + "|";
            RECT text = {input.left + 5, input.top, input.right - 4, input.bottom};
            ::DrawTextA(dc, value.c_str(), -1, &text, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
            y += 30;
        }
        top += height + 12;
    }
    ::SelectObject(dc, oldFont);
}

// --- Closing -------------------------------------------------------------------------

void CBrowserHost::Close() {
    if (alertTimer_) {
        ::KillTimer(nullptr, alertTimer_);
        alertTimer_ = 0;
    }
    if (!browser_)
        return;
    // The browser says it quits, then takes every add-on off its site.
    browser_->FireQuit();
    for (win::ComPtr<IObjectWithSite>& helper : helpers_)
        helper->SetSite(nullptr);
    helpers_.clear();
    if (band_) {
        band_->ShowDW(FALSE);
        band_->CloseDW(0);
        win::ComPtr<IObjectWithSite> sited;
        if (SUCCEEDED(band_.As(&sited)))
            sited->SetSite(nullptr);
        band_.Reset();
        bandWindow_ = nullptr;
    }
    if (bandSite_) {
        bandSite_->Detach();
        bandSite_.Reset();
    }
    faces_.reset();
    browser_->SetDocument(nullptr);
    page_.reset();
    browser_.Reset();
    ::CoFreeUnusedLibraries();
}
