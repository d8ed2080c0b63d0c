#include "utils/Window/UWindowClass.h"

#include "utils/Diagnostics/ReportAssert.h"

HINSTANCE UWindowClass::ModuleOfThisCode() {
    HMODULE module = nullptr;
    ::GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                         reinterpret_cast<LPCSTR>(&UWindowClass::ModuleOfThisCode), &module);
    return module;
}

UWindowClass::UWindowClass(const char* name, WNDPROC procedure, UINT style, HCURSOR cursor)
    : name_(name), instance_(ModuleOfThisCode()) {
    WNDCLASSEXA windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = style;
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = instance_;
    windowClass.hCursor = cursor;
    windowClass.lpszClassName = name;
    registered_ = ::RegisterClassExA(&windowClass) != 0;
    if (!registered_)
        REPORT_ASSERT("UWindowClass", "Could not register the window class");
}

UWindowClass::~UWindowClass() {
    if (registered_)
        ::UnregisterClassA(name_, instance_);
}
