// Shared by the browser helper's tests: a recorder of evaluation messages,
// a message pump with a deadline, and a helper made through the module's
// class table.
#pragma once

#include "ie/Browser/BHO.h"
#include "ie/Evaluation/EvalMessage.h"
#include "ie/Evaluation/MessageTarget.h"
#include "ie/Module/ClassTable.h"
#include "ie/Module/ModuleClasses.h"

#include <functional>
#include <string>
#include <vector>

namespace browser_testing {

struct Recorded {
    int type;
    std::string text;
    bool isPage;
    bool hasDisp;
};

// Keeps what each message said, never the message's references.
class RecordingTarget : public CMessageTarget {
public:
    void Message(const CEvalMessage* message) override {
        messages.push_back(Recorded{message->type, message->text, message->isPage, message->disp != nullptr});
        if (onMessage)
            onMessage(*message);
    }
    std::vector<int> Types() const {
        std::vector<int> types;
        for (const Recorded& message : messages)
            types.push_back(message.type);
        return types;
    }
    std::vector<Recorded> messages;
    std::function<void(const CEvalMessage&)> onMessage;
};

// Pumps this thread's messages until `done` or the time is up; `done` once more at the end.
inline bool PumpUntil(const std::function<bool()>& done, DWORD milliseconds) {
    const DWORD start = ::GetTickCount();
    while (!done()) {
        if (::GetTickCount() - start > milliseconds)
            return done();
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
        MSG message;
        while (::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&message);
            ::DispatchMessageA(&message);
        }
    }
    return true;
}

inline void PumpFor(DWORD milliseconds) {
    PumpUntil([] { return false; }, milliseconds);
}

// A browser helper as the browser gets it: from the module's class object.
inline win::ComPtr<IObjectWithSite> CreateHelper() {
    win::ComPtr<IClassFactory> factory;
    if (FAILED(GetModuleClassObject(CLSID_QuillonBHO, IID_IClassFactory, factory.ReleaseAndGetVoidAddressOf())))
        return nullptr;
    win::ComPtr<IObjectWithSite> helper;
    if (FAILED(factory->CreateInstance(nullptr, IID_IObjectWithSite, helper.ReleaseAndGetVoidAddressOf())))
        return nullptr;
    return helper;
}

inline CBHO* AsHelper(const win::ComPtr<IObjectWithSite>& helper) {
    return static_cast<CBHO*>(helper.Get());
}

}  // namespace browser_testing
