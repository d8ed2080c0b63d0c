#include "ie/Module/ModuleClasses.h"

#include <objbase.h>

const CLSID CLSID_QuillonBHO = {0x089FD14D, 0x132B, 0x48FC, {0x88, 0x61, 0x00, 0x48, 0xAE, 0x11, 0x32, 0x15}};
const CLSID CLSID_QuillonToolbar = {0x0BF43445, 0x2F28, 0x4351, {0x92, 0x52, 0x17, 0xFE, 0x6E, 0x80, 0x6A, 0xA0}};
const CLSID CLSID_QuillonMimeFilter = {0x1E2866A1, 0xD239, 0x411E,
                                       {0xA3, 0x5D, 0x3C, 0xBC, 0x34, 0xC8, 0x4E, 0x92}};

std::string ClassIdString(REFCLSID clsid) {
    wchar_t text[64] = {};
    const int length = ::StringFromGUID2(clsid, text, 64);
    // The text is plain ASCII hex digits, dashes and braces.
    std::string result;
    for (int i = 0; i + 1 < length; ++i)
        result += static_cast<char>(text[i]);
    return result;
}
