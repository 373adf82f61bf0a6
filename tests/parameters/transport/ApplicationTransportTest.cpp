#include "base/DecodeError.h"
#include "parameters/address/AddressDecoders.h"
#include "parameters/transport/TransportDecoders.h"

#include <gtest/gtest.h>

#include <random>
#include <set>
#include <string>

namespace truno {
namespace {

std::string l2(std::string_view label, std::string_view value) {
    return dressLabelL2(label) + std::string(value) + "\r\n";
}
std::string l3(std::string_view label, std::string_view value) {
    return dressLabelL3(label) + std::string(value) + "\r\n";
}

const std::string kInformationHeading = "     ENCAPSULATED APPLICATION INFORMATION:\r\n";

std::string encapsulated(std::string_view information, ApmForm form) {
    Text out;
    EncapsulatedApplicationInformation(information, form, out);
    return out.str();
}

// Contents of the application transport parameter of a BICC IAM captured on a real network:
// one-octet context identifier (BAT ASE), the address length octets 00 00 in octets 4 and 5,
// then action indicator, BNCID, codec list, bearer network connection characteristics, bearer
// control information carrying SDP with a two-octet length (1E 81), bearer control tunneling.
const std::string kCapturedApp =
    "8581C00000018283020283839C88048D8505858502058080058385010107828304081E81832020763D300D0A6F3D"
    "2D2030203120494E20495034203139322E3136382E3138392E3230300D0A733D300D0A633D494E204950342031"
    "39322E3136382E3138392E3230300D0A743D3020300D0A613D69706263703A3120526571756573740D0A6D3D61"
    "7564696F203430303732205254502F415650203130300D0A613D7274706D61703A31303020564E442E33475050"
    "2E495546502F31363030300D0A09828301";

TEST(EncapsulatedApplicationInformation, ShowsEachElementIdentifier) {
    const struct {
        const char* element;
        std::string lines;
    } cases[] = {
        {"01828302", l3("Action Indicator", "2, connect forward.")},
        {"0283839C88", dressLabelL3("Backbone Network Conn. ID (BNCID)") + "40072 (H'9C88)\r\n"},
        {"0384830A0B0C",
         dressLabelL3("Interworking Function Address") + render(InterworkingFunctionAddress, "0A0B0C")},
        {"0483830585", "CODEC LIST.\r\nCODEC LIST\r\n0585"},
        {"0583850101", "SINGLE CODEC.\r\nSingleCodec\r\n0101"},
        {"06828300", "BAT COMPATIBILITY REPORT.\r\nBAT COMPATIBILITY REPORT\r\n00"},
        {"07828304", l3("Bearer Network Connection Char", "4, IP/RTP.")},
        {"0883834142", dressLabelL3("Bearer Control Information") + "H'4142"},
        {"09828301", l3("Bearer Control Tunneling", "1, tunneling to be used")},
        {"0A8583000004D2", dressLabelL3("Bearer Control Unit ID (BCUID)") + "1234 (H'000004D2)\r\n"},
        {"0B828300", "11, Reserved"},
        {"00828300", "0, Reserved"},
        {"FF828300", "255, Reserved"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(encapsulated(c.element, ApmForm::APM98), kInformationHeading + c.lines)
            << c.element;
}

TEST(EncapsulatedApplicationInformation, WalksOnAfterEveryElement) {
    const struct {
        const char* information;
        ApmForm form;
        std::string lines;
    } cases[] = {
        // Bearer control information ends without a line break: the next element follows on
        // the same line.
        {"0883834142"
         "09828301",
         ApmForm::APM98,
         dressLabelL3("Bearer Control Information") + "H'4142" +
             l3("Bearer Control Tunneling", "1, tunneling to be used")},
        {"0B828300"
         "01828301",
         ApmForm::APM98, "11, Reserved" + l3("Action Indicator", "1, connect backward.")},
        // Length 0: the element is its identifier and length octet alone.
        {"0B80"
         "01828300",
         ApmForm::APM98, "11, Reserved" + l3("Action Indicator", "0, no indication.")},
        // Length 1: only the compatibility information octet, no contents.
        {"088183"
         "01828307",
         ApmForm::APM98,
         dressLabelL3("Bearer Control Information") + "H'" + l3("Action Indicator", "7, use idle.")},
        // A length of more than 127 octets goes on in octet 2a.
        {"080380834142"
         "09828300",
         ApmForm::APM98,
         dressLabelL3("Bearer Control Information") + "H'4142" +
             l3("Bearer Control Tunneling", "0, no indication")},
        {"01820002"
         "0283009C88",
         ApmForm::APM2000,
         l3("Action Indicator", "2, connect forward.") +
             dressLabelL3("Backbone Network Conn. ID (BNCID)") + "40072 (H'9C88)\r\n"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(encapsulated(c.information, c.form), kInformationHeading + c.lines)
            << c.information;
}

TEST(EncapsulatedApplicationInformation, ReadsLongLengthsOfBothForms) {
    std::string data;
    for (int i = 0; i < 129; ++i) data += (i % 2) ? "5A" : "A5";
    // APM98: 02 with extension bit 0, then 2a = 81: 1 * 128 + 2 = 130 octets after the length.
    EXPECT_EQ(encapsulated("080281"
                           "83" +
                               data + "01828301",
                           ApmForm::APM98),
              kInformationHeading + dressLabelL3("Bearer Control Information") + "H'" + data +
                  l3("Action Indicator", "1, connect backward."));
    // APM2000: bits 7-1 of octet 2 (02) and bits 4-1 of octet 3 (F1, the upper bits ignored).
    EXPECT_EQ(encapsulated("0882F1" + data + "01820001", ApmForm::APM2000),
              kInformationHeading + dressLabelL3("Bearer Control Information") + "H'" + data +
                  l3("Action Indicator", "1, connect backward."));
}

TEST(EncapsulatedApplicationInformation, FailsWhenAnElementDoesNotFit) {
    const struct {
        const char* information;
        ApmForm form;
    } cases[] = {
        {"", ApmForm::APM98},
        {"", ApmForm::APM2000},
        {"01", ApmForm::APM98},      // no length octet
        {"018583", ApmForm::APM98},  // length 5, one octet left
        {"0803", ApmForm::APM98},    // length goes on in octet 2a, which is missing
        {"01828302"
         "02",
         ApmForm::APM98},
        {"0182", ApmForm::APM2000},      // no octet 3
        {"01820502", ApmForm::APM2000},  // 5 * 128 + 2 octets
        {"01828302"
         "7F",
         ApmForm::APM98},
    };
    for (const auto& c : cases)
        EXPECT_THROW(encapsulated(c.information, c.form), DecodeError) << c.information;
}

TEST(EncapsulatedApplicationInformation, SaysWhichElementRunsPastTheEnd) {
    try {
        encapsulated(
            "01828302"
            "0485830585",
            ApmForm::APM98);
        FAIL() << "no exception";
    } catch (const DecodeError& e) {
        const std::string why = e.what();
        EXPECT_NE(why.find("octet 5"), std::string::npos) << why;
        EXPECT_NE(why.find("identifier 4"), std::string::npos) << why;
        EXPECT_NE(why.find("runs past the end"), std::string::npos) << why;
    }
}

TEST(ElementDecoders, ValuePhrasesAndFallbacks) {
    const struct {
        ParameterDecoder decoder;
        const char* contents;
        std::string expected;
    } cases[] = {
        {ActionIndicator, "00", l3("Action Indicator", "0, no indication.")},
        {ActionIndicator, "05",
         l3("Action Indicator", "5, connect forward no notification + selected codec.")},
        {ActionIndicator, "0D", l3("Action Indicator", "13, codec modification failure.")},
        {ActionIndicator, "0E", l3("Action Indicator", "14")},
        {ActionIndicator, "000000000000000000000003",
         l3("Action Indicator", "3, connect forward no notification.")},
        {ActionIndicator, "0102030405060708090A", l3("Action Indicator", "4759477275222530853130")},
        {BearerNetworkConnectionCharacteristics, "01", "1, AAL type 1.\r\n"},
        {BearerNetworkConnectionCharacteristics, "03", "3, reserved.\r\n"},
        {BearerNetworkConnectionCharacteristics, "05", "5\r\n"},
        {BearerNetworkConnectionCharacteristics, "0104", "260\r\n"},
        {BearerControlTunnelling, "FE", "0, no indication\r\n"},
        {BearerControlTunnelling, "0100", "1, tunneling to be used\r\n"},
        {BackboneNetworkConnectionIdentifier, "00", "0 (H'00)\r\n"},
        {BackboneNetworkConnectionIdentifier, "FFFFFFFFFFFFFFFFFF",
         "4722366482869645213695 (H'FFFFFFFFFFFFFFFFFF)\r\n"},
    };
    for (const auto& c : cases) EXPECT_EQ(render(c.decoder, c.contents), c.expected) << c.contents;
    for (ParameterDecoder decoder :
         {ActionIndicator, BearerNetworkConnectionCharacteristics, BearerControlTunnelling, BackboneNetworkConnectionIdentifier})
        EXPECT_THROW(render(decoder, ""), DecodeError);
}

std::string oneOctetHeader(std::string_view context, std::string_view rci, std::string_view sni,
                           std::string_view si, std::string_view segmentation,
                           std::string_view slr) {
    return "APPLICATION TRANSPORT PARAMETER (APP):\r\n" +
           l2("Extension Indicator", "1, last octet") +
           l2("Application context identifier (ACI)", context) +
           "     Application Transport Instruction Indicators:\r\n" +
           l3("Release call indicator (RCI)", rci) + l3("Send notification indicator (SNI)", sni) +
           l2("Sequence indicator (SI)", si) + l2("APM segmentation indicator", segmentation) +
           l2("Segmentation local reference (SLR)", slr) + "\r\n     APM-USER INFORMATION:\r\n" +
           kInformationHeading;
}

TEST(ApplicationTransportParameter, OneOctetContextForm) {
    EXPECT_EQ(render(ApplicationTransportParameter,
                     "8500"
                     "03"
                     "41"
                     "2A"
                     "01828302"),
              oneOctetHeader("5, BAT ASE", "1, release call.", "1, send notification.",
                             "1, new sequence.", "1 segments following.", "42") +
                  l3("Action Indicator", "2, connect forward."));
    // Octet 2 is not read in this form; octet 3 bits 8-3 and octet 4 bit 8 are not shown.
    EXPECT_EQ(render(ApplicationTransportParameter,
                     "80FF"
                     "FC"
                     "80"
                     "00"
                     "01828300"),
              oneOctetHeader("0, unidentified context & error handling (UCEH) ASE.",
                             "0, do not release call.", "0, do not send notification.",
                             "0, subsequent segment to first segment.", "0, final segment.", "0") +
                  l3("Action Indicator", "0, no indication."));
}

TEST(ApplicationTransportParameter, TwoOctetContextForm) {
    EXPECT_EQ(render(ApplicationTransportParameter,
                     "0581"
                     "02"
                     "3F"
                     "FF"
                     "01820002"),
              "APPLICATION TRANSPORT PARAMETER (APP):\r\n" +
                  l2("Extension Indicator", "0, info continues in next octet") +
                  l2("Application context identifier", "00000010000101 binary (133 decimal.)") +
                  "     Application Transport Instruction Indicators:\r\n" +
                  l3("Release call indicator (RCI)", "0, do not release call.") +
                  l3("Send notification indicator (SNI)", "1, send notification.") +
                  l2("Sequence indicator (SI)", "0, subsequent segment to first segment.") +
                  l2("APM segmentation indicator", "63 ,spare.") +
                  l2("Segmentation local reference (SLR)", "255") +
                  "\r\nENCAPSULATED APPLICATION PARAMETERS\r\n" + kInformationHeading +
                  l3("Action Indicator", "2, connect forward."));
}

TEST(ApplicationTransportParameter, ContextAndSegmentationValues) {
    const struct {
        const char* octet1;
        std::string_view phrase;
    } contexts[] = {
        {"83", "3, charging ASE (ETSI)."},
        {"86", "6, reserved."},
        {"87", ""},
        {"FF", ""},
    };
    for (const auto& c : contexts) {
        const std::string block = render(ApplicationTransportParameter, std::string(c.octet1) +
                                                                 "00000000"
                                                                 "01828300");
        EXPECT_NE(block.find(l2("Application context identifier (ACI)", c.phrase)),
                  std::string::npos)
            << c.octet1;
    }
    const struct {
        const char* octet4;
        std::string_view phrase;
    } segmentations[] = {
        {"00", "0, final segment."},
        {"01", "1 segments following."},
        {"09", "9 segments following."},
        {"0A", "10 ,spare."},
        {"7F", "63 ,spare."},
        {"C5", "5 segments following."},
    };
    for (const auto& c : segmentations) {
        const std::string block = render(ApplicationTransportParameter, "850000" + std::string(c.octet4) +
                                                                 "00"
                                                                 "01828300");
        EXPECT_NE(block.find(l2("APM segmentation indicator", c.phrase)), std::string::npos)
            << c.octet4;
    }
}

TEST(ApplicationTransportParameter, DecodesTheCapturedBiccElements) {
    // The SDP of the bearer control information: octets 38 to 194 of the contents.
    const std::string sdp = kCapturedApp.substr(2 * 37, 2 * 157);
    const std::string expected =
        oneOctetHeader("5, BAT ASE", "0, do not release call.", "0, do not send notification.",
                       "0, subsequent segment to first segment.", "0, final segment.", "0") +
        l3("Action Indicator", "2, connect forward.") +
        dressLabelL3("Backbone Network Conn. ID (BNCID)") + "40072 (H'9C88)\r\n" +
        "CODEC LIST.\r\nCODEC LIST\r\n058585020580800583850101" +
        l3("Bearer Network Connection Char", "4, IP/RTP.") +
        dressLabelL3("Bearer Control Information") + "H'" + sdp +
        l3("Bearer Control Tunneling", "1, tunneling to be used");
    EXPECT_EQ(render(ApplicationTransportParameter, kCapturedApp), expected);
    EXPECT_EQ(sdp.substr(0, 12), "2020763D300D");
}

// Every cut of the captured contents decodes when it ends between two elements and fails with
// DecodeError otherwise.
TEST(ApplicationTransportParameter, TruncatedContentsFailCleanly) {
    const std::set<std::size_t> elementEnds = {5 + 4, 5 + 9, 5 + 24, 5 + 28, 5 + 189, 5 + 193};
    for (std::size_t octets = 0; octets <= kCapturedApp.size() / 2; ++octets) {
        const std::string cut = kCapturedApp.substr(0, 2 * octets);
        if (elementEnds.count(octets) != 0)
            EXPECT_NO_THROW(render(ApplicationTransportParameter, cut)) << octets;
        else
            EXPECT_THROW(render(ApplicationTransportParameter, cut), DecodeError) << octets;
    }
}

// Arbitrary octets never do anything worse than a DecodeError, and never loop.
TEST(ApplicationTransportParameter, ArbitraryContentsDecodeOrFailCleanly) {
    std::mt19937 random(20240611);
    std::uniform_int_distribution<int> octet(0, 255);
    std::uniform_int_distribution<int> length(0, 40);
    static constexpr char kHex[] = "0123456789ABCDEF";
    int decoded = 0;
    for (int round = 0; round < 3000; ++round) {
        std::string contents;
        const int n = length(random);
        for (int i = 0; i < n; ++i) {
            const int v = octet(random);
            contents += kHex[v >> 4];
            contents += kHex[v & 15];
        }
        try {
            render(ApplicationTransportParameter, contents);
            ++decoded;
        } catch (const DecodeError&) {
        }
    }
    EXPECT_GT(decoded, 0);
}

}  // namespace
}  // namespace truno
