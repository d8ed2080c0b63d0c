// COM for the test's thread, apartment-threaded as on a browser thread.
#pragma once

#include <objbase.h>

class ComApartment {
public:
    ComApartment() : result_(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
    ~ComApartment() {
        if (SUCCEEDED(result_))
            ::CoUninitialize();
    }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;

    bool Ready() const { return SUCCEEDED(result_); }

private:
    HRESULT result_;
};
