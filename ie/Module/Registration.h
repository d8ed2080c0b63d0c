// What regsvr32 runs: the registry entries of the browser helper, the
// download filter class and the toolbar band.
#pragma once

#include <windows.h>

#include <cstddef>

class CRegistryJournal;

// One class's registration. Register writes through the journal; both
// answer whether they succeeded, and may throw (the caller catches).
struct RegistrationStep {
    const char* name;
    bool (*Register)(CRegistryJournal& journal);
    bool (*Unregister)();
};

// The module's steps in their fixed order: browser helper, download filter
// class, toolbar band.
extern const RegistrationStep kModuleRegistration[3];

// Runs every step, each even when an earlier one failed. When one failed or
// threw, takes back what this run wrote (and nothing else) and answers E_FAIL.
HRESULT RunRegistration(const RegistrationStep* steps, std::size_t count);
// Runs every step's removal; E_FAIL only when one threw.
HRESULT RunUnregistration(const RegistrationStep* steps, std::size_t count);

// Makes the browser lay its toolbars out afresh at its next start, so that
// a newly installed band shows.
bool ResetToolbarLayout();

// The registry paths involved, for the steps and their tests.
constexpr char kBrowserHelpersKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Browser Helper Objects\\";
constexpr char kToolbarKey[] = "Software\\Microsoft\\Internet Explorer\\Toolbar";
constexpr char kToolbarLayoutKey[] = "Software\\Microsoft\\Internet Explorer\\Toolbar\\WebBrowser";
constexpr char kBandCategoryCacheKeys[2][160] = {
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Discardable\\PostSetup\\Component "
    "Categories\\{00021493-0000-0000-C000-000000000046}\\Enum",
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Discardable\\PostSetup\\Component "
    "Categories\\{00021494-0000-0000-C000-000000000046}\\Enum",
};
constexpr char kToolbarName[] = "Quillon";
constexpr char kProductMachineKey[] = "SOFTWARE\\Quillon";
