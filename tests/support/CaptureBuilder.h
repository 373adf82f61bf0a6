#pragma once
// Builds packets and capture files for tests: MTP3, M3UA, M2PA, M2UA, SCTP, IPv4, IPv6 and
// Ethernet around given user data, and a pcap or pcapng file around packets. Every number is
// written as the protocol writes it; lengths are computed unless a test overrides them.
#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

namespace truno::testing::capture {

using Bytes = std::vector<std::uint8_t>;

inline void put8(Bytes& b, unsigned v) { b.push_back(static_cast<std::uint8_t>(v)); }
inline void put16be(Bytes& b, unsigned v) {
    put8(b, (v >> 8) & 0xFF);
    put8(b, v & 0xFF);
}
inline void put32be(Bytes& b, std::uint32_t v) {
    put16be(b, v >> 16);
    put16be(b, v & 0xFFFF);
}
inline void put16le(Bytes& b, unsigned v) {
    put8(b, v & 0xFF);
    put8(b, (v >> 8) & 0xFF);
}
inline void put32le(Bytes& b, std::uint32_t v) {
    put16le(b, v & 0xFFFF);
    put16le(b, v >> 16);
}
inline void put16(Bytes& b, unsigned v, bool big) { big ? put16be(b, v) : put16le(b, v); }
inline void put32(Bytes& b, std::uint32_t v, bool big) { big ? put32be(b, v) : put32le(b, v); }
inline void append(Bytes& b, const Bytes& more) { b.insert(b.end(), more.begin(), more.end()); }
inline void padTo4(Bytes& b) {
    while (b.size() % 4 != 0) b.push_back(0);
}
inline Bytes join(std::initializer_list<Bytes> parts) {
    Bytes b;
    for (const Bytes& p : parts) append(b, p);
    return b;
}

// MTP3 (Q.704): service information octet, ITU routing label (DPC, OPC 14 bits, SLS 4 bits,
// least significant first), user part.
struct Mtp3Fields {
    unsigned si = 5, ni = 2, priority = 0;
    std::uint32_t opc = 1, dpc = 2;
    unsigned sls = 0;
};
inline Bytes mtp3(const Mtp3Fields& f, const Bytes& userData) {
    Bytes b;
    put8(b, f.ni << 6 | (f.priority & 3) << 4 | (f.si & 0x0F));
    put32le(b, (f.dpc & 0x3FFF) | (f.opc & 0x3FFF) << 14 | (f.sls & 0xF) << 28);
    append(b, userData);
    return b;
}
// ANSI T1.111: DPC and OPC three octets each (member, cluster, network), SLS one octet.
inline Bytes mtp3Ansi(const Mtp3Fields& f, const Bytes& userData) {
    Bytes b;
    put8(b, f.ni << 6 | (f.priority & 3) << 4 | (f.si & 0x0F));
    for (const std::uint32_t pc : {f.dpc, f.opc})
        for (int i = 0; i < 3; ++i) put8(b, (pc >> (8 * i)) & 0xFF);
    put8(b, f.sls);
    append(b, userData);
    return b;
}

// A SIGTRAN message: version 1, spare, class, type, length (the header's 8 octets included).
inline Bytes sigtran(unsigned messageClass, unsigned type, const Bytes& body, long lengthOverride = -1) {
    Bytes b{1, 0};
    put8(b, messageClass);
    put8(b, type);
    put32be(b, lengthOverride >= 0 ? static_cast<std::uint32_t>(lengthOverride) : static_cast<std::uint32_t>(body.size() + 8));
    append(b, body);
    return b;
}
// A tag-length-value parameter, padded to four octets.
inline Bytes parameter(unsigned tag, const Bytes& value, long lengthOverride = -1) {
    Bytes b;
    put16be(b, tag);
    put16be(b, lengthOverride >= 0 ? static_cast<unsigned>(lengthOverride) : static_cast<unsigned>(value.size() + 4));
    append(b, value);
    padTo4(b);
    return b;
}

// M3UA (RFC 4666) DATA with a routing context and the Protocol Data parameter.
inline Bytes m3uaData(const Mtp3Fields& f, const Bytes& userData) {
    Bytes data;
    put32be(data, f.opc);
    put32be(data, f.dpc);
    put8(data, f.si);
    put8(data, f.ni);
    put8(data, f.priority);
    put8(data, f.sls);
    append(data, userData);
    Bytes routingContext;
    put32be(routingContext, 1);
    return sigtran(1, 1, join({parameter(0x0006, routingContext), parameter(0x0210, data)}));
}

// M2PA (RFC 4165) User Data: BSN, FSN, priority octet, the MTP3 message (none of the last two in
// an acknowledgement without data).
inline Bytes m2paUserData(const Bytes& mtp3Message, std::uint32_t bsn = 1, std::uint32_t fsn = 2) {
    Bytes body;
    put32be(body, bsn & 0xFFFFFF);
    put32be(body, fsn & 0xFFFFFF);
    if (!mtp3Message.empty()) put8(body, 0);
    append(body, mtp3Message);
    return sigtran(11, 1, body);
}

// M2UA (RFC 3331) MAUP Data: interface identifier, Protocol Data 1 holding the MTP3 message.
inline Bytes m2uaData(const Bytes& mtp3Message) {
    Bytes interface;
    put32be(interface, 0);
    return sigtran(6, 1, join({parameter(0x0001, interface), parameter(0x0300, mtp3Message)}));
}

// SCTP (RFC 9260): a DATA chunk (flags: B 0x02, E 0x01), and a packet of chunks.
struct DataChunk {
    std::uint32_t tsn = 1;
    unsigned stream = 1;
    std::uint32_t ppid = 3;
    unsigned flags = 0x03;
    long lengthOverride = -1;
};
inline Bytes sctpData(const DataChunk& c, const Bytes& userData) {
    Bytes b;
    put8(b, 0);
    put8(b, c.flags);
    put16be(b, c.lengthOverride >= 0 ? static_cast<unsigned>(c.lengthOverride) : static_cast<unsigned>(userData.size() + 16));
    put32be(b, c.tsn);
    put16be(b, c.stream);
    put16be(b, 0);  // stream sequence number
    put32be(b, c.ppid);
    append(b, userData);
    padTo4(b);
    return b;
}
inline Bytes sctpChunk(unsigned type, const Bytes& value = {}) {
    Bytes b;
    put8(b, type);
    put8(b, 0);
    put16be(b, static_cast<unsigned>(value.size() + 4));
    append(b, value);
    padTo4(b);
    return b;
}
inline Bytes sctp(unsigned sourcePort, unsigned destinationPort, std::initializer_list<Bytes> chunks) {
    Bytes b;
    put16be(b, sourcePort);
    put16be(b, destinationPort);
    put32be(b, 0x12345678);  // verification tag
    put32be(b, 0);           // checksum (not checked)
    for (const Bytes& c : chunks) append(b, c);
    return b;
}

// IPv4 (RFC 791) with fragment fields; IPv6 (RFC 8200) with the next header given.
struct Ipv4Fields {
    std::uint32_t source = 0x0A000001, destination = 0x0A000002;
    unsigned protocol = 132;
    unsigned identification = 0;
    unsigned fragmentOffset = 0;  // octets, a multiple of 8
    bool moreFragments = false;
};
inline Bytes ipv4(const Ipv4Fields& f, const Bytes& payload) {
    Bytes b{0x45, 0};
    put16be(b, static_cast<unsigned>(payload.size() + 20));
    put16be(b, f.identification);
    put16be(b, (f.moreFragments ? 0x2000u : 0u) | (f.fragmentOffset / 8));
    put8(b, 64);
    put8(b, f.protocol);
    put16be(b, 0);
    put32be(b, f.source);
    put32be(b, f.destination);
    append(b, payload);
    return b;
}
inline Bytes ipv6(unsigned nextHeader, const Bytes& payload, std::uint8_t lastSourceOctet = 1) {
    Bytes b{0x60, 0, 0, 0};
    put16be(b, static_cast<unsigned>(payload.size()));
    put8(b, nextHeader);
    put8(b, 64);
    for (int i = 0; i < 2; ++i) {
        Bytes address(16, 0);
        address[0] = 0x20;
        address[1] = 0x01;
        address[2] = 0x0d;
        address[3] = 0xb8;
        address[15] = i == 0 ? lastSourceOctet : 2;
        append(b, address);
    }
    append(b, payload);
    return b;
}

// Ethernet II around a packet, with VLAN tags (TPID, VLAN id) before the EtherType when given.
inline Bytes ethernet(const Bytes& packet, unsigned etherType = 0x0800, std::initializer_list<unsigned> tags = {}) {
    Bytes b{0x00, 0x11, 0x22, 0x33, 0x44, 0x55, 0x00, 0x66, 0x77, 0x88, 0x99, 0xAA};
    for (const unsigned tpid : tags) {
        put16be(b, tpid);
        put16be(b, 100);
    }
    put16be(b, etherType);
    append(b, packet);
    while (b.size() < 60) b.push_back(0);  // a short frame's padding
    return b;
}

// The usual stack: Ethernet, IPv4 (10.0.0.1 or .2 as the sender), SCTP (ports 2905), one M3UA DATA.
inline Bytes m3uaFrame(const Mtp3Fields& f, const Bytes& userData, std::uint32_t tsn, bool fromFirst = true) {
    const Ipv4Fields ip{.source = fromFirst ? 0x0A000001u : 0x0A000002u, .destination = fromFirst ? 0x0A000002u : 0x0A000001u};
    return ethernet(ipv4(ip, sctp(2905, 2905, {sctpData({.tsn = tsn}, m3uaData(f, userData))})));
}

struct Packet {
    Bytes data;
    std::uint32_t seconds = 1700000000;
    std::uint32_t fraction = 0;       // micro- or nanoseconds as the file says
    long originalLength = -1;         // the captured length when not given
    long capturedLengthOverride = -1;  // a captured length field that lies
};

struct PcapFormat {
    std::uint32_t linkType = 1;
    bool bigEndian = false;
    bool nanoseconds = false;
    std::uint32_t snapLength = 65535;
};

inline std::string pcap(const PcapFormat& format, const std::vector<Packet>& packets) {
    Bytes b;
    put32(b, format.nanoseconds ? 0xA1B23C4D : 0xA1B2C3D4, format.bigEndian);
    put16(b, 2, format.bigEndian);
    put16(b, 4, format.bigEndian);
    put32(b, 0, format.bigEndian);
    put32(b, 0, format.bigEndian);
    put32(b, format.snapLength, format.bigEndian);
    put32(b, format.linkType, format.bigEndian);
    for (const Packet& p : packets) {
        put32(b, p.seconds, format.bigEndian);
        put32(b, p.fraction, format.bigEndian);
        put32(b, p.capturedLengthOverride >= 0 ? static_cast<std::uint32_t>(p.capturedLengthOverride) : static_cast<std::uint32_t>(p.data.size()), format.bigEndian);
        put32(b, p.originalLength >= 0 ? static_cast<std::uint32_t>(p.originalLength) : static_cast<std::uint32_t>(p.data.size()), format.bigEndian);
        append(b, p.data);
    }
    return {b.begin(), b.end()};
}

// pcapng blocks: type, total length, body padded to four octets, total length.
inline Bytes pcapngBlock(std::uint32_t type, const Bytes& body, bool big = false) {
    Bytes padded = body;
    padTo4(padded);
    Bytes b;
    put32(b, type, big);
    put32(b, static_cast<std::uint32_t>(padded.size() + 12), big);
    append(b, padded);
    put32(b, static_cast<std::uint32_t>(padded.size() + 12), big);
    return b;
}
inline Bytes sectionHeader(bool big = false) {
    Bytes body;
    put32(body, 0x1A2B3C4D, big);
    put16(body, 1, big);
    put16(body, 0, big);
    put32(body, 0xFFFFFFFF, big);
    put32(body, 0xFFFFFFFF, big);
    Bytes b;
    put32be(b, 0x0A0D0D0A);  // the same in either order
    put32(b, static_cast<std::uint32_t>(body.size() + 12), big);
    append(b, body);
    put32(b, static_cast<std::uint32_t>(body.size() + 12), big);
    return b;
}
// An interface: link type, the if_tsresol octet when not 6 (microseconds), the if_tsoffset
// seconds when not 0.
inline Bytes interfaceBlock(unsigned linkType, unsigned resolution = 6, bool big = false, std::int64_t offsetSeconds = 0) {
    Bytes body;
    put16(body, linkType, big);
    put16(body, 0, big);
    put32(body, 262144, big);
    if (resolution != 6) {
        put16(body, 9, big);
        put16(body, 1, big);
        body.insert(body.end(), {static_cast<std::uint8_t>(resolution), 0, 0, 0});
    }
    if (offsetSeconds != 0) {
        const auto offset = static_cast<std::uint64_t>(offsetSeconds);
        put16(body, 14, big);
        put16(body, 8, big);
        put32(body, static_cast<std::uint32_t>(big ? offset >> 32 : offset), big);
        put32(body, static_cast<std::uint32_t>(big ? offset : offset >> 32), big);
    }
    if (resolution != 6 || offsetSeconds != 0) put32(body, 0, big);  // end of options
    return pcapngBlock(1, body, big);
}
inline Bytes enhancedPacket(unsigned interface, std::uint64_t timestamp, const Bytes& data, bool big = false) {
    Bytes body;
    put32(body, interface, big);
    put32(body, static_cast<std::uint32_t>(timestamp >> 32), big);
    put32(body, static_cast<std::uint32_t>(timestamp & 0xFFFFFFFF), big);
    put32(body, static_cast<std::uint32_t>(data.size()), big);
    put32(body, static_cast<std::uint32_t>(data.size()), big);
    append(body, data);
    return pcapngBlock(6, body, big);
}
inline std::string text(const Bytes& b) { return {b.begin(), b.end()}; }

}  // namespace truno::testing::capture
