// The C++ object behind a window of ours, stored in the window's user data
// at WM_NCCREATE from the creation parameter.
#pragma once

#include <windows.h>

template <typename T>
T* WindowObject(HWND window, UINT message, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        T* object = static_cast<T*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
        ::SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(object));
        return object;
    }
    return reinterpret_cast<T*>(::GetWindowLongPtrA(window, GWLP_USERDATA));
}
