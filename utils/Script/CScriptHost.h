// One JScript engine, embedded through Active Scripting. The host loads
// script text, starts the engine and calls global script functions by name;
// scripts see the host itself as the object "external".
//
// Reference counts are not used: the host lives exactly as long as its owner
// (a page's evaluation document, the safe-search annotator), which closes the
// engine before the host goes away.
#pragma once

#include "utils/Ownership/WinOwnership.h"

#include <activscp.h>
#include <oaidl.h>

#include <string>

class CCryptoChain;

class CScriptHost : public IDispatch, public IActiveScriptSite {
public:
    CScriptHost();
    virtual ~CScriptHost();
    CScriptHost(const CScriptHost&) = delete;
    CScriptHost& operator=(const CScriptHost&) = delete;

    // Creates the engine and its parser; does nothing when they exist.
    bool InitScripting();
    // Parses ANSI script text into the engine.
    bool AddScript(const std::string& text);
    // Reads a script file (path macros allowed), deciphering it through the
    // chain when one is given.
    bool AddScriptFile(const std::string& path, CCryptoChain* chain = nullptr);
    // Makes "external" visible, then starts and connects the engine.
    bool RunScript();
    // Calls a global function with `count` arguments given in natural order.
    // False, without a report, when the scripts do not define the function.
    bool CallScriptFcn(const char* name, VARIANT* result, int count, const VARIANT* arguments);
    // Stops and releases the engine.
    void CloseScripting();

    // IUnknown, shared by both interfaces.
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return 1; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }

    // IDispatch: the object "external" with "alert" and "log".
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override;
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID locale,
                                            DISPID* ids) override;
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID iid, LCID locale, WORD flags,
                                     DISPPARAMS* parameters, VARIANT* result, EXCEPINFO* exception,
                                     UINT* argumentError) override;

    // IActiveScriptSite.
    HRESULT STDMETHODCALLTYPE GetLCID(LCID* locale) override;
    HRESULT STDMETHODCALLTYPE GetItemInfo(LPCOLESTR name, DWORD mask, IUnknown** item,
                                          ITypeInfo** info) override;
    HRESULT STDMETHODCALLTYPE GetDocVersionString(BSTR* version) override;
    HRESULT STDMETHODCALLTYPE OnScriptTerminate(const VARIANT*, const EXCEPINFO*) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnStateChange(SCRIPTSTATE) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnScriptError(IActiveScriptError* error) override;
    HRESULT STDMETHODCALLTYPE OnEnterScript() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnLeaveScript() override { return S_OK; }

protected:
    bool IsRunning() const { return static_cast<bool>(engine_); }

private:
    HRESULT InvokeExternal(DISPID id, WORD flags, DISPPARAMS* parameters, VARIANT* result, UINT* argumentError);
    HRESULT ItemInfo(LPCOLESTR name, DWORD mask, IUnknown** item, ITypeInfo** info);
    void TraceScriptError(IActiveScriptError& error);

    win::ComPtr<IActiveScript> engine_;
    win::ComPtr<IActiveScriptParse> parser_;
    bool comInitialized_ = false;
};
