#include "tests/support/FakeDownloadStream.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace testing_support {

std::string HexResult(HRESULT hr) {
    char text[16];
    std::snprintf(text, sizeof text, "%08lX", static_cast<unsigned long>(hr));
    return text;
}

FakeProtocol::FakeProtocol(CallLog& log, std::vector<std::uint8_t> bytes, std::vector<ULONG> pieces)
    : log_(log), bytes_(std::move(bytes)), pieces_(std::move(pieces)) {}

void FakeProtocol::FailAfter(std::size_t afterBytes, HRESULT error) {
    failAfter_ = afterBytes;
    error_ = error;
}

HRESULT STDMETHODCALLTYPE FakeProtocol::QueryInterface(REFIID iid, void** object) {
    if (iid == IID_IUnknown || iid == IID_IInternetProtocolRoot || iid == IID_IInternetProtocol) {
        *object = static_cast<IInternetProtocol*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG STDMETHODCALLTYPE FakeProtocol::AddRef() { return ++references_; }
ULONG STDMETHODCALLTYPE FakeProtocol::Release() { return --references_; }

HRESULT STDMETHODCALLTYPE FakeProtocol::Start(LPCWSTR, IInternetProtocolSink*, IInternetBindInfo*, DWORD,
                                              HANDLE_PTR) {
    log_.push_back("protocol Start");
    return S_OK;
}
HRESULT STDMETHODCALLTYPE FakeProtocol::Continue(PROTOCOLDATA*) {
    log_.push_back("protocol Continue");
    return S_OK;
}
HRESULT STDMETHODCALLTYPE FakeProtocol::Abort(HRESULT reason, DWORD) {
    log_.push_back("protocol Abort " + HexResult(reason));
    return S_OK;
}
HRESULT STDMETHODCALLTYPE FakeProtocol::Terminate(DWORD) {
    log_.push_back("protocol Terminate");
    return S_OK;
}
HRESULT STDMETHODCALLTYPE FakeProtocol::Suspend() {
    log_.push_back("protocol Suspend");
    return E_NOTIMPL;
}
HRESULT STDMETHODCALLTYPE FakeProtocol::Resume() {
    log_.push_back("protocol Resume");
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE FakeProtocol::Read(void* buffer, ULONG size, ULONG* read) {
    log_.push_back("protocol Read");
    *read = 0;
    if (position_ >= failAfter_)
        return error_;
    if (position_ >= bytes_.size())
        return S_FALSE;
    std::size_t take = std::min<std::size_t>(size, bytes_.size() - position_);
    if (piece_ < pieces_.size())
        take = std::min<std::size_t>(take, pieces_[piece_++]);
    take = std::min(take, failAfter_ - position_);
    std::memcpy(buffer, bytes_.data() + position_, take);
    position_ += take;
    *read = static_cast<ULONG>(take);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE FakeProtocol::Seek(LARGE_INTEGER, DWORD, ULARGE_INTEGER*) {
    log_.push_back("protocol Seek");
    return E_NOTIMPL;
}
HRESULT STDMETHODCALLTYPE FakeProtocol::LockRequest(DWORD) {
    log_.push_back("protocol LockRequest");
    return S_OK;
}
HRESULT STDMETHODCALLTYPE FakeProtocol::UnlockRequest() {
    log_.push_back("protocol UnlockRequest");
    return S_OK;
}

FakeProtocolSink::FakeProtocolSink(CallLog& log, std::wstring url) : log_(log), url_(std::move(url)) {}

HRESULT STDMETHODCALLTYPE FakeProtocolSink::QueryInterface(REFIID iid, void** object) {
    if (iid == IID_IUnknown || iid == IID_IInternetProtocolSink) {
        *object = static_cast<IInternetProtocolSink*>(this);
    } else if (iid == IID_IInternetBindInfo) {
        *object = static_cast<IInternetBindInfo*>(this);
    } else {
        *object = nullptr;
        return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
}

ULONG STDMETHODCALLTYPE FakeProtocolSink::AddRef() { return ++references_; }
ULONG STDMETHODCALLTYPE FakeProtocolSink::Release() { return --references_; }

HRESULT STDMETHODCALLTYPE FakeProtocolSink::Switch(PROTOCOLDATA*) {
    log_.push_back("sink Switch");
    return S_OK;
}
HRESULT STDMETHODCALLTYPE FakeProtocolSink::ReportProgress(ULONG status, LPCWSTR) {
    log_.push_back("sink ReportProgress " + std::to_string(status));
    return S_OK;
}
HRESULT STDMETHODCALLTYPE FakeProtocolSink::ReportData(DWORD flags, ULONG progress, ULONG progressMax) {
    log_.push_back("sink ReportData " + std::to_string(flags) + " " + std::to_string(progress) + "/" +
                   std::to_string(progressMax));
    return S_OK;
}
HRESULT STDMETHODCALLTYPE FakeProtocolSink::ReportResult(HRESULT result, DWORD, LPCWSTR) {
    log_.push_back("sink ReportResult " + HexResult(result));
    return S_OK;
}

HRESULT STDMETHODCALLTYPE FakeProtocolSink::GetBindInfo(DWORD* flags, BINDINFO* info) {
    *flags = BINDF_FROMURLMON | BINDF_PULLDATA | BINDF_NEEDFILE;
    const ULONG size = info->cbSize;
    std::memset(info, 0, size);
    info->cbSize = size;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE FakeProtocolSink::GetBindString(ULONG kind, LPOLESTR* strings, ULONG count,
                                                          ULONG* fetched) {
    *fetched = 0;
    if (kind != BINDSTRING_URL || count < 1 || url_.empty())
        return E_NOTIMPL;
    const std::size_t bytes = (url_.size() + 1) * sizeof(wchar_t);
    strings[0] = static_cast<LPOLESTR>(::CoTaskMemAlloc(bytes));
    std::memcpy(strings[0], url_.c_str(), bytes);
    *fetched = 1;
    return S_OK;
}

}  // namespace testing_support
