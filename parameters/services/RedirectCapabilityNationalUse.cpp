// Redirect capability, national use (code 4E), Q.763 3.96.
#include "parameters/services/ServiceDecoders.h"
#include "parameters/services/ServicesCommon.h"

namespace truno {

namespace {

// Bits C B A; unlisted values show as the bare bits.
constexpr Phrase kRedirectPossible[] = {
    {"000", "0, no indication"},
    {"001", "1, redirect possible before ACM"},
    {"010", "2, redirect possible before ANM"},
    {"011", "3, redirect possible anytime during the call"},
};

// Only the first octet is decoded, whatever its extension bit announces.
constexpr BitField kLines[] = {
    {.key = "redirect_possible", .label = "Redirect possible indicator", .octet = kLastOctet, .bits = {3, 1},
     .table = kRedirectPossible},
    servicecommon::kExtensionLine,
};

constexpr FieldBlock kBlock{"REDIRECT CAPABILITY:", kLines, BlockEnding::None};

}  // namespace

void RedirectCapabilityNationalUse(std::string_view contents, Text& out) {
    appendFieldBlock(out, contents, kBlock);
}

void RedirectCapabilityNationalUseFields(FieldList& list) { list.add(kBlock.lines); }

}  // namespace truno
