// Asks the rating service for the verdict on a downloaded file, by its MD5
// checksum and the address it came from.
#pragma once

#include "utils/iRPC/CRPCMsg.h"

#include <string>

class CServerMD5Query : public CRPCMsg {
public:
    static constexpr std::int32_t kVersion = 2;

    CServerMD5Query();
    CServerMD5Query(std::string checksum, std::string url);

    std::int32_t GetVersion() const override { return kVersion; }
    bool Marshal(bool reading, UIOBuffer& buffer) override;
    std::string ToString() const override;

    const std::string& Checksum() const { return checksum_; }
    const std::string& Url() const { return url_; }

private:
    std::string checksum_;
    std::string url_;
};
