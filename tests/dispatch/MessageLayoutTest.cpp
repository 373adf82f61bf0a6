// Each message decoder: header line, which octets reach which parameter decoder, the line
// ends between them, and where the optional part starts.
#include "base/DecodeError.h"
#include "dispatch/MessageDecoders.h"
#include "parameters/address/AddressDecoders.h"
#include "parameters/callcontrol/CallControlDecoders.h"
#include "parameters/services/ServiceDecoders.h"
#include "tests/run/TestSupport.h"

#include <gtest/gtest.h>

#include <functional>

namespace truno {
namespace {

using testing::Message;

std::string header(int code, const std::string& title, bool crlf = true) {
    return DressData("MESSAGE") + std::to_string(code) + title + (crlf ? "\r\n" : "");
}
std::string r(ParameterDecoder d, const std::string& contents) { return render(d, contents); }

struct LayoutCase {
    const char* name;
    MessageDecoder decoder;
    const char* octets;
    std::function<std::string()> expected;
    std::size_t optionalStart;
};

const std::string CRLF_ = "\r\n";

TEST(MessageLayout, EveryMessageRendersItsMandatoryPartAndFindsItsOptionalPart) {
    const LayoutCase cases[] = {
        {"IAM", ModIAM, "2A 00 00 00 01 10 60 01 0A 00 02 05 03 03 10 21 00", [] {
             return header(1, ", INITIAL ADDRESS MESSAGE (IAM)") + CRLF_ + r(NatureofConnectionIndic, "10") + CRLF_ +
                    r(ForwardCallIndic, "6001") + CRLF_ + r(CallingPartyCat, "0A") + CRLF_ +
                    r(TransMedRequirement, "00") + CRLF_ + r(CalledPartyNo, "031021") + CRLF_;
         }, 16},
        {"IAM without optional part", ModIAM, "2A 00 00 00 01 10 60 01 0A 00 02 00 03 03 10 21", [] {
             return header(1, ", INITIAL ADDRESS MESSAGE (IAM)") + CRLF_ + r(NatureofConnectionIndic, "10") + CRLF_ +
                    r(ForwardCallIndic, "6001") + CRLF_ + r(CallingPartyCat, "0A") + CRLF_ +
                    r(TransMedRequirement, "00") + CRLF_ + r(CalledPartyNo, "031021") + CRLF_;
         }, 0},
        {"SAM", ModSAM, "00 00 00 00 02 02 00 02 21 43", [] {
             return header(2, ", SUBSEQUENT ADDRESS MESSAGE (SAM)") + CRLF_ + r(SubsequentNum, "2143") + CRLF_;
         }, 0},
        {"INR", ModINR, "00 00 00 00 03 01 01 00", [] {
             return header(3, ", INFORMATION REQUEST MESSAGE (NATIONAL USE) (INR)") + CRLF_ +
                    r(InformationRequestIndicatorsNatUse, "01") + CRLF_;
         }, 7},
        {"INF", ModINF, "00 00 00 00 04 01 00", [] {
             return header(4, ", INFORMATION MESSAGE (NATIONAL USE) (INF)") + CRLF_ + r(InformationIndicatorsNatUse, "01") + CRLF_;
         }, 0},
        {"COT never walks an optional part", ModCOT, "00 00 00 00 05 01 01 00", [] {
             return header(5, ", CONTINUITY MESSAGE (COT)") + CRLF_ + r(ContinuityIndicator, "01") + CRLF_;
         }, 0},
        {"ACM has no CR LF after its indicators", ModACM, "00 00 00 00 06 16 14 01 00", [] {
             return header(6, ", ADDRESS COMPLETE MESSAGE (ACM)") + CRLF_ + r(BackCallIndicator, "1614");
         }, 8},
        {"CON", ModCON, "00 00 00 00 07 16 14 00", [] {
             return header(7, ", CONNECT MESSAGE (CON)") + CRLF_ + r(BackCallIndicator, "1614") + CRLF_;
         }, 0},
        {"FOT", ModFOT, "00 00 00 00 08 01 00", [] { return header(8, ", FORWARD TRANSFER MESSAGE (FOT)") + CRLF_; }, 6},
        {"ANM header without CR LF", ModANM, "00 00 00 00 09 00", [] { return header(9, ", ANSWER MESSAGE (ANM)", false) + CRLF_; }, 0},
        {"ANM with pointer", ModANM, "00 00 00 00 09 01 00", [] { return header(9, ", ANSWER MESSAGE (ANM)", false) + CRLF_; }, 6},
        {"REL has no CR LF after the cause", ModREL, "00 00 00 00 0C 02 04 02 80 90 00", [] {
             return header(12, ", RELEASE MESSAGE (REL)") + CRLF_ + r(CauseIndic, "8090");
         }, 10},
        {"REL without optional part", ModREL, "00 00 00 00 0C 02 00 02 80 90", [] {
             return header(12, ", RELEASE MESSAGE (REL)") + CRLF_ + r(CauseIndic, "8090");
         }, 0},
        {"SUS", ModSUS, "00 00 00 00 0D 00 00", [] { return header(13, ", SUSPEND MESSAGE (SUS)") + CRLF_ + r(SuspendResumeIndic, "00") + CRLF_; }, 0},
        {"RES", ModRES, "00 00 00 00 0E 01 00", [] { return header(14, ", RESUME MESSAGE (RES)") + CRLF_ + r(SuspendResumeIndic, "01") + CRLF_; }, 0},
        {"RLC", ModRLC, "00 00 00 00 10 00", [] { return header(16, ", RELEASE COMPLETE MESSAGE (RLC)") + CRLF_; }, 0},
        {"RSC", ModRSC, "00 00 00 00 12", [] { return header(18, ", RESET CIC MESSAGE (RSC)") + CRLF_; }, 0},
        {"GRS", ModGRS, "00 00 00 00 17 01 01 07", [] { return header(23, ", CIC GROUP RESET MESSAGE (GRS)") + CRLF_ + CRLF_; }, 0},
        {"CGB", ModCGB, "00 00 00 00 18 00 01 02 07 FF", [] {
             return header(24, ", CIC GROUP BLOCKING MESSAGE (CGB)") + CRLF_ + r(CircuitCICGroupSupervisionMsgType, "00") + CRLF_ + CRLF_;
         }, 0},
        {"CGU", ModCGU, "00 00 00 00 19 01 01 02 07 FF", [] {
             return header(25, ", CIC GROUP UNBLOCKING MESSAGE (CGU)") + CRLF_ + r(CircuitCICGroupSupervisionMsgType, "01") + CRLF_ + CRLF_;
         }, 0},
        {"CGBA", ModCGBA, "00 00 00 00 1A 00 01 02 07 FF", [] {
             return header(26, ", CIC GROUP BLOCKING ACKNOWLEDGEMENT MESSAGE (CGBA)") + CRLF_ + r(CircuitCICGroupSupervisionMsgType, "00") + CRLF_ + CRLF_;
         }, 0},
        {"CGUA", ModCGUA, "00 00 00 00 1B 00 01 02 07 FF", [] {
             return header(27, ", CIC GROUP UNBLOCKING ACKNOWLEDGEMENT MESSAGE (CGUA)") + CRLF_ + r(CircuitCICGroupSupervisionMsgType, "00") + CRLF_ + CRLF_;
         }, 0},
        {"GRA", ModGRA, "00 00 00 00 29 01 02 07 FF", [] { return header(41, ", CIC GROUP RESET ACKNOWLEDGEMENT MESSAGE (GRA)") + CRLF_ + CRLF_; }, 0},
        {"FAR", ModFAR, "00 00 00 00 1F 02 01 00", [] { return header(31, ", FACILITY REQUEST MESSAGE (FAR)") + CRLF_ + r(FacilityIndic, "02") + CRLF_; }, 7},
        {"FAA", ModFAA, "00 00 00 00 20 02 00", [] { return header(32, ", FACILITY ACCEPTED MESSAGE (FAA)") + CRLF_ + r(FacilityIndic, "02") + CRLF_; }, 0},
        {"FRJ", ModFRJ, "00 00 00 00 21 02 02 03 02 80 9F 00", [] {
             return header(33, ", FACILITY REJECT MESSAGE (FRJ)") + CRLF_ + r(FacilityIndic, "02") + CRLF_ + r(CauseIndic, "809F") + CRLF_;
         }, 10},
        {"CPG", ModCPG, "00 00 00 00 2C 01 00", [] { return header(44, ", CALL PROGRESS MESSAGE (CPG)") + CRLF_ + r(EventInform, "01") + CRLF_; }, 0},
        {"USR", ModUSR, "00 00 00 00 2D 02 00 02 AB CD", [] { return header(45, ", USER-TO-USER INFORMATION (USR)") + CRLF_ + r(UserToUserInfo, "ABCD") + CRLF_; }, 0},
        {"CFN", ModCFN, "00 00 00 00 2F 01 02 84 E3", [] { return header(47, ", CONFUSION MESSAGE (CFN)") + CRLF_ + r(CauseIndic, "84E3") + CRLF_; }, 0},
        {"UCIC", ModUCIC, "00 00 00 00 2E", [] { return header(46, ", UNEQUIPPED CIC MESSAGE (UCIC) (NATIONAL USE)") + CRLF_; }, 0},
        {"CRG", ModCRG, "00 00 00 00 31 01 00", [] { return header(49, ", CHARGE INFORMATION (NATIONAL USE) (CRG)") + CRLF_; }, 0},
        {"NRM", ModNRM, "00 00 00 00 32 01 00", [] { return header(50, ", NETWORK RESOURCE MANAGEMENT MESSAGE (NRM)") + CRLF_; }, 6},
        {"FAC", ModFAC, "00 00 00 00 33 01 00", [] { return header(51, ", FACILITY MESSAGE (FAC)") + CRLF_; }, 6},
        {"IDR", ModIDR, "00 00 00 00 36 00", [] { return header(54, ", IDENTIFICATION REQUEST MESSAGE (IDR)") + CRLF_; }, 0},
        {"IRS", ModIRS, "00 00 00 00 37 01 00", [] { return header(55, ", IDENTIFICATION RESPONSE MESSAGE (IRS)") + CRLF_; }, 6},
        {"SGM", ModSGM, "00 00 00 00 38 01 00", [] { return header(56, ", SEGMENTATION MESSAGE (SGM)") + CRLF_; }, 6},
        {"LOP", ModLOP, "00 00 00 00 40 01 00", [] { return header(64, ", LOOP PREVENTION MESSAGE (LOP)") + CRLF_; }, 6},
        {"APM header without CR LF", ModAPM, "00 00 00 00 41 01 00", [] { return header(65, ", APPLICATION TRANSPORT MESSAGE (APM)", false) + CRLF_; }, 6},
        {"PRI", ModPRI, "00 00 00 00 42 01 00", [] { return header(66, ", PRE-RELEASE INFORMATION MESSAGE (PRI)") + CRLF_; }, 6},
        {"SCB", ModSCB, "00 00 00 00 F9 01", [] { return header(249, ", SPECIAL CLEAR BACK MESSAGE (SCB) (NATIONAL USE)") + CRLF_; }, 0},
        {"OPR", ModOPR, "00 00 00 00 FF 05", [] { return header(255, ", OPERATOR MESSAGE (OPR)") + CRLF_; }, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Message m(c.octets);
        m.state.OptionalPartStart = 99;  // every decoder must set it
        c.decoder(m.state);
        EXPECT_EQ(m.state.MandatoryPartText + m.state.VariablePartText, c.expected());
        EXPECT_EQ(m.state.OptionalPartStart, c.optionalStart);
    }
}

TEST(MessageLayout, IndexesPastTheLastOctetFailWithTheReason) {
    const struct { const char* octets; MessageDecoder decoder; const char* reasonPart; } cases[] = {
        {"00 00 00 00 01 10 60 01 0A", ModIAM, "mandatory fixed parameter"},
        {"00 00 00 00 01 10 60 01 0A 00 09 00 03 03 10 21", ModIAM, "points past the last octet"},
        {"00 00 00 00 01 10 60 01 0A 00 02 00 05 03 10 21", ModIAM, "length 5"},
        {"00 00 00 00 06 16", ModACM, "mandatory fixed parameter"},
        {"00 00 00 00 06 16 14", ModACM, "optional-part pointer"},
        {"00 00 00 00 06 16 14 05 00", ModACM, "past the last octet"},
        {"00 00 00 00 0C 02 00", ModREL, "points past the last octet"},
        {"00 00 00 00 0C 02 00 03 80", ModREL, "length 3"},
        {"00 00 00 00 18 00 01 05 07", ModCGB, "length 5"},
        {"00 00 00 00 09 0g", ModANM, "\"g\" is not a hex digit"},
        {"00 00 00 00 09 0a", ModANM, "lower-case"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.octets);
        Message m(c.octets);
        try {
            c.decoder(m.state);
            ADD_FAILURE() << "no failure";
        } catch (const DecodeError& e) {
            EXPECT_NE(std::string(e.what()).find(c.reasonPart), std::string::npos) << e.what();
        }
    }
}

TEST(MessageLayout, ContentsAreCollectedAfreshForEveryMessage) {
    Message first("00 00 00 00 02 02 00 03 21 43 65");
    ModSAM(first.state);
    Message second("00 00 00 00 02 02 00 01 87");
    ModSAM(second.state);
    EXPECT_EQ(second.state.VariablePartText, render(SubsequentNum, "87") + "\r\n");
}

}  // namespace
}  // namespace truno
