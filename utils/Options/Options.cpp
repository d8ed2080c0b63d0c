#include "utils/Options/Options.h"

#include "utils/Diagnostics/ReportAssert.h"
#include "utils/Ownership/WinOwnership.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <cstdlib>
#include <vector>

namespace {

constexpr char kOptionsKey[] = "SOFTWARE\\Quillon";
// What the typed readers pass as the default to tell "missing" from any real value.
constexpr char kMissingMarker[] = "*";

struct OptionLocation {
    std::string keyPath;
    std::string valueName;
};

OptionLocation Locate(const char* name) {
    OptionLocation location{kOptionsKey, name};
    const std::size_t slash = location.valueName.rfind('\\');
    if (slash != std::string::npos) {
        location.keyPath += '\\';
        location.keyPath += location.valueName.substr(0, slash);
        location.valueName.erase(0, slash + 1);
    }
    return location;
}

// Reading creates the key too, as writing does.
win::UniqueRegKey CreateOptionKey(OptionScope scope, const std::string& keyPath) {
    HKEY root = scope == OptionScope::PerUser ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE;
    win::UniqueRegKey key;
    if (::RegCreateKeyExA(root, keyPath.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                          KEY_ALL_ACCESS, nullptr, key.Put(), nullptr) != ERROR_SUCCESS) {
        return win::UniqueRegKey();
    }
    return key;
}

std::string ReadStringValue(HKEY key, const std::string& valueName) {
    DWORD type = 0;
    DWORD size = 0;
    if (::RegQueryValueExA(key, valueName.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
        type != REG_SZ || size == 0) {
        return std::string();
    }
    std::vector<char> text(size + 1, '\0');  // room for a terminator the value may lack
    if (::RegQueryValueExA(key, valueName.c_str(), nullptr, &type,
                           reinterpret_cast<BYTE*>(text.data()), &size) != ERROR_SUCCESS ||
        type != REG_SZ) {
        return std::string();
    }
    return std::string(text.data());
}

int LeadingDecimal(const std::string& text) {
    const long value = std::strtol(text.c_str(), nullptr, 10);
    return static_cast<int>(std::clamp<long>(value, INT_MIN, INT_MAX));
}

}  // namespace

bool SetOption(OptionScope scope, const char* name, const std::string& text) {
    if (!name) {
        REPORT_ASSERT("SetOption", "NULL pointer");
        return false;
    }
    const OptionLocation location = Locate(name);
    const win::UniqueRegKey key = CreateOptionKey(scope, location.keyPath);
    if (!key) {
        REPORT_ASSERT("SetOption", "Could not create registry key");
        return false;
    }
    if (text.empty())
        return false;
    return ::RegSetValueExA(key.Get(), location.valueName.c_str(), 0, REG_SZ,
                            reinterpret_cast<const BYTE*>(text.c_str()),
                            static_cast<DWORD>(text.size() + 1)) == ERROR_SUCCESS;
}

bool SetOptionInt(OptionScope scope, const char* name, int value) {
    return SetOption(scope, name, std::to_string(value));
}

bool SetOptionBool(OptionScope scope, const char* name, bool value) {
    return SetOption(scope, name, value ? "true" : "false");
}

std::string GetOption(OptionScope scope, const char* name, const char* defaultText) {
    const std::string fallback = defaultText ? defaultText : "";
    if (!name)
        return fallback;
    const OptionLocation location = Locate(name);
    const win::UniqueRegKey key = CreateOptionKey(scope, location.keyPath);
    if (!key)
        return fallback;
    const std::string value = ReadStringValue(key.Get(), location.valueName);
    if (value.empty() && defaultText) {
        SetOption(scope, name, defaultText);
        return fallback;
    }
    return value;
}

int GetOptionInt(OptionScope scope, const char* name, int defaultValue) {
    const std::string value = GetOption(scope, name, kMissingMarker);
    if (value != kMissingMarker)
        return LeadingDecimal(value);
    SetOptionInt(scope, name, defaultValue);
    return defaultValue;
}

bool GetOptionBool(OptionScope scope, const char* name, bool defaultValue) {
    std::string value = GetOption(scope, name, kMissingMarker);
    if (value != kMissingMarker) {
        std::transform(value.begin(), value.end(), value.begin(),
                       [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
        return value == "true";
    }
    SetOptionBool(scope, name, defaultValue);
    return defaultValue;
}

bool IncrementOption(OptionScope scope, const char* name) {
    return SetOptionInt(scope, name, GetOptionInt(scope, name, 0) + 1);
}
