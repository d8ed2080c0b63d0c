// The real-time safety alert: a small modal dialog (resource 135) shown when
// the page scripts judge a page to be phishing or fraud and the rating
// service does not know the site. It names the suspicion, shows the scripts'
// reasoning and offers two links: what real-time protection is, and a report
// that the site is legitimate. Only "Close" and the window's close box end
// it; Escape does not, so a stray key cannot dismiss a warning unread.
#pragma once

#include "utils/Bitmap/UBMPWnd.h"
#include "utils/Widgets/ULinkNotify.h"
#include "utils/Widgets/UTextWnd.h"

#include <windows.h>

#include <cstdint>
#include <string>

class IBalloonHost;

class CRealTimeAlertDlg final : public ULinkNotify {
public:
    static constexpr int kPhishing = 1;
    static constexpr char kTitle[] = "Quillon Real-Time Safety Alert\r\n";
    static constexpr char kPhishingText[] = "Possible Phishing Site";
    static constexpr char kFraudText[] = "Possible Fraud Site";
    static constexpr char kAboutText[] = "About real-time protection.";
    static constexpr char kQuestionText[] = "Think this site is legitimate? ";
    static constexpr char kReportText[] = "Tell us.";
    static constexpr char kAboutPage[] = "/methodology/real_time_alerts.html";
    enum Link : int { kAboutLink = 0, kReportLink = 1 };

    // host: the browser helper of the window, for the links and the
    // placement; may be null (the links then do nothing).
    CRealTimeAlertDlg(std::int32_t category, std::string reason, IBalloonHost* host);
    ~CRealTimeAlertDlg();
    CRealTimeAlertDlg(const CRealTimeAlertDlg&) = delete;
    CRealTimeAlertDlg& operator=(const CRealTimeAlertDlg&) = delete;

    // Runs the dialog modally over `owner`; 1 when closed, -1 (reported)
    // when it could not be shown.
    INT_PTR Run(HWND owner);

    // ULinkNotify: the two links.
    void DoAction(int link) override;

    // While it runs, for tests.
    HWND Window() const { return window_; }
    HWND PictureWindow() const { return picture_.Window(); }
    HWND AboutLinkWindow() const { return about_.Window(); }
    HWND ReportLinkWindow() const { return report_.Window(); }
    const std::string& TitleText() const { return title_.Text(); }
    const std::string& ReasonText() const { return reason_.Text(); }
    const std::string& QuestionText() const { return question_.Text(); }
    RECT ReportLinkRect() const;
    int AboutLinkWidthNeeded() const { return about_.Measure(kAboutText, 0).cx; }
    RECT QuestionRect() const;

private:
    static INT_PTR CALLBACK DialogProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void OnInitDialog();
    // Reads a placeholder's place in the dialog's client area and removes it.
    RECT TakePlaceholder(int id);
    void CentreOverBrowser();

    const std::int32_t category_;
    const std::string reasonText_;
    IBalloonHost* const host_;
    UBMPWnd picture_;
    UTextWnd title_;
    UTextWnd reason_;
    UTextWnd about_;
    UTextWnd question_;
    UTextWnd report_;
    HICON icon_ = nullptr;
    HWND window_ = nullptr;
};
