// The browser helper as page evaluation sees it, with a menu bar, a balloon
// and an alert that only record what they are asked to do, in one log.
// The menu bar and the balloon can be taken away and brought back, as the
// user closes and reopens the toolbar.
#pragma once

#include "ie/Evaluation/IBalloonDisplay.h"
#include "ie/Evaluation/IEvaluationHost.h"
#include "ie/Evaluation/IMenuBarDisplay.h"
#include "ie/Evaluation/ISafetyAlertDisplay.h"

#include <functional>
#include <set>
#include <string>
#include <vector>

namespace evaluation_testing {

class RecordingHost : public IEvaluationHost {
public:
    RecordingHost() : menuBar_(log_), balloon_(log_), alert_(log_) {}

    IMenuBarDisplay* GetMenuBar() override { return haveMenuBar ? &menuBar_ : nullptr; }
    IBalloonDisplay* GetBalloon() override { return haveBalloon ? &balloon_ : nullptr; }
    ISafetyAlertDisplay* GetSafetyAlert() override { return &alert_; }
    HWND GetAlertOwner() override { return owner; }
    bool IsOnDoNotWarnList(const std::string& domain) override { return doNotWarn.count(domain) != 0; }
    bool IsEnabled() override { return enabled; }

    const std::vector<std::string>& Log() const { return log_; }
    void ClearLog() { log_.clear(); }
    // Entries that start with `prefix`.
    std::vector<std::string> Calls(const std::string& prefix) const {
        std::vector<std::string> found;
        for (const std::string& entry : log_) {
            if (entry.compare(0, prefix.size(), prefix) == 0)
                found.push_back(entry);
        }
        return found;
    }
    // Runs while the alert is "open" (a modal loop would run here).
    std::function<void()> whileAlertOpen;

    bool haveMenuBar = true;
    bool haveBalloon = true;
    bool enabled = true;
    HWND owner = nullptr;
    std::set<std::string> doNotWarn;

private:
    struct MenuBar : IMenuBarDisplay {
        explicit MenuBar(std::vector<std::string>& log) : log(log) {}
        void Set(int colour) override { log.push_back("menu.Set(" + std::to_string(colour) + ")"); }
        void ShowWaiting() override { log.push_back("menu.ShowWaiting"); }
        void ShowOff() override { log.push_back("menu.ShowOff"); }
        std::vector<std::string>& log;
    };
    struct Balloon : IBalloonDisplay {
        explicit Balloon(std::vector<std::string>& log) : log(log) {}
        void Hide() override { log.push_back("balloon.Hide"); }
        void Set(int colour, int verdict, const std::string& text, const std::string& site) override {
            log.push_back("balloon.Set(" + std::to_string(colour) + "," + std::to_string(verdict) + "," + text +
                          "," + site + ")");
        }
        void Show(int mode) override { log.push_back("balloon.Show(" + std::to_string(mode) + ")"); }
        std::vector<std::string>& log;
    };
    struct Alert : ISafetyAlertDisplay {
        explicit Alert(std::vector<std::string>& log) : log(log) {}
        void ShowModal(int category, const std::string& reason, HWND) override {
            log.push_back("alert(" + std::to_string(category) + "," + reason + ")");
            if (whileOpen)
                whileOpen();
        }
        std::vector<std::string>& log;
        std::function<void()> whileOpen;
    };

public:
    // Installs whileAlertOpen into the alert (call after setting it).
    void ArmAlert() { alert_.whileOpen = whileAlertOpen; }

private:
    std::vector<std::string> log_;
    MenuBar menuBar_;
    Balloon balloon_;
    Alert alert_;
};

}  // namespace evaluation_testing
