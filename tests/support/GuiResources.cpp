#include "tests/support/GuiResources.h"

#include <winternl.h>

#include <cstddef>
#include <cstdint>

namespace testing_support {

namespace {

// One entry of the GDI handle table the PEB points to; a used entry has a
// non-zero type.
struct GdiHandleEntry {
    std::uint64_t kernelObject;
    std::uint16_t processId;
    std::uint16_t count;
    std::uint16_t unique;
    std::uint8_t type;
    std::uint8_t flags;
    std::uint64_t userPointer;
};
static_assert(sizeof(GdiHandleEntry) == 24, "the table's layout");
constexpr size_t kGdiHandleCount = 0x10000;

#ifdef _WIN64
constexpr size_t kGdiTableOffset = 0xF8;  // PEB.GdiSharedHandleTable
#else
constexpr size_t kGdiTableOffset = 0x94;
#endif

const PEB* ProcessEnvironmentBlock() {
    using QueryFunction = LONG(WINAPI*)(HANDLE, PROCESSINFOCLASS, void*, ULONG, ULONG*);
    const HMODULE ntdll = ::GetModuleHandleA("ntdll.dll");
    const FARPROC address = ntdll ? ::GetProcAddress(ntdll, "NtQueryInformationProcess") : nullptr;
    if (!address)
        return nullptr;
    const auto query = reinterpret_cast<QueryFunction>(reinterpret_cast<void (*)()>(address));
    PROCESS_BASIC_INFORMATION information = {};
    if (query(::GetCurrentProcess(), ProcessBasicInformation, &information, sizeof information, nullptr) != 0)
        return nullptr;
    return information.PebBaseAddress;
}

DWORD CountGdiHandleTable() {
    const PEB* peb = ProcessEnvironmentBlock();
    if (!peb)
        return 0;
    const auto* table =
        *reinterpret_cast<const GdiHandleEntry* const*>(reinterpret_cast<const char*>(peb) + kGdiTableOffset);
    if (!table)
        return 0;
    DWORD used = 0;
    for (size_t i = 0; i < kGdiHandleCount; ++i)
        used += table[i].type != 0;
    return used;
}

BOOL CALLBACK CountChild(HWND, LPARAM count) {
    ++*reinterpret_cast<DWORD*>(count);
    return TRUE;
}

BOOL CALLBACK CountTopLevel(HWND window, LPARAM count) {
    DWORD process = 0;
    ::GetWindowThreadProcessId(window, &process);
    if (process != ::GetCurrentProcessId())
        return TRUE;
    ++*reinterpret_cast<DWORD*>(count);
    ::EnumChildWindows(window, &CountChild, count);
    return TRUE;
}

}  // namespace

DWORD GdiObjectCount() {
    const DWORD count = ::GetGuiResources(::GetCurrentProcess(), GR_GDIOBJECTS);
    return count ? count : CountGdiHandleTable();
}

DWORD UserObjectCount() {
    const DWORD count = ::GetGuiResources(::GetCurrentProcess(), GR_USEROBJECTS);
    if (count)
        return count;
    DWORD windows = 0;
    ::EnumWindows(&CountTopLevel, reinterpret_cast<LPARAM>(&windows));
    return windows;
}

}  // namespace testing_support
