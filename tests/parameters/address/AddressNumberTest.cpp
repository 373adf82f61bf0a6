// The address-format number parameters: member framing, every value table, the digit order
// and the failures of a contents without its indicator octets.
#include "base/DecodeError.h"
#include "base/ParameterDecoder.h"
#include "parameters/address/AddressDecoders.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

namespace truno {
namespace {

const std::string kCrLf = "\r\n";
const std::string kContinuation(46, ' ');

// A level-2 label as the report shows it: 5 blanks, the label, dots up to column 44, "=".
std::string dressed(const std::string& label) {
    const std::size_t used = 5 + label.size();
    return std::string(5, ' ') + label + std::string(used < 44 ? 44 - used : 0, '.') + "=";
}

std::string hexOctet(unsigned v) {
    char buf[3];
    std::snprintf(buf, sizeof buf, "%02X", v & 0xFFu);
    return buf;
}

// The value printed after a label, a continuation line (46 blanks) included, without the
// final CR LF. Empty when the label is not in the block.
std::string valueAfter(const std::string& block, const std::string& label) {
    const std::string head = dressed(label);
    std::size_t from = block.find(head);
    if (from == std::string::npos) return "<no line " + label + ">";
    from += head.size();
    std::size_t end = block.find(kCrLf, from);
    while (end != std::string::npos && block.compare(end + 2, 46, kContinuation) == 0)
        end = block.find(kCrLf, end + 2);
    return block.substr(from, end == std::string::npos ? std::string::npos : end - from);
}

struct Member {
    const char* name;
    ParameterDecoder decoder;
};

const Member kCalledParty{"CalledPartyNumber", CalledPartyNumber};
const Member kCalledDirectory{"CalledDirectoryNumberNationalUse", CalledDirectoryNumberNationalUse};
const Member kCalledIN{"CalledInNumber", CalledInNumber};
const Member kOriginalCalled{"OriginalCalledNumber", OriginalCalledNumber};
const Member kCallingParty{"CallingPartyNumber", CallingPartyNumber};
const Member kLocation{"LocationNumber", LocationNumber};
const Member kCallTransfer{"CallTransferNumber", CallTransferNumber};
const Member kConnected{"ConnectedNumber", ConnectedNumber};

const Member kAllMembers[] = {kCalledParty,  kCalledDirectory, kCalledIN,     kOriginalCalled,
                              kCallingParty, kLocation,        kCallTransfer, kConnected};

TEST(AddressNumber, CallingPartyNumberWholeBlock) {
    const std::string expected =
        "CALLING PARTY NUMBER:\r\n" +
        dressed("Odd/Even indicator") + "1, odd number of address signals.\r\n" +
        dressed("Nature of address indicator") + "3, national significant number.\r\n" +
        dressed("Number incompelete indicator") + "0, complete.\r\n" +
        dressed("Numbering plan indicator") + "1, numbering plan according to E.164.\r\n" +
        dressed("Addr. presentation restriction indic") + "0, presentation allowed.\r\n" +
        dressed("Screening indicator") + "3, network provided.\r\n" +
        dressed("Calling Party Number") + "123450\r\n";
    EXPECT_EQ(render(CallingPartyNumber, "8313214305"), expected);
}

// Which lines each member prints, in which order, and where its block has line ends.
TEST(AddressNumber, MemberFraming) {
    const std::string oddEven = "Odd/Even indicator", nature = "Nature of address indicator",
                      inn = "Internal Network Number indicator (INN)",
                      incomplete = "Number incompelete indicator", plan = "Numbering plan indicator",
                      presentation = "Addr. presentation restriction indic",
                      screening = "Screening indicator";
    const struct {
        Member member;
        bool leadingCrLf;
        std::string heading;
        std::vector<std::string> labels;
        std::string digitLabel;
        bool digitLineCrLf;
    } cases[] = {
        {kCalledParty, true, "CALLED PARTY NUMBER:", {oddEven, nature, inn, plan},
         "Address Signal", false},
        {kCalledDirectory, true, "CALLED DIRECTORY NUMBER:", {oddEven, nature, inn, plan},
         "Address Signal", false},
        {kCalledIN, true, "CALLED IN NUMBER:", {oddEven, nature, plan, presentation},
         "Address Signal", true},
        {kOriginalCalled, true, "ORIGINAL CALLED NUMBER:", {oddEven, nature, plan, presentation},
         "Address Signal", true},
        {kCallingParty, false, "CALLING PARTY NUMBER:",
         {oddEven, nature, incomplete, plan, presentation, screening}, "Calling Party Number",
         true},
        {kLocation, false, "LOCATION NUMBER:",
         {oddEven, nature, incomplete, plan, presentation, screening}, "Location Number", true},
        {kCallTransfer, false, "CALL TRANSFER NUMBER:",
         {oddEven, nature, plan, presentation, screening}, "Call Transfer Number", true},
        {kConnected, false, "CONNECTED NUMBER:", {oddEven, nature, plan, presentation, screening},
         "Connected Number", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.member.name);
        const std::string block = render(c.member.decoder, "03102143");
        std::string expectedStart = (c.leadingCrLf ? kCrLf : "") + c.heading + kCrLf;
        ASSERT_EQ(block.substr(0, expectedStart.size()), expectedStart);
        std::size_t at = expectedStart.size();
        for (const std::string& label : c.labels) {
            const std::string head = dressed(label);
            ASSERT_EQ(block.compare(at, head.size(), head), 0)
                << "expected " << label << " at: " << block.substr(at);
            at = block.find(kCrLf, at);
            ASSERT_NE(at, std::string::npos);
            at += 2;
        }
        EXPECT_EQ(block.substr(at),
                  dressed(c.digitLabel) + "1234" + (c.digitLineCrLf ? kCrLf : ""));
    }
}

// Nature of address, tables A to D, with the odd/even indicator both ways around it.
TEST(AddressNumber, NatureOfAddressTables) {
    struct NatureRow {
        unsigned value;
        std::string a, b, c, d;  // tables A, B, C, D
    };
    const NatureRow rows[] = {
        {0, "0, spare.", "0, spare.", "0, spare.", "0, spare."},
        {1, "1, subscriber number.", "1, subscriber number.", "1, subscriber number.",
         "1, subscriber number."},
        {2, "2, unknown.", "2, unknown.", "2, unknown.", "2, unknown."},
        {3, "3, national significant number.", "3, national significant number.",
         "3, national significant number.", "3, national significant number."},
        {4, "4, international number.", "4, international number.", "4, international number.",
         "4, international number."},
        {5, "5, network specific number.", "5, network specific number.", "5, spare.",
         "5, spare."},
        {6, "6, reserved.", "6, network routing number in national number format.", "6, spare.",
         "6, spare."},
        {7, "7, reserved.",
         "7, network routing number in network specific\r\n" + kContinuation + "number format.",
         "7, spare.", "7, spare."},
        {8, "8, reserved.",
         "8, network routing number concatenated with\r\n" + kContinuation +
             "called directory number format.",
         "8, spare.", "8, spare."},
        {9, "9, spare.", "9, spare.", "9, spare.", "9, spare."},
        {111, "111, spare.", "111, spare.", "111, spare.", "111, spare."},
        {112, "112, reserved for national use.", "112, spare.", "112, reserved.",
         "112, reserved"},
        {115, "115, reserved for national use.", "115, spare.", "115, reserved.",
         "115, reserved"},
        {126, "126, reserved for national use.", "126, spare.", "126, reserved.",
         "126, reserved"},
        {127, "127, spare.", "127, spare.", "127, spare.", "127, spare."},
    };
    const struct {
        Member member;
        std::string NatureRow::*column;
    } members[] = {
        {kCalledParty, &NatureRow::a},  {kCalledDirectory, &NatureRow::b},
        {kCalledIN, &NatureRow::b},     {kCallingParty, &NatureRow::c},
        {kLocation, &NatureRow::c},     {kCallTransfer, &NatureRow::c},
        {kConnected, &NatureRow::c},    {kOriginalCalled, &NatureRow::d},
    };
    for (const auto& m : members) {
        for (const auto& row : rows) {
            for (const unsigned odd : {0u, 1u}) {
                SCOPED_TRACE(std::string(m.member.name) + " value " + std::to_string(row.value) +
                             " odd " + std::to_string(odd));
                const std::string block =
                    render(m.member.decoder, hexOctet(odd << 7 | row.value) + "1021");
                EXPECT_EQ(valueAfter(block, "Nature of address indicator"), row.*(m.column));
                EXPECT_EQ(valueAfter(block, "Odd/Even indicator"),
                          odd ? "1, odd number of address signals."
                              : "0, even number of address signals.");
            }
        }
    }
}

// The indicator fields of octet 2, each value tried with the other bits of the octet all 0 and
// all 1, so that a field cut from the wrong bits shows.
TEST(AddressNumber, OctetTwoFieldTables) {
    const std::vector<std::string> p1 = {
        "0, spare.", "1, numbering plan according to E.164", "2, spare.",
        "3, numbering plan according to X.121", "4, reserved.", "5, reserved.", "6, reserved.",
        "7, spare."};
    const std::vector<std::string> p2 = {
        "0, unknown.", "1, ISDN/Telephony (E.164/E.163).", "2, Data (X.121).",
        "3, Private numbering plan (ANSI).", "4, TELEX numbering plan (F.69).",
        "5, Land Mobile Numbering Plan (CCITT E.212).", "6, National numbering plan.",
        "7, spare."};
    const std::vector<std::string> p3 = {
        "0, spare.", "1, numbering plan according to E.164.", "2, spare.",
        "3, numbering plan according to X.121", "4, reserved.", "5, reserved.", "6, reserved.",
        "7, spare."};
    const std::vector<std::string> p4 = {
        "0, spare.", "1, numbering plan according to E.164.", "2, spare.",
        "3, numbering plan according to X.121.", "4, reserved.", "5, private numbering plan.",
        "6, reserved for national use.", "7, spare."};
    const std::vector<std::string> p5 = {
        "0, unknown.", "1, numbering plan according to E.164.", "2, spare.",
        "3, numbering plan according to X.121", "4, reserved.", "5, reserved.", "6, reserved.",
        "7, spare."};
    const std::vector<std::string> r1 = {"0, presentation allowed.", "1, presentation restricted.",
                                         "2, address not available.",
                                         "3, reserved for restriction by the network."};
    const std::vector<std::string> r2 = {"0, presentation allowed.", "1, presentation restricted.",
                                         "2, address not available.", "3, reserved."};
    const std::vector<std::string> r3 = {"0, presentation allowed.", "1, presentation restricted.",
                                         "2, spare.", "3, spare."};
    const std::vector<std::string> s1 = {"0, reserved.", "1, user provided, verified and passed.",
                                         "2, reserved.", "3, network provided."};
    const std::vector<std::string> s2 = {
        "0, user provided, not verified.", "1, user provided, verified and passed.",
        "2, user provided, verified and failed.", "3, network provided."};
    const std::vector<std::string> inn = {"0, routing to internal network number allowed.",
                                          "1, routing to internal network number not allowed."};
    const std::vector<std::string> incomplete = {"0, complete.", "1, incomplete."};

    const std::string plan = "Numbering plan indicator",
                      presentation = "Addr. presentation restriction indic",
                      screening = "Screening indicator";
    const struct {
        std::vector<Member> members;
        std::string label;
        unsigned shift;  // position of the field's lowest bit in the octet
        unsigned width;
        std::vector<std::string> phrases;
    } cases[] = {
        {{kCalledParty}, plan, 4, 3, p1},
        {{kCalledDirectory, kCalledIN}, plan, 4, 3, p2},
        {{kCallingParty, kLocation}, plan, 4, 3, p3},
        {{kCallTransfer, kConnected}, plan, 4, 3, p4},
        {{kOriginalCalled}, plan, 4, 3, p5},
        {{kCalledIN}, presentation, 2, 2, r1},
        {{kCallingParty, kLocation, kOriginalCalled}, presentation, 2, 2, r2},
        {{kCallTransfer, kConnected}, presentation, 2, 2, r3},
        {{kCallingParty, kLocation}, screening, 0, 2, s1},
        {{kCallTransfer, kConnected}, screening, 0, 2, s2},
        {{kCalledParty, kCalledDirectory}, "Internal Network Number indicator (INN)", 7, 1, inn},
        {{kCallingParty, kLocation}, "Number incompelete indicator", 7, 1, incomplete},
    };
    for (const auto& c : cases) {
        ASSERT_EQ(c.phrases.size(), 1u << c.width);
        const unsigned fieldMask = ((1u << c.width) - 1) << c.shift;
        for (const Member& m : c.members) {
            for (unsigned v = 0; v < c.phrases.size(); ++v) {
                for (const unsigned others : {0x00u, 0xFFu}) {
                    const unsigned octet2 = (v << c.shift) | (others & ~fieldMask);
                    SCOPED_TRACE(std::string(m.name) + " " + c.label + " octet 2 = " +
                                 hexOctet(octet2));
                    const std::string block = render(m.decoder, "03" + hexOctet(octet2) + "21");
                    EXPECT_EQ(valueAfter(block, c.label), c.phrases[v]);
                }
            }
        }
    }
}

// Digits in the order 6, 5, 8, 7, ... of the contents, at most 23, characters as they stand.
TEST(AddressNumber, AddressDigitOrder) {
    const struct {
        std::string contents;
        std::string digits;
    } cases[] = {
        {"0310", ""},
        {"031021", "12"},
        {"03102143", "1234"},
        {"8310214305", "123450"},  // the filler digit of an odd-length number is shown
        {"0310ABCDEF", "BADCFE"},
        {"0310ab", "ba"},         // address digits are not converted
        {"031021434", "12344"},   // a lone last character still shows
        // Octets 3 to 13: 22 digits.
        {"0310" "1032547698BADCFE103254", "0123456789ABCDEF012345"},
        // Octet 14 gives its low-order digit only, also when its high-order one is missing.
        {"0310" "1032547698BADCFE10325476", "0123456789ABCDEF0123456"},
        {"0310" "1032547698BADCFE1032547", "0123456789ABCDEF012345"},
        // 16 octets: nothing of octets 15 and 16.
        {"0310" "1032547698BADCFE1032547698BA", "0123456789ABCDEF0123456"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.contents);
        const std::string called = render(CalledPartyNumber, c.contents);
        const std::string head = dressed("Address Signal");
        ASSERT_NE(called.rfind(head), std::string::npos);
        EXPECT_EQ(called.substr(called.rfind(head) + head.size()), c.digits);
        EXPECT_EQ(valueAfter(render(ConnectedNumber, c.contents), "Connected Number"), c.digits);
    }
}

// Octets 1 and 2 are converted: without them, or with a digit that is not upper-case hex,
// the contents cannot be decoded, and nothing is appended.
TEST(AddressNumber, MissingOrBadIndicatorOctetsThrow) {
    for (const Member& m : kAllMembers) {
        for (const char* contents : {"", "0", "03", "0G10", "03x0", "03a0", " 310"}) {
            SCOPED_TRACE(std::string(m.name) + " \"" + contents + "\"");
            Text out("before");
            EXPECT_THROW(m.decoder(contents, out), DecodeError);
            EXPECT_EQ(out, "before");
        }
        Text out("before");
        m.decoder("0310", out);
        EXPECT_EQ(out.substr(0, 6), "before") << m.name;
        EXPECT_GT(out.size(), 6u) << m.name;
    }
}

}  // namespace
}  // namespace truno
