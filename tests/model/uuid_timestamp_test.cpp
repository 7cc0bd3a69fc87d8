#include "model/timestamp.h"
#include "model/uuid.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace qw {
namespace {

using namespace std::chrono;

TEST(Uuid, ParsesEitherCaseAndWritesUpperCase) {
    const auto upper = Uuid::parse("3F2504E0-4F89-41D3-9A0C-0305E82C3301");
    const auto lower = Uuid::parse("3f2504e0-4f89-41d3-9a0c-0305e82c3301");
    ASSERT_TRUE(upper);
    ASSERT_TRUE(lower);
    EXPECT_EQ(*upper, *lower);
    EXPECT_EQ(lower->string(), "3F2504E0-4F89-41D3-9A0C-0305E82C3301");
    EXPECT_EQ(upper->bytes()[0], 0x3F);
    EXPECT_EQ(upper->bytes()[15], 0x01);
    EXPECT_EQ(Uuid().string(), "00000000-0000-0000-0000-000000000000");
}

TEST(Uuid, RejectsAnythingButThe8_4_4_4_12Form) {
    const char* bad[] = {
        "",
        "3F2504E0-4F89-41D3-9A0C-0305E82C330",   // one digit short
        "3F2504E0-4F89-41D3-9A0C-0305E82C33011", // one digit long
        "3F2504E04F8941D39A0C0305E82C3301",      // no dashes
        "3F2504E0-4F89-41D3-9A0C-0305E82C330G",  // not hexadecimal
        "3F2504E-04F89-41D3-9A0C-0305E82C3301",  // dash one place early
        "3F2504E0-4F89-41D3-9A0C0-305E82C3301",  // dash one place late
        "3F2504E0-4F89-41D3-9A0C_0305E82C3301",
        "{3F2504E0-4F89-41D3-9A0C-0305E82C3301}",
        " 3F2504E0-4F89-41D3-9A0C-0305E82C330",
        "3F2504E0-4F89-41D3-9A0C-0305E82C33\xC3\xA9",
    };
    for (const char* text : bad) {
        SCOPED_TRACE(text);
        EXPECT_FALSE(Uuid::parse(text));
    }
}

TEST(Uuid, RandomUuidsAreVersion4AndReadBack) {
    std::set<Uuid> seen;
    for (int i = 0; i < 16; ++i) {
        const Uuid uuid = Uuid::random();
        EXPECT_EQ(uuid.bytes()[6] >> 4, 4);
        EXPECT_EQ(uuid.bytes()[8] & 0xC0, 0x80);
        EXPECT_EQ(Uuid::parse(uuid.string()), uuid);
        seen.insert(uuid);
    }
    EXPECT_EQ(seen.size(), 16u);
}

TEST(Timestamp, FormatsAndParsesWholeSecondsInUtc) {
    const Timestamp t = sys_days{2026y / January / 31} + 9h + 5min;
    EXPECT_EQ(formatTimestamp(t), "2026-01-31T09:05:00Z");
    EXPECT_EQ(parseTimestamp("2026-01-31T09:05:00Z"), t);

    const struct {
        const char* text;
        Timestamp time;
    } cases[] = {
        {"1970-01-01T00:00:00Z", Timestamp{}},
        {"1969-12-31T23:59:59Z", Timestamp{} - 1s},
        {"2024-02-29T23:59:59Z", sys_days{2024y / February / 29} + 23h + 59min + 59s},
        {"0001-01-01T00:00:00Z", sys_days{year{1} / January / 1}},
        {"9999-12-31T23:59:59Z", sys_days{year{9999} / December / 31} + 23h + 59min + 59s},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(parseTimestamp(c.text), c.time);
        EXPECT_EQ(formatTimestamp(c.time), c.text);
    }
}

TEST(Timestamp, RejectsEveryOtherForm) {
    const char* bad[] = {
        "2026-01-31T09:05:00.000Z", // fractional seconds
        "2026-01-31T09:05:00.5Z",
        "2026-01-31T09:05:00",      // no zone
        "2026-01-31T09:05:00+00:00",
        "2026-01-31t09:05:00z",
        "2026-01-31 09:05:00Z",
        "2026-1-31T09:05:00Z",
        "2026-02-30T09:05:00Z",     // no such day
        "2025-02-29T09:05:00Z",
        "2026-13-01T09:05:00Z",
        "2026-00-10T09:05:00Z",
        "2026-01-31T24:00:00Z",
        "2026-01-31T09:60:00Z",
        "2026-01-31T09:05:60Z",
        "+026-01-31T09:05:00Z",
        "2026-01-31T09:05:0aZ",
        "1769850300",
        "",
    };
    for (const char* text : bad) {
        SCOPED_TRACE(text);
        EXPECT_FALSE(parseTimestamp(text));
    }
}

TEST(Timestamp, WholeSecondsRoundsDown) {
    const auto t = system_clock::time_point{} + 1500ms;
    EXPECT_EQ(wholeSeconds(t), Timestamp{} + 1s);
    EXPECT_EQ(wholeSeconds(system_clock::time_point{} - 500ms), Timestamp{} - 1s);
}

} // namespace
} // namespace qw
