// One subscription to an object's outgoing events through its connection
// point: the browser helper's link to the browser's navigation events.
#pragma once

#include "utils/Ownership/WinOwnership.h"

#include <ocidl.h>

class CEventConnector {
public:
    CEventConnector() = default;
    // Unsubscribes when still connected: the source holds a reference on the
    // sink until then, which would keep the sink (and the module) alive.
    ~CEventConnector();
    CEventConnector(const CEventConnector&) = delete;
    CEventConnector& operator=(const CEventConnector&) = delete;

    // Subscribes sink to the source's events of interface `events`. False
    // (reported) when either is null, the source has no such connection
    // point or refuses the sink; an earlier subscription is ended first.
    bool Connect(IUnknown* source, REFIID events, IUnknown* sink);
    // Ends the subscription; false when there was none or Unadvise failed.
    bool Disconnect();
    bool Connected() const { return cookie_ != 0; }

private:
    win::ComPtr<IConnectionPoint> point_;
    DWORD cookie_ = 0;
};
