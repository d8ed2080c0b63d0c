// The empty message object for a type number, as the receiving side needs
// it before reading the payload into it.
#pragma once

#include "utils/iRPC/CRPCMsg.h"

#include <cstdint>
#include <memory>

// A new, empty message of the class for `type`, or null when no class has
// that number. Takes the full dwData width so no large value wraps onto a
// valid type.
std::unique_ptr<CRPCMsg> CreateRPCMessage(std::uintptr_t type);
