#include "parameters/callcontrol/CallControlCommon.h"
#include "parameters/callcontrol/CallControlDecoders.h"

namespace truno {
namespace {

constexpr Phrase kOutgoingDeviceInfo[] = {
    {"00", "0, no information"},
    {"01", "1, outgoing echo control device not included and not available"},
    {"10", "2, outgoing echo control device included"},
    {"11", "3, outgoing echo control device not included but available"},
};

constexpr Phrase kIncomingDeviceInfo[] = {
    {"00", "0, no information"},
    {"01", "1, incoming echo control device not included and not available"},
    {"10", "2, incoming echo control device included"},
    {"11", "3, incoming echo control device not included but available"},
};

// The deactivation phrases end with a blank, as the report has always shown them.
constexpr Phrase kOutgoingDeviceRequest[] = {
    {"00", "0, no information"},
    {"01", "1, outgoing echo control device activation request"},
    {"10", "2, outgoing echo control device deactivation request "},
    {"11", "3, spare"},
};

constexpr Phrase kIncomingDeviceRequest[] = {
    {"00", "0, no information"},
    {"01", "1, incoming echo control device activation request"},
    {"10", "2, incoming echo control device deactivation request "},
    {"11", "3, spare"},
};

// Bits B A, D C, F E and H G, from the low end of the octet up.
constexpr FieldLine kLines[] = {
    {"O/G Echo Control Dev. Info Indic", LineLevel::L2, kLastOctet, 7, 2, kOutgoingDeviceInfo,
     kFallbackBits},
    {"I/C Echo Control Dev. Info Indic", LineLevel::L2, kLastOctet, 5, 2, kIncomingDeviceInfo,
     kFallbackBits},
    {"O/G Echo Control Dev. Request Indic", LineLevel::L2, kLastOctet, 3, 2, kOutgoingDeviceRequest,
     kFallbackBits},
    {"I/C Echo Control Dev. Request Indic", LineLevel::L2, kLastOctet, 1, 2, kIncomingDeviceRequest,
     kFallbackBits},
};

constexpr FieldBlock kBlock{"ECHO CONTROL INFORMATION:", kLines, BlockEnding::None};

}  // namespace

void EchoControlInformation(std::string_view contents, Text& out) {
    appendFieldBlock(out, contents, kBlock);
}

}  // namespace truno
