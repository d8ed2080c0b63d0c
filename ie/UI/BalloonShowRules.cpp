#include "ie/UI/BalloonShowRules.h"

void CBalloonShowRules::Set(int verdict, const std::string& text, const std::string& site) {
    verdict_ = verdict;
    text_ = text;
    site_ = site;
}

CBalloonShowRules::Decision CBalloonShowRules::Show(int mode, bool visible, bool onList) {
    mode_ = mode;
    if (visible)
        return Decision::kNothing;
    const bool automatic = mode != kOnRequest;
    // The user chose not to be warned, or has seen this warning here before.
    if (automatic && (onList || InHistory(site_, text_)))
        return Decision::kNothing;
    neverWarnLink_ = !onList;
    detailsLink_ = verdict_ != kNoVerdict;
    wanted_ = true;
    if (automatic && !delayPassed_)
        return Decision::kWait;
    return Decision::kShow;
}

void CBalloonShowRules::Shown() {
    shown_ = true;
    history_[site_].insert(text_);
}

void CBalloonShowRules::Hide() {
    wanted_ = false;
    delayPassed_ = false;
    shown_ = false;
}

bool CBalloonShowRules::DelayPassed() {
    delayPassed_ = true;
    return wanted_ && !shown_;
}

bool CBalloonShowRules::InHistory(const std::string& site, const std::string& text) const {
    const auto texts = history_.find(site);
    return texts != history_.end() && texts->second.count(text) != 0;
}
