// Information indicators, national use (code 0F), Q.763 3.28.
#include "parameters/callcontrol/CallControlCommon.h"
#include "parameters/callcontrol/CallControlDecoders.h"

namespace truno {
namespace {

constexpr Phrase kCallingPartyAddressResponse[] = {
    {"00", "0, calling party address not included"},
    {"01", "1, calling party address not available"},
    {"10", "2, spare"},
    {"11", "3, calling party address included"},
};

constexpr Phrase kCategoryResponse[] = {
    {"0", "0, calling party's category not included"},
    {"1", "1, calling party's category included"},
};

constexpr Phrase kSolicitedInformation[] = {
    {"0", "0, solicited"},
    {"1", "1, unsolicited"},
};

// Bits B A, F and H of octet 1.
constexpr BitField kLines[] = {
    {.key = "calling_party_address_response", .label = "Calling Party Addr Response Indicator", .octet = 1, .bits = {2, 1},
     .table = kCallingPartyAddressResponse},
    {.key = "calling_partys_category_response", .label = "CPC Response Indicator", .octet = 1, .bits = {6, 6}, .table = kCategoryResponse},
    {.key = "solicited_information", .label = "Solicited Information Indicator", .octet = 1, .bits = {8, 8},
     .table = kSolicitedInformation},
};

constexpr FieldBlock kBlock{"INFORMATION INDICATORS(NATIONAL USE):", kLines, BlockEnding::LineEnd};

}  // namespace

// The information message carries this parameter as a single mandatory octet, so only octet 1
// is read; every field shown lies in it.
void InformationIndicatorsNationalUse(std::string_view contents, Text& out) {
    appendFieldBlock(out, contents, kBlock);
}

void InformationIndicatorsNationalUseFields(FieldList& list) { list.add(kBlock.lines); }

}  // namespace truno
