#include "utils/Environment/CEnvironment.h"

#include "utils/Diagnostics/ReportAssert.h"
#include "utils/Environment/PathMacros.h"
#include "utils/Ownership/WinOwnership.h"

#include <cstdio>
#include <vector>

CEnvironment::CEnvironment() {
    nonClientMetrics_.cbSize = kNonClientMetricsSize;
    ::SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, kNonClientMetricsSize, &nonClientMetrics_, 0);
    ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &workArea_, 0);
    ReadVersion();
    ReadBrowserVersion();
    ReadLocale();
}

std::string CEnvironment::WindowsName(int major, int minor, DWORD platformId) {
    char name[64] = {};
    switch (major) {
    case 3:
        return "Windows NT 3.51";
    case 4:
        switch (minor) {
        case 0:
            return platformId == VER_PLATFORM_WIN32_WINDOWS ? "Windows 95" : "Windows NT 4.0";
        case 10:
            return "Windows 98";
        case 90:
            return "Windows Me";
        default:
            return "32 bit Windows";
        }
    case 5:
        switch (minor) {
        case 0:
            return "Windows 2000";
        case 1:
            return "Windows XP";
        case 2:
            return "Windows Server 2003 family";
        }
        break;
    }
    std::snprintf(name, sizeof name, "Windows %d.%d", major, minor);
    return name;
}

void CEnvironment::ReadVersion() {
    OSVERSIONINFOA version = {};
    version.dwOSVersionInfoSize = sizeof version;  // the 148-byte ANSI record
    if (!::GetVersionExA(&version))
        REPORT_ASSERT("CEnvironment::CEnvironment", nullptr);
    majorVersion_ = static_cast<int>(version.dwMajorVersion);
    minorVersion_ = static_cast<int>(version.dwMinorVersion);

    char description[256] = {};
    std::snprintf(description, sizeof description, "%s (build %d) %s",
                  WindowsName(majorVersion_, minorVersion_, version.dwPlatformId).c_str(),
                  static_cast<int>(version.dwBuildNumber & 0xFFFF), version.szCSDVersion);
    systemDescription_ = description;
}

void CEnvironment::ReadBrowserVersion() {
    win::UniqueRegKey key;
    if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Internet Explorer", 0, KEY_READ,
                        key.Put()) != ERROR_SUCCESS) {
        REPORT_ASSERT("CEnvironment::CEnvironment", "Couldn't open Internet Explorer");
        browserVersion_ = "unknown";
        return;
    }
    DWORD type = 0;
    DWORD size = 0;
    if (::RegQueryValueExA(key.Get(), "Version", nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
        type != REG_SZ) {
        return;
    }
    std::vector<char> text(size + 1, '\0');
    if (::RegQueryValueExA(key.Get(), "Version", nullptr, &type,
                           reinterpret_cast<BYTE*>(text.data()), &size) == ERROR_SUCCESS &&
        type == REG_SZ) {
        browserVersion_ = text.data();
    }
}

void CEnvironment::ReadLocale() {
    char country[9] = {};
    char language[9] = {};
    if (::GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SISO3166CTRYNAME, country, sizeof country))
        country_ = country;
    if (::GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SISO639LANGNAME, language, sizeof language))
        language_ = language;
}

namespace {

bool CanWriteProgramFiles() {
    std::string folder = "%PROGRAM_FILES%";
    NormalizePath(folder);
    char probePath[MAX_PATH] = {};
    if (!::GetTempFileNameA(folder.c_str(), "quillon", 0, probePath))
        return false;
    win::UniqueFile probe(::CreateFileA(probePath, GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!probe) {
        ::DeleteFileA(probePath);  // GetTempFileName may have created it already
        return false;
    }
    probe.Reset();
    ::DeleteFileA(probePath);
    return true;
}

bool CanWriteMachineRegistry() {
    win::UniqueRegKey software;
    if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software", 0, KEY_ALL_ACCESS, software.Put()) !=
        ERROR_SUCCESS) {
        return false;
    }
    win::UniqueRegKey probe;
    if (::RegCreateKeyExA(software.Get(), "QuillonProbe", 0, nullptr, REG_OPTION_NON_VOLATILE,
                          KEY_ALL_ACCESS, nullptr, probe.Put(), nullptr) != ERROR_SUCCESS) {
        return false;
    }
    probe.Reset();
    ::RegDeleteKeyA(software.Get(), "QuillonProbe");
    return true;
}

}  // namespace

bool CanWriteMachineAreas() {
    OSVERSIONINFOA version = {};
    version.dwOSVersionInfoSize = sizeof version;
    if (::GetVersionExA(&version) && version.dwMajorVersion < 5)
        return true;  // no per-user protection of machine areas before Windows 2000
    return CanWriteProgramFiles() && CanWriteMachineRegistry();
}
