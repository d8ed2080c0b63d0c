#include "utils/iRPC/CRPCMsg.h"
#include "utils/iRPC/CServerMD5Query.h"
#include "utils/iRPC/CServerNotify.h"
#include "utils/iRPC/CServerURLFeedback.h"
#include "utils/iRPC/CServerURLQuery.h"
#include "utils/iRPC/CServerWhitelistQuery.h"
#include "utils/iRPC/RPCMessageFactory.h"
#include "utils/iRPC/RPCMessageTypes.h"
#include "utils/iRPC/StringTable.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>

namespace {

std::string Payload(CRPCMsg& message, std::int32_t requestId) {
    UIOBuffer buffer;
    EXPECT_TRUE(message.MarshalPayload(requestId, buffer));
    return std::string(reinterpret_cast<const char*>(buffer.Data()), buffer.Size());
}

template <typename Message>
std::unique_ptr<Message> RoundTrip(CRPCMsg& sent, std::int32_t requestId, RPCWindow sender) {
    const std::string wire = Payload(sent, requestId);
    std::unique_ptr<CRPCMsg> received =
        CRPCMsg::Decode(static_cast<std::uintptr_t>(sent.Type()), sender, wire.data(), wire.size());
    EXPECT_NE(nullptr, received);
    auto* typed = dynamic_cast<Message*>(received.get());
    EXPECT_NE(nullptr, typed);
    if (!typed)
        return nullptr;
    received.release();
    EXPECT_EQ(requestId, typed->RequestId());
    EXPECT_EQ(sender, typed->SenderWindow());
    EXPECT_EQ(sent.GetVersion(), typed->Version());
    return std::unique_ptr<Message>(typed);
}

// Decodes bytes written out by hand, as the other end would have sent them.
template <typename Message>
std::unique_ptr<Message> FromWire(std::int32_t type, const std::string& wire) {
    std::unique_ptr<CRPCMsg> received =
        CRPCMsg::Decode(static_cast<std::uintptr_t>(type), 0, wire.data(), wire.size());
    auto* typed = dynamic_cast<Message*>(received.get());
    if (typed)
        received.release();
    return std::unique_ptr<Message>(typed);
}

// Pointer-sized on purpose: a 64-bit handle must arrive whole.
const RPCWindow kSender = static_cast<RPCWindow>(sizeof(void*) == 8 ? 0x1234567890ull : 0x90abcdefu);

TEST(RequestMessages, EveryClassHasItsTypeAndVersion) {
    EXPECT_EQ(0, CServerURLQuery().Type());
    EXPECT_EQ(1, CServerURLQuery().GetVersion());
    EXPECT_EQ(3, CServerURLFeedback().Type());
    EXPECT_EQ(1, CServerURLFeedback().GetVersion());
    EXPECT_EQ(5, CServerMD5Query().Type());
    EXPECT_EQ(2, CServerMD5Query().GetVersion());
    EXPECT_EQ(7, CServerWhitelistQuery().Type());
    EXPECT_EQ(1, CServerWhitelistQuery().GetVersion());
    EXPECT_EQ(9, CServerNotify().Type());
    EXPECT_EQ(1, CServerNotify().GetVersion());
}

TEST(RequestMessages, URLQueryPayloadBytesAndPercentOnTheWire) {
    CServerURLQuery query("http://a.example/%41");
    EXPECT_EQ(std::string("\x2a\0\0\0" "\x01\0\0\0" "\x18\0\0\0" "http://a.example/$PER$41", 36),
              Payload(query, 42));
    auto back = RoundTrip<CServerURLQuery>(query, 42, kSender);
    ASSERT_NE(nullptr, back);
    EXPECT_EQ("http://a.example/%41", back->Url());
    EXPECT_EQ("CServerURLQuery http://a.example/%41", back->ToString());
}

TEST(RequestMessages, RequestAllListQueryIsTwelveBytesAfterTheRequestId) {
    CServerWhitelistQuery query(CServerWhitelistQuery::WHITELIST_QUERY_REQUESTALL, "");
    EXPECT_EQ(std::string("\0\0\0\0" "\x01\0\0\0" "\x02\0\0\0" "\0\0\0\0", 16), Payload(query, 0));
}

// Field order matters on both ends: only exact bytes show two swapped fields.
TEST(RequestMessages, FeedbackAndChecksumQueryBytesOnTheWire) {
    const std::string feedbackWire("\xff\xff\xff\xff" "\x01\0\0\0" "\x15\0\0\0" "site.example/100$PER$"
                                   "\xf9\xff\xff\xff",
                                   37);
    CServerURLFeedback feedback("site.example/100%", -7);
    EXPECT_EQ(feedbackWire, Payload(feedback, -1));
    const auto feedbackBack = FromWire<CServerURLFeedback>(3, feedbackWire);
    ASSERT_NE(nullptr, feedbackBack);
    EXPECT_EQ("site.example/100%", feedbackBack->Url());
    EXPECT_EQ(-7, feedbackBack->Value());

    const std::string md5Wire(std::string("\x07\0\0\0" "\x02\0\0\0" "\x20\0\0\0", 12) +
                              "0123456789abcdef0123456789abcdef" + std::string("\x19\0\0\0", 4) +
                              "http://dl.example/a b.exe");
    CServerMD5Query query("0123456789abcdef0123456789abcdef", "http://dl.example/a b.exe");
    EXPECT_EQ(md5Wire, Payload(query, 7));
    const auto queryBack = FromWire<CServerMD5Query>(5, md5Wire);
    ASSERT_NE(nullptr, queryBack);
    EXPECT_EQ("0123456789abcdef0123456789abcdef", queryBack->Checksum());
    EXPECT_EQ("http://dl.example/a b.exe", queryBack->Url());
}

TEST(RequestMessages, FeedbackRoundTrip) {
    CServerURLFeedback feedback("site.example/100%", -7);
    auto back = RoundTrip<CServerURLFeedback>(feedback, -1, kSender);
    ASSERT_NE(nullptr, back);
    EXPECT_EQ("site.example/100%", back->Url());
    EXPECT_EQ(-7, back->Value());
    EXPECT_EQ("CServerURLFeedback [1] site.example/100% -7", back->ToString());
}

TEST(RequestMessages, MD5QueryRoundTrip) {
    CServerMD5Query query("0123456789abcdef0123456789abcdef", "http://dl.example/a b.exe");
    auto back = RoundTrip<CServerMD5Query>(query, 7, 0);
    ASSERT_NE(nullptr, back);
    EXPECT_EQ("0123456789abcdef0123456789abcdef", back->Checksum());
    EXPECT_EQ("http://dl.example/a b.exe", back->Url());
    EXPECT_EQ("CServerMD5Query [2] 0123456789abcdef0123456789abcdef", back->ToString());
}

TEST(RequestMessages, WhitelistQueryRoundTrip) {
    CServerWhitelistQuery query(CServerWhitelistQuery::WHITELIST_QUERY_REPLACE, "a.example;b.example");
    auto back = RoundTrip<CServerWhitelistQuery>(query, 3, kSender);
    ASSERT_NE(nullptr, back);
    EXPECT_EQ(3, back->GetOperation());
    EXPECT_EQ("a.example;b.example", back->Text());
    EXPECT_EQ("CServerWhitelistQuery [1] 3 a.example;b.example", back->ToString());
    EXPECT_STREQ("WHITELIST_QUERY_REQUESTALL",
                 IndexToString(CServerWhitelistQuery::WHITELIST_QUERY_REQUESTALL,
                               CServerWhitelistQuery::kOperationNames));
    EXPECT_STREQ("**Unknown**", IndexToString(CServerWhitelistQuery::WHITELIST_QUERY_REPLACE,
                                              CServerWhitelistQuery::kOperationNames));
}

TEST(RequestMessages, NotifyRoundTrip) {
    CServerNotify notify("type=phishing&name=bad%20site.example");
    auto back = RoundTrip<CServerNotify>(notify, 0, kSender);
    ASSERT_NE(nullptr, back);
    EXPECT_EQ("type=phishing&name=bad%20site.example", back->Text());
    EXPECT_EQ("CServerNotify [1] type=phishing&name=bad%20site.example", back->ToString());
}

TEST(Decode, VersionMismatchGivesNoObject) {
    // A CServerMD5Query payload claiming version 1.
    const std::string wire("\x05\0\0\0" "\x01\0\0\0" "\x01\0\0\0x" "\x01\0\0\0y", 18);
    EXPECT_EQ(nullptr, CRPCMsg::Decode(RPC_SERVER_MD5_QUERY, kSender, wire.data(), wire.size()));
    // And an empty payload.
    EXPECT_EQ(nullptr, CRPCMsg::Decode(RPC_SERVER_NOTIFY, kSender, wire.data(), 0));
    EXPECT_EQ(nullptr, CRPCMsg::Decode(RPC_SERVER_NOTIFY, kSender, nullptr, 4));
}

TEST(Decode, ShortPayloadKeepsWhatIsPresent) {
    // Request id, version, then a text announced as 20 bytes with 5 present.
    const std::string wire("\x09\0\0\0" "\x01\0\0\0" "\x14\0\0\0" "typ%e", 17);
    auto message = CRPCMsg::Decode(RPC_SERVER_NOTIFY, kSender, wire.data(), wire.size());
    ASSERT_NE(nullptr, message);
    EXPECT_EQ(9, message->RequestId());
    EXPECT_EQ("CServerNotify [1] typ%e", message->ToString());

    // Only the request id: the version reads as 0 and is refused.
    EXPECT_EQ(nullptr, CRPCMsg::Decode(RPC_SERVER_NOTIFY, kSender, wire.data(), 4));
    EXPECT_EQ(nullptr, CRPCMsg::Decode(RPC_SERVER_NOTIFY, kSender, wire.data(), 2));
}

TEST(Decode, TypesWithoutAClassGiveNoObject) {
    CServerNotify notify("x");
    const std::string wire = Payload(notify, 1);
    for (std::uintptr_t type : {std::uintptr_t{10}, std::uintptr_t{11}, std::uintptr_t{0xffffffffu},
                                static_cast<std::uintptr_t>(-1)})
        EXPECT_EQ(nullptr, CRPCMsg::Decode(type, kSender, wire.data(), wire.size())) << type;
    // A dwData that only matches a request type in its low 32 bits.
    if (sizeof(std::uintptr_t) == 8) {
        const auto wide = static_cast<std::uintptr_t>(static_cast<std::uint64_t>(1) << 32 | 9u);
        EXPECT_EQ(nullptr, CRPCMsg::Decode(wide, kSender, wire.data(), wire.size()));
    }
    EXPECT_NE(nullptr, CreateRPCMessage(RPC_SERVER_NOTIFY));
}

TEST(Send, ZeroTargetIsRefusedBeforeAnythingElse) {
    CServerNotify notify("x");
    EXPECT_FALSE(notify.Send(0, 0, 5));
    EXPECT_EQ(0, notify.RequestId());
}

TEST(StringTable, NamesOfMessageTypes) {
    EXPECT_STREQ("SERVER_URL_QUERY", IndexToString(0, kRPCMessageTypeNames));
    EXPECT_STREQ("CLIENT_WHITELIST_LIST", IndexToString(8, kRPCMessageTypeNames));
    EXPECT_STREQ("SERVER_NOTIFY", IndexToString(9, kRPCMessageTypeNames));
    EXPECT_STREQ("**Unknown**", IndexToString(10, kRPCMessageTypeNames));
    EXPECT_STREQ("**Unknown**", IndexToString(-1, kRPCMessageTypeNames));
    EXPECT_EQ(5, StringToIndex("SERVER_MD5_QUERY", kRPCMessageTypeNames));
    EXPECT_EQ(-1, StringToIndex("server_md5_query", kRPCMessageTypeNames));
    EXPECT_EQ(-1, StringToIndex("SERVER_MD5_QUERY ", kRPCMessageTypeNames));
    EXPECT_EQ(-1, StringToIndex(nullptr, kRPCMessageTypeNames));
    const char* const duplicates[] = {"a", "b", "a", nullptr};
    EXPECT_EQ(0, StringToIndex("a", duplicates));
}

#ifndef _WIN32
// Natively reports go to standard error (under Wine the transport tests
// watch them through the diagnostic window).
template <typename Action>
std::string ReportsDuring(Action action) {
    testing::internal::CaptureStderr();
    action();
    return testing::internal::GetCapturedStderr();
}

TEST(Decode, ReportsEmptyPayloadsAndVersionMismatchesButNotUnknownTypes) {
    CServerNotify notify("x");
    std::string wire = Payload(notify, 1);
    std::string reports = ReportsDuring([&] { CRPCMsg::Decode(RPC_SERVER_NOTIFY, 0, wire.data(), 0); });
    EXPECT_NE(std::string::npos, reports.find("CRPCMsg::Receive")) << reports;
    EXPECT_NE(std::string::npos, reports.find("No rpc data")) << reports;

    EXPECT_EQ("", ReportsDuring([&] { CRPCMsg::Decode(10, 0, wire.data(), wire.size()); }));

    wire[4] = 3;
    reports = ReportsDuring([&] { CRPCMsg::Decode(RPC_SERVER_NOTIFY, 0, wire.data(), wire.size()); });
    EXPECT_NE(std::string::npos, reports.find("Couldn't marshal rpc data")) << reports;
}

TEST(StringTable, UnknownNameIsReportedWithItsText) {
    const std::string reports = ReportsDuring([] { StringToIndex("FOO", kRPCMessageTypeNames); });
    EXPECT_NE(std::string::npos, reports.find("StringToIndex")) << reports;
    EXPECT_NE(std::string::npos, reports.find("FOO")) << reports;
    EXPECT_EQ("", ReportsDuring([] { StringToIndex("SERVER_NOTIFY", kRPCMessageTypeNames); }));
}
#endif

class Unfinished : public CRPCMsg {
public:
    Unfinished() : CRPCMsg(RPC_SERVER_NOTIFY, 1) {}
    std::int32_t GetVersion() const override { return 1; }
    bool Marshal(bool, UIOBuffer&) override { return true; }
};

TEST(ToString, BaseFormIsTheClassName) {
    EXPECT_EQ("CRPCMsg", Unfinished().ToString());
}

}  // namespace
