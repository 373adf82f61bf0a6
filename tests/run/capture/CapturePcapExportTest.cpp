// The tool's own capture output (--pcap: pcapng, exported PDUs naming the bicc or isup dissector
// and the message's two ends) reads back with its messages' octets, times and directions.
#include "base/Times.h"
#include "output/PcapExport.h"
#include "tests/run/capture/CaptureTestSupport.h"

#include <filesystem>
#include <fstream>

namespace truno::testing::capture {
namespace {

TEST(CapturePcapExport, TheToolsOwnCaptureReadsBackWithItsDirections) {
    struct Written {
        std::vector<std::string_view> octets;
        std::string_view direction;
        std::size_t cicOctets;
        std::int64_t at;  // milliseconds on the log's time line
    };
    const std::vector<Written> written = {
        {{"12", "00", "00", "00", "01", "10"}, "S", 4, 1000},
        {{"12", "00", "00", "00", "06", "16"}, "R", 4, 2500},
        {{"0F", "00", "10", "00"}, "R", 2, 3010},
        {{"0F", "00", "09", "00"}, "", 2, 4000},      // no direction: no addresses
        {{"0F", "00", "ZZ"}, "S", 2, 5000},           // not octets: written as text, for the "data" dissector
    };
    const std::filesystem::path file = std::filesystem::temp_directory_path() / "truno-capture-readback.pcapng";
    const std::int64_t day = *daysFromDate("2024-03-01");
    {
        PcapExport out;
        std::string error;
        ASSERT_TRUE(out.open(file.string(), error)) << error;
        out.beginLog(day, DateSource::Option);
        std::uint64_t record = 0;
        for (const Written& w : written) {
            RecordFacts facts;
            facts.record = ++record;
            facts.octets = w.octets;
            facts.directionText = w.direction;
            facts.direction = directionOf(w.direction);
            facts.cicOctets = w.cicOctets;
            out.add(facts, w.at);
        }
        ASSERT_TRUE(out.close(error)) << error;
    }
    std::ifstream in(file, std::ios::binary);
    const Read r = readAll(in);
    in.close();
    std::filesystem::remove(file);
    EXPECT_EQ(r.problemText(), "");
    ASSERT_EQ(r.messages.size(), 4u);
    const std::optional<bool> sides[] = {true, false, false, std::nullopt};
    const unsigned serviceIndicators[] = {13, 13, 5, 5};
    for (std::size_t i = 0; i < r.messages.size(); ++i) {
        SCOPED_TRACE(i);
        const Message& m = r.messages[i];
        EXPECT_EQ(m.packet, i + 1);
        EXPECT_EQ(m.si, serviceIndicators[i]);
        EXPECT_FALSE(m.pointCodesKnown);
        EXPECT_EQ(m.sentByThisSide, sides[i]);
        EXPECT_EQ(m.seconds, day * 86400 + written[i].at / 1000);
        EXPECT_EQ(m.nanoseconds, static_cast<std::uint32_t>(written[i].at % 1000) * 1000000u);
        ASSERT_EQ(m.userData.size(), written[i].octets.size());
        for (std::size_t k = 0; k < m.userData.size(); ++k)
            EXPECT_EQ(m.userData[k], std::stoul(std::string(written[i].octets[k]), nullptr, 16));
    }
    EXPECT_EQ(r.counts.packetsOfOtherProtocols, 1u);
}

}  // namespace
}  // namespace truno::testing::capture
