// The rating service monitor with stand-in programs and windows, and once
// with the real service killed under it.
#include "ie/Browser/ServerMonitor.h"
#include "ie/Browser/tests/BrowserTesting.h"
#include "service/tests/ServiceProcess.h"
#include "tests/support/DiagnosticCapture.h"
#include "tests/support/TestPaths.h"
#include "utils/iRPC/RPCWindowHandle.h"
#include "utils/iRPC/tests/RPCTestWindow.h"

#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <stdexcept>
#include <string>

using browser_testing::PumpFor;
using browser_testing::PumpUntil;

namespace {

class CountingOwner : public IServerMonitorOwner {
public:
    void OnServerDown() override {
        ++downs;
        if (throwing)
            throw std::runtime_error("status button gone");
    }
    void OnServerBack() override { ++backs; }
    int downs = 0;
    int backs = 0;
    bool throwing = false;
};

// Starts of the stand-in program, counted from its record file.
class LaunchRecord {
public:
    LaunchRecord() : folder_("QuillonMonitor"), file_(folder_.Path() + "launches.txt") {
        ::SetEnvironmentVariableA("QUILLON_RECORD_FILE", file_.c_str());
    }
    ~LaunchRecord() { ::SetEnvironmentVariableA("QUILLON_RECORD_FILE", nullptr); }
    int Count() const {
        std::ifstream in(file_);
        int lines = 0;
        for (std::string line; std::getline(in, line);)
            ++lines;
        return lines;
    }
    static std::string Program() { return testing_support::ExecutableDirectory() + "ArgumentRecorder.exe"; }

private:
    testing_support::ScratchDirectory folder_;
    std::string file_;
};

TEST(ServerMonitorTest, AbsentServiceIsStartedAndRetriedEachTick) {
    LaunchRecord launches;
    CountingOwner owner;
    {
        CServerMonitor monitor;
        ASSERT_TRUE(monitor.Window());
        monitor.SetBHO(&owner);
        monitor.SetProgram(LaunchRecord::Program());
        monitor.SetPeriod(100);
        monitor.LaunchServer();
        EXPECT_TRUE(monitor.TimerArmed());
        EXPECT_TRUE(PumpUntil([&] { return launches.Count() >= 3; }, 5000));
        EXPECT_GE(owner.downs, 2);
        EXPECT_TRUE(monitor.ServiceDown());

        EXPECT_EQ(owner.backs, 0);

        // The service shows up: the next tick clears the flag and says so once.
        rpc_testing::RPCTestWindow service(kRPCServiceWindowTitle, rpc_testing::RPCTestWindow::Behaviour::Accept);
        PumpFor(300);
        EXPECT_FALSE(monitor.ServiceDown());
        EXPECT_EQ(owner.backs, 1);
        const int launched = launches.Count();
        const int downs = owner.downs;
        PumpFor(300);
        EXPECT_EQ(launches.Count(), launched);
        EXPECT_EQ(owner.downs, downs);
    }
}

// A service that runs at start is watched all the same: when it dies later
// it is started again.
TEST(ServerMonitorTest, RunningServiceIsWatchedFromTheStart) {
    LaunchRecord launches;
    CountingOwner owner;
    CServerMonitor monitor;
    monitor.SetBHO(&owner);
    monitor.SetProgram(LaunchRecord::Program());
    monitor.SetPeriod(100);
    {
        rpc_testing::RPCTestWindow service(kRPCServiceWindowTitle, rpc_testing::RPCTestWindow::Behaviour::Accept);
        monitor.LaunchServer();
        EXPECT_TRUE(monitor.TimerArmed());
        PumpFor(250);
        EXPECT_EQ(launches.Count(), 0);
        EXPECT_EQ(owner.downs, 0);
    }
    EXPECT_TRUE(PumpUntil([&] { return launches.Count() >= 1; }, 3000));
    EXPECT_GE(owner.downs, 1);
    monitor.Stop();
    EXPECT_FALSE(monitor.TimerArmed());
    PumpFor(300);  // programs started before the stop finish writing
    const int launched = launches.Count();
    PumpFor(300);
    EXPECT_EQ(launches.Count(), launched) << "stopped";
}

TEST(ServerMonitorTest, FailuresAreReportedAndTheTimerGoesOn) {
    testing_support::DiagnosticCapture capture;
    LaunchRecord launches;
    CountingOwner owner;
    owner.throwing = true;
    HWND window = nullptr;
    {
        CServerMonitor monitor;
        window = monitor.Window();
        monitor.ServerDown();
        EXPECT_TRUE(capture.Reported("CServerMonitor::ServerDown", "NULL bho pointer"));
        monitor.SetBHO(nullptr);
        EXPECT_TRUE(capture.Reported("CServerMonitor::SetBHO", "NULL pointer"));
        monitor.SetBHO(&owner);
        monitor.SetProgram(LaunchRecord::Program());
        monitor.SetPeriod(100);
        monitor.LaunchServer();
        EXPECT_TRUE(PumpUntil([&] { return owner.downs >= 2; }, 3000)) << "a throwing owner does not stop the ticks";
        EXPECT_TRUE(capture.Reported("CServerMonitor::OnTimer", "Exception thrown"));
    }
    EXPECT_FALSE(::IsWindow(window)) << "the window goes with the monitor";
}

// The real service, killed: the monitor with its real period starts it
// again within five seconds.
TEST(ServerMonitorTest, KilledServiceIsRestartedWithinFiveSeconds) {
    EXPECT_EQ(CServerMonitor::kPeriodMs, 5000u);
    EXPECT_EQ(CServerMonitor::kTimerId, 45u);
    CountingOwner owner;
    {
        service_testing::ServiceProcess service;
        ASSERT_TRUE(service.Window());
        CServerMonitor monitor;
        monitor.SetBHO(&owner);
        monitor.LaunchServer();  // finds it running
        ASSERT_TRUE(monitor.TimerArmed());
        ASSERT_TRUE(::TerminateProcess(service.Process(), 9));
        ::WaitForSingleObject(service.Process(), 5000);
        EXPECT_TRUE(PumpUntil([] { return service_testing::FindServiceWindow() == nullptr; }, 2000));
        const DWORD killed = ::GetTickCount();
        EXPECT_TRUE(PumpUntil([] { return service_testing::FindServiceWindow() != nullptr; }, 8000));
        const DWORD restarted = ::GetTickCount() - killed;
        EXPECT_LE(restarted, 6500u) << "five seconds and the service's own start";
        EXPECT_EQ(owner.downs, 1);
        EXPECT_TRUE(monitor.ServiceDown());
    }
    // The restarted service is not the test's process: stop it by its own command.
    service_testing::RunToEnd(service_testing::ServiceProgram(), "/stop", 10000);
    EXPECT_TRUE(PumpUntil([] { return service_testing::FindServiceWindow() == nullptr; }, 5000));
}

}  // namespace
