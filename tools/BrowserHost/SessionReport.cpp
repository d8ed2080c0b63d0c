#include "tools/BrowserHost/SessionReport.h"

namespace {

// Texts read from windows are shown on one line, and not without end.
std::string OneLine(const std::string& text) {
    constexpr std::size_t kLimit = 160;
    std::string line;
    bool space = false;
    for (const char c : text) {
        if (c == '\r' || c == '\n' || c == '\t' || c == ' ') {
            space = !line.empty();
            continue;
        }
        if (space)
            line += ' ';
        space = false;
        line += c;
    }
    if (line.size() > kLimit)
        line = line.substr(0, kLimit - 3) + "...";
    return line;
}

std::string Quoted(const std::string& text) {
    return "\"" + OneLine(text) + "\"";
}

}  // namespace

std::string StepLine(const StepOutcome& step) {
    std::string line = "step " + std::to_string(step.number) + ": " + step.action + " -> ";
    if (step.cancelled)
        line += "navigation cancelled, went to " + (step.wentTo.empty() ? std::string("nowhere") : step.wentTo) + "; ";
    if (!step.status.empty())
        line += "status button " + step.status;
    else
        line += "no status button" + (step.statusMissing.empty() ? std::string() : " (" + step.statusMissing + ")");
    line += "; ";
    if (step.balloonShown)
        line += step.balloonText.empty() ? std::string("balloon shown") : "balloon " + Quoted(step.balloonText);
    else
        line += "no balloon";
    line += "; ";
    if (step.alertShown)
        line += step.alertText.empty() ? std::string("alert shown") : "alert " + Quoted(step.alertText);
    else
        line += "no alert";
    if (!step.note.empty())
        line += "; " + step.note;
    return line;
}

std::string HtmlEscape(const std::string& text) {
    std::string escaped;
    for (const char c : text) {
        switch (c) {
        case '&': escaped += "&amp;"; break;
        case '<': escaped += "&lt;"; break;
        case '>': escaped += "&gt;"; break;
        case '"': escaped += "&quot;"; break;
        case '\'': escaped += "&#39;"; break;
        default: escaped += c; break;
        }
    }
    return escaped;
}

std::string SessionPage(const std::string& title, const std::vector<StepOutcome>& steps) {
    std::string page =
        "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>" + HtmlEscape(title) +
        "</title>\n<style>body{font-family:sans-serif;margin:2em}figure{margin:0 0 2em 0}"
        "figcaption{font-family:monospace;margin-top:.4em;white-space:pre-wrap}"
        "img{border:1px solid #888;max-width:100%}</style></head>\n<body>\n<h1>" +
        HtmlEscape(title) + "</h1>\n";
    for (const StepOutcome& step : steps) {
        page += "<figure id=\"step" + std::to_string(step.number) + "\">\n";
        if (!step.picture.empty())
            page += "<img src=\"" + HtmlEscape(step.picture) + "\" alt=\"step " + std::to_string(step.number) +
                    "\">\n";
        page += "<figcaption>" + HtmlEscape(StepLine(step)) + "</figcaption>\n</figure>\n";
    }
    page += "</body></html>\n";
    return page;
}
