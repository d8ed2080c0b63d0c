// Feedback on an address. Part of the vocabulary shared with the service;
// the add-on itself never sends one.
#pragma once

#include "utils/iRPC/CRPCMsg.h"

#include <string>

class CServerURLFeedback : public CRPCMsg {
public:
    static constexpr std::int32_t kVersion = 1;

    CServerURLFeedback();
    CServerURLFeedback(std::string url, std::int32_t value);

    std::int32_t GetVersion() const override { return kVersion; }
    bool Marshal(bool reading, UIOBuffer& buffer) override;
    std::string ToString() const override;

    const std::string& Url() const { return url_; }
    std::int32_t Value() const { return value_; }

private:
    std::string url_;
    std::int32_t value_ = 0;
};
