// Captures that are damaged or built to hurt: each gives a named problem or a fatal error, in
// bounded time and memory, never a crash or a message read from octets that are not there.
#include "tests/run/capture/CaptureTestSupport.h"
#include "tests/support/PeakMemory.h"

#include <algorithm>
#include <functional>
#include <streambuf>

namespace truno::testing::capture {
namespace {

const Bytes kIsup = {0x05, 0x00, 0x10, 0x00};
const Mtp3Fields kRoute{.si = 5, .opc = 100, .dpc = 200};

std::string oneFrame(const Bytes& frame, unsigned linkType = 1) { return pcap({.linkType = linkType}, {{.data = frame}}); }
Bytes overSctp(const Bytes& chunks) { return ethernet(ipv4({}, join({sctp(2905, 2905, {}), chunks}))); }

struct Hostile {
    const char* name;
    std::string file;
    const char* fatal = nullptr;    // part of the fatal error, when there is one
    const char* problem = nullptr;  // part of a named problem
    bool cutShort = false;
};

TEST(CaptureHostile, EachDamageIsNamed) {
    const Bytes m3ua = m3uaData(kRoute, kIsup);
    const Bytes msu = mtp3(kRoute, kIsup);
    Bytes pcapHeader4Gb = {0xD4, 0xC3, 0xB2, 0xA1, 2, 0, 4, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF, 1, 0, 0, 0};
    Bytes hugeRecord = pcapHeader4Gb;
    put32le(hugeRecord, 1);
    put32le(hugeRecord, 0);
    put32le(hugeRecord, 0xFFFFFFFF);
    put32le(hugeRecord, 0xFFFFFFFF);
    hugeRecord.resize(hugeRecord.size() + 100, 0);
    Bytes block0 = sectionHeader();
    put32le(block0, 6);
    put32le(block0, 0);
    Bytes block14 = sectionHeader();
    put32le(block14, 6);
    put32le(block14, 14);
    block14.resize(block14.size() + 8, 0);
    Bytes badTrailer = join({sectionHeader(), pcapngBlock(5, Bytes(8, 0))});
    badTrailer[badTrailer.size() - 4] = 0x30;
    Bytes epbPastBlock = join({sectionHeader(), interfaceBlock(1)});
    {
        Bytes body;
        put32le(body, 0);
        put32le(body, 0);
        put32le(body, 0);
        put32le(body, 500);  // captured length
        put32le(body, 500);
        body.resize(body.size() + 40, 0);
        append(epbPastBlock, pcapngBlock(6, body));
    }
    Bytes hugeBlock = join({sectionHeader(), interfaceBlock(1)});
    put32le(hugeBlock, 6);
    put32le(hugeBlock, 0x7FFFFFF0);
    hugeBlock.resize(hugeBlock.size() + 64, 0);
    Bytes exportedPdu;
    put16be(exportedPdu, 12);
    put16be(exportedPdu, 400);
    exportedPdu.insert(exportedPdu.end(), {'i', 's', 'u', 'p'});
    Bytes ipv6Long = ipv6(132, sctp(2905, 2905, {}));
    ipv6Long[5] = 200;  // payload length
    const auto fragment = [&](unsigned offset, bool more) {
        return ethernet(ipv4({.identification = 3, .fragmentOffset = offset, .moreFragments = more}, Bytes(16, 1)));
    };

    const Hostile cases[] = {
        {.name = "empty file", .file = "", .fatal = "the file is empty"},
        {.name = "text", .file = "USER       BCIC        DEV\r\n", .fatal = "not a pcap or pcapng capture file"},
        {.name = "pcap header cut", .file = text(Bytes(pcapHeader4Gb.begin(), pcapHeader4Gb.begin() + 10)), .fatal = "inside its pcap file header"},
        {.name = "pcapng section header without its byte-order magic", .file = text({0x0A, 0x0D, 0x0D, 0x0A, 28, 0, 0, 0, 1, 2, 3, 4}),
         .fatal = "no byte-order magic"},
        {.name = "packet of 4 GB", .file = text(hugeRecord), .problem = "packet 1: its captured length of 4294967295 octets is more than the 262144 read",
         .cutShort = true},
        {.name = "packet past the end of the file", .file = text(Bytes(hugeRecord.begin(), hugeRecord.begin() + 24)) +
                                                              pcap({}, {{.data = Bytes(10, 0), .capturedLengthOverride = 1000}}).substr(24),
         .problem = "packet 1: the file ends after 10 of the 1000 octets of the packet (cut short)", .cutShort = true},
        {.name = "pcapng block length 0", .file = text(block0), .fatal = "(type 6) has length 0, less than the 12 octets of a block"},
        {.name = "pcapng block length not a multiple of 4", .file = text(block14), .fatal = "has length 14, not a multiple of 4"},
        {.name = "pcapng trailing length differs", .file = text(badTrailer), .fatal = "ends with length 48, not its length 20"},
        {.name = "pcapng packet past its block", .file = text(epbPastBlock), .problem = "packet 1: its captured length of 500 octets runs past the 40 of its pcapng block"},
        {.name = "pcapng packet on no interface", .file = text(join({sectionHeader(), enhancedPacket(2, 0, msu)})),
         .problem = "packet 1: pcapng interface 2 is not described (0 interfaces before it)"},
        {.name = "pcapng block of 2 GB", .file = text(hugeBlock), .problem = "packet 1: its pcapng block of 2147483632 octets is more than the", .cutShort = true},
        {.name = "SCTP chunk of length 0", .file = oneFrame(overSctp(Bytes(64, 0))), .problem = "SCTP chunk length 0 is less than its 4-octet header"},
        {.name = "SCTP chunk past the packet", .file = oneFrame(overSctp(sctpData({.lengthOverride = 900}, m3ua))),
         .problem = "packet 1: SCTP chunk length 900 runs past the packet's 52 octets"},
        {.name = "SCTP DATA chunk shorter than its header", .file = oneFrame(overSctp(sctpChunk(0, Bytes(8, 0)))), .problem = "shorter than its 16-octet header"},
        {.name = "M3UA length past its data", .file = oneFrame(overSctp(sctpData({}, sigtran(1, 1, Bytes(8, 0), 900)))),
         .problem = "packet 1: M3UA message length 900 runs past the 16 octets of its SCTP data"},
        {.name = "M3UA length below its header", .file = oneFrame(overSctp(sctpData({}, sigtran(1, 1, Bytes(8, 0), 4)))), .problem = "M3UA message length 4 is less"},
        {.name = "M3UA parameter past its message", .file = oneFrame(overSctp(sctpData({}, sigtran(1, 1, parameter(0x0210, Bytes(16, 0), 900))))),
         .problem = "M3UA parameter 0x0210 length 900 runs past the 20 octets left of its message"},
        {.name = "M3UA protocol data too short", .file = oneFrame(overSctp(sctpData({}, sigtran(1, 1, parameter(0x0210, Bytes(6, 0)))))),
         .problem = "M3UA protocol data of 6 octets is shorter"},
        {.name = "M3UA service indicator past 4 bits", .file = oneFrame(overSctp(sctpData({}, m3uaData({.si = 0x85}, kIsup)))),
         .problem = "M3UA protocol data has service indicator 133, more than 15"},
        {.name = "M3UA of another version", .file = oneFrame(overSctp(sctpData({}, join({{2}, Bytes(m3ua.begin() + 1, m3ua.end())})))),
         .problem = "M3UA message of version 2 is not read"},
        {.name = "M2PA length past its data", .file = oneFrame(overSctp(sctpData({.ppid = 5}, sigtran(11, 1, Bytes(9, 0), 300)))),
         .problem = "M2PA message length 300 runs past"},
        {.name = "MTP3 shorter than its label", .file = oneFrame(overSctp(sctpData({.ppid = 5}, m2paUserData({0x85, 1, 2})))),
         .problem = "MTP3 message of 3 octets is shorter than its service information octet and 4-octet routing label"},
        {.name = "MTP2 length indicator past the frame", .file = oneFrame({0x81, 0x82, 30, 0x85, 1, 2, 3, 4}, 140),
         .problem = "MTP2 length indicator 30 is more than the 5 octets that follow it"},
        {.name = "exported PDU tag past the packet", .file = oneFrame(exportedPdu, 252), .problem = "exported PDU tag 12 of length 400 runs past"},
        {.name = "IPv4 total length past the frame", .file = oneFrame(join({Bytes(12, 0), {0x08, 0x00, 0x45, 0, 0x05, 0xDC}, Bytes(60, 0)})),
         .problem = "IPv4 total length 1500 runs past the packet's 64 octets"},
        {.name = "IPv6 payload length past the frame", .file = oneFrame(ipv6Long, 229), .problem = "IPv6 payload length 200 runs past"},
        {.name = "IPv4 fragments that never complete", .file = pcap({}, {{.data = fragment(0, true)}, {.data = fragment(32, false)}}),
         .problem = "packet 1: IPv4 datagram 3 from 10.0.0.1 to 10.0.0.2 never completed (2 fragments seen, last in packet 2; the file ended)"},
        {.name = "IPv4 fragment past 64 KiB", .file = oneFrame(ethernet(ipv4({.fragmentOffset = 65528, .moreFragments = false}, Bytes(16, 1)))),
         .problem = "ends past the 65535 octets of a datagram"},
        {.name = "SCTP fragments that never complete", .file = oneFrame(overSctp(sctpData({.flags = 0x02}, Bytes(m3ua.begin(), m3ua.begin() + 12)))),
         .problem = "packet 1: 1 fragment of SCTP messages from 10.0.0.1:2905 to 10.0.0.2:2905 (stream 1, TSN 1) never completed: the file ended"},
    };
    for (const Hostile& c : cases) {
        SCOPED_TRACE(c.name);
        const Read r = readAll(c.file);
        EXPECT_TRUE(r.messages.empty());
        if (c.fatal != nullptr) {
            EXPECT_NE(r.fatal.find(c.fatal), std::string::npos) << r.fatal;
        } else {
            EXPECT_EQ(r.fatal, "");
        }
        if (c.problem != nullptr) {
            EXPECT_TRUE(r.hasProblem(c.problem)) << r.problemText();
        }
        EXPECT_EQ(r.cutShort, c.cutShort);
    }
}

TEST(CaptureHostile, FourGigabyteSnapLengthReadsAsUsual) {
    std::string file = pcap({.snapLength = 0xFFFFFFFF}, {{.data = m3uaFrame(kRoute, kIsup, 1)}});
    const Read r = readAll(file);
    EXPECT_EQ(r.messages.size(), 1u);
    EXPECT_EQ(r.problemCount, 0u);
}

TEST(CaptureHostile, FileCutAtEveryLengthGivesEveryPacketBeforeTheCut) {
    const std::vector<Packet> packets = {{.data = m3uaFrame(kRoute, kIsup, 1)}, {.data = m3uaFrame(kRoute, kIsup, 2)},
                                         {.data = m3uaFrame(kRoute, kIsup, 3)}};
    struct Format {
        const char* name;
        std::string file;
        std::size_t fatalBelow;               // the file header
        std::vector<std::size_t> boundaries;  // where a record or block ends
        std::vector<std::size_t> packetEnds;
    };
    Format pcapFormat{.name = "pcap", .file = pcap({}, packets), .fatalBelow = 24, .boundaries = {24}, .packetEnds = {}};
    for (std::size_t at = 24, i = 0; i < packets.size(); ++i) pcapFormat.packetEnds.push_back(at += 16 + packets[i].data.size());
    Bytes ng = sectionHeader();
    Format pcapngFormat{.name = "pcapng", .file = "", .fatalBelow = ng.size(), .boundaries = {ng.size()}, .packetEnds = {}};
    append(ng, interfaceBlock(1));
    pcapngFormat.boundaries.push_back(ng.size());
    for (const Packet& p : packets) {
        append(ng, enhancedPacket(0, 0, p.data));
        pcapngFormat.packetEnds.push_back(ng.size());
    }
    pcapngFormat.file = text(ng);
    for (Format f : {pcapFormat, pcapngFormat}) {
        f.boundaries.insert(f.boundaries.end(), f.packetEnds.begin(), f.packetEnds.end());
        for (std::size_t size = 0; size < f.file.size(); ++size) {
            SCOPED_TRACE(std::string(f.name) + " cut at " + std::to_string(size));
            const Read r = readAll(f.file.substr(0, size));
            std::size_t whole = 0;
            while (whole < f.packetEnds.size() && f.packetEnds[whole] <= size) ++whole;
            EXPECT_EQ(r.messages.size(), whole);
            EXPECT_EQ(r.fatal.empty(), size >= f.fatalBelow) << r.fatal;
            const bool atBoundary = std::find(f.boundaries.begin(), f.boundaries.end(), size) != f.boundaries.end();
            EXPECT_EQ(r.cutShort, size >= f.fatalBelow && !atBoundary);
        }
    }
}

TEST(CaptureHostile, EachLayerCutAtEveryLengthGivesNoMessage) {
    const Bytes msu = mtp3(kRoute, kIsup);
    Bytes pdu;
    put16be(pdu, 12);
    put16be(pdu, 4);
    pdu.insert(pdu.end(), {'i', 's', 'u', 'p'});
    put16be(pdu, 0);
    put16be(pdu, 0);
    append(pdu, kIsup);
    const Bytes hopByHop = {132, 0, 1, 4, 0, 0, 0, 0};
    struct Layer {
        const char* name;
        Bytes whole;
        std::function<std::string(const Bytes&)> wrap;  // a packet around the cut octets
        std::size_t atLeast;  // octets of it that carry no message when cut (the rest is user data)
    };
    const Layer layers[] = {
        {"Ethernet, IPv4, SCTP, M3UA", ethernet(ipv4({}, sctp(2905, 2905, {sctpData({}, m3uaData(kRoute, kIsup))}))),
         [](const Bytes& b) { return oneFrame(b); }, 0},
        {"Linux cooked v2", join({{0x08, 0x00}, Bytes(18, 0), ipv4({}, sctp(2905, 2905, {sctpData({}, m3uaData(kRoute, kIsup))}))}),
         [](const Bytes& b) { return oneFrame(b, 276); }, 0},
        {"IPv6 with an extension header", ipv6(0, join({hopByHop, sctp(2905, 2905, {sctpData({}, m3uaData(kRoute, kIsup))})})),
         [](const Bytes& b) { return oneFrame(b, 229); }, 0},
        {"SCTP chunks", sctp(2905, 2905, {sctpData({}, m3uaData(kRoute, kIsup))}), [](const Bytes& b) { return oneFrame(ethernet(ipv4({}, b))); }, 0},
        {"M3UA", m3uaData(kRoute, kIsup), [](const Bytes& b) { return oneFrame(overSctp(sctpData({}, b))); }, 0},
        {"M2PA", m2paUserData(msu), [](const Bytes& b) { return oneFrame(overSctp(sctpData({.ppid = 5}, b))); }, 0},
        {"M2UA", m2uaData(msu), [](const Bytes& b) { return oneFrame(overSctp(sctpData({.ppid = 2}, b))); }, 0},
        {"MTP2", join({{0x81, 0x82, static_cast<std::uint8_t>(msu.size())}, msu}), [](const Bytes& b) { return oneFrame(b, 140); }, 0},
        {"MTP3", msu, [](const Bytes& b) { return oneFrame(b, 141); }, 5},
        {"exported PDU", pdu, [](const Bytes& b) { return oneFrame(b, 252); }, 12},
    };
    for (const Layer& layer : layers) {
        ASSERT_EQ(readAll(layer.wrap(layer.whole)).messages.size(), 1u) << layer.name;
        for (std::size_t size = 0; size < layer.whole.size(); ++size) {
            SCOPED_TRACE(std::string(layer.name) + " cut at " + std::to_string(size));
            const Read r = readAll(layer.wrap(Bytes(layer.whole.begin(), layer.whole.begin() + static_cast<std::ptrdiff_t>(size))));
            if (layer.atLeast != 0 && size >= layer.atLeast) {
                // Past its header a cut only shortens the user data.
                ASSERT_EQ(r.messages.size(), 1u);
                EXPECT_EQ(r.messages[0].userData.size(), size - layer.atLeast);
                continue;
            }
            EXPECT_TRUE(r.messages.empty());
            EXPECT_EQ(r.counts.packetsUnreadable + r.counts.packetsOfOtherProtocols, 1u);
        }
    }
}

TEST(CaptureHostile, ProblemsKeptAreBounded) {
    std::vector<Packet> packets(1000, Packet{.data = {0x81, 0x82, 30, 0x85}});
    const Read r = readAll(pcap({.linkType = 140}, packets));
    EXPECT_EQ(r.problems.size(), 100u);
    EXPECT_EQ(r.problemCount, 1000u);
    EXPECT_EQ(r.counts.packetsUnreadable, 1000u);
    EXPECT_EQ(r.problems.back().substr(0, 12), "packet 100: ");
}

// A pcapng stream made on the fly: a section header, a million interfaces, then a packet on the
// last interface and one on the first. Its blocks are made once and copied, so that the stream
// itself allocates nothing while it is read (under AddressSanitizer, freed blocks would count).
class MillionInterfaces : public std::streambuf {
public:
    static constexpr std::uint32_t kInterfaces = 1000000;

    MillionInterfaces() { chunk_.reserve(kChunk + interface_.size() + ending_.size()); }

protected:
    int_type underflow() override {
        chunk_.clear();
        if (next_ == 0) append(chunk_, sectionHeader());
        while (next_ < kInterfaces && chunk_.size() < kChunk) {
            chunk_.insert(chunk_.end(), interface_.begin(), interface_.end());
            ++next_;
        }
        if (next_ == kInterfaces) {
            append(chunk_, ending_);
            ++next_;
        }
        if (chunk_.empty()) return traits_type::eof();
        // NOLINTNEXTLINE(cppcoreguidelines-pro-type-reinterpret-cast)
        char* begin = reinterpret_cast<char*>(chunk_.data());
        setg(begin, begin, begin + chunk_.size());
        return traits_type::to_int_type(*gptr());
    }

private:
    static constexpr std::size_t kChunk = 65536;
    const Bytes interface_ = interfaceBlock(141);
    const Bytes ending_ = join({enhancedPacket(kInterfaces - 1, 0, mtp3(kRoute, kIsup)), enhancedPacket(0, 0, mtp3(kRoute, kIsup))});
    Bytes chunk_;
    std::uint32_t next_ = 0;
};

TEST(CaptureHostile, AMillionInterfacesKeepMemoryBounded) {
    const long before = peakRssKb();
    MillionInterfaces buffer;
    std::istream in(&buffer);
    const Read r = readAll(in);
    // The interface table stops at 4096: a row for each of a million grows memory by some 18 MiB.
    EXPECT_LT(peakRssKb() - before, 8 * 1024);
    ASSERT_EQ(r.messages.size(), 1u);
    EXPECT_EQ(r.messages[0].packet, 2u);
    EXPECT_TRUE(r.hasProblem("pcapng interfaces past the first 4096 of a section are not kept")) << r.problemText();
    EXPECT_TRUE(r.hasProblem("packet 1: pcapng interface 999999 is past the 4096 kept")) << r.problemText();
}

}  // namespace
}  // namespace truno::testing::capture
