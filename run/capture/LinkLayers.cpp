// Link-layer headers (tcpdump.org's LINKTYPE_ list): Ethernet with 802.1Q and 802.1ad tags,
// Linux cooked captures (SLL and SLL2), raw IP, BSD loopback, MTP2, MTP3 and exported PDUs.
#include "run/capture/LinkLayers.h"

#include <algorithm>

namespace truno::capture {
namespace {

struct EtherType {
    std::uint16_t number;
    Carried carried;
};

constexpr EtherType kEtherTypes[] = {
    {.number = 0x0800, .carried = Carried::Ipv4},
    {.number = 0x86DD, .carried = Carried::Ipv6},
};

// IEEE 802.1Q (customer) and 802.1ad (service) tags, and the older 0x9100 of stacked VLANs: four
// octets (tag control, the next type) before the type of what follows.
constexpr std::uint16_t kVlanTags[] = {0x8100, 0x88A8, 0x9100};

// The EtherType at `typeAt` decides what follows at `payloadAt`; a VLAN tag there puts the
// tag control and the next EtherType at the payload's place.
bool readEtherType(Octets frame, std::size_t typeAt, std::size_t payloadAt, std::string_view layer, LinkFrame& out,
                   Problems& problems) {
    for (;;) {
        if (frame.size() < std::max(typeAt + 2, payloadAt)) {
            problems.add(layer, " header needs ", std::max(typeAt + 2, payloadAt), " octets, the frame has ", frame.size());
            return false;
        }
        const std::uint16_t type = be16(frame, typeAt);
        if (std::find(std::begin(kVlanTags), std::end(kVlanTags), type) == std::end(kVlanTags)) {
            out.carried = Carried::Nothing;
            for (const EtherType& row : kEtherTypes)
                if (row.number == type) out.carried = row.carried;
            out.payload = frame.subspan(payloadAt);
            return true;
        }
        typeAt = payloadAt + 2;
        payloadAt += 4;
    }
}

// Ethernet II: destination and source addresses, then the EtherType (a value below 0x0600 is an
// 802.3 length, LLC follows: not read).
bool readEthernet(Octets frame, LinkFrame& out, Problems& problems) {
    return readEtherType(frame, 12, 14, "Ethernet", out, problems);
}

// Linux cooked capture v1: packet type, ARPHRD type, address length, 8 octets of address, protocol.
bool readLinuxCooked(Octets frame, LinkFrame& out, Problems& problems) {
    return readEtherType(frame, 14, 16, "Linux cooked (SLL)", out, problems);
}

// Linux cooked capture v2: the protocol first, then reserved, interface index, ARPHRD type,
// packet type, address length, 8 octets of address: 20 octets.
bool readLinuxCooked2(Octets frame, LinkFrame& out, Problems& problems) {
    return readEtherType(frame, 0, 20, "Linux cooked (SLL2)", out, problems);
}

// Raw IP: the version in the first four bits tells IPv4 from IPv6.
bool readRawIp(Octets frame, LinkFrame& out, Problems& problems) {
    if (frame.empty()) {
        problems.add("raw IP frame is empty");
        return false;
    }
    const int version = frame[0] >> 4;
    out.carried = version == 4 ? Carried::Ipv4 : version == 6 ? Carried::Ipv6 : Carried::Nothing;
    out.payload = frame;
    return true;
}

bool readIpv4Only(Octets frame, LinkFrame& out, Problems& /*problems*/) {
    out.carried = Carried::Ipv4;
    out.payload = frame;
    return true;
}

bool readIpv6Only(Octets frame, LinkFrame& out, Problems& /*problems*/) {
    out.carried = Carried::Ipv6;
    out.payload = frame;
    return true;
}

// BSD loopback (NULL: the family in the byte order of the capturing machine; LOOP: in network
// byte order, though writers have got it wrong): four octets of address family. Whichever order
// gives a small number is taken. AF_INET is 2 everywhere; AF_INET6 is 10 (Linux), 24 (NetBSD,
// OpenBSD), 28 (FreeBSD) or 30 (macOS).
bool readLoopback(Octets frame, LinkFrame& out, Problems& problems) {
    if (frame.size() < 4) {
        problems.add("loopback header needs 4 octets, the frame has ", frame.size());
        return false;
    }
    const std::uint32_t little = le32(frame, 0);
    const std::uint32_t family = little <= 0xFFFF ? little : be32(frame, 0);
    out.carried = family == 2                                                       ? Carried::Ipv4
                  : family == 10 || family == 24 || family == 28 || family == 30 ? Carried::Ipv6
                                                                                    : Carried::Nothing;
    out.payload = frame.subspan(4);
    return true;
}

bool readMtp2(Octets frame, LinkFrame& out, Problems& /*problems*/) {
    out.carried = Carried::Mtp2;
    out.payload = frame;
    return true;
}

// MTP2 with a pseudo-header: sent (1 octet), Annex A used (1 octet: 0 no, 1 yes, 2 unknown,
// taken as no), link number (2 octets).
bool readMtp2WithPseudoHeader(Octets frame, LinkFrame& out, Problems& problems) {
    if (frame.size() < 4) {
        problems.add("MTP2 pseudo-header needs 4 octets, the frame has ", frame.size());
        return false;
    }
    out.carried = frame[1] == 1 ? Carried::Mtp2Extended : Carried::Mtp2;
    out.payload = frame.subspan(4);
    return true;
}

bool readMtp3(Octets frame, LinkFrame& out, Problems& /*problems*/) {
    out.carried = Carried::Mtp3;
    out.payload = frame;
    return true;
}

bool readUpperPdu(Octets frame, LinkFrame& out, Problems& /*problems*/) {
    out.carried = Carried::ExportedPdu;
    out.payload = frame;
    return true;
}

constexpr LinkType kLinkTypes[] = {
    {.number = 0, .name = "BSD loopback", .read = readLoopback},
    {.number = 1, .name = "Ethernet", .read = readEthernet},
    {.number = 12, .name = "raw IP", .read = readRawIp},
    {.number = 14, .name = "raw IP", .read = readRawIp},
    {.number = 101, .name = "raw IP", .read = readRawIp},
    {.number = 108, .name = "OpenBSD loopback", .read = readLoopback},
    {.number = 113, .name = "Linux cooked", .read = readLinuxCooked},
    {.number = 139, .name = "MTP2 with pseudo-header", .read = readMtp2WithPseudoHeader},
    {.number = 140, .name = "MTP2", .read = readMtp2},
    {.number = 141, .name = "MTP3", .read = readMtp3},
    {.number = 228, .name = "IPv4", .read = readIpv4Only},
    {.number = 229, .name = "IPv6", .read = readIpv6Only},
    {.number = 252, .name = "exported PDU", .read = readUpperPdu},
    {.number = 276, .name = "Linux cooked v2", .read = readLinuxCooked2},
};

// Exported PDU tags (type and length, big-endian 16-bit numbers, then the value).
constexpr std::uint16_t kEndOfOptions = 0;
constexpr std::uint16_t kDissectorName = 12;
constexpr std::uint16_t kIpv4Source = 20;

}  // namespace

const LinkType* findLinkType(std::uint32_t number) {
    for (const LinkType& row : kLinkTypes)
        if (row.number == number) return &row;
    return nullptr;
}

bool readExportedPdu(Octets frame, ExportedPdu& out, Problems& problems) {
    out = ExportedPdu{};
    std::size_t at = 0;
    for (;;) {
        if (frame.size() < at + 4) {
            problems.add("exported PDU tags run past the packet's ", frame.size(), " octets (no end-of-options tag)");
            return false;
        }
        const std::uint16_t tag = be16(frame, at);
        const std::uint16_t length = be16(frame, at + 2);
        at += 4;
        if (tag == kEndOfOptions) break;
        if (frame.size() - at < length) {
            problems.add("exported PDU tag ", tag, " of length ", length, " runs past the packet's ", frame.size(), " octets");
            return false;
        }
        const Octets value = frame.subspan(at, length);
        if (tag == kDissectorName) {
            std::size_t size = value.size();
            while (size > 0 && value[size - 1] == 0) --size;  // padded with zero octets
            // NOLINTNEXTLINE(cppcoreguidelines-pro-type-reinterpret-cast): the name's characters
            out.dissector = std::string_view(reinterpret_cast<const char*>(value.data()), size);
        } else if (tag == kIpv4Source && length >= 4) {
            out.hasSource = true;
            std::copy(value.begin(), value.begin() + 4, std::begin(out.source));
        }
        at += length;
    }
    out.pdu = frame.subspan(at);
    return true;
}

}  // namespace truno::capture
