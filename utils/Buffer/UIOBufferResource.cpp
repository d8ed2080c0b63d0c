// The Windows half of UIOBuffer: copying a module resource.
#include "utils/Buffer/UIOBuffer.h"

#include <windows.h>

bool UIOBuffer::LoadResource(const char* name, const char* type, void* module) {
    const auto instance = static_cast<HMODULE>(module);
    HRSRC resource = ::FindResourceExA(instance, type, name, MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL));
    if (!resource)
        return false;
    HGLOBAL loaded = ::LoadResource(instance, resource);
    const void* bytes = loaded ? ::LockResource(loaded) : nullptr;
    if (!bytes)
        return false;
    Assign(bytes, ::SizeofResource(instance, resource));
    return true;
}
