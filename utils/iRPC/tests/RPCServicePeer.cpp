// Test program: the rating service's end in another process. Creates the
// window titled "Server:{A534759F-A612-4cf7-BA15-D022203D2DD1}", decodes the
// first message it gets and answers the message's reply window at once with
// a CServerNotify "peer got <ToString of the message>" carrying the same
// request id. Exit code 0 when answered, 2 when nothing came within 20 s,
// 3 when the message did not decode, 4 when the answer was refused.
#include "utils/iRPC/CRPCMsg.h"
#include "utils/iRPC/CServerNotify.h"
#include "utils/iRPC/RPCWindowHandle.h"
#include "utils/Window/UMessageWindow.h"

#include <windows.h>

namespace {

constexpr UINT_PTR kGiveUpTimer = 1;
int g_exitCode = 2;

LRESULT AnswerOnce(HWND window, WPARAM wParam, const COPYDATASTRUCT* copyData) {
    std::unique_ptr<CRPCMsg> message = CRPCMsg::Receive(static_cast<RPCWindow>(wParam), copyData);
    ::PostQuitMessage(0);
    if (!message) {
        g_exitCode = 3;
        return FALSE;
    }
    CServerNotify answer("peer got " + message->ToString());
    UIOBuffer payload;
    answer.MarshalPayload(message->RequestId(), payload);
    COPYDATASTRUCT reply = {};
    reply.dwData = static_cast<ULONG_PTR>(answer.Type());
    reply.cbData = static_cast<DWORD>(payload.Size());
    reply.lpData = payload.Data();
    const LRESULT accepted = ::SendMessageA(ToWindowHandle(message->SenderWindow()), WM_COPYDATA,
                                            reinterpret_cast<WPARAM>(window),
                                            reinterpret_cast<LPARAM>(&reply));
    g_exitCode = accepted ? 0 : 4;
    return TRUE;
}

}  // namespace

int main() {
    UMessageWindow window("RPCServicePeer::WindowProcedure");
    const bool created = window.Create(kRPCServiceWindowTitle, [&](UINT message, WPARAM wParam, LPARAM lParam,
                                                                    LRESULT* result) {
        if (message == WM_COPYDATA) {
            *result = AnswerOnce(window.Window(), wParam, reinterpret_cast<const COPYDATASTRUCT*>(lParam));
            return true;
        }
        if (message == WM_TIMER && wParam == kGiveUpTimer) {
            ::PostQuitMessage(0);
            *result = 0;
            return true;
        }
        return false;
    });
    if (!created)
        return 6;
    ::SetTimer(window.Window(), kGiveUpTimer, 20000, nullptr);
    MSG message;
    while (::GetMessageA(&message, nullptr, 0, 0) > 0)
        ::DispatchMessageA(&message);
    return g_exitCode;
}
