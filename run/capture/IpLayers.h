#pragma once
// The network layer: IPv4 (RFC 791) and IPv6 (RFC 8200) headers, and the reassembly of
// fragmented datagrams with bounded memory.
#include "run/capture/WireOctets.h"

#include <array>
#include <cstdint>
#include <vector>

namespace truno::capture {

struct IpPacket {
    std::uint8_t version = 4;
    std::array<std::uint8_t, 16> source{};  // IPv4 in the first four octets
    std::array<std::uint8_t, 16> destination{};
    std::uint8_t protocol = 0;  // of the payload (132: SCTP)
    bool fragment = false;
    std::uint32_t identification = 0;
    std::uint32_t fragmentOffset = 0;  // in octets
    bool moreFragments = false;
    Octets payload;

    std::size_t addressSize() const { return version == 4 ? 4 : 16; }
    Octets sourceAddress() const { return {source.data(), addressSize()}; }
    Octets destinationAddress() const { return {destination.data(), addressSize()}; }
};

// Each reads its header (IPv6: and the extension headers before the payload); false with a
// problem named when the packet cannot be read.
bool readIpv4(Octets packet, IpPacket& out, Problems& problems);
bool readIpv6(Octets packet, IpPacket& out, Problems& problems);

// Datagrams in pieces: at most kMaxDatagrams in progress, each at most 65,535 octets; a datagram
// whose fragments stop coming for kQuietSeconds of capture time, or that must make room for a
// newer one, is dropped and named, as are those still incomplete at the end of the file.
class IpReassembly {
public:
    static constexpr std::size_t kMaxDatagrams = 16;
    static constexpr std::size_t kMaxDatagram = 65535;
    static constexpr std::int64_t kQuietSeconds = 30;

    // Adds a fragment; true when it completes its datagram, whose payload is then `whole` (valid
    // until the next call).
    bool add(const IpPacket& fragment, std::uint64_t packet, std::int64_t seconds, Octets& whole, Problems& problems);
    // Names the datagrams still incomplete and forgets them.
    void finish(Problems& problems);

private:
    struct Datagram {
        bool used = false;
        std::uint8_t version = 4;
        std::uint8_t protocol = 0;
        std::uint32_t identification = 0;
        std::array<std::uint8_t, 16> source{};
        std::array<std::uint8_t, 16> destination{};
        std::uint64_t firstPacket = 0;
        std::uint64_t lastPacket = 0;
        std::int64_t lastSeconds = 0;
        std::uint32_t totalLength = 0;  // known once the last fragment came
        std::uint32_t blocksHeld = 0;   // of 8 octets
        std::uint32_t fragments = 0;
        std::array<std::uint64_t, (kMaxDatagram + 8) / 8 / 64 + 1> blocks{};  // one bit per 8 octets
        std::vector<std::uint8_t> data;  // keeps its capacity from one datagram to the next
    };

    Datagram& slotFor(const IpPacket& fragment, std::uint64_t packet, std::int64_t seconds, Problems& problems);
    void drop(Datagram& datagram, std::string_view why, Problems& problems);

    std::array<Datagram, kMaxDatagrams> datagrams_{};
};

}  // namespace truno::capture
