#include "ie/Module/RegistryJournal.h"

#include "utils/Diagnostics/ReportAssert.h"

#include <shlwapi.h>

namespace {

bool Missing(LONG error) {
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

}  // namespace

void ReportRegistryError(const char* method, LONG error) {
    char text[256] = {};
    if (!::FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                          static_cast<DWORD>(error), 0, text, sizeof text, nullptr))
        ::wsprintfA(text, "Registry error %ld", error);
    ::ReportAssert(__FILE__, method, __LINE__, text);
}

win::UniqueRegKey CRegistryJournal::CreateKey(HKEY root, const std::string& path) {
    win::UniqueRegKey key;
    std::size_t start = 0;
    while (start < path.size()) {
        std::size_t end = path.find('\\', start);
        if (end == std::string::npos)
            end = path.size();
        const std::string part = path.substr(start, end - start);
        const HKEY parent = key ? key.Get() : root;
        HKEY child = nullptr;
        DWORD disposition = 0;
        const LONG error = ::RegCreateKeyExA(parent, part.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                             KEY_ALL_ACCESS, nullptr, &child, &disposition);
        if (error != ERROR_SUCCESS) {
            ReportRegistryError("CRegistryJournal::CreateKey", error);
            return win::UniqueRegKey();
        }
        key.Reset(child);
        if (disposition == REG_CREATED_NEW_KEY)
            entries_.push_back(Entry{root, path.substr(0, end), false, std::string(), false, 0, {}});
        start = end + 1;
    }
    return key;
}

bool CRegistryJournal::SetString(HKEY root, const std::string& path, const std::string& name,
                                 const std::string& text) {
    win::UniqueRegKey key = CreateKey(root, path);
    if (!key)
        return false;
    Entry entry{root, path, true, name, false, 0, {}};
    DWORD size = 0;
    if (::RegQueryValueExA(key.Get(), name.c_str(), nullptr, &entry.type, nullptr, &size) == ERROR_SUCCESS) {
        entry.data.resize(size);
        entry.hadValue = ::RegQueryValueExA(key.Get(), name.c_str(), nullptr, &entry.type,
                                            entry.data.empty() ? nullptr : entry.data.data(),
                                            &size) == ERROR_SUCCESS;
        entry.data.resize(size);
    }
    const LONG error = ::RegSetValueExA(key.Get(), name.c_str(), 0, REG_SZ,
                                        reinterpret_cast<const BYTE*>(text.c_str()),
                                        static_cast<DWORD>(text.size() + 1));
    if (error != ERROR_SUCCESS) {
        ReportRegistryError("CRegistryJournal::SetString", error);
        return false;
    }
    entries_.push_back(std::move(entry));
    return true;
}

void CRegistryJournal::Undo() {
    for (auto entry = entries_.rbegin(); entry != entries_.rend(); ++entry) {
        if (!entry->isValue) {
            DeleteKey(entry->root, entry->path);
            continue;
        }
        if (!entry->hadValue) {
            DeleteValue(entry->root, entry->path, entry->name);
            continue;
        }
        HKEY key = nullptr;
        if (::RegOpenKeyExA(entry->root, entry->path.c_str(), 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS)
            continue;
        win::UniqueRegKey owned(key);
        ::RegSetValueExA(key, entry->name.c_str(), 0, entry->type,
                         entry->data.empty() ? nullptr : entry->data.data(),
                         static_cast<DWORD>(entry->data.size()));
    }
    entries_.clear();
}

bool DeleteKeyTree(HKEY root, const std::string& path) {
    const LONG error = static_cast<LONG>(::SHDeleteKeyA(root, path.c_str()));
    if (error == ERROR_SUCCESS || Missing(error))
        return true;
    ReportRegistryError("DeleteKeyTree", error);
    return false;
}

bool DeleteKey(HKEY root, const std::string& path) {
    const LONG error = ::RegDeleteKeyA(root, path.c_str());
    if (error == ERROR_SUCCESS || Missing(error))
        return true;
    ReportRegistryError("DeleteKey", error);
    return false;
}

bool DeleteValue(HKEY root, const std::string& path, const std::string& name) {
    HKEY key = nullptr;
    LONG error = ::RegOpenKeyExA(root, path.c_str(), 0, KEY_SET_VALUE, &key);
    if (Missing(error))
        return true;
    if (error == ERROR_SUCCESS) {
        win::UniqueRegKey owned(key);
        error = ::RegDeleteValueA(key, name.c_str());
        if (error == ERROR_SUCCESS || Missing(error))
            return true;
    }
    ReportRegistryError("DeleteValue", error);
    return false;
}
