// Registration as regsvr32 runs it on the real DLL, and the take-back of a
// registration that fails half-way.
#include "ie/Module/ModuleClasses.h"
#include "ie/Module/Registration.h"
#include "ie/Module/RegistryJournal.h"
#include "ie/Module/tests/ModuleTesting.h"
#include "tests/support/DiagnosticCapture.h"
#include "tests/support/FakeBrowser.h"
#include "utils/iRPC/RPCWindowHandle.h"
#include "utils/iRPC/tests/RPCTestWindow.h"

#include <gtest/gtest.h>

#include <objbase.h>

#include <algorithm>
#include <memory>
#include <stdexcept>
#include <string>

using module_testing::KeyExists;
using module_testing::kMissing;
using module_testing::StringValue;

namespace {

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return static_cast<char>(::tolower(c)); });
    return text;
}

std::string ClassKey(REFCLSID clsid) {
    return "CLSID\\" + ClassIdString(clsid);
}

const std::string kHelperKey = kBrowserHelpersKey + ClassIdString(CLSID_QuillonBHO);
const std::string kLayoutKey = kToolbarLayoutKey;

using CanUnloadFunction = HRESULT WINAPI();

// The browser's way: the helper from COM, one page, quit, detach, release;
// after that the module may go.
void BrowserHelperLifeThroughCom() {
    auto service = std::make_unique<rpc_testing::RPCTestWindow>(kRPCServiceWindowTitle,
                                                                rpc_testing::RPCTestWindow::Behaviour::Accept);
    win::ComPtr<testing_support::FakeBrowser> browser = testing_support::FakeBrowser::Create();
    win::ComPtr<IObjectWithSite> helper;
    ASSERT_EQ(::CoCreateInstance(CLSID_QuillonBHO, nullptr, CLSCTX_INPROC_SERVER, IID_IObjectWithSite,
                                 helper.ReleaseAndGetVoidAddressOf()),
              S_OK);
    const HMODULE loaded = ::GetModuleHandleA("QuillonIE.dll");
    ASSERT_TRUE(loaded) << "COM loaded the registered DLL";
    auto* canUnload = reinterpret_cast<CanUnloadFunction*>(reinterpret_cast<void*>(::GetProcAddress(loaded, "DllCanUnloadNow")));
    ASSERT_TRUE(canUnload);
    ASSERT_EQ(helper->SetSite(static_cast<IWebBrowser2*>(browser.Get())), S_OK);
    EXPECT_EQ(browser->SinkCount(), 1u);
    ASSERT_TRUE(service->WaitForDeliveries(1, 5000)) << "the list request reached the service";
    // The page's query finds no service for now: its sender thread keeps
    // looking for the window, running code of the module.
    service.reset();
    browser->BrowsePage(L"http://www.example.com/");
    EXPECT_EQ(canUnload(), S_FALSE);
    browser->FireQuit();
    helper->SetSite(nullptr);
    helper.Reset();
    EXPECT_EQ(browser->References(), 1u) << "every reference on the browser was given back";
    EXPECT_EQ(canUnload(), S_FALSE) << "a sender thread of the module still runs";
    // The service comes back, takes the query, and the thread ends.
    rpc_testing::RPCTestWindow back(kRPCServiceWindowTitle, rpc_testing::RPCTestWindow::Behaviour::Accept);
    EXPECT_TRUE(back.WaitForDeliveries(1, 5000));
    const DWORD start = ::GetTickCount();
    while (canUnload() != S_OK && ::GetTickCount() - start < 5000)
        ::Sleep(20);
    EXPECT_EQ(canUnload(), S_OK);
    ::CoFreeUnusedLibrariesEx(0, 0);
}

int Regsvr32(const char* options) {
    return module_testing::RunToEnd(std::string("regsvr32.exe ") + options + " \"" + module_testing::ModulePath() + "\"");
}

void SetValue(HKEY root, const std::string& path, const std::string& name, const std::string& text) {
    CRegistryJournal journal;  // only to create the keys; never undone
    ASSERT_TRUE(journal.SetString(root, path, name, text)) << path;
}

class RegistrationTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(Regsvr32("/s /u"), 0);
        ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    }
    void TearDown() override {
        ::CoUninitialize();
        Regsvr32("/s /u");
    }
};

TEST_F(RegistrationTest, Regsvr32WritesEveryClassAndUnregisterRemovesIt) {
    const std::string modulePath = Lower(module_testing::ModulePath());
    // The browser's caches of bands and toolbar placement, and the product's options.
    SetValue(HKEY_CURRENT_USER, std::string(kBandCategoryCacheKeys[0]) + "\\Cached", "x", "1");
    SetValue(HKEY_CURRENT_USER, kBandCategoryCacheKeys[1], "x", "1");
    SetValue(HKEY_CURRENT_USER, kLayoutKey, "ITBarLayout", "old layout");
    SetValue(HKEY_CURRENT_USER, kLayoutKey + "\\ITBarLayout", "x", "1");
    SetValue(HKEY_LOCAL_MACHINE, kProductMachineKey, "PIP", "true");

    EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, ClassKey(CLSID_QuillonBHO)));
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kHelperKey));

    ASSERT_EQ(Regsvr32("/s"), 0);
    for (const CLSID* clsid : {&CLSID_QuillonBHO, &CLSID_QuillonMimeFilter, &CLSID_QuillonToolbar}) {
        const std::string server = ClassKey(*clsid) + "\\InprocServer32";
        EXPECT_EQ(Lower(StringValue(HKEY_CLASSES_ROOT, server, "")), modulePath) << server;
        EXPECT_EQ(StringValue(HKEY_CLASSES_ROOT, server, "ThreadingModel"), "Apartment") << server;
    }
    EXPECT_EQ(StringValue(HKEY_CLASSES_ROOT, ClassKey(CLSID_QuillonBHO), ""), kMissing) << "no description";
    EXPECT_EQ(StringValue(HKEY_CLASSES_ROOT, ClassKey(CLSID_QuillonMimeFilter), ""), kMissing);
    EXPECT_EQ(StringValue(HKEY_CLASSES_ROOT, ClassKey(CLSID_QuillonToolbar), ""), "Quillon");
    EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, kHelperKey));
    EXPECT_EQ(StringValue(HKEY_LOCAL_MACHINE, kToolbarKey, ClassIdString(CLSID_QuillonToolbar)), "Quillon");
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, kBandCategoryCacheKeys[0]));
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, kBandCategoryCacheKeys[1]));
    EXPECT_EQ(StringValue(HKEY_CURRENT_USER, kLayoutKey, "ITBarLayout"), kMissing) << "the layout is re-made";
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, kLayoutKey + "\\ITBarLayout"));
    EXPECT_EQ(StringValue(HKEY_LOCAL_MACHINE, kProductMachineKey, "PIP"), "true") << "registering keeps options";

    // COM now finds the module through the registry.
    IUnknown* object = nullptr;
    const HRESULT created = ::CoCreateInstance(CLSID_QuillonToolbar, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown,
                                               reinterpret_cast<void**>(&object));
    EXPECT_EQ(created, S_OK) << "the band, from the registered module";
    if (object) {
        EXPECT_EQ(object->Release(), 0u);
    }
    BrowserHelperLifeThroughCom();

    ASSERT_EQ(Regsvr32("/s /u"), 0);
    for (const CLSID* clsid : {&CLSID_QuillonBHO, &CLSID_QuillonMimeFilter, &CLSID_QuillonToolbar})
        EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, ClassKey(*clsid)));
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kHelperKey));
    EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, kBrowserHelpersKey)) << "other helpers' key stays";
    EXPECT_EQ(StringValue(HKEY_LOCAL_MACHINE, kToolbarKey, ClassIdString(CLSID_QuillonToolbar)), kMissing);
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kProductMachineKey)) << "uninstalling removes the options";

    EXPECT_EQ(Regsvr32("/s /u"), 0) << "removing twice succeeds";
}

bool Fails(CRegistryJournal&) {
    return false;
}
bool Throws(CRegistryJournal&) {
    throw std::runtime_error("registry gone");
}
bool NeverCalled() {
    ADD_FAILURE() << "a failed registration does not run the removals";
    return true;
}

// A registration over an earlier installation whose last step fails: this
// run's new keys go, what it overwrote comes back, the options stay.
TEST_F(RegistrationTest, FailedRegistrationTakesBackOnlyItsOwnWrites) {
    const std::string oldServer = "C:\\Old\\QuillonIE.dll";
    const std::string filterServer = ClassKey(CLSID_QuillonMimeFilter) + "\\InprocServer32";
    SetValue(HKEY_CLASSES_ROOT, filterServer, "", oldServer);
    SetValue(HKEY_LOCAL_MACHINE, kProductMachineKey, "PIP", "true");
    SetValue(HKEY_LOCAL_MACHINE, std::string(kProductMachineKey) + "\\PIP", "Cert", "3");

    for (auto* failing : {&Fails, &Throws}) {
        testing_support::DiagnosticCapture capture;
        const RegistrationStep steps[] = {
            kModuleRegistration[0],
            kModuleRegistration[1],
            {"toolbar band", failing, &NeverCalled},
        };
        EXPECT_EQ(RunRegistration(steps, 3), E_FAIL);

        EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, ClassKey(CLSID_QuillonBHO)));
        EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kHelperKey));
        EXPECT_EQ(StringValue(HKEY_CLASSES_ROOT, filterServer, ""), oldServer) << "the earlier value is back";
        EXPECT_EQ(StringValue(HKEY_CLASSES_ROOT, filterServer, "ThreadingModel"), kMissing);
        EXPECT_EQ(StringValue(HKEY_LOCAL_MACHINE, kProductMachineKey, "PIP"), "true");
        EXPECT_EQ(StringValue(HKEY_LOCAL_MACHINE, std::string(kProductMachineKey) + "\\PIP", "Cert"), "3");
        EXPECT_TRUE(capture.Reported("DllRegisterServer", failing == &Fails ? "toolbar band" : "Exception thrown"));
    }
}

int g_counted = 0;
bool Counts(CRegistryJournal&) {
    ++g_counted;
    return true;
}

TEST_F(RegistrationTest, EveryStepIsAttemptedAfterAFailure) {
    const RegistrationStep steps[] = {
        {"first", &Fails, &NeverCalled},
        kModuleRegistration[0],
        {"third", &Counts, &NeverCalled},
    };
    testing_support::DiagnosticCapture capture;
    g_counted = 0;
    EXPECT_EQ(RunRegistration(steps, 3), E_FAIL);
    EXPECT_EQ(g_counted, 1);
    EXPECT_TRUE(capture.Reported("DllRegisterServer", "first"));
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kHelperKey)) << "taken back";

    EXPECT_EQ(RunRegistration(kModuleRegistration, 3), S_OK);
    EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, kHelperKey));
}

}  // namespace
