// Asks the rating service for the verdict on an address.
#pragma once

#include "utils/iRPC/CRPCMsg.h"

#include <string>

class CServerURLQuery : public CRPCMsg {
public:
    static constexpr std::int32_t kVersion = 1;

    CServerURLQuery();
    // The address as the browser reports it.
    explicit CServerURLQuery(std::string url);

    std::int32_t GetVersion() const override { return kVersion; }
    bool Marshal(bool reading, UIOBuffer& buffer) override;
    std::string ToString() const override;

    const std::string& Url() const { return url_; }

private:
    std::string url_;
};
