// Cause indicators (code 12), Q.763 3.12, with the cause values of Q.850.
#include "parameters/callcontrol/CauseValues.h"

#include "base/FieldBlock.h"
#include "parameters/callcontrol/CallControlDecoders.h"

#include <algorithm>
#include <iterator>

namespace truno {
namespace {

// Octet 1, bits 7-6.
constexpr Phrase kCodingStandard[] = {
    {"00", "0, ITU-T standardized coding"},
    {"01", "1, ISO/IEC standard"},
    {"10", "2, National standard"},
    {"11", "3, standard specific to identified location"},
};

// Octet 1, bits 4-1; 0110, 1000, 1001 and 1011 have no row and print as their bits.
constexpr Phrase kLocation[] = {
    {"0000", "0, user (U)"},
    {"0001", "1, private network serving the local user (LPN)"},
    {"0010", "2, public network serving the local user (LN)"},
    {"0011", "3, transit network (TN)"},
    {"0100", "4, public network serving the remote user (RLN)"},
    {"0101", "5, private network serving the remote user (RPN)"},
    {"0111", "7, international network (INTL)"},
    {"1010", "10, network beyond interworking point (BI)"},
    {"1100", "12, reserved for national use"},
    {"1101", "13, reserved for national use"},
    {"1110", "14, reserved for national use"},
    {"1111", "15, reserved for national use"},
};

// Octet 2, bits 7-1: the cause values of ITU-T Q.850, each with the report's own phrase
// ("subscribedr" is kept as users know it) and the name Q.850 (Table 1) gives it, which the views
// show beside it so that exports group by a correct name. 14 and 24 have a name and no phrase:
// the report shows them as their bare number.
constexpr ValuePhrase kCauseValue[] = {
    {1, "1, Unallocated (unassigned) number.", "Unallocated (unassigned) number"},
    {2, "2, No route to specified transit network.", "No route to specified transit network"},
    {3, "3, No route to destination.", "No route to destination"},
    {4, "4, Send special information tone.", "Send special information tone"},
    {5, "5, Misdialled trunk prefix.", "Misdialled trunk prefix"},
    {6, "6, Channel unacceptable.", "Channel unacceptable"},
    {7, "7, Call awarded and being delivered in an established channel.",
     "Call awarded and being delivered in an established channel"},
    {8, "8, Preemption.", "Preemption"},
    {9, "9, Preemption \xE2\x80\x93" " circuit reserved for reuse.",
     "Preemption \xE2\x80\x93 circuit reserved for reuse"},  // en dash (U+2013) in UTF-8
    {14, "", "QoR: ported number"},
    {16, "16, Normal call clearing.", "Normal call clearing"},
    {17, "17, User busy.", "User busy"},
    {18, "18, No user responding.", "No user responding"},
    {19, "19, No answer from user (user alerted).", "No answer from user (user alerted)"},
    {20, "20, Subscriber absent.", "Subscriber absent"},
    {21, "21, Call rejected.", "Call rejected"},
    {22, "22, Number changed.", "Number changed"},
    {23, "23, Redirection to new destination.", "Redirection to new destination"},
    {24, "", "Call rejected due to feature at the destination"},
    {25, "25, Exchange routing error.", "Exchange routing error"},
    {26, "26, Non-selected user clearing.", "Non-selected user clearing"},
    {27, "27, Destination out of order.", "Destination out of order"},
    {28, "28, Invalid number format (address incomplete).", "Invalid number format (address incomplete)"},
    {29, "29, Facility rejected.", "Facility rejected"},
    {30, "30, Response to STATUS ENQUIRY.", "Response to STATUS ENQUIRY"},
    {31, "31, Normal, unspecified.", "Normal, unspecified"},
    {34, "34, No circuit/channel available.", "No circuit/channel available"},
    {38, "38, Network out of order.", "Network out of order"},
    {39, "39, Permanent frame mode connection out of service.", "Permanent frame mode connection out of service"},
    {40, "40, Permanent frame mode connection operational.", "Permanent frame mode connection operational"},
    {41, "41, Temporary failure.", "Temporary failure"},
    {42, "42, Switching equipment congestion.", "Switching equipment congestion"},
    {43, "43, Access information discarded.", "Access information discarded"},
    {44, "44, Requested circuit/channel not available.", "Requested circuit/channel not available"},
    {46, "46, Precedence call blocked.", "Precedence call blocked"},
    {47, "47, Resource unavailable, unspecified.", "Resource unavailable, unspecified"},
    {49, "49, Quality of service not available.", "Quality of service not available"},
    {50, "50, Requested facility not subscribedr.", "Requested facility not subscribed"},
    {53, "53, Outgoing calls barred within CUG.", "Outgoing calls barred within CUG"},
    {55, "55, Incoming calls barred within CUG.", "Incoming calls barred within CUG"},
    {57, "57, Bearer capability not authorized.", "Bearer capability not authorized"},
    {58, "58, Bearer capability not presently available.", "Bearer capability not presently available"},
    {62, "62, Inconsistency in designated o/g access info & subs. class.",
     "Inconsistency in designated outgoing access information and subscriber class"},
    {63, "63, Service or option not available, unspecified.", "Service or option not available, unspecified"},
    {65, "65, Bearer capability not implemented.", "Bearer capability not implemented"},
    {66, "66, Channel type not implemented.", "Channel type not implemented"},
    {69, "69, Requested facility not implemented.", "Requested facility not implemented"},
    {70, "70, Only restricted digital info. bearer capability is avail.",
     "Only restricted digital information bearer capability is available"},
    {79, "79, Service or option not implemented, unspecified.", "Service or option not implemented, unspecified"},
    {81, "81, Invalid call reference value.", "Invalid call reference value"},
    {82, "82, Identified channel does not exist.", "Identified channel does not exist"},
    {83, "83, A suspended call exists, but this call id. does not.",
     "A suspended call exists, but this call identity does not"},
    {84, "84, Call identity in use.", "Call identity in use"},
    {85, "85, No call suspended.", "No call suspended"},
    {86, "86, Call having the requested call id. has been cleared.",
     "Call having the requested call identity has been cleared"},
    {87, "87, User not member of CUG.", "User not member of CUG"},
    {88, "88, Incompatible destination.", "Incompatible destination"},
    {90, "90, Non-existent CUG.", "Non-existent CUG"},
    {91, "91, Invalid transit network selection.", "Invalid transit network selection"},
    {95, "95, Invalid message, unspecified.", "Invalid message, unspecified"},
    {96, "96, Mandatory information element is missing.", "Mandatory information element is missing"},
    {97, "97, Message type non-existent or not implemented.", "Message type non-existent or not implemented"},
    {98, "98, Msg not compatible with call state or msg. type non-existent or not implemented.",
     "Message not compatible with call state or message type non-existent or not implemented"},
    {99, "99, Info element /par. non-existent or not implemented.",
     "Information element/parameter non-existent or not implemented"},
    {100, "100, Invalid information element contents.", "Invalid information element contents"},
    {101, "101, Message not compatible with call state.", "Message not compatible with call state"},
    {102, "102, Recovery on timer expiry.", "Recovery on timer expiry"},
    {103, "103, Parameter non-existent or not implemented, passed on.",
     "Parameter non-existent or not implemented, passed on"},
    {110, "110, Message with unrecognized parameter, discarded.", "Message with unrecognized parameter, discarded"},
    {111, "111, Protocol error, unspecified.", "Protocol error, unspecified"},
    {127, "127, Interworking, unspecified.", "Interworking, unspecified"},
};

// The classes of the cause values (Q.850 2.2.7.1: bits 7-5 of the value; 000 and 001 are both
// the normal class), in the order of CauseClass.
constexpr std::string_view kCauseClassNames[kCauseClassCount] = {
    "normal",
    "resource unavailable",
    "service or option not available",
    "service or option not implemented",
    "invalid message",
    "protocol error",
    "interworking",
};

constexpr BitField kFields[] = {
    {.key = "coding_standard", .label = "Coding Standard", .octet = 1, .bits = {7, 6}, .table = kCodingStandard},
    {.key = "location", .label = "Location", .octet = 1, .bits = {4, 1}, .table = kLocation},
    {.key = "cause_value", .label = "Cause Value", .octet = 2, .bits = {7, 1}, .values = kCauseValue},
};
const BitField& kCodingStandardField = kFields[0];
const BitField& kLocationField = kFields[1];
const BitField& kCauseValueField = kFields[2];

}  // namespace

const ValuePhrase* causeValueRow(std::uint64_t value) {
    const auto* found = std::lower_bound(std::begin(kCauseValue), std::end(kCauseValue), value,
                                         [](const ValuePhrase& row, std::uint64_t v) { return row.value < v; });
    return found != std::end(kCauseValue) && found->value == value ? found : nullptr;
}

std::string_view causeName(std::uint64_t value) {
    const ValuePhrase* row = causeValueRow(value);
    return row != nullptr ? row->name : std::string_view{};
}

std::string_view causeMeaning(std::uint64_t value) {
    const ValuePhrase* row = causeValueRow(value);
    return row != nullptr ? row->meaningText() : std::string_view{};
}

CauseClass causeClassOf(std::uint64_t value) {
    const std::uint64_t bits = (value >> 4) & 7u;
    return bits <= 1 ? CauseClass::Normal : static_cast<CauseClass>(bits - 1);
}

std::string_view causeClassName(CauseClass cause) { return kCauseClassNames[static_cast<std::size_t>(cause)]; }

// Octet 1 is always the coding standard and location octet and octet 2 the cause value octet,
// whatever the extension bits say: a recommendation octet is not recognised, and the
// diagnostics after octet 2 are not shown. A cause value without a row ends the block with the
// bare number and no line end.
void CauseIndicators(std::string_view contents, Text& out) {
    const std::uint8_t first = contentOctet(contents, 1);
    const std::uint8_t second = contentOctet(contents, 2);
    const Field cause = bitsOf(second, {7, 1});

    lineOf(out, "CAUSE INDICATORS:");
    appendFieldLine(out, kCodingStandardField, first);
    out += CRLF;
    appendFieldLine(out, kLocationField, first);
    out += CRLF;
    if (const ValuePhrase* row = findPhrase(kCauseValue, cause.value)) {
        fieldLine(out, kCauseValueField, *row);
    } else {
        // The bare number, without its label, is still the cause value.
        out.markField(out.size(), kCauseValueField);
        appendDecimal(out, cause.value);
    }
    out.setFieldNumber(cause.value);
}

void CauseIndicatorsFields(FieldList& list) { list.add(kFields); }

}  // namespace truno
