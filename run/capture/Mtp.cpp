// MTP2 signal units (Q.703 2.2, Annex A) and MTP3 messages (Q.704 2.2, 14.2; T1.111.4).
#include "run/capture/Mtp.h"

namespace truno::capture {
namespace {

// Routing label lengths after the service information octet.
constexpr std::size_t kItuLabel = 4;   // DPC 14 bits, OPC 14 bits, SLS 4 bits
constexpr std::size_t kAnsiLabel = 7;  // DPC 3 octets, OPC 3 octets, SLS 1 octet

// Signal unit headers: BSN/BIB, FSN/FIB, LI (6 bits); Annex A: 12-bit sequence numbers and a
// 9-bit LI, two octets each.
constexpr std::size_t kBasicHeader = 3;
constexpr std::size_t kExtendedHeader = 6;
// An LI this large says "this many octets or more" (Q.703 2.3.3): the frame tells the length.
constexpr std::size_t kBasicLongLi = 63;
constexpr std::size_t kExtendedLongLi = 511;
constexpr std::size_t kCheckBits = 2;

}  // namespace

bool readMtp3(Octets message, PointCodeFormat format, CapturedMessage& out, Problems& problems) {
    const std::size_t label = format == PointCodeFormat::Ansi ? kAnsiLabel : kItuLabel;
    if (message.size() < 1 + label) {
        problems.add("MTP3 message of ", message.size(), " octets is shorter than its service information octet and ",
                     label, "-octet routing label");
        return false;
    }
    // Service information octet: service indicator bits 4-1, message priority bits 6-5 (ANSI;
    // spare or national in ITU), network indicator bits 8-7.
    const std::uint8_t sio = message[0];
    out.si = sio & 0x0F;
    out.priority = (sio >> 4) & 0x03;
    out.ni = sio >> 6;
    if (format == PointCodeFormat::Ansi) {
        // Member, cluster and network octets, least significant first.
        out.dpc = le24(message, 1);
        out.opc = le24(message, 4);
        out.sls = message[7];
    } else {
        const std::uint32_t routing = le32(message, 1);
        out.dpc = routing & 0x3FFF;
        out.opc = (routing >> 14) & 0x3FFF;
        out.sls = static_cast<std::uint8_t>(routing >> 28);
    }
    out.pointCodesKnown = true;
    out.userData = message.subspan(1 + label);
    return true;
}

std::uint16_t mtp2CheckBits(Octets frame) {
    std::uint16_t crc = 0xFFFF;
    for (const std::uint8_t octet : frame) {
        crc ^= octet;
        for (int bit = 0; bit < 8; ++bit) crc = (crc & 1) != 0 ? static_cast<std::uint16_t>((crc >> 1) ^ 0x8408) : static_cast<std::uint16_t>(crc >> 1);
    }
    return static_cast<std::uint16_t>(~crc);
}

bool readMtp2(Octets frame, bool extended, SignalUnit& unit, Octets& message, Problems& problems) {
    const std::size_t header = extended ? kExtendedHeader : kBasicHeader;
    if (frame.size() < header) {
        problems.add("MTP2 signal unit of ", frame.size(), " octets is shorter than its ", header, "-octet header");
        return false;
    }
    const std::size_t li = extended ? (le16(frame, 4) & 0x1FFu) : (frame[2] & 0x3Fu);
    const std::size_t longLi = extended ? kExtendedLongLi : kBasicLongLi;
    unit = li == 0 ? SignalUnit::Fill : li <= 2 ? SignalUnit::LinkStatus : SignalUnit::Message;
    if (unit != SignalUnit::Message) return true;
    const Octets rest = frame.subspan(header);
    if (li < longLi) {
        // The LI is the length: two octets more are the check bits.
        if (rest.size() < li) {
            problems.add("MTP2 length indicator ", li, " is more than the ", rest.size(), " octets that follow it");
            return false;
        }
        message = rest.first(li);
        return true;
    }
    if (rest.size() < li) {
        problems.add("MTP2 length indicator ", li, " (that many octets or more) is more than the ", rest.size(),
                     " octets that follow it");
        return false;
    }
    // A long message: its check bits are there when they check.
    const bool checked = rest.size() >= li + kCheckBits &&
                         mtp2CheckBits(frame.first(frame.size() - kCheckBits)) == le16(frame, frame.size() - kCheckBits);
    message = checked ? rest.first(rest.size() - kCheckBits) : rest;
    return true;
}

}  // namespace truno::capture
