#include "parameters/callcontrol/CallControlCommon.h"
#include "parameters/callcontrol/CallControlDecoders.h"

namespace truno {
namespace {

// Octet 1, bits B A.
constexpr Phrase kCharge[] = {
    {"00", "0, no indication."},
    {"01", "1, no charge."},
    {"10", "2, charge."},
    {"11", "3, spare."},
};

// Octet 1, bits D C.
constexpr Phrase kCalledPartyStatus[] = {
    {"00", "0, no indication."},
    {"01", "1, subscriber free."},
    {"10", "2, reserved."},
    {"11", "3, spare."},
};

// Octet 1, bits F E.
constexpr Phrase kCalledPartyCategory[] = {
    {"00", "0, no indication."},
    {"01", "1, ordinary subscriber."},
    {"10", "2, payphone."},
    {"11", "3, spare."},
};

// Octet 2, bit I.
constexpr Phrase kInterworking[] = {
    {"0", "0, no interworking encountered (C7/BICC all the way)."},
    {"1", "1, interworking encountered."},
};

// From bit K on the phrases carry no closing full stop.

// Octet 2, bit K.
constexpr Phrase kIsupBicc[] = {
    {"0", "0, ISUP/BICC not used all the way"},
    {"1", "1, ISUP/BICC used all the way"},
};

// Octet 2, bit L.
constexpr Phrase kHolding[] = {
    {"0", "0, holding not requested"},
    {"1", "1, holding requested"},
};

// Octet 2, bit M.
constexpr Phrase kIsdnAccess[] = {
    {"0", "0, terminating access non-ISDN"},
    {"1", "1, terminating access ISDN"},
};

// Octet 2, bit N.
constexpr Phrase kEchoControlDevice[] = {
    {"0", "0, incoming echo control device not included"},
    {"1", "1, incoming echo control device included"},
};

// Octet 2, bits P O.
constexpr Phrase kSccpMethod[] = {
    {"00", "0, no indication"},
    {"01", "1, reserved"},
    {"10", "2, reserved"},
    {"11", "3, reserved"},
};

// Every bit of both octets has a line.
constexpr FieldLine kLines[] = {
    {"Charge Indicator", LineLevel::L2, 1, 7, 2, kCharge, kFallbackBits},
    {"Called party's status indicator", LineLevel::L2, 1, 5, 2, kCalledPartyStatus, kFallbackBits},
    {"Called party's category indicator", LineLevel::L2, 1, 3, 2,
     kCalledPartyCategory, kFallbackBits},
    {"End-to-end method indicator", LineLevel::L2, 1, 1, 2,
     callcontrol::kEndToEndMethod, kFallbackBits},
    {"Interworking indicator", LineLevel::L2, 2, 8, 1, kInterworking, kFallbackBits},
    {"End-to-end information indicator", LineLevel::L2, 2, 7, 1,
     callcontrol::kEndToEndInformation, kFallbackBits},
    {"ISUP/BICC indicator", LineLevel::L2, 2, 6, 1, kIsupBicc, kFallbackBits},
    {"Holding indicator", LineLevel::L2, 2, 5, 1, kHolding, kFallbackBits},
    {"ISDN access indicator", LineLevel::L2, 2, 4, 1, kIsdnAccess, kFallbackBits},
    {"Echo control device indicator", LineLevel::L2, 2, 3, 1, kEchoControlDevice, kFallbackBits},
    {"SCCP method indicator", LineLevel::L2, 2, 1, 2, kSccpMethod, kFallbackBits},
};

constexpr FieldBlock kBlock{"BACKWARD CALL INDICATORS:", kLines, BlockEnding::LineEnd};

}  // namespace

// Only the first two octets are read; a missing one fails the message.
void BackwardCallIndicators(std::string_view contents, Text& out) {
    appendFieldBlock(out, contents, kBlock);
}

}  // namespace truno
