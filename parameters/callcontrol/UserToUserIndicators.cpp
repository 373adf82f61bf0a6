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
constexpr FieldLine kRequestLines[] = {
    {"Type", LineLevel::L2, kLastOctet, 8, 1, kType, kFallbackBits},
    {"Service 1", LineLevel::L2, kLastOctet, 6, 2, kRequestService1, kFallbackBits},
    {"Service 2", LineLevel::L2, kLastOctet, 4, 2, kRequestService2And3, kFallbackBits},
    {"Service 3", LineLevel::L2, kLastOctet, 2, 2, kRequestService2And3, kFallbackBits},
};

constexpr FieldLine kResponseLines[] = {
    {"Type", LineLevel::L2, kLastOctet, 8, 1, kType, kFallbackBits},
    {"Service 1", LineLevel::L2, kLastOctet, 6, 2, kResponseService, kFallbackBits},
    {"Service 2", LineLevel::L2, kLastOctet, 4, 2, kResponseService, kFallbackBits},
    {"Service 3", LineLevel::L2, kLastOctet, 2, 2, kResponseService, kFallbackBits},
    {"Network discard indicator", LineLevel::L2, kLastOctet, 1, 1, kNetworkDiscard,
     kFallbackBits},
};

// Indexed by the type bit. The two headings differ in case.
constexpr FieldBlock kForms[] = {
    {"User-to-User Indicators:", kRequestLines, BlockEnding::None},
    {"USER-TO-USER INDICATORS:", kResponseLines, BlockEnding::None},
};

}  // namespace

void UserToUserIndicators(std::string_view contents, Text& out) {
    const FieldBlock& form = kForms[cutOctet(lastContentsOctet(contents), 8, 1).value];
    appendFieldBlock(out, contents, form);
}

}  // namespace truno
