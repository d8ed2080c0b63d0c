// Build tool: turns the Public Suffix List into the table compiled into
// utils/URL, so that the product never needs the list file at run time.
//
//   quillon-suffixes table <public_suffix_list.dat> <output.inc>
//   quillon-suffixes cases <test_psl.txt> <output.inc>
//
// The table is a trie of labels read from the right (the top-level name
// first). Each node's children lie side by side, sorted by their bytes, so a
// look-up is one binary search per label. Every node is two 32-bit words:
//   word 0: label offset (bits 0-19) | label length (20-25) | flags (26-28)
//   word 1: first child (bits 0-15)  | child count (16-31)
// with the labels stored once each in one character pool. A label with
// letters outside ASCII is stored both as written and in its "xn--" form.
//
// "cases" turns the list's published test cases into an initialiser list of
// {host, expected registrable domain or nullptr} pairs for the unit tests.
#include "tools/PublicSuffix/Punycode.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <deque>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace {

// Keep in step with utils/URL/PublicSuffix.cpp.
constexpr std::uint32_t kFlagRule = 1;       // the labels down to here are a public suffix
constexpr std::uint32_t kFlagWildcard = 2;   // so is any one label below this node
constexpr std::uint32_t kFlagException = 4;  // ... except this one: its parent is the suffix
constexpr std::uint32_t kMaxLabelOffset = (1u << 20) - 1;
constexpr std::size_t kMaxLabelLength = 63;
constexpr std::size_t kMaxNodes = 0xFFFF;

int Fail(const std::string& message) {
    std::fprintf(stderr, "quillon-suffixes: %s\n", message.c_str());
    return 1;
}

bool ReadWholeFile(const char* path, std::string& contents) {
    std::ifstream file(path, std::ios::binary);
    if (!file)
        return false;
    contents.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    return !file.bad();
}

bool WriteWholeFile(const char* path, const std::string& contents) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file << contents;
    return static_cast<bool>(file);
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream stream(text);
    for (std::string line; std::getline(stream, line);) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

std::vector<std::string> SplitLabels(const std::string& name) {
    std::vector<std::string> labels;
    std::size_t start = 0;
    for (;;) {
        const std::size_t dot = name.find('.', start);
        labels.push_back(name.substr(start, dot - start));
        if (dot == std::string::npos)
            return labels;
        start = dot + 1;
    }
}

// A C++ string literal that any compiler reads back byte for byte: octal
// escapes have a fixed width, so a following digit cannot join them.
std::string Literal(const std::string& bytes) {
    std::string out = "\"";
    for (const char c : bytes) {
        const auto u = static_cast<unsigned char>(c);
        if (u >= 0x20 && u < 0x7F && c != '"' && c != '\\' && c != '?') {
            out.push_back(c);
        } else {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\%03o", u);
            out += escape;
        }
    }
    return out + "\"";
}

struct Node {
    std::uint32_t flags = 0;
    std::map<std::string, std::unique_ptr<Node>> children;  // std::string orders bytes unsigned
    std::uint32_t index = 0;
};

class Trie {
public:
    // One rule of the list, already split and checked.
    void Add(const std::vector<std::string>& labels, std::uint32_t flags) {
        Node* node = &root_;
        for (auto label = labels.rbegin(); label != labels.rend(); ++label) {
            auto& child = node->children[*label];
            if (!child)
                child = std::make_unique<Node>();
            node = child.get();
        }
        node->flags |= flags;
    }

    Node* Find(const std::vector<std::string>& labels) {
        Node* node = &root_;
        for (auto label = labels.rbegin(); label != labels.rend() && node; ++label) {
            const auto found = node->children.find(*label);
            node = found == node->children.end() ? nullptr : found->second.get();
        }
        return node;
    }

    const Node& Root() const { return root_; }

private:
    Node root_;
};

// Every spelling of a rule: each label outside ASCII as written and as
// "xn--", in all combinations (a rule has two or three such labels at most).
bool Spellings(const std::vector<std::string>& labels, std::vector<std::vector<std::string>>& spellings) {
    spellings.assign(1, {});
    for (const std::string& label : labels) {
        std::string ascii;
        if (!ToAsciiLabel(label, ascii))
            return false;
        const std::size_t count = spellings.size();
        for (std::size_t i = 0; i < count; ++i) {
            if (ascii != label) {
                spellings.push_back(spellings[i]);
                spellings.back().push_back(ascii);
            }
            spellings[i].push_back(label);
        }
    }
    return true;
}

bool IsLabel(const std::string& label) {
    if (label.empty() || label.size() > kMaxLabelLength)
        return false;
    for (const char c : label) {
        if (c == '*' || c == '!' || (c >= 'A' && c <= 'Z') || static_cast<unsigned char>(c) <= ' ')
            return false;
    }
    return true;
}

struct Counts {
    std::size_t icann = 0;
    std::size_t privateRules = 0;
    std::size_t wildcards = 0;
    std::size_t exceptions = 0;
};

// Reads the list into the trie. Lines are "rule" or "!rule" or "*.rule";
// a rule ends at the first white space; "//" starts a comment line.
bool ReadRules(const std::string& text, Trie& trie, Counts& counts, std::string& error) {
    bool inPrivate = false;
    int lineNumber = 0;
    for (const std::string& line : Lines(text)) {
        ++lineNumber;
        if (line.find("===BEGIN PRIVATE DOMAINS===") != std::string::npos)
            inPrivate = true;
        if (line.empty() || line.compare(0, 2, "//") == 0)
            continue;
        std::string rule = line.substr(0, line.find_first_of(" \t"));
        if (rule.empty())
            continue;
        std::uint32_t flags = kFlagRule;
        if (rule[0] == '!') {
            flags = kFlagException;
            rule.erase(0, 1);
            ++counts.exceptions;
        } else if (rule.compare(0, 2, "*.") == 0) {
            flags = kFlagWildcard;
            rule.erase(0, 2);
            ++counts.wildcards;
        }
        const std::vector<std::string> labels = SplitLabels(rule);
        for (const std::string& label : labels) {
            if (!IsLabel(label)) {
                // The look-up knows wildcards only as the first label.
                error = "line " + std::to_string(lineNumber) + ": unsupported rule \"" + line + "\"";
                return false;
            }
        }
        if (flags == kFlagException && labels.size() < 2) {
            error = "line " + std::to_string(lineNumber) + ": an exception needs a parent";
            return false;
        }
        std::vector<std::vector<std::string>> spellings;
        if (!Spellings(labels, spellings)) {
            error = "line " + std::to_string(lineNumber) + ": not UTF-8: \"" + line + "\"";
            return false;
        }
        for (const auto& spelling : spellings)
            trie.Add(spelling, flags);
        ++(inPrivate ? counts.privateRules : counts.icann);
    }
    if (counts.icann == 0) {
        error = "no rules found";
        return false;
    }
    return true;
}

// Each distinct label once, and a label that occurs inside a longer one
// ("com" in "community") only there: longest first.
class LabelPool {
public:
    explicit LabelPool(std::vector<std::string> labels) {
        std::sort(labels.begin(), labels.end(), [](const std::string& a, const std::string& b) {
            return a.size() != b.size() ? a.size() > b.size() : a < b;
        });
        for (const std::string& label : labels) {
            if (offsets_.count(label))
                continue;
            std::size_t offset = pool_.find(label);
            if (offset == std::string::npos) {
                offset = pool_.size();
                pool_ += label;
            }
            offsets_.emplace(label, static_cast<std::uint32_t>(offset));
        }
    }
    std::uint32_t Offset(const std::string& label) const { return offsets_.at(label); }
    const std::string& Text() const { return pool_; }

private:
    std::string pool_;
    std::map<std::string, std::uint32_t> offsets_;
};

bool EmitTable(const Trie& trie, const Counts& counts, const char* source, std::string& out,
               std::string& error) {
    // Breadth first: the children of every node become one contiguous run.
    std::vector<std::pair<const std::string*, const Node*>> order;
    std::deque<const Node*> queue{&trie.Root()};
    std::vector<std::uint32_t> firstChild;  // per queued node, in queue order
    std::vector<const Node*> parents;
    while (!queue.empty()) {
        const Node* node = queue.front();
        queue.pop_front();
        parents.push_back(node);
        firstChild.push_back(static_cast<std::uint32_t>(order.size()));
        for (const auto& [label, child] : node->children) {
            order.emplace_back(&label, child.get());
            queue.push_back(child.get());
        }
    }
    if (order.size() > kMaxNodes) {
        error = "too many nodes: " + std::to_string(order.size());
        return false;
    }
    // parents[0] is the root; parents[i + 1] is order[i].
    std::vector<std::string> allLabels;
    for (const auto& entry : order)
        allLabels.push_back(*entry.first);
    const LabelPool pool(std::move(allLabels));
    std::vector<std::uint32_t> words;
    for (std::size_t i = 0; i < order.size(); ++i) {
        const std::string& label = *order[i].first;
        const Node* node = order[i].second;
        const std::uint32_t offset = pool.Offset(label);
        if (offset > kMaxLabelOffset || node->children.size() > 0xFFFF) {
            error = "the table outgrew its fields";
            return false;
        }
        words.push_back(offset | static_cast<std::uint32_t>(label.size()) << 20 | node->flags << 26);
        const std::uint32_t first = node->children.empty() ? 0 : firstChild[i + 1];
        words.push_back(first | static_cast<std::uint32_t>(node->children.size()) << 16);
    }

    std::ostringstream text;
    text << "// Generated by quillon-suffixes from " << source << ". Do not edit.\n"
         << "// Rules: " << counts.icann << " ICANN, " << counts.privateRules << " private ("
         << counts.wildcards << " wildcards, " << counts.exceptions << " exceptions).\n"
         << "// Table: " << order.size() << " nodes (" << words.size() * 4 << " bytes) and "
         << pool.Text().size() << " bytes of labels.\n"
         << "constexpr std::size_t kSuffixRuleCount = " << counts.icann + counts.privateRules << ";\n"
         << "constexpr std::uint32_t kSuffixTopCount = " << trie.Root().children.size() << ";\n"
         << "constexpr std::size_t kSuffixNodeCount = " << order.size() << ";\n"
         << "constexpr std::uint32_t kSuffixNodes[][2] = {\n";
    for (std::size_t i = 0; i < words.size(); i += 2)
        text << "{" << words[i] << "u," << words[i + 1] << "u},\n";
    text << "};\n"
         << "constexpr char kSuffixLabels[] =\n";
    const std::string& labels = pool.Text();
    for (std::size_t i = 0; i < labels.size(); i += 96)
        text << Literal(labels.substr(i, 96)) << "\n";
    text << ";\n";
    out = text.str();
    return true;
}

int MakeTable(const char* input, const char* output) {
    std::string text;
    if (!ReadWholeFile(input, text))
        return Fail(std::string("cannot read ") + input);
    Trie trie;
    Counts counts;
    std::string error;
    std::string table;
    if (!ReadRules(text, trie, counts, error) || !EmitTable(trie, counts, input, table, error))
        return Fail(std::string(input) + ": " + error);
    if (!WriteWholeFile(output, table))
        return Fail(std::string("cannot write ") + output);
    return 0;
}

// The quoted text or "null" at position, which moves past it.
bool ReadArgument(const std::string& line, std::size_t& position, std::string& value, bool& isNull) {
    while (position < line.size() && (line[position] == ' ' || line[position] == ','))
        ++position;
    if (line.compare(position, 4, "null") == 0) {
        isNull = true;
        position += 4;
        return true;
    }
    if (position >= line.size() || line[position] != '\'')
        return false;
    const std::size_t end = line.find('\'', position + 1);
    if (end == std::string::npos)
        return false;
    isNull = false;
    value = line.substr(position + 1, end - position - 1);
    position = end + 1;
    return true;
}

int MakeCases(const char* input, const char* output) {
    std::string text;
    if (!ReadWholeFile(input, text))
        return Fail(std::string("cannot read ") + input);
    static const char kCall[] = "checkPublicSuffix(";
    std::string cases = std::string("// Generated by quillon-suffixes from ") + input + ". Do not edit.\n";
    int count = 0;
    for (const std::string& line : Lines(text)) {
        if (line.compare(0, sizeof kCall - 1, kCall) != 0)
            continue;  // comments, and cases the list's authors turned off
        std::size_t position = sizeof kCall - 1;
        std::string host, expected;
        bool hostNull = false, expectedNull = false;
        if (!ReadArgument(line, position, host, hostNull) || !ReadArgument(line, position, expected, expectedNull))
            return Fail(std::string(input) + ": cannot read \"" + line + "\"");
        if (hostNull)
            continue;  // no host is no address: nothing to ask
        cases += "{" + Literal(host) + ", " + (expectedNull ? std::string("nullptr") : Literal(expected)) + "},\n";
        ++count;
    }
    if (count == 0)
        return Fail(std::string(input) + ": no test cases");
    if (!WriteWholeFile(output, cases))
        return Fail(std::string("cannot write ") + output);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 4 && std::strcmp(argv[1], "table") == 0)
        return MakeTable(argv[2], argv[3]);
    if (argc == 4 && std::strcmp(argv[1], "cases") == 0)
        return MakeCases(argv[2], argv[3]);
    std::fprintf(stderr,
                 "usage: quillon-suffixes table <public_suffix_list.dat> <output.inc>\n"
                 "       quillon-suffixes cases <test_psl.txt> <output.inc>\n");
    return 2;
}
