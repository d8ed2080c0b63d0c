// Conversions between window handles and the pointer-sized RPCWindow of the
// OS-free message code (Windows only).
#pragma once

#include "utils/iRPC/CRPCMsg.h"

#include <windows.h>

inline RPCWindow ToRPCWindow(HWND window) {
    return reinterpret_cast<RPCWindow>(window);
}

inline HWND ToWindowHandle(RPCWindow window) {
    return reinterpret_cast<HWND>(window);
}

// The title of the rating service's window, which every request goes to.
constexpr char kRPCServiceWindowTitle[] = "Server:{A534759F-A612-4cf7-BA15-D022203D2DD1}";
