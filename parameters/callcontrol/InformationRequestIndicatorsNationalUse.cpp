// Information request indicators, national use (code 0E), Q.763 3.29.
#include "parameters/callcontrol/CallControlCommon.h"
#include "parameters/callcontrol/CallControlDecoders.h"

namespace truno {
namespace {

constexpr Phrase kCallingPartyAddressRequest[] = {
    {"0", "0, calling party address not requested"},
    {"1", "1, calling party address requested"},
};

constexpr Phrase kCategoryRequest[] = {
    {"0", "0, calling party's category not requested"},
    {"1", "1, calling party's category requested"},
};

constexpr Phrase kMaliciousCallIdRequest[] = {
    {"0", "0, malicious call ID not requested"},
    {"1", "1, malicious call ID requested"},
};

// Bits A, D and H of octet 1.
constexpr BitField kLines[] = {
    {.key = "calling_party_address_request", .label = "Calling Party Addr Request Indic", .octet = 1, .bits = {1, 1},
     .table = kCallingPartyAddressRequest},
    {.key = "calling_partys_category_request", .label = "Calling Party's Category Request Indic", .octet = 1, .bits = {4, 4},
     .table = kCategoryRequest},
    {.key = "mcid_request", .label = "MCID Request Indicator", .octet = 1, .bits = {8, 8},
     .table = kMaliciousCallIdRequest},
};

constexpr FieldBlock kBlock{"INFORMATION REQUEST INDICATORS(NATIONAL USE):", kLines,
                            BlockEnding::None};

}  // namespace

// The information request message carries this parameter as a single mandatory octet, so only
// octet 1 is read. The block is left open after its last phrase for the caller's break.
void InformationRequestIndicatorsNationalUse(std::string_view contents, Text& out) {
    appendFieldBlock(out, contents, kBlock);
}

void InformationRequestIndicatorsNationalUseFields(FieldList& list) { list.add(kBlock.lines); }

}  // namespace truno
