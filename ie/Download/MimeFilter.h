// The download filter: urlmon places one into the data stream of every
// download of a screened MIME type. It hands every call on unchanged (down
// to the protocol it reads from, up to the sink above it) and meanwhile
// screens the bytes (CDownloadScreen): after the first 20480 bytes and at
// the end it asks the rating service through the verdict window, and when
// the verdict calls for it asks the user. A declined download stays
// declined: the protocol beneath is aborted, the failure reported upwards
// once, and every later Read fails.
//
// All calls come on the thread that runs the binding; while the verdict
// window or the dialog waits, that thread's messages run, so a Read may
// arrive nested: it is answered E_PENDING without touching the stream.
#pragma once

#include "ie/Download/DownloadScreen.h"
#include "ie/Module/ModuleLock.h"
#include "utils/Ownership/WinOwnership.h"
#include "utils/SharedMemory/CSharedMemory.h"

#include <windows.h>
#include <urlmon.h>

#include <cstdint>
#include <string>

class CMimeFilter final : public IInternetProtocol, public IInternetProtocolSink {
public:
    // Asks the user whether to go on with a warned download; true to go on.
    using ConfirmFunction = bool (*)(HWND owner, const std::string& text, std::int32_t verdict);
    // Asks the service about a checksum; false when it could not even ask.
    using VerdictFunction = bool (*)(const std::string& digest, const std::string& downloadUrl,
                                     const std::string& referringSite, CDownloadScreen::Verdict& verdict);

    static constexpr char kClickRecordName[] = "QuillonBrowserClicks";
    static constexpr char kEnableFlagName[] = "QuillonEnable";

    // The class factory's create function.
    static HRESULT CreateInstance(REFIID iid, void** object);

    // Tests answer the dialog or the service themselves; null restores the
    // real ones.
    static void SetConfirmFunction(ConfirmFunction confirm);
    static void SetVerdictFunction(VerdictFunction verdict);

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    // IInternetProtocolRoot
    HRESULT STDMETHODCALLTYPE Start(LPCWSTR url, IInternetProtocolSink* sink, IInternetBindInfo* bindInfo,
                                    DWORD flags, HANDLE_PTR reserved) override;
    HRESULT STDMETHODCALLTYPE Continue(PROTOCOLDATA* data) override;
    HRESULT STDMETHODCALLTYPE Abort(HRESULT reason, DWORD options) override;
    HRESULT STDMETHODCALLTYPE Terminate(DWORD options) override;
    HRESULT STDMETHODCALLTYPE Suspend() override;
    HRESULT STDMETHODCALLTYPE Resume() override;

    // IInternetProtocol
    HRESULT STDMETHODCALLTYPE Read(void* buffer, ULONG size, ULONG* read) override;
    HRESULT STDMETHODCALLTYPE Seek(LARGE_INTEGER move, DWORD origin, ULARGE_INTEGER* position) override;
    HRESULT STDMETHODCALLTYPE LockRequest(DWORD options) override;
    HRESULT STDMETHODCALLTYPE UnlockRequest() override;

    // IInternetProtocolSink: calls from below, handed up.
    HRESULT STDMETHODCALLTYPE Switch(PROTOCOLDATA* data) override;
    HRESULT STDMETHODCALLTYPE ReportProgress(ULONG status, LPCWSTR text) override;
    HRESULT STDMETHODCALLTYPE ReportData(DWORD flags, ULONG progress, ULONG progressMax) override;
    HRESULT STDMETHODCALLTYPE ReportResult(HRESULT result, DWORD error, LPCWSTR text) override;

    // State, for tests.
    const CDownloadScreen& Screen() const { return screen_; }
    bool PassThrough() const { return passThrough_; }
    bool Declined() const { return declined_; }
    const std::string& ReferringSite() const { return referringSite_; }

private:
    CMimeFilter();
    ~CMimeFilter();

    void ReadReferringSite();
    bool ProductEnabled();
    bool QueryVerdict(const std::string& digest, CDownloadScreen::Verdict& verdict);
    // Whether the download may go on; asks the user when a warning is due.
    bool ConfirmIfWarned();
    void Decline();
    // Reports a result up once; later reports, ours or from below, stop here.
    void ReportResultUp(HRESULT result, DWORD error, LPCWSTR text);
    win::ComPtr<IInternetProtocolSink> Sink() const { return sink_; }

    LONG references_ = 1;
    CModuleReference moduleReference_;
    bool passThrough_ = false;
    std::string referringSite_;
    CSharedMemory clicks_;
    CSharedMemory enable_;
    CDownloadScreen screen_;
    // A query or the dialog is running on this filter.
    bool busy_ = false;
    bool declined_ = false;
    bool resultReported_ = false;
    win::ComPtr<IInternetProtocolSink> sink_;
    win::ComPtr<IInternetProtocol> protocol_;
};
