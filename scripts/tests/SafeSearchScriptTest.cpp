// The safe-search scripts in the real JScript engine: which addresses are
// results pages, and how a results page's links are marked.
#include "tests/support/FakeDispatch.h"
#include "utils/Script/CScriptHost.h"

#include <gtest/gtest.h>

namespace {

using testing_support::FakeDispatch;
using testing_support::MakeCollection;

class SafeSearchScripts : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(host_.InitScripting());
        ASSERT_TRUE(host_.AddScriptFile("%INSTALL_DIR%Scripts\\SafeSearch.js"));
        ASSERT_TRUE(host_.RunScript());
    }

    int Call(const char* function, int count, VARIANT* arguments) {
        VARIANT result;
        ::VariantInit(&result);
        EXPECT_TRUE(host_.CallScriptFcn(function, &result, count, arguments)) << function;
        ::VariantChangeType(&result, &result, 0, VT_I4);
        return result.vt == VT_I4 ? result.lVal : -99;
    }
    int IsSearchPage(const wchar_t* url) {
        VARIANT argument;
        argument.vt = VT_BSTR;
        argument.bstrVal = ::SysAllocString(url);
        const int result = Call("is_search_page", 1, &argument);
        ::VariantClear(&argument);
        return result;
    }
    void SetFlag(const char* function, bool on) {
        VARIANT flag;
        flag.vt = VT_I2;
        flag.iVal = on ? -1 : 0;
        Call(function, 1, &flag);
    }

    // A link inside a parent element that records insertions and removals.
    win::ComPtr<FakeDispatch> Link(const wchar_t* href) {
        win::ComPtr<FakeDispatch> link = FakeDispatch::Create();
        link->SetString(L"href", href);
        link->SetObject(L"style", FakeDispatch::Create().Get());
        link->SetObject(L"nextSibling", nullptr);
        win::ComPtr<FakeDispatch> parent = FakeDispatch::Create();
        FakeDispatch* rawParent = parent.Get();
        parent->SetMethod(L"insertBefore", [rawParent](const std::vector<VARIANT>& arguments, VARIANT*) {
            static_cast<FakeDispatch*>(arguments[0].pdispVal)->SetObject(L"parentNode", rawParent);
            return S_OK;
        });
        parent->SetMethod(L"removeChild", [](const std::vector<VARIANT>&, VARIANT*) { return S_OK; });
        link->SetObject(L"parentNode", parent.Get());
        parents_.push_back(parent);
        return link;
    }

    // A browser showing a results page with two results and one link of the engine.
    win::ComPtr<FakeDispatch> Browser(const wchar_t* pageUrl) {
        links_ = {Link(L"http://www.first-result.example.com/page"),
                  Link(L"https://www.bing.com/search?q=more&first=11"),
                  Link(L"https://second.example.org/")};
        win::ComPtr<FakeDispatch> document = FakeDispatch::Create();
        document->SetString(L"URL", pageUrl);
        document->SetObject(L"links", MakeCollection(links_).Get());
        document->SetMethod(L"createElement", [this](const std::vector<VARIANT>&, VARIANT* result) {
            win::ComPtr<FakeDispatch> element = FakeDispatch::Create();
            element->SetObject(L"style", FakeDispatch::Create().Get());
            created_.push_back(element);
            result->vt = VT_DISPATCH;
            result->pdispVal = element.Detach();
            return S_OK;
        });
        win::ComPtr<FakeDispatch> browser = FakeDispatch::Create();
        browser->SetObject(L"Document", document.Get());
        return browser;
    }

    int SaveMe(FakeDispatch* browser) {
        VARIANT arguments[3];
        arguments[0].vt = VT_DISPATCH;
        arguments[0].pdispVal = browser;
        arguments[1].vt = VT_BSTR;
        arguments[1].bstrVal = ::SysAllocString(L"C:\\Program Files\\Quillon\\Scripts\\");
        arguments[2].vt = VT_BSTR;
        arguments[2].bstrVal = ::SysAllocString(L"");
        const int marked = Call("save_me", 3, arguments);
        ::VariantClear(&arguments[1]);
        ::VariantClear(&arguments[2]);
        return marked;
    }

    CScriptHost host_;
    std::vector<win::ComPtr<FakeDispatch>> links_;
    std::vector<win::ComPtr<FakeDispatch>> parents_;
    std::vector<win::ComPtr<FakeDispatch>> created_;
};

TEST_F(SafeSearchScripts, RecognisesResultsPagesOfTheMajorEngines) {
    for (const wchar_t* url : {L"https://www.google.com/search?q=weather&hl=en",
                               L"http://www.google.co.uk/search?hl=en&q=tea",
                               L"https://www.google.de/search?client=firefox&q=wetter",
                               L"https://www.bing.com/search?q=quillon&form=QBLH",
                               L"https://search.yahoo.com/search?p=news&fr=yfp",
                               L"https://duckduckgo.com/?q=privacy&t=h_",
                               L"https://www.ask.com/web?q=what+is+phishing",
                               L"https://search.aol.com/aol/search?q=mail",
                               L"https://www.baidu.com/s?wd=test",
                               L"https://yandex.ru/search/?text=test&lr=213",
                               L"https://www.ecosia.org/search?q=trees"}) {
        EXPECT_EQ(1, IsSearchPage(url)) << url;
    }
}

TEST_F(SafeSearchScripts, OrdinaryPagesAreNotResultsPages) {
    for (const wchar_t* url : {L"https://www.google.com/", L"https://www.google.com/maps/place/x",
                               L"https://www.google.com/search", L"https://www.bing.com/images",
                               L"https://news.example.com/search?q=local",
                               L"https://www.google.com.evil.example/search?q=x",
                               L"about:blank", L"", L"file:///C:/search?q=x"}) {
        EXPECT_EQ(0, IsSearchPage(url)) << url;
    }
}

// Marking with the service's answers is tested with CSafeSearch and the
// service's HTTP side (ie/SafeSearch/tests); here, what needs no service.
TEST_F(SafeSearchScripts, NothingIsAskedOrMarkedWithoutAServerOrOffResultsPages) {
    SetFlag("set_icons", true);
    win::ComPtr<FakeDispatch> results = Browser(L"https://www.bing.com/search?q=quillon");
    EXPECT_EQ(0, SaveMe(results.Get()));  // "DssServer" empty
    win::ComPtr<FakeDispatch> plain = Browser(L"https://www.example.com/");
    EXPECT_EQ(0, SaveMe(plain.Get()));
    EXPECT_TRUE(created_.empty());
    EXPECT_NE(0, Call("reset", 0, nullptr));  // true
}

}  // namespace
