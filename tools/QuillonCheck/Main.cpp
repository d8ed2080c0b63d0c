// quillon-check: asks the rating service about sites and files, exactly as
// the add-on asks it, and prints the answers.
//
//   quillon-check [--timeout <ms>] [--no-start] <url or file>...
//
// An argument naming an existing file is checked by its MD5 checksum; any
// other is a site address ("http://" is assumed when no scheme is given).
// The service is started when none runs, unless --no-start is given.
// Exit code: 0 all answered, 1 some answer missing, 2 usage, 3 no service.
#include "tools/QuillonCheck/AnswerReport.h"
#include "tools/QuillonCheck/CServiceClient.h"
#include "utils/File/PathTests.h"
#include "utils/File/UFile.h"
#include "utils/Hash/UMD5.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

constexpr DWORD kDefaultTimeout = 10000;
constexpr DWORD kServiceStartTimeout = 15000;

struct Options {
    DWORD timeout = kDefaultTimeout;
    bool startService = true;
    std::vector<std::string> targets;
};

bool ParseArguments(int argc, char** argv, Options& options) {
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (argument == "--timeout" && i + 1 < argc)
            options.timeout = static_cast<DWORD>(std::strtoul(argv[++i], nullptr, 10));
        else if (argument == "--no-start")
            options.startService = false;
        else if (argument.compare(0, 2, "--") == 0)
            return false;
        else
            options.targets.push_back(argument);
    }
    return !options.targets.empty();
}

// The checksum of a whole file, read in pieces; empty when it cannot be read.
std::string FileChecksum(const std::string& path) {
    UFile file;
    if (!file.Open(path.c_str(), GENERIC_READ, OPEN_EXISTING))
        return std::string();
    UMD5 md5;
    std::vector<char> piece(64 * 1024);
    for (;;) {
        const long read = file.Read(piece.data(), static_cast<DWORD>(piece.size()));
        if (read < 0)
            return std::string();
        if (read == 0)
            break;
        md5.Update(piece.data(), static_cast<std::size_t>(read));
    }
    return md5.FinalHex();
}

bool IsFile(const std::string& target) {
    return GetPathAttributes(target) != -1 && !IsDirectory(target);
}

std::string AsUrl(const std::string& target) {
    return target.find("://") == std::string::npos ? "http://" + target : target;
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    if (!ParseArguments(argc, argv, options)) {
        std::fprintf(stderr, "usage: quillon-check [--timeout <ms>] [--no-start] <url or file>...\n");
        return 2;
    }
    const bool running = options.startService ? CServiceClient::EnsureServiceRunning(kServiceStartTimeout)
                                              : CServiceClient::IsServiceRunning();
    if (!running) {
        std::fprintf(stderr, "quillon-check: the rating service is not running\n");
        return 3;
    }
    CServiceClient client;
    if (!client.IsReady())
        return 3;

    bool allAnswered = true;
    for (const std::string& target : options.targets) {
        std::string report;
        if (IsFile(target)) {
            const std::string md5 = FileChecksum(target);
            std::unique_ptr<CClientMD5Results> verdict;
            if (!md5.empty())
                verdict = client.QueryChecksum(md5, "file:///" + target, options.timeout);
            allAnswered = allAnswered && verdict;
            report = DownloadReport(target, md5, verdict.get());
        } else {
            const std::string url = AsUrl(target);
            const SiteAnswer answer = client.QuerySite(url, options.timeout);
            allAnswered = allAnswered && answer.Complete();
            report = SiteReport(url, answer.verdict.get(), answer.facts.get(), answer.connectionFailed);
        }
        std::printf("%s\n", report.c_str());
        std::fflush(stdout);
    }
    return allAnswered ? 0 : 1;
}
