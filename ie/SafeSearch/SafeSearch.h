// The safe-search annotator of one browser window: its own script engine
// running the safe-search scripts (Scripts\SafeSearch.mrg and .js), which
// recognise search results pages and mark their result links with the
// ratings the rating service gives over HTTP. This class passes the user's
// display options and the service's address to the scripts; the page work
// is theirs. Runs on the browser window's thread only.
#pragma once

#include "utils/Script/CScriptHost.h"

#include <oaidl.h>

#include <string>

class CSafeSearch {
public:
    // Per-user options and their defaults.
    static constexpr char kHighlightOption[] = "Highlite_SafeSearch";
    static constexpr char kIconsOption[] = "Show_SafeSearchIcons";
    static constexpr char kServerOption[] = "DssServer";

    // Loads and starts the scripts; a failure leaves the object not ready,
    // and every later call then fails quietly.
    CSafeSearch();
    ~CSafeSearch();
    CSafeSearch(const CSafeSearch&) = delete;
    CSafeSearch& operator=(const CSafeSearch&) = delete;

    bool IsReady() const { return ready_; }
    // "%INSTALL_DIR%Scripts\" expanded, where the scripts find their icons.
    const std::wstring& ScriptsFolder() const { return scriptsFolder_; }

    // Whether the scripts take the address for a search results page.
    bool is_search_page(const std::string& url);
    // Takes off earlier marks, passes the display options and has the
    // scripts annotate the page the browser shows. True when every call
    // succeeded (the marks themselves come when the service answers).
    bool AnnotateSearchPage(IDispatch* browser);

    // Whether a browser of this version string gets annotations: the first
    // three characters compared as text with "5.5", as the add-on always
    // has ("unknown" passes; "10." does not).
    static bool BrowserVersionAnnotates(const std::string& version);

private:
    bool CallFlag(const char* function, const char* option, const char* defaultText);

    bool ready_ = false;
    CScriptHost scripts_;
    std::wstring scriptsFolder_;
};
