#include "utils/Ownership/WinOwnership.h"

#include <gtest/gtest.h>

namespace {

// An object that only counts its references.
class CountedObject : public IUnknown {
public:
    ULONG references = 1;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** result) override {
        if (!result)
            return E_POINTER;
        if (iid != IID_IUnknown) {
            *result = nullptr;
            return E_NOINTERFACE;
        }
        *result = this;
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references; }
    ULONG STDMETHODCALLTYPE Release() override { return --references; }
};

TEST(ComPtr, ConstructionAndCopyAddReferencesDestructionReleases) {
    CountedObject object;
    {
        win::ComPtr<IUnknown> first(&object);
        EXPECT_EQ(2u, object.references);
        win::ComPtr<IUnknown> copy = first;
        EXPECT_EQ(3u, object.references);
        copy = first;  // same object again: no net change
        EXPECT_EQ(3u, object.references);
    }
    EXPECT_EQ(1u, object.references);
}

TEST(ComPtr, AttachAdoptsWithoutAddingAndDetachHandsOver) {
    CountedObject object;
    object.AddRef();  // the reference Attach takes over
    win::ComPtr<IUnknown> pointer;
    pointer.Attach(&object);
    EXPECT_EQ(2u, object.references);

    IUnknown* raw = pointer.Detach();
    EXPECT_EQ(&object, raw);
    EXPECT_FALSE(pointer);
    EXPECT_EQ(2u, object.references);
    raw->Release();
    EXPECT_EQ(1u, object.references);
}

TEST(ComPtr, MoveTransfersTheReference) {
    CountedObject object;
    win::ComPtr<IUnknown> source(&object);
    win::ComPtr<IUnknown> target(std::move(source));
    EXPECT_EQ(2u, object.references);
    EXPECT_FALSE(source);

    win::ComPtr<IUnknown> assigned;
    assigned = std::move(target);
    EXPECT_EQ(2u, object.references);
    EXPECT_FALSE(target);
    EXPECT_EQ(&object, assigned.Get());
}

TEST(ComPtr, AssigningOverAnotherObjectReleasesTheOld) {
    CountedObject first, second;
    win::ComPtr<IUnknown> pointer(&first);
    pointer = &second;
    EXPECT_EQ(1u, first.references);
    EXPECT_EQ(2u, second.references);
    pointer.Reset();
    EXPECT_EQ(1u, second.references);
    pointer.Reset();  // resetting an empty pointer is harmless
    EXPECT_EQ(1u, second.references);
}

TEST(ComPtr, OutParametersReleaseTheOldAndCopyToAddsOne) {
    CountedObject first, second;
    win::ComPtr<IUnknown> pointer(&first);
    ASSERT_EQ(S_OK, second.QueryInterface(IID_IUnknown, pointer.ReleaseAndGetVoidAddressOf()));
    EXPECT_EQ(1u, first.references);
    EXPECT_EQ(2u, second.references);

    IUnknown* copy = nullptr;
    ASSERT_EQ(S_OK, pointer.CopyTo(&copy));
    EXPECT_EQ(3u, second.references);
    copy->Release();

    win::ComPtr<IUnknown> other;
    EXPECT_EQ(S_OK, pointer.As(&other));
    EXPECT_EQ(3u, second.references);
    win::ComPtr<IUnknown> empty;
    EXPECT_EQ(E_POINTER, empty.As(&other));
    EXPECT_FALSE(other);
    EXPECT_EQ(2u, second.references);
}

TEST(UniqueHandle, ClosesOnResetAndKeepsTheLastError) {
    win::UniqueHandle event(::CreateEventA(nullptr, TRUE, FALSE, nullptr));
    ASSERT_TRUE(event);
    HANDLE raw = event.Get();
    ::SetLastError(ERROR_ACCESS_DENIED);
    event.Reset();
    EXPECT_EQ(static_cast<DWORD>(ERROR_ACCESS_DENIED), ::GetLastError());
    EXPECT_FALSE(event);
    DWORD flags = 0;
    EXPECT_FALSE(::GetHandleInformation(raw, &flags));  // really closed
}

TEST(UniqueHandle, MoveLeavesTheSourceEmptyAndReleaseDoesNotClose) {
    win::UniqueHandle source(::CreateEventA(nullptr, TRUE, FALSE, nullptr));
    HANDLE raw = source.Get();
    win::UniqueHandle target(std::move(source));
    EXPECT_FALSE(source);
    EXPECT_EQ(raw, target.Get());

    HANDLE released = target.Release();
    EXPECT_FALSE(target);
    DWORD flags = 0;
    EXPECT_TRUE(::GetHandleInformation(released, &flags));
    ::CloseHandle(released);
}

TEST(UniqueFile, InvalidHandleValueMeansNone) {
    win::UniqueFile file(::CreateFileA("C:\\no\\such\\folder\\file.txt", GENERIC_READ, 0, nullptr,
                                       OPEN_EXISTING, 0, nullptr));
    EXPECT_FALSE(file);
    EXPECT_EQ(INVALID_HANDLE_VALUE, file.Get());
}

TEST(UniqueMappedView, UnmapsTheView) {
    win::UniqueHandle mapping(
        ::CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, 4096, nullptr));
    ASSERT_TRUE(mapping);
    win::UniqueMappedView view(::MapViewOfFile(mapping.Get(), FILE_MAP_WRITE, 0, 0, 0));
    ASSERT_TRUE(view);
    void* address = view.Get();
    view.Reset();
    MEMORY_BASIC_INFORMATION info = {};
    ASSERT_NE(0u, ::VirtualQuery(address, &info, sizeof info));
    EXPECT_EQ(static_cast<DWORD>(MEM_FREE), info.State);
}

TEST(UniqueRegKey, PutClosesTheKeyItHeld) {
    win::UniqueRegKey key;
    ASSERT_EQ(ERROR_SUCCESS, ::RegOpenKeyExA(HKEY_CURRENT_USER, "Software", 0, KEY_READ, key.Put()));
    HKEY held = key.Get();
    DWORD subkeys = 0;
    ASSERT_EQ(ERROR_SUCCESS, ::RegQueryInfoKeyA(held, nullptr, nullptr, nullptr, &subkeys, nullptr,
                                                nullptr, nullptr, nullptr, nullptr, nullptr, nullptr));
    HKEY* slot = key.Put();
    EXPECT_EQ(nullptr, *slot);
    EXPECT_NE(ERROR_SUCCESS, ::RegQueryInfoKeyA(held, nullptr, nullptr, nullptr, &subkeys, nullptr,
                                                nullptr, nullptr, nullptr, nullptr, nullptr, nullptr));
}

HRESULT FailsWith(HRESULT hr, int* reached) {
    RETURN_IF_FAILED(hr);
    *reached = 1;
    return S_OK;
}

HRESULT FailsOnFalse(BOOL result) {
    RETURN_IF_WIN32_BOOL_FALSE(result);
    return S_OK;
}

TEST(ResultMacros, ReturnEarlyOnFailureOnly) {
    int reached = 0;
    EXPECT_EQ(E_OUTOFMEMORY, FailsWith(E_OUTOFMEMORY, &reached));
    EXPECT_EQ(0, reached);
    EXPECT_EQ(S_OK, FailsWith(S_FALSE, &reached));
    EXPECT_EQ(1, reached);

    ::SetLastError(ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND), FailsOnFalse(FALSE));
    ::SetLastError(ERROR_SUCCESS);
    EXPECT_EQ(E_FAIL, FailsOnFalse(FALSE));  // a failure never turns into success
    EXPECT_EQ(S_OK, FailsOnFalse(TRUE));
}

}  // namespace
