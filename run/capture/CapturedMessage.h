#pragma once
// One MTP3 user message as the capture readers hand it on, and how point codes are read.
#include <cstdint>
#include <optional>
#include <span>

namespace truno {

// ITU-T Q.704 point codes are 14 bits (the default); ANSI T1.111 point codes 24 bits.
enum class PointCodeFormat : std::uint8_t { Itu, Ansi };

// Service indicators (Q.704 14.2.1) of the user parts this tool decodes.
inline constexpr std::uint8_t kServiceIndicatorIsup = 5;
inline constexpr std::uint8_t kServiceIndicatorBicc = 13;

struct CapturedMessage {
    std::uint64_t packet = 0;  // 1-based number of the packet that completed it
    std::int64_t seconds = 0;  // the packet's time stamp (UTC, since 1970)
    std::uint32_t nanoseconds = 0;
    // From the MTP3 routing label and service information octet, or M3UA protocol data.
    std::uint32_t opc = 0;
    std::uint32_t dpc = 0;
    std::uint8_t si = 0;
    std::uint8_t ni = 0;
    std::uint8_t sls = 0;
    std::uint8_t priority = 0;
    // False for an exported PDU (link type 252) that holds the user part alone.
    bool pointCodesKnown = false;
    // The MTP3 user part (for ISUP and BICC the circuit or call instance code first); valid until
    // the reader's next call.
    std::span<const std::uint8_t> userData;
    // For an exported PDU: whether this side (192.0.2.1) sent it, as the tool's own --pcap output
    // writes its addresses; empty when the PDU names no such address.
    std::optional<bool> sentByThisSide;
};

}  // namespace truno
