// The user's whole do-not-warn list, sent by the rating service: sites
// separated by ";".
#pragma once

#include "utils/iRPC/CRPCMsg.h"

#include <string>

class CServerWhitelistList : public CRPCMsg {
public:
    static constexpr std::int32_t kVersion = 1;

    CServerWhitelistList();
    explicit CServerWhitelistList(std::string list);

    std::int32_t GetVersion() const override { return kVersion; }
    bool Marshal(bool reading, UIOBuffer& buffer) override;
    std::string ToString() const override;

    const std::string& List() const { return list_; }

private:
    std::string list_;
};
