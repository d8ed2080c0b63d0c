#include "service/CAnswerCache.h"

CAnswerCache::Answers* CAnswerCache::Find(const std::string& key, std::int64_t now) {
    const auto found = entries_.find(key);
    if (found == entries_.end())
        return nullptr;
    // A clock set back makes the entry look built in the future: rebuild.
    const std::int64_t age = now - found->second.built;
    if (age < 0 || age > kReuseSeconds) {
        entries_.erase(found);
        return nullptr;
    }
    return &found->second.answers;
}

CAnswerCache::Answers& CAnswerCache::Store(const std::string& key, Answers answers, std::int64_t now) {
    if (entries_.size() >= kMaxEntries && !entries_.count(key))
        entries_.clear();
    Entry& entry = entries_[key];
    entry.built = now;
    entry.answers = std::move(answers);
    return entry.answers;
}
