#include "utils/URL/HostLabels.h"

#include "utils/Diagnostics/ReportAssert.h"

namespace {

char LowerAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool IsDecimalDigit(char c) { return c >= '0' && c <= '9'; }

bool IsHexDigit(char c) {
    c = LowerAscii(c);
    return IsDecimalDigit(c) || (c >= 'a' && c <= 'f');
}

}  // namespace

bool IsSingleNumeric(const char* label) {
    if (label == nullptr) {
        REPORT_ASSERT("IsSingleNumeric", "NULL or empty string");
        return false;
    }
    return IsSingleNumeric(std::string_view(label));
}

bool IsSingleNumeric(std::string_view label) {
    if (label.empty()) {
        REPORT_ASSERT("IsSingleNumeric", "NULL or empty string");
        return false;
    }
    if (label[0] != '0')
        return IsDecimalDigit(label[0]);
    if (label.size() == 1 || LowerAscii(label[1]) != 'x')
        return true;  // octal: its leading "0" is already an octal digit
    return label.size() > 2 && IsHexDigit(label[2]);
}

std::string_view NextHostLabel(std::string_view host, std::size_t& position) {
    while (position < host.size() && host[position] == '.')
        ++position;
    const std::size_t start = position;
    while (position < host.size() && host[position] != '.')
        ++position;
    return host.substr(start < host.size() ? start : host.size(), position - start);
}

std::string_view PreviousHostLabel(std::string_view host, std::size_t& end) {
    if (end > host.size())
        end = host.size();
    while (end > 0 && host[end - 1] == '.')
        --end;
    const std::size_t stop = end;
    while (end > 0 && host[end - 1] != '.')
        --end;
    return host.substr(end, stop - end);
}
