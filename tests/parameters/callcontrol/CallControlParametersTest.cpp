// Optional call indicators, event information, information (request) indicators, user service
// information, circuit supervision indicators and the remaining call-control parameters.
#include "base/DecodeError.h"
#include "base/ParameterDecoder.h"
#include "base/ReportLayout.h"
#include "parameters/callcontrol/CallControlDecoders.h"
#include "tests/parameters/BlockOrDecoder.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace truno {
namespace {

struct BlockCase {
    const char* what;
    BlockOrDecoder decoder;
    std::string_view contents;
    std::string expected;
};

std::string heading(std::string_view text) { return std::string(text) + "\r\n"; }

// A level-2 field line, and the same line left open at the end of a block.
std::string l2(std::string_view label, std::string_view phrase) {
    return dressLabelL2(label) + std::string(phrase) + "\r\n";
}
std::string l2open(std::string_view label, std::string_view phrase) {
    return dressLabelL2(label) + std::string(phrase);
}

// A phrase continued on the next line under the value column.
std::string twoLines(std::string_view first, std::string_view second) {
    return std::string(first) + "\r\n" + std::string(45, ' ') + std::string(second);
}

void expectBlocks(const std::vector<BlockCase>& cases) {
    for (const BlockCase& c : cases) {
        SCOPED_TRACE(std::string(c.what) + " contents " + std::string(c.contents));
        EXPECT_EQ(render(c.decoder, c.contents), c.expected);
    }
}

std::string hex2(unsigned v) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    return {kDigits[(v >> 4) & 15], kDigits[v & 15]};
}

// ---------------------------------------------------------------------------------------------

const std::string kSegmentationMore =
    twoLines("1, additional information will be sent", "in a segmentation message");

std::string optionalForward(std::string_view cug, std::string_view segmentation,
                            std::string_view connectedLine) {
    return heading("OPTIONAL FORWARD CALL INDICATORS:") +
           l2("Closed user grp. call indicator", cug) +
           l2("Simple segmentation indicator", segmentation) +
           l2("Connected line ID request indic", connectedLine);
}

TEST(OptionalForwardCallIndicators, ReadsBitsBAThenCThenHOfTheLastOctet) {
    const std::string none = optionalForward(
        "0, non-CUG call", "0, no additional information will be sent", "0, not requested");
    expectBlocks({
        {"all clear", kOptionalForwardCallIndicatorsBlock, "00", none},
        {"H, C, B", kOptionalForwardCallIndicatorsBlock, "86",
         optionalForward("2, CUG call, outgoing access allowed", kSegmentationMore, "1, requested")},
        {"CUG 01", kOptionalForwardCallIndicatorsBlock, "01",
         optionalForward("1, spare", "0, no additional information will be sent",
                         "0, not requested")},
        {"last of two octets", kOptionalForwardCallIndicatorsBlock, "8603",
         optionalForward("3, CUG call, outgoing access not allowed",
                         "0, no additional information will be sent", "0, not requested")},
    });
}

std::string optionalBackward(std::string_view inBand, std::string_view diversion,
                             std::string_view segmentation, std::string_view mlpp,
                             std::string_view supervision, std::string_view lastParty) {
    return heading("OPTIONAL BACKWARD CALL INDICATORS:") +
           l2("In-band information indicator", inBand) +
           l2("Call diversion may occur indicator", diversion) +
           l2("Simple segmentation indicator", segmentation) + l2("MLPP user indicator", mlpp) +
           l2("Time superv. before B-answer indic", supervision) +
           l2("Last party release indicator", lastParty);
}

TEST(OptionalBackwardCallIndicators, ShowsBitsAToDAndGH) {
    const std::string none = optionalBackward(
        "0, no indication", "0, no indication", "0, no additional information will be sent",
        "0, no indication", "0, time supervision before B-answer.", "0, ordinary release");
    expectBlocks({
        {"all clear", kOptionalBackwardCallIndicatorsBlock, "00", none},
        {"in-band", kOptionalBackwardCallIndicatorsBlock, "01",
         optionalBackward(twoLines("1, in-band information or an appropriate",
                                   "pattern is now available"),
                          "0, no indication", "0, no additional information will be sent",
                          "0, no indication", "0, time supervision before B-answer.",
                          "0, ordinary release")},
        {"G H", kOptionalBackwardCallIndicatorsBlock, "C0",
         optionalBackward("0, no indication", "0, no indication",
                          "0, no additional information will be sent", "0, no indication",
                          "1, no time supervision before B-answer.", "1, last party release")},
        {"B C D, last of two octets", kOptionalBackwardCallIndicatorsBlock, "FF0E",
         optionalBackward("0, no indication", "1, call diversion may occur", kSegmentationMore,
                          "1, MLPP user", "0, time supervision before B-answer.",
                          "0, ordinary release")},
    });
}

TEST(OptionalCallIndicators, ContinuationStartsInTheValueColumn) {
    const std::string block = render(kOptionalBackwardCallIndicatorsBlock, "05");
    const std::size_t first = block.find("1, in-band");
    ASSERT_NE(first, std::string::npos);
    const std::size_t lineStart = block.rfind("\r\n", first) + 2;
    const std::size_t cont = block.find("pattern is now available");
    ASSERT_NE(cont, std::string::npos);
    const std::size_t contLineStart = block.rfind("\r\n", cont) + 2;
    EXPECT_EQ(first - lineStart, cont - contLineStart);
    EXPECT_EQ(block.substr(contLineStart, cont - contLineStart), std::string(45, ' '));
}

// ---------------------------------------------------------------------------------------------

TEST(EventInformation, EventNumberOrBareValueThenBitHWithoutLineEnd) {
    const auto event = [](std::string_view ev, std::string_view restricted) {
        return heading("EVENT INFORMATION:") + l2("Event Indicator", ev) +
               l2open("Event Present. Restrict Indic.", restricted);
    };
    expectBlocks({
        {"alerting", kEventInformationBlock, "01", event("1, ALERTING.", "0, no indication.")},
        {"in-band, restricted", kEventInformationBlock, "83",
         event("3, inband info or appropr. pattern now avail.", "1, presentation restricted.")},
        {"unconditional", kEventInformationBlock, "06", event("6, call forwarded unconditional.",
                                                   "0, no indication.")},
        {"no row 0", kEventInformationBlock, "00", event("0", "0, no indication.")},
        {"no row 7", kEventInformationBlock, "87", event("7", "1, presentation restricted.")},
        {"no row 127", kEventInformationBlock, "7F", event("127", "0, no indication.")},
    });
}

TEST(EventInformation, LinesAreDressedToTheValueColumn) {
    EXPECT_EQ(render(kEventInformationBlock, "04"),
              "EVENT INFORMATION:\r\n"
              "     Event Indicator........................=4, call forwarded on busy.\r\n"
              "     Event Present. Restrict Indic..........=0, no indication.");
}

// ---------------------------------------------------------------------------------------------

std::string information(std::string_view address, std::string_view category,
                        std::string_view solicited) {
    return heading("INFORMATION INDICATORS(NATIONAL USE):") +
           l2("Calling Party Addr Response Indicator", address) +
           l2("CPC Response Indicator", category) +
           l2("Solicited Information Indicator", solicited);
}

std::string informationRequest(std::string_view address, std::string_view category,
                               std::string_view mcid) {
    return heading("INFORMATION REQUEST INDICATORS(NATIONAL USE):") +
           l2("Calling Party Addr Request Indic", address) +
           l2("Calling Party's Category Request Indic", category) +
           l2open("MCID Request Indicator", mcid);
}

TEST(InformationIndicators, OnlyOctetOneIsRead) {
    const std::string none =
        information("0, calling party address not included",
                    "0, calling party's category not included", "0, solicited");
    const std::string noRequest = informationRequest(
        "0, calling party address not requested", "0, calling party's category not requested",
        "0, malicious call ID not requested");
    const std::string allRequested =
        informationRequest("1, calling party address requested",
                           "1, calling party's category requested", "1, malicious call ID requested");
    expectBlocks({
        {"address included", kInformationIndicatorsNationalUseBlock, "0300",
         information("3, calling party address included",
                     "0, calling party's category not included", "0, solicited")},
        {"H F A", kInformationIndicatorsNationalUseBlock, "A100",
         information("1, calling party address not available",
                     "1, calling party's category included", "1, unsolicited")},
        {"address spare", kInformationIndicatorsNationalUseBlock, "02",
         information("2, spare", "0, calling party's category not included", "0, solicited")},
        {"octet 2 takes no part", kInformationIndicatorsNationalUseBlock, "00FF", none},
        {"one octet as the message carries it", kInformationIndicatorsNationalUseBlock, "03",
         information("3, calling party address included",
                     "0, calling party's category not included", "0, solicited")},
        {"H D A", kInformationRequestIndicatorsNationalUseBlock, "8900", allRequested},
        {"one octet", kInformationRequestIndicatorsNationalUseBlock, "89", allRequested},
        {"B C", kInformationRequestIndicatorsNationalUseBlock, "0600", noRequest},
    });
}

// ---------------------------------------------------------------------------------------------

std::string userService(std::string_view contents, std::string_view coding,
                        std::string_view capability, std::string_view mode,
                        std::string_view rate) {
    return "USER SERVICE INFORMATION (" + std::string(contents) + ")\r\n" +
           l2("Coding Standard", coding) + l2("Information Transfer Capability", capability) +
           l2("Transfer Mode", mode) + l2("Information Transfer Rate", rate);
}

TEST(UserServiceInformation, OctetsOneAndTwoAndTheRateMultiplier) {
    const char* itu = "0, ITU-T standardised coding.";
    expectBlocks({
        {"speech with multiplier", UserServiceInformation, "8090A2",
         userService("8090A2", itu, "0, speech.", "00, circuit mode", "64 kbit/s") +
             l2("Rate Multiplier", "34*64 kbit channels")},
        {"extension bit 0", UserServiceInformation, "881000",
         userService("881000", itu, "8, unrestricted digital information.", "00, circuit mode",
                     "64 kbit/s")},
        {"reserved coding and capability", UserServiceInformation, "C310",
         userService("C310", "2, reserved.", "3, reserved.", "00, circuit mode", "64 kbit/s")},
        {"coding 3, capability 9", UserServiceInformation, "E910",
         userService("E910", "3, reserved.", "9, restricted digital information.",
                     "00, circuit mode", "64 kbit/s")},
        {"mode 10, rate 0", UserServiceInformation, "8040",
         userService("8040", itu, "0, speech.", "10, reserved", "0")},
        {"mode 11, rate reserved", UserServiceInformation, "9061",
         userService("9061", itu, "16, 3.1kHz audio.", "11, reserved", "reserved")},
        {"rate reserved", UserServiceInformation, "9113",
         userService("9113", itu, "17, unrestricted digital info with tones/announcements.",
                     "00, circuit mode", "reserved")},
        {"packet mode, multiplier 127", UserServiceInformation, "98B0FF08",
         userService("98B0FF08", itu, "24, video.", "01, packet mode", "64 kbit/s") +
             l2("Rate Multiplier", "127*64 kbit channels")},
        {"two octets, extension bit set", UserServiceInformation, "8890",
         userService("8890", itu, "8, unrestricted digital information.", "00, circuit mode",
                     "64 kbit/s")},
        {"three octets, extension bit set", UserServiceInformation, "8890A6",
         userService("8890A6", itu, "8, unrestricted digital information.", "00, circuit mode",
                     "64 kbit/s") +
             l2("Rate Multiplier", "38*64 kbit channels")},
        {"capability without row", UserServiceInformation, "9F10",
         userService("9F10", itu, "31, reserved.", "00, circuit mode", "64 kbit/s")},
    });
}

// ---------------------------------------------------------------------------------------------

TEST(CircuitSupervisionIndicators, OneDressedLineWithoutLineEnd) {
    const std::string group = dressLabel("CCT/CIC GROUP SUP. MSG TYPE IND");
    const std::string continuity = dressLabel("CONTINUITY INDICATOR");
    const std::string suspend = dressLabel("SUSPEND/RESUME INDICATOR");
    expectBlocks({
        {"maintenance", kCircuitGroupSupervisionMessageTypeBlock, "00", group + "0, maintenance oriented"},
        {"01 under spare bits", kCircuitGroupSupervisionMessageTypeBlock, "FD", group + "1, reserved"},
        {"10", kCircuitGroupSupervisionMessageTypeBlock, "02", group + "2, reserved"},
        {"11", kCircuitGroupSupervisionMessageTypeBlock, "03", group + "3, spare"},
        {"continuity", kContinuityIndicatorsBlock, "01", continuity + "1, continuity"},
        {"spare bits set", kContinuityIndicatorsBlock, "FE", continuity + "0, reserved"},
        {"network", kSuspendResumeIndicatorsBlock, "01", suspend + "1, network initiated"},
        {"subscriber", kSuspendResumeIndicatorsBlock, "FE", suspend + "0, ISDN subscriber initiated"},
    });
    EXPECT_EQ(render(kContinuityIndicatorsBlock, "01"),
              "CONTINUITY INDICATOR........................=1, continuity");
}

TEST(CircuitSupervisionIndicators, HeadingsOnly) {
    const std::string state = "CIRCUIT CIC STATE INDIC- NAT. USE\r\n";
    expectBlocks({
        {"state", CircuitStateIndicatorNationalUse, "00", state},
        {"state, other contents", CircuitStateIndicatorNationalUse, "0103FF", state},
        {"state, unconvertible contents", CircuitStateIndicatorNationalUse, "", state},
    });
}

// ---------------------------------------------------------------------------------------------

TEST(AccessDeliveryAndCongestion, OneLineEndedByCrLf) {
    const std::string delivery = dressLabel("ACCESS DELIVERY INDICATOR");
    const std::string congestion = dressLabel("AUTOMATIC CONGESTION LEVEL");
    expectBlocks({
        {"no setup", kAccessDeliveryInformationBlock, "01", delivery + "1, no setup message generated.\r\n"},
        {"setup", kAccessDeliveryInformationBlock, "FE", delivery + "0, setup message generated.\r\n"},
        {"level 1", AutomaticCongestionLevel, "01", congestion + "1, Congestion Level 1 exceeded.\r\n"},
        {"level 2", AutomaticCongestionLevel, "02", congestion + "2, Congestion Level 2 exceeded.\r\n"},
        {"3", AutomaticCongestionLevel, "03", congestion + "3\r\n"},
        {"0", AutomaticCongestionLevel, "00", congestion + "0\r\n"},
        {"255", AutomaticCongestionLevel, "FF", congestion + "255\r\n"},
        {"whole contents, not the last octet", AutomaticCongestionLevel, "0102",
         congestion + "258\r\n"},
        {"leading zero octets", AutomaticCongestionLevel, "000000000000000000000002",
         congestion + "2, Congestion Level 2 exceeded.\r\n"},
        {"64 bits", AutomaticCongestionLevel, "FFFFFFFFFFFFFFFF", congestion + "18446744073709551615\r\n"},
        {"beyond 64 bits", AutomaticCongestionLevel, "010000000000000000",
         congestion + "18446744073709551616\r\n"},
    });
}

std::string echoControl(std::string_view ogInfo, std::string_view icInfo,
                        std::string_view ogRequest, std::string_view icRequest) {
    return heading("ECHO CONTROL INFORMATION:") + l2("O/G Echo Control Dev. Info Indic", ogInfo) +
           l2("I/C Echo Control Dev. Info Indic", icInfo) +
           l2("O/G Echo Control Dev. Request Indic", ogRequest) +
           l2open("I/C Echo Control Dev. Request Indic", icRequest);
}

TEST(EchoControlInformation, FourTwoBitFieldsLastLineOpen) {
    expectBlocks({
        {"26", kEchoControlInformationBlock, "26",
         echoControl("2, outgoing echo control device included",
                     "1, incoming echo control device not included and not available",
                     "2, outgoing echo control device deactivation request ",
                     "0, no information")},
        {"98", kEchoControlInformationBlock, "98",
         echoControl("0, no information", "2, incoming echo control device included",
                     "1, outgoing echo control device activation request",
                     "2, incoming echo control device deactivation request ")},
        {"FF", kEchoControlInformationBlock, "FF",
         echoControl("3, outgoing echo control device not included but available",
                     "3, incoming echo control device not included but available", "3, spare",
                     "3, spare")},
        {"last of two octets", kEchoControlInformationBlock, "FF41",
         echoControl("1, outgoing echo control device not included and not available",
                     "0, no information", "0, no information",
                     "1, incoming echo control device activation request")},
    });
}

std::string userToUserRequest(std::string_view s1, std::string_view s2, std::string_view s3) {
    return heading("User-to-User Indicators:") + l2("Type", "0, request") + l2("Service 1", s1) +
           l2("Service 2", s2) + l2open("Service 3", s3);
}

std::string userToUserResponse(std::string_view s1, std::string_view s2, std::string_view s3,
                               std::string_view discard) {
    return heading("USER-TO-USER INDICATORS:") + l2("Type", "1, response") + l2("Service 1", s1) +
           l2("Service 2", s2) + l2("Service 3", s3) +
           l2open("Network discard indicator", discard);
}

TEST(UserToUserIndicators, TypeBitChoosesRequestOrResponseForm) {
    const char* none = "0, no information";
    expectBlocks({
        {"request 0A", UserToUserIndicators, "0A", userToUserRequest("1, spare", "1, spare", none)},
        {"request 34", UserToUserIndicators, "34",
         userToUserRequest("2, request, not essential", "2, request not essential",
                           "1, spare")},
        {"request 7E", UserToUserIndicators, "7E",
         userToUserRequest("3, request, essential", "3, request essential",
                           "3, request essential")},
        {"response 8D", UserToUserIndicators, "8D",
         userToUserResponse("2, provided", "1, not provided", none,
                            "1, user-to-user info discarded by network")},
        {"response 7F", UserToUserIndicators, "7F",
         userToUserResponse("3, spare", "3, spare", "3, spare", none)},
        {"response, last of two octets", UserToUserIndicators, "8041",
         userToUserResponse(none, none, "2, provided", none)},
    });
}

// ---------------------------------------------------------------------------------------------
// Which bits of the octet each indicator decoder shows: flipping a shown bit must change the
// block, flipping any other bit must leave it as it is. This catches a field cut from the
// wrong position, a field dropped, or a spare bit leaking into a phrase.

struct BitUseCase {
    const char* what;
    BlockOrDecoder decoder;
    std::function<unsigned(unsigned octet)> shownBits;
    std::string_view suffix;  // octets after the one decoded, for decoders reading octet 1
};

TEST(CallControlIndicatorBits, EveryShownBitAndNoOtherChangesTheBlock) {
    const auto fixed = [](unsigned mask) { return [mask](unsigned) { return mask; }; };
    const std::vector<BitUseCase> cases = {
        {"optional forward", kOptionalForwardCallIndicatorsBlock, fixed(0x87), ""},
        {"optional backward", kOptionalBackwardCallIndicatorsBlock, fixed(0xCF), ""},
        {"event", kEventInformationBlock, fixed(0xFF), ""},
        {"information", kInformationIndicatorsNationalUseBlock, fixed(0xA3), "5A"},
        {"information request", kInformationRequestIndicatorsNationalUseBlock, fixed(0x89), "5A"},
        {"group supervision", kCircuitGroupSupervisionMessageTypeBlock, fixed(0x03), ""},
        {"continuity", kContinuityIndicatorsBlock, fixed(0x01), ""},
        {"suspend/resume", kSuspendResumeIndicatorsBlock, fixed(0x01), ""},
        {"access delivery", kAccessDeliveryInformationBlock, fixed(0x01), ""},
        {"echo control", kEchoControlInformationBlock, fixed(0xFF), ""},
        // Bit H (network discard) is shown only in a response (bit A = 1).
        {"user-to-user", UserToUserIndicators,
         [](unsigned octet) { return (octet & 1u) ? 0xFFu : 0x7Fu; }, ""},
    };
    for (const BitUseCase& c : cases) {
        SCOPED_TRACE(c.what);
        int failures = 0;
        for (unsigned octet = 0; octet < 256 && failures < 5; ++octet) {
            const std::string contents = hex2(octet) + std::string(c.suffix);
            const std::string block = render(c.decoder, contents);
            for (unsigned bit = 1; bit < 256; bit <<= 1) {
                const std::string flipped = hex2(octet ^ bit) + std::string(c.suffix);
                const bool shown = (c.shownBits(octet) & bit) != 0;
                const bool changed = render(c.decoder, flipped) != block;
                if (shown != changed) {
                    ADD_FAILURE() << "octet " << hex2(octet) << " bit " << hex2(bit)
                                  << (shown ? " is shown but changes nothing"
                                            : " is not shown but changes the block");
                    ++failures;
                }
            }
        }
    }
}

TEST(CallControlIndicatorBits, UnconvertibleContentsFailWithoutOutput) {
    const struct {
        const char* what;
        BlockOrDecoder decoder;
        std::string_view contents;
    } cases[] = {
        {"empty", kOptionalForwardCallIndicatorsBlock, ""},
        {"lower case", kOptionalBackwardCallIndicatorsBlock, "0a"},
        {"not hex", kEventInformationBlock, "G1"},
        {"above 2^31-1", kEchoControlInformationBlock, "80000000"},
        {"five octets", UserToUserIndicators, "0100000000"},
        {"empty", kCircuitGroupSupervisionMessageTypeBlock, ""},
        {"empty", kContinuityIndicatorsBlock, ""},
        {"not hex", kSuspendResumeIndicatorsBlock, "0-"},
        {"empty", kAccessDeliveryInformationBlock, ""},
        {"missing octet 1", kInformationIndicatorsNationalUseBlock, ""},
        {"bad octet 1", kInformationRequestIndicatorsNationalUseBlock, "X900"},
        {"missing octet 2", UserServiceInformation, "80"},
        {"bad octet 2", UserServiceInformation, "80 0"},
        {"bad octet 3 with extension bit", UserServiceInformation, "8890Z1"},
        {"empty", AutomaticCongestionLevel, ""},
        {"not hex", AutomaticCongestionLevel, "0Q"},
        {"not hex beyond 64 bits", AutomaticCongestionLevel, "1000000000000000000Q"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.what) + " contents \"" + std::string(c.contents) + "\"");
        Text out("kept");
        EXPECT_THROW(c.decoder(c.contents, out), DecodeError);
        EXPECT_EQ(out, "kept");
    }
}

TEST(CallControlIndicatorBits, WholeContentsUpToTheBitStringLimitUseTheLastOctet) {
    // Four octets whose value still fits the 32-character bit string.
    EXPECT_EQ(render(kContinuityIndicatorsBlock, "7FFFFF01"), render(kContinuityIndicatorsBlock, "01"));
    EXPECT_EQ(render(UserToUserIndicators, "7FFFFF8D"), render(UserToUserIndicators, "8D"));
    // Octets after the third do not reach the user service information fields.
    const auto fields = [](std::string_view contents) {
        const std::string block = render(UserServiceInformation, contents);
        return block.substr(block.find("\r\n"));
    };
    EXPECT_EQ(fields("8090A2FF"), fields("8090A2"));
}

}  // namespace
}  // namespace truno
