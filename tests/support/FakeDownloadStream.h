// Stand-ins for what surrounds a MIME filter in a download: the protocol
// beneath it (serving chosen bytes in chosen pieces, then end of data or an
// error) and, above it, the sink and bind information urlmon gives it. Each
// writes what it was called with into one shared call log, so that tests
// check the order of calls across them, as urlmon's own tests do.
#pragma once

#include <windows.h>
#include <urlmon.h>

#include <cstdint>
#include <string>
#include <vector>

namespace testing_support {

using CallLog = std::vector<std::string>;

// The protocol beneath the filter.
class FakeProtocol final : public IInternetProtocol {
public:
    FakeProtocol(CallLog& log, std::vector<std::uint8_t> bytes, std::vector<ULONG> pieces = {});

    // What Read answers once the bytes are all read (S_FALSE by default),
    // or an error after `afterBytes` bytes.
    void FailAfter(std::size_t afterBytes, HRESULT error);
    std::size_t Position() const { return position_; }
    ULONG References() const { return references_; }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE Start(LPCWSTR, IInternetProtocolSink*, IInternetBindInfo*, DWORD, HANDLE_PTR) override;
    HRESULT STDMETHODCALLTYPE Continue(PROTOCOLDATA*) override;
    HRESULT STDMETHODCALLTYPE Abort(HRESULT reason, DWORD) override;
    HRESULT STDMETHODCALLTYPE Terminate(DWORD) override;
    HRESULT STDMETHODCALLTYPE Suspend() override;
    HRESULT STDMETHODCALLTYPE Resume() override;
    HRESULT STDMETHODCALLTYPE Read(void* buffer, ULONG size, ULONG* read) override;
    HRESULT STDMETHODCALLTYPE Seek(LARGE_INTEGER, DWORD, ULARGE_INTEGER*) override;
    HRESULT STDMETHODCALLTYPE LockRequest(DWORD) override;
    HRESULT STDMETHODCALLTYPE UnlockRequest() override;

private:
    CallLog& log_;
    std::vector<std::uint8_t> bytes_;
    std::vector<ULONG> pieces_;  // sizes of the first reads; then whatever is asked
    std::size_t piece_ = 0;
    std::size_t position_ = 0;
    std::size_t failAfter_ = SIZE_MAX;
    HRESULT error_ = S_OK;
    ULONG references_ = 1;
};

// The sink above the filter and the binding's information.
class FakeProtocolSink final : public IInternetProtocolSink, public IInternetBindInfo {
public:
    // An empty url: the bind information has none to give.
    FakeProtocolSink(CallLog& log, std::wstring url);
    ULONG References() const { return references_; }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE Switch(PROTOCOLDATA*) override;
    HRESULT STDMETHODCALLTYPE ReportProgress(ULONG status, LPCWSTR text) override;
    HRESULT STDMETHODCALLTYPE ReportData(DWORD flags, ULONG progress, ULONG progressMax) override;
    HRESULT STDMETHODCALLTYPE ReportResult(HRESULT result, DWORD error, LPCWSTR text) override;
    HRESULT STDMETHODCALLTYPE GetBindInfo(DWORD* flags, BINDINFO* info) override;
    HRESULT STDMETHODCALLTYPE GetBindString(ULONG kind, LPOLESTR* strings, ULONG count, ULONG* fetched) override;

private:
    CallLog& log_;
    std::wstring url_;
    ULONG references_ = 1;
};

// "Read 8192" style text of an HRESULT for the log.
std::string HexResult(HRESULT hr);

}  // namespace testing_support
