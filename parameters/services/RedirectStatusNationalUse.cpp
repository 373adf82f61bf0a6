// Redirect status, national use (code 8A), Q.763 3.99.
#include "parameters/services/ServiceDecoders.h"
#include "parameters/services/ServicesCommon.h"

namespace truno {

namespace {

// Bits B A; bits G-C are not shown.
constexpr Phrase kRedirectStatus[] = {
    {"00", "0, no indication"},
    {"01", "1, acknowledgement of redirection"},
    {"10", "2, redirection will not be invoked"},
    {"11", "3, spare"},
};

constexpr BitField kLines[] = {
    {.key = "redirect_status", .label = "Redirect status indicator", .octet = kLastOctet, .bits = {2, 1},
     .table = kRedirectStatus},
    servicecommon::kExtensionLine,
};

constexpr FieldBlock kBlock{"REDIRECT STATUS:", kLines, BlockEnding::None};

}  // namespace

void RedirectStatusNationalUse(std::string_view contents, Text& out) {
    appendFieldBlock(out, contents, kBlock);
}

void RedirectStatusNationalUseFields(FieldList& list) { list.add(kBlock.lines); }

}  // namespace truno
