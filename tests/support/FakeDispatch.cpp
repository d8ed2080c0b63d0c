#include "tests/support/FakeDispatch.h"

namespace testing_support {

win::ComPtr<FakeDispatch> FakeDispatch::Create() {
    win::ComPtr<FakeDispatch> object;
    object.Attach(new FakeDispatch());
    return object;
}

FakeDispatch::~FakeDispatch() {
    for (Member& member : members_)
        ::VariantClear(&member.value);
}

FakeDispatch::Member& FakeDispatch::MemberNamed(const std::wstring& name) {
    for (Member& member : members_) {
        if (::_wcsicmp(member.name.c_str(), name.c_str()) == 0)
            return member;
    }
    members_.push_back(Member{name, {}, nullptr, 0});
    ::VariantInit(&members_.back().value);
    return members_.back();
}

const FakeDispatch::Member* FakeDispatch::Find(const std::wstring& name) const {
    for (const Member& member : members_) {
        if (::_wcsicmp(member.name.c_str(), name.c_str()) == 0)
            return &member;
    }
    return nullptr;
}

void FakeDispatch::SetString(const std::wstring& name, const std::wstring& value) {
    VARIANT& slot = MemberNamed(name).value;
    ::VariantClear(&slot);
    slot.vt = VT_BSTR;
    slot.bstrVal = ::SysAllocString(value.c_str());
}

void FakeDispatch::SetInteger(const std::wstring& name, int value) {
    VARIANT& slot = MemberNamed(name).value;
    ::VariantClear(&slot);
    slot.vt = VT_I4;
    slot.lVal = value;
}

void FakeDispatch::SetObject(const std::wstring& name, IDispatch* value) {
    VARIANT& slot = MemberNamed(name).value;
    ::VariantClear(&slot);
    slot.vt = VT_DISPATCH;
    slot.pdispVal = value;
    if (value)
        value->AddRef();
}

void FakeDispatch::SetMethod(const std::wstring& name, Method method) {
    MemberNamed(name).method = std::move(method);
}

std::wstring FakeDispatch::GetString(const std::wstring& name) const {
    const Member* member = Find(name);
    if (!member)
        return std::wstring();
    VARIANT text;
    ::VariantInit(&text);
    if (FAILED(::VariantChangeType(&text, const_cast<VARIANT*>(&member->value), 0, VT_BSTR)))
        return std::wstring();
    std::wstring result = text.bstrVal ? text.bstrVal : L"";
    ::VariantClear(&text);
    return result;
}

bool FakeDispatch::Has(const std::wstring& name) const {
    const Member* member = Find(name);
    return member && (member->value.vt != VT_EMPTY || member->method);
}

int FakeDispatch::CallCount(const std::wstring& name) const {
    const Member* member = Find(name);
    return member ? member->calls : 0;
}

HRESULT FakeDispatch::QueryInterface(REFIID iid, void** object) {
    if (!object)
        return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_IDispatch) {
        *object = static_cast<IDispatch*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG FakeDispatch::AddRef() {
    return ++references_;
}

ULONG FakeDispatch::Release() {
    const ULONG left = --references_;
    if (left == 0)
        delete this;
    return left;
}

HRESULT FakeDispatch::GetTypeInfoCount(UINT* count) {
    if (!count)
        return E_POINTER;
    *count = 0;
    return S_OK;
}

HRESULT FakeDispatch::GetTypeInfo(UINT, LCID, ITypeInfo** info) {
    if (info)
        *info = nullptr;
    return E_NOTIMPL;
}

HRESULT FakeDispatch::GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) {
    if (!names || !ids || count == 0)
        return E_INVALIDARG;
    MemberNamed(names[0]);  // unknown names become expandos, as in the browser
    for (std::size_t i = 0; i < members_.size(); ++i) {
        if (::_wcsicmp(members_[i].name.c_str(), names[0]) == 0)
            ids[0] = static_cast<DISPID>(i + 1);
    }
    for (UINT i = 1; i < count; ++i)
        ids[i] = DISPID_UNKNOWN;
    return count > 1 ? DISP_E_UNKNOWNNAME : S_OK;
}

HRESULT FakeDispatch::Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* parameters,
                             VARIANT* result, EXCEPINFO*, UINT*) {
    if (id < 1 || static_cast<std::size_t>(id) > members_.size())
        return DISP_E_MEMBERNOTFOUND;
    Member& member = members_[static_cast<std::size_t>(id - 1)];
    const UINT count = parameters ? parameters->cArgs : 0;

    if (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) {
        if (count < 1)
            return DISP_E_BADPARAMCOUNT;
        ::VariantClear(&member.value);
        return ::VariantCopy(&member.value, &parameters->rgvarg[0]);
    }
    if (member.method && (flags & DISPATCH_METHOD)) {
        ++member.calls;
        std::vector<VARIANT> natural;
        for (UINT i = 0; i < count; ++i)
            natural.push_back(parameters->rgvarg[count - 1 - i]);
        VARIANT ignored;
        ::VariantInit(&ignored);
        const HRESULT hr = member.method(natural, result ? result : &ignored);
        ::VariantClear(&ignored);
        return hr;
    }
    if (result)
        return ::VariantCopy(result, &member.value);
    return S_OK;
}

win::ComPtr<FakeDispatch> MakeCollection(const std::vector<win::ComPtr<FakeDispatch>>& items) {
    win::ComPtr<FakeDispatch> collection = FakeDispatch::Create();
    collection->SetInteger(L"length", static_cast<int>(items.size()));
    collection->SetMethod(L"item", [items](const std::vector<VARIANT>& arguments, VARIANT* result) {
        if (arguments.empty())
            return DISP_E_BADPARAMCOUNT;
        VARIANT index;
        ::VariantInit(&index);
        if (FAILED(::VariantChangeType(&index, const_cast<VARIANT*>(&arguments[0]), 0, VT_I4)))
            return DISP_E_TYPEMISMATCH;
        if (index.lVal < 0 || static_cast<std::size_t>(index.lVal) >= items.size()) {
            result->vt = VT_NULL;
            return S_OK;
        }
        result->vt = VT_DISPATCH;
        result->pdispVal = items[static_cast<std::size_t>(index.lVal)].Get();
        result->pdispVal->AddRef();
        return S_OK;
    });
    return collection;
}

}  // namespace testing_support
