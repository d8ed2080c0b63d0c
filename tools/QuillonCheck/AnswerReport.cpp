#include "tools/QuillonCheck/AnswerReport.h"

#include "utils/iRPC/StringTable.h"
#include "utils/iRPC/TimeText.h"
#include "utils/iRPC/Verdict.h"

#include <ctime>

namespace {

constexpr std::size_t kLabelWidth = 14;

void Row(std::string& report, const std::string& label, const std::string& value) {
    report += "  ";
    report += label;
    report.append(label.size() < kLabelWidth ? kLabelWidth - label.size() : 1, ' ');
    report += value;
    report += '\n';
}

std::string Padded(const std::string& text, std::size_t width) {
    return text.size() < width ? text + std::string(width - text.size(), ' ') : text + ' ';
}

std::string OrUnknown(const std::string& text) {
    return text.empty() ? "unknown" : text;
}

std::string Day(std::int32_t secondsSince1970) {
    if (secondsSince1970 <= 0)
        return "unknown";
    const std::time_t time = secondsSince1970;
    std::tm local = {};
#ifdef _WIN32
    localtime_s(&local, &time);
#else
    localtime_r(&time, &local);
#endif
    char text[32] = {};
    std::strftime(text, sizeof text, "%d-%b-%Y", &local);
    return text;
}

std::string Place(const CClientMetaResults& facts) {
    std::string place;
    for (const std::string* part : {&facts.RegistrantCity(), &facts.RegistrantState(), &facts.RegistrantCountry()}) {
        if (part->empty())
            continue;
        if (!place.empty())
            place += ", ";
        place += *part;
    }
    return OrUnknown(place);
}

void VerdictRows(std::string& report, const CClientURLResults& verdict) {
    Row(report, "Site", OrUnknown(verdict.Name()));
    std::string color = IndexToString(verdict.Color(), kVerdictColorNames);
    if (verdict.Color() == COLOR_NONE)
        color = "no colour";
    Row(report, "Verdict", CodeWords(verdict.Code()) + ", " + color);
    Row(report, "Summary", verdict.Description());
    for (int facet = 0; facet < kFacetCount; ++facet) {
        const auto which = static_cast<VerdictFacet>(facet);
        Row(report, kFacetTraceNames[facet],
            Padded(CodeWords(verdict.FacetCode(which)), 14) + verdict.FacetDescription(which));
    }
}

void FactRows(std::string& report, const CClientMetaResults& facts) {
    Row(report, "Domain", OrUnknown(facts.BaseDomain()));
    Row(report, "Created", Day(facts.CreationDate()));
    Row(report, "Registrant", Place(facts));
    std::string address = OrUnknown(facts.Address());
    if (!facts.AddressCountry().empty())
        address += " (" + facts.AddressCountry() + ")";
    address += facts.DynamicAddress() ? ", dynamic" : ", static";
    Row(report, "Address", address);
    Row(report, "Popularity", OrUnknown(facts.Popularity()));
    Row(report, "User content", facts.UserContent() ? "yes" : "no");
    if (!facts.RegistrationCreated().empty() || !facts.RegistrationExpires().empty()) {
        Row(report, "Registration", "created " + OrUnknown(facts.RegistrationCreated()) + ", expires " +
                                        OrUnknown(facts.RegistrationExpires()));
    }
    const std::vector<std::string>& patterns = facts.SitePatterns();
    for (std::size_t i = 0; i < patterns.size(); ++i)
        Row(report, i == 0 ? "Patterns" : "", patterns[i]);
}

}  // namespace

std::string CodeWords(std::int32_t code) {
    const char* name = IndexToString(code, kVerdictCodeNames);
    if (code < 0)
        name = "none";
    return std::string(name) + " (" + std::to_string(code) + ")";
}

std::string SiteReport(const std::string& url, const CClientURLResults* verdict,
                       const CClientMetaResults* facts, bool connectionFailed) {
    std::string report = url + "\n";
    if (connectionFailed) {
        Row(report, "Answer", "the rating service could not reach its servers");
        return report;
    }
    if (verdict)
        VerdictRows(report, *verdict);
    else
        Row(report, "Verdict", "no answer in time");
    if (facts)
        FactRows(report, *facts);
    else
        Row(report, "Domain", "no answer in time");
    if (verdict)
        Row(report, "Valid until", FormatLocalTime(verdict->Expiry()));
    return report;
}

std::string DownloadReport(const std::string& path, const std::string& md5, const CClientMD5Results* verdict) {
    std::string report = path + "\n";
    Row(report, "MD5", md5.empty() ? "file could not be read" : md5);
    if (md5.empty())
        return report;
    if (!verdict) {
        Row(report, "Verdict", "no answer in time");
        return report;
    }
    if (!verdict->Title().empty())
        Row(report, "Title", verdict->Title());
    std::string words = CodeWords(verdict->Code());
    if (verdict->Color() != COLOR_NONE)
        words += std::string(", ") + IndexToString(verdict->Color(), kVerdictColorNames);
    Row(report, "Verdict", words);
    if (!verdict->Description().empty())
        Row(report, "Summary", verdict->Description());
    return report;
}
