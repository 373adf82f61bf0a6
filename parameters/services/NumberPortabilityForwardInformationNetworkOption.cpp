// Number portability forward information, network option (code 8D), Q.763 3.100.
#include "parameters/services/ServiceDecoders.h"
#include "parameters/services/ServicesCommon.h"

namespace truno {

namespace {

// Statuses 1 to 3 run onto a second line whose text starts in the value column.
constexpr std::string_view kQueryNotDone =
    "1, Number protability query not done\r\n"
    "                                             for called number";
constexpr std::string_view kNotPorted =
    "2, Number protability query done for called\r\n"
    "                                             number, non-ported called subscriber";
constexpr std::string_view kPorted =
    "3, Number protability query done for called\r\n"
    "                                             number, ported called subscriber";

// True when the text's second line starts after exactly the value column's indent.
constexpr bool continuesInValueColumn(std::string_view text) {
    const std::size_t at = text.find(CRLF);
    if (at == std::string_view::npos) return false;
    const std::string_view next = text.substr(at + CRLF.size());
    return next.starts_with(kValueColumnIndent) && next.size() > kValueColumnIndent.size() &&
           next[kValueColumnIndent.size()] != ' ';
}
static_assert(continuesInValueColumn(kQueryNotDone) && continuesInValueColumn(kNotPorted) &&
                  continuesInValueColumn(kPorted),
              "continuation must start in the value column");

// Bits D C B A; unlisted statuses show as their decimal value and ", spare". Bits G F E are
// not shown.
constexpr Phrase kPortabilityStatus[] = {
    {"0000", "0, no indication"},
    {"0001", kQueryNotDone},
    {"0010", kNotPorted},
    {"0011", kPorted},
};

constexpr BitField kLines[] = {
    {.key = "number_portability_status", .label = "No. Portability Status Indic", .octet = kLastOctet, .bits = {4, 1},
     .table = kPortabilityStatus, .fallback = servicecommon::kFallbackDecimalSpareNoStop},
    servicecommon::kExtensionLine,
};

constexpr FieldBlock kBlock{"NUMBER PORTABILITY FORWARD INFORMATION (NETWORK OPTION):", kLines,
                            BlockEnding::None};

}  // namespace

void NumberPortabilityForwardInformationNetworkOption(std::string_view contents, Text& out) {
    appendFieldBlock(out, contents, kBlock);
}

void NumberPortabilityForwardInformationNetworkOptionFields(FieldList& list) { list.add(kBlock.lines); }

}  // namespace truno
