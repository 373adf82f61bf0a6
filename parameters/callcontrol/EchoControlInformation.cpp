// Echo control information (code 37), Q.763 3.19.
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
constexpr BitField kLines[] = {
    {.key = "outgoing_echo_control_device_information", .label = "O/G Echo Control Dev. Info Indic", .octet = kLastOctet, .bits = {2, 1},
     .table = kOutgoingDeviceInfo},
    {.key = "incoming_echo_control_device_information", .label = "I/C Echo Control Dev. Info Indic", .octet = kLastOctet, .bits = {4, 3},
     .table = kIncomingDeviceInfo},
    {.key = "outgoing_echo_control_device_request", .label = "O/G Echo Control Dev. Request Indic", .octet = kLastOctet, .bits = {6, 5},
     .table = kOutgoingDeviceRequest},
    {.key = "incoming_echo_control_device_request", .label = "I/C Echo Control Dev. Request Indic", .octet = kLastOctet, .bits = {8, 7},
     .table = kIncomingDeviceRequest},
};

constexpr FieldBlock kBlock{"ECHO CONTROL INFORMATION:", kLines, BlockEnding::None};

}  // namespace

void EchoControlInformation(std::string_view contents, Text& out) {
    appendFieldBlock(out, contents, kBlock);
}

void EchoControlInformationFields(FieldList& list) { list.add(kBlock.lines); }

}  // namespace truno
