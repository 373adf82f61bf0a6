// Pivot routing, service flag, counter, number portability, GVNS and location decoders.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/DecodeError.h"
#include "base/ParameterDecoder.h"
#include "base/ReportLayout.h"
#include "parameters/services/ServiceDecoders.h"
#include "tests/parameters/BlockOrDecoder.h"

namespace truno {
namespace {

std::string l1(std::string_view label, std::string_view value) { return dressLabel(label) + std::string(value); }
std::string l2(std::string_view label, std::string_view value) { return dressLabelL2(label) + std::string(value); }

// Lines joined by CR LF, with no line end after the last one.
std::string joined(const std::vector<std::string>& lines) {
    std::string out;
    for (const std::string& line : lines) {
        if (!out.empty()) out += CRLF;
        out += line;
    }
    return out;
}

std::string withLineEnd(const std::string& block) { return block + std::string(CRLF); }

struct Case {
    const char* name;
    BlockOrDecoder decoder;
    const char* contents;
    std::string expected;
};

void expectBlocks(const std::vector<Case>& cases) {
    for (const Case& c : cases)
        EXPECT_EQ(render(c.decoder, c.contents), c.expected) << c.name << " " << c.contents;
}

const std::string kLastOctet = l2("Extension Indicator", "1, last octet");
const std::string kMoreOctets = l2("Extension Indicator", "0, info continues in next octet");

TEST(PivotRouting, FieldsOfTheOctet) {
    expectBlocks({
        {"capability", kPivotCapabilityBlock, "C2",
         joined({"PIVOT CAPABILITY:",
                 l2("Pivot possible indicator", "2, pivot routing possible before ANM"),
                 l2("Interworking to redirection indic", "1, not allowed (forward)"), kLastOctet})},
        {"capability", kPivotCapabilityBlock, "07",
         joined({"PIVOT CAPABILITY:", l2("Pivot possible indicator", "111, spare"),
                 l2("Interworking to redirection indic", "0, allowed (forward)"), kMoreOctets})},
        {"capability, last of two octets", kPivotCapabilityBlock, "0083",
         joined(
             {"PIVOT CAPABILITY:",
              l2("Pivot possible indicator", "3, pivot routing possible anytime during the call"),
              l2("Interworking to redirection indic", "0, allowed (forward)"), kLastOctet})},
        {"routing", kPivotRoutingIndicatorsBlock, "84",
         joined({"PIVOT ROUTING INDICATORS:",
                 l2("Pivot routing indicators",
                    "4, interworking to redirection prohibited (backward)"),
                 kLastOctet})},
        {"routing", kPivotRoutingIndicatorsBlock, "FF",
         joined({"PIVOT ROUTING INDICATORS:", l2("Pivot routing indicators", "127, spare"),
                 kLastOctet})},
        {"status", kPivotStatusNationalUseBlock, "82",
         joined({"PIVOT STATUS (NATIONAL USE):",
                 l2("Pivot status indicator", "2, pivot routing will not be invoked"),
                 kLastOctet})},
        {"status", kPivotStatusNationalUseBlock, "7D",
         joined({"PIVOT STATUS (NATIONAL USE):",
                 l2("Pivot status indicator", "1, acknowledgement of pivot routing"),
                 kMoreOctets})},
        {"counter", kPivotCounterBlock, "1F",
         withLineEnd(joined({"PIVOT COUNTER:", l2("Number of redirections", "31")}))},
        {"counter", kPivotCounterBlock, "E3",
         withLineEnd(joined({"PIVOT COUNTER:", l2("Number of redirections", "3")}))},
    });
}

TEST(ServiceFlags, TwoAndThreeFlagParameters) {
    expectBlocks({
        {"MCID request", kMcidRequestIndicatorsBlock, "03",
         joined({"MCID REQUEST INDICATORS:", l2("MCID Request Indicator", "1, MCID requested"),
                 l2("Holding Indicator", "1, holding requested")})},
        {"MCID request", kMcidRequestIndicatorsBlock, "02",
         joined({"MCID REQUEST INDICATORS:", l2("MCID Request Indicator", "0, MCID not requested"),
                 l2("Holding Indicator", "1, holding requested")})},
        {"MCID response", kMcidResponseIndicatorsBlock, "FD",
         joined({"MCID RESPONSE INDICATORS:", l2("MCID Response Indicator", "1, MCID included"),
                 l2("Holding Provided Indicator", "0, holding not provided")})},
        {"QoR", kQueryOnReleaseCapabilityNetworkOptionBlock, "81",
         joined({"QUERY ON RELEASE CAPABILITY:", l2("QoR capability indicator", "1, QoR support"),
                 kLastOctet})},
        {"QoR", kQueryOnReleaseCapabilityNetworkOptionBlock, "7E",
         joined({"QUERY ON RELEASE CAPABILITY:", l2("QoR capability indicator", "0, no indication"),
                 kMoreOctets})},
        {"network management", kNetworkManagementControlsBlock, "01",
         joined({"NETWORK MANAGEMENT CONTROL:",
                 l2("Temp. Altenative Routing indic", "1, TAR controlled call"), kMoreOctets})},
        {"UID action", kUidActionIndicatorsBlock, "83",
         joined({"UID ACTION INDICATORS:",
                 l2("Through-connect instruction indic", "1, through-connect in both directions"),
                 l2("T9 timer instruction indicator", "1, stop or do not start T9 timer"),
                 kLastOctet})},
        {"UID capability", kUidCapabilityIndicatorsBlock, "02",
         joined(
             {"UID CAPABILITY INDICATORS:", l2("Through-connection indicator", "0, no indication"),
              l2("T9 timer indicator", "1, stopping of T9 timer possible"), kMoreOctets})},
        {"UID capability", kUidCapabilityIndicatorsBlock, "81",
         joined({"UID CAPABILITY INDICATORS:",
                 l2("Through-connection indicator", "1, through-connect modification possible"),
                 l2("T9 timer indicator", "0, no indication"), kLastOctet})},
    });
}

TEST(ServiceFlags, OneFlagParametersAreOneDottedLineWithoutLineEnd) {
    expectBlocks({
        {"CCNR", kCcnrPossibleIndicatorBlock, "01", l1("CCNR POSSIBLE INDICATOR", "1, CCNR possible.")},
        {"CCNR", kCcnrPossibleIndicatorBlock, "FE",
         l1("CCNR POSSIBLE INDICATOR", "0, CCNR not possible.")},
        {"CCSS", kCcssBlock, "01", l1("CCSS CALL INDICATOR", "1, CCSS call.")},
        {"CCSS", kCcssBlock, "FE", l1("CCSS CALL INDICATOR", "0, no indication.")},
        {"collect call", kCollectCallRequestBlock, "81",
         l1("COLLECT CALL REQUEST INDIC", "1, collect call requested")},
        {"collect call", kCollectCallRequestBlock, "FE",
         l1("COLLECT CALL REQUEST INDIC", "0, no indication")},
    });
}

TEST(ServiceFlags, FacilityAndServiceActivationReadTheWholeNumber) {
    expectBlocks({
        {"facility", FacilityIndicator, "02", l1("FACILITY INDICATOR", "2, User-to-user service.")},
        {"facility", FacilityIndicator, "0A", l1("FACILITY INDICATOR", "10, spare.")},
        {"facility, leading zero octets", FacilityIndicator, "000000000000000000000002",
         l1("FACILITY INDICATOR", "2, User-to-user service.")},
        {"facility, beyond 64 bits", FacilityIndicator, "FFFFFFFFFFFFFFFFFF",
         l1("FACILITY INDICATOR", "4722366482869645213695, spare.")},
        {"service activation", ServiceActivation, "00",
         withLineEnd(l1("SERVICE ACTIVATION", "0, spare"))},
        {"service activation", ServiceActivation, "01",
         withLineEnd(l1("SERVICE ACTIVATION", "1, call transfer."))},
        {"service activation", ServiceActivation, "02",
         withLineEnd(l1("SERVICE ACTIVATION", "2, reserved."))},
        {"service activation", ServiceActivation, "7F",
         withLineEnd(l1("SERVICE ACTIVATION", "127, reserved."))},
        {"service activation", ServiceActivation, "80",
         withLineEnd(l1("SERVICE ACTIVATION", "128"))},
        {"service activation", ServiceActivation, "0001",
         withLineEnd(l1("SERVICE ACTIVATION", "1, call transfer."))},
        {"service activation", ServiceActivation, "0100",
         withLineEnd(l1("SERVICE ACTIVATION", "256"))},
        {"service activation, beyond 64 bits", ServiceActivation, "010000000000000000",
         withLineEnd(l1("SERVICE ACTIVATION", "18446744073709551616"))},
    });
}

TEST(ServiceFlags, LoopPreventionShowsTheResponseOnlyForAResponse) {
    const std::string request = withLineEnd(l1("LOOP PREVENTION INDICATORS", "0, request"));
    const auto response = [](std::string_view text) {
        return withLineEnd(joined(
            {l1("LOOP PREVENTION INDICATORS", "1, response"), l2("Response Indicator", text)}));
    };
    expectBlocks({
        {"request", LoopPreventionIndicators, "00", request},
        {"request, bits C B ignored", LoopPreventionIndicators, "06", request},
        {"response", LoopPreventionIndicators, "01", response("0, insufficient information")},
        {"response", LoopPreventionIndicators, "03", response("1, no loop exists")},
        {"response", LoopPreventionIndicators, "05", response("2, simultaneous transfer")},
        {"response", LoopPreventionIndicators, "F7", response("3, spare")},
    });
}

TEST(Counters, HopPropagationDelayAndCallHistory) {
    expectBlocks({
        {"hop", kHopCounterBlock, "1F", l1("HOP COUNTER", "31")},
        {"hop, bits H G F ignored", kHopCounterBlock, "FF", l1("HOP COUNTER", "31")},
        {"hop", kHopCounterBlock, "05", l1("HOP COUNTER", "5")},
        {"hop, last of two octets", kHopCounterBlock, "1F02", l1("HOP COUNTER", "2")},
        {"delay", PropagationDelayCounter, "01F4",
         withLineEnd(l1("PROPAGATION DELAY COUNTER", "500 millisecond(s)"))},
        {"delay", PropagationDelayCounter, "FFFF",
         withLineEnd(l1("PROPAGATION DELAY COUNTER", "65535 millisecond(s)"))},
        {"delay, third octet not read", PropagationDelayCounter, "01F4FF",
         withLineEnd(l1("PROPAGATION DELAY COUNTER", "500 millisecond(s)"))},
        {"history", CallHistoryInformation, "03E8",
         withLineEnd(l1("CALL HISTORY INFORMATION", "1000 milliseconds"))},
        {"history, every digit counts", CallHistoryInformation, "03E800",
         withLineEnd(l1("CALL HISTORY INFORMATION", "256000 milliseconds"))},
        {"history, beyond 64 bits", CallHistoryInformation, "FFFFFFFFFFFFFFFFFFFF",
         withLineEnd(l1("CALL HISTORY INFORMATION", "1208925819614629174706175 milliseconds"))},
    });
}

TEST(NumberPortability, StatusAndExtension) {
    const auto block = [](std::string_view status, const std::string& extension) {
        return joined({"NUMBER PORTABILITY FORWARD INFORMATION (NETWORK OPTION):",
                       l2("No. Portability Status Indic", status), extension});
    };
    const std::string indent(kValueColumnIndent);
    expectBlocks({
        {"no indication", kNumberPortabilityForwardInformationNetworkOptionBlock, "80",
         block("0, no indication", kLastOctet)},
        {"not done", kNumberPortabilityForwardInformationNetworkOptionBlock, "01",
         block("1, Number protability query not done\r\n" + indent + "for called number",
               kMoreOctets)},
        {"not ported", kNumberPortabilityForwardInformationNetworkOptionBlock, "82",
         block("2, Number protability query done for called\r\n" + indent +
                   "number, non-ported called subscriber",
               kLastOctet)},
        {"ported", kNumberPortabilityForwardInformationNetworkOptionBlock, "83",
         block("3, Number protability query done for called\r\n" + indent +
                   "number, ported called subscriber",
               kLastOctet)},
        {"spare", kNumberPortabilityForwardInformationNetworkOptionBlock, "0F", block("15, spare", kMoreOctets)},
        {"spare, bits G F E ignored", kNumberPortabilityForwardInformationNetworkOptionBlock, "74",
         block("4, spare", kMoreOctets)},
    });
}

TEST(Gvns, TerminatingAccessIndicatorEndsWithLineEnd) {
    expectBlocks({
        {"none", kBackwardGvnsBlock, "00",
         withLineEnd(l1("TERMINATING ACCESS INDICATOR", "0, no information."))},
        {"dedicated", kBackwardGvnsBlock, "01",
         withLineEnd(l1("TERMINATING ACCESS INDICATOR", "1, dedicated terminating access."))},
        {"switched", kBackwardGvnsBlock, "FE",
         withLineEnd(l1("TERMINATING ACCESS INDICATOR", "2, switched terminating access."))},
        {"spare", kBackwardGvnsBlock, "83", withLineEnd(l1("TERMINATING ACCESS INDICATOR", "3, spare."))},
    });
}

TEST(GeodeticLocation, RawContentsThenTheFieldsOfOctetsOneAndTwo) {
    const auto block = [](std::string_view contents, std::string_view restriction,
                          std::string_view screening, std::string_view shape) {
        return "CALLING GEODETIC LOCATION\r\n" + std::string(contents) + "\r\n" +
               withLineEnd(
                   joined({l2("Location Presentation Restrict. Indic", restriction),
                           l2("Screening Indicator", screening), l2("Type of Shape", shape)}));
    };
    expectBlocks({
        {"point", CallingGeodeticLocation, "0000",
         block("0000", "0, presentation allowed", "0, user provided, not verified",
               "0, ellipsoid point")},
        {"restricted, altitude", CallingGeodeticLocation, "05061234567890ABCDEF",
         block("05061234567890ABCDEF", "1, presentation restricted",
               "1, user provided, verified and passed", "6, ellipsoid point with altitude")},
        {"not available, polygon", CallingGeodeticLocation, "FA85",
         block("FA85", "2, location not available", "2, user provided, verified and failed",
               "5, polygon")},
        {"unlisted shape as bits", CallingGeodeticLocation, "0F13",
         block("0F13", "3, spare", "3, network provided", "0010011")},
    });
}

TEST(ServiceFlagsAndCountersFailures, ContentsThatCannotBeReadFailVisibly) {
    const struct {
        const char* name;
        BlockOrDecoder decoder;
        const char* contents;
    } cases[] = {
        {"pivot capability, empty", kPivotCapabilityBlock, ""},
        {"pivot counter, lower case", kPivotCounterBlock, "1f"},
        {"pivot routing, beyond the bit-string limit", kPivotRoutingIndicatorsBlock, "8000000001"},
        {"MCID, empty", kMcidRequestIndicatorsBlock, ""},
        {"CCSS, bad digit", kCcssBlock, "0G"},
        {"facility, empty", FacilityIndicator, ""},
        {"facility, bad digit in long contents", FacilityIndicator, "0102030405060708090G"},
        {"service activation, bad digit", ServiceActivation, "x1"},
        {"loop prevention, empty", LoopPreventionIndicators, ""},
        {"hop counter, empty", kHopCounterBlock, ""},
        {"delay, octet 2 missing", PropagationDelayCounter, "01"},
        {"delay, empty", PropagationDelayCounter, ""},
        {"history, empty", CallHistoryInformation, ""},
        {"history, bad digit", CallHistoryInformation, "03e8"},
        {"number portability, empty", kNumberPortabilityForwardInformationNetworkOptionBlock, ""},
        {"GVNS, empty", kBackwardGvnsBlock, ""},
        {"geodetic, octet 2 missing", CallingGeodeticLocation, "05"},
        {"geodetic, empty", CallingGeodeticLocation, ""},
    };
    for (const auto& c : cases) EXPECT_THROW(render(c.decoder, c.contents), DecodeError) << c.name;
}

// Every octet value gives a block whose label lines put "=" in column 45, whose other lines
// are the title or a continuation in the value column, and whose ending is the decoder's own.
TEST(ServiceFlagsAndCountersLayout, EveryOctetValueGivesWellFormedLines) {
    const struct {
        BlockOrDecoder decoder;
        std::string_view title;
        bool endsWithLineEnd;
    } decoders[] = {
        {kPivotCapabilityBlock, "PIVOT CAPABILITY:", false},
        {kPivotRoutingIndicatorsBlock, "PIVOT ROUTING INDICATORS:", false},
        {kPivotStatusNationalUseBlock, "PIVOT STATUS (NATIONAL USE):", false},
        {kPivotCounterBlock, "PIVOT COUNTER:", true},
        {kMcidRequestIndicatorsBlock, "MCID REQUEST INDICATORS:", false},
        {kMcidResponseIndicatorsBlock, "MCID RESPONSE INDICATORS:", false},
        {kQueryOnReleaseCapabilityNetworkOptionBlock, "QUERY ON RELEASE CAPABILITY:", false},
        {kNetworkManagementControlsBlock, "NETWORK MANAGEMENT CONTROL:", false},
        {kUidActionIndicatorsBlock, "UID ACTION INDICATORS:", false},
        {kUidCapabilityIndicatorsBlock, "UID CAPABILITY INDICATORS:", false},
        {kCcnrPossibleIndicatorBlock, "", false},
        {kCcssBlock, "", false},
        {kCollectCallRequestBlock, "", false},
        {FacilityIndicator, "", false},
        {ServiceActivation, "", true},
        {LoopPreventionIndicators, "", true},
        {kHopCounterBlock, "", false},
        {kNumberPortabilityForwardInformationNetworkOptionBlock,
         "NUMBER PORTABILITY FORWARD INFORMATION (NETWORK OPTION):", false},
        {kBackwardGvnsBlock, "", true},
    };
    static const char digits[] = "0123456789ABCDEF";
    for (const auto& d : decoders) {
        for (int v = 0; v < 256; ++v) {
            const char contents[3] = {digits[v >> 4], digits[v & 15], '\0'};
            const std::string out = render(d.decoder, contents);
            ASSERT_EQ(out.ends_with("\r\n"), d.endsWithLineEnd) << d.title << " " << contents;
            std::size_t start = 0;
            bool first = true;
            while (start < out.size()) {
                std::size_t end = out.find("\r\n", start);
                if (end == std::string::npos) end = out.size();
                const std::string_view line(out.data() + start, end - start);
                if (first && !d.title.empty())
                    EXPECT_EQ(line, d.title) << contents;
                else if (line.starts_with(kValueColumnIndent))
                    EXPECT_NE(line[kValueColumnIndent.size()], ' ') << d.title << " " << contents;
                else
                    EXPECT_TRUE(line.size() > 45 && line[44] == '=' && line[43] == '.')
                        << d.title << " " << contents << ": " << line;
                first = false;
                start = end + 2;
            }
        }
    }
}

}  // namespace
}  // namespace truno
