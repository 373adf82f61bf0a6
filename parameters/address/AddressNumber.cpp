// The Q.763 address format of the number parameters (called party number, Q.763 3.9, and others).
#include "parameters/address/AddressNumber.h"

#include "base/TextMemo.h"

#include <algorithm>

namespace truno {
namespace {

// The address digits in the order they are shown: each octet from octet 3 gives its low-order
// digit (second hex character) and then its high-order digit, up to the low-order digit of octet
// 14 (characters 5 to 26 in pairs, then character 28); a lone character at the end of the contents
// is shown on its own. The report shows the filler digit of an odd number; the value the views
// take leaves it out. Returns how many were written to `digits`.
std::size_t shownDigits(std::string_view contents, char (&digits)[kMaxAddressDigits]) {
    constexpr std::size_t kFirst = 4;        // character 5: octet 3
    constexpr std::size_t kPairsEnd = 26;    // after character 26: octet 13
    constexpr std::size_t kLastShown = 27;   // character 28: the low-order digit of octet 14
    std::size_t count = 0;
    const std::size_t end = std::min(contents.size(), kPairsEnd);
    std::size_t at = kFirst;
    for (; at + 1 < end; at += 2) {
        digits[count++] = contents[at + 1];
        digits[count++] = contents[at];
    }
    if (at < end) digits[count++] = contents[at];
    if (contents.size() > kLastShown) digits[count++] = contents[kLastShown];
    return count;
}

// The block up to the digits: the heading, the lines of octets 1 and 2, the digit line's label.
void appendHead(const AddressMember& member, const std::uint8_t (&octets)[2], Text& out) {
    if (member.leadingCrLf) out += CRLF;
    lineOf(out, member.heading);

    for (const BitField& field : member.fields) {
        appendFieldLine(out, field, octets[field.octet - 1]);
        out += CRLF;
    }

    dressField(out, member.digits);
}

TextMemo& addressHeads() {
    static TextMemo heads(TextMemo::Numbering::AddressHeads);
    return heads;
}

}  // namespace

std::optional<TextMemo::Kept> keptAddressHead(std::uint64_t number) { return addressHeads().kept(number); }

void decodeAddressNumber(const AddressMember& member, std::string_view contents, Text& out) {
    const std::uint8_t octets[2] = {contentOctet(contents, 1), contentOctet(contents, 2)};

    // The head is a constant of the member and its first two octets: it is kept as first written,
    // with its marks, and copied whole.
    addressHeads().append({.owner = &member, .first = octets[0] * 256u + octets[1]}, out, [&] { appendHead(member, octets, out); });
    char digits[kMaxAddressDigits];
    const std::size_t count = shownDigits(contents, digits);
    const std::string_view shown(digits, count);
    const std::size_t valueStart = out.size();
    appendLogText(out, shown);
    // Octet 1, bit H: odd number of address signals. The filler is the high-order digit of the
    // last octet, the last digit shown when every octet's digits are.
    const bool odd = (octets[0] & 0x80u) != 0;
    const bool allShown = count == 2 * (octetCount(contents) - 2) && contents.size() % 2 == 0;
    const bool dropFiller = odd && allShown && count > 0 && allPrintable(shown);
    out.setFieldNumber(dropFiller ? count - 1 : out.size() - valueStart);
    if (member.digitLineCrLf) out += CRLF;
}

void listAddressFields(const AddressMember& member, FieldList& list) {
    list.add(member.fields);
    list.add(member.digits);
}

}  // namespace truno
