// Registry writes that can be taken back. Registration writes through a
// journal, so that a registration that fails half-way removes exactly what it
// created and puts back what it overwrote, and nothing else: not an earlier
// installation's keys, not the user's options.
#pragma once

#include "utils/Ownership/WinOwnership.h"

#include <string>
#include <vector>

class CRegistryJournal {
public:
    CRegistryJournal() = default;
    CRegistryJournal(const CRegistryJournal&) = delete;
    CRegistryJournal& operator=(const CRegistryJournal&) = delete;

    // Opens root\path with full access, creating the missing keys one by one
    // and noting each key it created. Null (reported) on failure.
    win::UniqueRegKey CreateKey(HKEY root, const std::string& path);
    // Writes a REG_SZ value (an empty name is the default value) under
    // root\path, creating the key as above and noting what the value held.
    bool SetString(HKEY root, const std::string& path, const std::string& name, const std::string& text);

    // Takes back every noted change, newest first.
    void Undo();
    bool Empty() const { return entries_.empty(); }

private:
    struct Entry {
        HKEY root;
        std::string path;
        bool isValue;        // else: a key this journal created
        std::string name;    // the value's name
        bool hadValue;       // the value existed before the write
        DWORD type;          // and held this
        std::vector<BYTE> data;
    };

    std::vector<Entry> entries_;
};

// Deletes root\path with everything below it; a missing key counts as deleted.
bool DeleteKeyTree(HKEY root, const std::string& path);
// Deletes root\path only when it has no subkeys; missing counts as deleted.
bool DeleteKey(HKEY root, const std::string& path);
// Deletes one value; missing (value or key) counts as deleted.
bool DeleteValue(HKEY root, const std::string& path, const std::string& name);
// Reports a registry failure with the system's text for it.
void ReportRegistryError(const char* method, LONG error);
