// A browsing session for quillon-browse: the pages to visit, what each page
// holds (its frames and forms) and what the user does on it. Written as a
// small text, one step a line:
//
//   page <address> [frame=<address>]... [form=<field>[:<type>][,...]]...
//   type <field> [<text>]
//
// "page" loads a page in the browser window; its frames load with it and its
// forms are on it. "type" types into a field of a form of the page on
// display (the text defaults to a few letters). A field's type is "text"
// unless given ("password", "email", ...). "#" at the start of a word starts
// a comment that runs to the end of the line; addresses hold no spaces.
//
// OS-free, so its tests run natively too.
#pragma once

#include <string>
#include <vector>

struct SessionField {
    std::string name;
    std::string type = "text";
};

struct SessionForm {
    std::vector<SessionField> fields;
};

struct SessionStep {
    enum class Kind { kPage, kType };

    Kind kind = Kind::kPage;
    int line = 0;
    // kPage
    std::string url;
    std::vector<std::string> frames;
    std::vector<SessionForm> forms;
    // kType
    std::string field;
    std::string text;
};

// Reads a session. False with `error` ("line <n>: <why>") when a line is not
// understood, a "type" names no field of the page before it, or no step is given.
bool ParseSession(const std::string& text, std::vector<SessionStep>& steps, std::string& error);

// One page step per address, for addresses given on the command line.
// "http://" is put in front of an address without a scheme.
std::vector<SessionStep> SessionOfAddresses(const std::vector<std::string>& addresses);

// The built-in session: one site of each rating the shipped ratings have,
// a page with frames, a phishing page, an exploit site and a form typed into
// on a WARN site.
const char* DefaultSessionText();
