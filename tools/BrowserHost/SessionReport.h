// What quillon-browse saw the add-on do at each step of a session, as one
// printed line per step and as one HTML page with the step's picture beside
// its line. OS-free.
#pragma once

#include <string>
#include <vector>

struct StepOutcome {
    int number = 0;
    std::string action;  // "page <address>" or "type <field>"
    // The status button's face: "green", "yellow", "red", "grey", "wait",
    // "off", "service down", "unrecognised"; empty when there is no button.
    std::string status;
    // Why there is no status button, when there is none.
    std::string statusMissing;
    bool balloonShown = false;
    std::string balloonText;
    bool alertShown = false;
    std::string alertText;
    // The navigation the add-on cancelled, and where the browser went instead.
    bool cancelled = false;
    std::string wentTo;
    // Anything else worth a word ("2 frames", ...).
    std::string note;
    // The picture's file name in the output folder; empty when none was taken.
    std::string picture;
};

// "step 4: page http://... -> status button red; balloon "..."; no alert".
std::string StepLine(const StepOutcome& step);

// The whole session as one HTML page: a heading, then each step's picture
// and line, in order. Pictures are referred to by their file name.
std::string SessionPage(const std::string& title, const std::vector<StepOutcome>& steps);

// Text made safe inside HTML elements and attribute values.
std::string HtmlEscape(const std::string& text);
