// Keeps the rating service running: starts it when its window is missing
// and from then on looks for the window every five seconds, restarting the
// service and telling the status button when it has gone. One per browser
// window, on that window's thread.
#pragma once

#include "utils/Window/UMessageWindow.h"

#include <windows.h>

#include <string>

// What the monitor asks of its owner, the browser helper.
class IServerMonitorOwner {
public:
    // The service window has gone: the status button shows it.
    virtual void OnServerDown() = 0;
    // The service window is there again after it had gone.
    virtual void OnServerBack() = 0;

protected:
    ~IServerMonitorOwner() = default;
};

class CServerMonitor {
public:
    static constexpr UINT_PTR kTimerId = 45;
    static constexpr UINT kPeriodMs = 5000;
    static constexpr char kServiceProgram[] = "%INSTALL_DIR%Quillon.exe";

    // Creates the hidden monitor window (reported when it cannot).
    CServerMonitor();
    // Stops the timer and destroys the window.
    ~CServerMonitor();
    CServerMonitor(const CServerMonitor&) = delete;
    CServerMonitor& operator=(const CServerMonitor&) = delete;

    void SetBHO(IServerMonitorOwner* owner);
    // Starts the service unless its window exists, and arms the check in
    // every case: a service that was already running can still die later.
    void LaunchServer();
    // The service is gone: note it and tell the owner.
    void ServerDown();
    // Stops checking; the window stays until destruction.
    void Stop();

    LRESULT OnTimer(UINT_PTR id);

    bool ServiceDown() const { return serviceDown_; }
    bool TimerArmed() const { return timerArmed_; }
    HWND Window() const { return window_.Window(); }
    // Tests point the monitor at another program and a shorter period.
    void SetProgram(const std::string& program) { program_ = program; }
    void SetPeriod(UINT milliseconds) { periodMs_ = milliseconds; }

private:
    static bool ServiceWindowExists();
    void Arm();

    UMessageWindow window_;
    IServerMonitorOwner* owner_ = nullptr;
    bool serviceDown_ = false;
    // Cleared with the service-down flag when the service is back.
    bool secondFlag_ = false;
    bool timerArmed_ = false;
    std::string program_ = kServiceProgram;
    UINT periodMs_ = kPeriodMs;
};
