#include "ie/Download/VerdictMerge.h"

#include "utils/iRPC/Verdict.h"

namespace {

constexpr char kDefaultText[] = "Unknown download";
constexpr char kCertifiedSiteText[] = "You are downloading from a certified site.";

}  // namespace

CVerdictMerge::CVerdictMerge() : verdict_(VERDICT_PENDING), colour_(COLOR_YELLOW), text_(kDefaultText) {}

void CVerdictMerge::CountAnswer() {
    if (outstanding_ > 0)
        --outstanding_;
}

void CVerdictMerge::OnSiteResult(std::int32_t siteCode, std::int32_t downloadsCode, std::int32_t colour,
                                 const std::string& downloadsText) {
    if (siteCode == VERDICT_CERTIFIED) {
        verdict_ = VERDICT_CERTIFIED;
        colour_ = COLOR_GREEN;
        text_ = kCertifiedSiteText;
        return;
    }
    if (checksumUsed_ || siteCode == VERDICT_PENDING)
        return;
    if (verdict_ == VERDICT_PENDING || siteCode > verdict_) {
        verdict_ = downloadsCode;
        colour_ = colour;
        text_ = downloadsText;
    }
}

void CVerdictMerge::OnChecksumResult(std::int32_t code, std::int32_t colour, const std::string& text,
                                     const std::string& title) {
    if (code == VERDICT_UNKNOWN || verdict_ == VERDICT_CERTIFIED)
        return;
    // An answer without a rating (a damaged document) says nothing.
    if (code < VERDICT_CERTIFIED || code > VERDICT_WARN)
        return;
    verdict_ = code;
    colour_ = colour;
    text_ = text;
    title_ = title;
    checksumUsed_ = true;
}
