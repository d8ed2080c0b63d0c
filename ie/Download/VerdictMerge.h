// How the verdict window turns the service's answers about one download into
// one verdict: a certified site wins over everything, a checksum verdict
// over site verdicts, a site verdict only raises the stored one; and how
// many answers are still to come, so that the wait ends as soon as all are
// in. A site query is answered twice (the site's facts, then its verdict); a
// checksum query and a list request once each.
#pragma once

#include <cstdint>
#include <string>

class CVerdictMerge {
public:
    static constexpr int kAnswersPerSiteQuery = 2;
    static constexpr int kAnswersPerChecksumQuery = 1;
    static constexpr int kAnswersPerListRequest = 1;

    CVerdictMerge();

    // Counting what was asked.
    void Expect(int answers) { outstanding_ += answers; }
    // Every answer, of whatever kind, counts one off.
    void CountAnswer();
    bool AllAnswered() const { return outstanding_ <= 0; }
    int Outstanding() const { return outstanding_; }

    // A site's verdict: its overall code decides, the Downloads facet gives
    // the verdict and text.
    void OnSiteResult(std::int32_t siteCode, std::int32_t downloadsCode, std::int32_t colour,
                      const std::string& downloadsText);
    // The checksum's verdict.
    void OnChecksumResult(std::int32_t code, std::int32_t colour, const std::string& text, const std::string& title);
    void OnList(const std::string& listText) { list_ = listText; }

    std::int32_t Verdict() const { return verdict_; }
    std::int32_t Colour() const { return colour_; }
    const std::string& Text() const { return text_; }
    const std::string& Title() const { return title_; }
    const std::string& List() const { return list_; }
    bool ChecksumResultUsed() const { return checksumUsed_; }

private:
    std::int32_t verdict_;
    std::int32_t colour_;
    std::string text_;
    std::string title_;
    std::string list_;
    bool checksumUsed_ = false;
    int outstanding_ = 0;
};
