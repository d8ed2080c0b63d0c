#include "tests/support/FakeConnectionPoint.h"

#include <olectl.h>

namespace testing_support {

win::ComPtr<FakeConnectionPoint> FakeConnectionPoint::Create(REFIID events, IConnectionPointContainer* container) {
    win::ComPtr<FakeConnectionPoint> point;
    point.Attach(new FakeConnectionPoint(events, container));
    return point;
}

HRESULT FakeConnectionPoint::Fire(DISPID id, DISPPARAMS* parameters) {
    // A sink may unsubscribe (or subscribe others) while it handles the event.
    const std::vector<Sink> sinks = sinks_;
    HRESULT result = S_OK;
    for (const Sink& sink : sinks) {
        const HRESULT invoked =
            sink.dispatch->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, parameters, nullptr, nullptr, nullptr);
        if (FAILED(invoked) && SUCCEEDED(result))
            result = invoked;
    }
    return result;
}

HRESULT STDMETHODCALLTYPE FakeConnectionPoint::QueryInterface(REFIID iid, void** object) {
    if (!object)
        return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_IConnectionPoint) {
        *object = static_cast<IConnectionPoint*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG STDMETHODCALLTYPE FakeConnectionPoint::AddRef() {
    return ++references_;
}

ULONG STDMETHODCALLTYPE FakeConnectionPoint::Release() {
    const ULONG left = --references_;
    if (left == 0)
        delete this;
    return left;
}

HRESULT STDMETHODCALLTYPE FakeConnectionPoint::GetConnectionInterface(IID* iid) {
    if (!iid)
        return E_POINTER;
    *iid = events_;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE FakeConnectionPoint::GetConnectionPointContainer(IConnectionPointContainer** container) {
    if (!container)
        return E_POINTER;
    *container = container_;
    if (container_)
        container_->AddRef();
    return container_ ? S_OK : E_FAIL;
}

HRESULT STDMETHODCALLTYPE FakeConnectionPoint::Advise(IUnknown* sink, DWORD* cookie) {
    if (!sink || !cookie)
        return E_POINTER;
    *cookie = 0;
    if (refuseAdvise_)
        return CONNECT_E_ADVISELIMIT;
    // As the browser does: the events interface first, then plain IDispatch.
    win::ComPtr<IDispatch> dispatch;
    if (FAILED(sink->QueryInterface(events_, dispatch.ReleaseAndGetVoidAddressOf())) &&
        FAILED(sink->QueryInterface(IID_IDispatch, dispatch.ReleaseAndGetVoidAddressOf())))
        return CONNECT_E_CANNOTCONNECT;
    *cookie = nextCookie_++;
    sinks_.push_back(Sink{*cookie, std::move(dispatch)});
    return S_OK;
}

HRESULT STDMETHODCALLTYPE FakeConnectionPoint::Unadvise(DWORD cookie) {
    if (refuseUnadvise_)
        return E_UNEXPECTED;
    for (auto sink = sinks_.begin(); sink != sinks_.end(); ++sink) {
        if (sink->cookie == cookie) {
            sinks_.erase(sink);
            return S_OK;
        }
    }
    return CONNECT_E_NOCONNECTION;
}

HRESULT STDMETHODCALLTYPE FakeConnectionPoint::EnumConnections(IEnumConnections** connections) {
    if (connections)
        *connections = nullptr;
    return E_NOTIMPL;
}

}  // namespace testing_support
