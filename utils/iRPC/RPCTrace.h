// Delivery traces of the message transport, for a debugger's output window
// (Windows only). They never reach the user or the diagnostic log.
#pragma once

#include "utils/iRPC/CRPCMsg.h"

#include <string>

// A window as at least eight hex digits, all of its bits.
std::string RPCWindowText(RPCWindow window);

void RPCTrace(const std::string& text);
