// The module's entry points as a host sees them: the real DLL loaded with
// LoadLibrary, its export table, its class objects and its refusal to load
// into the shell.
#include "ie/Module/ClassFactory.h"
#include "ie/Module/HostCheck.h"
#include "ie/Module/ModuleClasses.h"
#include "ie/Module/ModuleLock.h"
#include "ie/Module/tests/ModuleTesting.h"
#include "tests/support/DiagnosticCapture.h"
#include "tests/support/FakeDownloadStream.h"
#include "tests/support/TestPaths.h"

#include <gtest/gtest.h>

#include <objbase.h>
#include <ocidl.h>
#include <shlobj.h>

#include <algorithm>
#include <stdexcept>
#include <string>
#include <vector>

using module_testing::LoadedModule;

namespace {

using GetClassObjectFunction = HRESULT WINAPI(REFCLSID, REFIID, void**);
using CanUnloadFunction = HRESULT WINAPI();

std::vector<std::string> ExportedNames(HMODULE module) {
    const auto* base = reinterpret_cast<const BYTE*>(module);
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& directory = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT];
    std::vector<std::string> names;
    if (!directory.VirtualAddress)
        return names;
    const auto* exports = reinterpret_cast<const IMAGE_EXPORT_DIRECTORY*>(base + directory.VirtualAddress);
    const auto* nameOffsets = reinterpret_cast<const DWORD*>(base + exports->AddressOfNames);
    for (DWORD i = 0; i < exports->NumberOfNames; ++i)
        names.emplace_back(reinterpret_cast<const char*>(base + nameOffsets[i]));
    std::sort(names.begin(), names.end());
    return names;
}

TEST(ModuleEntryTest, ExportsExactlyTheFourEntryPointsUndecorated) {
    LoadedModule module;
    ASSERT_TRUE(module.Get()) << ::GetLastError();
    const std::vector<std::string> expected = {"DllCanUnloadNow", "DllGetClassObject", "DllRegisterServer",
                                               "DllUnregisterServer"};
    EXPECT_EQ(ExportedNames(module.Get()), expected);
}

TEST(ModuleEntryTest, ClassObjectsOfTheClassTable) {
    LoadedModule module;
    ASSERT_TRUE(module.Get());
    auto* getClassObject = module.Entry<GetClassObjectFunction>("DllGetClassObject");
    ASSERT_TRUE(getClassObject);
    const CLSID unknownClass = {0x12345678, 0x1234, 0x1234, {1, 2, 3, 4, 5, 6, 7, 8}};
    struct Case {
        const char* what;
        const CLSID* clsid;
        HRESULT expected;
    };
    const Case cases[] = {
        {"unknown class", &unknownClass, CLASS_E_CLASSNOTAVAILABLE},
    };
    for (const Case& c : cases) {
        void* object = reinterpret_cast<void*>(1);
        EXPECT_EQ(getClassObject(*c.clsid, IID_IClassFactory, &object), c.expected) << c.what;
        EXPECT_EQ(object, nullptr) << c.what;
    }
    EXPECT_EQ(getClassObject(CLSID_QuillonBHO, IID_IClassFactory, nullptr), E_POINTER);
    auto* canUnload = module.Entry<CanUnloadFunction>("DllCanUnloadNow");
    ASSERT_TRUE(canUnload);
    EXPECT_EQ(canUnload(), S_OK);

    // The browser helper's factory and object each hold the module.
    IClassFactory* factory = nullptr;
    ASSERT_EQ(getClassObject(CLSID_QuillonBHO, IID_IClassFactory, reinterpret_cast<void**>(&factory)), S_OK);
    EXPECT_EQ(canUnload(), S_FALSE);
    IUnknown* helper = nullptr;
    EXPECT_EQ(factory->CreateInstance(nullptr, IID_IClassFactory, reinterpret_cast<void**>(&helper)), E_NOINTERFACE);
    ASSERT_EQ(factory->CreateInstance(nullptr, IID_IObjectWithSite, reinterpret_cast<void**>(&helper)), S_OK);
    EXPECT_EQ(factory->Release(), 0u);
    EXPECT_EQ(canUnload(), S_FALSE);
    EXPECT_EQ(helper->Release(), 0u);
    EXPECT_EQ(canUnload(), S_OK);

    // The toolbar band the same way, as the browser asks for it.
    ASSERT_EQ(getClassObject(CLSID_QuillonToolbar, IID_IClassFactory, reinterpret_cast<void**>(&factory)), S_OK);
    IUnknown* band = nullptr;
    ASSERT_EQ(factory->CreateInstance(nullptr, IID_IDeskBand, reinterpret_cast<void**>(&band)), S_OK);
    EXPECT_EQ(factory->Release(), 0u);
    IUnknown* persist = nullptr;
    EXPECT_EQ(band->QueryInterface(IID_IPersistStream, reinterpret_cast<void**>(&persist)), S_OK);
    EXPECT_EQ(persist->Release(), 1u);
    EXPECT_EQ(canUnload(), S_FALSE);
    EXPECT_EQ(band->Release(), 0u);
    EXPECT_EQ(canUnload(), S_OK);
}

// A class whose objects the factory tests count.
struct Counted : IUnknown {
    CModuleReference moduleReference;
    LONG references = 1;
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (iid != IID_IUnknown) {
            *object = nullptr;
            return E_NOINTERFACE;
        }
        *object = this;
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references; }
    ULONG STDMETHODCALLTYPE Release() override {
        const LONG left = --references;
        if (left == 0)
            delete this;
        return left;
    }
    virtual ~Counted() = default;
};

HRESULT CreateCounted(REFIID iid, void** object) {
    auto* created = new Counted();
    const HRESULT result = created->QueryInterface(iid, object);
    created->Release();
    return result;
}

HRESULT CreateThrowing(REFIID, void**) {
    throw std::runtime_error("broken constructor");
}

TEST(ModuleEntryTest, FactoryAnswersAndHoldsTheModuleWhileReferenced) {
    CClassFactory factory(&CreateCounted);
    ASSERT_EQ(ModuleLockCount(), 0);
    EXPECT_TRUE(ModuleCanUnload());

    IClassFactory* held = nullptr;
    ASSERT_EQ(factory.QueryInterface(IID_IClassFactory, reinterpret_cast<void**>(&held)), S_OK);
    EXPECT_FALSE(ModuleCanUnload()) << "a held factory keeps the module";

    IUnknown* outer = reinterpret_cast<IUnknown*>(&factory);
    void* object = reinterpret_cast<void*>(1);
    EXPECT_EQ(held->CreateInstance(outer, IID_IUnknown, &object), CLASS_E_NOAGGREGATION);
    EXPECT_EQ(object, nullptr);
    EXPECT_EQ(held->CreateInstance(nullptr, IID_IUnknown, nullptr), E_POINTER);
    EXPECT_EQ(held->CreateInstance(nullptr, IID_IDispatch, &object), E_NOINTERFACE);
    EXPECT_EQ(ModuleLockCount(), 1) << "a refused object leaves nothing behind";

    IUnknown* created = nullptr;
    ASSERT_EQ(held->CreateInstance(nullptr, IID_IUnknown, reinterpret_cast<void**>(&created)), S_OK);
    EXPECT_EQ(held->Release(), 0u);
    EXPECT_EQ(ModuleLockCount(), 1) << "the object alone holds the module";
    EXPECT_EQ(created->Release(), 0u);
    EXPECT_TRUE(ModuleCanUnload());

    factory.LockServer(TRUE);
    EXPECT_FALSE(ModuleCanUnload());
    factory.LockServer(FALSE);
    EXPECT_TRUE(ModuleCanUnload());
}

TEST(ModuleEntryTest, FactoryReportsAThrowingConstructor) {
    testing_support::DiagnosticCapture capture;
    CClassFactory factory(&CreateThrowing);
    void* object = reinterpret_cast<void*>(1);
    EXPECT_EQ(factory.CreateInstance(nullptr, IID_IUnknown, &object), E_FAIL);
    EXPECT_EQ(object, nullptr);
    EXPECT_TRUE(capture.Reported("CClassFactory::CreateInstance", "Exception thrown"));
}

TEST(ModuleEntryTest, ShellExecutableNames) {
    struct Case {
        const wchar_t* path;
        bool shell;
    };
    const Case cases[] = {
        {L"C:\\Windows\\explorer.exe", true},
        {L"C:\\WINDOWS\\EXPLORER.EXE", true},
        {L"explorer.EXE", true},
        {L"D:/tools/Explorer.exe", true},
        {L"C:\\Program Files\\Internet Explorer\\iexplore.exe", false},
        {L"C:\\explorer.exe\\iexplore.exe", false},
        {L"C:\\t\\explorer.exe.bak", false},
        {L"C:\\t\\myexplorer.exe", false},
        {L"", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(IsShellExecutable(c.path), c.shell) << std::wstring(c.path).size();
    EXPECT_FALSE(IsShellExecutable(nullptr));
}

// The same loader under different names: the shell is refused whatever the
// case of its name, any other host loads the module.
TEST(ModuleEntryTest, RefusesToLoadIntoTheShell) {
    testing_support::ScratchDirectory folder("QuillonShellHost");
    const std::string loader = testing_support::ExecutableDirectory() + "ModuleLoader.exe";
    struct Case {
        const char* hostName;
        int exitCode;
    };
    const Case cases[] = {
        {"EXPLORER.EXE", ERROR_DLL_INIT_FAILED},
        {"explorer.exe", ERROR_DLL_INIT_FAILED},
        {"Explorer.Exe", ERROR_DLL_INIT_FAILED},
        {"iexplore.exe", 0},
        {"explorer2.exe", 0},
    };
    for (const Case& c : cases) {
        const std::string host = folder.Path() + c.hostName;
        ASSERT_TRUE(::CopyFileA(loader.c_str(), host.c_str(), FALSE)) << c.hostName;
        EXPECT_EQ(module_testing::RunToEnd("\"" + host + "\" \"" + module_testing::ModulePath() + "\""), c.exitCode)
            << c.hostName;
        ::DeleteFileA(host.c_str());
    }
}

}  // namespace

namespace {

// The download filter as urlmon gets it: the DLL's class object creates it,
// and it hands a download through unchanged.
TEST(ModuleEntryTest, DownloadFilterFromTheClassObject) {
    LoadedModule module;
    ASSERT_TRUE(module.Get());
    auto* getClassObject = module.Entry<GetClassObjectFunction>("DllGetClassObject");
    ASSERT_TRUE(getClassObject);
    IClassFactory* factory = nullptr;
    ASSERT_EQ(S_OK, getClassObject(CLSID_QuillonMimeFilter, IID_IClassFactory, reinterpret_cast<void**>(&factory)));
    IInternetProtocol* filter = nullptr;
    ASSERT_EQ(S_OK, factory->CreateInstance(nullptr, IID_IInternetProtocol, reinterpret_cast<void**>(&filter)));

    testing_support::CallLog log;
    std::vector<std::uint8_t> bytes(20000);
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<std::uint8_t>(i);
    testing_support::FakeProtocol protocol(log, bytes);
    // The local machine is never asked about: no service is needed.
    testing_support::FakeProtocolSink sink(log, L"http://127.0.0.1/setup.exe");
    PROTOCOLFILTERDATA data = {sizeof data, nullptr, &protocol, nullptr, 0};
    EXPECT_EQ(S_OK, filter->Start(L"application/octet-stream", &sink, &sink, PI_FILTER_MODE | PI_FORCE_ASYNC,
                                  reinterpret_cast<HANDLE_PTR>(&data)));
    std::vector<std::uint8_t> got;
    std::vector<std::uint8_t> buffer(8192);
    HRESULT hr = S_OK;
    while (hr == S_OK) {
        ULONG read = 0;
        hr = filter->Read(buffer.data(), static_cast<ULONG>(buffer.size()), &read);
        got.insert(got.end(), buffer.begin(), buffer.begin() + read);
    }
    EXPECT_EQ(S_FALSE, hr);
    EXPECT_EQ(bytes, got);
    EXPECT_EQ(S_OK, filter->Terminate(0));
    EXPECT_EQ(0u, filter->Release());
    EXPECT_EQ(1u, protocol.References());
    factory->Release();
}

}  // namespace
