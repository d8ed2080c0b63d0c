#include "utils/iRPC/BuiltInSiteList.h"

#include "utils/Buffer/UIOBuffer.h"
#include "utils/Crypto/ScriptKey.h"

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

// The list's names, one a line (spaces, tabs, ";" and "," separate too).
std::set<std::string> LoadSiteList() {
    std::set<std::string> names;
    UIOBuffer buffer;
    if (!buffer.LoadResource(MAKEINTRESOURCEA(kSiteListResourceId), kSiteListResourceType,
                             ::GetModuleHandleA(nullptr))) {
        return names;
    }
    CCryptoChain chain = MakeScriptCryptoChain();
    chain.Decrypt(buffer);
    const std::string text = Lowered(std::string(reinterpret_cast<const char*>(buffer.Data()), buffer.Size()));
    const char* const separators = "\r\n \t;,";
    for (std::size_t begin = text.find_first_not_of(separators); begin != std::string::npos;) {
        const std::size_t end = text.find_first_of(separators, begin);
        names.insert(text.substr(begin, end == std::string::npos ? std::string::npos : end - begin));
        begin = end == std::string::npos ? end : text.find_first_not_of(separators, end);
    }
    return names;
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
    std::lock_guard<std::mutex> lock(mutex);
    if (names.empty())
        names = LoadSiteList();
    return names.count(Lowered(name)) > 0;
}
