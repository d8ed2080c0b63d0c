#include "utils/Script/ScriptCalls.h"

#include "tests/support/DiagnosticCapture.h"
#include "utils/Script/CScriptHost.h"

#include <gtest/gtest.h>

namespace {

// Stands in for a frame's browser object: only its identity and references matter.
class FakeBrowser : public IDispatch {
public:
    ULONG references = 1;
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (!object)
            return E_POINTER;
        if (iid == IID_IUnknown || iid == IID_IDispatch) {
            *object = this;
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references; }
    ULONG STDMETHODCALLTYPE Release() override { return --references; }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
        return DISP_E_UNKNOWNNAME;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                     UINT*) override {
        return DISP_E_MEMBERNOTFOUND;
    }
};

// Records every push as "browser-kind,isTop,name,typeof value,value".
constexpr char kRecorder[] =
    "var pushes = [];\n"
    "function SendData(browser, isTop, name, value) {\n"
    "  var kind = browser === null ? 'null' : typeof browser;\n"
    "  pushes[pushes.length] = kind + ',' + isTop + ',' + name + ',' + typeof value + ',' + value;\n"
    "}\n"
    "function Pushes() { return pushes.join(';'); }\n"
    "function Touch() { pushes[pushes.length] = 'touched'; }\n";

class ScriptCallsTest : public ::testing::Test {
protected:
    void Start(const char* script) {
        ASSERT_TRUE(host_.InitScripting());
        ASSERT_TRUE(host_.AddScript(script));
        ASSERT_TRUE(host_.RunScript());
    }
    std::wstring Pushes() {
        VARIANT result;
        ::VariantInit(&result);
        EXPECT_TRUE(host_.CallScriptFcn("Pushes", &result, 0, nullptr));
        std::wstring text = result.vt == VT_BSTR ? result.bstrVal : L"";
        ::VariantClear(&result);
        return text;
    }
    CScriptHost host_;
    testing_support::DiagnosticCapture tool_;
};

TEST_F(ScriptCallsTest, PushesCarryBrowserFlagNameAndTypedValue) {
    Start(kRecorder);
    FakeBrowser frame;
    EXPECT_TRUE(SendScriptData(host_, nullptr, false, "current_date", "03/05/2006"));
    EXPECT_TRUE(SendScriptData(host_, &frame, true, "dss_code", 4));
    EXPECT_TRUE(SendScriptData(host_, &frame, false, "URL", "http://frame.example/"));
    EXPECT_EQ(L"null,0,current_date,string,03/05/2006;"
              L"object,-1,dss_code,number,4;"
              L"object,0,URL,string,http://frame.example/",
              Pushes());
    EXPECT_EQ(1u, frame.references);  // the reference taken for the call is given back
    EXPECT_TRUE(tool_.Lines().empty());
}

TEST_F(ScriptCallsTest, ScriptWithoutSendDataMakesEveryPushFail) {
    Start("function Other() {}");
    EXPECT_FALSE(SendScriptData(host_, nullptr, true, "URL", "http://a.example/"));
    EXPECT_TRUE(tool_.Reported("SendScriptData", "Failed calling SendData script"));
    EXPECT_FALSE(SendScriptData(host_, nullptr, true, "dss_color", 2));
}

TEST_F(ScriptCallsTest, NullNamesAndValuesAreReported) {
    Start(kRecorder);
    EXPECT_FALSE(SendScriptData(host_, nullptr, true, nullptr, "x"));
    EXPECT_FALSE(SendScriptData(host_, nullptr, true, "URL", nullptr));
    EXPECT_FALSE(SendScriptData(host_, nullptr, true, nullptr, 1));
    EXPECT_FALSE(CallScriptVoid(host_, nullptr));
    EXPECT_EQ(4u, tool_.Lines().size());
    EXPECT_TRUE(tool_.Reported("SendScriptData", "NULL pointer"));
    EXPECT_TRUE(tool_.Reported("CallScriptVoid", "NULL pointer"));
    EXPECT_EQ(L"", Pushes());
}

TEST_F(ScriptCallsTest, CallScriptVoidRunsTheFunctionAndReportsAMissingOne) {
    Start(kRecorder);
    EXPECT_TRUE(CallScriptVoid(host_, "Touch"));
    EXPECT_EQ(L"touched", Pushes());
    EXPECT_FALSE(CallScriptVoid(host_, "OnLoad"));
    EXPECT_TRUE(tool_.Reported("CallScriptVoid", "Failed to call script function OnLoad"));
}

}  // namespace
