#include "ie/Browser/EventConnector.h"

#include "utils/Diagnostics/ReportAssert.h"

CEventConnector::~CEventConnector() {
    if (cookie_)
        Disconnect();
}

bool CEventConnector::Connect(IUnknown* source, REFIID events, IUnknown* sink) {
    if (!source || !sink) {
        REPORT_ASSERT("CEventConnector::Connect", "NULL pointer");
        return false;
    }
    if (cookie_)
        Disconnect();
    win::ComPtr<IConnectionPointContainer> container;
    if (FAILED(source->QueryInterface(IID_IConnectionPointContainer, container.ReleaseAndGetVoidAddressOf())) ||
        !container) {
        REPORT_ASSERT("CEventConnector::Connect", "Object is not an IConnectionPointContainer");
        return false;
    }
    win::ComPtr<IConnectionPoint> point;
    if (FAILED(container->FindConnectionPoint(events, point.ReleaseAndGetAddressOf())) || !point) {
        REPORT_ASSERT("CEventConnector::Connect", "Couldn't find desired connection point");
        return false;
    }
    DWORD cookie = 0;
    if (FAILED(point->Advise(sink, &cookie)) || cookie == 0) {
        REPORT_ASSERT("CEventConnector::Connect", "Connection point wouldn't Advise");
        return false;
    }
    point_ = std::move(point);
    cookie_ = cookie;
    return true;
}

bool CEventConnector::Disconnect() {
    if (!cookie_ || !point_)
        return false;
    const HRESULT result = point_->Unadvise(cookie_);
    cookie_ = 0;
    point_.Reset();
    if (FAILED(result)) {
        REPORT_ASSERT("CEventConnector::Disconnect", "Connection point wouldn't Unadvise");
        return false;
    }
    return true;
}
