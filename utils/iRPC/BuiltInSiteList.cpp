#include "utils/iRPC/BuiltInSiteList.h"

#include "utils/Buffer/UIOBuffer.h"
#include "utils/Crypto/ScriptKey.h"

#include <windows.h>

#include <algorithm>
#include <cctype>
#include <mutex>

namespace {

constexpr WORD kSiteListResourceId = 207;
constexpr char kSiteListResourceType[] = "w";

std::string LoadSiteList() {
    UIOBuffer buffer;
    if (!buffer.LoadResource(MAKEINTRESOURCEA(kSiteListResourceId), kSiteListResourceType,
                             ::GetModuleHandleA(nullptr))) {
        return std::string();
    }
    CCryptoChain chain = MakeScriptCryptoChain();
    chain.Decrypt(buffer);
    return std::string(reinterpret_cast<const char*>(buffer.Data()), buffer.Size());
}

}  // namespace

bool IsBuiltInSite(const std::string& name) {
    // An empty text occurs in every list: a nameless answer must not pass as vouched for.
    if (name.empty())
        return false;
    // Browser windows run on threads of their own; they share one list.
    static std::mutex mutex;
    static std::string list;
    std::string lowered = name;
    std::transform(lowered.begin(), lowered.end(), lowered.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    std::lock_guard<std::mutex> lock(mutex);
    if (list.empty())
        list = LoadSiteList();
    return !list.empty() && list.find(lowered) != std::string::npos;
}
