#include "utils/Environment/PathMacros.h"

#include "utils/Diagnostics/ReportAssert.h"
#include "utils/File/PathTests.h"

#include <windows.h>
#include <shlobj.h>

namespace {

// The module that contains this code: the add-on's DLL in the product, the
// executable in a program linked with this library.
std::string InstallDirectory() {
    HMODULE module = nullptr;
    ::GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                             GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                         reinterpret_cast<LPCSTR>(&InstallDirectory), &module);
    std::string path(MAX_PATH, '\0');
    for (;;) {
        const DWORD length = ::GetModuleFileNameA(module, &path[0], static_cast<DWORD>(path.size()));
        if (length == 0)
            return std::string();
        if (length < path.size()) {
            path.resize(length);
            break;
        }
        path.resize(path.size() * 2);
    }
    const std::size_t slash = path.rfind('\\');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string SpecialFolder(int csidl) {
    char path[MAX_PATH] = {};
    if (FAILED(::SHGetFolderPathA(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path)))
        return std::string();
    return path;
}

std::string DataDirectory() {
    std::string appData = SpecialFolder(CSIDL_APPDATA | CSIDL_FLAG_CREATE);
    if (appData.empty())
        return std::string();
    std::string folder = appData + "\\Quillon\\";
    ::CreateDirectoryA(folder.c_str(), nullptr);  // already there is fine
    // A file of that name, or a folder we may not create, is no data folder.
    return IsDirectory(folder) ? folder : std::string();
}

void ReplaceAll(std::string& text, const std::string& macro, const std::string& value) {
    for (std::size_t at = text.find(macro); at != std::string::npos;
         at = text.find(macro, at + value.size())) {
        text.replace(at, macro.size(), value);
    }
}

// Replaces one macro, asking the system for its value only when the path
// holds it: every page loads its scripts through these paths. False when
// the folder cannot be found: an empty value would turn the path into one
// relative to whatever the current folder is.
template <typename ValueOf>
bool ExpandMacro(std::string& path, const char* macro, ValueOf valueOf) {
    if (path.find(macro) == std::string::npos)
        return true;
    const std::string value = valueOf();
    if (value.empty())
        return false;
    ReplaceAll(path, macro, value);
    return true;
}

}  // namespace

bool ExpandPathMacros(std::string& path) {
    if (path.find('%') == std::string::npos)
        return true;
    // The module does not move while it is loaded.
    static const std::string installDirectory = InstallDirectory();
    if (ExpandMacro(path, "%INSTALL_DIR%", [] { return installDirectory; }) &&
        ExpandMacro(path, "%DATA_DIR%", [] { return DataDirectory(); }) &&
        ExpandMacro(path, "%DESKTOP%", [] { return SpecialFolder(CSIDL_DESKTOPDIRECTORY); }) &&
        ExpandMacro(path, "%PROGRAM_FILES%", [] { return SpecialFolder(CSIDL_PROGRAM_FILES); }))
        return true;
    path.clear();
    REPORT_ASSERT("ExpandPathMacros", "Folder not found");
    return false;
}

bool NormalizePath(std::string& path) {
    // Step over double-byte characters whole: their second byte may look like a separator.
    for (std::size_t i = 0; i < path.size(); ++i) {
        if (::IsDBCSLeadByte(static_cast<BYTE>(path[i])) && i + 1 < path.size())
            ++i;
        else if (path[i] == '/')
            path[i] = '\\';
    }
    if (!ExpandPathMacros(path))
        return false;
    if (!path.empty() && path.back() != '\\' && IsDirectory(path))
        path += '\\';
    return true;
}
