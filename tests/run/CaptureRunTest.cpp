// The run over a capture: the time of day of a packet as a log writes it (cut, not rounded, on
// the UTC day), and a real capture's records numbered on from the run's first record, with the
// summary's packet counts after the message counts.
#include "run/CaptureRun.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>

namespace truno {
namespace {

TEST(CaptureRun, TimeOfDayIsCutToHundredths) {
    struct Case {
        std::int64_t seconds;
        std::uint32_t nanoseconds;
        const char* text;
    };
    const Case cases[] = {
        {.seconds = 0, .nanoseconds = 0, .text = "00:00:00.00"},
        {.seconds = 1408627385, .nanoseconds = 596000000, .text = "13:23:05.59"},  // cut, not 05.60
        {.seconds = 86399, .nanoseconds = 999999999, .text = "23:59:59.99"},        // not the next day
        {.seconds = 86400 * 3 + 3600, .nanoseconds = 9999999, .text = "01:00:00.00"},
        {.seconds = -1, .nanoseconds = 50000000, .text = "23:59:59.05"},            // before 1970
        {.seconds = 59, .nanoseconds = 4000000000U, .text = "00:00:59.99"},         // past a second: held
    };
    for (const Case& c : cases) EXPECT_EQ(captureTimeOfDay(c.seconds, c.nanoseconds), c.text) << c.seconds;
}

TEST(CaptureRun, RecordsNumberedOnWithThePacketCounts) {
    std::ifstream in(std::string(TRUNO_SOURCE_DIR) + "/tests/captures/isup-m3ua-call-6.pcap", std::ios::binary);
    ASSERT_TRUE(in);
    RunOptions options;
    options.firstRecord = 10;
    std::vector<std::uint64_t> records;
    std::vector<std::uint64_t> packets;
    options.records = [&](const RecordFacts& r) {
        records.push_back(r.record);
        packets.push_back(r.wire.packet);
        EXPECT_EQ(r.cicOctets, 2u);
        EXPECT_EQ(r.logDate.size(), 10u);
    };
    std::string report;
    const RunSummary s = decodeCapture(in, [&](std::string_view t) { report += t; }, options);
    EXPECT_EQ(records, (std::vector<std::uint64_t>{10, 11, 12, 13, 14, 15}));
    EXPECT_EQ(packets, (std::vector<std::uint64_t>{1, 2, 3, 4, 5, 6}));
    EXPECT_EQ(s.found, 6u);
    EXPECT_EQ(s.decoded, 6u);
    EXPECT_TRUE(everythingDecoded(s));
    EXPECT_NE(report.find("RECORD 15 "), std::string::npos);
    const std::string text = summaryText(s);
    EXPECT_EQ(text.substr(0, text.find('\n')), "6 messages found, 6 decoded, 0 not decoded");
    EXPECT_NE(text.find("\ncapture: 6 packets, 6 with ISUP or BICC; 6 messages (6 ISUP, 0 BICC)"), std::string::npos) << text;
}

}  // namespace
}  // namespace truno
