#include "utils/Crypto/CCryptoChain.h"

#include "ReportProbe.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

namespace {

// A stage that appends its name to a shared log and to the buffer, and may
// be told to fail.
class LoggingStage : public CCrypto {
public:
    LoggingStage(char name, std::string& log, bool fails = false, int* destroyed = nullptr)
        : name_(name), log_(log), fails_(fails), destroyed_(destroyed) {}
    ~LoggingStage() override {
        if (destroyed_)
            ++*destroyed_;
    }
    bool Encrypt(UIOBuffer& buffer) override { return Step('E', buffer); }
    bool Decrypt(UIOBuffer& buffer) override { return Step('D', buffer); }

private:
    bool Step(char direction, UIOBuffer& buffer) {
        log_ += direction;
        log_ += name_;
        if (fails_)
            return false;
        buffer.SetPosition(static_cast<std::int64_t>(buffer.Size()));
        buffer.Write(&name_, 1);
        return true;
    }

    char name_;
    std::string& log_;
    bool fails_;
    int* destroyed_;
};

class PassiveStage : public CCrypto {};

TEST(CCryptoChain, EncryptRunsInOrderAndDecryptInReverse) {
    std::string log;
    CCryptoChain chain;
    ASSERT_TRUE(chain.AddCrypto(std::make_unique<LoggingStage>('a', log)));
    ASSERT_TRUE(chain.AddCrypto(std::make_unique<LoggingStage>('b', log)));
    ASSERT_TRUE(chain.AddCrypto(std::make_unique<LoggingStage>('c', log)));
    UIOBuffer buffer;
    EXPECT_TRUE(chain.Encrypt(buffer));
    EXPECT_TRUE(chain.Decrypt(buffer));
    EXPECT_EQ("EaEbEcDcDbDa", log);
    EXPECT_EQ(6u, buffer.Size());
}

TEST(CCryptoChain, FirstFailingStageStopsTheRun) {
    std::string log;
    CCryptoChain chain;
    chain.AddCrypto(std::make_unique<LoggingStage>('a', log));
    chain.AddCrypto(std::make_unique<LoggingStage>('b', log, true));
    chain.AddCrypto(std::make_unique<LoggingStage>('c', log));
    UIOBuffer buffer("z", 1);
    EXPECT_FALSE(chain.Encrypt(buffer));
    EXPECT_EQ("EaEb", log);
    log.clear();
    EXPECT_FALSE(chain.Decrypt(buffer));
    EXPECT_EQ("DcDb", log);
    // Stage a (and c) did write, but a failed run leaves the buffer as it was.
    ASSERT_EQ(1u, buffer.Size());
    EXPECT_EQ('z', buffer.Data()[0]);
}

TEST(CCryptoChain, EmptyChainAndDefaultStagesChangeNothing) {
    CCryptoChain chain;
    UIOBuffer buffer("same", 4);
    EXPECT_TRUE(chain.Encrypt(buffer));
    EXPECT_TRUE(chain.AddCrypto(std::make_unique<PassiveStage>()));
    EXPECT_TRUE(chain.Encrypt(buffer));
    EXPECT_TRUE(chain.Decrypt(buffer));
    ASSERT_EQ(4u, buffer.Size());
    EXPECT_EQ(0, std::memcmp("same", buffer.Data(), 4));
}

TEST(CCryptoChain, NullStageIsReportedAndNotAdded) {
    ReportProbe reports;
    CCryptoChain chain;
    EXPECT_FALSE(chain.AddCrypto(nullptr));
    EXPECT_EQ(0u, chain.Count());
    EXPECT_TRUE(reports.Reported("CCryptoChain::AddCrypto", "NULL pointer"));
}

TEST(CCryptoChain, EleventhStageIsRefusedAndEveryStageIsDestroyed) {
    std::string log;
    int destroyed = 0;
    {
        ReportProbe reports;
        CCryptoChain chain;
        for (char name = '0'; name <= '9'; ++name)
            ASSERT_TRUE(chain.AddCrypto(std::make_unique<LoggingStage>(name, log, false, &destroyed)));
        EXPECT_FALSE(chain.AddCrypto(std::make_unique<LoggingStage>('X', log, false, &destroyed)));
        EXPECT_EQ(1, destroyed);  // the refused stage was not kept
        EXPECT_EQ(CCryptoChain::kMaxStages, chain.Count());
        EXPECT_TRUE(reports.Reported("CCryptoChain::AddCrypto", "Too many stages"));
        UIOBuffer buffer;
        EXPECT_TRUE(chain.Encrypt(buffer));
        EXPECT_EQ("E0E1E2E3E4E5E6E7E8E9", log);

        CCryptoChain moved = std::move(chain);
        EXPECT_EQ(1, destroyed);
        EXPECT_EQ(0u, chain.Count());
        EXPECT_TRUE(chain.Encrypt(buffer));  // moved-from: empty, still safe
        EXPECT_EQ(CCryptoChain::kMaxStages, moved.Count());
    }
    EXPECT_EQ(11, destroyed);
}

}  // namespace
