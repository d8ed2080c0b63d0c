// The session script, the step lines and the HTML page of quillon-browse,
// and the face colours told from pictures.
#include "tools/BrowserHost/FaceColour.h"
#include "tools/BrowserHost/SessionReport.h"
#include "tools/BrowserHost/SessionScript.h"

#include <gtest/gtest.h>

namespace {

TEST(SessionScript, ReadsPagesWithFramesAndFormsAndTheTypingOnThem) {
    std::vector<SessionStep> steps;
    std::string error;
    ASSERT_TRUE(ParseSession("# a comment line\n"
                             "\n"
                             "page http://a.example/x  frame=http://b.example/ frame=http://c.example/  # note\n"
                             "page http://d.example/ form=user,pass:password form=card-number\n"
                             "type pass secret\n"
                             "type card-number\n",
                             steps, error))
        << error;
    ASSERT_EQ(4u, steps.size());
    EXPECT_EQ(SessionStep::Kind::kPage, steps[0].kind);
    EXPECT_EQ("http://a.example/x", steps[0].url);
    EXPECT_EQ((std::vector<std::string>{"http://b.example/", "http://c.example/"}), steps[0].frames);
    EXPECT_EQ(3, steps[0].line);
    ASSERT_EQ(2u, steps[1].forms.size());
    ASSERT_EQ(2u, steps[1].forms[0].fields.size());
    EXPECT_EQ("user", steps[1].forms[0].fields[0].name);
    EXPECT_EQ("text", steps[1].forms[0].fields[0].type);
    EXPECT_EQ("password", steps[1].forms[0].fields[1].type);
    EXPECT_EQ("card-number", steps[1].forms[1].fields[0].name);
    EXPECT_EQ(SessionStep::Kind::kType, steps[2].kind);
    EXPECT_EQ("pass", steps[2].field);
    EXPECT_EQ("secret", steps[2].text);
    EXPECT_FALSE(steps[3].text.empty()) << "typing without text types something";
}

TEST(SessionScript, RefusesWhatItDoesNotUnderstandNamingTheLine) {
    const struct {
        const char* text;
        const char* error;
    } cases[] = {
        {"", "the session has no steps"},
        {"# only a comment\n", "the session has no steps"},
        {"page\n", "line 1: \"page\" needs an address"},
        {"page http://a.example/\nvisit http://b.example/\n", "line 2: unknown step \"visit\""},
        {"page http://a.example/ colour=red\n", "line 1: not understood: colour=red"},
        {"page http://a.example/ form=\n", "line 1: a form needs fields: form=<field>[:<type>][,...]"},
        {"page http://a.example/ form=a,,b\n", "line 1: a form needs fields: form=<field>[:<type>][,...]"},
        {"page http://a.example/ form=a:\n", "line 1: a form needs fields: form=<field>[:<type>][,...]"},
        // Typing goes to the page on display, which must have the field.
        {"type name\n", "line 1: no form field \"name\" on the page before"},
        {"page http://a.example/ form=name\npage http://b.example/\ntype name\n",
         "line 3: no form field \"name\" on the page before"},
        {"page http://a.example/ form=name\ntype name two words\n",
         "line 2: \"type\" needs a field and at most one word of text"},
    };
    for (const auto& test : cases) {
        std::vector<SessionStep> steps;
        std::string error;
        EXPECT_FALSE(ParseSession(test.text, steps, error)) << test.text;
        EXPECT_EQ(test.error, error) << test.text;
        EXPECT_TRUE(steps.empty());
    }
}

TEST(SessionScript, TheBuiltInSessionReadsAndAddressesBecomePages) {
    std::vector<SessionStep> steps;
    std::string error;
    ASSERT_TRUE(ParseSession(DefaultSessionText(), steps, error)) << error;
    EXPECT_EQ(10u, steps.size());
    EXPECT_EQ(SessionStep::Kind::kType, steps.back().kind);

    const std::vector<SessionStep> pages = SessionOfAddresses({"www.example.com", "https://b.example/x?y"});
    ASSERT_EQ(2u, pages.size());
    EXPECT_EQ("http://www.example.com", pages[0].url);
    EXPECT_EQ("https://b.example/x?y", pages[1].url);
    EXPECT_EQ(SessionStep::Kind::kPage, pages[1].kind);
}

TEST(SessionReport, LinesSayWhatTheAddOnDid) {
    StepOutcome plain;
    plain.number = 1;
    plain.action = "page http://www.example.com/";
    plain.status = "green";
    EXPECT_EQ("step 1: page http://www.example.com/ -> status button green; no balloon; no alert", StepLine(plain));

    StepOutcome blocked;
    blocked.number = 8;
    blocked.action = "page http://exploit-kit.example/";
    blocked.cancelled = true;
    blocked.wentTo = "file:///C:/q/pages/exploit.html?domain=exploit-kit.example";
    blocked.status = "off";
    EXPECT_EQ("step 8: page http://exploit-kit.example/ -> navigation cancelled, went to "
              "file:///C:/q/pages/exploit.html?domain=exploit-kit.example; status button off; no balloon; no alert",
              StepLine(blocked));

    StepOutcome warned;
    warned.number = 3;
    warned.action = "page http://x.example/";
    warned.statusMissing = "no toolbar band is registered";
    warned.balloonShown = true;
    warned.balloonText = "Quillon\r\n  says:\tno ";
    warned.alertShown = true;
    warned.note = "2 frames";
    EXPECT_EQ("step 3: page http://x.example/ -> no status button (no toolbar band is registered); "
              "balloon \"Quillon says: no\"; alert shown; 2 frames",
              StepLine(warned));

    StepOutcome longText;
    longText.alertShown = true;
    longText.alertText = std::string(400, 'a');
    const std::string line = StepLine(longText);
    EXPECT_LT(line.size(), 260u) << "texts read from windows are cut short";
    EXPECT_NE(std::string::npos, line.find("...\""));
}

TEST(SessionReport, ThePageShowsEveryPictureAndLineInOrderEscaped) {
    StepOutcome first;
    first.number = 1;
    first.action = "page http://a.example/?x=<b>&y=\"1\"";
    first.status = "red";
    first.picture = "step01.png";
    StepOutcome second;
    second.number = 2;
    second.action = "page http://b.example/";
    second.status = "green";
    const std::string page = SessionPage("A <session>", {first, second});
    EXPECT_NE(std::string::npos, page.find("<title>A &lt;session&gt;</title>"));
    EXPECT_NE(std::string::npos, page.find("<img src=\"step01.png\""));
    EXPECT_NE(std::string::npos, page.find("x=&lt;b&gt;&amp;y=&quot;1&quot;"));
    EXPECT_EQ(std::string::npos, page.find("<b>"));
    EXPECT_LT(page.find("step01.png"), page.find("page http://b.example/"));
    EXPECT_EQ(1u, [&] {
        std::size_t count = 0;
        for (std::size_t at = page.find("<img"); at != std::string::npos; at = page.find("<img", at + 1))
            ++count;
        return count;
    }()) << "a step without a picture gets none";
}

// Faces drawn as the artwork draws them: a light (or dark) body with a round
// sign of the verdict's colour at the left.
std::vector<std::uint32_t> Face(std::uint32_t body, std::uint32_t sign, int width = 90, int height = 18) {
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(width) * height, body);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < height; ++x)
            if ((x - 9) * (x - 9) + (y - 9) * (y - 9) <= 36)
                pixels[static_cast<std::size_t>(y) * width + x] = sign;
    return pixels;
}

TEST(FaceColour, TellsEachFaceByItsSign) {
    const std::uint32_t light = 0xE4E4E4;
    const std::uint32_t dark = 0x3A3A3A;
    const struct {
        std::uint32_t body, sign;
        const char* face;
    } cases[] = {
        {light, 0x2E9E4A, "green"},  {light, 0xE0A020, "yellow"}, {light, 0xD03A3A, "red"},
        {light, 0x3C78D8, "wait"},   {light, 0x8C8C8C, "grey"},   {dark, 0xC8C8C8, "off"},
        {dark, 0xC83232, "service down"},
    };
    for (const auto& test : cases)
        EXPECT_EQ(test.face, ClassifyFaceColour(Face(test.body, test.sign), 90, 18)) << test.face;
    EXPECT_EQ("", ClassifyFaceColour(std::vector<std::uint32_t>(20, light), 5, 4)) << "too small";
    EXPECT_EQ("", ClassifyFaceColour(std::vector<std::uint32_t>(10, light), 90, 18)) << "fewer pixels than said";
}

}  // namespace
