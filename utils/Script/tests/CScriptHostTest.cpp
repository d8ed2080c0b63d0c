#include "utils/Script/CScriptHost.h"

#include "tests/support/DiagnosticCapture.h"
#include "tests/support/TestPaths.h"

#include <gtest/gtest.h>

#include <new>
#include <stdexcept>
#include <string>

namespace {

// Variant results owned by the test.
struct Result {
    VARIANT value;
    Result() { ::VariantInit(&value); }
    ~Result() { ::VariantClear(&value); }
    std::wstring Text() const { return value.vt == VT_BSTR ? value.bstrVal : L"<not a string>"; }
};

VARIANT StringVariant(const wchar_t* text) {
    VARIANT variant;
    variant.vt = VT_BSTR;
    variant.bstrVal = ::SysAllocString(text);
    return variant;
}

VARIANT IntegerVariant(int value) {
    VARIANT variant;
    variant.vt = VT_I4;
    variant.lVal = value;
    return variant;
}

class ScriptHostTest : public ::testing::Test {
protected:
    void StartWith(const char* script) {
        ASSERT_TRUE(host_.InitScripting());
        ASSERT_TRUE(host_.AddScript(script));
        ASSERT_TRUE(host_.RunScript());
    }
    CScriptHost host_;
    testing_support::DiagnosticCapture tool_;
};

TEST_F(ScriptHostTest, ArgumentsArriveInNaturalOrderAndResultsComeBack) {
    StartWith("function join(a, b, c) { return a + '|' + b + '|' + typeof c; }\n"
              "function twice(n) { return n * 2; }");
    VARIANT arguments[3] = {StringVariant(L"first"), IntegerVariant(2), StringVariant(L"third")};
    Result joined;
    ASSERT_TRUE(host_.CallScriptFcn("join", &joined.value, 3, arguments));
    EXPECT_EQ(L"first|2|string", joined.Text());

    Result doubled;
    ASSERT_TRUE(host_.CallScriptFcn("twice", &doubled.value, 1, &arguments[1]));
    ASSERT_EQ(S_OK, ::VariantChangeType(&doubled.value, &doubled.value, 0, VT_I4));
    EXPECT_EQ(4, doubled.value.lVal);
    ::VariantClear(&arguments[0]);
    ::VariantClear(&arguments[2]);
    EXPECT_TRUE(tool_.Lines().empty());
}

TEST_F(ScriptHostTest, UndefinedFunctionFailsWithoutAReport) {
    StartWith("function defined() { return 1; }");
    Result result;
    EXPECT_FALSE(host_.CallScriptFcn("notDefined", &result.value, 0, nullptr));
    EXPECT_EQ(VT_EMPTY, result.value.vt);
    EXPECT_TRUE(tool_.Lines().empty());
}

TEST_F(ScriptHostTest, InitScriptingTwiceKeepsTheOneEngine) {
    ASSERT_TRUE(host_.InitScripting());
    ASSERT_TRUE(host_.AddScript("function kept() { return 'still here'; }"));
    ASSERT_TRUE(host_.InitScripting());  // must not replace the engine and lose the script
    ASSERT_TRUE(host_.RunScript());
    Result result;
    ASSERT_TRUE(host_.CallScriptFcn("kept", &result.value, 0, nullptr));
    EXPECT_EQ(L"still here", result.Text());
}

TEST_F(ScriptHostTest, UseBeforeInitialisationIsReported) {
    EXPECT_FALSE(host_.AddScript("var a = 1;"));
    EXPECT_TRUE(tool_.Reported("CScriptHost::AddScript", "Parser not initialized"));
    EXPECT_FALSE(host_.RunScript());
    EXPECT_TRUE(tool_.Reported("CScriptHost::RunScript", "Engine not initialized"));
    Result result;
    EXPECT_FALSE(host_.CallScriptFcn("f", &result.value, 0, nullptr));
    EXPECT_TRUE(tool_.Reported("CScriptHost::CallScriptFcn", "Not initialized or NULL pointer"));
}

TEST_F(ScriptHostTest, ScriptFilesAreReadThroughPathMacros) {
    testing_support::ScratchDirectory scratch("scripts");
    ASSERT_TRUE(testing_support::WriteWholeFile(scratch.Path() + "plain.js",
                                                "function fromFile() { return 'file'; }"));
    ASSERT_TRUE(host_.InitScripting());
    EXPECT_FALSE(host_.AddScriptFile(scratch.Path() + "missing.js"));
    EXPECT_TRUE(tool_.Lines().empty());  // an unreadable file is not reported here
    ASSERT_TRUE(host_.AddScriptFile(scratch.Path() + "plain.js"));
    ASSERT_TRUE(host_.RunScript());
    Result result;
    ASSERT_TRUE(host_.CallScriptFcn("fromFile", &result.value, 0, nullptr));
    EXPECT_EQ(L"file", result.Text());
}

TEST_F(ScriptHostTest, ScriptErrorsAreTracedAndTheCallFails) {
    StartWith("function broken() {\n  var o = null;\n  return o.missing;\n}");
    Result result;
    EXPECT_FALSE(host_.CallScriptFcn("broken", &result.value, 0, nullptr));
    const auto lines = tool_.Lines();
    bool sawWhere = false;
    for (const std::string& line : lines)
        sawWhere = sawWhere || (line.find("::CScriptHost::OnScriptError,") != std::string::npos &&
                                line.find(": line 3, position ") != std::string::npos);
    EXPECT_TRUE(sawWhere) << (lines.empty() ? "no trace" : lines.back());

    // A syntax error is traced too and the text is refused; the host stays usable.
    EXPECT_FALSE(host_.AddScript("function ( {"));
    EXPECT_TRUE(host_.AddScript("function fine() { return 'fine'; }"));
    ASSERT_TRUE(host_.CallScriptFcn("fine", &result.value, 0, nullptr));
    EXPECT_EQ(L"fine", result.Text());
}

TEST_F(ScriptHostTest, ScriptsReachExternal) {
    StartWith("function talk() { external.log('to the host'); external.alert('hi'); return 'done'; }\n"
              "function misuse() { try { external.alert('a', 'b'); return 'no error'; }"
              " catch (e) { return 'error'; } }");
    Result result;
    ASSERT_TRUE(host_.CallScriptFcn("talk", &result.value, 0, nullptr));
    EXPECT_EQ(L"done", result.Text());
    ASSERT_TRUE(host_.CallScriptFcn("misuse", &result.value, 0, nullptr));
    EXPECT_EQ(L"error", result.Text());
}

// The object "external" as a COM client sees it.
class ExternalObjectTest : public ::testing::Test {
protected:
    DISPID IdOf(const wchar_t* name) {
        std::wstring text = name;
        LPOLESTR names[] = {&text[0]};
        DISPID id = 0;
        lastResult_ = host_.GetIDsOfNames(IID_NULL, names, 1, 0, &id);
        return id;
    }
    HRESULT Call(DISPID id, VARIANT* arguments, UINT count, WORD flags = DISPATCH_METHOD,
                 UINT namedCount = 0) {
        DISPID named[] = {DISPID_PROPERTYPUT};
        DISPPARAMS parameters = {arguments, namedCount ? named : nullptr, count, namedCount};
        UINT argumentError = 99;
        return host_.Invoke(id, IID_NULL, 0, flags, &parameters, nullptr, nullptr, &argumentError);
    }
    CScriptHost host_;
    HRESULT lastResult_ = S_OK;
};

TEST_F(ExternalObjectTest, NamesAreMatchedWithoutCaseAndNumberedFromOne) {
    EXPECT_EQ(1, IdOf(L"alert"));
    EXPECT_EQ(2, IdOf(L"LOG"));
    EXPECT_EQ(DISPID_UNKNOWN, IdOf(L"print"));
    EXPECT_EQ(DISP_E_UNKNOWNNAME, lastResult_);
}

TEST_F(ExternalObjectTest, MisuseGivesTheExactDispatchErrors) {
    VARIANT text = StringVariant(L"x");
    VARIANT two[2] = {StringVariant(L"a"), StringVariant(L"b")};
    EXPECT_EQ(S_OK, Call(1, &text, 1));
    EXPECT_EQ(S_OK, Call(2, &text, 1));
    EXPECT_EQ(DISP_E_BADPARAMCOUNT, Call(1, nullptr, 0));
    EXPECT_EQ(DISP_E_BADPARAMCOUNT, Call(2, two, 2));
    EXPECT_EQ(DISP_E_MEMBERNOTFOUND, Call(3, &text, 1));
    EXPECT_EQ(DISP_E_NONAMEDARGS, Call(1, &text, 1, DISPATCH_METHOD, 1));

    VARIANT unconvertible;
    unconvertible.vt = VT_ERROR;  // an error code has no text form
    unconvertible.scode = E_FAIL;
    EXPECT_EQ(DISP_E_TYPEMISMATCH, Call(1, &unconvertible, 1));

    UINT count = 7;
    EXPECT_EQ(S_OK, host_.GetTypeInfoCount(&count));
    EXPECT_EQ(0u, count);
    ITypeInfo* info = nullptr;
    EXPECT_EQ(E_NOTIMPL, host_.GetTypeInfo(0, 0, &info));
    ::VariantClear(&text);
    ::VariantClear(&two[0]);
    ::VariantClear(&two[1]);
}

TEST_F(ExternalObjectTest, SiteAnswersOnlyForExternal) {
    IActiveScriptSite& site = host_;
    IUnknown* item = reinterpret_cast<IUnknown*>(1);
    EXPECT_EQ(S_OK, site.GetItemInfo(L"External", SCRIPTINFO_IUNKNOWN, &item, nullptr));
    EXPECT_EQ(static_cast<IDispatch*>(&host_), item);
    EXPECT_EQ(E_INVALIDARG, site.GetItemInfo(L"other", SCRIPTINFO_IUNKNOWN, &item, nullptr));
    EXPECT_EQ(nullptr, item);
    EXPECT_EQ(E_INVALIDARG, site.GetItemInfo(L"external", SCRIPTINFO_IUNKNOWN, nullptr, nullptr));
    ITypeInfo* info = nullptr;
    EXPECT_EQ(E_NOTIMPL, site.GetItemInfo(L"external", SCRIPTINFO_ITYPEINFO, nullptr, &info));

    LCID locale = 0;
    EXPECT_EQ(S_OK, site.GetLCID(&locale));
    EXPECT_EQ(static_cast<LCID>(LOCALE_SYSTEM_DEFAULT), locale);
    BSTR version = nullptr;
    ASSERT_EQ(S_OK, site.GetDocVersionString(&version));
    EXPECT_STREQ(L"CScriptHost", version);
    ::SysFreeString(version);
    EXPECT_EQ(E_POINTER, site.OnScriptError(nullptr));

    void* object = nullptr;
    EXPECT_EQ(E_NOINTERFACE, host_.QueryInterface(IID_IClassFactory, &object));
    EXPECT_EQ(E_POINTER, host_.QueryInterface(IID_IUnknown, nullptr));
}

}  // namespace

namespace {

// Stand-ins that throw where a faulty engine, argument or subclass might.
class ThrowingError : public IActiveScriptError {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** object) override {
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 1; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE GetExceptionInfo(EXCEPINFO*) override { throw std::runtime_error("engine"); }
    HRESULT STDMETHODCALLTYPE GetSourcePosition(DWORD*, ULONG*, LONG*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetSourceLineText(BSTR*) override { return E_NOTIMPL; }
};

// Converting it to text asks it for its value, which throws.
class ThrowingValue : public IDispatch {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        *object = (iid == IID_IUnknown || iid == IID_IDispatch) ? this : nullptr;
        return *object ? S_OK : E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 1; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                     UINT*) override {
        throw std::runtime_error("value");
    }
};

class ThrowingHost : public CScriptHost {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void**) override { throw std::bad_alloc(); }
};

TEST(ScriptHostBoundary, ExceptionsEndAtTheEngineBoundaryReported) {
    testing_support::DiagnosticCapture tool;
    ASSERT_TRUE(tool.IsListening());
    ThrowingHost host;

    ThrowingError error;
    EXPECT_EQ(SCRIPT_E_PROPAGATE, host.OnScriptError(&error));
    EXPECT_TRUE(tool.Reported("CScriptHost::OnScriptError", "Exception thrown"));

    IUnknown* item = nullptr;
    EXPECT_EQ(E_UNEXPECTED, host.GetItemInfo(L"external", SCRIPTINFO_IUNKNOWN, &item, nullptr));
    EXPECT_TRUE(tool.Reported("CScriptHost::GetItemInfo", "Exception thrown"));

    ThrowingValue value;
    VARIANT argument;
    argument.vt = VT_DISPATCH;
    argument.pdispVal = &value;
    DISPPARAMS parameters = {&argument, nullptr, 1, 0};
    EXPECT_EQ(DISP_E_EXCEPTION, host.Invoke(2, IID_NULL, 0, DISPATCH_METHOD, &parameters, nullptr, nullptr, nullptr));
    EXPECT_TRUE(tool.Reported("CScriptHost::Invoke", "Exception thrown"));
}

}  // namespace
