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

HKEY RootOf(OptionScope scope) {
    return scope == OptionScope::PerUser ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE;
}

// Writing creates the key.
win::UniqueRegKey CreateOptionKey(OptionScope scope, const std::string& keyPath) {
    win::UniqueRegKey key;
    if (::RegCreateKeyExA(RootOf(scope), keyPath.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                          KEY_READ | KEY_WRITE, nullptr, key.Put(), nullptr) != ERROR_SUCCESS) {
        return win::UniqueRegKey();
    }
    return key;
}

struct OptionKey {
    win::UniqueRegKey key;
    bool writable = false;
};

// Reading creates the key too where the user may write; elsewhere (a user
// reading the machine-wide options an administrator set) it reads only.
OptionKey OpenOptionKey(OptionScope scope, const std::string& keyPath) {
    OptionKey option;
    option.key = CreateOptionKey(scope, keyPath);
    option.writable = static_cast<bool>(option.key);
    if (!option.writable &&
        ::RegOpenKeyExA(RootOf(scope), keyPath.c_str(), 0, KEY_READ, option.key.Put()) != ERROR_SUCCESS) {
        return OptionKey();
    }
    return option;
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

// The value, false when it is missing (or empty); `writable` tells whether
// a default may be stored in its place.
bool ReadOption(OptionScope scope, const char* name, std::string& value, bool& writable) {
    value.clear();
    writable = false;
    if (!name)
        return false;
    const OptionLocation location = Locate(name);
    const OptionKey option = OpenOptionKey(scope, location.keyPath);
    if (!option.key)
        return false;
    writable = option.writable;
    value = ReadStringValue(option.key.Get(), location.valueName);
    return !value.empty();
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
    std::string value;
    bool writable = false;
    if (ReadOption(scope, name, value, writable))
        return value;
    if (!defaultText)
        return std::string();
    if (writable)
        SetOption(scope, name, defaultText);
    return defaultText;
}

int GetOptionInt(OptionScope scope, const char* name, int defaultValue) {
    std::string value;
    bool writable = false;
    if (ReadOption(scope, name, value, writable))
        return LeadingDecimal(value);
    if (writable)
        SetOptionInt(scope, name, defaultValue);
    return defaultValue;
}

bool GetOptionBool(OptionScope scope, const char* name, bool defaultValue) {
    std::string value;
    bool writable = false;
    if (ReadOption(scope, name, value, writable)) {
        std::transform(value.begin(), value.end(), value.begin(),
                       [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
        return value == "true";
    }
    if (writable)
        SetOptionBool(scope, name, defaultValue);
    return defaultValue;
}

bool IncrementOption(OptionScope scope, const char* name) {
    // A counter that reached the top stays there rather than wrapping negative.
    const int value = GetOptionInt(scope, name, 0);
    return SetOptionInt(scope, name, value == INT_MAX ? value : value + 1);
}
