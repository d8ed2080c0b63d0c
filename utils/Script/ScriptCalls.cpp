#include "utils/Script/ScriptCalls.h"

#include "utils/Diagnostics/ReportAssert.h"
#include "utils/Script/CScriptHost.h"
#include "utils/Text/AnsiWide.h"

#include <new>
#include <string>

namespace {

// A BSTR variant owned for the length of one call.
class StringArgument {
public:
    explicit StringArgument(const char* text) {
        ::VariantInit(&variant_);
        variant_.vt = VT_BSTR;
        variant_.bstrVal = ::SysAllocString(AnsiToWide(text).c_str());
        if (!variant_.bstrVal)
            throw std::bad_alloc();
    }
    ~StringArgument() { ::VariantClear(&variant_); }
    StringArgument(const StringArgument&) = delete;
    StringArgument& operator=(const StringArgument&) = delete;
    const VARIANT& Get() const { return variant_; }

private:
    VARIANT variant_;
};

bool CallSendData(CScriptHost& host, IDispatch* frameBrowser, bool isTop, const char* name,
                  const VARIANT& value) {
    const StringArgument nameArgument(name);
    VARIANT arguments[4];
    arguments[0].vt = VT_DISPATCH;
    arguments[0].pdispVal = frameBrowser;  // CallScriptFcn copies it, taking its own reference
    arguments[1].vt = VT_I2;
    arguments[1].iVal = isTop ? -1 : 0;
    arguments[2] = nameArgument.Get();
    arguments[3] = value;
    VARIANT result;
    ::VariantInit(&result);
    const bool called = host.CallScriptFcn("SendData", &result, 4, arguments);
    ::VariantClear(&result);
    if (!called)
        REPORT_ASSERT("SendScriptData", "Failed calling SendData script");
    return called;
}

}  // namespace

bool CallScriptVoid(CScriptHost& host, const char* name) {
    if (!name) {
        REPORT_ASSERT("CallScriptVoid", "NULL pointer");
        return false;
    }
    VARIANT result;
    ::VariantInit(&result);
    const bool called = host.CallScriptFcn(name, &result, 0, nullptr);
    ::VariantClear(&result);
    if (!called) {
        const std::string message = std::string("Failed to call script function ") + name;
        REPORT_ASSERT("CallScriptVoid", message.c_str());
    }
    return called;
}

bool SendScriptData(CScriptHost& host, IDispatch* frameBrowser, bool isTop, const char* name,
                    const char* value) {
    if (!name || !value) {
        REPORT_ASSERT("SendScriptData", "NULL pointer");
        return false;
    }
    const StringArgument valueArgument(value);
    return CallSendData(host, frameBrowser, isTop, name, valueArgument.Get());
}

bool SendScriptData(CScriptHost& host, IDispatch* frameBrowser, bool isTop, const char* name,
                    int value) {
    if (!name) {
        REPORT_ASSERT("SendScriptData", "NULL pointer");
        return false;
    }
    VARIANT integer;
    integer.vt = VT_I4;
    integer.lVal = value;
    return CallSendData(host, frameBrowser, isTop, name, integer);
}
