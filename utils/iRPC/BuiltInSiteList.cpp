#include "utils/iRPC/BuiltInSiteList.h"

#include "utils/Buffer/UIOBuffer.h"
#include "utils/Crypto/ScriptKey.h"
#include "utils/Diagnostics/ReportAssert.h"

#include <windows.h>

#include <algorithm>
#include <cctype>
#include <mutex>
#include <set>

namespace {

constexpr WORD kSiteListResourceId = 207;
constexpr char kSiteListResourceType[] = "w";

std::string Lowered(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

enum class ListState { Missing, Loaded, Damaged };

// The list's names, one a line (spaces, tabs, ";" and "," separate too).
// A list that does not decipher vouches for nothing: its bytes are no names.
ListState LoadSiteList(std::set<std::string>& names) {
    UIOBuffer buffer;
    if (!buffer.LoadResource(MAKEINTRESOURCEA(kSiteListResourceId), kSiteListResourceType,
                             ::GetModuleHandleA(nullptr))) {
        return ListState::Missing;
    }
    CCryptoChain chain = MakeScriptCryptoChain();
    if (!chain.Decrypt(buffer)) {
        REPORT_ASSERT("IsBuiltInSite", "Could not decipher the built-in site list");
        return ListState::Damaged;
    }
    const std::string text = Lowered(std::string(reinterpret_cast<const char*>(buffer.Data()), buffer.Size()));
    const char* const separators = "\r\n \t;,";
    for (std::size_t begin = text.find_first_not_of(separators); begin != std::string::npos;) {
        const std::size_t end = text.find_first_of(separators, begin);
        names.insert(text.substr(begin, end == std::string::npos ? std::string::npos : end - begin));
        begin = end == std::string::npos ? end : text.find_first_not_of(separators, end);
    }
    return ListState::Loaded;
}

}  // namespace

bool IsBuiltInSite(const std::string& name) {
    // A whole name must match: a site whose name merely occurs inside a
    // vouched-for one ("ank.example" in "bank.example") is not vouched for.
    if (name.empty())
        return false;
    // Browser windows run on threads of their own; they share one list.
    static std::mutex mutex;
    static std::set<std::string> names;
    static ListState state = ListState::Missing;
    std::lock_guard<std::mutex> lock(mutex);
    if (state == ListState::Missing)
        state = LoadSiteList(names);  // a damaged list is reported once, not at every call
    return state == ListState::Loaded && names.count(Lowered(name)) > 0;
}
