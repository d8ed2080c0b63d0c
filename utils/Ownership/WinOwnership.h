// Ownership of COM references and Windows handles, and early-return error
// macros. Every piece of Windows code holds what it opens through these, so
// that no path forgets a Release, CloseHandle or UnmapViewOfFile.
#pragma once

#include <windows.h>
#include <unknwn.h>

#include <utility>

namespace win {

// A COM reference with the usual ownership rules: construction from a raw
// pointer and copying add a reference; Attach adopts one without adding;
// moving transfers it; destruction and Reset release it.
template <typename T>
class ComPtr {
public:
    ComPtr() noexcept = default;
    ComPtr(std::nullptr_t) noexcept {}
    ComPtr(T* pointer) noexcept : pointer_(pointer) { AddRefIfSet(); }
    ComPtr(const ComPtr& other) noexcept : pointer_(other.pointer_) { AddRefIfSet(); }
    ComPtr(ComPtr&& other) noexcept : pointer_(std::exchange(other.pointer_, nullptr)) {}
    ~ComPtr() { Reset(); }

    ComPtr& operator=(const ComPtr& other) noexcept {
        ComPtr(other).Swap(*this);
        return *this;
    }
    ComPtr& operator=(ComPtr&& other) noexcept {
        ComPtr(std::move(other)).Swap(*this);
        return *this;
    }
    ComPtr& operator=(T* pointer) noexcept {
        ComPtr(pointer).Swap(*this);
        return *this;
    }
    ComPtr& operator=(std::nullptr_t) noexcept {
        Reset();
        return *this;
    }

    T* Get() const noexcept { return pointer_; }
    T* operator->() const noexcept { return pointer_; }
    explicit operator bool() const noexcept { return pointer_ != nullptr; }

    // Takes over a reference the caller already owns.
    void Attach(T* pointer) noexcept {
        Reset();
        pointer_ = pointer;
    }
    // Hands the reference to the caller, who must release it.
    T* Detach() noexcept { return std::exchange(pointer_, nullptr); }

    void Reset() noexcept {
        if (T* old = std::exchange(pointer_, nullptr))
            old->Release();
    }

    // For out-parameters: drops the current reference first.
    T** ReleaseAndGetAddressOf() noexcept {
        Reset();
        return &pointer_;
    }
    void** ReleaseAndGetVoidAddressOf() noexcept {
        return reinterpret_cast<void**>(ReleaseAndGetAddressOf());
    }

    template <typename U>
    HRESULT As(ComPtr<U>* result) const noexcept {
        if (!pointer_) {
            result->Reset();
            return E_POINTER;
        }
        return pointer_->QueryInterface(__uuidof(U), result->ReleaseAndGetVoidAddressOf());
    }
    HRESULT QueryInterface(REFIID iid, void** result) const noexcept {
        if (!pointer_)
            return E_POINTER;
        return pointer_->QueryInterface(iid, result);
    }

    // Gives the caller its own reference, as COM out-parameters require.
    HRESULT CopyTo(T** result) const noexcept {
        if (!result)
            return E_POINTER;
        *result = pointer_;
        AddRefIfSet();
        return S_OK;
    }

    void Swap(ComPtr& other) noexcept { std::swap(pointer_, other.pointer_); }

private:
    void AddRefIfSet() const noexcept {
        if (pointer_)
            pointer_->AddRef();
    }

    T* pointer_ = nullptr;
};

template <typename T, typename U>
bool operator==(const ComPtr<T>& left, const ComPtr<U>& right) noexcept {
    return left.Get() == right.Get();
}
template <typename T>
bool operator==(const ComPtr<T>& left, std::nullptr_t) noexcept {
    return left.Get() == nullptr;
}
template <typename T>
bool operator!=(const ComPtr<T>& left, std::nullptr_t) noexcept {
    return left.Get() != nullptr;
}

// One owned resource, closed by its traits. Traits give the resource type,
// the value meaning "none" and how to close it. Closing keeps GetLastError
// intact, so code may close and then report the error that made it give up.
template <typename Traits>
class UniqueAny {
public:
    using Type = typename Traits::Type;

    UniqueAny() noexcept = default;
    explicit UniqueAny(Type value) noexcept : value_(value) {}
    UniqueAny(UniqueAny&& other) noexcept : value_(other.Release()) {}
    UniqueAny& operator=(UniqueAny&& other) noexcept {
        if (this != &other)
            Reset(other.Release());
        return *this;
    }
    UniqueAny(const UniqueAny&) = delete;
    UniqueAny& operator=(const UniqueAny&) = delete;
    ~UniqueAny() { Reset(); }

    Type Get() const noexcept { return value_; }
    bool IsValid() const noexcept { return value_ != Traits::Invalid(); }
    explicit operator bool() const noexcept { return IsValid(); }

    // Gives up ownership without closing.
    Type Release() noexcept { return std::exchange(value_, Traits::Invalid()); }

    void Reset(Type value = Traits::Invalid()) noexcept {
        Type old = std::exchange(value_, value);
        if (old != Traits::Invalid()) {
            const DWORD lastError = ::GetLastError();
            Traits::Close(old);
            ::SetLastError(lastError);
        }
    }

    // For out-parameters: closes the current resource first.
    Type* Put() noexcept {
        Reset();
        return &value_;
    }

private:
    Type value_ = Traits::Invalid();
};

namespace traits {

// Kernel objects that report failure as NULL (mutexes, mappings, processes, threads).
struct KernelHandle {
    using Type = HANDLE;
    static Type Invalid() noexcept { return nullptr; }
    static void Close(Type value) noexcept { ::CloseHandle(value); }
};
// Files, which report failure as INVALID_HANDLE_VALUE.
struct FileHandle {
    using Type = HANDLE;
    static Type Invalid() noexcept { return INVALID_HANDLE_VALUE; }
    static void Close(Type value) noexcept { ::CloseHandle(value); }
};
struct FindHandle {
    using Type = HANDLE;
    static Type Invalid() noexcept { return INVALID_HANDLE_VALUE; }
    static void Close(Type value) noexcept { ::FindClose(value); }
};
struct RegistryKey {
    using Type = HKEY;
    static Type Invalid() noexcept { return nullptr; }
    static void Close(Type value) noexcept { ::RegCloseKey(value); }
};
template <typename GdiType>
struct GdiObject {
    using Type = GdiType;
    static Type Invalid() noexcept { return nullptr; }
    static void Close(Type value) noexcept { ::DeleteObject(value); }
};
struct Hook {
    using Type = HHOOK;
    static Type Invalid() noexcept { return nullptr; }
    static void Close(Type value) noexcept { ::UnhookWindowsHookEx(value); }
};
struct MappedView {
    using Type = void*;
    static Type Invalid() noexcept { return nullptr; }
    static void Close(Type value) noexcept { ::UnmapViewOfFile(value); }
};
// Windows are destroyed by the thread that created them; own them only there.
struct Window {
    using Type = HWND;
    static Type Invalid() noexcept { return nullptr; }
    static void Close(Type value) noexcept { ::DestroyWindow(value); }
};
struct Module {
    using Type = HMODULE;
    static Type Invalid() noexcept { return nullptr; }
    static void Close(Type value) noexcept { ::FreeLibrary(value); }
};

}  // namespace traits

using UniqueHandle = UniqueAny<traits::KernelHandle>;
using UniqueFile = UniqueAny<traits::FileHandle>;
using UniqueFindHandle = UniqueAny<traits::FindHandle>;
using UniqueRegKey = UniqueAny<traits::RegistryKey>;
using UniqueHook = UniqueAny<traits::Hook>;
using UniqueMappedView = UniqueAny<traits::MappedView>;
using UniqueWindow = UniqueAny<traits::Window>;
using UniqueModule = UniqueAny<traits::Module>;
using UniqueBitmap = UniqueAny<traits::GdiObject<HBITMAP>>;
using UniqueBrush = UniqueAny<traits::GdiObject<HBRUSH>>;
using UniqueFont = UniqueAny<traits::GdiObject<HFONT>>;
using UniquePen = UniqueAny<traits::GdiObject<HPEN>>;
using UniqueRegion = UniqueAny<traits::GdiObject<HRGN>>;

// The HRESULT of the calling thread's last Win32 error; never a success code,
// since callers use it after a function has already said it failed.
inline HRESULT HResultFromLastError() noexcept {
    const DWORD error = ::GetLastError();
    return error == ERROR_SUCCESS ? E_FAIL : HRESULT_FROM_WIN32(error);
}

}  // namespace win

// Early returns, in the manner of result macros: each evaluates its argument once.
#define RETURN_IF_FAILED(expression)                 \
    do {                                             \
        const HRESULT hrResult_ = (expression);      \
        if (FAILED(hrResult_))                       \
            return hrResult_;                        \
    } while (0)

#define RETURN_HR_IF(hr, condition) \
    do {                            \
        if (condition)              \
            return (hr);            \
    } while (0)

#define RETURN_HR_IF_NULL(hr, pointer) RETURN_HR_IF((hr), (pointer) == nullptr)

#define RETURN_IF_WIN32_BOOL_FALSE(expression)          \
    do {                                                \
        if (!(expression))                              \
            return ::win::HResultFromLastError();       \
    } while (0)

#define RETURN_LAST_ERROR_IF(condition)                 \
    do {                                                \
        if (condition)                                  \
            return ::win::HResultFromLastError();       \
    } while (0)

#define RETURN_LAST_ERROR_IF_NULL(pointer) RETURN_LAST_ERROR_IF((pointer) == nullptr)

// Same for the many internal operations that answer only true or false.
#define RETURN_FALSE_IF_FAILED(expression)           \
    do {                                             \
        if (FAILED(expression))                      \
            return false;                            \
    } while (0)
