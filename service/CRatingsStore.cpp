#include "service/CRatingsStore.h"

#include "utils/Diagnostics/ReportAssert.h"
#include "utils/URL/HostLabels.h"
#include "utils/URL/PublicSuffix.h"
#include "utils/iRPC/Verdict.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <utility>

namespace {

constexpr std::size_t kMaxSiteName = 255;
constexpr std::size_t kChecksumLength = 32;

std::string_view Trim(std::string_view text) {
    const auto isSpace = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (!text.empty() && isSpace(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isSpace(text.back()))
        text.remove_suffix(1);
    return text;
}

std::string Lower(std::string_view text) {
    std::string lower(text);
    for (char& c : lower)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return lower;
}

// Index in a null-terminated name table, without the report StringToIndex
// makes: a wrong name in the database is reported with its line instead.
int IndexOfName(std::string_view name, const char* const* table) {
    for (int i = 0; table[i]; ++i) {
        if (name == table[i])
            return i;
    }
    return -1;
}

// The colour a verdict takes when the database names none.
std::int32_t DefaultColor(std::int32_t code) {
    switch (code) {
    case VERDICT_CERTIFIED:
    case VERDICT_OK:
        return COLOR_GREEN;
    case VERDICT_INFO:
        return COLOR_YELLOW;
    case VERDICT_WARN:
        return COLOR_RED;
    default:
        return COLOR_GREY;
    }
}

bool IsSiteName(std::string_view name) {
    if (name.empty() || name.size() > kMaxSiteName || name.front() == '.' || name.back() == '.')
        return false;
    return std::all_of(name.begin(), name.end(), [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '.' || c == '-' || c == '_';
    });
}

bool IsChecksum(std::string_view text) {
    return text.size() == kChecksumLength && std::all_of(text.begin(), text.end(), [](char c) {
               return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f');
           });
}

bool IsNumericAddress(std::string_view host) {
    return host.find(':') != std::string_view::npos ||
           std::all_of(host.begin(), host.end(), [](char c) { return (c >= '0' && c <= '9') || c == '.'; });
}

// Days since 1970-01-01 of a date of the proleptic Gregorian calendar.
std::int64_t DaysFromCivil(std::int64_t year, unsigned month, unsigned day) {
    year -= month <= 2;
    const std::int64_t era = (year >= 0 ? year : year - 399) / 400;
    const auto yearOfEra = static_cast<unsigned>(year - era * 400);
    const unsigned dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const unsigned dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + static_cast<std::int64_t>(dayOfEra) - 719468;
}

bool ParseNumber(std::string_view text, unsigned& value) {
    if (text.empty())
        return false;
    value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9')
            return false;
        value = value * 10 + static_cast<unsigned>(c - '0');
    }
    return true;
}

// "YYYY-MM-DD" to seconds since 1970 (UTC midnight). The wire carries an
// int32, so the date must lie between 1970 and 2037.
bool ParseDate(std::string_view text, std::int64_t& seconds) {
    unsigned year = 0, month = 0, day = 0;
    if (text.size() != 10 || text[4] != '-' || text[7] != '-' || !ParseNumber(text.substr(0, 4), year) ||
        !ParseNumber(text.substr(5, 2), month) || !ParseNumber(text.substr(8, 2), day))
        return false;
    static const unsigned kDaysInMonth[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (year < 1970 || year > 2037 || month < 1 || month > 12 || day < 1 || day > kDaysInMonth[month - 1])
        return false;
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    if (month == 2 && day == 29 && !leap)
        return false;
    seconds = DaysFromCivil(year, month, day) * 86400;
    return true;
}

bool ParseYesNo(std::string_view text, bool& value) {
    const std::string lower = Lower(text);
    if (lower == "yes" || lower == "true") {
        value = true;
        return true;
    }
    if (lower == "no" || lower == "false") {
        value = false;
        return true;
    }
    return false;
}

}  // namespace

// One pass over the text. Each method returns false with `error_` set.
class CRatingsStore::Parser {
public:
    Parser(CRatingsStore& store) : store_(store) {}

    bool Run(std::string_view text) {
        while (!text.empty()) {
            ++lineNumber_;
            const std::size_t end = text.find('\n');
            const std::string_view line = Trim(text.substr(0, end));
            text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
            if (line.empty() || line.front() == '#')
                continue;
            if (!(line.front() == '[' ? Section(line) : KeyValue(line)))
                return false;
        }
        return FinishEntry();
    }

    std::string Error() const { return "line " + std::to_string(errorLine_) + ": " + error_; }

private:
    enum class Kind { None, Site, Download };

    bool Fail(std::string why, int line = 0) {
        error_ = std::move(why);
        errorLine_ = line ? line : lineNumber_;
        return false;
    }

    bool Section(std::string_view line) {
        if (!FinishEntry())
            return false;
        if (line.back() != ']')
            return Fail("a section header ends with \"]\"");
        const std::string_view inside = Trim(line.substr(1, line.size() - 2));
        const std::size_t space = inside.find_first_of(" \t");
        const std::string_view kind = inside.substr(0, space);
        const std::string name =
            Lower(space == std::string_view::npos ? std::string_view() : Trim(inside.substr(space)));
        entryLine_ = lineNumber_;
        hasVerdict_ = false;
        if (kind == "site") {
            if (!IsSiteName(name))
                return Fail("\"" + name + "\" is not a site name (letters, digits, \".\", \"-\", \"_\")");
            if (store_.sites_.count(name))
                return Fail("site " + name + " is rated twice");
            kind_ = Kind::Site;
            site_ = SiteRating();
            site_.name = name;
            site_.baseDomain = name;
            return true;
        }
        if (kind == "download") {
            if (!IsChecksum(name))
                return Fail("\"" + name + "\" is not an MD5 checksum (32 hex digits)");
            if (store_.downloads_.count(name))
                return Fail("checksum " + name + " is rated twice");
            kind_ = Kind::Download;
            download_ = DownloadRating();
            download_.checksum = name;
            return true;
        }
        return Fail("unknown section \"" + std::string(kind) + "\" (site or download)");
    }

    bool FinishEntry() {
        if (kind_ != Kind::None && !hasVerdict_)
            return Fail("the entry has no \"verdict\" line", entryLine_);
        if (kind_ == Kind::Site)
            store_.sites_.emplace(site_.name, std::move(site_));
        else if (kind_ == Kind::Download)
            store_.downloads_.emplace(download_.checksum, std::move(download_));
        kind_ = Kind::None;
        return true;
    }

    bool KeyValue(std::string_view line) {
        const std::size_t equals = line.find('=');
        if (equals == std::string_view::npos)
            return Fail("expected \"key = value\"");
        const std::string key = Lower(Trim(line.substr(0, equals)));
        const std::string_view value = Trim(line.substr(equals + 1));
        if (kind_ == Kind::None)
            return Fail("\"" + key + "\" before the first [site ...] or [download ...]");
        if (key == "verdict")
            return Verdict(value, kind_ == Kind::Site ? site_.verdict : download_.verdict);
        if (key == "description") {
            (kind_ == Kind::Site ? site_.verdict : download_.verdict).description = std::string(value);
            return true;
        }
        if (kind_ == Kind::Download && key == "title") {
            download_.title = std::string(value);
            return true;
        }
        if (kind_ == Kind::Site && SiteKey(key, value))
            return true;
        return error_.empty() ? Fail("unknown key \"" + key + "\"") : false;
    }

    // "CODE" or "CODE colour".
    bool Verdict(std::string_view value, RatedVerdict& verdict) {
        const std::size_t space = value.find_first_of(" \t");
        const std::string_view codeName = value.substr(0, space);
        const int code = IndexOfName(codeName, kVerdictCodeNames);
        if (code < 0)
            return Fail("unknown verdict \"" + std::string(codeName) + "\"");
        verdict.code = code;
        verdict.color = DefaultColor(code);
        if (space != std::string_view::npos) {
            const std::string_view colorName = Trim(value.substr(space));
            const int color = IndexOfName(colorName, kVerdictColorNames);
            if (color < 0)
                return Fail("unknown colour \"" + std::string(colorName) + "\"");
            verdict.color = color;
        }
        hasVerdict_ = true;
        return true;
    }

    bool Facet(std::string_view value, RatedVerdict& facet) {
        const int code = IndexOfName(value, kVerdictCodeNames);
        if (code < 0)
            return Fail("unknown verdict \"" + std::string(value) + "\"");
        facet.code = code;
        return true;
    }

    // True when the key is a site key and its value was taken; false with
    // error_ set for a bad value, false with error_ empty for another key.
    bool SiteKey(const std::string& key, std::string_view value) {
        static const char* const kFacetKeys[kFacetCount] = {"commerce", "downloads", "personal-info", "rogue"};
        for (int facet = 0; facet < kFacetCount; ++facet) {
            const std::string name = kFacetKeys[facet];
            if (key == name)
                return Facet(value, site_.facets[facet]);
            if (key == name + "-text") {
                site_.facets[facet].description = std::string(value);
                return true;
            }
        }
        if (key == "created")
            return ParseDate(value, site_.created) || Fail("\"created\" is a date YYYY-MM-DD from 1970 to 2037");
        if (key == "dynamic-address")
            return ParseYesNo(value, site_.dynamicAddress) || Fail("\"dynamic-address\" is yes or no");
        if (key == "user-content")
            return ParseYesNo(value, site_.userContent) || Fail("\"user-content\" is yes or no");
        if (key == "pattern") {
            if (value.empty() || value.find('\t') != std::string_view::npos)
                return Fail("a pattern is not empty and holds no tab");
            site_.patterns.emplace_back(value);
            return true;
        }
        std::string* const text = SiteText(key);
        if (!text)
            return false;
        *text = std::string(value);
        return true;
    }

    std::string* SiteText(const std::string& key) {
        if (key == "base-domain")
            return &site_.baseDomain;
        if (key == "registrant-country")
            return &site_.registrantCountry;
        if (key == "registrant-state")
            return &site_.registrantState;
        if (key == "registrant-city")
            return &site_.registrantCity;
        if (key == "address")
            return &site_.address;
        if (key == "address-country")
            return &site_.addressCountry;
        if (key == "popularity")
            return &site_.popularity;
        if (key == "registration-created")
            return &site_.registrationCreated;
        if (key == "registration-expires")
            return &site_.registrationExpires;
        return nullptr;
    }

    CRatingsStore& store_;
    int lineNumber_ = 0;
    int entryLine_ = 0;
    int errorLine_ = 0;
    std::string error_;
    Kind kind_ = Kind::None;
    bool hasVerdict_ = false;
    SiteRating site_;
    DownloadRating download_;
};

bool CRatingsStore::Load(std::string_view text, const std::string& source) {
    Clear();
    Parser parser(*this);
    if (parser.Run(text))
        return true;
    Clear();
    lastError_ = source + " " + parser.Error();
    REPORT_ASSERT("CRatingsStore::Load", lastError_.c_str());
    return false;
}

void CRatingsStore::Clear() {
    sites_.clear();
    downloads_.clear();
    lastError_.clear();
}

const SiteRating* CRatingsStore::FindSite(std::string_view host) const {
    std::string name = Lower(host);
    while (!name.empty() && name.back() == '.')
        name.pop_back();
    if (name.empty())
        return nullptr;
    if (IsNumericAddress(name)) {
        // Numeric addresses have no parents.
        const auto found = sites_.find(name);
        return found == sites_.end() ? nullptr : &found->second;
    }
    // Parents stop at the registrable domain: an entry for "co.uk" or
    // "github.io" must not rate every site registered below it.
    std::size_t parents = 0;
    for (std::size_t position = 0; !NextHostLabel(name, position).empty();)
        ++parents;
    parents -= RegistrableDomainLength(name);
    std::string_view candidate = name;
    for (;;) {
        const auto found = sites_.find(candidate);
        if (found != sites_.end())
            return &found->second;
        if (parents-- == 0)
            return nullptr;
        std::size_t position = 0;
        NextHostLabel(candidate, position);
        candidate.remove_prefix(position);
        while (!candidate.empty() && candidate.front() == '.')
            candidate.remove_prefix(1);
    }
}

const DownloadRating* CRatingsStore::FindDownload(std::string_view checksum) const {
    const auto found = downloads_.find(Lower(Trim(checksum)));
    return found == downloads_.end() ? nullptr : &found->second;
}
