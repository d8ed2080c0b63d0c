// The class factory of one COM class of the module. Factories are static
// objects that live as long as the module; only references held outside
// count, each one holding the module (as LockServer does), so a factory the
// browser keeps (or urlmon, for a registered MIME filter) keeps the module
// loaded while a factory nobody holds does not.
#pragma once

#include <windows.h>
#include <unknwn.h>

class CClassFactory final : public IClassFactory {
public:
    // Creates one object and queries it for iid; *object is null on failure.
    using CreateFunction = HRESULT (*)(REFIID iid, void** object);

    constexpr explicit CClassFactory(CreateFunction create) noexcept : create_(create) {}
    CClassFactory(const CClassFactory&) = delete;
    CClassFactory& operator=(const CClassFactory&) = delete;

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    // IClassFactory
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** object) override;
    HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override;

    // References held outside the module.
    LONG References() const noexcept;

private:
    CreateFunction create_;
    LONG references_ = 0;
};
