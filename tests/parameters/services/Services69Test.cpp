// Pivot routing, service flag, counter, number portability, GVNS and location decoders.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/DecodeError.h"
#include "base/ParameterDecoder.h"
#include "base/ReportLayout.h"
#include "parameters/services/ServiceDecoders.h"

namespace truno {
namespace {

Text l1(std::string_view label, std::string_view value) { return DressData(label) + Text(value); }
Text l2(std::string_view label, std::string_view value) { return DressItL2(label) + Text(value); }

// Lines joined by CR LF, with no line end after the last one.
Text joined(const std::vector<Text>& lines) {
    Text out;
    for (const Text& line : lines) {
        if (!out.empty()) out += CRLF;
        out += line;
    }
    return out;
}

Text withLineEnd(const Text& block) { return block + Text(CRLF); }

struct Case {
    const char* name;
    ParameterDecoder decoder;
    const char* contents;
    Text expected;
};

void expectBlocks(const std::vector<Case>& cases) {
    for (const Case& c : cases)
        EXPECT_EQ(render(c.decoder, c.contents), c.expected) << c.name << " " << c.contents;
}

const Text kLastOctet = l2("Extension Indicator", "1, last octet");
const Text kMoreOctets = l2("Extension Indicator", "0, info continues in next octet");

TEST(PivotRouting, FieldsOfTheOctet) {
    expectBlocks({
        {"capability", PivotCapabilit, "C2",
         joined({"PIVOT CAPABILITY:",
                 l2("Pivot possible indicator", "2, pivot routing possible before ANM"),
                 l2("Interworking to redirection indic", "1, not allowed (forward)"), kLastOctet})},
        {"capability", PivotCapabilit, "07",
         joined({"PIVOT CAPABILITY:", l2("Pivot possible indicator", "111, spare"),
                 l2("Interworking to redirection indic", "0, allowed (forward)"), kMoreOctets})},
        {"capability, last of two octets", PivotCapabilit, "0083",
         joined(
             {"PIVOT CAPABILITY:",
              l2("Pivot possible indicator", "3, pivot routing possible anytime during the call"),
              l2("Interworking to redirection indic", "0, allowed (forward)"), kLastOctet})},
        {"routing", PivotRoutingIndicator, "84",
         joined({"PIVOT ROUTING INDICATORS:",
                 l2("Pivot routing indicators",
                    "4, interworking to redirection prohibited (backward)"),
                 kLastOctet})},
        {"routing", PivotRoutingIndicator, "FF",
         joined({"PIVOT ROUTING INDICATORS:", l2("Pivot routing indicators", "127, spare"),
                 kLastOctet})},
        {"status", PivotStatusNationalUs, "82",
         joined({"PIVOT STATUS (NATIONAL USE):",
                 l2("Pivot status indicator", "2, pivot routing will not be invoked"),
                 kLastOctet})},
        {"status", PivotStatusNationalUs, "7D",
         joined({"PIVOT STATUS (NATIONAL USE):",
                 l2("Pivot status indicator", "1, acknowledgement of pivot routing"),
                 kMoreOctets})},
        {"counter", PivotCounte, "1F",
         withLineEnd(joined({"PIVOT COUNTER:", l2("Number of redirections", "31")}))},
        {"counter", PivotCounte, "E3",
         withLineEnd(joined({"PIVOT COUNTER:", l2("Number of redirections", "3")}))},
    });
}

TEST(ServiceFlags, TwoAndThreeFlagParameters) {
    expectBlocks({
        {"MCID request", MCIDRequestIndicator, "03",
         joined({"MCID REQUEST INDICATORS:", l2("MCID Request Indicator", "1, MCID requested"),
                 l2("Holding Indicator", "1, holding requested")})},
        {"MCID request", MCIDRequestIndicator, "02",
         joined({"MCID REQUEST INDICATORS:", l2("MCID Request Indicator", "0, MCID not requested"),
                 l2("Holding Indicator", "1, holding requested")})},
        {"MCID response", MCIDResponseIndicator, "FD",
         joined({"MCID RESPONSE INDICATORS:", l2("MCID Response Indicator", "1, MCID included"),
                 l2("Holding Provided Indicator", "0, holding not provided")})},
        {"QoR", QueryOnReleaseCapabilityNetworkOptio, "81",
         joined({"QUERY ON RELEASE CAPABILITY:", l2("QoR capability indicator", "1, QoR support"),
                 kLastOctet})},
        {"QoR", QueryOnReleaseCapabilityNetworkOptio, "7E",
         joined({"QUERY ON RELEASE CAPABILITY:", l2("QoR capability indicator", "0, no indication"),
                 kMoreOctets})},
        {"network management", NetworkManagementControl, "01",
         joined({"NETWORK MANAGEMENT CONTROL:",
                 l2("Temp. Altenative Routing indic", "1, TAR controlled call"), kMoreOctets})},
        {"UID action", UIDActionIndicator, "83",
         joined({"UID ACTION INDICATORS:",
                 l2("Through-connect instruction indic", "1, through-connect in both directions"),
                 l2("T9 timer instruction indicator", "1, stop or do not start T9 timer"),
                 kLastOctet})},
        {"UID capability", UIDCapabilityIndicator, "02",
         joined(
             {"UID CAPABILITY INDICATORS:", l2("Through-connection indicator", "0, no indication"),
              l2("T9 timer indicator", "1, stopping of T9 timer possible"), kMoreOctets})},
        {"UID capability", UIDCapabilityIndicator, "81",
         joined({"UID CAPABILITY INDICATORS:",
                 l2("Through-connection indicator", "1, through-connect modification possible"),
                 l2("T9 timer indicator", "0, no indication"), kLastOctet})},
    });
}

TEST(ServiceFlags, OneFlagParametersAreOneDottedLineWithoutLineEnd) {
    expectBlocks({
        {"CCNR", CCNRPossibleIndicato, "01", l1("CCNR POSSIBLE INDICATOR", "1, CCNR possible.")},
        {"CCNR", CCNRPossibleIndicato, "FE",
         l1("CCNR POSSIBLE INDICATOR", "0, CCNR not possible.")},
        {"CCSS", CCS, "01", l1("CCSS CALL INDICATOR", "1, CCSS call.")},
        {"CCSS", CCS, "FE", l1("CCSS CALL INDICATOR", "0, no indication.")},
        {"collect call", CollectCallReques, "81",
         l1("COLLECT CALL REQUEST INDIC", "1, collect call requested")},
        {"collect call", CollectCallReques, "FE",
         l1("COLLECT CALL REQUEST INDIC", "0, no indication")},
    });
}

TEST(ServiceFlags, FacilityAndServiceActivationReadTheWholeNumber) {
    expectBlocks({
        {"facility", FacilityIndic, "02", l1("FACILITY INDICATOR", "2, User-to-user service.")},
        {"facility", FacilityIndic, "0A", l1("FACILITY INDICATOR", "10, spare.")},
        {"facility, leading zero octets", FacilityIndic, "000000000000000000000002",
         l1("FACILITY INDICATOR", "2, User-to-user service.")},
        {"facility, beyond 64 bits", FacilityIndic, "FFFFFFFFFFFFFFFFFF",
         l1("FACILITY INDICATOR", "4722366482869645213695, spare.")},
        {"service activation", ServiceActivatio, "00",
         withLineEnd(l1("SERVICE ACTIVATION", "0, spare"))},
        {"service activation", ServiceActivatio, "01",
         withLineEnd(l1("SERVICE ACTIVATION", "1, call transfer."))},
        {"service activation", ServiceActivatio, "02",
         withLineEnd(l1("SERVICE ACTIVATION", "2, reserved."))},
        {"service activation", ServiceActivatio, "7F",
         withLineEnd(l1("SERVICE ACTIVATION", "127, reserved."))},
        {"service activation", ServiceActivatio, "80",
         withLineEnd(l1("SERVICE ACTIVATION", "128"))},
        {"service activation", ServiceActivatio, "0001",
         withLineEnd(l1("SERVICE ACTIVATION", "1, call transfer."))},
        {"service activation", ServiceActivatio, "0100",
         withLineEnd(l1("SERVICE ACTIVATION", "256"))},
        {"service activation, beyond 64 bits", ServiceActivatio, "010000000000000000",
         withLineEnd(l1("SERVICE ACTIVATION", "18446744073709551616"))},
    });
}

TEST(ServiceFlags, LoopPreventionShowsTheResponseOnlyForAResponse) {
    const Text request = withLineEnd(l1("LOOP PREVENTION INDICATORS", "0, request"));
    const auto response = [](std::string_view text) {
        return withLineEnd(joined(
            {l1("LOOP PREVENTION INDICATORS", "1, response"), l2("Response Indicator", text)}));
    };
    expectBlocks({
        {"request", LoopPreventionIndicator, "00", request},
        {"request, bits C B ignored", LoopPreventionIndicator, "06", request},
        {"response", LoopPreventionIndicator, "01", response("0, insufficient information")},
        {"response", LoopPreventionIndicator, "03", response("1, no loop exists")},
        {"response", LoopPreventionIndicator, "05", response("2, simultaneous transfer")},
        {"response", LoopPreventionIndicator, "F7", response("3, spare")},
    });
}

TEST(Counters, HopPropagationDelayAndCallHistory) {
    expectBlocks({
        {"hop", HopCounte, "1F", l1("HOP COUNTER", "31")},
        {"hop, bits H G F ignored", HopCounte, "FF", l1("HOP COUNTER", "31")},
        {"hop", HopCounte, "05", l1("HOP COUNTER", "5")},
        {"hop, last of two octets", HopCounte, "1F02", l1("HOP COUNTER", "2")},
        {"delay", PropagationDelayCounte, "01F4",
         withLineEnd(l1("PROPAGATION DELAY COUNTER", "500 millisecond(s)"))},
        {"delay", PropagationDelayCounte, "FFFF",
         withLineEnd(l1("PROPAGATION DELAY COUNTER", "65535 millisecond(s)"))},
        {"delay, third octet not read", PropagationDelayCounte, "01F4FF",
         withLineEnd(l1("PROPAGATION DELAY COUNTER", "500 millisecond(s)"))},
        {"history", CallHistoryInformatio, "03E8",
         withLineEnd(l1("CALL HISTORY INFORMATION", "1000 milliseconds"))},
        {"history, every digit counts", CallHistoryInformatio, "03E800",
         withLineEnd(l1("CALL HISTORY INFORMATION", "256000 milliseconds"))},
        {"history, beyond 64 bits", CallHistoryInformatio, "FFFFFFFFFFFFFFFFFFFF",
         withLineEnd(l1("CALL HISTORY INFORMATION", "1208925819614629174706175 milliseconds"))},
    });
}

TEST(NumberPortability, StatusAndExtension) {
    const auto block = [](std::string_view status, const Text& extension) {
        return joined({"NUMBER PORTABILITY FORWARD INFORMATION (NETWORK OPTION):",
                       l2("No. Portability Status Indic", status), extension});
    };
    const Text indent(kValueColumnIndent);
    expectBlocks({
        {"no indication", NumberPortabilityForwardInfoNetworkOpt, "80",
         block("0, no indication", kLastOctet)},
        {"not done", NumberPortabilityForwardInfoNetworkOpt, "01",
         block("1, Number protability query not done\r\n" + indent + "for called number",
               kMoreOctets)},
        {"not ported", NumberPortabilityForwardInfoNetworkOpt, "82",
         block("2, Number protability query done for called\r\n" + indent +
                   "number, non-ported called subscriber",
               kLastOctet)},
        {"ported", NumberPortabilityForwardInfoNetworkOpt, "83",
         block("3, Number protability query done for called\r\n" + indent +
                   "number, ported called subscriber",
               kLastOctet)},
        {"spare", NumberPortabilityForwardInfoNetworkOpt, "0F", block("15, spare", kMoreOctets)},
        {"spare, bits G F E ignored", NumberPortabilityForwardInfoNetworkOpt, "74",
         block("4, spare", kMoreOctets)},
    });
}

TEST(Gvns, TerminatingAccessIndicatorEndsWithLineEnd) {
    expectBlocks({
        {"none", BackwrdGVNS, "00",
         withLineEnd(l1("TERMINATING ACCESS INDICATOR", "0, no information."))},
        {"dedicated", BackwrdGVNS, "01",
         withLineEnd(l1("TERMINATING ACCESS INDICATOR", "1, dedicated terminating access."))},
        {"switched", BackwrdGVNS, "FE",
         withLineEnd(l1("TERMINATING ACCESS INDICATOR", "2, switched terminating access."))},
        {"spare", BackwrdGVNS, "83", withLineEnd(l1("TERMINATING ACCESS INDICATOR", "3, spare."))},
    });
}

TEST(RawParameters, TitleThenContentsAsReceived) {
    const struct {
        ParameterDecoder decoder;
        const char* title;
    } raws[] = {
        {PivotRoutingBackwardInformatio, "PivotRoutingBackwardInformation"},
        {PivotRoutingForwardInformatio, "PivotRoutingForwardInformation"},
        {ForwadGVNS, "FORWARD GVNS"},
        {HTRInformatio, "HTR INFORMATION"},
        {DisplayInformatio, "DISPLAY INFORMATION"},
        {CallingPartyGeodeticVelocityInformatio, "CALLING PTY GEODETIC VELOCITY"},
    };
    for (const auto& raw : raws) {
        EXPECT_EQ(render(raw.decoder, "414243"), std::string(raw.title) + "\r\n414243");
        EXPECT_EQ(render(raw.decoder, ""), std::string(raw.title) + "\r\n");
    }
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
        {"point", CallingGeodeticLocatio, "0000",
         block("0000", "0, presentation allowed", "0, user provided, not verified",
               "0, ellipsoid point")},
        {"restricted, altitude", CallingGeodeticLocatio, "05061234567890ABCDEF",
         block("05061234567890ABCDEF", "1, presentation restricted",
               "1, user provided, verified and passed", "6, ellipsoid point with altitude")},
        {"not available, polygon", CallingGeodeticLocatio, "FA85",
         block("FA85", "2, location not available", "2, user provided, verified and failed",
               "5, polygon")},
        {"unlisted shape as bits", CallingGeodeticLocatio, "0F13",
         block("0F13", "3, spare", "3, network provided", "0010011")},
    });
}

TEST(Services69Failures, ContentsThatCannotBeReadFailVisibly) {
    const struct {
        const char* name;
        ParameterDecoder decoder;
        const char* contents;
    } cases[] = {
        {"pivot capability, empty", PivotCapabilit, ""},
        {"pivot counter, lower case", PivotCounte, "1f"},
        {"pivot routing, beyond the bit-string limit", PivotRoutingIndicator, "8000000001"},
        {"MCID, empty", MCIDRequestIndicator, ""},
        {"CCSS, bad digit", CCS, "0G"},
        {"facility, empty", FacilityIndic, ""},
        {"facility, bad digit in long contents", FacilityIndic, "0102030405060708090G"},
        {"service activation, bad digit", ServiceActivatio, "x1"},
        {"loop prevention, empty", LoopPreventionIndicator, ""},
        {"hop counter, empty", HopCounte, ""},
        {"delay, octet 2 missing", PropagationDelayCounte, "01"},
        {"delay, empty", PropagationDelayCounte, ""},
        {"history, empty", CallHistoryInformatio, ""},
        {"history, bad digit", CallHistoryInformatio, "03e8"},
        {"number portability, empty", NumberPortabilityForwardInfoNetworkOpt, ""},
        {"GVNS, empty", BackwrdGVNS, ""},
        {"geodetic, octet 2 missing", CallingGeodeticLocatio, "05"},
        {"geodetic, empty", CallingGeodeticLocatio, ""},
    };
    for (const auto& c : cases) EXPECT_THROW(render(c.decoder, c.contents), DecodeError) << c.name;
}

// Every octet value gives a block whose label lines put "=" in column 45, whose other lines
// are the title or a continuation in the value column, and whose ending is the decoder's own.
TEST(Services69Layout, EveryOctetValueGivesWellFormedLines) {
    const struct {
        ParameterDecoder decoder;
        std::string_view title;
        bool endsWithLineEnd;
    } decoders[] = {
        {PivotCapabilit, "PIVOT CAPABILITY:", false},
        {PivotRoutingIndicator, "PIVOT ROUTING INDICATORS:", false},
        {PivotStatusNationalUs, "PIVOT STATUS (NATIONAL USE):", false},
        {PivotCounte, "PIVOT COUNTER:", true},
        {MCIDRequestIndicator, "MCID REQUEST INDICATORS:", false},
        {MCIDResponseIndicator, "MCID RESPONSE INDICATORS:", false},
        {QueryOnReleaseCapabilityNetworkOptio, "QUERY ON RELEASE CAPABILITY:", false},
        {NetworkManagementControl, "NETWORK MANAGEMENT CONTROL:", false},
        {UIDActionIndicator, "UID ACTION INDICATORS:", false},
        {UIDCapabilityIndicator, "UID CAPABILITY INDICATORS:", false},
        {CCNRPossibleIndicato, "", false},
        {CCS, "", false},
        {CollectCallReques, "", false},
        {FacilityIndic, "", false},
        {ServiceActivatio, "", true},
        {LoopPreventionIndicator, "", true},
        {HopCounte, "", false},
        {NumberPortabilityForwardInfoNetworkOpt,
         "NUMBER PORTABILITY FORWARD INFORMATION (NETWORK OPTION):", false},
        {BackwrdGVNS, "", true},
    };
    static const char digits[] = "0123456789ABCDEF";
    for (const auto& d : decoders) {
        for (int v = 0; v < 256; ++v) {
            const char contents[3] = {digits[v >> 4], digits[v & 15], '\0'};
            const Text out = render(d.decoder, contents);
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
