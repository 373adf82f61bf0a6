#pragma once
// The instruction indicators octet shared by the message and the parameter compatibility
// information (Q.763 3.33 and 3.41): bits A to D mean the same in both, bit E and bits G F
// differ, and bit 8 says whether the octet is shown at all.
#include "base/FieldBlock.h"

#include <span>

namespace truno {

// Bit A.
inline constexpr Phrase kTransitAtIntermediateExchange[] = {
    {"0", "0, transit interpretation."},
    {"1", "1, end node interpretation."},
};

// Bit B.
inline constexpr Phrase kReleaseCall[] = {
    {"0", "0, do not release call."},
    {"1", "1, release call."},
};

// Bit C.
inline constexpr Phrase kSendNotification[] = {
    {"0", "0, do not send notification."},
    {"1", "1, send notification."},
};

// Bit D.
inline constexpr Phrase kDiscardMessage[] = {
    {"0", "0, do not discard message (pass on)."},
    {"1", "1, discard message."},
};

// One line per field, in the order given, when bit 8 of the octet is 1; nothing otherwise. A
// field whose value has no row in its table prints no line.
void appendInstructionIndicators(Text& out, std::uint8_t octet, std::span<const BitField> fields);

}  // namespace truno
