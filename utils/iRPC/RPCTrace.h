// Delivery traces of the message transport, for a debugger's output window
// (Windows only). They never reach the user or the diagnostic log.
#pragma once

#include "utils/iRPC/CRPCMsg.h"

#include <string>

// A window as at least eight hex digits, all of its bits.
std::string RPCWindowText(RPCWindow window);

// True while a debugger listens. A trace nobody reads still costs its
// formatted text and an exception raised into the void (tens of
// microseconds each under Wine, several per query), so traces are built
// only when wanted.
bool RPCTraceWanted();

void RPCTraceText(const std::string& text);

// Traces the text that makeText() builds, building it only when wanted.
template <typename MakeText>
void RPCTrace(MakeText makeText) {
    if (RPCTraceWanted())
        RPCTraceText(makeText());
}
