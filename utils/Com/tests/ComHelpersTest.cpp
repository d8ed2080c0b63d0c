#include "utils/Com/ScopedBstr.h"
#include "utils/Com/ScopedVariant.h"

#include <gtest/gtest.h>

namespace {

// Counts its references so that tests can see who added and who released.
class CountedObject : public IUnknown {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (!object)
            return E_POINTER;
        *object = nullptr;
        if (iid != IID_IUnknown)
            return E_NOINTERFACE;
        *object = this;
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references; }
    ULONG STDMETHODCALLTYPE Release() override { return --references; }

    ULONG references = 1;
};

TEST(ScopedBstr, KeepsEmbeddedZerosAndMovesOwnership) {
    const std::wstring text(L"a\0b", 3);
    win::ScopedBstr first(text);
    ASSERT_NE(nullptr, first.Get());
    EXPECT_EQ(3u, first.Length());
    EXPECT_EQ(text, std::wstring(first.Get(), first.Length()));

    win::ScopedBstr second = std::move(first);
    EXPECT_EQ(nullptr, first.Get());
    EXPECT_EQ(3u, second.Length());

    BSTR handed = second.Release();
    EXPECT_EQ(nullptr, second.Get());
    win::ScopedBstr adopted = win::ScopedBstr::Adopt(handed);
    EXPECT_EQ(handed, adopted.Get());
    EXPECT_EQ(0u, win::ScopedBstr().Length());
}

TEST(ScopedBstr, ReceiveFillsFromAnOutParameter) {
    win::ScopedBstr text(L"old");
    ASSERT_EQ(S_OK, VarBstrFromI4(1234, LOCALE_INVARIANT, 0, text.Receive()));
    EXPECT_EQ(L"1234", std::wstring(text.Get(), text.Length()));
}

TEST(ScopedVariant, HoldsAndReleasesInterfaceReferences) {
    CountedObject object;
    {
        win::ScopedVariant variant(static_cast<IUnknown*>(&object));
        EXPECT_EQ(VT_UNKNOWN, variant.Type());
        EXPECT_EQ(2u, object.references);

        win::ScopedVariant moved = std::move(variant);
        EXPECT_EQ(VT_EMPTY, variant.Type());
        EXPECT_EQ(2u, object.references);

        win::ScopedVariant copy;
        ASSERT_EQ(S_OK, copy.CopyFrom(moved.Get()));
        EXPECT_EQ(3u, object.references);
        copy.Reset();
        EXPECT_EQ(VT_EMPTY, copy.Type());
        EXPECT_EQ(2u, object.references);

        VARIANT handed = moved.Release();
        EXPECT_EQ(VT_EMPTY, moved.Type());
        EXPECT_EQ(2u, object.references);
        VariantClear(&handed);
        EXPECT_EQ(1u, object.references);

        win::ScopedVariant received(static_cast<IUnknown*>(&object));
        EXPECT_EQ(2u, object.references);
        VARIANT* out = received.Receive();  // drops the old value first
        EXPECT_EQ(1u, object.references);
        EXPECT_EQ(VT_EMPTY, out->vt);
        received = win::ScopedVariant(static_cast<IUnknown*>(&object));
    }
    EXPECT_EQ(1u, object.references);
}

TEST(ScopedVariant, TextsAndNumbers) {
    win::ScopedVariant text(std::wstring(L"value"));
    ASSERT_EQ(VT_BSTR, text.Type());
    EXPECT_EQ(L"value", std::wstring(text.Get().bstrVal, SysStringLen(text.Get().bstrVal)));
    win::ScopedVariant number(static_cast<LONG>(-7));
    ASSERT_EQ(VT_I4, number.Type());
    EXPECT_EQ(-7, number.Get().lVal);
}

}  // namespace
