#include "ie/Browser/BHO.h"

#include "ie/Browser/VendorSite.h"
#include "ie/Evaluation/EvalMessage.h"
#include "ie/Module/DownloadFilterSession.h"
#include "ie/Module/ModuleClasses.h"
#include "ie/Module/Registration.h"
#include "ie/Module/RegistryJournal.h"
#include "ie/Module/RunningBrowserMap.h"
#include "ie/UI/MenuBarWnd.h"
#include "ie/UI/Toolbar.h"
#include "utils/Com/ScopedBstr.h"
#include "utils/Com/ScopedVariant.h"
#include "utils/Diagnostics/ReportAssert.h"
#include "utils/File/LaunchProgram.h"
#include "utils/Options/Options.h"
#include "utils/SharedMemory/SharedMemoryLock.h"
#include "utils/Text/AnsiWide.h"
#include "utils/URL/UURL.h"
#include "utils/iRPC/CServerWhitelistList.h"
#include "utils/iRPC/CServerWhitelistQuery.h"
#include "utils/iRPC/RPCMessageTypes.h"
#include "utils/iRPC/RPCWindowHandle.h"

#include <exdispid.h>

#include <cstdio>
#include <cstring>
#include <ctime>

namespace {

constexpr char kClientWindowTitle[] = "Client:{A534759F-A612-4cf7-BA15-D022203D2DD1}";
constexpr char kExtensionSettingsKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Ext\\Settings\\";
constexpr char kInitializedOption[] = "Initialized";

// Browser helpers between a successful SetSite and their teardown.
LONG g_running = 0;

// A URL argument: a BSTR, possibly behind one VT_BYREF|VT_VARIANT.
std::string TextArgument(const VARIANT* value) {
    if (!value)
        return std::string();
    if (value->vt == (VT_BYREF | VT_VARIANT) && value->pvarVal)
        value = value->pvarVal;
    if (value->vt == VT_BSTR && value->bstrVal)
        return WideToAnsi(value->bstrVal, static_cast<int>(::SysStringLen(value->bstrVal)));
    if (value->vt == (VT_BYREF | VT_BSTR) && value->pbstrVal && *value->pbstrVal)
        return WideToAnsi(*value->pbstrVal, static_cast<int>(::SysStringLen(*value->pbstrVal)));
    return std::string();
}

IDispatch* DispatchArgument(const VARIANT& value) {
    if (value.vt == VT_DISPATCH)
        return value.pdispVal;
    if (value.vt == (VT_BYREF | VT_DISPATCH) && value.ppdispVal)
        return *value.ppdispVal;
    return nullptr;
}

bool IsWebURL(const std::string& url) {
    return _strnicmp(url.c_str(), "http:", 5) == 0 || _strnicmp(url.c_str(), "https:", 6) == 0;
}

std::string ExecutablePath() {
    char path[MAX_PATH * 2] = {};
    const DWORD length = ::GetModuleFileNameA(nullptr, path, sizeof path);
    return length > 0 && length < sizeof path ? std::string(path, length) : std::string();
}

}  // namespace

HRESULT CBHO::CreateInstance(REFIID iid, void** object) {
    if (!object)
        return E_POINTER;
    *object = nullptr;
    CBHO* helper = new CBHO();
    const HRESULT result = helper->QueryInterface(iid, object);
    helper->Release();
    return result;
}

LONG CBHO::RunningCount() {
    return ::InterlockedCompareExchange(&g_running, 0, 0);
}

CBHO::CBHO()
    : alert_(*this),
      documentHook_(*this),
      clicks_(kClickRecordName),
      enable_(kEnableFlagName),
      clientWindow_("CBHO::ClientWindow"),
      target_(&evaluator_),
      browserProgram_(ExecutablePath()) {}

CBHO::~CBHO() {
    Teardown();
}

// IUnknown

HRESULT STDMETHODCALLTYPE CBHO::QueryInterface(REFIID iid, void** object) {
    if (!object)
        return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_IObjectWithSite) {
        *object = static_cast<IObjectWithSite*>(this);
    } else if (iid == IID_IDispatch || iid == DIID_DWebBrowserEvents2) {
        *object = static_cast<IDispatch*>(this);
    } else {
        *object = nullptr;
        return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
}

ULONG STDMETHODCALLTYPE CBHO::AddRef() {
    return static_cast<ULONG>(::InterlockedIncrement(&references_));
}

ULONG STDMETHODCALLTYPE CBHO::Release() {
    const LONG left = ::InterlockedDecrement(&references_);
    if (left == 0)
        delete this;
    return static_cast<ULONG>(left);
}

// IObjectWithSite

HRESULT STDMETHODCALLTYPE CBHO::SetSite(IUnknown* site) {
    try {
        // The browser detaches with a null site, with or without OnQuit first.
        Teardown();
        return Attach(site);
    } catch (...) {
        REPORT_ASSERT("CBHO::SetSite", "Exception thrown");
        Teardown();
        return E_FAIL;
    }
}

HRESULT CBHO::Attach(IUnknown* site) {
    // 1. The browser.
    if (!site || FAILED(site->QueryInterface(IID_IWebBrowser2, browser_.ReleaseAndGetVoidAddressOf())) || !browser_) {
        browser_.Reset();
        REPORT_ASSERT("CBHO::SetSite", "SetSite didn't get a IWebBrowser2");
        return E_INVALIDARG;
    }
    site_ = site;
    // 2. Its events, from the site object as given.
    if (!connector_.Connect(site, DIID_DWebBrowserEvents2, static_cast<IDispatch*>(this))) {
        REPORT_ASSERT("CBHO::SetSite", "Couldn't connect to browser events");
        Teardown();
        return E_FAIL;
    }
    // 3. Its window.
    if (!browserWindow_) {
        SHANDLE_PTR window = 0;
        if (SUCCEEDED(browser_->get_HWND(&window)))
            browserWindow_ = reinterpret_cast<HWND>(window);
        if (!browserWindow_) {
            REPORT_ASSERT("CBHO::SetSite", "Couldn't get browser's window");
            Teardown();
            return E_FAIL;
        }
    }
    // 4. The window the rating service answers.
    const bool clientCreated = clientWindow_.Create(kClientWindowTitle, [this](UINT message, WPARAM wParam,
                                                                               LPARAM lParam, LRESULT* result) {
        if (message != WM_COPYDATA)
            return false;
        *result = OnCopyData(reinterpret_cast<HWND>(wParam), reinterpret_cast<const COPYDATASTRUCT*>(lParam));
        return true;
    });
    if (!clientCreated) {
        REPORT_ASSERT("CBHO::SetSite", "Couldn't create window");
        Teardown();
        return E_FAIL;
    }
    // 5. The members of this window.
    evaluator_.SetHost(this);
    evaluatorBound_ = true;
    monitor_.SetBHO(this);
    monitor_.LaunchServer();
    balloon_.SetBHO(this);
    // 6. The balloon's window, owned by the browser so it stays above it.
    if (!balloon_.Create(browserWindow_, kBalloonTitle))
        REPORT_ASSERT("CBHO::SetSite", "Couldn't create balloon window");
    // 7. The machine-wide blocks.
    if (!clicks_.Initialized() && !clicks_.Init(kClickRecordSize)) {
        REPORT_ASSERT("CBHO::SetSite", "Couldn't init shared browser clicks memory");
        Teardown();
        return E_FAIL;
    }
    if (!enable_.Initialized()) {
        if (!enable_.Init(1)) {
            REPORT_ASSERT("CBHO::SetSite", "Couldn't init shared browser clicks memory");
            Teardown();
            return E_FAIL;
        }
        // The first browser of the session starts switched on.
        if (!enable_.Existed())
            SetEnabled(1);
    }
    // 8. The download filter, for the whole process, by its first helper.
    counted_ = true;
    if (::InterlockedIncrement(&g_running) == 1)
        RegisterDownloadFilter();
    // 9. This thread's entry, where the band and the balloon find us.
    inBrowserMap_ = RunningBrowserMap().AddBrowser(::GetCurrentThreadId(), this);
    registered_ = true;
    // 10. The band, shown once.
    if (!GetOptionBool(OptionScope::PerUser, kInitializedOption, false))
        PlaceToolbarOnFirstRun();
    // 11. The do-not-warn list, answered to the client window.
    RequestDoNotWarnList();
    // 12.
    LoadExploitList();
    return S_OK;
}

void CBHO::Teardown() {
    // Windows first: nothing of ours may run in the browser's windows any more.
    documentHook_.Unhook();
    if (balloon_.Window()) {
        balloon_.HideWindow();
        balloon_.Destroy();
    }
    if (inBrowserMap_) {
        RunningBrowserMap().RemoveBrowser(::GetCurrentThreadId());
        inBrowserMap_ = false;
    }
    if (counted_) {
        counted_ = false;
        if (::InterlockedDecrement(&g_running) == 0)
            UnregisterDownloadFilter();
    }
    if (evaluatorBound_) {
        evaluatorBound_ = false;
        // The evaluator stops its timer, window and documents for good.
        Send(CEvalMessage(EVAL_QUIT));
    }
    monitor_.Stop();
    // Its engine is closed on this, the window's, thread.
    safeSearch_.reset();
    connector_.Disconnect();
    clientWindow_.Destroy();
    browser_.Reset();
    site_.Reset();
    browserWindow_ = nullptr;
    registered_ = false;
}

void CBHO::PlaceToolbarOnFirstRun() {
    // The browser's layout of its toolbars is made afresh so the band shows.
    ResetToolbarLayout();
    // Only our own classes' per-user add-on settings go; those of other
    // add-ons are the user's.
    for (const CLSID* clsid : {&CLSID_QuillonBHO, &CLSID_QuillonToolbar, &CLSID_QuillonMimeFilter})
        DeleteKeyTree(HKEY_CURRENT_USER, kExtensionSettingsKey + ClassIdString(*clsid));

    const std::string toolbar = ClassIdString(CLSID_QuillonToolbar);
    if (toolbar.empty())
        REPORT_ASSERT("CBHO::SetSite", nullptr);
    win::ScopedVariant band(AnsiToWide(toolbar));
    win::ScopedVariant none;
    VARIANT show;
    show.vt = VT_BOOL;
    show.boolVal = VARIANT_FALSE;
    if (FAILED(browser_->ShowBrowserBar(const_cast<VARIANT*>(&band.Get()), &show, const_cast<VARIANT*>(&none.Get()))))
        REPORT_ASSERT("CBHO::SetSite", "Couldn't hide our toolbar");
    show.boolVal = VARIANT_TRUE;
    if (FAILED(browser_->ShowBrowserBar(const_cast<VARIANT*>(&band.Get()), &show, const_cast<VARIANT*>(&none.Get()))))
        REPORT_ASSERT("CBHO::SetSite", "Couldn't show our toolbar");
    SetOptionBool(OptionScope::PerUser, kInitializedOption, true);
}

HRESULT STDMETHODCALLTYPE CBHO::GetSite(REFIID iid, void** site) {
    if (!site)
        return E_POINTER;
    *site = nullptr;
    if (!site_)
        return E_FAIL;
    return site_->QueryInterface(iid, site);
}

// IDispatch

HRESULT STDMETHODCALLTYPE CBHO::GetTypeInfoCount(UINT* count) {
    if (!count)
        return E_POINTER;
    *count = 0;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CBHO::GetTypeInfo(UINT, LCID, ITypeInfo** info) {
    if (info)
        *info = nullptr;
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE CBHO::GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) {
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE CBHO::Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* parameters, VARIANT* result,
                                       EXCEPINFO*, UINT*) {
    if (result)
        ::VariantInit(result);
    // A handler may end this helper's subscription (OnQuit) while it runs.
    win::ComPtr<CBHO> self(this);
    const UINT count = parameters ? parameters->cArgs : 0;
    VARIANT* arguments = parameters ? parameters->rgvarg : nullptr;
    // Arguments come last-declared first.
    switch (id) {
    case DISPID_BEFORENAVIGATE2:
        if (count != 7 || !arguments)
            return DISP_E_BADPARAMCOUNT;
        OnBeforeNavigate2(DispatchArgument(arguments[6]), &arguments[5],
                          arguments[0].vt == (VT_BYREF | VT_BOOL) ? arguments[0].pboolVal : nullptr);
        return S_OK;
    case DISPID_NAVIGATECOMPLETE2:
    case DISPID_DOCUMENTCOMPLETE:
        if (count != 2 || !arguments)
            return DISP_E_BADPARAMCOUNT;
        if (id == DISPID_NAVIGATECOMPLETE2)
            OnNavigateComplete2(DispatchArgument(arguments[1]), &arguments[0]);
        else
            OnDocumentComplete(DispatchArgument(arguments[1]), &arguments[0]);
        return S_OK;
    case DISPID_DOWNLOADBEGIN:
        OnDownloadBegin();
        return S_OK;
    case DISPID_DOWNLOADCOMPLETE:
        OnDownloadComplete();
        return S_OK;
    case DISPID_ONQUIT:
        OnQuit();
        return S_OK;
    case DISPID_COMMANDSTATECHANGE:
        return S_OK;
    default:
        return DISP_E_MEMBERNOTFOUND;
    }
}

// Browser events

bool CBHO::IsTopLevel(IDispatch* disp) const {
    if (!disp || !browser_)
        return false;
    win::ComPtr<IUnknown> event;
    win::ComPtr<IUnknown> top;
    return SUCCEEDED(disp->QueryInterface(IID_IUnknown, event.ReleaseAndGetVoidAddressOf())) &&
           SUCCEEDED(browser_->QueryInterface(IID_IUnknown, top.ReleaseAndGetVoidAddressOf())) && event == top;
}

READYSTATE CBHO::ReadyState() const {
    READYSTATE state = READYSTATE_UNINITIALIZED;
    if (!browser_ || FAILED(browser_->get_ReadyState(&state)))
        return READYSTATE_UNINITIALIZED;
    return state;
}

void CBHO::Send(const CEvalMessage& message) {
    if (target_)
        target_->Message(&message);
}

void CBHO::SetEvaluationTarget(CMessageTarget* target) {
    target_ = target ? target : &evaluator_;
}

void CBHO::OnBeforeNavigate2(IDispatch* disp, const VARIANT* url, VARIANT_BOOL* cancel) {
    try {
        if (!IsEnabled())
            return;
        const bool isPage = IsTopLevel(disp);
        const std::string address = TextArgument(url);
        if (IsExploit(address)) {
            if (cancel)
                *cancel = VARIANT_TRUE;
            return;
        }
        Send(CEvalMessage(EVAL_BEFORE_NAVIGATE, address, disp, isPage));
    } catch (...) {
        REPORT_ASSERT("CBHO::OnBeforeNavigate2", "Exception thrown");
    }
}

void CBHO::OnNavigateComplete2(IDispatch* disp, const VARIANT* url) {
    try {
        if (!IsEnabled())
            return;
        const bool isPage = IsTopLevel(disp);
        const std::string address = TextArgument(url);
        if (IsExploit(address))
            return;
        if (isPage) {
            interactivePassDone_ = false;
            documentHook_.Hook(browserWindow_);
        }
        Send(CEvalMessage(EVAL_NAVIGATE_COMPLETE, address, disp, isPage));
    } catch (...) {
        REPORT_ASSERT("CBHO::OnNavigateComplete2", "Exception thrown");
    }
}

void CBHO::OnDocumentComplete(IDispatch* disp, const VARIANT* url) {
    try {
        if (!IsEnabled())
            return;
        Send(CEvalMessage(EVAL_DOCUMENT_COMPLETE, TextArgument(url), disp, IsTopLevel(disp)));
    } catch (...) {
        REPORT_ASSERT("CBHO::OnDocumentComplete", "Exception thrown");
    }
}

void CBHO::OnDownloadBegin() {
    try {
        if (!IsEnabled())
            return;
        Send(CEvalMessage(EVAL_DOWNLOAD_BEGIN));
        if (ReadyState() != READYSTATE_INTERACTIVE)
            interactivePassDone_ = false;
    } catch (...) {
        REPORT_ASSERT("CBHO::OnDownloadBegin", "Exception thrown");
    }
}

void CBHO::OnDownloadComplete() {
    try {
        if (!IsEnabled())
            return;
        Send(CEvalMessage(EVAL_DOWNLOAD_COMPLETE));
        if (ReadyState() != READYSTATE_INTERACTIVE)
            return;
        // The search-page annotation runs once per page.
        if (!interactivePassDone_) {
            interactivePassDone_ = true;
            AnnotateSearchPage();
        }
        Send(CEvalMessage(EVAL_DOWNLOAD_INTERACTIVE));
    } catch (...) {
        REPORT_ASSERT("CBHO::OnDownloadComplete", "Exception thrown");
    }
}

void CBHO::OnQuit() {
    try {
        Teardown();
        // Lets sender threads that are still delivering to this window finish.
        ::Sleep(quitPauseMs_);
    } catch (...) {
        REPORT_ASSERT("CBHO::OnQuit", "Exception thrown");
    }
}

// The client window

BOOL CBHO::OnCopyData(HWND window, const COPYDATASTRUCT* data) {
    try {
        if (!data) {
            REPORT_ASSERT("CBHO::OnCopyData", "NULL LPARAM");
            return FALSE;
        }
        const std::unique_ptr<CRPCMsg> message = CRPCMsg::Receive(ToRPCWindow(window), data);
        if (!message)
            return FALSE;
        if (message->Type() == RPC_CLIENT_WHITELIST_LIST) {
            SetDoNotWarnList(static_cast<const CServerWhitelistList&>(*message).List());
        } else {
            char text[64];
            std::snprintf(text, sizeof text, "Unexpected server response: %d", static_cast<int>(message->Type()));
            REPORT_ASSERT("CBHO::OnCopyData", text);
        }
    } catch (...) {
        REPORT_ASSERT("CBHO::OnCopyData", "Exception thrown");
    }
    return TRUE;
}

// Services

CToolbar* CBHO::Toolbar() const {
    return RunningBrowserMap().GetToolbar(::GetCurrentThreadId());
}

void* CBHO::GetService(int id) {
    switch (id) {
    case SERVICE_RUNNING_BROWSERS:
        return Toolbar();
    case SERVICE_EVALUATOR:
        return &evaluator_;
    case SERVICE_SERVER_MONITOR:
        return &monitor_;
    case SERVICE_BALLOON:
        return GetBalloon();
    case SERVICE_MENU_BAR:
        return GetMenuBar();
    default: {
        char text[64];
        std::snprintf(text, sizeof text, "Unknown service request: %d", id);
        REPORT_ASSERT("CBHO::GetService", text);
        return nullptr;
    }
    }
}

win::ComPtr<IUIHost> FindUIHost() {
    return win::ComPtr<IUIHost>(RunningBrowserMap().GetBrowser(::GetCurrentThreadId()));
}

// The band of this thread, looked up afresh: the user may close it at any time.
IMenuBarDisplay* CBHO::GetMenuBar() {
    CToolbar* band = Toolbar();
    return band ? band->MenuBar() : nullptr;
}

// Null while the balloon has no window: before SetSite and after teardown.
IBalloonDisplay* CBHO::GetBalloon() {
    return balloon_.Window() ? &balloon_ : nullptr;
}

// Only while attached to a browser: the alert is shown over its window.
ISafetyAlertDisplay* CBHO::GetSafetyAlert() {
    return registered_ ? &alert_ : nullptr;
}

HWND CBHO::GetAlertOwner() {
    const HWND active = ::GetActiveWindow();
    return active ? active : browserWindow_;
}

// The status button of the band shows the service's absence; a window
// without the band has nothing to show it on, and a band made later asks.
void CBHO::OnServerDown() {
    if (CToolbar* band = Toolbar()) {
        if (CMenuBarWnd* menuBar = band->MenuBar())
            menuBar->ShowServiceDown(true);
    }
}

void CBHO::OnServerBack() {
    if (CToolbar* band = Toolbar()) {
        if (CMenuBarWnd* menuBar = band->MenuBar())
            menuBar->ShowServiceDown(false);
    }
}

// The enable flag

bool CBHO::IsEnabled() {
    CSharedMemoryLock lock(enable_);
    if (!lock.Held())
        return false;
    return enable_.View()[0] != 0;
}

void CBHO::SetEnabled(BYTE enabled) {
    CSharedMemoryLock lock(enable_);
    if (lock.Held())
        enable_.View()[0] = enabled;
}

// Exploit blocking

void CBHO::LoadExploitList() {
    exploits_.Load();
}

bool CBHO::IsExploit(const std::string& url) {
    if (!IsWebURL(url) || IsOnDoNotWarnList(url))
        return false;
    const UURL address(url);
    const std::string listed = exploits_.Match(address.GetHostName());
    if (listed.empty())
        return false;
    // The browser shows our page about the blocked site instead.
    if (!browser_)
        return true;
    browser_->Stop();
    win::ScopedBstr page(AnsiToWide(VendorPage("/exploit.html", "?domain=" + EncodeQueryValue(listed))));
    win::ScopedVariant flags(0L);
    win::ScopedVariant frame(std::wstring(L"_self"));
    win::ScopedVariant postData(std::wstring(L""));
    win::ScopedVariant headers(std::wstring(L""));
    if (FAILED(browser_->Navigate(page.Get(), const_cast<VARIANT*>(&flags.Get()), const_cast<VARIANT*>(&frame.Get()),
                                  const_cast<VARIANT*>(&postData.Get()), const_cast<VARIANT*>(&headers.Get()))))
        REPORT_ASSERT("CBHO::IsExploit", "Failed to browse to exploits page");
    return true;
}

// The do-not-warn list

bool CBHO::IsOnDoNotWarnList(const std::string& urlOrDomain) {
    return doNotWarn_.Matches(urlOrDomain);
}

void CBHO::SetDoNotWarnList(const std::string& text) {
    doNotWarn_.Set(text);
}

void CBHO::SendDoNotWarnQuery(std::int32_t operation, const std::string& text) {
    CServerWhitelistQuery query(operation, text);
    query.Send(kRPCServiceWindow, ToRPCWindow(clientWindow_.Window()), 0);
}

void CBHO::RequestDoNotWarnList() {
    SendDoNotWarnQuery(CServerWhitelistQuery::WHITELIST_QUERY_REQUESTALL, std::string());
}

void CBHO::EditDoNotWarnList(const ListEditor& editor) {
    // A list that never arrived is asked for again; the edit of what is
    // known meanwhile only adds and removes what the user touched.
    if (!doNotWarn_.Received())
        RequestDoNotWarnList();
    std::string text = doNotWarn_.Join();
    if (editor && editor(text))
        ApplyDoNotWarnListEdit(text);
}

void CBHO::ApplyDoNotWarnListEdit(const std::string& editedText) {
    // Differences, not a replacement: a copy that is stale or never arrived
    // must not overwrite the user's whole list.
    const CDoNotWarnList::Changes changes = doNotWarn_.ChangesTo(editedText);
    for (const std::string& site : changes.added)
        SendDoNotWarnQuery(CServerWhitelistQuery::WHITELIST_QUERY_ADD, site);
    for (const std::string& site : changes.removed)
        SendDoNotWarnQuery(CServerWhitelistQuery::WHITELIST_QUERY_REMOVE, site);
    if (doNotWarn_.Received()) {
        doNotWarn_.Set(editedText);
    } else {
        for (const std::string& site : changes.added)
            doNotWarn_.Add(site);
    }
}

bool CBHO::AddToDoNotWarnList(const std::string& site) {
    if (site.empty() || site.find(';') != std::string::npos)
        return false;
    SendDoNotWarnQuery(CServerWhitelistQuery::WHITELIST_QUERY_ADD, site);
    doNotWarn_.Add(site);
    return true;
}

// Browser actions

void CBHO::RecordBrowserClick() {
    const std::string domain = UURL(GetLocation()).GetDomain();
    {
        // Held for the write only: every browser window and download of the
        // session waits for this mutex.
        CSharedMemoryLock lock(clicks_);
        if (lock.Held()) {
            std::uint8_t* record = clicks_.View();
            const std::int64_t now = static_cast<std::int64_t>(std::time(nullptr));
            std::memcpy(record, &now, sizeof now);
            std::memset(record + kClickDomainOffset, 0, kClickRecordSize - kClickDomainOffset);
            std::memcpy(record + kClickDomainOffset, domain.data(),
                        domain.size() < kClickDomainLimit ? domain.size() : kClickDomainLimit);
        }
    }
    Send(CEvalMessage(EVAL_CLICK));
}

std::string CBHO::GetLocation() {
    win::ScopedBstr location;
    if (!browser_ || FAILED(browser_->get_LocationURL(location.Receive())) || !location.Get())
        return std::string();
    return WideToAnsi(location.Get(), static_cast<int>(location.Length()));
}

bool CBHO::OpenInNewWindow(const std::string& url) {
    const std::string arguments = "-new " + url;
    return LaunchProgram(browserProgram_.c_str(), arguments.c_str(), 0, false) != -1;
}

bool CBHO::OpenVendorPage(const std::string& pathAndQuery) {
    return OpenInNewWindow(VendorPage(pathAndQuery));
}

bool CBHO::SendFeedback() {
    const std::string location = GetLocation();
    std::string host;
    if (IsWebURL(location))
        host = std::string(UURL(location).GetHostName());
    return OpenInNewWindow(VendorPage("/feedback.html", host.empty() ? "" : "?site=" + EncodeQueryValue(host)));
}

CSafeSearch& CBHO::SafeSearch() {
    if (!safeSearch_)
        safeSearch_ = std::make_unique<CSafeSearch>();
    return *safeSearch_;
}

void CBHO::AnnotateSearchPage() {
    // Browsers before 5.5 lack what the scripts use on the page.
    if (!browser_ || !CSafeSearch::BrowserVersionAnnotates(environment_.BrowserVersion()))
        return;
    SafeSearch().AnnotateSearchPage(browser_.Get());  // failures stay quiet: the page is simply not marked
}

bool CBHO::RefreshIfSearchPage() {
    if (!browser_)
        return false;
    const std::string location = GetLocation();
    if (location.empty() || !SafeSearch().is_search_page(location))
        return false;
    return SUCCEEDED(browser_->Refresh());
}

// The document window

void CBHO::OnDocumentClick() {
    RecordBrowserClick();
}

void CBHO::OnDocumentCharacter() {
    Send(CEvalMessage(EVAL_KEY_TYPED));
}
