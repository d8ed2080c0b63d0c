#include "utils/URL/RegExText.h"

#include "utils/Diagnostics/ReportAssert.h"

std::string TranslateRegEx(const char* text) {
    if (text == nullptr) {
        REPORT_ASSERT("TranslateRegEx", "NULL pointer");
        return std::string();
    }
    return TranslateRegEx(std::string_view(text));
}

std::string TranslateRegEx(std::string_view text) {
    std::string result(text);
    for (char& c : result) {
        switch (c) {
        case '(': c = '{'; break;
        case ')': c = '}'; break;
        case '{': c = '('; break;
        case '}': c = ')'; break;
        default: break;
        }
    }
    return result;
}
