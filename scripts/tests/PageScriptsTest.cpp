// The rules of the page scripts, run in the real JScript engine the way a
// page's evaluation document runs them.
#include "tests/support/FakeDispatch.h"
#include "utils/Script/CScriptHost.h"
#include "utils/Script/ScriptCalls.h"

#include <gtest/gtest.h>

namespace {

using testing_support::FakeDispatch;
using testing_support::MakeCollection;

class PageScripts : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(host_.InitScripting());
        ASSERT_TRUE(host_.AddScriptFile("%INSTALL_DIR%Scripts\\all.js"));
        ASSERT_TRUE(host_.RunScript());
        ASSERT_TRUE(CallScriptVoid(host_, "OnLoad"));
        ASSERT_TRUE(CallScriptVoid(host_, "Reset"));
        ASSERT_TRUE(SendScriptData(host_, nullptr, false, "current_date", "03/05/2026"));
        ASSERT_TRUE(SendScriptData(host_, nullptr, false, "user_country", "GB"));
    }

    void Push(FakeDispatch* browser, bool isTop, const char* name, const char* value) {
        ASSERT_TRUE(SendScriptData(host_, browser, isTop, name, value));
    }
    void Visit(const char* url) { Push(top_.Get(), true, "URL", url); }

    int Category() {
        VARIANT result;
        ::VariantInit(&result);
        EXPECT_TRUE(host_.CallScriptFcn("GetCategory", &result, 0, nullptr));
        ::VariantChangeType(&result, &result, 0, VT_I4);
        return result.lVal;
    }
    std::wstring Reasoning() {
        VARIANT result;
        ::VariantInit(&result);
        EXPECT_TRUE(host_.CallScriptFcn("GetReasoning", &result, 0, nullptr));
        std::wstring text = result.vt == VT_BSTR && result.bstrVal ? result.bstrVal : L"";
        ::VariantClear(&result);
        return text;
    }
    int FormClass(FakeDispatch* form) {
        VARIANT argument;
        argument.vt = VT_DISPATCH;
        argument.pdispVal = form;
        VARIANT result;
        ::VariantInit(&result);
        EXPECT_TRUE(host_.CallScriptFcn("IsInterestingForm", &result, 1, &argument));
        EXPECT_EQ(VT_I4, result.vt);  // read raw by the add-on: it must be a number
        return result.lVal;
    }

    // A form as the browser exposes it: "elements" with "length" and "item".
    struct Field {
        const wchar_t* type;
        const wchar_t* name;
        const wchar_t* id;
    };
    static win::ComPtr<FakeDispatch> Form(std::initializer_list<Field> fields) {
        std::vector<win::ComPtr<FakeDispatch>> inputs;
        for (const Field& field : fields) {
            win::ComPtr<FakeDispatch> input = FakeDispatch::Create();
            input->SetString(L"tagName", L"INPUT");
            input->SetString(L"type", field.type);
            input->SetString(L"name", field.name);
            input->SetString(L"id", field.id);
            inputs.push_back(input);
        }
        win::ComPtr<FakeDispatch> form = FakeDispatch::Create();
        form->SetObject(L"elements", MakeCollection(inputs).Get());
        return form;
    }

    CScriptHost host_;
    win::ComPtr<FakeDispatch> top_ = FakeDispatch::Create();
};

TEST_F(PageScripts, OrdinarySitesAreNotPhishing) {
    for (const char* url : {"http://www.paypal.com/us/signin", "https://www.ebay.co.uk/itm/123",
                            "https://login.live.com/", "https://www.purchase-tickets.example.com/", "http://203.0.113.7/gallery/",
                            "https://accounts.google.com/ServiceLogin", "about:blank"}) {
        Visit(url);
        EXPECT_EQ(0, Category()) << url;
        EXPECT_EQ(L"", Reasoning()) << url;
    }
}

TEST_F(PageScripts, BrandInTheHostOfSomeoneElsesDomainIsPhishing) {
    Visit("http://paypal.com.account-verify.example.ru/cgi-bin/webscr");
    EXPECT_EQ(1, Category());
    EXPECT_NE(std::wstring::npos, Reasoning().find(L"\"paypal\""));

    Visit("https://secure-bankofamerica.example.net/");
    EXPECT_EQ(1, Category());
    Visit("https://www.bank-of-america.example.com/");
    EXPECT_EQ(1, Category());  // hyphens do not hide the name
    Visit("http://paypalsecure.example.com/");
    EXPECT_EQ(1, Category());
}

TEST_F(PageScripts, NameBeforeAnAtSignIsPhishing) {
    Visit("http://www.mybank.example@198.51.100.23/index.html");
    EXPECT_EQ(1, Category());
    EXPECT_NE(std::wstring::npos, Reasoning().find(L"www.mybank.example"));
}

TEST_F(PageScripts, NumericHostCountsOnlyWhenItAsksForALogin) {
    Visit("http://198.51.100.23/secure/login.php");
    EXPECT_EQ(1, Category());
    Visit("http://3325256727/photos/");  // one number is an address too
    EXPECT_EQ(0, Category());
    EXPECT_EQ(1, FormClass(Form({{L"text", L"user", L"user"}, {L"password", L"pw", L"pw"}}).Get()));
    EXPECT_EQ(1, Category());  // the login form seen on the page decides it
}

TEST_F(PageScripts, YoungDomainsCountOnlyWithOtherSigns) {
    Visit("http://fresh-offers.example.com/");
    Push(top_.Get(), true, "dss_whois_date", "20-Feb-2026");
    EXPECT_EQ(0, Category());  // new alone is fine: every site was new once

    Push(top_.Get(), true, "dss_user_content", "true");
    Push(top_.Get(), true, "dss_dynamic_ip", "true");
    EXPECT_EQ(2, Category());
    EXPECT_NE(std::wstring::npos, Reasoning().find(L"registered only 13 days ago"));

    Visit("http://old-shop.example.com/");
    Push(top_.Get(), true, "dss_whois_date", "05-Mar-2011");
    Push(top_.Get(), true, "dss_user_content", "true");
    Push(top_.Get(), true, "dss_dynamic_ip", "true");
    EXPECT_EQ(0, Category());
}

TEST_F(PageScripts, YoungUserContentPageAskingForAPasswordIsPhishing) {
    Visit("http://pages.example-host.com/u/someone/");
    Push(top_.Get(), true, "dss_whois_date", "01-Mar-2026");
    Push(top_.Get(), true, "dss_user_content", "true");
    EXPECT_EQ(0, Category());
    EXPECT_EQ(1, FormClass(Form({{L"email", L"login", L"login"}, {L"password", L"pass", L""}}).Get()));
    EXPECT_EQ(1, Category());
    EXPECT_NE(std::wstring::npos, Reasoning().find(L"password"));
}

TEST_F(PageScripts, AFramePullsThePageDown) {
    win::ComPtr<FakeDispatch> frame = FakeDispatch::Create();
    Visit("http://www.news.example.com/");
    Push(frame.Get(), false, "URL", "http://ebay-login.example.biz/signin");
    EXPECT_EQ(1, Category());
    // A new address in the frame replaces what was known about it.
    Push(frame.Get(), false, "URL", "http://ads.example.com/banner");
    EXPECT_EQ(0, Category());
}

TEST_F(PageScripts, FinalAddressWinsOverTheRequestedOne) {
    Visit("http://short.example/abc");
    Push(top_.Get(), true, "URL_final", "http://paypal.example.info/login");
    EXPECT_EQ(1, Category());
}

TEST_F(PageScripts, FormsAreClassifiedByTheirFields) {
    EXPECT_EQ(1, FormClass(Form({{L"text", L"name", L"name"},
                                 {L"text", L"email", L"signup-email"},
                                 {L"submit", L"go", L""}}).Get()));
    EXPECT_EQ(1, FormClass(Form({{L"email", L"x1", L""}}).Get()));
    EXPECT_EQ(2, FormClass(Form({{L"text", L"cardnumber", L"cc-number"},
                                 {L"text", L"exp", L"cc-exp"},
                                 {L"text", L"cvv", L"cvv"}}).Get()));
    EXPECT_EQ(2, FormClass(Form({{L"text", L"expiry_date", L""}, {L"text", L"security_code", L""}}).Get()));
    EXPECT_EQ(0, FormClass(Form({{L"text", L"q", L"search"}, {L"submit", L"btnG", L""}}).Get()));
    EXPECT_EQ(0, FormClass(Form({{L"hidden", L"email", L""}, {L"text", L"q", L""}}).Get()));
    EXPECT_EQ(0, FormClass(Form({}).Get()));
    EXPECT_EQ(0, FormClass(FakeDispatch::Create().Get()));  // no elements at all
}

}  // namespace
