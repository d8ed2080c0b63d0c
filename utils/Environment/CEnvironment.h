// Facts about the machine, gathered once: the Windows version as text, the
// browser's version, the user's country and language, the non-client
// metrics and the desktop work area.
#pragma once

#include <windows.h>

#include <string>

class CEnvironment {
public:
    // The size of NONCLIENTMETRICS before Vista added iPaddedBorderWidth.
    static constexpr UINT kNonClientMetricsSize = 340;

    CEnvironment();

    int MajorVersion() const { return majorVersion_; }
    int MinorVersion() const { return minorVersion_; }
    // "<Windows name> (build <n>) <service pack>".
    const std::string& SystemDescription() const { return systemDescription_; }
    // Internet Explorer's "Version" value, or "unknown".
    const std::string& BrowserVersion() const { return browserVersion_; }
    // ISO 3166 code of the user's locale: what the page scripts get as "user_country".
    const std::string& Country() const { return country_; }
    // ISO 639 code of the user's locale.
    const std::string& Language() const { return language_; }
    const NONCLIENTMETRICSA& NonClientMetrics() const { return nonClientMetrics_; }
    const RECT& WorkArea() const { return workArea_; }

    // The marketing name of a Windows version ("Windows XP", "Windows 6.0").
    static std::string WindowsName(int major, int minor, DWORD platformId);

private:
    void ReadVersion();
    void ReadBrowserVersion();
    void ReadLocale();

    int majorVersion_ = 0;
    int minorVersion_ = 0;
    std::string systemDescription_;
    std::string browserVersion_;
    std::string country_;
    std::string language_;
    NONCLIENTMETRICSA nonClientMetrics_ = {};
    RECT workArea_ = {};
};

// Whether the user may write to Program Files and to HKEY_LOCAL_MACHINE\Software
// (the machine-wide option of the settings dialog needs both). Probes both
// for real and leaves nothing behind.
bool CanWriteMachineAreas();
