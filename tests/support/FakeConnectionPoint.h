// The outgoing-events half of a browser stand-in: one connection point that
// takes subscribers as the browser does (the sink is asked for the events
// interface, then for IDispatch) and fires events at them through
// IDispatch::Invoke with the browser's calling conventions.
#pragma once

#include "utils/Ownership/WinOwnership.h"

#include <ocidl.h>

#include <vector>

namespace testing_support {

class FakeConnectionPoint : public IConnectionPoint {
public:
    // container: not held (it owns this point); may be null.
    static win::ComPtr<FakeConnectionPoint> Create(REFIID events, IConnectionPointContainer* container);

    // Invokes every subscriber (those subscribed when the event started)
    // with riid IID_NULL, DISPATCH_METHOD, no named arguments, no result.
    // The first failure, else S_OK.
    HRESULT Fire(DISPID id, DISPPARAMS* parameters);
    std::size_t SinkCount() const { return sinks_.size(); }
    // Makes the next Advise or Unadvise fail.
    void RefuseAdvise(bool refuse) { refuseAdvise_ = refuse; }
    void RefuseUnadvise(bool refuse) { refuseUnadvise_ = refuse; }
    ULONG References() const { return references_; }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE GetConnectionInterface(IID* iid) override;
    HRESULT STDMETHODCALLTYPE GetConnectionPointContainer(IConnectionPointContainer** container) override;
    HRESULT STDMETHODCALLTYPE Advise(IUnknown* sink, DWORD* cookie) override;
    HRESULT STDMETHODCALLTYPE Unadvise(DWORD cookie) override;
    HRESULT STDMETHODCALLTYPE EnumConnections(IEnumConnections** connections) override;

private:
    struct Sink {
        DWORD cookie;
        win::ComPtr<IDispatch> dispatch;
    };

    FakeConnectionPoint(REFIID events, IConnectionPointContainer* container) : events_(events), container_(container) {}
    virtual ~FakeConnectionPoint() = default;

    const IID events_;
    IConnectionPointContainer* container_;
    std::vector<Sink> sinks_;
    DWORD nextCookie_ = 1;
    bool refuseAdvise_ = false;
    bool refuseUnadvise_ = false;
    ULONG references_ = 1;
};

}  // namespace testing_support
