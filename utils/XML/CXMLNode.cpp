#include "utils/XML/CXMLNode.h"

#include "utils/Com/ScopedBstr.h"
#include "utils/Diagnostics/ReportAssert.h"
#include "utils/Text/AnsiWide.h"

#include <cctype>
#include <cstring>
#include <limits>

namespace {

std::int32_t ParseLeadingInt32(const std::string& text) {
    std::size_t at = 0;
    while (at < text.size() && std::isspace(static_cast<unsigned char>(text[at])))
        ++at;
    bool negative = false;
    if (at < text.size() && (text[at] == '-' || text[at] == '+'))
        negative = text[at++] == '-';
    // Past the int32 range the value stays clamped; the sum cannot overflow.
    constexpr std::int64_t kLimit = std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1;
    std::int64_t value = 0;
    for (; at < text.size() && std::isdigit(static_cast<unsigned char>(text[at])); ++at) {
        value = value * 10 + (text[at] - '0');
        if (value > kLimit)
            value = kLimit;
    }
    if (negative)
        return static_cast<std::int32_t>(-value);
    return static_cast<std::int32_t>(value < kLimit ? value : kLimit - 1);
}

bool EqualsIgnoringCase(const std::string& text, const char* lower) {
    if (text.size() != std::strlen(lower))
        return false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(text[i])) != lower[i])
            return false;
    }
    return true;
}

}  // namespace

std::string NodeValueAsString(IXMLDOMNode* node) {
    if (!node) {
        REPORT_ASSERT("NodeValueAsString", "NULL pointer");
        return std::string();
    }
    win::ScopedBstr text;
    if (FAILED(node->get_text(text.Receive())))
        REPORT_ASSERT("NodeValueAsString", "Could not get text from node");
    return WideToAnsi(text.Get(), static_cast<int>(text.Length()));
}

HRESULT CXMLNode::FindNode(const char* path, win::ComPtr<IXMLDOMNode>* found) const {
    if (!path || !found) {
        REPORT_ASSERT("CXMLNode::FindNode", "NULL pointer");
        return E_POINTER;
    }
    found->Reset();
    if (!node_) {
        REPORT_ASSERT("CXMLNode::FindNode", "Node not initialized");
        return E_FAIL;
    }
    const win::ScopedBstr query(AnsiToWide(path));
    return node_->selectSingleNode(query.Get(), found->ReleaseAndGetAddressOf());
}

std::unique_ptr<CXMLNode> CXMLNode::Child(const char* path) const {
    if (!node_)
        return nullptr;
    win::ComPtr<IXMLDOMNode> found;
    if (FindNode(path, &found) != S_OK || !found)
        return nullptr;
    return std::make_unique<CXMLNode>(std::move(found));
}

std::string CXMLNode::GetAttribute(const char* name) const {
    if (!name) {
        REPORT_ASSERT("CXMLNode::GetAttribute", "NULL pointer");
        return std::string();
    }
    if (!node_)
        return std::string();
    win::ComPtr<IXMLDOMNamedNodeMap> attributes;
    if (node_->get_attributes(attributes.ReleaseAndGetAddressOf()) != S_OK || !attributes)
        return std::string();
    const win::ScopedBstr attributeName(AnsiToWide(name));
    win::ComPtr<IXMLDOMNode> attribute;
    if (attributes->getNamedItem(attributeName.Get(), attribute.ReleaseAndGetAddressOf()) != S_OK ||
        !attribute)
        return std::string();
    return NodeValueAsString(attribute.Get());
}

std::int32_t CXMLNode::GetAttributeInt(const char* name) const {
    return ParseLeadingInt32(GetAttribute(name));
}

bool CXMLNode::GetAttributeBool(const char* name) const {
    return EqualsIgnoringCase(GetAttribute(name), "true");
}

std::string CXMLNode::Text() const {
    if (!node_)
        return std::string();
    return NodeValueAsString(node_.Get());
}

std::string CXMLNode::ChildText(const char* path) const {
    const std::unique_ptr<CXMLNode> child = Child(path);
    return child ? child->Text() : std::string();
}
