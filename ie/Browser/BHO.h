// The browser helper: the browser creates one for every browser window and
// hands it the browser as its site. It subscribes to the browser's events,
// turns each into an evaluation message for its evaluator, cancels
// navigations to exploit sites, and owns everything else of its window: the
// hidden client window the rating service answers, the balloon window, the
// rating service monitor, the lists and the shared enable and last-click
// blocks. Everything runs on the browser window's thread.
//
// Its life with a browser is SetSite(browser) ... OnQuit and/or
// SetSite(nullptr); both end in the same idempotent teardown, which leaves
// no subclass, window, timer, event subscription or process-wide
// registration behind, so the module can be unloaded after the last Release.
#pragma once

#include "ie/Browser/DoNotWarnList.h"
#include "ie/Browser/DocumentWindowHook.h"
#include "ie/Browser/EventConnector.h"
#include "ie/Browser/ExploitList.h"
#include "ie/Browser/ServerMonitor.h"
#include "ie/Evaluation/Evaluator.h"
#include "ie/Evaluation/IEvaluationHost.h"
#include "ie/Module/ModuleLock.h"
#include "ie/UI/IBalloonHost.h"
#include "ie/UI/InfoBalloon.h"
#include "ie/UI/SafetyAlert.h"
#include "ie/SafeSearch/SafeSearch.h"
#include "ie/UI/IUIHost.h"
#include "utils/Environment/CEnvironment.h"
#include "utils/SharedMemory/CSharedMemory.h"
#include "utils/Window/UMessageWindow.h"

#include <exdisp.h>
#include <ocidl.h>

#include <functional>
#include <memory>
#include <string>

class CMessageTarget;
class CToolbar;

class CBHO final : public IObjectWithSite,
                   public IDispatch,
                   public IEvaluationHost,
                   public IServerMonitorOwner,
                   public IDocumentWindowListener,
                   public IBalloonHost,
                   public IUIHost {
public:
    // Service numbers of GetService.
    enum Service : int {
        SERVICE_RUNNING_BROWSERS = 0,  // the toolbar band of this thread
        SERVICE_EVALUATOR = 1,
        SERVICE_SERVER_MONITOR = 2,
        SERVICE_BALLOON = 3,
        SERVICE_MENU_BAR = 4,
    };

    static constexpr DWORD kClickRecordSize = 208;
    static constexpr DWORD kClickDomainOffset = 8;
    static constexpr DWORD kClickDomainLimit = 198;
    static constexpr char kClickRecordName[] = "QuillonBrowserClicks";
    static constexpr char kEnableFlagName[] = "QuillonEnable";
    static constexpr char kBalloonTitle[] = "Quillon alert";

    // The class factory's create function.
    static HRESULT CreateInstance(REFIID iid, void** object);
    // Browser helpers of this process between a successful SetSite and their teardown.
    static LONG RunningCount();

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    // IObjectWithSite
    HRESULT STDMETHODCALLTYPE SetSite(IUnknown* site) override;
    HRESULT STDMETHODCALLTYPE GetSite(REFIID iid, void** site) override;

    // IDispatch: the browser's DWebBrowserEvents2 arrive through Invoke.
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** info) override;
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override;
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* parameters, VARIANT* result,
                                     EXCEPINFO*, UINT*) override;

    // Browser events.
    void OnBeforeNavigate2(IDispatch* disp, const VARIANT* url, VARIANT_BOOL* cancel);
    void OnNavigateComplete2(IDispatch* disp, const VARIANT* url);
    void OnDocumentComplete(IDispatch* disp, const VARIANT* url);
    void OnDownloadBegin();
    void OnDownloadComplete();
    void OnQuit();

    // Service replies on the client window.
    BOOL OnCopyData(HWND window, const COPYDATASTRUCT* data);

    // The per-window objects by service number; null for an unknown number
    // (reported) and for parts this window does not have.
    void* GetService(int id);
    CEvaluator& Evaluator() override { return evaluator_; }
    CServerMonitor& ServerMonitor() { return monitor_; }
    CToolbar* Toolbar() const;

    // The machine-wide switch of the add-on.
    bool IsEnabled() override;
    void SetEnabled(BYTE enabled) override;

    // Exploit blocking: cancels navigations to listed sites.
    void LoadExploitList();
    bool IsExploit(const std::string& url);

    // The do-not-warn list.
    bool IsOnDoNotWarnList(const std::string& urlOrDomain) override;
    void SetDoNotWarnList(const std::string& text);
    const CDoNotWarnList& DoNotWarnList() const { return doNotWarn_; }
    // Runs the list editor on the list and applies what the user changed.
    // The editor gets the list as ";"-joined text and returns true for OK.
    using ListEditor = IUIHost::ListEditor;
    void EditDoNotWarnList(const ListEditor& editor) override;
    // Sends the additions and removals of an edited list to the service.
    void ApplyDoNotWarnListEdit(const std::string& editedText);
    // "Never warn on this site": added for this window at once, and for good
    // by the service.
    bool AddToDoNotWarnList(const std::string& site) override;

    // Browser actions for the user interface.
    void RecordBrowserClick();
    std::string GetLocation();
    bool OpenInNewWindow(const std::string& url) override;
    bool OpenVendorPage(const std::string& pathAndQuery) override;
    bool SendFeedback() override;
    // Reloads the page when it is a search results page, so that changed
    // safe-search options show; false when it is none (or no browser).
    bool RefreshIfSearchPage() override;
    // The window's safe-search annotator, started at first use.
    CSafeSearch& SafeSearch();
    bool IsServiceDown() override { return monitor_.ServiceDown(); }

    // IEvaluationHost
    IMenuBarDisplay* GetMenuBar() override;
    IBalloonDisplay* GetBalloon() override;
    ISafetyAlertDisplay* GetSafetyAlert() override;
    HWND GetAlertOwner() override;

    // IServerMonitorOwner
    void OnServerDown() override;
    void OnServerBack() override;

    // IDocumentWindowListener
    void OnDocumentClick() override;
    void OnDocumentCharacter() override;

    // Windows and state, for tests.
    HWND ClientWindow() const { return clientWindow_.Window(); }
    HWND BalloonWindow() const { return balloon_.Window(); }
    HWND BrowserWindow() const override { return browserWindow_; }
    bool DocumentWindowHooked() const { return documentHook_.Hooked(); }
    bool Attached() const { return registered_; }
    bool InteractivePassDone() const { return interactivePassDone_; }
    // Tests watch the evaluation messages (null: the evaluator again), start
    // another program for new windows, and keep the monitor from launching.
    void SetEvaluationTarget(CMessageTarget* target);
    void SetBrowserProgram(const std::string& program) { browserProgram_ = program; }
    void SetQuitPause(DWORD milliseconds) { quitPauseMs_ = milliseconds; }

private:
    CBHO();
    ~CBHO();

    HRESULT Attach(IUnknown* site);
    // Undoes whatever Attach did, in reverse; safe to run any number of times.
    void Teardown();
    void PlaceToolbarOnFirstRun();
    void RequestDoNotWarnList();
    void SendDoNotWarnQuery(std::int32_t operation, const std::string& text);
    void Send(const CEvalMessage& message);
    void AnnotateSearchPage();
    bool IsTopLevel(IDispatch* disp) const;
    READYSTATE ReadyState() const;

    LONG references_ = 1;
    CModuleReference moduleReference_;

    // Members go in the reverse order of their destruction.
    CInfoBalloon balloon_;
    CSafetyAlert alert_;
    win::ComPtr<IUnknown> site_;
    win::ComPtr<IWebBrowser2> browser_;
    HWND browserWindow_ = nullptr;
    CEventConnector connector_;
    CDoNotWarnList doNotWarn_;
    CExploitList exploits_;
    CEnvironment environment_;
    CDocumentWindowHook documentHook_;
    CSharedMemory clicks_;
    CSharedMemory enable_;
    UMessageWindow clientWindow_;
    CEvaluator evaluator_;
    CServerMonitor monitor_;
    // Its script engine costs a few milliseconds; windows that never show a
    // page do not pay for it.
    std::unique_ptr<CSafeSearch> safeSearch_;

    CMessageTarget* target_;
    bool interactivePassDone_ = false;
    // What Attach got done, so that teardown undoes exactly that.
    bool evaluatorBound_ = false;
    bool counted_ = false;
    bool inBrowserMap_ = false;
    bool registered_ = false;
    std::string browserProgram_;
    DWORD quitPauseMs_ = 100;
};
