// Shared by the module's tests: the built DLL, helper processes and
// registry look-ups.
#pragma once

#include "utils/Ownership/WinOwnership.h"

#include <string>

namespace module_testing {

// QuillonIE.dll as built beside the tests.
std::string ModulePath();

// Runs a command line to its end; its exit code, or -1 when it could not
// start or ran past the time limit (it is then terminated).
int RunToEnd(const std::string& commandLine, DWORD milliseconds = 30000);

bool KeyExists(HKEY root, const std::string& path);
// A REG_SZ value; "\x01missing" when absent.
std::string StringValue(HKEY root, const std::string& path, const std::string& name);
constexpr char kMissing[] = "\x01missing";

// The module loaded with LoadLibrary, freed at the end of the scope.
class LoadedModule {
public:
    explicit LoadedModule(const std::string& path = ModulePath());
    HMODULE Get() const { return module_.Get(); }
    template <typename Function>
    Function* Entry(const char* name) const {
        return reinterpret_cast<Function*>(reinterpret_cast<void*>(::GetProcAddress(module_.Get(), name)));
    }

private:
    win::UniqueModule module_;
};

}  // namespace module_testing
