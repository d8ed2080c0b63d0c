// Quillon.exe: the rating service. Runs hidden (no console, no visible
// window), one instance per user session; see CServiceCommandLine for the
// switches.
#include "service/CRatingService.h"
#include "service/CRatingsHttpServer.h"
#include "service/CRatingsStore.h"
#include "service/CServiceCommandLine.h"
#include "service/CServiceLog.h"
#include "service/RatingsSource.h"
#include "utils/Diagnostics/ReportAssert.h"
#include "utils/Ownership/WinOwnership.h"
#include "utils/iRPC/RPCWindowHandle.h"
#include "utils/iRPC/RatingsHttpAddress.h"

#include <windows.h>
#include <objbase.h>

namespace {

constexpr char kInstanceMutex[] = "QuillonRatingService";
constexpr DWORD kStopWaitMilliseconds = 10000;

enum ExitCode : int { kExitOk = 0, kExitStopTimedOut = 1, kExitBadArguments = 2, kExitNoWindow = 3 };

// The answer documents are read with the platform XML parser, a COM object.
class ComApartment {
public:
    ComApartment() : initialized_(SUCCEEDED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {}
    ~ComApartment() {
        if (initialized_)
            ::CoUninitialize();
    }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;

private:
    bool initialized_;
};

// Closes the running service the way a user's logoff would: WM_CLOSE to its
// window, then waits for its process to end.
int StopRunningService() {
    const HWND window = ::FindWindowA(nullptr, kRPCServiceWindowTitle);
    if (!window)
        return kExitOk;  // nothing runs
    DWORD processId = 0;
    ::GetWindowThreadProcessId(window, &processId);
    const win::UniqueHandle process(::OpenProcess(SYNCHRONIZE, FALSE, processId));
    ::PostMessageA(window, WM_CLOSE, 0, 0);
    if (process)
        return ::WaitForSingleObject(process.Get(), kStopWaitMilliseconds) == WAIT_OBJECT_0 ? kExitOk
                                                                                             : kExitStopTimedOut;
    for (DWORD waited = 0; waited < kStopWaitMilliseconds; waited += 50) {
        if (!::IsWindow(window))
            return kExitOk;
        ::Sleep(50);
    }
    return kExitStopTimedOut;
}

int PumpMessages() {
    MSG message;
    while (::GetMessageA(&message, nullptr, 0, 0) > 0)
        ::DispatchMessageA(&message);
    return kExitOk;
}

int RunService(const std::string& ratingsPath) {
    // Held for the life of the process: a second instance sees it and leaves.
    const win::UniqueHandle instance(::CreateMutexA(nullptr, FALSE, kInstanceMutex));
    if (!instance || ::GetLastError() == ERROR_ALREADY_EXISTS)
        return kExitOk;

    const ComApartment apartment;
    CRatingsStore ratings;
    LoadRatings(ratings, ratingsPath);  // reported inside; answers stay UNKNOWN
    CServiceLog log;
    CRatingService service(ratings, log);
    if (!service.Create())
        return kExitNoWindow;
    // The safe-search scripts ask over HTTP. Without the port (taken by
    // another program) the window side still serves the add-on; Start has
    // reported why.
    CRatingsHttpServer http(ratings);
    http.Start("127.0.0.1", kRatingsHttpPort);
    return PumpMessages();
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR arguments, int) {
    try {
        const CServiceCommandLine commandLine(arguments ? arguments : "");
        switch (commandLine.GetAction()) {
        case CServiceCommandLine::Action::Stop:
            return StopRunningService();
        case CServiceCommandLine::Action::Run:
            return RunService(commandLine.RatingsPath());
        case CServiceCommandLine::Action::Invalid:
            break;
        }
        REPORT_ASSERT("WinMain", commandLine.Error().c_str());
        return kExitBadArguments;
    } catch (...) {
        REPORT_ASSERT("WinMain", "Exception thrown");
        return kExitNoWindow;
    }
}
