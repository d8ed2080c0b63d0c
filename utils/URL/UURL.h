// A web address cracked into its parts, with fixed limits on every part so
// that hostile addresses cost bounded memory. Fields are 8-bit text exactly
// as written: nothing is percent-decoded or case-folded.
#pragma once

#include "utils/URL/UFixedText.h"

#include <cstdint>
#include <string>
#include <string_view>

class UURL {
public:
    // Scheme numbers: positions in the table of known schemes.
    enum Scheme : std::int32_t {
        kSchemeUnknown = -1,
        kSchemeFtp = 0,
        kSchemeGopher = 1,
        kSchemeHttp = 2,
        kSchemeHttps = 3,
        kSchemeFile = 4,
        kSchemeNews = 5,
        kSchemeMailto = 6,
        kSchemeSocks = 7,
    };

    static constexpr std::size_t kMaxSchemeName = 32;
    static constexpr std::size_t kMaxHostName = 256;
    static constexpr std::size_t kMaxUserName = 128;
    static constexpr std::size_t kMaxPassword = 128;
    static constexpr std::size_t kMaxUrlPath = 2048;
    static constexpr std::size_t kMaxExtraInfo = 2048;
    // Characters written after the host's ":".
    static constexpr std::size_t kMaxPortText = 128;

    // The empty address: no texts, port 0, unknown scheme.
    UURL() = default;
    // An "http" address unless the text says otherwise; empty when it does
    // not crack.
    explicit UURL(const char* text);
    explicit UURL(std::string_view text);

    // Cracks the text, adding "http://" when it names no scheme of its own.
    // False, with the address left empty, when it does not crack.
    bool Assign(const char* text);
    bool Assign(std::string_view text);
    void Clear();

    // Views into the address; each view's data() is zero-terminated.
    std::string_view GetSchemeName() const { return scheme_.View(); }
    std::string_view GetHostName() const { return host_.View(); }
    std::string_view GetUserName() const { return user_.View(); }
    std::string_view GetPassword() const { return password_.View(); }
    std::string_view GetUrlPath() const { return path_.View(); }
    std::string_view GetExtraInfo() const { return extra_.View(); }
    std::int32_t GetScheme() const { return schemeNumber_; }
    std::uint16_t GetPort() const { return port_; }

    // Whether every label of the host looks numeric (an empty host does).
    bool IsNumericHost() const;
    // The site: the whole host when numeric, ".name" for a host of one label,
    // else the registrable domain (the public suffix and one label more, or
    // the whole host when it is a public suffix itself), labels joined by
    // single dots. Letters stay as written; the suffixes match in any case.
    std::string GetDomain() const;

private:
    bool Crack(std::string_view text);
    bool CrackScheme(std::string_view text, std::string_view& rest);
    bool CrackAfterScheme(std::string_view rest);
    bool CrackAuthority(std::string_view rest);
    bool CrackUserInfo(std::string_view userInfo);
    bool CrackHostAndPort(std::string_view hostPort);
    bool CrackPathAndExtra(std::string_view rest);
    void SetDefaultPort();

    UFixedText<kMaxSchemeName> scheme_;
    UFixedText<kMaxHostName> host_;
    UFixedText<kMaxUserName> user_;
    UFixedText<kMaxPassword> password_;
    UFixedText<kMaxUrlPath> path_;
    UFixedText<kMaxExtraInfo> extra_;
    std::uint16_t port_ = 0;
    bool portWritten_ = false;
    std::int32_t schemeNumber_ = kSchemeUnknown;
};
