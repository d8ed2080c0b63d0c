// Answers built once and sent again for a while. Building an answer parses
// its document with the platform XML parser, which costs milliseconds; the
// same site is asked about again and again (every page and frame of it).
// An answer is reused for at most kReuseSeconds, so its expiry, fixed when
// it was built, stays within the hour the add-on's rule allows.
#pragma once

#include "utils/iRPC/CRPCMsg.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

class CAnswerCache {
public:
    using Answers = std::vector<std::unique_ptr<CRPCMsg>>;

    static constexpr std::int64_t kReuseSeconds = 60;
    // When full, the whole cache is dropped: cheap, and a flood of distinct
    // hosts cannot grow it.
    static constexpr std::size_t kMaxEntries = 512;

    // The answers stored under `key` at most kReuseSeconds before `now`
    // (seconds since 1970), else null.
    Answers* Find(const std::string& key, std::int64_t now);
    // Keeps the answers (replacing older ones under the key) and returns them.
    Answers& Store(const std::string& key, Answers answers, std::int64_t now);
    std::size_t Size() const { return entries_.size(); }

private:
    struct Entry {
        std::int64_t built = 0;
        Answers answers;
    };
    std::unordered_map<std::string, Entry> entries_;
};
