// User-to-user indicators (code 2A), Q.763 3.60.
#include "base/FieldBlock.h"
#include "parameters/callcontrol/CallControlDecoders.h"

namespace truno {
namespace {

constexpr Phrase kType[] = {
    {"0", "0, request"},
    {"1", "1, response"},
};

// A request asks for services 1 to 3; service 1's phrases carry a comma the others lack.
constexpr Phrase kRequestService1[] = {
    {"00", "0, no information"},
    {"01", "1, spare"},
    {"10", "2, request, not essential"},
    {"11", "3, request, essential"},
};

constexpr Phrase kRequestService2And3[] = {
    {"00", "0, no information"},
    {"01", "1, spare"},
    {"10", "2, request not essential"},
    {"11", "3, request essential"},
};

constexpr Phrase kResponseService[] = {
    {"00", "0, no information"},
    {"01", "1, not provided"},
    {"10", "2, provided"},
    {"11", "3, spare"},
};

constexpr Phrase kNetworkDiscard[] = {
    {"0", "0, no information"},
    {"1", "1, user-to-user info discarded by network"},
};

// Type is bit A, services 1 to 3 are bits C B, E D and G F. Bit H (network discard) belongs
// to the response only.
constexpr BitField kRequestLines[] = {
    {.key = "type", .label = "Type", .octet = kLastOctet, .bits = {1, 1}, .table = kType},
    {.key = "service_1", .label = "Service 1", .octet = kLastOctet, .bits = {3, 2}, .table = kRequestService1},
    {.key = "service_2", .label = "Service 2", .octet = kLastOctet, .bits = {5, 4}, .table = kRequestService2And3},
    {.key = "service_3", .label = "Service 3", .octet = kLastOctet, .bits = {7, 6}, .table = kRequestService2And3},
};

constexpr BitField kResponseLines[] = {
    {.key = "type", .label = "Type", .octet = kLastOctet, .bits = {1, 1}, .table = kType},
    {.key = "service_1", .label = "Service 1", .octet = kLastOctet, .bits = {3, 2}, .table = kResponseService},
    {.key = "service_2", .label = "Service 2", .octet = kLastOctet, .bits = {5, 4}, .table = kResponseService},
    {.key = "service_3", .label = "Service 3", .octet = kLastOctet, .bits = {7, 6}, .table = kResponseService},
    {.key = "network_discard", .label = "Network discard indicator", .octet = kLastOctet, .bits = {8, 8},
     .table = kNetworkDiscard},
};

// Indexed by the type bit. The two headings differ in case.
constexpr FieldBlock kForms[] = {
    {"User-to-User Indicators:", kRequestLines, BlockEnding::None},
    {"USER-TO-USER INDICATORS:", kResponseLines, BlockEnding::None},
};

}  // namespace

void UserToUserIndicators(std::string_view contents, Text& out) {
    const FieldBlock& form = kForms[bitsOf(lastContentsOctet(contents), {1, 1}).value];
    appendFieldBlock(out, contents, form);
}

void UserToUserIndicatorsFields(FieldList& list) {
    list.add(kRequestLines);
    list.add(kResponseLines);
}

}  // namespace truno
