#pragma once
// The message transfer part: MTP2 signal units (Q.703) and MTP3 messages (Q.704 and ANSI
// T1.111: service information octet, routing label, user part).
#include "run/capture/CapturedMessage.h"
#include "run/capture/WireOctets.h"

namespace truno::capture {

// Fills the routing facts and the user part of `out` from an MTP3 message; false with a problem
// named when the message is shorter than its label.
bool readMtp3(Octets message, PointCodeFormat format, CapturedMessage& out, Problems& problems);

enum class SignalUnit : std::uint8_t { Fill, LinkStatus, Message };

// Reads an MTP2 signal unit (with the extended sequence numbers of Q.703 Annex A when
// `extended`); for a message signal unit, `message` is its MTP3 message without the check bits
// that some capture equipment keeps at the end.
bool readMtp2(Octets frame, bool extended, SignalUnit& unit, Octets& message, Problems& problems);

// The frame check sequence of Q.703 2.2 (CRC-16 of ISO/IEC 13239, as HDLC computes it).
std::uint16_t mtp2CheckBits(Octets frame);

}  // namespace truno::capture
