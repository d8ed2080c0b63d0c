#include "service/CAnswerDocument.h"

#include "utils/URL/RegExText.h"
#include "utils/iRPC/StringTable.h"
#include "utils/iRPC/Verdict.h"

namespace {

std::string Attribute(const char* name, std::string_view value) {
    return std::string(" ") + name + "=\"" + CAnswerDocument::Escape(value) + "\"";
}

std::string CodeName(std::int32_t code) {
    return code >= 0 ? IndexToString(code, kVerdictCodeNames) : "";
}

std::string ColorName(std::int32_t color) {
    return color >= 0 ? IndexToString(color, kVerdictColorNames) : "";
}

// A verdict element: code and colour attributes, the text as a child.
std::string VerdictElement(const char* element, const RatedVerdict& verdict, bool withColor) {
    std::string xml = std::string("<") + element + Attribute("code", CodeName(verdict.code));
    if (withColor)
        xml += Attribute("color", ColorName(verdict.color));
    if (verdict.description.empty())
        return xml + "/>";
    return xml + "><description>" + CAnswerDocument::Escape(verdict.description) + "</description></" +
           element + ">";
}

std::string Facets(const SiteRating& rating) {
    std::string xml;
    for (int facet = 0; facet < kFacetCount; ++facet) {
        if (rating.facets[facet].code != VERDICT_NONE)
            xml += VerdictElement(kFacetElementNames[facet], rating.facets[facet], false);
    }
    return xml.empty() ? xml : "<FacetInfos>" + xml + "</FacetInfos>";
}

// Patterns travel tab-separated with round and curly brackets exchanged.
std::string PatternAttribute(const SiteRating& rating) {
    std::string joined;
    for (const std::string& pattern : rating.patterns) {
        if (!joined.empty())
            joined += '\t';
        joined += TranslateRegEx(pattern);
    }
    return joined;
}

std::string MetaData(const SiteRating& rating) {
    return "<DomainMetaData" + Attribute("baseDomain", rating.baseDomain) +
           Attribute("dateCreated", std::to_string(rating.created)) +
           Attribute("isDynamicIP", rating.dynamicAddress ? "true" : "false") +
           Attribute("isUserContent", rating.userContent ? "true" : "false") +
           Attribute("domainSpecRegExs", PatternAttribute(rating)) + "><Location" +
           Attribute("country", rating.registrantCountry) + Attribute("state", rating.registrantState) +
           Attribute("city", rating.registrantCity) + "/></DomainMetaData>";
}

}  // namespace

std::string CAnswerDocument::ForSite(const SiteRating* rating, std::string_view host, std::int64_t now) {
    SiteRating unknown;
    unknown.name = std::string(host);
    unknown.verdict = RatedVerdict{VERDICT_UNKNOWN, COLOR_GREY, {}};
    const SiteRating& site = rating ? *rating : unknown;
    std::string xml = "<DomainQueryResponse><DomainInfo" + Attribute("name", site.name) +
                      Attribute("expires", std::to_string(now + kValidSeconds)) +
                      Attribute("popularity", site.popularity) + ">" +
                      VerdictElement("Classification", site.verdict, true) + Facets(site) + MetaData(site) +
                      "</DomainInfo>";
    if (!site.addressCountry.empty())
        xml += "<IPAddrInfo><country>" + Escape(site.addressCountry) + "</country></IPAddrInfo>";
    return xml + "</DomainQueryResponse>";
}

std::string CAnswerDocument::ForDownload(const DownloadRating* rating, std::int64_t now) {
    DownloadRating unknown;
    unknown.verdict = RatedVerdict{VERDICT_UNKNOWN, COLOR_GREY, kUnknownChecksum};
    const DownloadRating& download = rating ? *rating : unknown;
    return "<DownloadQueryResponse><DownloadInfo" + Attribute("title", download.title) +
           Attribute("expires", std::to_string(now + kValidSeconds)) + ">" +
           VerdictElement("Classification", download.verdict, true) +
           "</DownloadInfo></DownloadQueryResponse>";
}

std::string CAnswerDocument::Escape(std::string_view text) {
    std::string escaped;
    escaped.reserve(text.size());
    for (const char c : text) {
        switch (c) {
        case '&': escaped += "&amp;"; break;
        case '<': escaped += "&lt;"; break;
        case '>': escaped += "&gt;"; break;
        case '"': escaped += "&quot;"; break;
        case '\'': escaped += "&apos;"; break;
        case '\t': escaped += "&#9;"; break;
        case '\n': escaped += "&#10;"; break;
        case '\r': escaped += "&#13;"; break;
        default:
            if (static_cast<unsigned char>(c) >= 0x20)
                escaped += c;
        }
    }
    return escaped;
}
