#include "ie/SafeSearch/SafeSearch.h"

#include "utils/Com/ScopedVariant.h"
#include "utils/Crypto/ScriptKey.h"
#include "utils/Diagnostics/ReportAssert.h"
#include "utils/Environment/PathMacros.h"
#include "utils/File/PathTests.h"
#include "utils/Options/Options.h"
#include "utils/Text/AnsiWide.h"
#include "utils/iRPC/RatingsHttpAddress.h"

CSafeSearch::CSafeSearch() {
    try {
        if (!scripts_.InitScripting()) {
            REPORT_ASSERT("CSafeSearch::CSafeSearch", "Failed script init");
            return;
        }
        // Both forms are read when both ship; a missing one is no fault.
        std::string enciphered = "%INSTALL_DIR%Scripts\\SafeSearch.mrg";
        if (NormalizePath(enciphered) && IsPlainFile(enciphered)) {
            CCryptoChain chain = MakeScriptCryptoChain();
            scripts_.AddScriptFile(enciphered, &chain);
        }
        std::string plain = "%INSTALL_DIR%Scripts\\SafeSearch.js";
        if (NormalizePath(plain) && IsPlainFile(plain))
            scripts_.AddScriptFile(plain);
        if (!scripts_.RunScript())
            return;
        std::string folder = "%INSTALL_DIR%Scripts";
        if (!NormalizePath(folder))
            return;
        scriptsFolder_ = AnsiToWide(folder);
        ready_ = true;
    } catch (...) {
        REPORT_ASSERT("CSafeSearch::CSafeSearch", "Exception thrown");
    }
}

CSafeSearch::~CSafeSearch() {
    try {
        if (ready_) {
            VARIANT ignored;
            ::VariantInit(&ignored);
            scripts_.CallScriptFcn("reset", &ignored, 0, nullptr);
            ::VariantClear(&ignored);
        }
        scripts_.CloseScripting();
    } catch (...) {
        REPORT_ASSERT("CSafeSearch::~CSafeSearch", "Exception thrown");
    }
}

bool CSafeSearch::BrowserVersionAnnotates(const std::string& version) {
    return version.substr(0, 3).compare("5.5") >= 0;
}

bool CSafeSearch::is_search_page(const std::string& url) {
    const win::ScopedVariant argument(AnsiToWide(url));
    win::ScopedVariant result;
    if (!scripts_.CallScriptFcn("is_search_page", result.Receive(), 1, &argument.Get()))
        return false;
    VARIANT number;
    ::VariantInit(&number);
    if (FAILED(::VariantChangeType(&number, const_cast<VARIANT*>(&result.Get()), 0, VT_I4)))
        return false;
    return number.lVal != 0;
}

bool CSafeSearch::CallFlag(const char* function, const char* option, const char* defaultText) {
    // Exactly "true": the options are written by our own settings dialog.
    VARIANT flag;
    ::VariantInit(&flag);
    flag.vt = VT_BOOL;
    flag.boolVal = GetOption(OptionScope::PerUser, option, defaultText) == "true" ? VARIANT_TRUE : VARIANT_FALSE;
    win::ScopedVariant result;
    return scripts_.CallScriptFcn(function, result.Receive(), 1, &flag);
}

bool CSafeSearch::AnnotateSearchPage(IDispatch* browser) {
    if (!browser) {
        REPORT_ASSERT("CSafeSearch::AnnotateSearchPage", "NULL pointer");
        return false;
    }
    win::ScopedVariant result;
    if (!scripts_.CallScriptFcn("reset", result.Receive(), 0, nullptr))
        return false;
    if (!CallFlag("set_highlite", kHighlightOption, "false") || !CallFlag("set_icons", kIconsOption, "true"))
        return false;
    // Our own service's HTTP side unless the user named another.
    const std::string server = GetOption(OptionScope::PerUser, kServerOption, kRatingsHttpUrl);
    VARIANT arguments[3];
    ::VariantInit(&arguments[0]);
    arguments[0].vt = VT_DISPATCH;
    arguments[0].pdispVal = browser;  // borrowed for the call
    const win::ScopedVariant folder(scriptsFolder_);
    const win::ScopedVariant address(AnsiToWide(server));
    arguments[1] = folder.Get();
    arguments[2] = address.Get();
    result.Reset();
    return scripts_.CallScriptFcn("save_me", result.Receive(), 3, arguments);
}
