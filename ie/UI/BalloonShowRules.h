// When the safety balloon shows itself, and what it shows: the automatic
// balloon of a WARN page or form comes up once per site and text, a second
// after its verdict arrived, never for a site on the do-not-warn list; the
// balloon the user asks for comes up at once. No windows here: the balloon
// window asks these rules and does what they say.
#pragma once

#include <map>
#include <set>
#include <string>

class CBalloonShowRules {
public:
    enum Mode : int {
        kAutomatic = 0,  // the page's verdict is WARN
        kForm = 1,       // the user is filling in a form of a WARN site
        kOnRequest = 2,  // the status button or its menu asked
    };
    enum class Decision {
        kNothing,  // already up, shown before, or the user said never
        kWait,     // the delay after the verdict has not passed yet
        kShow,     // show it now, then call Shown
    };
    static constexpr int kNoVerdict = 99;
    static constexpr unsigned kDelayMs = 1000;
    static constexpr unsigned kAutoHideMs = 10000;
    static constexpr unsigned kOnRequestCheckMs = 1000;

    // A verdict to show (the delay starts again).
    void Set(int verdict, const std::string& text, const std::string& site);
    // A show was asked for in `mode`. `visible`: the balloon is up already;
    // `onList`: the site is on the do-not-warn list.
    Decision Show(int mode, bool visible, bool onList);
    // The balloon went up: remembered for its site and text.
    void Shown();
    // Hidden for good: a navigation, the close button, the never-warn link.
    void Hide();
    // The delay after Set passed; true when a show waits for it (ask Show again).
    bool DelayPassed();

    int CurrentMode() const { return mode_; }
    bool ShowDetailsLink() const { return detailsLink_; }
    bool ShowNeverWarnLink() const { return neverWarnLink_; }
    bool WasShown() const { return shown_; }
    bool Wanted() const { return wanted_; }
    // How long the balloon stays up; on request it is checked this often and
    // stays while the pointer rests on it.
    unsigned AutoHideInterval() const { return mode_ == kOnRequest ? kOnRequestCheckMs : kAutoHideMs; }
    bool StaysUnderPointer() const { return mode_ == kOnRequest; }
    bool InHistory(const std::string& site, const std::string& text) const;

private:
    int verdict_ = kNoVerdict;
    std::string text_;
    std::string site_;
    int mode_ = kAutomatic;
    bool wanted_ = false;
    bool delayPassed_ = false;
    bool shown_ = false;
    bool detailsLink_ = false;
    bool neverWarnLink_ = false;
    // Texts shown automatically, by site, for as long as the browser window lives.
    std::map<std::string, std::set<std::string>> history_;
};
