// The add-on's settings and usage counters: text values in the registry
// under "SOFTWARE\Quillon", per user or machine-wide. Names may hold
// subkeys: "PIP\Cert" is the value "Cert" of the subkey "PIP".
#pragma once

#include <string>

enum class OptionScope {
    PerUser,      // HKEY_CURRENT_USER
    MachineWide,  // HKEY_LOCAL_MACHINE
};

// Writes text as REG_SZ. An empty text is never written (false).
bool SetOption(OptionScope scope, const char* name, const std::string& text);
bool SetOptionInt(OptionScope scope, const char* name, int value);
bool SetOptionBool(OptionScope scope, const char* name, bool value);

// Reads a REG_SZ value; anything else counts as missing. A missing value
// with a default stores the default, where the user may write, and returns
// it. Where the user may not write (machine-wide, without administrator
// rights) the values are still read.
std::string GetOption(OptionScope scope, const char* name, const char* defaultText = nullptr);
// The leading decimal digits of the value (0 when none); the default when missing.
int GetOptionInt(OptionScope scope, const char* name, int defaultValue);
// Whether the value reads "true", ignoring case; the default when missing.
bool GetOptionBool(OptionScope scope, const char* name, bool defaultValue);

// Adds one to a counter; one at the largest int stays there. Not atomic
// across windows or processes.
bool IncrementOption(OptionScope scope, const char* name);
