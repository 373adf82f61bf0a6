// Event information (code 24), Q.763 3.21.
#include "base/FieldBlock.h"
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

// Bits G to A, then bit H; the caller supplies the break after the last line.
constexpr BitField kLines[] = {
    {.key = "event", .label = "Event Indicator", .octet = kLastOctet, .bits = {7, 1},
     .values = kEvent, .fallback = kFallbackDecimal},
    {.key = "event_presentation_restricted", .label = "Event Present. Restrict Indic.", .octet = kLastOctet, .bits = {8, 8},
     .table = kPresentationRestricted},
};

constexpr FieldBlock kBlock{"EVENT INFORMATION:", kLines, BlockEnding::None};

}  // namespace

void EventInformation(std::string_view contents, Text& out) {
    appendFieldBlock(out, contents, kBlock);
}

void EventInformationFields(FieldList& list) { list.add(kBlock.lines); }

}  // namespace truno
