// Sent by the rating service when it cannot reach its own servers; stands
// for both answers to a site query.
#pragma once

#include "utils/iRPC/CRPCMsg.h"

class CClientConnectionFail : public CRPCMsg {
public:
    static constexpr std::int32_t kVersion = 1;

    CClientConnectionFail();

    std::int32_t GetVersion() const override { return kVersion; }
    bool Marshal(bool reading, UIOBuffer& buffer) override { return MarshalVersion(reading, buffer); }
    std::string ToString() const override { return "CClientConnectionFail"; }
};
