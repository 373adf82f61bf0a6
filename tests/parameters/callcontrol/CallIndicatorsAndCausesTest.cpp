// Nature of connection, forward and backward call indicators, calling party's category,
// transmission medium and cause indicators: whole blocks compared byte for byte.
#include "base/DecodeError.h"
#include "base/ParameterDecoder.h"
#include "base/ReportLayout.h"
#include "parameters/callcontrol/CallControlDecoders.h"
#include "parameters/callcontrol/CauseValues.h"
#include "tests/parameters/BlockOrDecoder.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <utility>
#include <vector>

namespace truno {
namespace {

std::string heading(std::string_view text) { return std::string(text) + "\r\n"; }

std::string l2(std::string_view label, std::string_view phrase) {
    return dressLabelL2(label) + std::string(phrase) + "\r\n";
}

struct BlockCase {
    BlockOrDecoder decoder;
    const char* contents;
    std::string expected;
};

void expectBlocks(const std::vector<BlockCase>& cases) {
    for (const BlockCase& c : cases)
        EXPECT_EQ(render(c.decoder, c.contents), c.expected) << "contents " << c.contents;
}

// --- Nature of connection indicators ---

std::string natureBlock(std::string_view satellite, std::string_view continuity,
                        std::string_view echo) {
    return heading("NATURE OF CONNECTION INDICATORS:") + l2("Satellite Indicator", satellite) +
           l2("Continuity Check Indicator", continuity) +
           l2("Echo Control Device Indicator", echo);
}

TEST(NatureOfConnectionIndicators, ReadsTheThreeFieldsOfTheLastOctet) {
    const std::string zero = natureBlock("0, no satellite cct. in the connection.",
                                         "0, not required.",
                                         "0, outgoing echo control device not included.");
    const std::string x12 = natureBlock("2, two satellite ccts. in the connection.",
                                        "0, not required.",
                                        "1, outgoing echo control device included.");
    expectBlocks({
        {kNatureOfConnectionIndicatorsBlock, "00", zero},
        {kNatureOfConnectionIndicatorsBlock, "E0", zero},  // bits H G F have no line
        {kNatureOfConnectionIndicatorsBlock, "FF",
         natureBlock("3, spare.", "3, spare.", "1, outgoing echo control device included.")},
        {kNatureOfConnectionIndicatorsBlock, "12", x12},
        {kNatureOfConnectionIndicatorsBlock, "05",
         natureBlock("1, one satellite cct. in the connection.", "1, reserved (BICC).",
                     "0, outgoing echo control device not included.")},
        {kNatureOfConnectionIndicatorsBlock, "08",
         natureBlock("0, no satellite cct. in the connection.", "2, required.",
                     "0, outgoing echo control device not included.")},
        {kNatureOfConnectionIndicatorsBlock, "0112", x12},  // longer contents: the last octet
        {kNatureOfConnectionIndicatorsBlock, "1200", zero},
    });
}

// --- Forward call indicators ---

std::string forwardBlock(const std::array<std::string_view, 9>& phrases) {
    static constexpr std::string_view labels[9] = {
        "Call Indicator",         "End-to-end method indicator",
        "Interworking indicator", "End-to-end information indicator",
        "ISUP/BICC indicator",    "ISUP/BICC preference indicator",
        "ISDN access indicator",  "SCCP method indicator",
        "VPN Call indicator"};
    std::string block = heading("FORWARD CALL INDICATORS:");
    for (std::size_t i = 0; i < 9; ++i) block += l2(labels[i], phrases[i]);
    return block;
}

constexpr std::array<std::string_view, 9> kForwardZero = {
    "0, call to be treated as national call.",
    "0, no end-to-end method available (only link-by-link).",
    "0, no interworking (C7/BICC all the way).",
    "0, no end-to-end information available.",
    "0, ISUP/BICC not used all the way.",
    "0, ISUP/BICC preferred all the way.",
    "0, originating access non-ISDN.",
    "0, no indication.",
    "0, non VPN call."};

std::array<std::string_view, 9> forwardWith(
    std::initializer_list<std::pair<std::size_t, std::string_view>> changes) {
    auto phrases = kForwardZero;
    for (const auto& [line, phrase] : changes) phrases[line] = phrase;
    return phrases;
}

TEST(ForwardCallIndicators, ReadsEachOctetOnItsOwn) {
    const std::string x2001 = forwardBlock(forwardWith(
        {{4, "1, ISUP/BICC used all the way."}, {6, "1, originating access ISDN."}}));
    expectBlocks({
        {kForwardCallIndicatorsBlock, "0000", forwardBlock(kForwardZero)},
        {kForwardCallIndicatorsBlock, "2001", x2001},
        {kForwardCallIndicatorsBlock, "2001FF", x2001},  // only the first two octets are read
        // Octet 1: bits A, C B, D, E and H G one at a time.
        {kForwardCallIndicatorsBlock, "0100",
         forwardBlock(forwardWith({{0, "1, call to be treated as international call."}}))},
        {kForwardCallIndicatorsBlock, "0400", forwardBlock(forwardWith({{1, "2, reserved."}}))},
        {kForwardCallIndicatorsBlock, "0800",
         forwardBlock(forwardWith({{2, "1, interworking encountered."}}))},
        {kForwardCallIndicatorsBlock, "1000", forwardBlock(forwardWith({{3, "1, reserved."}}))},
        {kForwardCallIndicatorsBlock, "4000",
         forwardBlock(forwardWith({{5, "1, ISUP/BICC not required all the way."}}))},
        {kForwardCallIndicatorsBlock, "C000", forwardBlock(forwardWith({{5, "3, spare."}}))},
        // Octet 2: 1C sets K as well as L M N, so the SCCP method line changes.
        {kForwardCallIndicatorsBlock, "001C", forwardBlock(forwardWith({{7, "2, reserved."}}))},
        {kForwardCallIndicatorsBlock, "0018", forwardBlock(kForwardZero)},  // L M N only: no line
        {kForwardCallIndicatorsBlock, "0002", forwardBlock(forwardWith({{7, "1, reserved."}}))},
        {kForwardCallIndicatorsBlock, "0040",
         forwardBlock(forwardWith({{8, "1, VPN call terminating to off-net."}}))},
        {kForwardCallIndicatorsBlock, "0080",
         forwardBlock(forwardWith({{8, "2, VPN call terminating to on-net."}}))},
        {kForwardCallIndicatorsBlock, "00C0",
         forwardBlock(forwardWith(
             {{8, "3, VPN call terminating to on-net/off-net (undetermined)."}}))},
        // The octets are not swapped: octet 1 = 00, octet 2 = 20 sets only bit N (no line).
        {kForwardCallIndicatorsBlock, "0020", forwardBlock(kForwardZero)},
    });
}

// --- Backward call indicators ---

std::string backwardBlock(const std::array<std::string_view, 11>& phrases) {
    static constexpr std::string_view labels[11] = {
        "Charge Indicator",
        "Called party's status indicator",
        "Called party's category indicator",
        "End-to-end method indicator",
        "Interworking indicator",
        "End-to-end information indicator",
        "ISUP/BICC indicator",
        "Holding indicator",
        "ISDN access indicator",
        "Echo control device indicator",
        "SCCP method indicator"};
    std::string block = heading("BACKWARD CALL INDICATORS:");
    for (std::size_t i = 0; i < 11; ++i) block += l2(labels[i], phrases[i]);
    return block;
}

constexpr std::array<std::string_view, 11> kBackwardZero = {
    "0, no indication.",
    "0, no indication.",
    "0, no indication.",
    "0, no end-to-end method available (only link-by-link).",
    "0, no interworking encountered (C7/BICC all the way).",
    "0, no end-to-end information available.",
    "0, ISUP/BICC not used all the way",
    "0, holding not requested",
    "0, terminating access non-ISDN",
    "0, incoming echo control device not included",
    "0, no indication"};

std::array<std::string_view, 11> backwardWith(
    std::initializer_list<std::pair<std::size_t, std::string_view>> changes) {
    auto phrases = kBackwardZero;
    for (const auto& [line, phrase] : changes) phrases[line] = phrase;
    return phrases;
}

TEST(BackwardCallIndicators, ShowsEveryBitOfBothOctets) {
    const std::string x1614 = backwardBlock(backwardWith({{0, "2, charge."},
                                                          {1, "1, subscriber free."},
                                                          {2, "1, ordinary subscriber."},
                                                          {6, "1, ISUP/BICC used all the way"},
                                                          {8, "1, terminating access ISDN"}}));
    expectBlocks({
        {kBackwardCallIndicatorsBlock, "0000", backwardBlock(kBackwardZero)},
        {kBackwardCallIndicatorsBlock, "1614", x1614},
        {kBackwardCallIndicatorsBlock, "0300", backwardBlock(backwardWith({{0, "3, spare."}}))},
        {kBackwardCallIndicatorsBlock, "2800",
         backwardBlock(backwardWith({{1, "2, reserved."}, {2, "2, payphone."}}))},
        {kBackwardCallIndicatorsBlock, "C000", backwardBlock(backwardWith({{3, "3, reserved."}}))},
        {kBackwardCallIndicatorsBlock, "0001",
         backwardBlock(backwardWith({{4, "1, interworking encountered."}}))},
        {kBackwardCallIndicatorsBlock, "0002", backwardBlock(backwardWith({{5, "1, reserved."}}))},
        {kBackwardCallIndicatorsBlock, "0008",
         backwardBlock(backwardWith({{7, "1, holding requested"}}))},
        {kBackwardCallIndicatorsBlock, "0020",
         backwardBlock(backwardWith({{9, "1, incoming echo control device included"}}))},
        {kBackwardCallIndicatorsBlock, "0040", backwardBlock(backwardWith({{10, "1, reserved"}}))},
        {kBackwardCallIndicatorsBlock, "00C0", backwardBlock(backwardWith({{10, "3, reserved"}}))},
    });
}

// --- Calling party's category and transmission medium requirement ---

const std::string kCpc = dressLabel("CALLING PARTY CATEGORY (CPC)");
const std::string kTmr = dressLabel("TRANSMISSION MEDIUM REQUIREMENT");

TEST(CallingPartysCategory, PrintsThePhraseOrTheBareNumber) {
    expectBlocks({
        {kCallingPartysCategoryBlock, "0A", kCpc + "10, ordinary calling subscriber.\r\n"},
        {kCallingPartysCategoryBlock, "00", kCpc + "0, unknown at this time.\r\n"},
        {kCallingPartysCategoryBlock, "0F", kCpc + "15, payphone.\r\n"},
        {kCallingPartysCategoryBlock, "06", kCpc + "6\r\n"},
        {kCallingPartysCategoryBlock, "08", kCpc + "8\r\n"},
        {kCallingPartysCategoryBlock, "10", kCpc + "16\r\n"},
        {kCallingPartysCategoryBlock, "E0", kCpc + "224\r\n"},
        {kCallingPartysCategoryBlock, "FF", kCpc + "255\r\n"},
        {kCallingPartysCategoryBlock, "0A06", kCpc + "6\r\n"},  // longer contents: the last octet
        {kCallingPartysCategoryBlock, "060A", kCpc + "10, ordinary calling subscriber.\r\n"},
    });
}

TEST(TransmissionMediumRequirement, PrintsOneLabelLineWithoutLineEnd) {
    expectBlocks({
        {TransmissionMediumRequirement, "00", kTmr + "0, speech."},
        {TransmissionMediumRequirement, "03", kTmr + "3, 3.1 kHz audio."},
        {TransmissionMediumRequirement, "0A", kTmr + "10, 1920 kbit/s unrestricted."},
        {TransmissionMediumRequirement, "10", kTmr + "16, 3*64 kbit/s unrestricted."},
        {TransmissionMediumRequirement, "14", kTmr + "20, 7*64 kbit/s unrestricted."},
        {TransmissionMediumRequirement, "25", kTmr + "37, spare."},
        {TransmissionMediumRequirement, "2A", kTmr + "42, 29*64 kbit/s unrestricted."},
        {TransmissionMediumRequirement, "0B", kTmr},  // no row: the label alone
        {TransmissionMediumRequirement, "0F", kTmr},
        {TransmissionMediumRequirement, "2B", kTmr},
        {TransmissionMediumRequirement, "FF", kTmr},
        {TransmissionMediumRequirement, "0003", kTmr + "3, 3.1 kHz audio."},  // the whole contents as one number
        {TransmissionMediumRequirement, "0103", kTmr},                        // 259: no row
    });
}

// --- Cause indicators ---

std::string causeHead(std::string_view coding, std::string_view location) {
    return heading("CAUSE INDICATORS:") + l2("Coding Standard", coding) + l2("Location", location);
}

const std::string kItuUser = causeHead("0, ITU-T standardized coding", "0, user (U)");

TEST(CauseIndicators, CodingStandardLocationAndCauseValue) {
    const std::string normal = kItuUser + l2("Cause Value", "16, Normal call clearing.");
    expectBlocks({
        {CauseIndicators, "8090", normal},
        {CauseIndicators, "80900102", normal},  // diagnostics are not shown
        {CauseIndicators, "0090", normal},      // extension bit of octet 1 clear: octet 2 still cause
        {CauseIndicators, "8010", normal},      // extension bit of octet 2 is not part of the value
        {CauseIndicators, "8A91",
         causeHead("0, ITU-T standardized coding", "10, network beyond interworking point (BI)") +
             l2("Cause Value", "17, User busy.")},
        {CauseIndicators, "839F",
         causeHead("0, ITU-T standardized coding", "3, transit network (TN)") +
             l2("Cause Value", "31, Normal, unspecified.")},
        {CauseIndicators, "A181",
         causeHead("1, ISO/IEC standard", "1, private network serving the local user (LPN)") +
             l2("Cause Value", "1, Unallocated (unassigned) number.")},
        {CauseIndicators, "CFFF",
         causeHead("2, National standard", "15, reserved for national use") +
             l2("Cause Value", "127, Interworking, unspecified.")},
        {CauseIndicators, "E4A2",
         causeHead("3, standard specific to identified location",
                   "4, public network serving the remote user (RLN)") +
             l2("Cause Value", "34, No circuit/channel available.")},
        {CauseIndicators, "97B2",  // spare bit 5 of octet 1 set: no effect on the location
         causeHead("0, ITU-T standardized coding", "7, international network (INTL)") +
             l2("Cause Value", "50, Requested facility not subscribedr.")},
    });
}

TEST(CauseIndicators, LocationWithoutRowShowsItsBits) {
    for (const auto& [contents, bits] : {std::pair{"8690", "0110"}, std::pair{"8890", "1000"},
                                         std::pair{"8990", "1001"}, std::pair{"8B90", "1011"}})
        EXPECT_EQ(render(CauseIndicators, contents),
                  causeHead("0, ITU-T standardized coding", bits) +
                      l2("Cause Value", "16, Normal call clearing."))
            << contents;
}

TEST(CauseIndicators, CauseValueWithoutRowEndsTheBlockWithTheBareNumber) {
    expectBlocks({
        {CauseIndicators, "8698", causeHead("0, ITU-T standardized coding", "0110") + "24"},
        {CauseIndicators, "8080", kItuUser + "0"},
        {CauseIndicators, "80A0", kItuUser + "32"},
        {CauseIndicators, "80FE", kItuUser + "126"},
        {CauseIndicators, "80F0FF", kItuUser + "112"},  // diagnostics not shown here either
    });
}

TEST(CauseIndicators, PreemptionPhraseCarriesTheEnDashAsUtf8) {
    EXPECT_EQ(render(CauseIndicators, "8089"),
              kItuUser + l2("Cause Value", "9, Preemption \xE2\x80\x93"
                                           " circuit reserved for reuse."));
}

// The one cause table serves the views: the report's meaning, Q.850's name and class of a value,
// the same rows the decoder prints.
TEST(CauseValues, MeaningNameAndClassComeFromTheDecodersTable) {
    const struct {
        std::uint64_t value;
        std::string_view meaning, name, causeClass;
    } cases[] = {
        {16, "Normal call clearing.", "Normal call clearing", "normal"},
        {50, "Requested facility not subscribedr.", "Requested facility not subscribed",
         "service or option not available"},                          // the report keeps its wording
        {14, "", "QoR: ported number", "normal"},                    // named, printed as a bare number
        {24, "", "Call rejected due to feature at the destination", "normal"},
        {34, "No circuit/channel available.", "No circuit/channel available", "resource unavailable"},
        {65, "Bearer capability not implemented.", "Bearer capability not implemented",
         "service or option not implemented"},
        {95, "Invalid message, unspecified.", "Invalid message, unspecified", "invalid message"},
        {102, "Recovery on timer expiry.", "Recovery on timer expiry", "protocol error"},
        {126, "", "", "interworking"},                               // neither printed nor named
        {0, "", "", "normal"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(causeMeaning(c.value), c.meaning) << c.value;
        EXPECT_EQ(causeName(c.value), c.name) << c.value;
        EXPECT_EQ(causeClassName(causeClassOf(c.value)), c.causeClass) << c.value;
        // The report prints the same meaning after the number, or the bare number without one.
        const std::string octet2 = std::string(1, "0123456789ABCDEF"[8 + c.value / 16]) + "0123456789ABCDEF"[c.value % 16];
        const std::string printed = render(CauseIndicators, "80" + octet2);
        const std::string expected = c.meaning.empty() ? std::to_string(c.value)
                                                       : std::to_string(c.value) + ", " + std::string(c.meaning) + "\r\n";
        EXPECT_EQ(printed.substr(printed.size() - expected.size()), expected) << c.value;
    }
}

// --- Contents the decoders cannot convert ---

TEST(CallControlIndicators, UnconvertibleContentsFailWithoutOutput) {
    const struct {
        BlockOrDecoder decoder;
        const char* contents;
    } cases[] = {
        // Two-octet decoders: a missing octet or a bad digit in either octet.
        {kForwardCallIndicatorsBlock, ""},   {kForwardCallIndicatorsBlock, "20"},   {kForwardCallIndicatorsBlock, "2g01"},
        {kBackwardCallIndicatorsBlock, ""},  {kBackwardCallIndicatorsBlock, "16"},  {kBackwardCallIndicatorsBlock, "16 4"},
        {CauseIndicators, ""},         {CauseIndicators, "80"},         {CauseIndicators, "8x90"},
        // Whole-contents decoders: empty, lower case, or beyond the 31-bit word.
        {kNatureOfConnectionIndicatorsBlock, ""},   {kNatureOfConnectionIndicatorsBlock, "0a"},
        {kNatureOfConnectionIndicatorsBlock, "80000000"},
        {kCallingPartysCategoryBlock, ""},           {kCallingPartysCategoryBlock, "0a"},
        {kCallingPartysCategoryBlock, "0100000000"},
        {TransmissionMediumRequirement, ""},       {TransmissionMediumRequirement, "2a"},
        {TransmissionMediumRequirement, "FFFFFFFFFFFFFFFFFF"},
    };
    for (const auto& c : cases) {
        Text out("kept");
        EXPECT_THROW(c.decoder(c.contents, out), DecodeError) << '"' << c.contents << '"';
        EXPECT_EQ(out, "kept") << '"' << c.contents << '"';
    }
}

TEST(CallControlIndicators, AppendToWhatIsAlreadyThere) {
    Text out("before\r\n");
    CauseIndicators("8090", out);
    TransmissionMediumRequirement("00", out);
    EXPECT_EQ(out, "before\r\n" + kItuUser + l2("Cause Value", "16, Normal call clearing.") +
                       kTmr + "0, speech.");
}

}  // namespace
}  // namespace truno
