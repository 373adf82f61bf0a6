// Each wire layer on built packets: the link types, the file formats and their time stamps, IP
// and SCTP with their reassembly and retransmissions, the adaptation layers, MTP2 and MTP3.
#include "tests/run/capture/CaptureTestSupport.h"

#include <fstream>

namespace truno::testing::capture {
namespace {

const Bytes kIsup = {0x05, 0x00, 0x10, 0x00};  // circuit 5, release complete
const Mtp3Fields kRoute{.si = 5, .ni = 2, .opc = 100, .dpc = 200, .sls = 3};

Bytes sctpM3ua(const Bytes& userData = kIsup, std::uint32_t tsn = 1) {
    return sctp(2905, 2905, {sctpData({.tsn = tsn}, m3uaData(kRoute, userData))});
}
Bytes ipv4M3ua() { return ipv4({}, sctpM3ua()); }
Bytes ipv6M3ua() { return ipv6(132, sctpM3ua()); }
std::string onePacket(unsigned linkType, const Bytes& frame) { return pcap({.linkType = linkType}, {{.data = frame}}); }

// The header of a Linux cooked capture (v1): packet type, ARPHRD type, address length, address.
Bytes sll(unsigned protocol) {
    Bytes b;
    put16be(b, 0);
    put16be(b, 1);
    put16be(b, 6);
    b.insert(b.end(), {0, 0x11, 0x22, 0x33, 0x44, 0x55, 0, 0});
    put16be(b, protocol);
    return b;
}
// v2: protocol, reserved, interface index, ARPHRD type, packet type, address length, address.
Bytes sll2(unsigned protocol) {
    Bytes b;
    put16be(b, protocol);
    put16be(b, 0);
    put32be(b, 3);
    put16be(b, 1);
    b.insert(b.end(), {0, 6, 0, 0x11, 0x22, 0x33, 0x44, 0x55, 0, 0});
    return b;
}
Bytes family(std::uint32_t value, bool big) {
    Bytes b;
    put32(b, value, big);
    return b;
}
// MTP2: BSN/BIB, FSN/FIB, LI; Annex A: two octets each.
Bytes mtp2(const Bytes& msu, std::size_t li) {
    return join({{0x81, 0x82, static_cast<std::uint8_t>(li)}, msu});
}

struct OneMessage {
    const char* name = "";
    std::string file;
    CaptureOptions options = {};
    Mtp3Fields expected = kRoute;
};

TEST(CaptureLayers, EachLinkTypeAndStackGivesItsMessage) {
    const Bytes msu = mtp3(kRoute, kIsup);
    const Bytes ansiMsu = mtp3Ansi({.si = 5, .ni = 2, .opc = 0x030201, .dpc = 0x0A0B0C, .sls = 0x1F}, kIsup);
    Bytes draft6 = sigtran(1, 1, parameter(0x0002, msu));
    Bytes draft7 = sigtran(1, 1, parameter(0x0082, join({{0x20}, msu})));  // the LI octet first
    const OneMessage cases[] = {
        {.name = "Ethernet, IPv4", .file = onePacket(1, ethernet(ipv4M3ua()))},
        {.name = "Ethernet, 802.1ad and 802.1Q tags", .file = onePacket(1, ethernet(ipv4M3ua(), 0x0800, {0x88A8, 0x8100}))},
        {.name = "Ethernet, IPv6", .file = onePacket(1, ethernet(ipv6M3ua(), 0x86DD))},
        {.name = "Linux cooked", .file = onePacket(113, join({sll(0x0800), ipv4M3ua()}))},
        {.name = "Linux cooked v2, IPv6", .file = onePacket(276, join({sll2(0x86DD), ipv6M3ua()}))},
        {.name = "raw IP (101), IPv4", .file = onePacket(101, ipv4M3ua())},
        {.name = "raw IP (12), IPv6", .file = onePacket(12, ipv6M3ua())},
        {.name = "raw IP (14), IPv4", .file = onePacket(14, ipv4M3ua())},
        {.name = "IPv4 link type", .file = onePacket(228, ipv4M3ua())},
        {.name = "IPv6 link type", .file = onePacket(229, ipv6M3ua())},
        {.name = "BSD loopback, little-endian AF_INET", .file = onePacket(0, join({family(2, false), ipv4M3ua()}))},
        {.name = "BSD loopback, big-endian AF_INET6 (FreeBSD)", .file = onePacket(0, join({family(28, true), ipv6M3ua()}))},
        {.name = "OpenBSD loopback, AF_INET6 (OpenBSD)", .file = onePacket(108, join({family(24, true), ipv6M3ua()}))},
        {.name = "OpenBSD loopback written little-endian, AF_INET", .file = onePacket(108, join({family(2, false), ipv4M3ua()}))},
        {.name = "MTP3 link type", .file = onePacket(141, msu)},
        {.name = "MTP3, ANSI point codes", .file = onePacket(141, ansiMsu), .options = {.pointCodes = PointCodeFormat::Ansi},
         .expected = {.si = 5, .ni = 2, .opc = 0x030201, .dpc = 0x0A0B0C, .sls = 0x1F}},
        {.name = "MTP2", .file = onePacket(140, mtp2(msu, msu.size()))},
        {.name = "MTP2 with check bits after the LI's octets", .file = onePacket(140, join({mtp2(msu, msu.size()), {0xAB, 0xCD}}))},
        {.name = "MTP2 with pseudo-header, Annex A", .file = onePacket(139, join({{1, 1, 0, 0}, {0x01, 0x80, 0x02, 0x80}, {static_cast<std::uint8_t>(msu.size()), 0}, msu}))},
        {"M3UA, payload protocol identifier 0 on port 2905",
         onePacket(1, ethernet(ipv4({}, sctp(40000, 2905, {sctpData({.ppid = 0}, m3uaData(kRoute, kIsup))}))))},
        {.name = "M3UA draft 6, Protocol Data 1", .file = onePacket(1, ethernet(ipv4({}, sctp(2905, 2905, {sctpData({}, draft6)}))))},
        {.name = "M3UA draft 7, Protocol Data 2", .file = onePacket(1, ethernet(ipv4({}, sctp(2905, 2905, {sctpData({}, draft7)}))))},
        {.name = "M2PA", .file = onePacket(1, ethernet(ipv4({}, sctp(3565, 3565, {sctpData({.ppid = 5}, m2paUserData(msu))}))))},
        {.name = "M2UA", .file = onePacket(1, ethernet(ipv4({}, sctp(2904, 2904, {sctpData({.ppid = 2}, m2uaData(msu))}))))},
    };
    for (const OneMessage& c : cases) {
        SCOPED_TRACE(c.name);
        const Read r = readAll(c.file, c.options);
        EXPECT_EQ(r.problemText(), "");
        ASSERT_EQ(r.messages.size(), 1u);
        const Message& m = r.messages[0];
        EXPECT_EQ(m.packet, 1u);
        EXPECT_EQ(m.si, c.expected.si);
        EXPECT_EQ(m.ni, c.expected.ni);
        EXPECT_EQ(m.opc, c.expected.opc);
        EXPECT_EQ(m.dpc, c.expected.dpc);
        EXPECT_EQ(m.sls, c.expected.sls);
        EXPECT_TRUE(m.pointCodesKnown);
        EXPECT_EQ(m.userData, kIsup);
        EXPECT_EQ(r.counts.packetsWithIsupOrBicc, 1u);
    }
}

TEST(CaptureLayers, Mtp2LongMessageDropsItsCheckBitsOnlyWhenTheyCheck) {
    // The real MTP2 capture's one frame (LI 63: the frame gives the length) with and without the
    // check bits tshark computes for it (0xD03F, sent least significant octet first).
    std::ifstream in(std::string(TRUNO_SOURCE_DIR) + "/tests/captures/no-isup-tcap-mtp2.pcap", std::ios::binary);
    const std::string file((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const Bytes frame(file.begin() + 40, file.end());
    const Read without = readAll(onePacket(140, frame));
    const Read with = readAll(onePacket(140, join({frame, {0x3F, 0xD0}})));
    ASSERT_EQ(without.messages.size(), 1u);
    ASSERT_EQ(with.messages.size(), 1u);
    EXPECT_EQ(without.messages[0].userData.size(), frame.size() - 3 - 5);
    EXPECT_EQ(with.messages[0].userData, without.messages[0].userData);
    // Two octets that do not check are the message's.
    const Read other = readAll(onePacket(140, join({frame, {0x3F, 0xD1}})));
    ASSERT_EQ(other.messages.size(), 1u);
    EXPECT_EQ(other.messages[0].userData.size(), without.messages[0].userData.size() + 2);
}

TEST(CaptureLayers, PacketsWithoutMtp3UserDataAreOtherProtocols) {
    const Bytes msu = mtp3(kRoute, kIsup);
    const Bytes aspUp = sigtran(3, 1, {});
    const Bytes linkStatus = sigtran(11, 2, {0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0, 3});
    const std::vector<Packet> packets = {
        {.data = ethernet(ipv4({}, sctp(2905, 2905, {sctpChunk(1, Bytes(16, 0))})))},                  // INIT
        {.data = ethernet(ipv4({}, sctp(2905, 2905, {sctpData({}, aspUp)})))},                         // M3UA ASP Up
        {.data = ethernet(ipv4({}, sctp(3565, 3565, {sctpData({.ppid = 5}, linkStatus)})))},           // M2PA link status
        {.data = ethernet(ipv4({}, sctp(3868, 3868, {sctpData({.ppid = 46}, Bytes(20, 1))})))},        // Diameter
        {.data = ethernet(ipv4({.protocol = 6}, Bytes(20, 0)))},                                       // TCP
        {.data = ethernet(Bytes(28, 0), 0x0806)},                                                      // ARP
        {.data = ethernet(ipv4({}, sctp(3565, 3565, {sctpData({.ppid = 5}, m2paUserData({}))})))},     // M2PA acknowledgement
    };
    const Read r = readAll(pcap({}, packets));
    EXPECT_TRUE(r.messages.empty());
    EXPECT_EQ(r.counts.packetsOfOtherProtocols, packets.size());
    EXPECT_EQ(r.problemText(), "");
    // A link type not read: its packets are other protocols, and it is named once.
    const Read unknown = readAll(pcap({.linkType = 105}, {{.data = msu}, {.data = msu}}));
    EXPECT_EQ(unknown.counts.packetsOfOtherProtocols, 2u);
    EXPECT_EQ(unknown.problemCount, 1u);
    EXPECT_TRUE(unknown.hasProblem("link type 105 is not read")) << unknown.problemText();
    // MTP2 fill-in and link status signal units carry nothing and are no problem.
    const Read mtp2Units = readAll(pcap({.linkType = 140}, {{.data = {0x81, 0x82, 0x00}}, {.data = {0x81, 0x82, 0x01, 0x03}}}));
    EXPECT_EQ(mtp2Units.counts.packetsOfOtherProtocols, 2u);
    EXPECT_EQ(mtp2Units.problemCount, 0u);
}

TEST(CaptureLayers, SeveralMessagesInOnePacketComeOutInTheirOrder) {
    const Mtp3Fields bicc{.si = 13, .opc = 7, .dpc = 8, .sls = 1};
    const Bytes twoInOneChunk = join({m3uaData(kRoute, kIsup), m3uaData(bicc, {1, 0, 0, 0, 0x10, 0})});
    const Bytes packet = ethernet(ipv4({}, sctp(2905, 2905, {sctpData({.tsn = 1}, twoInOneChunk), sctpChunk(3, Bytes(12, 0)),
                                                             sctpData({.tsn = 2, .stream = 2}, m3uaData(kRoute, {9, 0, 0x09, 0}))})));
    const Read r = readAll(pcap({}, {{.data = packet}}));
    ASSERT_EQ(r.messages.size(), 3u);
    EXPECT_EQ(r.messages[0].si, 5u);
    EXPECT_EQ(r.messages[1].si, 13u);
    EXPECT_EQ(r.messages[1].opc, 7u);
    EXPECT_EQ(r.messages[2].userData, (Bytes{9, 0, 0x09, 0}));
    EXPECT_EQ(r.counts.packetsWithMessages, 1u);
    EXPECT_EQ(r.counts.messagesByServiceIndicator[5], 2u);
    EXPECT_EQ(r.counts.messagesByServiceIndicator[13], 1u);
}

TEST(CaptureLayers, FileFormatsAndTimeStamps) {
    const Bytes frame = ethernet(ipv4M3ua());
    struct Case {
        const char* name;
        std::string file;
        std::int64_t seconds;
        std::uint32_t nanoseconds;
    };
    const auto pcapngWith = [&](unsigned resolution, std::uint64_t stamp, bool big, std::int64_t offset = 0) {
        return text(join({sectionHeader(big), interfaceBlock(1, resolution, big, offset), enhancedPacket(0, stamp, frame, big)}));
    };
    const Case cases[] = {
        {"pcap, microseconds", pcap({}, {{.data = frame, .seconds = 1700000001, .fraction = 123456}}), 1700000001, 123456000},
        {"pcap, big-endian nanoseconds", pcap({.bigEndian = true, .nanoseconds = true}, {{.data = frame, .seconds = 5, .fraction = 123456789}}), 5, 123456789},
        {"pcap, a fraction past a second carries", pcap({}, {{.data = frame, .seconds = 5, .fraction = 2500000}}), 7, 500000000},
        {"pcapng, microseconds", pcapngWith(6, 1700000001123456ull, false), 1700000001, 123456000},
        {"pcapng big-endian, nanoseconds", pcapngWith(9, 1700000001123456789ull, true), 1700000001, 123456789},
        {"pcapng, 2^-10 seconds", pcapngWith(0x8A, 1024ull * 1700000001 + 512, false), 1700000001, 500000000},
        {"pcapng, 2^-40 seconds", pcapngWith(0xA8, (1ull << 40) * 3 + (1ull << 38), false), 3, 250000000},
        {"pcapng, offset 1,700,000,000 s", pcapngWith(9, 1500000000, false, 1700000000), 1700000001, 500000000},
        {"pcapng big-endian, offset -10 s", pcapngWith(6, 12000000, true, -10), 2, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Read r = readAll(c.file);
        EXPECT_EQ(r.problemText(), "");
        ASSERT_EQ(r.messages.size(), 1u);
        EXPECT_EQ(r.messages[0].seconds, c.seconds);
        EXPECT_EQ(r.messages[0].nanoseconds, c.nanoseconds);
    }
}

TEST(CaptureLayers, PcapngInterfacesBlocksAndSections) {
    const Bytes msu = mtp3(kRoute, kIsup);
    Bytes simple;  // original length, then the packet
    put32le(simple, static_cast<std::uint32_t>(msu.size()));
    append(simple, msu);
    Bytes obsolete;  // interface (2 octets), drops, time stamp, captured and original lengths
    put16le(obsolete, 0);
    put16le(obsolete, 0);
    put32le(obsolete, 0);
    put32le(obsolete, 2000000);
    put32le(obsolete, static_cast<std::uint32_t>(msu.size()));
    put32le(obsolete, static_cast<std::uint32_t>(msu.size()));
    append(obsolete, msu);
    const std::string file = text(join({
        sectionHeader(), interfaceBlock(141), interfaceBlock(1),
        pcapngBlock(4, Bytes(8, 0)),            // name resolution: skipped
        pcapngBlock(0x0BAD, Bytes(20, 7)),      // a block type not known: skipped
        pcapngBlock(3, simple),                 // on interface 0 (MTP3), no time stamp
        enhancedPacket(1, 3000000, ethernet(ipv4M3ua())),
        pcapngBlock(2, obsolete),               // on interface 0, 2 s
        sectionHeader(true), interfaceBlock(141, 6, true), enhancedPacket(0, 4000000, msu, true),  // a new section, big-endian
    }));
    const Read r = readAll(file);
    EXPECT_EQ(r.problemText(), "");
    ASSERT_EQ(r.messages.size(), 4u);
    const std::int64_t seconds[] = {0, 3, 2, 4};
    for (std::size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(r.messages[i].packet, i + 1);
        EXPECT_EQ(r.messages[i].seconds, seconds[i]);
    }
    EXPECT_EQ(r.counts.packets, 4u);
}

Bytes fragmentOf(const Bytes& payload, std::size_t from, std::size_t to) {
    return Bytes(payload.begin() + static_cast<std::ptrdiff_t>(from), payload.begin() + static_cast<std::ptrdiff_t>(to));
}

TEST(CaptureLayers, IpFragmentsAreReassembledInAnyOrder) {
    const Bytes datagram = sctpM3ua(Bytes(100, 0x42));  // 160 octets of SCTP
    const auto v4 = [&](std::size_t from, std::size_t to, bool more, unsigned id = 7) {
        return ethernet(ipv4({.identification = id, .fragmentOffset = static_cast<unsigned>(from), .moreFragments = more},
                             fragmentOf(datagram, from, to)));
    };
    // IPv6 fragment header: next header, reserved, offset and M flag, identification.
    const auto v6 = [&](std::size_t from, std::size_t to, bool more) {
        Bytes header{132, 0};
        put16be(header, static_cast<unsigned>(from) | (more ? 1u : 0u));
        put32be(header, 99);
        // Hop-by-hop and destination options before the fragment header.
        const Bytes hopByHop = {60, 0, 1, 4, 0, 0, 0, 0};
        const Bytes destination = {44, 0, 1, 4, 0, 0, 0, 0};
        return ethernet(ipv6(0, join({hopByHop, destination, header, fragmentOf(datagram, from, to)})), 0x86DD);
    };
    const Read r = readAll(pcap({}, {{.data = v4(64, 128, true)},
                                     {.data = v4(128, datagram.size(), false)},
                                     {.data = v4(0, 64, true, 8)},  // another datagram that never completes
                                     {.data = v4(0, 64, true)},
                                     {.data = v6(0, 80, true)},
                                     {.data = v6(80, datagram.size(), false)}}));
    ASSERT_EQ(r.messages.size(), 2u);
    EXPECT_EQ(r.messages[0].packet, 4u);
    EXPECT_EQ(r.messages[0].userData, Bytes(100, 0x42));
    EXPECT_EQ(r.messages[1].packet, 6u);
    EXPECT_EQ(r.messages[1].userData, Bytes(100, 0x42));
    EXPECT_EQ(r.counts.packetsHeld, 4u);
    EXPECT_EQ(r.problemCount, 1u);
    EXPECT_TRUE(r.hasProblem("packet 3: IPv4 datagram 8 from 10.0.0.1 to 10.0.0.2 never completed")) << r.problemText();
}

TEST(CaptureLayers, SctpMessagesInFragmentsAreReassembledInTsnOrder) {
    const Bytes message = m3uaData(kRoute, Bytes(60, 0x33));
    const auto piece = [&](std::uint32_t tsn, unsigned flags, std::size_t from, std::size_t to, unsigned stream = 1) {
        return ethernet(ipv4({}, sctp(2905, 2905, {sctpData({.tsn = tsn, .stream = stream, .flags = flags}, fragmentOf(message, from, to))})));
    };
    const Read r = readAll(pcap({}, {{.data = piece(10, 0x02, 0, 20)},
                                     {.data = piece(12, 0x01, 40, message.size())},  // the end before the middle
                                     {.data = piece(20, 0x02, 0, 20, 2)},            // another stream, never ended
                                     {.data = piece(11, 0x00, 20, 40)}}));
    ASSERT_EQ(r.messages.size(), 1u);
    EXPECT_EQ(r.messages[0].packet, 4u);
    EXPECT_EQ(r.messages[0].userData, Bytes(60, 0x33));
    EXPECT_EQ(r.counts.packetsHeld, 3u);
    EXPECT_TRUE(r.hasProblem("packet 3: 1 fragment of SCTP messages from 10.0.0.1:2905 to 10.0.0.2:2905 (stream 2, TSN 20) never completed"))
        << r.problemText();
}

TEST(CaptureLayers, RetransmittedDataIsDroppedOnceTsnsUsedAgainAreRead) {
    const Bytes first = m3uaFrame(kRoute, kIsup, 5);
    const Bytes other = m3uaFrame(kRoute, {6, 0, 0x10, 0}, 5);  // TSN 5 again, other data
    const Bytes back = m3uaFrame(kRoute, kIsup, 5, false);       // TSN 5 in the other direction
    const Bytes init = ethernet(ipv4({}, sctp(2905, 2905, {sctpChunk(1, Bytes(16, 0))})));
    const Read r = readAll(pcap({}, {{.data = first}, {.data = first}, {.data = back}, {.data = other}, {.data = other},
                                     {.data = init}, {.data = first}}));
    // 1, 3, 4 and 7 (after the INIT the sender's TSNs start again) are read; 2 and 5 are dropped.
    ASSERT_EQ(r.messages.size(), 4u);
    EXPECT_EQ(r.messages[0].packet, 1u);
    EXPECT_EQ(r.messages[1].packet, 3u);
    EXPECT_EQ(r.messages[2].packet, 4u);
    EXPECT_EQ(r.messages[2].userData, (Bytes{6, 0, 0x10, 0}));
    EXPECT_EQ(r.messages[3].packet, 7u);
    EXPECT_EQ(r.counts.retransmissionsDropped, 2u);
    EXPECT_EQ(r.counts.packetsOnlyRetransmitted, 2u);
    EXPECT_EQ(r.counts.tsnsReused, 1u);
    EXPECT_EQ(r.problemCount, 0u);
}

TEST(CaptureLayers, ExportedPdusGiveTheirDissectorsServiceIndicatorAndSide) {
    // Tags: type and length (big-endian), value padded to four octets; end-of-options last.
    const auto pdu = [](const std::string& dissector, const Bytes& source, const Bytes& message) {
        Bytes b;
        Bytes name(dissector.begin(), dissector.end());
        padTo4(name);
        put16be(b, 12);
        put16be(b, static_cast<unsigned>(name.size()));
        append(b, name);
        if (!source.empty()) {
            put16be(b, 20);
            put16be(b, 4);
            append(b, source);
        }
        put16be(b, 0);
        put16be(b, 0);
        append(b, message);
        return b;
    };
    const Read r = readAll(pcap({.linkType = 252}, {{.data = pdu("bicc", {192, 0, 2, 1}, {1, 0, 0, 0, 0x10, 0})},
                                                   {.data = pdu("isup", {192, 0, 2, 2}, kIsup)},
                                                   {.data = pdu("isup", {}, kIsup)},
                                                   {.data = pdu("mtp3", {}, mtp3(kRoute, kIsup))},
                                                   {.data = pdu("data", {}, {'0', '1'})}}));
    ASSERT_EQ(r.messages.size(), 4u);
    EXPECT_EQ(r.messages[0].si, 13u);
    EXPECT_FALSE(r.messages[0].pointCodesKnown);
    EXPECT_EQ(r.messages[0].sentByThisSide, std::optional<bool>(true));
    EXPECT_EQ(r.messages[0].userData, (Bytes{1, 0, 0, 0, 0x10, 0}));
    EXPECT_EQ(r.messages[1].si, 5u);
    EXPECT_EQ(r.messages[1].sentByThisSide, std::optional<bool>(false));
    EXPECT_EQ(r.messages[2].sentByThisSide, std::nullopt);
    EXPECT_TRUE(r.messages[3].pointCodesKnown);
    EXPECT_EQ(r.messages[3].opc, 100u);
    EXPECT_EQ(r.counts.packetsOfOtherProtocols, 1u);
}

TEST(CaptureLayers, CaptureFilesAreKnownByTheirFirstBytes) {
    struct Head {
        std::string bytes;
        bool capture;
    };
    const Head heads[] = {
        {pcap({}, {}), true},
        {pcap({.bigEndian = true}, {}), true},
        {pcap({.nanoseconds = true}, {}), true},
        {pcap({.bigEndian = true, .nanoseconds = true}, {}), true},
        {text(sectionHeader()), true},
        {text(sectionHeader(true)), true},
        {pcap({}, {}).substr(0, 3), false},  // too short to tell
        {"USER       BCIC        DEV", false},
        {std::string("\x1F\x8B\x08\x00", 4), false},  // gzip: decompressed before
        {std::string("\xA1\xB2\xC3\xD5", 4), false},
        {"", false},
    };
    for (const Head& h : heads) EXPECT_EQ(isCaptureStart(h.bytes), h.capture) << h.bytes.size() << " octets";
}

}  // namespace
}  // namespace truno::testing::capture
