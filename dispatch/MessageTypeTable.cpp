// The message type table (ITU-T Q.763 / Q.1902) and its look-ups by type code.
#include "dispatch/MessageTypes.h"

#include <array>

#include "base/Conversions.h"
#include "dispatch/Codes.h"
#include "dispatch/ParameterTable.h"
#include "parameters/callcontrol/CallControlDecoders.h"

namespace truno {
namespace {

using namespace codes;

// The circuit group query messages' own decoders of their mandatory variable parameters: the
// range alone (no status subfield in these two) and the circuit state indicators, field by field.
constexpr ParameterRow kQueryRange{.code = kRangeAndStatus, .key = "range_and_status", .name = "Range and status",
                                   .decoder = CircuitQueryRange, .fields = CircuitQueryRangeFields};
constexpr ParameterRow kCircuitStates{.code = kCircuitStateIndicator, .key = "circuit_state_indicator",
                                      .name = "Circuit state indicator (national use)",
                                      .decoder = CircuitStateIndicators, .fields = CircuitStateIndicatorsFields};

// Message type codes (ITU-T Q.763 / Q.1902). The names are printed as they stand, the two
// blanks in the GRA and USR names included. Unless a row says otherwise a block ends with CR LF.
constexpr MessageType kMessageTypes[] = {
    {.code = 0x01, .acronym = "IAM", .name = "INITIAL ADDRESS (IAM)", .title = ", INITIAL ADDRESS MESSAGE (IAM)",
     .fixed = {{.index = 5, .parameter = kNatureOfConnectionIndicators},
               {.index = 6, .octets = 2, .parameter = kForwardCallIndicators},
               {.index = 8, .parameter = kCallingPartysCategory},
               {.index = 9, .parameter = kTransmissionMediumRequirement}},
     .variablePointer = 10, .variable = kCalledPartyNumber, .optional = OptionalPointer::BeforeVariable},
    {.code = 0x02, .acronym = "SAM", .name = "SUBSEQUENT ADDRESS (SAM)", .title = ", SUBSEQUENT ADDRESS MESSAGE (SAM)",
     .variablePointer = 5, .variable = kSubsequentNumber, .optional = OptionalPointer::At, .optionalPointer = 6},
    {.code = 0x03, .acronym = "INR", .name = "INFORMATION REQUEST (INR)",
     .title = ", INFORMATION REQUEST MESSAGE (NATIONAL USE) (INR)",
     .fixed = {{.index = 5, .parameter = kInformationRequestIndicators}},
     .optional = OptionalPointer::At, .optionalPointer = 6},
    {.code = 0x04, .acronym = "INF", .name = "INFORMATION (INF)", .title = ", INFORMATION MESSAGE (NATIONAL USE) (INF)",
     .fixed = {{.index = 5, .parameter = kInformationIndicators}},
     .optional = OptionalPointer::At, .optionalPointer = 6},
    {.code = 0x05, .acronym = "COT", .name = "CONTINUITY (COT)", .title = ", CONTINUITY MESSAGE (COT)",
     .fixed = {{.index = 5, .parameter = kContinuityIndicators}}},
    {.code = 0x06, .acronym = "ACM", .name = "ADDRESS COMPLETE (ACM)", .title = ", ADDRESS COMPLETE MESSAGE (ACM)",
     .fixed = {{.index = 5, .octets = 2, .parameter = kBackwardCallIndicators, .lineEnd = false}},
     .optional = OptionalPointer::At, .optionalPointer = 7},
    {.code = 0x07, .acronym = "CON", .name = "CONNECT (CON)", .title = ", CONNECT MESSAGE (CON)",
     .fixed = {{.index = 5, .octets = 2, .parameter = kBackwardCallIndicators}},
     .optional = OptionalPointer::At, .optionalPointer = 7},
    {.code = 0x08, .acronym = "FOT", .name = "FORWARD TRANSFER (FOT)", .title = ", FORWARD TRANSFER MESSAGE (FOT)",
     .optional = OptionalPointer::At, .optionalPointer = 5},
    {.code = 0x09, .acronym = "ANM", .name = "ANSWER (ANM)", .title = ", ANSWER MESSAGE (ANM)", .headerLineEnd = false,
     .optional = OptionalPointer::At, .optionalPointer = 5},
    {.code = 0x0C, .acronym = "REL", .name = "RELEASE (REL)", .title = ", RELEASE MESSAGE (REL)",
     .variablePointer = 5, .variable = kCauseIndicators, .variableLineEnd = false,
     .optional = OptionalPointer::At, .optionalPointer = 6},
    {.code = 0x0D, .acronym = "SUS", .name = "SUSPEND (SUS)", .title = ", SUSPEND MESSAGE (SUS)",
     .fixed = {{.index = 5, .parameter = kSuspendResumeIndicators}},
     .optional = OptionalPointer::At, .optionalPointer = 6},
    {.code = 0x0E, .acronym = "RES", .name = "RESUME (RES)", .title = ", RESUME MESSAGE (RES)",
     .fixed = {{.index = 5, .parameter = kSuspendResumeIndicators}},
     .optional = OptionalPointer::At, .optionalPointer = 6},
    {.code = 0x10, .acronym = "RLC", .name = "RELEASE COMPLETE (RLC)", .title = ", RELEASE COMPLETE MESSAGE (RLC)",
     .optional = OptionalPointer::At, .optionalPointer = 5},
    {.code = 0x11, .acronym = "CCR", .name = "CONTINUITY CHECK REQUEST (CCR)",
     .title = ", CONTINUITY CHECK REQUEST MESSAGE (CCR)"},
    {.code = 0x12, .acronym = "RSC", .name = "RESET CIRCUIT (RSC)", .title = ", RESET CIC MESSAGE (RSC)"},
    {.code = 0x13, .acronym = "BLO", .name = "BLOCKING (BLO)", .title = ", BLOCKING MESSAGE (BLO)"},
    {.code = 0x14, .acronym = "UBL", .name = "UNBLOCKING (UBL)", .title = ", UNBLOCKING MESSAGE (UBL)"},
    {.code = 0x15, .acronym = "BLA", .name = "BLOCKING ACKNOWLEDGEMENT (BLA)",
     .title = ", BLOCKING ACKNOWLEDGEMENT MESSAGE (BLA)"},
    {.code = 0x16, .acronym = "UBA", .name = "UNBLOCKING ACKNOWLEDGEMENT (UBA)",
     .title = ", UNBLOCKING ACKNOWLEDGEMENT MESSAGE (UBA)"},
    {.code = 0x17, .acronym = "GRS", .name = "CIRCUIT GROUP RESET (GRS)", .title = ", CIC GROUP RESET MESSAGE (GRS)",
     .variablePointer = 5, .variable = kRangeAndStatus},
    {.code = 0x18, .acronym = "CGB", .name = "CIRCUIT GROUP BLOCKING (CGB)", .title = ", CIC GROUP BLOCKING MESSAGE (CGB)",
     .fixed = {{.index = 5, .parameter = kCircuitGroupSupervisionMessageType}},
     .variablePointer = 6, .variable = kRangeAndStatus},
    {.code = 0x19, .acronym = "CGU", .name = "CIRCUIT GROUP UNBLOCKING (CGU)", .title = ", CIC GROUP UNBLOCKING MESSAGE (CGU)",
     .fixed = {{.index = 5, .parameter = kCircuitGroupSupervisionMessageType}},
     .variablePointer = 6, .variable = kRangeAndStatus},
    {.code = 0x1A, .acronym = "CGBA", .name = "CGB ACKNOWLEDGEMENT (CGBA)",
     .title = ", CIC GROUP BLOCKING ACKNOWLEDGEMENT MESSAGE (CGBA)",
     .fixed = {{.index = 5, .parameter = kCircuitGroupSupervisionMessageType}},
     .variablePointer = 6, .variable = kRangeAndStatus},
    {.code = 0x1B, .acronym = "CGUA", .name = "CIRCUIT GROUP UNBLOCKING ACK (CGUA",
     .title = ", CIC GROUP UNBLOCKING ACKNOWLEDGEMENT MESSAGE (CGUA)",
     .fixed = {{.index = 5, .parameter = kCircuitGroupSupervisionMessageType}},
     .variablePointer = 6, .variable = kRangeAndStatus},
    {.code = 0x1F, .acronym = "FAR", .name = "FACILITY REQUEST (FAR)", .title = ", FACILITY REQUEST MESSAGE (FAR)",
     .fixed = {{.index = 5, .parameter = kFacilityIndicator}},
     .optional = OptionalPointer::At, .optionalPointer = 6},
    {.code = 0x20, .acronym = "FAA", .name = "FACILITY ACCEPTED (FAA)", .title = ", FACILITY ACCEPTED MESSAGE (FAA)",
     .fixed = {{.index = 5, .parameter = kFacilityIndicator}},
     .optional = OptionalPointer::At, .optionalPointer = 6},
    {.code = 0x21, .acronym = "FRJ", .name = "FACILITY REJECT (FRJ)", .title = ", FACILITY REJECT MESSAGE (FRJ)",
     .fixed = {{.index = 5, .parameter = kFacilityIndicator}},
     .variablePointer = 6, .variable = kCauseIndicators, .optional = OptionalPointer::BeforeVariable},
    {.code = 0x24, .acronym = "LPA", .name = "LOOP BACK ACKNOWLEDGEMENT (LPA)",
     .title = ", LOOP BACK ACKNOWLEDGEMENT MESSAGE (NATIONAL USE) (LPA)"},
    {.code = 0x28, .acronym = "PAM", .name = "PASS-ALONG (PAM)", .title = ", PASS-ALONG MESSAGE (NATIONAL USE) (PAM)",
     .passAlong = true},
    {.code = 0x29, .acronym = "GRA", .name = "CIRCUIT GROUP RESET  ACKNOWLEDGEMENT (GRA)",
     .title = ", CIC GROUP RESET ACKNOWLEDGEMENT MESSAGE (GRA)",
     .variablePointer = 5, .variable = kRangeAndStatus},
    {.code = 0x2A, .acronym = "CQM", .name = "CIRCUIT GROUP QUERY (CQM)",
     .title = ", CIC GROUP QUERY MESSAGE (NATIONAL USE) (CQM)",
     .variablePointer = 5, .variable = kRangeAndStatus, .variableRow = &kQueryRange},
    {.code = 0x2B, .acronym = "CQR", .name = "CIRCUIT GROUP QUERY RESPONSE (CQR)",
     .title = ", CIC GROUP QUERY RESPONSE MESSAGE (NATIONAL USE) (CQR)",
     .variablePointer = 5, .variable = kRangeAndStatus, .secondPointer = 6, .second = kCircuitStateIndicator,
     .variableRow = &kQueryRange, .secondRow = &kCircuitStates},
    {.code = 0x2C, .acronym = "CPG", .name = "CALL PROGRESS (CPG)", .title = ", CALL PROGRESS MESSAGE (CPG)",
     .fixed = {{.index = 5, .parameter = kEventInformation}},
     .optional = OptionalPointer::At, .optionalPointer = 6},
    {.code = 0x2D, .acronym = "USR", .name = "USER-TO-USER INFORMATION  (USR)", .title = ", USER-TO-USER INFORMATION (USR)",
     .variablePointer = 5, .variable = kUserToUserInformation, .optional = OptionalPointer::At,
     .optionalPointer = 6},
    {.code = 0x2E, .acronym = "UCIC", .name = "UNEQUIPPED CIRCUIT IDENTIFICATION CODE (UCIC)",
     .title = ", UNEQUIPPED CIC MESSAGE (UCIC) (NATIONAL USE)"},
    {.code = 0x2F, .acronym = "CFN", .name = "CONFUSION (CFN)", .title = ", CONFUSION MESSAGE (CFN)",
     .variablePointer = 5, .variable = kCauseIndicators},
    {.code = 0x30, .acronym = "OLM", .name = "OVERLOAD (OLM)", .title = ", OVERLOAD MESSAGE (NATIONAL USE) (OLM)"},
    {.code = 0x31, .acronym = "CRG", .name = "CHARGE INFORMATION (CRG)", .title = ", CHARGE INFORMATION (NATIONAL USE) (CRG)"},
    {.code = 0x32, .acronym = "NRM", .name = "NETWORK RESOURCE MANAGEMENT (NRM)",
     .title = ", NETWORK RESOURCE MANAGEMENT MESSAGE (NRM)", .optional = OptionalPointer::At,
     .optionalPointer = 5},
    {.code = 0x33, .acronym = "FAC", .name = "FACILITY (FAC)", .title = ", FACILITY MESSAGE (FAC)",
     .optional = OptionalPointer::At, .optionalPointer = 5},
    {.code = 0x34, .acronym = "UPT", .name = "USER PART TEST (UPT)", .title = ", USER PART TEST MESSAGE (UPT)",
     .optional = OptionalPointer::At, .optionalPointer = 5},
    {.code = 0x35, .acronym = "UPA", .name = "USER PART AVAILABLE (UPA)", .title = ", USER PART AVAILABLE MESSAGE (UPA)",
     .optional = OptionalPointer::At, .optionalPointer = 5},
    {.code = 0x36, .acronym = "IDR", .name = "IDENTIFICATION REQUEST (IDR)", .title = ", IDENTIFICATION REQUEST MESSAGE (IDR)",
     .optional = OptionalPointer::At, .optionalPointer = 5},
    {.code = 0x37, .acronym = "IRS", .name = "IDENTIFICATION RESPONSE (IRS)", .title = ", IDENTIFICATION RESPONSE MESSAGE (IRS)",
     .optional = OptionalPointer::At, .optionalPointer = 5},
    {.code = 0x38, .acronym = "SGM", .name = "SEGMENTATION (SGM)", .title = ", SEGMENTATION MESSAGE (SGM)",
     .optional = OptionalPointer::At, .optionalPointer = 5},
    {.code = 0x40, .acronym = "LOP", .name = "LOOP PREVENTION (LOP)", .title = ", LOOP PREVENTION MESSAGE (LOP)",
     .optional = OptionalPointer::At, .optionalPointer = 5},
    {.code = 0x41, .acronym = "APM", .name = "APPLICATION TRANSPORT MESSAGE (APM)", .title = ", APPLICATION TRANSPORT MESSAGE (APM)",
     .headerLineEnd = false, .optional = OptionalPointer::At, .optionalPointer = 5},
    {.code = 0x42, .acronym = "PRI", .name = "PRE-RELEASE INFORMATION (PRI)", .title = ", PRE-RELEASE INFORMATION MESSAGE (PRI)",
     .optional = OptionalPointer::At, .optionalPointer = 5},
    {.code = 0xF9, .acronym = "SCB", .name = "SPECIAL CLEARBACK (SCB)", .title = ", SPECIAL CLEAR BACK MESSAGE (SCB) (NATIONAL USE)"},
    {.code = 0xFF, .acronym = "OPR", .name = "OPERATOR MESSAGE (OPR)", .title = ", OPERATOR MESSAGE (OPR)"},
};

// The rows indexed by type code, for a lookup without a search.
const std::array<const MessageType*, 256>& typesByCode() {
    static const std::array<const MessageType*, 256> index = [] {
        std::array<const MessageType*, 256> a{};
        for (const MessageType& t : kMessageTypes) a[t.code] = &t;
        return a;
    }();
    return index;
}

}  // namespace

const MessageType* findMessageType(std::string_view code) {
    const int value = hexOctetValue(code);
    return value < 0 ? nullptr : typesByCode()[static_cast<std::size_t>(value)];
}

std::span<const MessageType> messageTypes() { return kMessageTypes; }

std::string_view messageTypeName(std::string_view code) {
    const MessageType* t = findMessageType(code);
    return t == nullptr ? std::string_view{} : t->name;
}

}  // namespace truno
