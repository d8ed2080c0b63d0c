// Operations on the user's do-not-warn list kept by the rating service.
#pragma once

#include "utils/iRPC/CRPCMsg.h"

#include <string>

class CServerWhitelistQuery : public CRPCMsg {
public:
    static constexpr std::int32_t kVersion = 1;

    enum Operation : std::int32_t {
        WHITELIST_QUERY_ADD = 0,         // text: the site to add
        WHITELIST_QUERY_REMOVE = 1,      // text: the site to remove
        WHITELIST_QUERY_REQUESTALL = 2,  // text empty; the list comes back as an answer
        // No trace name: the whole list as edited in the dialog, sites
        // separated by ";".
        WHITELIST_QUERY_REPLACE = 3,
    };
    // Trace names by operation, null-terminated; the replace has none.
    static const char* const kOperationNames[];

    CServerWhitelistQuery();
    CServerWhitelistQuery(std::int32_t operation, std::string text);

    std::int32_t GetVersion() const override { return kVersion; }
    bool Marshal(bool reading, UIOBuffer& buffer) override;
    std::string ToString() const override;

    std::int32_t GetOperation() const { return operation_; }
    const std::string& Text() const { return text_; }

private:
    std::int32_t operation_ = 0;
    std::string text_;
};
