// The rating service's verdict on a downloaded file, found by its checksum.
#pragma once

#include "utils/iRPC/CRPCMsg.h"
#include "utils/iRPC/Verdict.h"

#include <string>

class CClientMD5Results : public CRPCMsg {
public:
    static constexpr std::int32_t kVersion = 2;

    // Empty: no code and no colour.
    CClientMD5Results();
    // Built from "DownloadQueryResponse/DownloadInfo" (Windows only).
    explicit CClientMD5Results(const char* document);

    std::int32_t GetVersion() const override { return kVersion; }
    bool Marshal(bool reading, UIOBuffer& buffer) override;
    // Sends, then counts the verdict for the improvement program.
    bool Send(RPCWindow target, RPCWindow replyWindow, std::int32_t requestId) override;
    std::string ToString() const override;

    std::int32_t Expiry() const { return expiry_; }
    // A name for the download.
    const std::string& Title() const { return title_; }
    std::int32_t Code() const { return code_; }
    std::int32_t Color() const { return color_; }
    const std::string& Description() const { return description_; }

private:
    void ReadDocument(const char* document);

    std::int32_t expiry_ = 0;
    std::string title_;
    std::int32_t code_ = VERDICT_NONE;
    std::int32_t color_ = COLOR_NONE;
    std::string description_;
};
