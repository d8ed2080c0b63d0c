// A notification of a user or page event, in query-string form
// ("type=phishing&name=..."); the service answers nothing.
#pragma once

#include "utils/iRPC/CRPCMsg.h"

#include <string>

class CServerNotify : public CRPCMsg {
public:
    static constexpr std::int32_t kVersion = 1;

    CServerNotify();
    explicit CServerNotify(std::string text);

    std::int32_t GetVersion() const override { return kVersion; }
    bool Marshal(bool reading, UIOBuffer& buffer) override;
    std::string ToString() const override;

    const std::string& Text() const { return text_; }

private:
    std::string text_;
};
