// IPv4 (RFC 791) and IPv6 (RFC 8200) headers and fragment reassembly.
#include "run/capture/IpLayers.h"

#include <algorithm>
#include <bit>

namespace truno::capture {
namespace {

constexpr std::size_t kIpv4Header = 20;
constexpr std::size_t kIpv6Header = 40;
constexpr std::uint16_t kMoreFragments = 0x2000;
constexpr std::uint16_t kOffsetMask = 0x1FFF;

// IPv6 extension headers walked to reach the payload (RFC 8200 4; AH: RFC 4302).
constexpr std::uint8_t kHopByHop = 0;
constexpr std::uint8_t kRouting = 43;
constexpr std::uint8_t kFragmentHeader = 44;
constexpr std::uint8_t kAuthentication = 51;
constexpr std::uint8_t kDestinationOptions = 60;

}  // namespace

bool readIpv4(Octets packet, IpPacket& out, Problems& problems) {
    if (packet.size() < kIpv4Header) {
        problems.add("IPv4 header needs 20 octets, the packet has ", packet.size());
        return false;
    }
    const std::size_t headerLength = std::size_t{packet[0] & 0x0Fu} * 4;
    const std::size_t totalLength = be16(packet, 2);
    if ((packet[0] >> 4) != 4 || headerLength < kIpv4Header) {
        problems.add("IPv4 header has version ", packet[0] >> 4, " and length ", headerLength, " octets");
        return false;
    }
    if (totalLength < headerLength || totalLength > packet.size()) {
        problems.add("IPv4 total length ", totalLength, totalLength < headerLength ? " is less than its header's " : " runs past the packet's ",
                     totalLength < headerLength ? headerLength : packet.size(), " octets");
        return false;
    }
    out.version = 4;
    std::copy_n(packet.begin() + 12, 4, out.source.begin());
    std::copy_n(packet.begin() + 16, 4, out.destination.begin());
    out.protocol = packet[9];
    const std::uint16_t fragment = be16(packet, 6);
    out.moreFragments = (fragment & kMoreFragments) != 0;
    out.fragmentOffset = static_cast<std::uint32_t>(fragment & kOffsetMask) * 8;
    out.fragment = out.moreFragments || out.fragmentOffset != 0;
    out.identification = be16(packet, 4);
    // The total length leaves out the padding of a short Ethernet frame.
    out.payload = packet.subspan(headerLength, totalLength - headerLength);
    return true;
}

bool readIpv6(Octets packet, IpPacket& out, Problems& problems) {
    if (packet.size() < kIpv6Header) {
        problems.add("IPv6 header needs 40 octets, the packet has ", packet.size());
        return false;
    }
    if ((packet[0] >> 4) != 6) {
        problems.add("IPv6 header has version ", packet[0] >> 4);
        return false;
    }
    const std::size_t payloadLength = be16(packet, 4);
    if (kIpv6Header + payloadLength > packet.size()) {
        problems.add("IPv6 payload length ", payloadLength, " runs past the packet's ", packet.size(), " octets");
        return false;
    }
    out.version = 6;
    std::copy_n(packet.begin() + 8, 16, out.source.begin());
    std::copy_n(packet.begin() + 24, 16, out.destination.begin());
    out.fragment = false;
    out.moreFragments = false;
    out.fragmentOffset = 0;
    // A payload length of 0 is a jumbogram's (RFC 2675): the rest of the packet.
    Octets rest = payloadLength == 0 ? packet.subspan(kIpv6Header) : packet.subspan(kIpv6Header, payloadLength);
    std::uint8_t next = packet[6];
    for (;;) {
        std::size_t length = 0;
        if (next == kHopByHop || next == kRouting || next == kDestinationOptions || next == kAuthentication) {
            if (rest.size() < 2) break;
            length = next == kAuthentication ? (std::size_t{rest[1]} + 2) * 4 : (std::size_t{rest[1]} + 1) * 8;
        } else if (next == kFragmentHeader) {
            length = 8;
            if (rest.size() >= length) {
                const std::uint16_t offset = be16(rest, 2);
                out.fragmentOffset = offset & 0xFFF8u;
                out.moreFragments = (offset & 1) != 0;
                out.fragment = out.moreFragments || out.fragmentOffset != 0;
                out.identification = be32(rest, 4);
            }
        } else {
            out.protocol = next;
            out.payload = rest;
            return true;
        }
        if (rest.size() < length) {
            problems.add("IPv6 extension header ", next, " of ", length, " octets runs past the ", rest.size(), " left");
            return false;
        }
        next = rest[0];
        rest = rest.subspan(length);
    }
    problems.add("IPv6 extension header ", next, " runs past the packet");
    return false;
}

void IpReassembly::drop(Datagram& datagram, std::string_view why, Problems& problems) {
    problems.addAt(datagram.firstPacket, "IPv", datagram.version, " datagram ", datagram.identification, " from ",
                   addressText({datagram.source.data(), datagram.version == 4 ? 4u : 16u}), " to ",
                   addressText({datagram.destination.data(), datagram.version == 4 ? 4u : 16u}), " never completed (",
                   datagram.fragments, datagram.fragments == 1 ? " fragment" : " fragments", " seen, last in packet ",
                   datagram.lastPacket, "; ", why, ")");
    datagram.used = false;
}

IpReassembly::Datagram& IpReassembly::slotFor(const IpPacket& fragment, std::uint64_t packet, std::int64_t seconds,
                                              Problems& problems) {
    Datagram* free = nullptr;
    Datagram* oldest = &datagrams_.front();  // when none is free, the one whose last fragment came first
    for (Datagram& d : datagrams_) {
        if (d.used && d.version == fragment.version && d.protocol == fragment.protocol &&
            d.identification == fragment.identification && d.source == fragment.source && d.destination == fragment.destination)
            return d;
        // Time stamps come from the file: their difference wraps rather than overflows.
        const auto quiet = static_cast<std::int64_t>(static_cast<std::uint64_t>(seconds) - static_cast<std::uint64_t>(d.lastSeconds));
        if (d.used && quiet > kQuietSeconds) drop(d, "its fragments stopped coming", problems);
        if (!d.used && free == nullptr) free = &d;
        if (d.used && d.lastPacket < oldest->lastPacket) oldest = &d;
    }
    if (free == nullptr) {
        drop(*oldest, "dropped for newer datagrams", problems);
        free = oldest;
    }
    Datagram& d = *free;
    d.used = true;
    d.version = fragment.version;
    d.protocol = fragment.protocol;
    d.identification = fragment.identification;
    d.source = fragment.source;
    d.destination = fragment.destination;
    d.firstPacket = packet;
    d.totalLength = 0;
    d.blocksHeld = 0;
    d.fragments = 0;
    d.blocks.fill(0);
    return d;
}

bool IpReassembly::add(const IpPacket& fragment, std::uint64_t packet, std::int64_t seconds, Octets& whole,
                       Problems& problems) {
    const std::size_t end = fragment.fragmentOffset + fragment.payload.size();
    if (end > kMaxDatagram) {
        problems.add("IPv", fragment.version, " fragment at offset ", fragment.fragmentOffset, " of ", fragment.payload.size(),
                     " octets ends past the ", kMaxDatagram, " octets of a datagram");
        return false;
    }
    Datagram& d = slotFor(fragment, packet, seconds, problems);
    ++d.fragments;
    d.lastPacket = packet;
    d.lastSeconds = seconds;
    if (d.data.size() < end) d.data.resize(end);
    std::copy(fragment.payload.begin(), fragment.payload.end(), d.data.begin() + static_cast<std::ptrdiff_t>(fragment.fragmentOffset));
    if (!fragment.moreFragments) d.totalLength = static_cast<std::uint32_t>(end);
    for (std::size_t block = fragment.fragmentOffset / 8; block < (end + 7) / 8; ++block) {
        std::uint64_t& word = d.blocks[block / 64];
        const std::uint64_t bit = std::uint64_t{1} << (block % 64);
        if ((word & bit) == 0) ++d.blocksHeld;
        word |= bit;
    }
    if (d.totalLength == 0 && !fragment.moreFragments) {
        // An empty last fragment at offset 0: nothing to reassemble.
        d.used = false;
        return false;
    }
    const std::size_t needed = (d.totalLength + 7) / 8;
    if (d.totalLength == 0 || d.blocksHeld < needed) return false;
    // Blocks past the end (from a fragment that did not belong) may be among those held.
    std::size_t held = 0;
    for (std::size_t w = 0; w < needed / 64; ++w) held += static_cast<std::size_t>(std::popcount(d.blocks[w]));
    if (needed % 64 != 0) held += static_cast<std::size_t>(std::popcount(d.blocks[needed / 64] & ((std::uint64_t{1} << (needed % 64)) - 1)));
    if (held < needed) return false;
    d.used = false;  // its octets stay until a later fragment takes the slot
    whole = Octets(d.data.data(), d.totalLength);
    return true;
}

void IpReassembly::finish(Problems& problems) {
    for (Datagram& d : datagrams_)
        if (d.used) drop(d, "the file ended", problems);
}

}  // namespace truno::capture
