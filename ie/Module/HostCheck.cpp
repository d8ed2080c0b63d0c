#include "ie/Module/HostCheck.h"

#include <cstddef>

namespace {

wchar_t LowerAscii(wchar_t c) noexcept {
    return c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c - L'A' + L'a') : c;
}

}  // namespace

bool IsShellExecutable(const wchar_t* path) noexcept {
    if (!path)
        return false;
    const wchar_t* name = path;
    for (const wchar_t* at = path; *at; ++at) {
        if (*at == L'\\' || *at == L'/' || *at == L':')
            name = at + 1;
    }
    static const wchar_t kShell[] = L"explorer.exe";
    std::size_t i = 0;
    for (; kShell[i]; ++i) {
        if (LowerAscii(name[i]) != kShell[i])
            return false;
    }
    return name[i] == L'\0';
}

bool RunningInShell() noexcept {
    // Long paths are cut, but the question is only about the file name:
    // a cut name can never be "explorer.exe" unless the path is.
    wchar_t path[MAX_PATH + 1] = {};
    const DWORD length = ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return false;
    return IsShellExecutable(path);
}
