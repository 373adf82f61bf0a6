#include "dispatch/MessageDecoders.h"

#include "base/DecodeError.h"
#include "base/FieldTable.h"
#include "parameters/address/AddressDecoders.h"
#include "parameters/callcontrol/CallControlDecoders.h"
#include "parameters/services/ServiceDecoders.h"

#include <array>

namespace truno {
namespace {

// A mandatory fixed parameter: where it stands, how many octets, who renders it, and whether
// a CR LF follows its block.
struct FixedParam {
    std::size_t index;
    std::size_t octets;
    ParameterDecoder decoder;
    bool crlfAfter;
};

// Where the optional-part pointer stands: nowhere (the message never decodes an optional part),
// at a fixed index, or just before the length octet of the mandatory variable parameter (the
// initial address and facility reject messages).
enum class OptionalPointer { None, At, BeforeVariable };

struct MessageLayout {
    std::string_view title;
    bool headerCrLf;
    std::array<FixedParam, 4> fixed;
    std::size_t fixedCount;
    std::size_t variablePointer;  // 0 = no mandatory variable parameter
    ParameterDecoder variableDecoder;
    bool variableCrLf;
    OptionalPointer optional;
    std::size_t optionalPointer;
};

constexpr FixedParam fx(std::size_t index, ParameterDecoder d, bool crlf = true) {
    return FixedParam{index, 1, d, crlf};
}
constexpr FixedParam fx2(std::size_t index, ParameterDecoder d, bool crlf = true) {
    return FixedParam{index, 2, d, crlf};
}

// Message with only an optional-part pointer at index 5 (or nothing at all).
constexpr MessageLayout pointerOnly(std::string_view title, bool headerCrLf = true) {
    return MessageLayout{title, headerCrLf, {}, 0, 0, nullptr, false, OptionalPointer::At, 5};
}
constexpr MessageLayout headerOnly(std::string_view title) {
    return MessageLayout{title, true, {}, 0, 0, nullptr, false, OptionalPointer::None, 0};
}
constexpr MessageLayout fixedThenPointer(std::string_view title, FixedParam f) {
    return MessageLayout{title, true, {f}, 1, 0, nullptr, false, OptionalPointer::At, 6};
}
constexpr MessageLayout circuitGroup(std::string_view title) {
    return MessageLayout{title, true, {fx(5, CircuitCICGroupSupervisionMsgType)}, 1, 6,
                         RangeAndStatu, true, OptionalPointer::None, 0};
}
constexpr MessageLayout rangeOnly(std::string_view title) {
    return MessageLayout{title, true, {}, 0, 5, RangeAndStatu, true, OptionalPointer::None, 0};
}

const MessageLayout kIAM{", INITIAL ADDRESS MESSAGE (IAM)",
                         true,
                         {fx(5, NatureofConnectionIndic), fx2(6, ForwardCallIndic),
                          fx(8, CallingPartyCat), fx(9, TransMedRequirement)},
                         4,
                         10,
                         CalledPartyNo,
                         true,
                         OptionalPointer::BeforeVariable,
                         0};
const MessageLayout kSAM{", SUBSEQUENT ADDRESS MESSAGE (SAM)", true, {}, 0, 5, SubsequentNum, true,
                         OptionalPointer::At, 6};
const MessageLayout kINR = fixedThenPointer(", INFORMATION REQUEST MESSAGE (NATIONAL USE) (INR)",
                                            fx(5, InformationRequestIndicatorsNatUse));
const MessageLayout kINF = fixedThenPointer(", INFORMATION MESSAGE (NATIONAL USE) (INF)",
                                            fx(5, InformationIndicatorsNatUse));
const MessageLayout kCOT{", CONTINUITY MESSAGE (COT)", true, {fx(5, ContinuityIndicator)}, 1, 0,
                         nullptr, false, OptionalPointer::None, 0};
const MessageLayout kACM{", ADDRESS COMPLETE MESSAGE (ACM)", true,
                         {fx2(5, BackCallIndicator, false)}, 1, 0, nullptr, false,
                         OptionalPointer::At, 7};
const MessageLayout kCON{", CONNECT MESSAGE (CON)", true, {fx2(5, BackCallIndicator)}, 1, 0,
                         nullptr, false, OptionalPointer::At, 7};
const MessageLayout kFOT = pointerOnly(", FORWARD TRANSFER MESSAGE (FOT)");
const MessageLayout kANM = pointerOnly(", ANSWER MESSAGE (ANM)", false);
const MessageLayout kREL{", RELEASE MESSAGE (REL)", true, {}, 0, 5, CauseIndic, false,
                         OptionalPointer::At, 6};
const MessageLayout kSUS = fixedThenPointer(", SUSPEND MESSAGE (SUS)", fx(5, SuspendResumeIndic));
const MessageLayout kRES = fixedThenPointer(", RESUME MESSAGE (RES)", fx(5, SuspendResumeIndic));
const MessageLayout kRLC = pointerOnly(", RELEASE COMPLETE MESSAGE (RLC)");
const MessageLayout kRSC = headerOnly(", RESET CIC MESSAGE (RSC)");
const MessageLayout kGRS = rangeOnly(", CIC GROUP RESET MESSAGE (GRS)");
const MessageLayout kCGB = circuitGroup(", CIC GROUP BLOCKING MESSAGE (CGB)");
const MessageLayout kCGU = circuitGroup(", CIC GROUP UNBLOCKING MESSAGE (CGU)");
const MessageLayout kCGBA = circuitGroup(", CIC GROUP BLOCKING ACKNOWLEDGEMENT MESSAGE (CGBA)");
const MessageLayout kCGUA = circuitGroup(", CIC GROUP UNBLOCKING ACKNOWLEDGEMENT MESSAGE (CGUA)");
const MessageLayout kGRA = rangeOnly(", CIC GROUP RESET ACKNOWLEDGEMENT MESSAGE (GRA)");
const MessageLayout kFAR = fixedThenPointer(", FACILITY REQUEST MESSAGE (FAR)", fx(5, FacilityIndic));
const MessageLayout kFAA = fixedThenPointer(", FACILITY ACCEPTED MESSAGE (FAA)", fx(5, FacilityIndic));
const MessageLayout kFRJ{", FACILITY REJECT MESSAGE (FRJ)", true, {fx(5, FacilityIndic)}, 1, 6,
                         CauseIndic, true, OptionalPointer::BeforeVariable, 0};
const MessageLayout kCPG = fixedThenPointer(", CALL PROGRESS MESSAGE (CPG)", fx(5, EventInform));
const MessageLayout kUSR{", USER-TO-USER INFORMATION (USR)", true, {}, 0, 5, UserToUserInfo, true,
                         OptionalPointer::At, 6};
const MessageLayout kCFN{", CONFUSION MESSAGE (CFN)", true, {}, 0, 5, CauseIndic, true,
                         OptionalPointer::None, 0};
const MessageLayout kUCIC = headerOnly(", UNEQUIPPED CIC MESSAGE (UCIC) (NATIONAL USE)");
const MessageLayout kCRG = headerOnly(", CHARGE INFORMATION (NATIONAL USE) (CRG)");
const MessageLayout kNRM = pointerOnly(", NETWORK RESOURCE MANAGEMENT MESSAGE (NRM)");
const MessageLayout kFAC = pointerOnly(", FACILITY MESSAGE (FAC)");
const MessageLayout kIDR = pointerOnly(", IDENTIFICATION REQUEST MESSAGE (IDR)");
const MessageLayout kIRS = pointerOnly(", IDENTIFICATION RESPONSE MESSAGE (IRS)");
const MessageLayout kSGM = pointerOnly(", SEGMENTATION MESSAGE (SGM)");
const MessageLayout kLOP = pointerOnly(", LOOP PREVENTION MESSAGE (LOP)");
const MessageLayout kAPM = pointerOnly(", APPLICATION TRANSPORT MESSAGE (APM)", false);
const MessageLayout kPRI = pointerOnly(", PRE-RELEASE INFORMATION MESSAGE (PRI)");
const MessageLayout kSCB = headerOnly(", SPECIAL CLEAR BACK MESSAGE (SCB) (NATIONAL USE)");
const MessageLayout kOPR = headerOnly(", OPERATOR MESSAGE (OPR)");

// Optional part start from the pointer at index p: 0 stays 0 (no optional part), otherwise the
// pointer counts from its own index and must land on an octet of the message.
std::size_t optionalStart(const DecodingState& s, std::size_t p) {
    const std::uint64_t value = s.octetValue(p, "optional-part pointer");
    if (value == 0) return 0;
    const std::uint64_t start = p + value;
    if (start >= s.MessageOctets.size())
        throw DecodeError("optional-part pointer at index " + std::to_string(p) + " (value " +
                          std::to_string(value) + ") points to index " + std::to_string(start) +
                          ", past the last octet (the message has " +
                          std::to_string(s.MessageOctets.size()) + " octets)");
    return static_cast<std::size_t>(start);
}

void decode(DecodingState& s, const MessageLayout& m) {
    Text& header = s.MessageHeaderText;
    header.clear();
    DressData(header, "MESSAGE");
    appendDecimal(header, s.octetValue(4, "message type code"));
    header += m.title;
    if (m.headerCrLf) header += CRLF;

    Text& mandatory = s.MandatoryPartText;
    mandatory.clear();
    mandatory += header;
    mandatory += CRLF;
    for (std::size_t i = 0; i < m.fixedCount; ++i) {
        const FixedParam& f = m.fixed[i];
        m.fixed[i].decoder(s.contentsOf(f.index, f.octets, "mandatory fixed parameter"), mandatory);
        if (f.crlfAfter) mandatory += CRLF;
    }

    s.VariablePartText.clear();
    std::size_t lengthIndex = 0;
    if (m.variablePointer != 0) {
        const std::size_t p = m.variablePointer;
        const std::uint64_t pointer = s.octetValue(p, "mandatory variable parameter pointer");
        lengthIndex = p + static_cast<std::size_t>(pointer);
        if (pointer >= s.MessageOctets.size() || lengthIndex >= s.MessageOctets.size())
            throw DecodeError("mandatory variable parameter pointer at index " + std::to_string(p) +
                              " (value " + std::to_string(pointer) + ") points past the last octet (the message has " +
                              std::to_string(s.MessageOctets.size()) + " octets)");
        const std::uint64_t n = s.octetValue(lengthIndex, "mandatory variable parameter length");
        if (n > s.MessageOctets.size() - lengthIndex - 1)
            throw DecodeError("mandatory variable parameter length " + std::to_string(n) +
                              " at index " + std::to_string(lengthIndex) +
                              " runs past the last octet (the message has " +
                              std::to_string(s.MessageOctets.size()) + " octets)");
        m.variableDecoder(s.contentsOf(lengthIndex + 1, static_cast<std::size_t>(n),
                                       "mandatory variable parameter"),
                          s.VariablePartText);
        if (m.variableCrLf) s.VariablePartText += CRLF;
    }

    switch (m.optional) {
        case OptionalPointer::None: s.OptionalPartStart = 0; break;
        case OptionalPointer::At: s.OptionalPartStart = optionalStart(s, m.optionalPointer); break;
        case OptionalPointer::BeforeVariable: s.OptionalPartStart = optionalStart(s, lengthIndex - 1); break;
    }
}

}  // namespace

void ModIAM(DecodingState& s) { decode(s, kIAM); }
void ModSAM(DecodingState& s) { decode(s, kSAM); }
void ModINR(DecodingState& s) { decode(s, kINR); }
void ModINF(DecodingState& s) { decode(s, kINF); }
void ModCOT(DecodingState& s) { decode(s, kCOT); }
void ModACM(DecodingState& s) { decode(s, kACM); }
void ModCON(DecodingState& s) { decode(s, kCON); }
void ModFOT(DecodingState& s) { decode(s, kFOT); }
void ModANM(DecodingState& s) { decode(s, kANM); }
void ModREL(DecodingState& s) { decode(s, kREL); }
void ModSUS(DecodingState& s) { decode(s, kSUS); }
void ModRES(DecodingState& s) { decode(s, kRES); }
void ModRLC(DecodingState& s) { decode(s, kRLC); }
void ModRSC(DecodingState& s) { decode(s, kRSC); }
void ModGRS(DecodingState& s) { decode(s, kGRS); }
void ModCGB(DecodingState& s) { decode(s, kCGB); }
void ModCGU(DecodingState& s) { decode(s, kCGU); }
void ModCGBA(DecodingState& s) { decode(s, kCGBA); }
void ModCGUA(DecodingState& s) { decode(s, kCGUA); }
void ModGRA(DecodingState& s) { decode(s, kGRA); }
void ModFAR(DecodingState& s) { decode(s, kFAR); }
void ModFAA(DecodingState& s) { decode(s, kFAA); }
void ModFRJ(DecodingState& s) { decode(s, kFRJ); }
void ModCPG(DecodingState& s) { decode(s, kCPG); }
void ModUSR(DecodingState& s) { decode(s, kUSR); }
void ModCFN(DecodingState& s) { decode(s, kCFN); }
void ModUCIC(DecodingState& s) { decode(s, kUCIC); }
void ModCRG(DecodingState& s) { decode(s, kCRG); }
void ModNRM(DecodingState& s) { decode(s, kNRM); }
void ModFAC(DecodingState& s) { decode(s, kFAC); }
void ModIDR(DecodingState& s) { decode(s, kIDR); }
void ModIRS(DecodingState& s) { decode(s, kIRS); }
void ModSGM(DecodingState& s) { decode(s, kSGM); }
void ModLOP(DecodingState& s) { decode(s, kLOP); }
void ModAPM(DecodingState& s) { decode(s, kAPM); }
void ModPRI(DecodingState& s) { decode(s, kPRI); }
void ModSCB(DecodingState& s) { decode(s, kSCB); }
void ModOPR(DecodingState& s) { decode(s, kOPR); }

void RangeAndStatu(std::string_view /*contents*/, Text& /*out*/) {}

}  // namespace truno
