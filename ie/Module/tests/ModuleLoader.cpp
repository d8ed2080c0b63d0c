// Loads a DLL the way a host process does and answers by exit code: 0 when
// it loaded, otherwise the load's error code. Tests copy this program under
// other names to see how the module treats its host.
#include <windows.h>

int main(int argc, char** argv) {
    if (argc < 2)
        return 87;  // ERROR_INVALID_PARAMETER
    const HMODULE module = ::LoadLibraryA(argv[1]);
    if (!module)
        return static_cast<int>(::GetLastError());
    ::FreeLibrary(module);
    return 0;
}
