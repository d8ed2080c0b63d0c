// The real Quillon.exe in a process of its own, asked through real windows
// exactly as the add-on asks it.
#include "service/tests/ServiceProcess.h"
#include "service/tests/HttpClient.h"

#include "tests/support/DiagnosticCapture.h"
#include "tests/support/TestPaths.h"
#include "utils/Environment/PathMacros.h"
#include "utils/File/UFile.h"
#include "utils/Hash/UMD5.h"
#include "utils/iRPC/CClientConnectionFail.h"
#include "utils/iRPC/CClientMD5Results.h"
#include "utils/iRPC/CClientMetaResults.h"
#include "utils/iRPC/CClientURLResults.h"
#include "utils/iRPC/CServerMD5Query.h"
#include "utils/iRPC/CServerNotify.h"
#include "utils/iRPC/CServerURLFeedback.h"
#include "utils/iRPC/CServerURLQuery.h"
#include "utils/iRPC/CServerWhitelistList.h"
#include "utils/iRPC/CServerWhitelistQuery.h"
#include "utils/iRPC/RPCMessageTypes.h"
#include "utils/iRPC/RPCWindowHandle.h"
#include "utils/iRPC/RatingsHttpAddress.h"

#include <gtest/gtest.h>

#include <ctime>

namespace {

using rpc_testing::Delivery;
using namespace service_testing;

// The wire layouts written out by hand, independently of the classes' Marshal.
class Wire {
public:
    Wire& Int(std::int32_t value) {
        for (int shift = 0; shift < 32; shift += 8)
            bytes_ += static_cast<char>((static_cast<std::uint32_t>(value) >> shift) & 0xFF);
        return *this;
    }
    Wire& Bool(bool value) {
        bytes_ += static_cast<char>(value ? 1 : 0);
        return *this;
    }
    Wire& Text(const std::string& text) {  // MarshalString: "%" travels as "$PER$"
        std::string escaped;
        for (const char c : text)
            escaped += c == '%' ? std::string("$PER$") : std::string(1, c);
        return Int(static_cast<std::int32_t>(escaped.size())).Raw(escaped);
    }
    Wire& List(const std::vector<std::string>& items) {
        Int(static_cast<std::int32_t>(items.size()));
        for (const std::string& item : items)
            Int(static_cast<std::int32_t>(item.size())).Raw(item);
        return *this;
    }
    const std::string& Bytes() const { return bytes_; }

private:
    Wire& Raw(const std::string& bytes) {
        bytes_ += bytes;
        return *this;
    }
    std::string bytes_;
};

std::int32_t Int32At(const std::string& payload, std::size_t offset) {
    std::uint32_t value = 0;
    for (int i = 3; i >= 0; --i)
        value = (value << 8) | static_cast<std::uint8_t>(payload.at(offset + i));
    return static_cast<std::int32_t>(value);
}

std::string DataPath(const char* name) {
    std::string path = std::string("%DATA_DIR%") + name;
    NormalizePath(path);
    return path;
}

std::string ReadText(const std::string& path) {
    UBuffer bytes;
    if (!UFile::ReadFile(path, bytes))
        return std::string();
    return std::string(reinterpret_cast<const char*>(bytes.Data()), bytes.Size());
}

bool WriteText(const std::string& path, const std::string& text) {
    win::UniqueFile file(::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                       FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    return file && ::WriteFile(file.Get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
           written == text.size();
}

// Sends a raw WM_COPYDATA as a broken or hostile sender would: the result,
// or -1 when the service did not return within five seconds.
LRESULT SendRaw(HWND service, ULONG_PTR type, const std::string& payload, HWND reply) {
    COPYDATASTRUCT copyData = {};
    copyData.dwData = type;
    copyData.cbData = static_cast<DWORD>(payload.size());
    copyData.lpData = payload.empty() ? nullptr : const_cast<char*>(payload.data());
    DWORD_PTR result = 0;
    if (!::SendMessageTimeoutA(service, WM_COPYDATA, reinterpret_cast<WPARAM>(reply),
                               reinterpret_cast<LPARAM>(&copyData), SMTO_ABORTIFHUNG, 5000, &result))
        return -1;
    return static_cast<LRESULT>(result);
}

std::string PayloadOf(CRPCMsg& message, std::int32_t requestId) {
    UIOBuffer buffer;
    message.MarshalPayload(requestId, buffer);
    return std::string(reinterpret_cast<const char*>(buffer.Data()), buffer.Size());
}

class RatingService : public ::testing::Test {
protected:
    void SetUp() override {
        ::DeleteFileA(DataPath("whitelist.txt").c_str());
        ::DeleteFileA(DataPath("service-log.txt").c_str());
    }
    void TearDown() override {
        ::DeleteFileA(DataPath("whitelist.txt").c_str());
        ::DeleteFileA(DataPath("service-log.txt").c_str());
    }

    // The two answers to a site query, both carrying its id.
    void AskSite(ServiceClient& client, const std::string& url, std::int32_t id,
                 std::unique_ptr<CClientMetaResults>& facts, std::unique_ptr<CClientURLResults>& verdict,
                 std::vector<Delivery>* raw = nullptr) {
        CServerURLQuery query(url);
        const std::vector<Delivery> answers = client.Ask(query, id, 2);
        ASSERT_EQ(2u, answers.size()) << url;
        for (const Delivery& answer : answers)
            EXPECT_EQ(id, Int32At(answer.payload, 0));
        facts = AnswerOfType<CClientMetaResults>(answers, RPC_CLIENT_META_RESULTS);
        verdict = AnswerOfType<CClientURLResults>(answers, RPC_CLIENT_URL_RESULTS);
        ASSERT_TRUE(facts && verdict) << url;
        EXPECT_EQ(id, facts->RequestId());
        EXPECT_EQ(id, verdict->RequestId());
        if (raw)
            *raw = answers;
    }

    testing_support::DiagnosticCapture tool_;
};

TEST_F(RatingService, SiteQueryGetsFactsAndVerdictLaidOutAsOnTheWire) {
    ServiceProcess service;
    ASSERT_NE(nullptr, service.Window());
    ServiceClient client;
    std::unique_ptr<CClientMetaResults> facts;
    std::unique_ptr<CClientURLResults> verdict;
    std::vector<Delivery> answers;
    const auto now = static_cast<std::int32_t>(std::time(nullptr));
    ASSERT_NO_FATAL_FAILURE(AskSite(client, "http://shop.example.net/cart?item=100%25", 41, facts, verdict, &answers));

    const Delivery* verdictDelivery = nullptr;
    AnswerOfType<CClientURLResults>(answers, RPC_CLIENT_URL_RESULTS, &verdictDelivery);
    const std::string& payload = verdictDelivery->payload;
    const std::int32_t expiry = Int32At(payload, 8);
    EXPECT_GE(expiry, now + 3600 - 5);  // an hour at most, as the add-on's rule says
    EXPECT_LE(expiry, now + 3600 + 60);
    const std::string expected =
        Wire()
            .Int(41)
            .Int(4)
            .Int(expiry)
            .Text("shop.example.net")
            .Int(VERDICT_OK)
            .Int(COLOR_GREEN)
            .Text("We bought from this shop and got what we paid for. Terms & conditions are clear.")
            .Int(VERDICT_OK)
            .Text("Orders arrived on time; returns were refunded within two weeks.")
            .Int(VERDICT_OK)
            .Text(DefaultFacetDescription(FACET_DOWNLOADS, VERDICT_OK))
            .Int(VERDICT_OK)
            .Text("After signing up we received one order confirmation and a monthly newsletter.")
            .Int(VERDICT_OK)
            .Text(DefaultFacetDescription(FACET_ROGUE, VERDICT_OK))
            .Bytes();
    EXPECT_EQ(expected, payload);

    const Delivery* factsDelivery = nullptr;
    AnswerOfType<CClientMetaResults>(answers, RPC_CLIENT_META_RESULTS, &factsDelivery);
    const std::string expectedFacts = Wire()
                                          .Int(41)
                                          .Int(5)
                                          .Int(Int32At(factsDelivery->payload, 8))
                                          .Text("example.net")
                                          .List({"^https?://shop\\.example\\.net/"})
                                          .Text("5120")
                                          .Int(1100908800)  // 2004-11-20
                                          .Text("DE")
                                          .Text("Bavaria")
                                          .Text("Munich")
                                          .Text("DE")
                                          .Bool(false)
                                          .Bool(false)
                                          .Text("203.0.113.5")
                                          .Text("DE")
                                          .Text("20-Nov-2004")
                                          .Text("19-Nov-2027")
                                          .Bytes();
    EXPECT_EQ(expectedFacts, factsDelivery->payload);
}

TEST_F(RatingService, SitesAreFoundThroughParentDomainsWithTheirFacts) {
    ServiceProcess service;
    ASSERT_NE(nullptr, service.Window());
    ServiceClient client;
    std::unique_ptr<CClientMetaResults> facts;
    std::unique_ptr<CClientURLResults> verdict;

    ASSERT_NO_FATAL_FAILURE(AskSite(client, "https://a.b.EXAMPLE.com/path", 7, facts, verdict));
    EXPECT_EQ("example.com", verdict->Name());
    EXPECT_EQ(VERDICT_CERTIFIED, verdict->Code());
    EXPECT_EQ(COLOR_GREEN, verdict->Color());
    for (int facet = 0; facet < kFacetCount; ++facet)
        EXPECT_EQ(VERDICT_CERTIFIED, verdict->FacetCode(static_cast<VerdictFacet>(facet)));
    EXPECT_EQ("example.com", facts->BaseDomain());
    // Brackets are exchanged in the document and back by the add-on: it gets
    // the pattern as the database writes it.
    ASSERT_EQ(1u, facts->SitePatterns().size());
    EXPECT_EQ("^https?://([a-z0-9-]+\\.)*example\\.com(/|$)", facts->SitePatterns()[0]);
    EXPECT_EQ("192.0.2.10", facts->Address());
    EXPECT_EQ("US", facts->AddressCountry());

    // The nearest rated parent wins.
    ASSERT_NO_FATAL_FAILURE(AskSite(client, "http://www.forum.example.com/t/1", 8, facts, verdict));
    EXPECT_EQ("forum.example.com", verdict->Name());
    EXPECT_EQ(VERDICT_INFO, verdict->Code());
    EXPECT_EQ(COLOR_YELLOW, verdict->Color());
    EXPECT_EQ(VERDICT_INFO, verdict->FacetCode(FACET_DOWNLOADS));
    EXPECT_TRUE(facts->UserContent());

    ASSERT_NO_FATAL_FAILURE(AskSite(client, "http://freebies.example/get.exe", 9, facts, verdict));
    EXPECT_EQ(VERDICT_WARN, verdict->Code());
    EXPECT_EQ(COLOR_RED, verdict->Color());
    EXPECT_TRUE(facts->DynamicAddress());
    EXPECT_EQ("RU", facts->AddressCountry());
    EXPECT_EQ("PA", facts->RegistrantCountry());
}

TEST_F(RatingService, UnknownSitesAndChecksumsAreUnknownAndRatedFilesAreKnown) {
    ServiceProcess service;
    ASSERT_NE(nullptr, service.Window());
    ServiceClient client;
    std::unique_ptr<CClientMetaResults> facts;
    std::unique_ptr<CClientURLResults> verdict;
    ASSERT_NO_FATAL_FAILURE(AskSite(client, "http://nobody.example/", 3, facts, verdict));
    EXPECT_EQ("nobody.example", verdict->Name());
    EXPECT_EQ(VERDICT_UNKNOWN, verdict->Code());
    EXPECT_EQ(COLOR_GREY, verdict->Color());
    EXPECT_EQ(DefaultVerdictDescription(VERDICT_UNKNOWN), verdict->Description());
    EXPECT_EQ("", facts->BaseDomain());
    EXPECT_EQ(0, facts->CreationDate());
    EXPECT_TRUE(facts->SitePatterns().empty());
    EXPECT_EQ("", facts->Address());

    CServerMD5Query unknownFile("ffffffffffffffffffffffffffffffff", "http://nobody.example/x.exe");
    std::vector<Delivery> answers = client.Ask(unknownFile, 4, 1);
    ASSERT_EQ(1u, answers.size());
    const std::unique_ptr<CClientMD5Results> unknown = AnswerOfType<CClientMD5Results>(answers, RPC_CLIENT_MD5_RESULTS);
    ASSERT_TRUE(unknown);
    EXPECT_EQ(VERDICT_UNKNOWN, unknown->Code());
    EXPECT_EQ("Unknown checksum", unknown->Description());

    // The file "abc", as the download filter would checksum it.
    UMD5 md5;
    md5.Update("abc", 3);
    CServerMD5Query knownFile(md5.FinalHex(), "http://freebies.example/saver.exe");
    answers = client.Ask(knownFile, 5, 1);
    ASSERT_EQ(1u, answers.size());
    const std::string& payload = answers[0].payload;
    const std::string expected = Wire()
                                     .Int(5)
                                     .Int(2)
                                     .Int(Int32At(payload, 8))
                                     .Text("FreeScreensaver.exe")
                                     .Int(VERDICT_WARN)
                                     .Int(COLOR_RED)
                                     .Text("This program installs adware that shows pop-up advertising.")
                                     .Bytes();
    EXPECT_EQ(static_cast<std::uintptr_t>(RPC_CLIENT_MD5_RESULTS), answers[0].type);
    EXPECT_EQ(expected, payload);
}

TEST_F(RatingService, AnswersBatchRatingsOverLoopbackHttpFromTheSameStore) {
    ServiceProcess service;
    ASSERT_NE(nullptr, service.Window());
    // The window side's answer for the same site, to hold the HTTP side to it.
    ServiceClient client;
    std::unique_ptr<CClientMetaResults> facts;
    std::unique_ptr<CClientURLResults> verdict;
    ASSERT_NO_FATAL_FAILURE(AskSite(client, "http://www.freebies.example/", 6, facts, verdict));
    ASSERT_EQ(VERDICT_WARN, verdict->Code());

    const std::string response = RatingsRequest(
        kRatingsHttpPort, "http://www.freebies.example/\nhttps://forum.example.com/t/1\nhttp://nobody.example/\n");
    EXPECT_EQ(200, StatusOf(response)) << response;
    EXPECT_EQ("WARN red www.freebies.example\nINFO yellow forum.example.com\nUNKNOWN grey nobody.example\n",
              BodyOf(response));
    // Nothing of the user's is served, and nothing can be changed.
    EXPECT_EQ(404, StatusOf(HttpExchange(kRatingsHttpPort, "GET /whitelist HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n")));
    EXPECT_EQ(405, StatusOf(HttpExchange(kRatingsHttpPort, "PUT /ratings HTTP/1.1\r\nHost: 127.0.0.1\r\n"
                                                           "Content-Length: 1\r\n\r\nx")));
    // Stopped with the service: the port is free again.
    ASSERT_TRUE(service.Stop());
    EXPECT_EQ("", RatingsRequest(kRatingsHttpPort, "http://www.freebies.example/"));
}

TEST_F(RatingService, DoNotWarnListChangesAndSurvivesARestart) {
    {
        ServiceProcess service;
        ASSERT_NE(nullptr, service.Window());
        ServiceClient client;
        CServerWhitelistQuery replace(CServerWhitelistQuery::WHITELIST_QUERY_REPLACE, "a.example; b.example;;");
        CServerWhitelistQuery add(CServerWhitelistQuery::WHITELIST_QUERY_ADD, "C.example");
        CServerWhitelistQuery remove(CServerWhitelistQuery::WHITELIST_QUERY_REMOVE, "a.example");
        // Changes answer nothing; the request for the list comes after them.
        EXPECT_TRUE(client.Ask(replace, 1, 1, 300).empty());
        EXPECT_TRUE(client.Ask(add, 2, 1, 300).empty());
        EXPECT_TRUE(client.Ask(remove, 3, 1, 300).empty());
        CServerWhitelistQuery all(CServerWhitelistQuery::WHITELIST_QUERY_REQUESTALL, "");
        const std::vector<Delivery> answers = client.Ask(all, 4, 1);
        ASSERT_EQ(1u, answers.size());
        EXPECT_EQ(static_cast<std::uintptr_t>(RPC_CLIENT_WHITELIST_LIST), answers[0].type);
        EXPECT_EQ(Wire().Int(4).Int(1).Text("b.example;c.example").Bytes(), answers[0].payload);
        EXPECT_TRUE(service.Stop());
    }
    EXPECT_EQ(nullptr, FindServiceWindow());

    ServiceProcess restarted;
    ASSERT_NE(nullptr, restarted.Window());
    ServiceClient client;
    CServerWhitelistQuery all(CServerWhitelistQuery::WHITELIST_QUERY_REQUESTALL, "");
    const std::vector<Delivery> answers = client.Ask(all, 5, 1);
    ASSERT_EQ(1u, answers.size());
    const std::unique_ptr<CServerWhitelistList> list =
        AnswerOfType<CServerWhitelistList>(answers, RPC_CLIENT_WHITELIST_LIST);
    ASSERT_TRUE(list);
    EXPECT_EQ("b.example;c.example", list->List());
    EXPECT_EQ(5, list->RequestId());
}

// Each kind of change saves the list by itself, also when no other change follows it.
TEST_F(RatingService, EveryChangeAloneIsSavedAcrossARestart) {
    const struct {
        int kind;
        const char* text;
        const char* expected;
    } changes[] = {
        {CServerWhitelistQuery::WHITELIST_QUERY_ADD, "www.Added.example", "a.example;www.added.example"},
        {CServerWhitelistQuery::WHITELIST_QUERY_REMOVE, "a.example", ""},
        {CServerWhitelistQuery::WHITELIST_QUERY_REPLACE, "r.example;s.example", "r.example;s.example"},
    };
    for (const auto& change : changes) {
        ASSERT_TRUE(WriteText(DataPath("whitelist.txt"), "a.example\r\n"));
        {
            ServiceProcess service;
            ASSERT_NE(nullptr, service.Window());
            ServiceClient client;
            CServerWhitelistQuery query(change.kind, change.text);
            EXPECT_TRUE(client.Ask(query, 1, 1, 300).empty());
            EXPECT_TRUE(service.Stop());
        }
        ServiceProcess restarted;
        ASSERT_NE(nullptr, restarted.Window());
        ServiceClient client;
        CServerWhitelistQuery all(CServerWhitelistQuery::WHITELIST_QUERY_REQUESTALL, "");
        const std::unique_ptr<CServerWhitelistList> list =
            AnswerOfType<CServerWhitelistList>(client.Ask(all, 2, 1), RPC_CLIENT_WHITELIST_LIST);
        ASSERT_TRUE(list) << change.text;
        EXPECT_EQ(change.expected, list->List()) << change.text;
        EXPECT_TRUE(restarted.Stop());
    }
}

TEST_F(RatingService, ASecondInstanceLeavesAtOnceAndStopEndsTheFirst) {
    ServiceProcess service;
    ASSERT_NE(nullptr, service.Window());
    EXPECT_EQ(0, RunToEnd(ServiceProgram(), "", 5000));
    EXPECT_EQ(service.Window(), FindServiceWindow());  // the first one still serves
    ServiceClient client;
    std::unique_ptr<CClientMetaResults> facts;
    std::unique_ptr<CClientURLResults> verdict;
    ASSERT_NO_FATAL_FAILURE(AskSite(client, "http://games.example/", 1, facts, verdict));

    EXPECT_TRUE(service.Stop());
    EXPECT_EQ(nullptr, FindServiceWindow());
    EXPECT_EQ(0, RunToEnd(ServiceProgram(), "/stop", 5000));  // none running: nothing to do
    EXPECT_EQ(2, RunToEnd(ServiceProgram(), "/bogus", 5000));
    EXPECT_TRUE(tool_.Reported("WinMain", "unknown argument \"/bogus\""));
}

TEST_F(RatingService, BadInputIsDroppedAndTheNextQueryAnswered) {
    ServiceProcess service;
    const HWND window = service.Window();
    ASSERT_NE(nullptr, window);
    ServiceClient client;
    const HWND reply = client.Window();

    CServerURLQuery query("http://games.example/");
    const std::string good = PayloadOf(query, 1);
    EXPECT_EQ(FALSE, SendRaw(window, RPC_SERVER_URL_QUERY, "", reply));              // no data
    EXPECT_EQ(FALSE, SendRaw(window, 77, good, reply));                              // unknown type
    EXPECT_EQ(FALSE, SendRaw(window, RPC_SERVER_URL_QUERY, good.substr(0, 6), reply));  // cut in the version
    std::string wrongVersion = good;
    wrongVersion[4] = 9;
    EXPECT_EQ(FALSE, SendRaw(window, RPC_SERVER_URL_QUERY, wrongVersion, reply));
    EXPECT_EQ(FALSE, SendRaw(window, RPC_SERVER_MD5_QUERY, std::string(64, '\xFF'), reply));
    CClientConnectionFail result;  // an answer sent to the service
    EXPECT_EQ(FALSE, SendRaw(window, RPC_CLIENT_CONNECTION_FAIL, PayloadOf(result, 2), reply));
    CServerNotify huge(std::string(70 * 1024, 'n'));
    EXPECT_EQ(FALSE, SendRaw(window, RPC_SERVER_NOTIFY, PayloadOf(huge, 3), reply));
    EXPECT_TRUE(tool_.Reported("CRPCMsg::Receive", "Couldn't marshal rpc data"));
    EXPECT_TRUE(tool_.Reported("CRPCMsg::Receive", "No rpc data"));

    // A string cut short still decodes (the bytes present); the answer goes out.
    EXPECT_EQ(TRUE, SendRaw(window, RPC_SERVER_URL_QUERY, good.substr(0, good.size() - 3), reply));

    // A flood to a reply window that no longer exists, and notices by the hundred.
    HWND gone = ::CreateWindowExA(0, "STATIC", "gone", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(nullptr, gone);
    ::DestroyWindow(gone);
    int accepted = 0;
    for (int i = 0; i < 300; ++i)
        accepted += SendRaw(window, RPC_SERVER_URL_QUERY, good, gone) == TRUE;
    CServerNotify notice("type=phishing&name=flood.example");
    for (int i = 0; i < 100; ++i)
        accepted += SendRaw(window, RPC_SERVER_NOTIFY, PayloadOf(notice, 0), nullptr) == TRUE;
    EXPECT_EQ(400, accepted);

    std::unique_ptr<CClientMetaResults> facts;
    std::unique_ptr<CClientURLResults> verdict;
    ASSERT_NO_FATAL_FAILURE(AskSite(client, "http://games.example/", 99, facts, verdict));
    EXPECT_EQ("games.example", verdict->Name());
    EXPECT_EQ(service.Window(), FindServiceWindow());

    // The cut query was answered too (its two answers came before the last two).
    EXPECT_EQ(4u, client.AllDeliveries().size());

    EXPECT_TRUE(service.Stop());
    const std::string log = ReadText(DataPath("service-log.txt"));
    EXPECT_NE(std::string::npos, log.find("dropped message type 77 (**Unknown**)"));
    EXPECT_NE(std::string::npos, log.find("dropped CClientConnectionFail: not a request"));
    EXPECT_NE(std::string::npos, log.find("has gone"));
    EXPECT_NE(std::string::npos, log.find("dropped message type 9 (SERVER_NOTIFY), 71692 bytes: too big"));
    // The flood is counted, not written line by line.
    std::size_t goneLines = 0;
    for (std::size_t at = log.find("has gone"); at != std::string::npos; at = log.find("has gone", at + 1))
        ++goneLines;
    EXPECT_LT(goneLines, 100u);
    EXPECT_NE(std::string::npos, log.find("not logged one by one"));
}

TEST_F(RatingService, NoticesAndFeedbackAreLoggedNotAnswered) {
    ServiceProcess service;
    ASSERT_NE(nullptr, service.Window());
    ServiceClient client;
    CServerNotify notice("type=override&url=http://files.example.net/a.exe&cksum=0cc175b9c0f1b6a831c399e269772661");
    CServerURLFeedback feedback("http://games.example/100%", 3);
    EXPECT_TRUE(client.Ask(notice, 0, 1, 300).empty());
    EXPECT_TRUE(client.Ask(feedback, 0, 1, 300).empty());

    std::string log;
    for (int attempt = 0; attempt < 100 && log.find("feedback") == std::string::npos; ++attempt) {
        ::Sleep(50);
        log = ReadText(DataPath("service-log.txt"));
    }
    EXPECT_NE(std::string::npos,
              log.find("notice: type=override&url=http://files.example.net/a.exe&cksum=0cc175b9c0f1b6a831c399e269772661\r\n"));
    EXPECT_NE(std::string::npos, log.find("feedback: 3 http://games.example/100%\r\n"));
}

TEST_F(RatingService, MissingOrDamagedDatabaseIsReportedAndEverythingIsUnknown) {
    testing_support::ScratchDirectory scratch("QuillonServiceRatings");
    const std::string missing = scratch.Path() + "missing.txt";
    {
        ServiceProcess service("/ratings \"" + missing + "\"");
        ASSERT_NE(nullptr, service.Window());
        EXPECT_TRUE(tool_.Reported("LoadRatings", ("Ratings database missing: " + missing).c_str()));
        ServiceClient client;
        std::unique_ptr<CClientMetaResults> facts;
        std::unique_ptr<CClientURLResults> verdict;
        ASSERT_NO_FATAL_FAILURE(AskSite(client, "http://bank.example/", 1, facts, verdict));
        EXPECT_EQ(VERDICT_UNKNOWN, verdict->Code());
        EXPECT_EQ(COLOR_GREY, verdict->Color());
    }

    const std::string damaged = scratch.Path() + "damaged.txt";
    ASSERT_TRUE(testing_support::WriteWholeFile(
        damaged, "[site bank.example]\r\nverdict = WARN\r\nverdict = SUPERB\r\n[site other.example]\r\nverdict = OK\r\n"));
    ServiceProcess service("/ratings \"" + damaged + "\"");
    ASSERT_NE(nullptr, service.Window());
    EXPECT_TRUE(tool_.Reported("CRatingsStore::Load", (damaged + " line 3: unknown verdict \"SUPERB\"").c_str()));
    ServiceClient client;
    std::unique_ptr<CClientMetaResults> facts;
    std::unique_ptr<CClientURLResults> verdict;
    ASSERT_NO_FATAL_FAILURE(AskSite(client, "http://other.example/", 2, facts, verdict));
    EXPECT_EQ(VERDICT_UNKNOWN, verdict->Code());
    CServerMD5Query file("d41d8cd98f00b204e9800998ecf8427e", "");
    const std::vector<Delivery> answers = client.Ask(file, 3, 1);
    const std::unique_ptr<CClientMD5Results> download = AnswerOfType<CClientMD5Results>(answers, RPC_CLIENT_MD5_RESULTS);
    ASSERT_TRUE(download);
    EXPECT_EQ(VERDICT_UNKNOWN, download->Code());
}

TEST_F(RatingService, DatabaseGivenByPathOrBuiltInIsUsed) {
    testing_support::ScratchDirectory scratch("QuillonServiceOwnRatings");
    const std::string own = scratch.Path() + "own ratings.txt";
    ASSERT_TRUE(testing_support::WriteWholeFile(own, "[site bank.example]\nverdict = WARN\ndescription = Test\n"));
    {
        ServiceProcess service("/ratings \"" + own + "\"");
        ASSERT_NE(nullptr, service.Window());
        ServiceClient client;
        std::unique_ptr<CClientMetaResults> facts;
        std::unique_ptr<CClientURLResults> verdict;
        ASSERT_NO_FATAL_FAILURE(AskSite(client, "http://online.bank.example/", 1, facts, verdict));
        EXPECT_EQ(VERDICT_WARN, verdict->Code());
        EXPECT_EQ("Test", verdict->Description());
    }

    // A copy of the program with no ratings.txt beside it reads its own resource.
    const std::string copy = scratch.Path() + "Quillon.exe";
    ASSERT_TRUE(::CopyFileA(ServiceProgram().c_str(), copy.c_str(), FALSE));
    ServiceProcess service("", copy);
    ASSERT_NE(nullptr, service.Window());
    ServiceClient client;
    std::unique_ptr<CClientMetaResults> facts;
    std::unique_ptr<CClientURLResults> verdict;
    ASSERT_NO_FATAL_FAILURE(AskSite(client, "http://online.bank.example/", 2, facts, verdict));
    EXPECT_EQ(VERDICT_CERTIFIED, verdict->Code());
    EXPECT_EQ("bank.example", verdict->Name());
    EXPECT_TRUE(tool_.Lines().empty()) << tool_.Lines()[0];
    EXPECT_TRUE(service.Stop());
}

}  // namespace
