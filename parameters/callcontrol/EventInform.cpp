#include "parameters/callcontrol/CallControlCommon.h"
#include "parameters/callcontrol/CallControlDecoders.h"

namespace truno {
namespace {

// Event indicator, bits G to A, compared as a number; other values print as the bare number.
constexpr ValuePhrase kEvent[] = {
    {1, "1, ALERTING."},
    {2, "2, PROGRESS."},
    {3, "3, inband info or appropr. pattern now avail."},
    {4, "4, call forwarded on busy."},
    {5, "5, call forwarded on no reply."},
    {6, "6, call forwarded unconditional."},
};

constexpr Phrase kPresentationRestricted[] = {
    {"0", "0, no indication."},
    {"1", "1, presentation restricted."},
};

}  // namespace

void EventInform(std::string_view contents, Text& out) {
    const std::uint8_t octet = callcontrol::lastOctetOfContents(contents);
    lineOf(out, "EVENT INFORMATION:");
    DressItL2(out, "Event Indicator");
    appendPhrase(out, kEvent, cutOctet(octet, 2, 7), kFallbackDecimal);
    out += CRLF;
    // Bit H; the caller supplies the break after this line.
    DressItL2(out, "Event Present. Restrict Indic.");
    appendPhrase(out, kPresentationRestricted, cutOctet(octet, 1, 1), kFallbackBits);
}

}  // namespace truno
