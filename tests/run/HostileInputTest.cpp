// Logs that are not what a capture tool writes: none may crash, hang or make memory grow
// without bound, and every message found keeps its one record.
#include "run/LogReader.h"
#include "dispatch/MessageTypes.h"
#include "tests/run/TestSupport.h"
#include "tests/support/PeakMemory.h"

#include <gtest/gtest.h>

#include <random>
#include <streambuf>

namespace truno {
namespace {

using namespace truno::testing;

// Records in a report: every banner's record line follows a rule of "#" and CR LF.
int records(const std::string& report) { return countOf(report, "#\r\nRECORD "); }

void expectAccounted(const RunResult& r) {
    EXPECT_EQ(r.summary.found, r.summary.decoded + r.summary.notDecoded);
    EXPECT_EQ(static_cast<std::uint64_t>(records(r.report)), r.summary.found);
    EXPECT_EQ(static_cast<std::uint64_t>(countOf(r.report, std::string(kNotDecodedMarker))), r.summary.notDecoded);
    for (const char c : r.report) {
        const auto u = static_cast<unsigned char>(c);
        ASSERT_FALSE((u < 0x20 && c != '\r' && c != '\n') || u == 0x7F) << "control character " << int(u);
    }
}

TEST(HostileInput, BinaryAndNulBytes) {
    std::mt19937 rng(7);
    std::string binary(1 << 16, '\0');
    for (auto& c : binary) c = static_cast<char>(rng());
    const std::string withNul = logOf({"00 00 00 00 10 00"}) + kColumns + "\r\n" +
                                dataLine("1", "S", std::string("00  00  00  00  1\0  00", 22)) + "\r\n\r\n" +
                                std::string(1000, '\0');
    for (const std::string& log : {binary, kTraceHeader + "\r\n" + kTraceValues + "\r\n" + kColumns + "\r\n" + binary, withNul}) {
        const RunResult r = run(log);
        expectAccounted(r);
    }
    const RunResult nul = run(withNul);
    EXPECT_EQ(nul.summary.found, 2u);
    EXPECT_EQ(nul.summary.notDecoded, 1u);
    EXPECT_NE(nul.report.find("UNKNOWN MESSAGE TYPE (code 1\\x00)"), std::string::npos);
}

// A stream of `size` bytes of one character, made on the fly.
class RepeatBuf : public std::streambuf {
public:
    RepeatBuf(char c, std::uint64_t size) : left_(size) { std::fill(std::begin(chunk_), std::end(chunk_), c); }

protected:
    int_type underflow() override {
        if (left_ == 0) return traits_type::eof();
        const std::uint64_t n = std::min<std::uint64_t>(sizeof chunk_, left_);
        left_ -= n;
        setg(chunk_, chunk_, chunk_ + n);
        return traits_type::to_int_type(chunk_[0]);
    }

private:
    char chunk_[1 << 16];
    std::uint64_t left_;
};

TEST(HostileInput, AOneGibibyteLineKeepsMemoryBounded) {
    const long before = peakRssKb();
    RepeatBuf buf('7', std::uint64_t{1} << 30);
    std::istream in(&buf);
    LineSource lines(in);
    std::string_view line;
    ASSERT_TRUE(lines.next(line));
    EXPECT_EQ(line.size(), LineSource::kMaxLine);
    EXPECT_FALSE(lines.next(line));
    EXPECT_LT(peakRssKb() - before, 64 * 1024) << "KiB of peak memory grew";
}

TEST(HostileInput, MillionsOfBlankLinesAndEndlessMessages) {
    std::string blanks = logOf({}) + kColumns + "\r\n";
    blanks.append(6'000'000, '\n');
    const RunResult b = run(blanks);
    expectAccounted(b);
    EXPECT_EQ(b.summary.found, 1u);  // the blank line right after the column header

    std::string endless = logOf({}) + kColumns + "\r\n";
    const std::string line = dataLine("1", "S", logOctets("00 00 00 00 01 10 60 01 0A 00 02 09 07 03 10 21 43 65 87 09 0A"));
    for (int i = 0; i < 100'000; ++i) endless += line + "\r\n";
    const RunResult e = run(endless);
    expectAccounted(e);
    EXPECT_EQ(e.summary.notDecoded, 1u);
    EXPECT_LT(e.report.size(), 3 * LogReader::kMaxMessageData);
}

TEST(HostileInput, PointersAndLengthsThatPointAnywhere) {
    // Every pointer and length value in a few layouts, from 00 to FF.
    std::vector<std::string> messages;
    static const char* hex = "0123456789ABCDEF";
    for (int v = 0; v < 256; ++v) {
        const std::string x{hex[v >> 4], hex[v & 15]};
        messages.push_back("00 00 00 00 01 10 60 01 0A 00 " + x + " 02 03 03 10 21 00");       // called number pointer
        messages.push_back("00 00 00 00 01 10 60 01 0A 00 02 " + x + " 03 03 10 21 11 02 14 01 00");  // optional pointer
        messages.push_back("00 00 00 00 0C 02 00 " + x + " 80 90");                            // cause length
        messages.push_back("00 00 00 00 06 16 14 01 11 " + x + " 14 01 00");                   // parameter length
        messages.push_back("00 00 00 00 18 00 " + x + " 02 07 FF");                            // range and status pointer
    }
    const RunResult r = run(logOf(messages));
    expectAccounted(r);
    EXPECT_EQ(r.summary.found, messages.size());
    EXPECT_GT(r.summary.decoded, 0u);
    EXPECT_GT(r.summary.notDecoded, 0u);
}

// Random damage to a valid log: bytes changed, lines dropped or doubled. Whatever comes out,
// the records and the counts must agree.
TEST(HostileInput, DamagedLogsKeepTheAccountingInvariant) {
    std::vector<std::string> messages;
    for (int i = 0; i < 40; ++i) {
        messages.push_back("2A 00 00 00 01 10 60 01 0A 00 02 09 07 03 10 21 43 65 87 09 0A 08 04 13 44 21 43 65 87 09 08 01 00 00");
        messages.push_back("2A 00 00 00 0C 02 00 02 80 90");
        messages.push_back("2A 00 00 00 06 16 14 01 29 01 01 00");
    }
    const std::string valid = logOf(messages);
    std::mt19937 rng(2026);
    const char alphabet[] = "0123456789ABCDEFa \r\n\t#TIMEPAGEDATA";
    for (int round = 0; round < 200; ++round) {
        std::string log = valid;
        const int edits = 1 + static_cast<int>(rng() % 40);
        for (int e = 0; e < edits; ++e) {
            const std::size_t at = rng() % log.size();
            switch (rng() % 3) {
                case 0: log[at] = alphabet[rng() % (sizeof alphabet - 1)]; break;
                case 1: log.erase(at, rng() % 64); break;
                default: log.insert(at, log.substr(at, rng() % 64)); break;
            }
        }
        SCOPED_TRACE(round);
        expectAccounted(run(log));
    }
}

}  // namespace
}  // namespace truno
