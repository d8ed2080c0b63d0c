#include "service/tests/ServiceProcess.h"

#include "tests/support/TestPaths.h"
#include "utils/iRPC/RPCWindowHandle.h"

namespace service_testing {

namespace {

constexpr char kClientTitle[] = "Client:{A534759F-A612-4cf7-BA15-D022203D2DD1}";
constexpr DWORD kStartMilliseconds = 15000;
constexpr DWORD kStopMilliseconds = 15000;

win::UniqueHandle Start(const std::string& program, const std::string& arguments) {
    std::string commandLine = "\"" + program + "\"";
    if (!arguments.empty())
        commandLine += " " + arguments;
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info = {};
    if (!::CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info))
        return win::UniqueHandle();
    ::CloseHandle(info.hThread);
    return win::UniqueHandle(info.hProcess);
}

// The service window owned by the process, once it exists.
HWND WaitForWindowOf(HANDLE process) {
    const DWORD processId = ::GetProcessId(process);
    for (DWORD waited = 0; waited < kStartMilliseconds; waited += 20) {
        if (const HWND window = FindServiceWindow()) {
            DWORD owner = 0;
            ::GetWindowThreadProcessId(window, &owner);
            if (owner == processId)
                return window;
        }
        if (::WaitForSingleObject(process, 20) == WAIT_OBJECT_0)
            return nullptr;  // ended without a window
    }
    return nullptr;
}

}  // namespace

std::string ServiceProgram() {
    return testing_support::ExecutableDirectory() + "Quillon.exe";
}

HWND FindServiceWindow() {
    return ::FindWindowA(nullptr, kRPCServiceWindowTitle);
}

int RunToEnd(const std::string& program, const std::string& arguments, DWORD milliseconds) {
    const win::UniqueHandle process = Start(program, arguments);
    if (!process)
        return -1;
    if (::WaitForSingleObject(process.Get(), milliseconds) != WAIT_OBJECT_0) {
        ::TerminateProcess(process.Get(), 99);
        return -1;
    }
    DWORD code = 0;
    return ::GetExitCodeProcess(process.Get(), &code) ? static_cast<int>(code) : -1;
}

ServiceProcess::ServiceProcess(const std::string& arguments, const std::string& program) {
    if (FindServiceWindow())  // left over from an earlier test that crashed
        RunToEnd(ServiceProgram(), "/stop", kStopMilliseconds);
    process_ = Start(program, arguments);
    if (process_)
        window_ = WaitForWindowOf(process_.Get());
}

ServiceProcess::~ServiceProcess() {
    if (!process_ || ::WaitForSingleObject(process_.Get(), 0) == WAIT_OBJECT_0)
        return;
    RunToEnd(ServiceProgram(), "/stop", kStopMilliseconds);
    if (::WaitForSingleObject(process_.Get(), kStopMilliseconds) != WAIT_OBJECT_0) {
        ::TerminateProcess(process_.Get(), 98);
        ::WaitForSingleObject(process_.Get(), kStopMilliseconds);
    }
}

bool ServiceProcess::Stop() {
    if (!process_)
        return false;
    const int stopCode = RunToEnd(ServiceProgram(), "/stop", kStopMilliseconds);
    if (::WaitForSingleObject(process_.Get(), kStopMilliseconds) != WAIT_OBJECT_0)
        return false;
    DWORD code = 1;
    ::GetExitCodeProcess(process_.Get(), &code);
    return stopCode == 0 && code == 0;
}

ServiceClient::ServiceClient() : window_(kClientTitle, rpc_testing::RPCTestWindow::Behaviour::Accept) {}

std::vector<rpc_testing::Delivery> ServiceClient::Ask(CRPCMsg& request, std::int32_t requestId, std::size_t answers,
                                                      DWORD milliseconds) {
    const std::size_t before = window_.Deliveries().size();
    if (!request.Send(kRPCServiceWindow, ToRPCWindow(window_.Window()), requestId))
        return {};
    window_.WaitForDeliveries(before + answers, milliseconds);
    std::vector<rpc_testing::Delivery> all = window_.Deliveries();
    return std::vector<rpc_testing::Delivery>(all.begin() + static_cast<std::ptrdiff_t>(before), all.end());
}

std::unique_ptr<CRPCMsg> Decode(const rpc_testing::Delivery& delivery) {
    return CRPCMsg::Decode(delivery.type, delivery.wParam, delivery.payload.data(), delivery.payload.size());
}

}  // namespace service_testing
