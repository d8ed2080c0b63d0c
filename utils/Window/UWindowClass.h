// One registration of a window class by the module that holds its window
// procedure: inside the browser GetModuleHandle(nullptr) is the browser, not
// us, and a class registered there would outlive our DLL. Meant to be held in
// a function-local static, so it is registered on first use and unregistered
// when the module's static objects go (for a DLL, when it unloads).
//
//   const UWindowClass& Class() {
//       static const UWindowClass windowClass("QuillonBitmapWindow", &WindowProcedure);
//       return windowClass;
//   }
#pragma once

#include <windows.h>

class UWindowClass {
public:
    // Reports "Could not register the window class" under `UWindowClass` on failure.
    UWindowClass(const char* name, WNDPROC procedure, UINT style = 0, HCURSOR cursor = nullptr);
    ~UWindowClass();
    UWindowClass(const UWindowClass&) = delete;
    UWindowClass& operator=(const UWindowClass&) = delete;

    const char* Name() const { return name_; }
    HINSTANCE Instance() const { return instance_; }
    bool Registered() const { return registered_; }

    // The module this code was linked into: the DLL inside the browser, the
    // program elsewhere.
    static HINSTANCE ModuleOfThisCode();

private:
    const char* const name_;
    const HINSTANCE instance_;
    bool registered_ = false;
};
