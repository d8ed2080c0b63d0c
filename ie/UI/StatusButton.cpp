#include "ie/UI/StatusButton.h"

#include "ie/Evaluation/Evaluator.h"
#include "ie/Evaluation/IBalloonDisplay.h"
#include "ie/Module/ModuleLock.h"
#include "ie/UI/AboutDlg.h"
#include "ie/UI/DeferredRelease.h"
#include "ie/UI/MenuBarWnd.h"
#include "ie/UI/SettingsDlg.h"
#include "ie/res/ResourceIds.h"
#include "ie/res/Version.h"
#include "utils/Diagnostics/ReportAssert.h"
#include "utils/Menu/UMenu.h"

#include <commctrl.h>

#include <mutex>

namespace {

constexpr int kNoClassification = 99;
constexpr int kClassificationUnknown = 3;

std::mutex& EditorLock() {
    static std::mutex lock;
    return lock;
}

IUIHost::ListEditor& ListEditorSlot() {
    static IUIHost::ListEditor editor;
    return editor;
}

IUIHost::ListEditor ListEditor() {
    std::lock_guard<std::mutex> guard(EditorLock());
    return ListEditorSlot();
}

}  // namespace

CStatusButton::CStatusButton(CMenuBarWnd& menuBar, IUnknown* owner) : menuBar_(menuBar), owner_(owner) {
    // The top-left pixel's colour is left out of every face.
    Bitmap().SetTransparent(true);
}

CStatusButton::~CStatusButton() {
    DestroyTooltip();
}

void CStatusButton::SetListEditor(IUIHost::ListEditor editor) {
    std::lock_guard<std::mutex> guard(EditorLock());
    ListEditorSlot() = std::move(editor);
}

bool CStatusButton::ShowFace(UINT id, int frameCount, bool asButton) {
    const bool loaded = Bitmap().LoadFromResource(ModuleInstance(), id);
    face_ = loaded ? id : 0;
    Bitmap().SetFrameCount(frameCount);
    Bitmap().SetCurrentFrame(0);
    StopAnimation();
    SetButtonMode(asButton);
    Redraw();
    return loaded;
}

bool CStatusButton::IsOnFace(POINT point) const {
    RECT client = {};
    if (!Window() || !::GetClientRect(Window(), &client))
        return false;
    client.right -= kArrowWidth;
    return ::PtInRect(&client, point) != FALSE;
}

// The balloon

void CStatusButton::ShowBalloon(bool byUser) {
    win::ComPtr<IUIHost> host = FindUIHost();
    IBalloonDisplay* balloon = host ? host->GetBalloon() : nullptr;
    if (!balloon) {
        REPORT_ASSERT("CStatusButton::ShowBalloon", "Couldn't find the balloon");
        return;
    }
    if (byUser)
        balloon->Show(IBalloonDisplay::kShowOnRequest);
    else
        balloon->Hide();
}

void CStatusButton::MouseMove(POINT point) {
    if (IsOnFace(point))
        ::SetTimer(Window(), kBalloonTimer, kBalloonInterval, nullptr);
}

void CStatusButton::TimerElapsed(UINT_PTR timerId) {
    if (timerId == kBalloonTimer)
        OnBalloonTimer();
    else if (timerId == kReEnableTimer)
        OnReEnableTimer();
}

void CStatusButton::OnBalloonTimer() {
    POINT pointer = {};
    ::GetCursorPos(&pointer);
    ::ScreenToClient(Window(), &pointer);
    if (!IsOnFace(pointer)) {
        ::KillTimer(Window(), kBalloonTimer);
        return;
    }
    win::ComPtr<IUIHost> host = FindUIHost();
    if (host && host->IsEnabled() && host->Evaluator().GetCurrentClassification() != kNoClassification)
        ShowBalloon(true);
}

// Clicks

bool CStatusButton::MouseDown(POINT point) {
    // When the click came, not when the balloon is out of the way.
    const DWORD now = ::GetTickCount();
    ::KillTimer(Window(), kBalloonTimer);
    ShowBalloon(false);
    win::ComPtr<IUIHost> host = FindUIHost();
    if (!host)
        return false;
    if (IsOnFace(point)) {
        ViewSiteDetails(*host.Get());
        return false;
    }
    if (menuClosed_ && now - menuClosedTick_ <= kReopenPause)
        return false;
    RunMenu(*host.Get());
    return false;
}

void CStatusButton::ViewSiteDetails(IUIHost& host) {
    const int classification = host.Evaluator().GetCurrentClassification();
    if (classification == kNoClassification)
        return;
    if (classification == kClassificationUnknown)
        host.OpenVendorPage("/dossiers/unknown.html");
    else
        host.OpenVendorPage("/sites/" + host.Evaluator().GetCurrentDomain());
}

bool CStatusButton::StillOpen(HWND window) const {
    return window && ::IsWindow(window) && Window() == window;
}

void CStatusButton::RunMenu(IUIHost& host) {
    UMenu menu;
    if (!menu.Load(ModuleInstance(), IDR_PRODUCT_MENU))
        return;  // reported by the menu
    PrepareMenu(menu, host);

    RECT button = {};
    RECT browser = {};
    ::GetWindowRect(Window(), &button);
    if (!host.BrowserWindow() || !::GetWindowRect(host.BrowserWindow(), &browser))
        browser = button;
    const bool leftHalf = (button.left + button.right) / 2 < (browser.left + browser.right) / 2;
    const POINT at = leftHalf ? POINT{button.left + 2, button.bottom} : POINT{button.right - 2, button.bottom};
    const UINT alignment = leftHalf ? TPM_LEFTALIGN : TPM_RIGHTALIGN;

    // The menu's loop runs while browser events go on: the band may be
    // closed and let go of, and the helper detached, before it returns.
    // The caller holds the helper; the band is held here.
    const HWND window = Window();
    if (owner_)
        owner_->AddRef();
    menuOpen_ = true;
    const int command = menuTracker_ ? menuTracker_(menu.Popup(), at, alignment)
                                     : static_cast<int>(menu.TrackPopupMenu(at.x, at.y, alignment));
    menuClosed_ = true;
    menuClosedTick_ = ::GetTickCount();
    if (StillOpen(window)) {
        if (command < 0)
            REPORT_ASSERT("CStatusButton::MouseDown", "Error tracking menu");
        else if (command > 0)
            RunCommand(command, host);
    }
    menuOpen_ = false;
    ReleaseLater(owner_);
}

void CStatusButton::PrepareMenu(UMenu& menu, IUIHost& host) {
    const bool verdict =
        menuBar_.VerdictShown() && host.Evaluator().GetCurrentClassification() != kNoClassification;
    menu.EnableItem(ID_MENU_SHOW_BALLOON, verdict);
    menu.EnableItem(ID_MENU_VIEW_SITE_DETAILS, verdict);
    menu.SetItemText(ID_MENU_ENABLE, host.IsEnabled() ? "Disable" : "Enable");
}

void CStatusButton::RunCommand(int command, IUIHost& host) {
    switch (command) {
    case ID_MENU_SHOW_BALLOON:
        ShowBalloon(true);
        break;
    case ID_MENU_VIEW_SITE_DETAILS:
        ViewSiteDetails(host);
        break;
    case ID_MENU_SETTINGS:
        RunSettings(host);
        break;
    case ID_MENU_DO_NOT_WARN_LIST: {
        const IUIHost::ListEditor editor = ListEditor();
        if (!editor) {
            REPORT_ASSERT("CStatusButton::MouseDown", "No do-not-warn list editor");
            break;
        }
        host.EditDoNotWarnList(editor);
        break;
    }
    case ID_MENU_ENABLE:
        ToggleEnabled(host);
        break;
    case ID_MENU_TELL_A_FRIEND:
        host.OpenVendorPage("/tellafriend.html");
        break;
    case ID_MENU_SEND_FEEDBACK:
        host.SendFeedback();
        break;
    case ID_MENU_GET_LATEST:
        host.OpenVendorPage("/ie_upgrade.html?version=" QUILLON_VERSION_STRING);
        break;
    case ID_MENU_HELP:
        host.OpenVendorPage("/help/iepluginhelp.html");
        break;
    case ID_MENU_ABOUT:
        CAboutDlg(host.BrowserWindow()).Run(::GetActiveWindow());
        break;
    default:
        REPORT_ASSERT("CStatusButton::MouseDown", "Unhandled menu pick");
        break;
    }
}

void CStatusButton::ToggleEnabled(IUIHost& host) {
    const bool enable = !host.IsEnabled();
    host.SetEnabled(enable ? 1 : 0);
    if (enable)
        ShowReEnable();
    else
        menuBar_.ShowOff();
}

void CStatusButton::RunSettings(IUIHost& host) {
    const HWND window = Window();
    CSettingsDlg settings(host.BrowserWindow());
    const INT_PTR result = settings.Run(::GetActiveWindow());
    // Nothing more for a band that was closed meanwhile.
    if (result == 1 && settings.SafeSearchChanged() && StillOpen(window))
        host.RefreshIfSearchPage();
}

// Tooltips

bool CStatusButton::CreateTooltip() {
    if (tooltip_)
        return true;
    tooltip_ = ::CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr,
                                 WS_POPUP | WS_VISIBLE | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT,
                                 CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, Window(), nullptr, nullptr, nullptr);
    if (!tooltip_) {
        REPORT_ASSERT("CStatusButton::ShowReEnable", "Could not create window");
        return false;
    }
    ::SetWindowPos(tooltip_, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    return true;
}

bool CStatusButton::AddTool(UINT id, UINT flags, const char* text) {
    TOOLINFOA tool = {};
    // The size comctl32 5.x accepts too (browsers without a v6 manifest).
    tool.cbSize = TTTOOLINFOA_V2_SIZE;
    tool.uFlags = flags;
    tool.hwnd = Window();
    tool.uId = id;
    ::GetClientRect(Window(), &tool.rect);
    tool.lpszText = const_cast<char*>(text);
    return ::SendMessageA(tooltip_, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool)) != FALSE;
}

void CStatusButton::ShowReEnable() {
    if (!Window())
        return;
    const bool hadTooltip = tooltip_ != nullptr;
    if (!CreateTooltip())
        return;
    TOOLINFOA tool = {};
    tool.cbSize = TTTOOLINFOA_V2_SIZE;
    tool.hwnd = Window();
    tool.uId = kReEnableTool;
    const bool hasTool = hadTooltip && ::SendMessageA(tooltip_, TTM_GETTOOLINFOA, 0, reinterpret_cast<LPARAM>(&tool));
    if (!hasTool && !AddTool(kReEnableTool, TTF_TRACK | TTF_ABSOLUTE, kReEnableText)) {
        REPORT_ASSERT("CStatusButton::ShowReEnable", "Couldn't add tool");
        return;
    }
    RECT button = {};
    ::GetWindowRect(Window(), &button);
    tool.hwnd = Window();
    tool.uId = kReEnableTool;
    ::SendMessageA(tooltip_, TTM_TRACKPOSITION, 0, MAKELPARAM(button.left, button.top));
    ::SendMessageA(tooltip_, TTM_TRACKACTIVATE, TRUE, reinterpret_cast<LPARAM>(&tool));
    tooltipTicks_ = 0;
    ::SetTimer(Window(), kReEnableTimer, kReEnableInterval, nullptr);
}

void CStatusButton::OnReEnableTimer() {
    const int before = tooltipTicks_++;
    if (before <= kReEnableTicks && tooltip_) {
        RECT button = {};
        ::GetWindowRect(Window(), &button);
        ::SendMessageA(tooltip_, TTM_TRACKPOSITION, 0, MAKELPARAM(button.left, button.top));
        return;
    }
    if (tooltip_) {
        TOOLINFOA tool = {};
        tool.cbSize = TTTOOLINFOA_V2_SIZE;
        tool.hwnd = Window();
        tool.uId = kReEnableTool;
        ::SendMessageA(tooltip_, TTM_TRACKACTIVATE, FALSE, reinterpret_cast<LPARAM>(&tool));
    }
    ::KillTimer(Window(), kReEnableTimer);
}

void CStatusButton::ShowServiceDown(bool down) {
    if (!Window())
        return;
    if (down) {
        if (serviceDownTool_ || !CreateTooltip())
            return;
        // Shown by the tooltip itself while the pointer rests on the button.
        serviceDownTool_ = AddTool(kServiceDownTool, TTF_SUBCLASS, kServiceDownText);
        if (!serviceDownTool_)
            REPORT_ASSERT("CStatusButton::ShowServiceDown", "Couldn't add tool");
        return;
    }
    if (!serviceDownTool_ || !tooltip_)
        return;
    TOOLINFOA tool = {};
    tool.cbSize = TTTOOLINFOA_V2_SIZE;
    tool.hwnd = Window();
    tool.uId = kServiceDownTool;
    ::SendMessageA(tooltip_, TTM_DELTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
    serviceDownTool_ = false;
}

void CStatusButton::DestroyTooltip() {
    if (tooltip_)
        ::DestroyWindow(tooltip_);
    tooltip_ = nullptr;
    serviceDownTool_ = false;
    tooltipTicks_ = 0;
}
