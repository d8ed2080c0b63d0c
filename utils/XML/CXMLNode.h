// Forgiving read access to one node of a parsed XML document: paths select
// nodes, attributes and texts come back as 8-bit ANSI text, and anything
// absent reads as empty rather than as an error.
#pragma once

#include "utils/Ownership/WinOwnership.h"

#include <msxml2.h>

#include <cstdint>
#include <memory>
#include <string>

class CXMLNode {
public:
    CXMLNode() = default;
    explicit CXMLNode(win::ComPtr<IXMLDOMNode> node) : node_(std::move(node)) {}
    CXMLNode(CXMLNode&&) = default;
    CXMLNode& operator=(CXMLNode&&) = default;
    CXMLNode(const CXMLNode&) = delete;
    CXMLNode& operator=(const CXMLNode&) = delete;
    virtual ~CXMLNode() = default;

    bool IsEmpty() const { return !node_; }
    IXMLDOMNode* Node() const { return node_.Get(); }

    // The first node matching `path`, relative to this one. S_OK with the
    // node; S_FALSE and an empty `found` when nothing matches; E_POINTER for
    // a null argument and E_FAIL for an empty wrapper (both reported).
    HRESULT FindNode(const char* path, win::ComPtr<IXMLDOMNode>* found) const;
    // The first match as a new wrapper, or null when there is none.
    std::unique_ptr<CXMLNode> Child(const char* path) const;

    // Empty when the wrapper is empty or the attribute absent.
    std::string GetAttribute(const char* name) const;
    // Leading white space, an optional sign and the leading digits; 0 when
    // absent or not a number, clamped to the int32 range.
    std::int32_t GetAttributeInt(const char* name) const;
    // True exactly when the attribute reads "true" in any letter case.
    bool GetAttributeBool(const char* name) const;

    // The node's text and that of its descendants; empty for an empty wrapper.
    std::string Text() const;
    // Text of the first match of `path`, or empty.
    std::string ChildText(const char* path) const;

protected:
    void SetNode(win::ComPtr<IXMLDOMNode> node) { node_ = std::move(node); }

private:
    win::ComPtr<IXMLDOMNode> node_;
};

// A node's text as ANSI text: empty and reported for a null node; when the
// parser cannot give the text, reported and whatever it gave.
std::string NodeValueAsString(IXMLDOMNode* node);
