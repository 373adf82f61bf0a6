// Each message decoder: header line, which octets reach which parameter decoder, the line
// ends between them, and where the optional part starts.
#include "base/DecodeError.h"
#include "dispatch/Codes.h"
#include "dispatch/MessageTypes.h"
#include "dispatch/ParameterTable.h"
#include "tests/run/TestSupport.h"

#include <gtest/gtest.h>

#include <functional>

namespace truno {
namespace {

using namespace codes;
using testing::Message;

std::string header(int code, const std::string& title, bool crlf = true) {
    return dressLabel("MESSAGE") + std::to_string(code) + title + (crlf ? "\r\n" : "");
}

// The mandatory part of a message, decoded by the row of its type code (octet index 4), and
// where its optional part starts.
std::size_t mandatoryPart(Message& m, Text& out) {
    return decodeMandatoryPart(m.state, *findMessageType(m.state.MessageOctets.at(4)), out);
}

// The block of a parameter, as the table shows it.
std::string r(std::uint8_t code, const std::string& contents) {
    Text out;
    appendParameterBlock(*findParameter(code), contents, out);
    return out.str();
}

struct LayoutCase {
    const char* name;
    const char* octets;
    std::function<std::string()> expected;
    std::size_t optionalStart;
};

const std::string CRLF_ = "\r\n";

TEST(MessageLayout, EveryMessageRendersItsMandatoryPartAndFindsItsOptionalPart) {
    const LayoutCase cases[] = {
        {"IAM", "2A 00 00 00 01 10 60 01 0A 00 02 05 03 03 10 21 00", [] {
             return header(1, ", INITIAL ADDRESS MESSAGE (IAM)") + CRLF_ + r(kNatureOfConnectionIndicators, "10") + CRLF_ +
                    r(kForwardCallIndicators, "6001") + CRLF_ + r(kCallingPartysCategory, "0A") + CRLF_ +
                    r(kTransmissionMediumRequirement, "00") + CRLF_ + r(kCalledPartyNumber, "031021") + CRLF_;
         }, 16},
        {"IAM without optional part", "2A 00 00 00 01 10 60 01 0A 00 02 00 03 03 10 21", [] {
             return header(1, ", INITIAL ADDRESS MESSAGE (IAM)") + CRLF_ + r(kNatureOfConnectionIndicators, "10") + CRLF_ +
                    r(kForwardCallIndicators, "6001") + CRLF_ + r(kCallingPartysCategory, "0A") + CRLF_ +
                    r(kTransmissionMediumRequirement, "00") + CRLF_ + r(kCalledPartyNumber, "031021") + CRLF_;
         }, 0},
        {"SAM", "00 00 00 00 02 02 00 02 21 43", [] {
             return header(2, ", SUBSEQUENT ADDRESS MESSAGE (SAM)") + CRLF_ + r(kSubsequentNumber, "2143") + CRLF_;
         }, 0},
        {"INR", "00 00 00 00 03 01 01 00", [] {
             return header(3, ", INFORMATION REQUEST MESSAGE (NATIONAL USE) (INR)") + CRLF_ +
                    r(kInformationRequestIndicators, "01") + CRLF_;
         }, 7},
        {"INF", "00 00 00 00 04 01 00", [] {
             return header(4, ", INFORMATION MESSAGE (NATIONAL USE) (INF)") + CRLF_ + r(kInformationIndicators, "01") + CRLF_;
         }, 0},
        {"COT never walks an optional part", "00 00 00 00 05 01 01 00", [] {
             return header(5, ", CONTINUITY MESSAGE (COT)") + CRLF_ + r(kContinuityIndicators, "01") + CRLF_;
         }, 0},
        {"ACM has no CR LF after its indicators", "00 00 00 00 06 16 14 01 00", [] {
             return header(6, ", ADDRESS COMPLETE MESSAGE (ACM)") + CRLF_ + r(kBackwardCallIndicators, "1614");
         }, 8},
        {"CON", "00 00 00 00 07 16 14 00", [] {
             return header(7, ", CONNECT MESSAGE (CON)") + CRLF_ + r(kBackwardCallIndicators, "1614") + CRLF_;
         }, 0},
        {"FOT", "00 00 00 00 08 01 00", [] { return header(8, ", FORWARD TRANSFER MESSAGE (FOT)") + CRLF_; }, 6},
        {"ANM header without CR LF", "00 00 00 00 09 00", [] { return header(9, ", ANSWER MESSAGE (ANM)", false) + CRLF_; }, 0},
        {"ANM with pointer", "00 00 00 00 09 01 00", [] { return header(9, ", ANSWER MESSAGE (ANM)", false) + CRLF_; }, 6},
        {"REL has no CR LF after the cause", "00 00 00 00 0C 02 04 02 80 90 00", [] {
             return header(12, ", RELEASE MESSAGE (REL)") + CRLF_ + r(kCauseIndicators, "8090");
         }, 10},
        {"REL without optional part", "00 00 00 00 0C 02 00 02 80 90", [] {
             return header(12, ", RELEASE MESSAGE (REL)") + CRLF_ + r(kCauseIndicators, "8090");
         }, 0},
        {"SUS", "00 00 00 00 0D 00 00", [] { return header(13, ", SUSPEND MESSAGE (SUS)") + CRLF_ + r(kSuspendResumeIndicators, "00") + CRLF_; }, 0},
        {"RES", "00 00 00 00 0E 01 00", [] { return header(14, ", RESUME MESSAGE (RES)") + CRLF_ + r(kSuspendResumeIndicators, "01") + CRLF_; }, 0},
        {"RLC", "00 00 00 00 10 00", [] { return header(16, ", RELEASE COMPLETE MESSAGE (RLC)") + CRLF_; }, 0},
        {"RSC", "00 00 00 00 12", [] { return header(18, ", RESET CIC MESSAGE (RSC)") + CRLF_; }, 0},
        {"GRS", "00 00 00 00 17 01 01 07", [] { return header(23, ", CIC GROUP RESET MESSAGE (GRS)") + CRLF_ + CRLF_; }, 0},
        {"CGB", "00 00 00 00 18 00 01 02 07 FF", [] {
             return header(24, ", CIC GROUP BLOCKING MESSAGE (CGB)") + CRLF_ + r(kCircuitGroupSupervisionMessageType, "00") + CRLF_ + CRLF_;
         }, 0},
        {"CGU", "00 00 00 00 19 01 01 02 07 FF", [] {
             return header(25, ", CIC GROUP UNBLOCKING MESSAGE (CGU)") + CRLF_ + r(kCircuitGroupSupervisionMessageType, "01") + CRLF_ + CRLF_;
         }, 0},
        {"CGBA", "00 00 00 00 1A 00 01 02 07 FF", [] {
             return header(26, ", CIC GROUP BLOCKING ACKNOWLEDGEMENT MESSAGE (CGBA)") + CRLF_ + r(kCircuitGroupSupervisionMessageType, "00") + CRLF_ + CRLF_;
         }, 0},
        {"CGUA", "00 00 00 00 1B 00 01 02 07 FF", [] {
             return header(27, ", CIC GROUP UNBLOCKING ACKNOWLEDGEMENT MESSAGE (CGUA)") + CRLF_ + r(kCircuitGroupSupervisionMessageType, "00") + CRLF_ + CRLF_;
         }, 0},
        {"GRA", "00 00 00 00 29 01 02 07 FF", [] { return header(41, ", CIC GROUP RESET ACKNOWLEDGEMENT MESSAGE (GRA)") + CRLF_ + CRLF_; }, 0},
        {"FAR", "00 00 00 00 1F 02 01 00", [] { return header(31, ", FACILITY REQUEST MESSAGE (FAR)") + CRLF_ + r(kFacilityIndicator, "02") + CRLF_; }, 7},
        {"FAA", "00 00 00 00 20 02 00", [] { return header(32, ", FACILITY ACCEPTED MESSAGE (FAA)") + CRLF_ + r(kFacilityIndicator, "02") + CRLF_; }, 0},
        {"FRJ", "00 00 00 00 21 02 02 03 02 80 9F 00", [] {
             return header(33, ", FACILITY REJECT MESSAGE (FRJ)") + CRLF_ + r(kFacilityIndicator, "02") + CRLF_ + r(kCauseIndicators, "809F") + CRLF_;
         }, 10},
        {"CPG", "00 00 00 00 2C 01 00", [] { return header(44, ", CALL PROGRESS MESSAGE (CPG)") + CRLF_ + r(kEventInformation, "01") + CRLF_; }, 0},
        {"USR", "00 00 00 00 2D 02 00 02 AB CD", [] { return header(45, ", USER-TO-USER INFORMATION (USR)") + CRLF_ + r(kUserToUserInformation, "ABCD") + CRLF_; }, 0},
        {"CFN", "00 00 00 00 2F 01 02 84 E3", [] { return header(47, ", CONFUSION MESSAGE (CFN)") + CRLF_ + r(kCauseIndicators, "84E3") + CRLF_; }, 0},
        {"UCIC", "00 00 00 00 2E", [] { return header(46, ", UNEQUIPPED CIC MESSAGE (UCIC) (NATIONAL USE)") + CRLF_; }, 0},
        {"CRG", "00 00 00 00 31 01 00", [] { return header(49, ", CHARGE INFORMATION (NATIONAL USE) (CRG)") + CRLF_; }, 0},
        {"NRM", "00 00 00 00 32 01 00", [] { return header(50, ", NETWORK RESOURCE MANAGEMENT MESSAGE (NRM)") + CRLF_; }, 6},
        {"FAC", "00 00 00 00 33 01 00", [] { return header(51, ", FACILITY MESSAGE (FAC)") + CRLF_; }, 6},
        {"IDR", "00 00 00 00 36 00", [] { return header(54, ", IDENTIFICATION REQUEST MESSAGE (IDR)") + CRLF_; }, 0},
        {"IRS", "00 00 00 00 37 01 00", [] { return header(55, ", IDENTIFICATION RESPONSE MESSAGE (IRS)") + CRLF_; }, 6},
        {"SGM", "00 00 00 00 38 01 00", [] { return header(56, ", SEGMENTATION MESSAGE (SGM)") + CRLF_; }, 6},
        {"LOP", "00 00 00 00 40 01 00", [] { return header(64, ", LOOP PREVENTION MESSAGE (LOP)") + CRLF_; }, 6},
        {"APM header without CR LF", "00 00 00 00 41 01 00", [] { return header(65, ", APPLICATION TRANSPORT MESSAGE (APM)", false) + CRLF_; }, 6},
        {"PRI", "00 00 00 00 42 01 00", [] { return header(66, ", PRE-RELEASE INFORMATION MESSAGE (PRI)") + CRLF_; }, 6},
        {"SCB", "00 00 00 00 F9 01", [] { return header(249, ", SPECIAL CLEAR BACK MESSAGE (SCB) (NATIONAL USE)") + CRLF_; }, 0},
        {"OPR", "00 00 00 00 FF 05", [] { return header(255, ", OPERATOR MESSAGE (OPR)") + CRLF_; }, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Message m(c.octets);
        Text out;
        EXPECT_EQ(mandatoryPart(m, out), c.optionalStart);
        EXPECT_EQ(out, c.expected());
    }
}

TEST(MessageLayout, IndexesPastTheLastOctetFailWithTheReason) {
    const struct { const char* octets; const char* reasonPart; } cases[] = {
        {"00 00 00 00 01 10 60 01 0A", "mandatory fixed parameter"},
        {"00 00 00 00 01 10 60 01 0A 00 09 00 03 03 10 21", "points past the last octet"},
        {"00 00 00 00 01 10 60 01 0A 00 02 00 05 03 10 21", "length 5"},
        {"00 00 00 00 06 16", "mandatory fixed parameter"},
        {"00 00 00 00 06 16 14", "optional-part pointer"},
        {"00 00 00 00 06 16 14 05 00", "past the last octet"},
        {"00 00 00 00 0C 02 00", "points past the last octet"},
        {"00 00 00 00 0C 02 00 03 80", "length 3"},
        {"00 00 00 00 18 00 01 05 07", "length 5"},
        {"00 00 00 00 09 0g", "\"g\" is not a hex digit"},
        {"00 00 00 00 09 0a", "lower-case"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.octets);
        Message m(c.octets);
        try {
            Text out;
            mandatoryPart(m, out);
            ADD_FAILURE() << "no failure";
        } catch (const DecodeError& e) {
            EXPECT_NE(std::string(e.what()).find(c.reasonPart), std::string::npos) << e.what();
        }
    }
}

TEST(MessageLayout, ContentsAreCollectedAfreshForEveryMessage) {
    Message first("00 00 00 00 02 02 00 03 21 43 65");
    Text firstOut;
    mandatoryPart(first, firstOut);
    Message second("00 00 00 00 02 02 00 01 87");
    Text out;
    mandatoryPart(second, out);
    EXPECT_EQ(out, header(2, ", SUBSEQUENT ADDRESS MESSAGE (SAM)") + CRLF_ + r(kSubsequentNumber, "87") + CRLF_);
}

}  // namespace
}  // namespace truno
