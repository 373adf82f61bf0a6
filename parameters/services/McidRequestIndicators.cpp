// MCID request indicators (code 3B), Q.763 3.31.
#include "parameters/services/ServiceDecoders.h"
#include "parameters/services/ServicesCommon.h"

namespace truno {

namespace {

// Bit A.
constexpr Phrase kMcidRequest[] = {
    {"0", "0, MCID not requested"},
    {"1", "1, MCID requested"},
};

// Bit B.
constexpr Phrase kHoldingRequest[] = {
    {"0", "0, holding not requested"},
    {"1", "1, holding requested"},
};

constexpr BitField kLines[] = {
    {.key = "mcid_request", .label = "MCID Request Indicator", .octet = kLastOctet, .bits = {1, 1}, .table = kMcidRequest},
    {.key = "holding", .label = "Holding Indicator", .octet = kLastOctet, .bits = {2, 2}, .table = kHoldingRequest},
};

constexpr FieldBlock kBlock{"MCID REQUEST INDICATORS:", kLines, BlockEnding::None};

}  // namespace

void McidRequestIndicators(std::string_view contents, Text& out) {
    appendFieldBlock(out, contents, kBlock);
}

void McidRequestIndicatorsFields(FieldList& list) { list.add(kBlock.lines); }

}  // namespace truno
