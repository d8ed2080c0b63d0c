#include "utils/iRPC/RPCTrace.h"

#include "utils/iRPC/RPCFormat.h"

#include <windows.h>

std::string RPCWindowText(RPCWindow window) {
    return FormatText("%08llX", static_cast<unsigned long long>(window));
}

bool RPCTraceWanted() {
    return ::IsDebuggerPresent() != FALSE;
}

void RPCTraceText(const std::string& text) {
    ::OutputDebugStringA((text + "\n").c_str());
}
