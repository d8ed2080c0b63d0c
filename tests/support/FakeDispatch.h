// A scriptable stand-in for the browser's objects (forms, input elements,
// documents, link collections), which no machine here has. Each object is
// an IDispatch with named properties and methods; like the browser's own
// objects it accepts new properties that scripts assign (expandos), and
// names are matched without regard to case.
#pragma once

#include "utils/Ownership/WinOwnership.h"

#include <oaidl.h>

#include <deque>
#include <functional>
#include <string>
#include <vector>

namespace testing_support {

class FakeDispatch : public IDispatch {
public:
    // Arguments in natural order (first argument first).
    using Method = std::function<HRESULT(const std::vector<VARIANT>& arguments, VARIANT* result)>;

    static win::ComPtr<FakeDispatch> Create();

    void SetString(const std::wstring& name, const std::wstring& value);
    void SetInteger(const std::wstring& name, int value);
    void SetObject(const std::wstring& name, IDispatch* value);
    void SetMethod(const std::wstring& name, Method method);
    // The property's value as text (empty when unset or not convertible).
    std::wstring GetString(const std::wstring& name) const;
    bool Has(const std::wstring& name) const;
    // How many times a method was called.
    int CallCount(const std::wstring& name) const;
    ULONG References() const { return references_; }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** info) override;
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID,
                                            DISPID* ids) override;
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* parameters,
                                     VARIANT* result, EXCEPINFO*, UINT*) override;

private:
    struct Member {
        std::wstring name;
        VARIANT value;
        Method method;
        int calls = 0;
    };

    FakeDispatch() = default;
    virtual ~FakeDispatch();
    Member& MemberNamed(const std::wstring& name);
    const Member* Find(const std::wstring& name) const;

    ULONG references_ = 1;
    std::deque<Member> members_;  // a member's id is its index + 1; deque keeps references stable
};

// A browser-style collection ("length" and "item(index)") of the objects given.
win::ComPtr<FakeDispatch> MakeCollection(const std::vector<win::ComPtr<FakeDispatch>>& items);

}  // namespace testing_support
