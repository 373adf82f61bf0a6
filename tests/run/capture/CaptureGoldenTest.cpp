// The real captures against the logs of the same messages (tests/golden), read by the log
// reader: the same messages in the same order, the same octets, times and directions. The point
// codes were held against tshark's reading of the same files.
#include "run/capture/CaptureReader.h"
#include "run/LogReader.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace truno {
namespace {

std::string path(const std::string& relative) { return std::string(TRUNO_SOURCE_DIR) + "/tests/" + relative; }

// A message as a log writes it: TIME (UTC time of day in hundredths, cut), DIR and octets.
struct LogView {
    std::string time;
    std::string direction;
    std::string octets;  // "0F 00 00 00 01 ..."
    std::uint32_t opc = 0;
    std::uint32_t dpc = 0;
};

std::string hex(std::uint8_t octet) {
    char text[4];
    std::snprintf(text, sizeof text, "%02X", octet);
    return text;
}

std::string timeOfDay(std::int64_t seconds, std::uint32_t nanoseconds) {
    const std::int64_t inDay = seconds % 86400;
    char text[16];
    std::snprintf(text, sizeof text, "%02d:%02d:%02d.%02u", static_cast<int>(inDay / 3600), static_cast<int>(inDay / 60 % 60),
                  static_cast<int>(inDay % 60), nanoseconds / 10000000);
    return text;
}

struct CaptureRead {
    std::vector<LogView> messages;  // of ISUP and BICC
    CaptureCounts counts;
    std::uint64_t problems = 0;
    bool cutShort = false;
    std::string fatal;
};

CaptureRead readCapture(const std::string& file) {
    std::ifstream in(path("captures/" + file), std::ios::binary);
    EXPECT_TRUE(in) << file;
    CaptureReader reader(in);
    CaptureRead read;
    std::uint32_t firstOpc = 0;
    for (CapturedMessage m; reader.next(m);) {
        if (m.si != kServiceIndicatorIsup && m.si != kServiceIndicatorBicc) continue;
        if (read.messages.empty()) firstOpc = m.opc;
        LogView v;
        v.time = timeOfDay(m.seconds, m.nanoseconds);
        v.direction.assign(1, m.opc == firstOpc ? 'S' : 'R');
        v.opc = m.opc;
        v.dpc = m.dpc;
        for (std::size_t i = 0; i < m.userData.size(); ++i) {
            if (i != 0) v.octets += ' ';
            v.octets += hex(m.userData[i]);
            // The log's four octets before the type code: the circuit code, then two 00 octets.
            if (m.si == kServiceIndicatorIsup && i == 1) v.octets += " 00 00";
        }
        read.messages.push_back(v);
    }
    read.counts = reader.counts();
    read.problems = reader.problemCount();
    read.cutShort = reader.cutShort();
    read.fatal = reader.fatalError();
    return read;
}

std::vector<LogView> readLog(const std::string& file) {
    std::ifstream in(path("golden/" + file), std::ios::binary);
    EXPECT_TRUE(in) << file;
    LogReader reader(in);
    std::vector<LogView> out;
    for (LogMessage m; reader.next(m);) {
        LogView v;
        v.time = m.time;
        v.direction = m.direction;
        for (const std::string_view octet : m.octets) {
            if (!v.octets.empty()) v.octets += ' ';
            v.octets += octet;
        }
        out.push_back(v);
    }
    return out;
}

struct Golden {
    const char* capture;
    const char* log;
    std::uint64_t packets;
    std::uint64_t packetsWithIsupOrBicc;
    std::uint32_t firstOpc, firstDpc;  // as tshark reads them
};

constexpr Golden kGolden[] = {
    {.capture = "isup-m3ua-calls-470.cap", .log = "isup-m3ua-calls-470.log", .packets = 810, .packetsWithIsupOrBicc = 423, .firstOpc = 1, .firstDpc = 2},
    {.capture = "isup-m3ua-call-6.pcap", .log = "isup-m3ua-call-6.log", .packets = 6, .packetsWithIsupOrBicc = 6, .firstOpc = 11522, .firstDpc = 12163},
    {.capture = "isup-m2pa-call-6.pcap", .log = "isup-m2pa-call-6.log", .packets = 6, .packetsWithIsupOrBicc = 6, .firstOpc = 3684, .firstDpc = 15392},
    {.capture = "bicc-iam-app-1.pcap", .log = "bicc-iam-app-1.log", .packets = 1, .packetsWithIsupOrBicc = 1, .firstOpc = 329729, .firstDpc = 75781},
};

TEST(CaptureGolden, MessagesAreThoseOfTheLogOfTheSameName) {
    for (const Golden& g : kGolden) {
        SCOPED_TRACE(g.capture);
        const CaptureRead capture = readCapture(g.capture);
        const std::vector<LogView> log = readLog(g.log);
        EXPECT_EQ(capture.fatal, "");
        EXPECT_FALSE(capture.cutShort);
        EXPECT_EQ(capture.problems, 0u);
        EXPECT_EQ(capture.counts.packets, g.packets);
        EXPECT_EQ(capture.counts.packetsWithIsupOrBicc, g.packetsWithIsupOrBicc);
        ASSERT_EQ(capture.messages.size(), log.size());
        ASSERT_FALSE(log.empty());
        EXPECT_EQ(capture.messages[0].opc, g.firstOpc);
        EXPECT_EQ(capture.messages[0].dpc, g.firstDpc);
        for (std::size_t i = 0; i < log.size(); ++i) {
            SCOPED_TRACE("message " + std::to_string(i + 1));
            EXPECT_EQ(capture.messages[i].octets, log[i].octets);
            EXPECT_EQ(capture.messages[i].time, log[i].time);
            EXPECT_EQ(capture.messages[i].direction, log[i].direction);
        }
    }
}

TEST(CaptureGolden, CapturesWithoutIsupOrBiccCountTheirPackets) {
    struct NoIsup {
        const char* capture;
        std::uint64_t packets;
        std::uint64_t sccpMessages;  // service indicator 3, as tshark finds them
    };
    for (const NoIsup& n : {NoIsup{"no-isup-sccp-m3ua.cap", 16, 1}, NoIsup{"no-isup-tcap-mtp2.pcap", 1, 1}}) {
        SCOPED_TRACE(n.capture);
        const CaptureRead capture = readCapture(n.capture);
        EXPECT_TRUE(capture.messages.empty());
        EXPECT_EQ(capture.counts.packets, n.packets);
        EXPECT_EQ(capture.counts.packetsWithIsupOrBicc, 0u);
        EXPECT_EQ(capture.counts.messagesByServiceIndicator[3], n.sccpMessages);
        EXPECT_EQ(capture.counts.messages, n.sccpMessages);
        EXPECT_EQ(capture.counts.packetsOfOtherProtocols, n.packets - n.sccpMessages);
        EXPECT_EQ(capture.problems, 0u);
    }
}

}  // namespace
}  // namespace truno
