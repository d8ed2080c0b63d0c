#include "tools/BrowserHost/SessionScript.h"

#include <sstream>

namespace {

constexpr char kDefaultSession[] =
    "# The built-in session of quillon-browse. One site of each rating in the\n"
    "# shipped ratings (service/ratings.txt), then the add-on's other duties.\n"
    "page http://www.example.com/                        # certified\n"
    "page http://shop.example.net/cart                   # OK\n"
    "page http://forum.example.com/t/42                  # INFO\n"
    "page http://www.freebies.example/claim-your-prize   # WARN\n"
    "page http://unknown-site.example/                   # not rated\n"
    "# A page whose frames come from two other rated sites.\n"
    "page http://news.example.org/ frame=http://blog.example.org/sidebar frame=http://games.example/embed\n"
    "# Not rated, and the page scripts find a brand's name on a site it does\n"
    "# not own: phishing.\n"
    "page http://paypal.com.account-verify.example/signin form=email:email,password:password\n"
    "# A listed exploit site (data/elist.txt): the navigation is cancelled.\n"
    "page http://exploit-kit.example/landing\n"
    "# A WARN site with a payment form, and the user typing a card number.\n"
    "page http://cheap-pills.example/order form=card-number,card-expiry,cvv\n"
    "type card-number 4111\n";

std::string LineError(int line, const std::string& why) {
    return "line " + std::to_string(line) + ": " + why;
}

std::vector<std::string> Words(const std::string& line) {
    std::vector<std::string> words;
    std::istringstream stream(line);
    std::string word;
    while (stream >> word) {
        if (word[0] == '#')
            break;
        words.push_back(word);
    }
    return words;
}

bool StartsWith(const std::string& text, const char* prefix) {
    return text.compare(0, std::char_traits<char>::length(prefix), prefix) == 0;
}

bool ParseForm(const std::string& spec, SessionForm& form) {
    std::size_t start = 0;
    while (start <= spec.size()) {
        const std::size_t comma = spec.find(',', start);
        const std::string item = spec.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
        SessionField field;
        const std::size_t colon = item.find(':');
        field.name = item.substr(0, colon);
        if (colon != std::string::npos)
            field.type = item.substr(colon + 1);
        if (field.name.empty() || field.type.empty())
            return false;
        form.fields.push_back(field);
        if (comma == std::string::npos)
            break;
        start = comma + 1;
    }
    return !form.fields.empty();
}

bool ParsePage(const std::vector<std::string>& words, int line, SessionStep& step, std::string& error) {
    if (words.size() < 2) {
        error = LineError(line, "\"page\" needs an address");
        return false;
    }
    step.kind = SessionStep::Kind::kPage;
    step.url = words[1];
    for (std::size_t i = 2; i < words.size(); ++i) {
        const std::string& word = words[i];
        if (StartsWith(word, "frame=") && word.size() > 6) {
            step.frames.push_back(word.substr(6));
        } else if (StartsWith(word, "form=")) {
            SessionForm form;
            if (!ParseForm(word.substr(5), form)) {
                error = LineError(line, "a form needs fields: form=<field>[:<type>][,...]");
                return false;
            }
            step.forms.push_back(form);
        } else {
            error = LineError(line, "not understood: " + word);
            return false;
        }
    }
    return true;
}

bool PageHasField(const SessionStep& page, const std::string& name) {
    for (const SessionForm& form : page.forms)
        for (const SessionField& field : form.fields)
            if (field.name == name)
                return true;
    return false;
}

}  // namespace

bool ParseSession(const std::string& text, std::vector<SessionStep>& steps, std::string& error) {
    steps.clear();
    std::istringstream stream(text);
    std::string content;
    int line = 0;
    std::vector<SessionStep> read;
    // The page step the following "type" steps act on: an index, as the vector grows.
    std::size_t page = 0;
    bool havePage = false;
    while (std::getline(stream, content)) {
        ++line;
        const std::vector<std::string> words = Words(content);
        if (words.empty())
            continue;
        SessionStep step;
        step.line = line;
        if (words[0] == "page") {
            if (!ParsePage(words, line, step, error))
                return false;
        } else if (words[0] == "type") {
            if (words.size() < 2 || words.size() > 3) {
                error = LineError(line, "\"type\" needs a field and at most one word of text");
                return false;
            }
            step.kind = SessionStep::Kind::kType;
            step.field = words[1];
            step.text = words.size() == 3 ? words[2] : "abc";
            // Typing goes to the page on display: it must have that field.
            if (!havePage || !PageHasField(read[page], step.field)) {
                error = LineError(line, "no form field \"" + step.field + "\" on the page before");
                return false;
            }
        } else {
            error = LineError(line, "unknown step \"" + words[0] + "\"");
            return false;
        }
        if (step.kind == SessionStep::Kind::kPage) {
            page = read.size();
            havePage = true;
        }
        read.push_back(step);
    }
    if (read.empty()) {
        error = "the session has no steps";
        return false;
    }
    steps = std::move(read);
    return true;
}

std::vector<SessionStep> SessionOfAddresses(const std::vector<std::string>& addresses) {
    std::vector<SessionStep> steps;
    for (const std::string& address : addresses) {
        SessionStep step;
        step.url = address.find("://") == std::string::npos ? "http://" + address : address;
        steps.push_back(step);
    }
    return steps;
}

const char* DefaultSessionText() {
    return kDefaultSession;
}
