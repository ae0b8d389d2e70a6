#pragma once
// Base of the tests that need the real PC/SC stack: a private pcscd with two virtual
// readers, started for each test (each test runs in its own process under ctest, in
// its own mount namespace). Without the rights to make the namespace the test is
// reported skipped, with the reason.

#include "PrivatePcscd.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace integration {

inline constexpr char kReaderA[] = "Virtual Reader A";
inline constexpr char kReaderB[] = "Virtual Reader B";

// ATRs of the card-type table, and one card it does not know.
inline constexpr char kAmbrelAtr[] = "3F6525002C09699000";
inline constexpr char kCps1TestAtr[] = "3B2C00001225006480810010009000";
inline constexpr char kCps2TestAtr[] = "3BAC00402A001225006480810210009000";
inline constexpr char kUnknownAtr[] = "3B021450";

class PcscdTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        const std::string& problem = virtual_reader::privateServiceProblem();
        if (!problem.empty()) GTEST_SKIP() << problem;
        pcscd = std::make_unique<virtual_reader::PrivatePcscd>(std::vector<std::string>{kReaderA, kReaderB});
        const std::string failure = pcscd->start();
        ASSERT_EQ(failure, "");
    }

    // pcscd must end cleanly after every test: its exit status is 0.
    void TearDown() override
    {
        if (pcscd) {
            EXPECT_EQ(pcscd->stop(), "");
        }
        pcscd.reset();
    }

    std::unique_ptr<virtual_reader::PrivatePcscd> pcscd;
};

}  // namespace integration
