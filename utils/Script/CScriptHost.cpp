#include "utils/Script/CScriptHost.h"

#include "utils/Buffer/UIOBuffer.h"
#include "utils/Crypto/CCryptoChain.h"
#include "utils/Diagnostics/DiagnosticLine.h"
#include "utils/Diagnostics/DiagnosticLog.h"
#include "utils/Diagnostics/ReportAssert.h"
#include "utils/File/UFile.h"
#include "utils/Text/AnsiWide.h"

#include <cstdio>
#include <memory>
#include <vector>

namespace {

constexpr wchar_t kExternalName[] = L"external";
constexpr LCID kCallLocale = LOCALE_USER_DEFAULT;  // 0x0400

// The dispatch table of "external"; a member id is the 1-based position.
constexpr const wchar_t* kExternalMethods[] = {L"alert", L"log"};
constexpr DISPID kAlertId = 1;
constexpr DISPID kLogId = 2;

void Trace(const char* method, int line, const std::string& text) {
    ::OutputDebugStringA((text + "\n").c_str());
    WriteDiagnostic(diagnostic::kTraceLevel, ::GetCurrentThreadId(), __FILE__, method, line,
                    text.c_str());
}

std::string BstrToAnsi(BSTR text) {
    return text ? WideToAnsi(text, static_cast<int>(::SysStringLen(text))) : std::string();
}

// The argument array of one call, in dispatch order, cleared on the way out.
class DispatchArguments {
public:
    DispatchArguments(int count, const VARIANT* natural) : variants_(count > 0 ? count : 0) {
        const int size = static_cast<int>(variants_.size());
        for (int i = 0; i < size; ++i) {
            VARIANT& slot = variants_[size - 1 - i];
            ::VariantInit(&slot);
            const HRESULT copied = ::VariantCopy(&slot, const_cast<VARIANT*>(&natural[i]));
            if (FAILED(copied)) {
                slot.vt = VT_ERROR;
                slot.scode = copied;
            }
        }
    }
    ~DispatchArguments() {
        for (VARIANT& variant : variants_)
            ::VariantClear(&variant);
    }
    DispatchArguments(const DispatchArguments&) = delete;
    DispatchArguments& operator=(const DispatchArguments&) = delete;

    DISPPARAMS Parameters() {
        DISPPARAMS parameters = {};
        parameters.rgvarg = variants_.empty() ? nullptr : variants_.data();
        parameters.cArgs = static_cast<UINT>(variants_.size());
        return parameters;
    }

private:
    std::vector<VARIANT> variants_;
};

}  // namespace

CScriptHost::CScriptHost() {
    const HRESULT hr = ::CoInitialize(nullptr);
    comInitialized_ = SUCCEEDED(hr);  // S_FALSE too: every success is balanced
}

CScriptHost::~CScriptHost() {
    CloseScripting();
    if (comInitialized_)
        ::CoUninitialize();
}

bool CScriptHost::InitScripting() {
    if (engine_ && parser_)
        return true;
    // Every page starts an engine; the registry is asked for its class once.
    static CLSID engineClass = {};
    static const bool engineKnown = SUCCEEDED(::CLSIDFromProgID(L"jscript", &engineClass));
    if (!engineKnown ||
        FAILED(::CoCreateInstance(engineClass, nullptr, CLSCTX_ALL, IID_IActiveScript,
                                  engine_.ReleaseAndGetVoidAddressOf()))) {
        REPORT_ASSERT("CScriptHost::InitScripting", "Failed to create script engine");
        return false;
    }
    if (FAILED(engine_->SetScriptSite(static_cast<IActiveScriptSite*>(this)))) {
        REPORT_ASSERT("CScriptHost::InitScripting", "Failed to set script site");
        return false;
    }
    if (FAILED(engine_.QueryInterface(__uuidof(IActiveScriptParse),
                                      parser_.ReleaseAndGetVoidAddressOf()))) {
        REPORT_ASSERT("CScriptHost::InitScripting", "Failed to aquire parser");
        return false;
    }
    if (FAILED(parser_->InitNew())) {
        REPORT_ASSERT("CScriptHost::InitScripting", "Failed to init parser");
        return false;
    }
    return true;
}

bool CScriptHost::AddScript(const std::string& text) {
    if (!parser_) {
        REPORT_ASSERT("CScriptHost::AddScript", "Parser not initialized");
        return false;
    }
    const std::wstring code = AnsiToWide(text);
    EXCEPINFO exception = {};
    // No item name: the global scope. Some engines treat "" as the name of
    // an item to look up and refuse the text.
    const HRESULT hr = parser_->ParseScriptText(code.c_str(), nullptr, nullptr, nullptr, 0, 0,
                                                SCRIPTTEXT_ISVISIBLE, nullptr, &exception);
    ::SysFreeString(exception.bstrSource);
    ::SysFreeString(exception.bstrDescription);
    ::SysFreeString(exception.bstrHelpFile);
    return SUCCEEDED(hr);
}

bool CScriptHost::AddScriptFile(const std::string& path, CCryptoChain* chain) {
    UIOBuffer buffer;
    if (!UFile::ReadFile(path, buffer))
        return false;
    // A file that fails to decipher goes to the engine as it is and fails to parse there.
    if (chain)
        chain->Decrypt(buffer);
    buffer.SetPosition(static_cast<std::int64_t>(buffer.Size()));
    const char terminator = '\0';
    if (buffer.Write(&terminator, 1) != 1) {
        REPORT_ASSERT("CScriptHost::AddScriptFile", "Couldn't terminate with NULL character");
        return false;
    }
    return AddScript(reinterpret_cast<const char*>(buffer.Data()));
}

bool CScriptHost::RunScript() {
    if (!engine_) {
        REPORT_ASSERT("CScriptHost::RunScript", "Engine not initialized");
        return false;
    }
    if (FAILED(engine_->AddNamedItem(kExternalName, SCRIPTITEM_ISVISIBLE | SCRIPTITEM_ISSOURCE))) {
        REPORT_ASSERT("CScriptHost::RunScript", "Could not add 'external' object");
        return false;
    }
    if (FAILED(engine_->SetScriptState(SCRIPTSTATE_STARTED))) {
        REPORT_ASSERT("CScriptHost::RunScript", "Could not start script");
        return false;
    }
    if (FAILED(engine_->SetScriptState(SCRIPTSTATE_CONNECTED))) {
        REPORT_ASSERT("CScriptHost::RunScript", "Could not connect script");
        return false;
    }
    return true;
}

bool CScriptHost::CallScriptFcn(const char* name, VARIANT* result, int count,
                                const VARIANT* arguments) {
    if (result)
        ::VariantClear(result);
    if (!engine_ || !name || (count > 0 && !arguments)) {
        REPORT_ASSERT("CScriptHost::CallScriptFcn", "Not initialized or NULL pointer");
        return false;
    }
    win::ComPtr<IDispatch> scripts;
    if (FAILED(engine_->GetScriptDispatch(nullptr, scripts.ReleaseAndGetAddressOf())) || !scripts) {
        REPORT_ASSERT("CScriptHost::CallScriptFcn", "Could not get script IDispatch");
        return false;
    }
    std::wstring wideName = AnsiToWide(name);
    LPOLESTR names[] = {&wideName[0]};
    DISPID id = DISPID_UNKNOWN;
    if (wideName.empty() || FAILED(scripts->GetIDsOfNames(IID_NULL, names, 1, kCallLocale, &id)))
        return false;

    DispatchArguments dispatchArguments(count, arguments);
    DISPPARAMS parameters = dispatchArguments.Parameters();
    return SUCCEEDED(scripts->Invoke(id, IID_NULL, kCallLocale, DISPATCH_METHOD, &parameters,
                                     result, nullptr, nullptr));
}

void CScriptHost::CloseScripting() {
    parser_.Reset();
    if (!engine_)
        return;
    engine_->SetScriptState(SCRIPTSTATE_DISCONNECTED);
    engine_->InterruptScriptThread(SCRIPTTHREADID_ALL, nullptr, 0);
    engine_->Close();
    engine_.Reset();
}

HRESULT CScriptHost::QueryInterface(REFIID iid, void** object) {
    if (!object)
        return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_IDispatch) {
        *object = static_cast<IDispatch*>(this);
        return S_OK;
    }
    // The engine holds us as its site; COM identity wants the site reachable too.
    if (iid == IID_IActiveScriptSite) {
        *object = static_cast<IActiveScriptSite*>(this);
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

HRESULT CScriptHost::GetTypeInfoCount(UINT* count) {
    if (!count)
        return E_POINTER;
    *count = 0;
    return S_OK;
}

HRESULT CScriptHost::GetTypeInfo(UINT, LCID, ITypeInfo** info) {
    if (info)
        *info = nullptr;
    return E_NOTIMPL;
}

HRESULT CScriptHost::GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) {
    if (!names || !ids)
        return E_POINTER;
    HRESULT result = S_OK;
    for (UINT i = 0; i < count; ++i) {
        ids[i] = DISPID_UNKNOWN;
        // Only the first name is a member; the others would name its arguments.
        for (DISPID member = 0; i == 0 && names[i] && member < 2; ++member) {
            if (::_wcsicmp(names[i], kExternalMethods[member]) == 0)
                ids[i] = member + 1;
        }
        if (ids[i] == DISPID_UNKNOWN)
            result = DISP_E_UNKNOWNNAME;
    }
    return result;
}

// The engine calls the three entry points below from deep inside itself:
// an exception must end at the boundary, reported, and never unwind into it.
HRESULT CScriptHost::Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* parameters,
                            VARIANT* result, EXCEPINFO*, UINT* argumentError) {
    try {
        return InvokeExternal(id, flags, parameters, result, argumentError);
    } catch (...) {
        REPORT_ASSERT("CScriptHost::Invoke", "Exception thrown");
        return DISP_E_EXCEPTION;
    }
}

HRESULT CScriptHost::InvokeExternal(DISPID id, WORD flags, DISPPARAMS* parameters, VARIANT* result,
                                    UINT* argumentError) {
    if (id != kAlertId && id != kLogId)
        return DISP_E_MEMBERNOTFOUND;
    if (!parameters)
        return E_INVALIDARG;
    if (parameters->cNamedArgs > 0 && !(flags & DISPATCH_PROPERTYPUT))
        return DISP_E_NONAMEDARGS;
    if (parameters->cArgs != 1)
        return DISP_E_BADPARAMCOUNT;

    VARIANT text;
    ::VariantInit(&text);
    if (FAILED(::VariantChangeType(&text, &parameters->rgvarg[0], 0, VT_BSTR))) {
        if (argumentError)
            *argumentError = 0;
        return DISP_E_TYPEMISMATCH;
    }
    // Scripts talk to the host but nothing is shown: the texts are dropped.
    if (id == kLogId)
        BstrToAnsi(text.bstrVal);
    ::VariantClear(&text);
    if (result)
        ::VariantInit(result);
    return S_OK;
}

HRESULT CScriptHost::GetLCID(LCID* locale) {
    if (!locale)
        return E_POINTER;
    *locale = LOCALE_SYSTEM_DEFAULT;
    return S_OK;
}

HRESULT CScriptHost::GetItemInfo(LPCOLESTR name, DWORD mask, IUnknown** item, ITypeInfo** info) {
    try {
        return ItemInfo(name, mask, item, info);
    } catch (...) {
        REPORT_ASSERT("CScriptHost::GetItemInfo", "Exception thrown");
        return E_UNEXPECTED;
    }
}

HRESULT CScriptHost::ItemInfo(LPCOLESTR name, DWORD mask, IUnknown** item, ITypeInfo** info) {
    if (mask & SCRIPTINFO_IUNKNOWN) {
        if (!item)
            return E_INVALIDARG;
        *item = nullptr;
    }
    if (mask & SCRIPTINFO_ITYPEINFO) {
        if (!info)
            return E_INVALIDARG;
        *info = nullptr;
    }
    if (!name || ::_wcsicmp(name, kExternalName) != 0)
        return E_INVALIDARG;

    HRESULT result = S_OK;
    if (mask & SCRIPTINFO_ITYPEINFO)
        result = GetTypeInfo(0, 0, info);
    if (mask & SCRIPTINFO_IUNKNOWN)
        return QueryInterface(IID_IDispatch, reinterpret_cast<void**>(item));
    return result;
}

HRESULT CScriptHost::GetDocVersionString(BSTR* version) {
    if (!version)
        return E_POINTER;
    *version = ::SysAllocString(L"CScriptHost");
    return *version ? S_OK : E_OUTOFMEMORY;
}

HRESULT CScriptHost::OnScriptError(IActiveScriptError* error) {
    if (!error)
        return E_POINTER;
    try {
        TraceScriptError(*error);
    } catch (...) {
        REPORT_ASSERT("CScriptHost::OnScriptError", "Exception thrown");
    }
    // The call that met the error fails either way.
    return SCRIPT_E_PROPAGATE;
}

void CScriptHost::TraceScriptError(IActiveScriptError& error) {
    EXCEPINFO exception = {};
    error.GetExceptionInfo(&exception);
    if (exception.pfnDeferredFillIn)
        exception.pfnDeferredFillIn(&exception);
    Trace("CScriptHost::OnScriptError", __LINE__,
          BstrToAnsi(exception.bstrSource) + ": " + BstrToAnsi(exception.bstrDescription));
    ::SysFreeString(exception.bstrSource);
    ::SysFreeString(exception.bstrDescription);
    ::SysFreeString(exception.bstrHelpFile);

    // The offending line, a marker under the position, then where it is.
    BSTR sourceLine = nullptr;
    if (SUCCEEDED(error.GetSourceLineText(&sourceLine)) && sourceLine) {
        Trace("CScriptHost::OnScriptError", __LINE__, BstrToAnsi(sourceLine));
        ::SysFreeString(sourceLine);
    }
    DWORD context = 0;
    ULONG line = 0;
    LONG position = 0;
    if (SUCCEEDED(error.GetSourcePosition(&context, &line, &position))) {
        Trace("CScriptHost::OnScriptError", __LINE__,
              std::string(position > 0 ? static_cast<std::size_t>(position) : 0, ' ') + "|");
        char where[64] = {};
        std::snprintf(where, sizeof where, "line %lu, position %ld", line + 1, position);
        Trace("CScriptHost::OnScriptError", __LINE__, where);
    }
}
