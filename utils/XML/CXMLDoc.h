// A parsed XML document (the rating service's answers), read through the
// CXMLNode interface with the document itself as the root node.
#pragma once

#include "utils/XML/CXMLNode.h"

class CXMLDoc : public CXMLNode {
public:
    CXMLDoc() = default;
    // Parses `text` as Set does; check IsEmpty() for the outcome.
    explicit CXMLDoc(const char* text) { Set(text); }

    // Drops any previous document and parses `text` (ANSI). False, reported,
    // with the object left empty when the parser cannot be created or the
    // text is not well-formed. Needs COM initialised on the calling thread.
    bool Set(const char* text);

private:
    void Clear();

    win::ComPtr<IXMLDOMDocument> document_;
};
