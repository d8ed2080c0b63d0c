// quillon-browse: plays a browsing session in a browser window of its own,
// with the add-on module loaded into it as the browser loads it, and shows
// what the add-on did: one line per step, a picture of the window per step
// and one HTML page with both.
//
//   quillon-browse [--out <folder>] [--session <file>] [--module <dll>] [<address>...]
//
// Without a session file or addresses it plays its built-in session
// (--print-session shows it). The module defaults to QuillonIE.dll beside
// this program, the folder to "quillon-browse" in the temporary folder.
// Exit code: 0 the session was played, 1 the add-on could not be loaded,
// 2 usage or session errors.
#include "tools/BrowserHost/BrowserHost.h"
#include "tools/BrowserHost/SessionReport.h"
#include "tools/BrowserHost/SessionScript.h"

#include <objbase.h>
#include <shlobj.h>

#include <cstdio>
#include <fstream>
#include <sstream>

namespace {

struct Arguments {
    std::string outputFolder;
    std::string sessionFile;
    std::string module;
    std::vector<std::string> addresses;
    bool printSession = false;
};

const char kUsage[] =
    "usage: quillon-browse [--out <folder>] [--session <file>] [--module <dll>] [<address>...]\n"
    "       quillon-browse --print-session\n";

bool Parse(int argc, char** argv, Arguments& arguments) {
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        const bool hasValue = i + 1 < argc;
        if (argument == "--out" && hasValue)
            arguments.outputFolder = argv[++i];
        else if (argument == "--session" && hasValue)
            arguments.sessionFile = argv[++i];
        else if (argument == "--module" && hasValue)
            arguments.module = argv[++i];
        else if (argument == "--print-session")
            arguments.printSession = true;
        else if (argument.compare(0, 2, "--") == 0)
            return false;
        else
            arguments.addresses.push_back(argument);
    }
    return arguments.sessionFile.empty() || arguments.addresses.empty();
}

std::string ProgramFolder() {
    char path[MAX_PATH] = {};
    ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder = path;
    return folder.substr(0, folder.rfind('\\') + 1);
}

std::string FullPath(const std::string& path) {
    char full[MAX_PATH] = {};
    const DWORD length = ::GetFullPathNameA(path.c_str(), MAX_PATH, full, nullptr);
    return length > 0 && length < MAX_PATH ? std::string(full, length) : path;
}

bool ReadFile(const std::string& path, std::string& text) {
    std::ifstream file(path, std::ios::binary);
    if (!file)
        return false;
    std::stringstream content;
    content << file.rdbuf();
    text = content.str();
    return true;
}

bool WriteFile(const std::string& path, const std::string& text) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file << text;
    return static_cast<bool>(file);
}

std::string Rect(const RECT& rect) {
    return std::to_string(rect.left) + "\t" + std::to_string(rect.top) + "\t" + std::to_string(rect.right) + "\t" +
           std::to_string(rect.bottom);
}

class ComApartment {
public:
    ComApartment() : result_(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
    ~ComApartment() {
        if (SUCCEEDED(result_))
            ::CoUninitialize();
    }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;
    bool Ok() const { return SUCCEEDED(result_); }

private:
    HRESULT result_;
};

int Run(const Arguments& arguments) {
    std::vector<SessionStep> steps;
    std::string error;
    if (!arguments.addresses.empty()) {
        steps = SessionOfAddresses(arguments.addresses);
    } else {
        std::string text = DefaultSessionText();
        if (!arguments.sessionFile.empty() && !ReadFile(arguments.sessionFile, text)) {
            std::fprintf(stderr, "quillon-browse: cannot read %s\n", arguments.sessionFile.c_str());
            return 2;
        }
        if (!ParseSession(text, steps, error)) {
            std::fprintf(stderr, "quillon-browse: %s: %s\n",
                         arguments.sessionFile.empty() ? "built-in session" : arguments.sessionFile.c_str(),
                         error.c_str());
            return 2;
        }
    }

    std::string folder = arguments.outputFolder;
    if (folder.empty()) {
        char temp[MAX_PATH] = {};
        ::GetTempPathA(MAX_PATH, temp);
        folder = std::string(temp) + "quillon-browse";
    }
    folder = FullPath(folder);
    if (folder.back() != '\\')
        folder += '\\';
    const int made = ::SHCreateDirectoryExA(nullptr, folder.c_str(), nullptr);
    if (made != ERROR_SUCCESS && made != ERROR_ALREADY_EXISTS && made != ERROR_FILE_EXISTS) {
        std::fprintf(stderr, "quillon-browse: cannot make the folder %s\n", folder.c_str());
        return 2;
    }

    const ComApartment apartment;
    if (!apartment.Ok()) {
        std::fprintf(stderr, "quillon-browse: COM could not be initialised\n");
        return 1;
    }
    CBrowserHost::Settings settings;
    settings.module = FullPath(arguments.module.empty() ? ProgramFolder() + "QuillonIE.dll" : arguments.module);
    settings.outputFolder = folder;
    CBrowserHost host(settings);
    if (!host.Open(error)) {
        std::fprintf(stderr, "quillon-browse: %s\n", error.c_str());
        return 1;
    }
    if (!host.BandProblem().empty())
        std::printf("quillon-browse: no toolbar band: %s\n", host.BandProblem().c_str());

    std::vector<StepOutcome> outcomes;
    std::string table = "step\tpicture\tstatus\tbutton left\ttop\tright\tbottom\n";
    for (std::size_t i = 0; i < steps.size(); ++i) {
        const int number = static_cast<int>(i) + 1;
        char picture[32];
        std::snprintf(picture, sizeof picture, "step%02d.png", number);
        StepOutcome outcome = host.Play(steps[i], number, picture);
        std::printf("%s\n", StepLine(outcome).c_str());
        std::fflush(stdout);
        table += std::to_string(number) + "\t" + outcome.picture + "\t" + outcome.status + "\t" +
                 Rect(host.ButtonInPicture()) + "\n";
        outcomes.push_back(outcome);
    }
    host.Close();

    const std::string page = folder + "session.html";
    if (!WriteFile(page, SessionPage("Quillon: a browsing session", outcomes)) ||
        !WriteFile(folder + "session.tsv", table)) {
        std::fprintf(stderr, "quillon-browse: cannot write into %s\n", folder.c_str());
        return 2;
    }
    std::printf("%s\n", page.c_str());
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    try {
        Arguments arguments;
        if (!Parse(argc, argv, arguments)) {
            std::fputs(kUsage, stderr);
            return 2;
        }
        if (arguments.printSession) {
            std::fputs(DefaultSessionText(), stdout);
            return 0;
        }
        return Run(arguments);
    } catch (...) {
        std::fprintf(stderr, "quillon-browse: main: Exception thrown\n");
        return 1;
    }
}
