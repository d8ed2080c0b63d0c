// The rules of the page scripts, run in the real JScript engine the way a
// page's evaluation document runs them.
#include "tests/support/FakeDispatch.h"
#include "utils/Script/CScriptHost.h"
#include "utils/Script/ScriptCalls.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <utility>

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
        StartEngine();
    }

    // What a fresh engine hears before the first page (today: 5 March 2026).
    void StartEngine() {
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

// Young is 30 days at most: the days just below, at and above the line.
TEST_F(PageScripts, YoungMeansThirtyDaysAtMost) {
    const struct {
        const char* registered;
        int expected;
        const wchar_t* reason;
    } cases[] = {
        {"04-Feb-2026", 2, L"registered only 29 days ago"},
        {"03-Feb-2026", 2, L"registered only 30 days ago"},
        {"02-Feb-2026", 0, L""},
    };
    for (const auto& test : cases) {
        Visit("http://fresh-offers.example.com/");
        Push(top_.Get(), true, "dss_whois_date", test.registered);
        Push(top_.Get(), true, "dss_user_content", "true");
        Push(top_.Get(), true, "dss_dynamic_ip", "true");
        EXPECT_EQ(test.expected, Category()) << test.registered;
        EXPECT_NE(std::wstring::npos, Reasoning().find(test.reason)) << test.registered;
    }
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

// Labelled addresses with the facts the service would push about them, each
// judged by a fresh engine. Dates against today, 5 March 2026: young is two
// weeks old, recent three months, old over twenty years.
constexpr const char* kYoung = "20-Feb-2026";
constexpr const char* kRecent = "01-Dec-2025";
constexpr const char* kOld = "14-Jan-2003";

struct LabelledPage {
    const char* url;
    const char* whoisDate;    // "dss_whois_date", or null when the service knows none
    bool userContent;         // "dss_user_content" pushed as "true"
    bool loginForm;           // the page shows a user name and password form
    bool phishing;            // the expected verdict
};

const LabelledPage kLabelledPages[] = {
    // Phishing-like.
    {"http://paypal.com.account-verify.example.ru/cgi-bin/webscr", nullptr, false, false, true},
    {"https://secure-myebaysignin.example.com/", kYoung, false, false, true},  // glued in a young domain
    {"https://www.securechaseonline-update.example/logon", kRecent, false, false, true},
    {"http://appleidverify-support.example.net/account/", kYoung, false, false, true},
    {"https://storage.googleapis.com/a8c1f0e2/paypal/signin.html", nullptr, false, false, true},
    {"https://pages.example-host.com/~jdoe/wellsfargo/login.htm", kOld, true, false, true},
    {"https://sites.google.com/view/outlook-verify-mailbox", kOld, false, false, true},
    {"https://members.example-host.net/jdoe/hsbc/", kOld, true, true, true},
    {"http://198.51.100.77:8080/barclays/index.html", nullptr, false, false, true},
    {"http://203.0.113.9:8443/bank-of-america/online/", nullptr, false, false, true},
    {"http://192.0.2.146:81/onlinebank/", nullptr, false, false, true},
    {"http://www.mybank.example@198.51.100.23/index.html", nullptr, false, false, true},
    {"https://netflix-billing.example.org/update", kYoung, false, false, true},
    {"http://login-microsoftonline.example.top/", nullptr, false, false, true},
    {"https://apple.com-support.example/", nullptr, false, false, true},
    {"https://hsbc.co.uk.secure-check.example.com/", nullptr, false, false, true},
    {"https://paypal-login.blogspot.com/", nullptr, true, false, true},
    {"http://paypalsecure.hacked-shop.example/", kOld, false, false, true},  // an old domain broken into
    {"http://pages.example-host.com/u/someone/", kYoung, true, true, true},
    {"https://amazon.cm/ap/signin", nullptr, false, false, true},  // a typo ending, not a national site
    {"http://paypal.tk/", nullptr, false, false, true},  // a free ending, not a national site
    {"http://chase-alerts.example.com/", nullptr, false, false, true},  // an everyday name, unknown domain
    {"http://mypaypalsecure.example.com/login", nullptr, false, false, true},  // a long name needs no date
    {"https://jdoe.example-pages.io/paypal/login.html", nullptr, false, false, true},  // hosting unknown to the service
    {"https://www.example-shop.com/wp-content/uploads/wellsfargo/online/login.htm", kOld, false, false, true},
    // Legitimate.
    {"https://login.microsoftonline.com/common/oauth2/authorize", kOld, false, true, false},
    {"https://outlook.office365.com/owa/", kOld, false, true, false},
    {"https://connect.secure.wellsfargo.com/auth/login/present", kOld, false, true, false},
    {"https://www.wellsfargoadvisors.com/online-access/signon.htm", kOld, false, true, false},
    {"https://www.paypal-community.com/t5/help/login", kOld, false, false, false},
    {"https://www.amazon.in/ap/signin", kOld, false, true, false},
    {"https://www.google.com.au/", kOld, false, false, false},
    {"https://online.hsbc.com.hk/logon/", kOld, false, true, false},
    {"https://connect.facebook.net/en_US/sdk.js", kOld, false, false, false},
    {"https://appleid.apple.com/sign-in", kOld, false, true, false},
    {"https://www.ebay.co.uk/signin", kOld, false, true, false},
    {"https://www.chase.com/personal/online-banking", kOld, false, false, false},
    {"https://www.purchase-tickets.example.com/login", kYoung, false, false, false},
    {"https://www.pineapple-recipes.example/account/login", kYoung, false, false, false},
    {"https://weather-outlook.example.com/", kOld, false, false, false},
    {"https://outlook.steam-cleaning.example/", kOld, false, false, false},  // everyday words, old domain
    {"https://portal.ebay-sellers-guild.example/", kOld, false, false, false},
    {"http://203.0.113.7:8080/gallery/", nullptr, false, false, false},
    {"https://jdoe.blogspot.com/2026/03/why-i-left-paypal.html", nullptr, true, false, false},
    {"https://www.example-news.com/how-to-secure-your-paypal-account", kOld, false, false, false},
    {"https://www.example-shop.com/account/login", kOld, false, true, false},
    {"https://shop.example.com/auth/google/login.php", kOld, false, true, false},  // "sign in with"
    {"https://www.example.com/accounts/google/login/", kOld, false, true, false},
    {"https://www.example.org/paypal-tips/login-help.html", kOld, false, false, false},
    {"https://weatheroutlook.example/login", nullptr, false, false, false},
    {"https://tpc.googlesyndication.com/safeframe/1-0-40/html/container.html", kOld, false, false, false},
};

TEST_F(PageScripts, LabelledAddressesGetTheirVerdict) {
    int phishing = 0, phishingFlagged = 0, legitimate = 0, legitimateFlagged = 0;
    for (const LabelledPage& page : kLabelledPages) {
        StartEngine();
        Visit(page.url);
        if (page.whoisDate)
            Push(top_.Get(), true, "dss_whois_date", page.whoisDate);
        Push(top_.Get(), true, "dss_user_content", page.userContent ? "true" : "false");
        if (page.loginForm) {
            EXPECT_EQ(1, FormClass(Form({{L"text", L"user", L"user"}, {L"password", L"pw", L"pw"}}).Get()));
        }
        const bool flagged = Category() != 0;
        EXPECT_EQ(page.phishing, flagged) << page.url;
        EXPECT_EQ(flagged, !Reasoning().empty()) << page.url;
        (page.phishing ? phishing : legitimate)++;
        if (flagged)
            (page.phishing ? phishingFlagged : legitimateFlagged)++;
    }
    std::printf("Phishing-like addresses flagged: %d of %d; legitimate addresses flagged: %d of %d\n",
                phishingFlagged, phishing, legitimateFlagged, legitimate);
}

TEST_F(PageScripts, AgeDecidesABrandHiddenInALongerWord) {
    // The same glued name with login words: made for a campaign when new,
    // unknown without a date, an established business when years old.
    const char* url = "https://www.myebaysignin.example.com/";
    for (const auto& [date, expected] : {std::pair<const char*, int>{kRecent, 1}, {nullptr, 0}, {"01-Jan-2024", 0}}) {
        StartEngine();
        Visit(url);
        if (date)
            Push(top_.Get(), true, "dss_whois_date", date);
        EXPECT_EQ(expected, Category()) << (date ? date : "no date");
    }
    // The registry's own date format serves as well.
    StartEngine();
    Visit(url);
    Push(top_.Get(), true, "whois_created", "2026-01-10T08:00:00Z");
    EXPECT_EQ(1, Category());
    EXPECT_NE(std::wstring::npos, Reasoning().find(L"\"ebay\""));
}

TEST_F(PageScripts, ABrandsNameOnlyInTheRegisteredNameOfAnOldDomainIsQuiet) {
    // Years of history make a brand-named domain the brand's own or an
    // honest business's, unless the name carries login words itself.
    for (const auto& [url, expected] : {std::pair<const char*, int>{"https://www.dhl-partner-portal.example/", 0},
                                        {"https://www.dhl-account-verify.example/", 1}}) {
        StartEngine();
        Visit(url);
        Push(top_.Get(), true, "dss_whois_date", kOld);
        EXPECT_EQ(expected, Category()) << url;
        StartEngine();
        Visit(url);  // nothing known about the domain: the name alone decides
        EXPECT_EQ(1, Category()) << url;
    }
}

TEST_F(PageScripts, NumericHostsWithAPortShowItInTheReason) {
    Visit("http://198.51.100.77:8080/barclays/index.html");
    EXPECT_EQ(1, Category());
    EXPECT_NE(std::wstring::npos, Reasoning().find(L"\"barclays\""));
    EXPECT_NE(std::wstring::npos, Reasoning().find(L"unusual port"));
    Visit("http://[2001:db8::7]:8080/natwest/");
    EXPECT_EQ(1, Category());
    EXPECT_NE(std::wstring::npos, Reasoning().find(L"unusual port"));
    Visit("http://198.51.100.77/photos/apple-harvest.jpg");  // an everyday word is not a brand here
    EXPECT_EQ(0, Category());
}

TEST_F(PageScripts, FormsAreClassifiedByTheirFields) {
    struct Case {
        std::initializer_list<Field> fields;
        int expected;
    };
    const Case cases[] = {
        {{{L"text", L"name", L"name"}, {L"text", L"email", L"signup-email"}, {L"submit", L"go", L""}}, 1},
        {{{L"email", L"x1", L""}}, 1},
        {{{L"text", L"user", L"user"}, {L"password", L"pw", L"pw"}}, 1},
        {{{L"tel", L"contact", L""}, {L"submit", L"send", L""}}, 1},
        {{{L"text", L"first-name", L""}, {L"text", L"last-name", L""}, {L"text", L"address1", L""},
          {L"text", L"zip", L"zip"}}, 1},
        {{{L"text", L"street", L""}, {L"text", L"postcode", L""}}, 1},
        {{{L"text", L"cardnumber", L"cc-number"}, {L"text", L"exp", L"cc-exp"}, {L"text", L"cvv", L"cvv"}}, 2},
        {{{L"text", L"expiry_date", L""}, {L"text", L"security_code", L""}}, 2},
        // Half a card is no card: an expiry-like field alone ("experience",
        // "express" read like one) or a card code alone asks for no payment.
        {{{L"text", L"experience", L""}, {L"submit", L"go", L""}}, 0},
        {{{L"text", L"express", L"express"}}, 0},
        {{{L"text", L"expiry_date", L""}}, 0},
        {{{L"text", L"cvv", L"cvv"}}, 0},
        {{{L"text", L"security_code", L""}, {L"submit", L"pay", L""}}, 0},
        {{{L"text", L"q", L"search"}, {L"submit", L"btnG", L""}}, 0},
        {{{L"hidden", L"email", L""}, {L"text", L"q", L""}}, 0},
        {{{L"text", L"zip", L"zipcode"}, {L"submit", L"go", L"go"}}, 0},  // find a shop near you
        {{{L"text", L"postcode", L""}, {L"button", L"go", L""}}, 0},
        {{{L"text", L"city", L"postal-code"}, {L"image", L"go", L""}}, 0},
        {{}, 0},
    };
    for (size_t i = 0; i < sizeof cases / sizeof cases[0]; i++)
        EXPECT_EQ(cases[i].expected, FormClass(Form(cases[i].fields).Get())) << "form " << i;
    EXPECT_EQ(0, FormClass(FakeDispatch::Create().Get()));  // no elements at all
}

}  // namespace
