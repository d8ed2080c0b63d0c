#include "ie/UI/RealTimeAlertDlg.h"

#include "ie/UI/IBalloonHost.h"
#include "ie/res/ResourceIds.h"
#include "utils/Diagnostics/ReportAssert.h"
#include "utils/Window/UWindowClass.h"

#include <algorithm>

namespace {

constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);
constexpr UINT kOneLine = DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX;

RECT ChildRect(HWND child) {
    RECT rect = {};
    ::GetWindowRect(child, &rect);
    ::MapWindowPoints(nullptr, ::GetParent(child), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

void MakeLink(UTextWnd& link, ULinkNotify* target, int id) {
    link.SetTextColour(kBlue);
    link.SetFont("Tahoma", 11, 500);
    link.SetUnderline(true);
    link.SetDrawFlags(kOneLine);
    link.SetLink(target, id);
}

}  // namespace

CRealTimeAlertDlg::CRealTimeAlertDlg(std::int32_t category, std::string reason, IBalloonHost* host)
    : category_(category), reasonText_(std::move(reason)), host_(host) {}

CRealTimeAlertDlg::~CRealTimeAlertDlg() {
    if (icon_)
        ::DestroyIcon(icon_);
}

INT_PTR CRealTimeAlertDlg::Run(HWND owner) {
    const INT_PTR result = ::DialogBoxParamA(UWindowClass::ModuleOfThisCode(), MAKEINTRESOURCEA(IDD_SAFETY_ALERT), owner,
                                             &CRealTimeAlertDlg::DialogProcedure, reinterpret_cast<LPARAM>(this));
    if (result == -1 || result == 0)
        REPORT_ASSERT("CRealTimeAlertDlg::Run", "Couldn't show the dialog");
    return result == 0 ? -1 : result;
}

INT_PTR CALLBACK CRealTimeAlertDlg::DialogProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    CRealTimeAlertDlg* dialog = nullptr;
    if (message == WM_INITDIALOG) {
        dialog = reinterpret_cast<CRealTimeAlertDlg*>(lParam);
        dialog->window_ = window;
        ::SetWindowLongPtrA(window, DWLP_USER, lParam);
    } else {
        dialog = reinterpret_cast<CRealTimeAlertDlg*>(::GetWindowLongPtrA(window, DWLP_USER));
    }
    if (!dialog)
        return FALSE;
    if (message == WM_NCDESTROY) {
        dialog->window_ = nullptr;
        return FALSE;
    }
    return dialog->OnMessage(message, wParam, lParam);
}

INT_PTR CRealTimeAlertDlg::OnMessage(UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG:
        try {
            OnInitDialog();
        } catch (...) {
            REPORT_ASSERT("CRealTimeAlertDlg::OnInitDialog", "Exception thrown");
        }
        return TRUE;  // the default focus
    case WM_COMMAND:
        // Only "Close" ends it; Escape (IDCANCEL) is swallowed.
        if (LOWORD(wParam) == IDOK && HIWORD(wParam) == BN_CLICKED)
            ::EndDialog(window_, 1);
        return TRUE;
    case WM_CLOSE:
        ::EndDialog(window_, 1);
        return TRUE;
    default:
        return FALSE;
    }
}

void CRealTimeAlertDlg::OnInitDialog() {
    const HMODULE module = UWindowClass::ModuleOfThisCode();
    icon_ = static_cast<HICON>(::LoadImageA(module, MAKEINTRESOURCEA(IDI_QUILLON), IMAGE_ICON,
                                            ::GetSystemMetrics(SM_CXICON), ::GetSystemMetrics(SM_CYICON), 0));
    if (icon_)
        ::SendMessageA(window_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon_));

    const RECT picture = TakePlaceholder(IDC_ALERT_PICTURE);
    picture_.LoadBitmap(module, IDB_SAFETY_ALERT_PICTURE);
    picture_.Create(window_, picture);

    title_.SetFont("Tahoma", 18, 700);
    title_.SetDrawFlags(DT_CENTER | DT_TOP | DT_WORDBREAK | DT_NOPREFIX);
    title_.Create(window_, TakePlaceholder(IDC_ALERT_TITLE),
                  std::string(kTitle) + (category_ == kPhishing ? kPhishingText : kFraudText));

    reason_.SetTextColour(kBlack);
    reason_.SetFont("Tahoma", 13, 500);
    reason_.Create(window_, TakePlaceholder(IDC_ALERT_REASON), reasonText_);

    // The placeholder is narrower than the link's text in most fonts: the
    // link gets the width its text needs, never less than its place.
    MakeLink(about_, this, kAboutLink);
    RECT about = TakePlaceholder(IDC_ALERT_LEFT_LINK);
    about.right = std::max(about.right, about.left + about_.Measure(kAboutText, 0).cx);
    about_.Create(window_, about, kAboutText);

    // The question and its link share one line: the link starts where the
    // question's text ends.
    const RECT line = TakePlaceholder(IDC_ALERT_RIGHT_LINK);
    question_.SetTextColour(kBlack);
    question_.SetFont("Tahoma", 11, 500);
    question_.SetDrawFlags(kOneLine);
    const SIZE asked = question_.Measure(kQuestionText, 0);
    question_.Create(window_, RECT{line.left, line.top, line.left + asked.cx, line.bottom}, kQuestionText);
    MakeLink(report_, this, kReportLink);
    const SIZE told = report_.Measure(kReportText, 0);
    report_.Create(window_, RECT{line.left + asked.cx, line.top, line.left + asked.cx + told.cx, line.bottom},
                   kReportText);

    CentreOverBrowser();
}

RECT CRealTimeAlertDlg::TakePlaceholder(int id) {
    const HWND placeholder = ::GetDlgItem(window_, id);
    if (!placeholder) {
        REPORT_ASSERT("CRealTimeAlertDlg::OnInitDialog", "Missing placeholder");
        return RECT{};
    }
    const RECT rect = ChildRect(placeholder);
    ::DestroyWindow(placeholder);
    return rect;
}

void CRealTimeAlertDlg::CentreOverBrowser() {
    HWND browser = host_ ? host_->BrowserWindow() : nullptr;
    if (browser)
        browser = ::GetAncestor(browser, GA_ROOT);
    if (!browser)
        browser = ::GetWindow(window_, GW_OWNER);
    if (!browser)
        return;
    RECT over = {};
    RECT dialog = {};
    ::GetWindowRect(browser, &over);
    ::GetWindowRect(window_, &dialog);
    const int width = dialog.right - dialog.left;
    const int height = dialog.bottom - dialog.top;
    ::SetWindowPos(window_, nullptr, over.left + (over.right - over.left - width) / 2,
                   over.top + (over.bottom - over.top - height) / 2, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CRealTimeAlertDlg::DoAction(int link) {
    if (!host_)
        return;
    // The dialog stays open: the page opens in a browser window of its own.
    if (link == kAboutLink)
        host_->OpenVendorPage(kAboutPage);
    else if (link == kReportLink)
        host_->SendFeedback();
}

RECT CRealTimeAlertDlg::ReportLinkRect() const {
    return report_.Window() ? ChildRect(report_.Window()) : RECT{};
}

RECT CRealTimeAlertDlg::QuestionRect() const {
    return question_.Window() ? ChildRect(question_.Window()) : RECT{};
}
