#include "ie/Browser/EventConnector.h"
#include "tests/support/DiagnosticCapture.h"
#include "tests/support/FakeConnectionPoint.h"
#include "tests/support/FakeDispatch.h"

#include <gtest/gtest.h>

#include <exdisp.h>
#include <exdispid.h>
#include <olectl.h>

using testing_support::FakeConnectionPoint;
using testing_support::FakeDispatch;

namespace {

// A source with one connection point, for DWebBrowserEvents2.
class Source : public IConnectionPointContainer {
public:
    Source() : point_(FakeConnectionPoint::Create(DIID_DWebBrowserEvents2, this)) {}
    FakeConnectionPoint& Point() { return *point_.Get(); }
    ULONG References() const { return references_; }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (iid == IID_IUnknown || iid == IID_IConnectionPointContainer) {
            *object = static_cast<IConnectionPointContainer*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
    ULONG STDMETHODCALLTYPE Release() override { return --references_; }
    HRESULT STDMETHODCALLTYPE EnumConnectionPoints(IEnumConnectionPoints**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE FindConnectionPoint(REFIID iid, IConnectionPoint** point) override {
        if (iid != DIID_DWebBrowserEvents2) {
            *point = nullptr;
            return CONNECT_E_NOCONNECTION;
        }
        return point_.CopyTo(reinterpret_cast<FakeConnectionPoint**>(point));
    }

private:
    win::ComPtr<FakeConnectionPoint> point_;
    ULONG references_ = 1;
};

TEST(EventConnectorTest, ConnectsDeliversAndDisconnects) {
    Source source;
    win::ComPtr<FakeDispatch> sink = FakeDispatch::Create();
    {
        CEventConnector connector;
        ASSERT_TRUE(connector.Connect(&source, DIID_DWebBrowserEvents2, sink.Get()));
        EXPECT_TRUE(connector.Connected());
        EXPECT_EQ(source.Point().SinkCount(), 1u);
        EXPECT_GT(sink->References(), 1u) << "the source holds the sink";
        EXPECT_TRUE(connector.Disconnect());
        EXPECT_FALSE(connector.Disconnect()) << "nothing left to end";
        EXPECT_EQ(source.Point().SinkCount(), 0u);
        EXPECT_EQ(sink->References(), 1u);

        ASSERT_TRUE(connector.Connect(&source, DIID_DWebBrowserEvents2, sink.Get()));
    }
    EXPECT_EQ(source.Point().SinkCount(), 0u) << "the destructor unsubscribes";
    EXPECT_EQ(sink->References(), 1u);
    EXPECT_EQ(source.References(), 1u);
    EXPECT_EQ(source.Point().References(), 1u);
}

TEST(EventConnectorTest, EachRefusalIsReported) {
    testing_support::DiagnosticCapture capture;
    Source source;
    win::ComPtr<FakeDispatch> sink = FakeDispatch::Create();
    win::ComPtr<FakeDispatch> notASource = FakeDispatch::Create();
    CEventConnector connector;

    EXPECT_FALSE(connector.Connect(nullptr, DIID_DWebBrowserEvents2, sink.Get()));
    EXPECT_TRUE(capture.Reported("CEventConnector::Connect", "NULL pointer"));
    EXPECT_FALSE(connector.Connect(&source, DIID_DWebBrowserEvents2, nullptr));
    EXPECT_FALSE(connector.Connect(notASource.Get(), DIID_DWebBrowserEvents2, sink.Get()));
    EXPECT_TRUE(capture.Reported("CEventConnector::Connect", "Object is not an IConnectionPointContainer"));
    EXPECT_FALSE(connector.Connect(&source, IID_IDispatch, sink.Get()));
    EXPECT_TRUE(capture.Reported("CEventConnector::Connect", "Couldn't find desired connection point"));
    source.Point().RefuseAdvise(true);
    EXPECT_FALSE(connector.Connect(&source, DIID_DWebBrowserEvents2, sink.Get()));
    EXPECT_TRUE(capture.Reported("CEventConnector::Connect", "Connection point wouldn't Advise"));
    EXPECT_FALSE(connector.Connected());
    source.Point().RefuseAdvise(false);

    ASSERT_TRUE(connector.Connect(&source, DIID_DWebBrowserEvents2, sink.Get()));
    source.Point().RefuseUnadvise(true);
    EXPECT_FALSE(connector.Disconnect());
    EXPECT_TRUE(capture.Reported("CEventConnector::Disconnect", "Connection point wouldn't Unadvise"));
    EXPECT_FALSE(connector.Connected());
    EXPECT_EQ(source.Point().References(), 1u) << "the point is let go all the same";
}

}  // namespace
