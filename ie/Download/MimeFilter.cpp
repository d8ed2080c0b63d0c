#include "ie/Download/MimeFilter.h"

#include "ie/Download/DownloadDialogCloser.h"
#include "ie/Download/DownloadWarning.h"
#include "ie/Download/MimeWnd.h"
#include "utils/Diagnostics/ReportAssert.h"
#include "utils/Options/Options.h"
#include "utils/SharedMemory/SharedMemoryLock.h"
#include "utils/Text/AnsiWide.h"
#include "utils/URL/AddressRules.h"
#include "utils/iRPC/CServerNotify.h"

#include <atomic>
#include <cstring>
#include <ctime>
#include <new>

namespace {

constexpr char kPIPOption[] = "PIP";

std::atomic<CMimeFilter::ConfirmFunction> g_confirm{nullptr};
std::atomic<CMimeFilter::VerdictFunction> g_verdict{nullptr};

bool ServiceVerdict(const std::string& digest, const std::string& downloadUrl, const std::string& referringSite,
                    CDownloadScreen::Verdict& verdict) {
    MimeVerdict answer;
    if (!RunMimeWnd(digest, downloadUrl, referringSite, answer))
        return false;
    verdict.code = answer.verdict;
    verdict.colour = answer.colour;
    verdict.text = answer.text;
    verdict.doNotWarnList = answer.doNotWarnList;
    return true;
}

// Clears a flag when the scope ends, whichever way.
class BusyScope {
public:
    explicit BusyScope(bool& flag) : flag_(flag) { flag_ = true; }
    ~BusyScope() { flag_ = false; }
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;

private:
    bool& flag_;
};

}  // namespace

HRESULT CMimeFilter::CreateInstance(REFIID iid, void** object) {
    if (!object)
        return E_POINTER;
    *object = nullptr;
    auto* filter = new (std::nothrow) CMimeFilter();
    if (!filter)
        return E_OUTOFMEMORY;
    const HRESULT hr = filter->QueryInterface(iid, object);
    filter->Release();
    return hr;
}

void CMimeFilter::SetConfirmFunction(ConfirmFunction confirm) {
    g_confirm = confirm;
}

void CMimeFilter::SetVerdictFunction(VerdictFunction verdict) {
    g_verdict = verdict;
}

CMimeFilter::CMimeFilter()
    : clicks_(kClickRecordName),
      enable_(kEnableFlagName),
      screen_([this](const std::string& digest, CDownloadScreen::Verdict& verdict) {
          return QueryVerdict(digest, verdict);
      }) {
    if (!clicks_.Init(static_cast<DWORD>(kClickRecordSize)))
        REPORT_ASSERT("CMimeFilter::CMimeFilter", "Couldn't init shared browser clicks memory");
    if (!enable_.Init(1))
        REPORT_ASSERT("CMimeFilter::CMimeFilter", "Couldn't init shared enable memory");
}

CMimeFilter::~CMimeFilter() = default;

// IUnknown

HRESULT STDMETHODCALLTYPE CMimeFilter::QueryInterface(REFIID iid, void** object) {
    if (!object)
        return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_IInternetProtocolRoot || iid == IID_IInternetProtocol) {
        *object = static_cast<IInternetProtocol*>(this);
    } else if (iid == IID_IInternetProtocolSink) {
        *object = static_cast<IInternetProtocolSink*>(this);
    } else {
        *object = nullptr;
        return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
}

ULONG STDMETHODCALLTYPE CMimeFilter::AddRef() {
    return static_cast<ULONG>(::InterlockedIncrement(&references_));
}

ULONG STDMETHODCALLTYPE CMimeFilter::Release() {
    const LONG left = ::InterlockedDecrement(&references_);
    if (left == 0)
        delete this;
    return static_cast<ULONG>(left);
}

// IInternetProtocolRoot

HRESULT STDMETHODCALLTYPE CMimeFilter::Start(LPCWSTR, IInternetProtocolSink* sink, IInternetBindInfo* bindInfo,
                                             DWORD flags, HANDLE_PTR reserved) {
    try {
        if (!(flags & PI_FILTER_MODE))
            return E_INVALIDARG;
        const auto* filterData = reinterpret_cast<const PROTOCOLFILTERDATA*>(reserved);
        if (!filterData || !filterData->pProtocol) {
            REPORT_ASSERT("CMimeFilter::Start", "Invalid protocol");
            return E_INVALIDARG;
        }
        protocol_ = filterData->pProtocol;
        sink_ = sink;
        ReadReferringSite();

        LPOLESTR url = nullptr;
        ULONG fetched = 0;
        if (!bindInfo || FAILED(bindInfo->GetBindString(BINDSTRING_URL, &url, 1, &fetched)) || fetched == 0 ||
            !url) {
            if (url)
                ::CoTaskMemFree(url);
            return S_OK;
        }
        const std::string downloadUrl = WideToAnsi(url);
        ::CoTaskMemFree(url);
        passThrough_ = !IsRateableURL(downloadUrl) || !ProductEnabled();
        if (!passThrough_)
            screen_.SetDownloadUrl(downloadUrl);
        return S_OK;
    } catch (...) {
        REPORT_ASSERT("CMimeFilter::Start", "Exception thrown");
        return E_FAIL;
    }
}

HRESULT STDMETHODCALLTYPE CMimeFilter::Continue(PROTOCOLDATA* data) {
    try {
        return protocol_ ? protocol_->Continue(data) : E_FAIL;
    } catch (...) {
        REPORT_ASSERT("CMimeFilter::Continue", "Exception thrown");
        return E_FAIL;
    }
}

HRESULT STDMETHODCALLTYPE CMimeFilter::Abort(HRESULT reason, DWORD options) {
    try {
        return protocol_ ? protocol_->Abort(reason, options) : E_FAIL;
    } catch (...) {
        REPORT_ASSERT("CMimeFilter::Abort", "Exception thrown");
        return E_FAIL;
    }
}

HRESULT STDMETHODCALLTYPE CMimeFilter::Terminate(DWORD options) {
    try {
        // Calls from below may still come after this; none goes up any more.
        sink_.Reset();
        return protocol_ ? protocol_->Terminate(options) : E_FAIL;
    } catch (...) {
        REPORT_ASSERT("CMimeFilter::Terminate", "Exception thrown");
        return E_FAIL;
    }
}

HRESULT STDMETHODCALLTYPE CMimeFilter::Suspend() {
    try {
        return protocol_ ? protocol_->Suspend() : E_FAIL;
    } catch (...) {
        REPORT_ASSERT("CMimeFilter::Suspend", "Exception thrown");
        return E_FAIL;
    }
}

HRESULT STDMETHODCALLTYPE CMimeFilter::Resume() {
    try {
        return protocol_ ? protocol_->Resume() : E_FAIL;
    } catch (...) {
        REPORT_ASSERT("CMimeFilter::Resume", "Exception thrown");
        return E_FAIL;
    }
}

// IInternetProtocol

HRESULT STDMETHODCALLTYPE CMimeFilter::Read(void* buffer, ULONG size, ULONG* read) {
    try {
        if (!protocol_)
            return E_FAIL;
        ULONG got = 0;
        if (read)
            *read = 0;
        // Declined for good: a caller that retries gets nothing more.
        if (declined_)
            return INET_E_DATA_NOT_AVAILABLE;
        // Asked again from inside our own wait: the stream stays untouched
        // until the verdict is in.
        if (busy_)
            return E_PENDING;
        HRESULT hr = INET_E_DATA_NOT_AVAILABLE;
        try {
            hr = protocol_->Read(buffer, size, &got);
        } catch (...) {
            REPORT_ASSERT("CMimeFilter::Read", "Exception thrown");
            hr = INET_E_DATA_NOT_AVAILABLE;
            got = 0;
        }
        if (got > size)
            got = size;
        if (read)
            *read = got;
        if (passThrough_)
            return hr;
        try {
            BusyScope busy(busy_);
            if (got > 0 && buffer)
                screen_.OnData(static_cast<const std::uint8_t*>(buffer), got);
            if (hr == S_FALSE)
                screen_.OnEndOfData();
            if (!ConfirmIfWarned()) {
                Decline();
                hr = INET_E_DATA_NOT_AVAILABLE;
                if (read)
                    *read = 0;
            }
        } catch (...) {
            REPORT_ASSERT("CMimeFilter::Read", "Exception thrown");
        }
        return hr;
    } catch (...) {
        REPORT_ASSERT("CMimeFilter::Read", "Exception thrown");
        return E_FAIL;
    }
}

HRESULT STDMETHODCALLTYPE CMimeFilter::Seek(LARGE_INTEGER move, DWORD origin, ULARGE_INTEGER* position) {
    try {
        return protocol_ ? protocol_->Seek(move, origin, position) : E_FAIL;
    } catch (...) {
        REPORT_ASSERT("CMimeFilter::Seek", "Exception thrown");
        return E_FAIL;
    }
}

HRESULT STDMETHODCALLTYPE CMimeFilter::LockRequest(DWORD options) {
    try {
        return protocol_ ? protocol_->LockRequest(options) : E_FAIL;
    } catch (...) {
        REPORT_ASSERT("CMimeFilter::LockRequest", "Exception thrown");
        return E_FAIL;
    }
}

HRESULT STDMETHODCALLTYPE CMimeFilter::UnlockRequest() {
    try {
        return protocol_ ? protocol_->UnlockRequest() : E_FAIL;
    } catch (...) {
        REPORT_ASSERT("CMimeFilter::UnlockRequest", "Exception thrown");
        return E_FAIL;
    }
}

// IInternetProtocolSink

HRESULT STDMETHODCALLTYPE CMimeFilter::Switch(PROTOCOLDATA* data) {
    try {
        const win::ComPtr<IInternetProtocolSink> sink = Sink();
        return sink ? sink->Switch(data) : E_FAIL;
    } catch (...) {
        REPORT_ASSERT("CMimeFilter::Switch", "Exception thrown");
        return E_FAIL;
    }
}

HRESULT STDMETHODCALLTYPE CMimeFilter::ReportProgress(ULONG status, LPCWSTR text) {
    try {
        const win::ComPtr<IInternetProtocolSink> sink = Sink();
        return sink ? sink->ReportProgress(status, text) : E_FAIL;
    } catch (...) {
        REPORT_ASSERT("CMimeFilter::ReportProgress", "Exception thrown");
        return E_FAIL;
    }
}

HRESULT STDMETHODCALLTYPE CMimeFilter::ReportData(DWORD flags, ULONG progress, ULONG progressMax) {
    try {
        // Once declined the caller hears of no more data.
        if (declined_)
            return S_OK;
        const win::ComPtr<IInternetProtocolSink> sink = Sink();
        return sink ? sink->ReportData(flags, progress, progressMax) : E_FAIL;
    } catch (...) {
        REPORT_ASSERT("CMimeFilter::ReportData", "Exception thrown");
        return E_FAIL;
    }
}

HRESULT STDMETHODCALLTYPE CMimeFilter::ReportResult(HRESULT result, DWORD error, LPCWSTR text) {
    try {
        if (!Sink())
            return E_FAIL;
        // After a decline our own failure is the one result the caller gets;
        // the protocol's answer to our Abort stops here.
        if (declined_ || resultReported_)
            return S_OK;
        ReportResultUp(result, error, text);
        return S_OK;
    } catch (...) {
        REPORT_ASSERT("CMimeFilter::ReportResult", "Exception thrown");
        return E_FAIL;
    }
}

// Screening

void CMimeFilter::ReadReferringSite() {
    std::uint8_t record[kClickRecordSize];
    {
        CSharedMemoryLock lock(clicks_);
        if (!lock.Held())
            return;
        std::memcpy(record, clicks_.View(), sizeof record);
    }
    referringSite_ = ReferringSiteFromClickRecord(record, sizeof record, static_cast<std::int64_t>(std::time(nullptr)));
}

bool CMimeFilter::ProductEnabled() {
    // Only the byte is read under the lock.
    std::uint8_t enabled = 1;
    {
        CSharedMemoryLock lock(enable_);
        if (lock.Held())
            enabled = enable_.View()[0];
    }
    return enabled != 0;
}

bool CMimeFilter::QueryVerdict(const std::string& digest, CDownloadScreen::Verdict& verdict) {
    const VerdictFunction ask = g_verdict.load();
    return (ask ? ask : &ServiceVerdict)(digest, screen_.DownloadUrl(), referringSite_, verdict);
}

bool CMimeFilter::ConfirmIfWarned() {
    if (!screen_.ConfirmationNeeded())
        return true;
    screen_.SetDialogShown();
    const ConfirmFunction confirm = g_confirm.load();
    const bool goOn = (confirm ? confirm : &ShowDownloadWarning)(::GetActiveWindow(), screen_.DialogText(),
                                                                 screen_.LastVerdict().code);
    if (!goOn) {
        CDownloadDialogCloser::Start(::GetCurrentThreadId(), ModuleInstance());
        return false;
    }
    if (GetOption(OptionScope::MachineWide, kPIPOption) == "true") {
        CServerNotify notice(OverrideNoticeText(screen_.DownloadUrl(), screen_.Digest()));
        notice.Send(kRPCServiceWindow, 0, 0);
    }
    return true;
}

void CMimeFilter::Decline() {
    if (declined_)
        return;
    declined_ = true;
    // The protocol beneath stops fetching; its answer to the abort is
    // swallowed (ReportResult), and the caller hears our failure once.
    if (protocol_)
        protocol_->Abort(E_ABORT, 0);
    ReportResultUp(INET_E_DATA_NOT_AVAILABLE, 0, nullptr);
}

void CMimeFilter::ReportResultUp(HRESULT result, DWORD error, LPCWSTR text) {
    if (resultReported_)
        return;
    resultReported_ = true;
    // Terminate may come inside this call and drop the sink: hold our own.
    const win::ComPtr<IInternetProtocolSink> sink = Sink();
    if (sink)
        sink->ReportResult(result, error, text);
}
