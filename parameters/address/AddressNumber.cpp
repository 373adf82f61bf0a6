// The Q.763 address format of the number parameters (called party number, Q.763 3.9, and others).
#include "parameters/address/AddressNumber.h"

#include "base/TextMemo.h"

namespace truno {
namespace {

// Character positions (1-based) of the address digits in the contents, in the order they are
// shown: each octet from octet 3 gives its low-order digit (second hex character) and then its
// high-order digit, and the list stops after the low-order digit of octet 14. The report shows
// the filler digit of an odd number; the value the views take leaves it out.
constexpr std::uint8_t kDigitPositions[kMaxAddressDigits] = {
    6, 5, 8, 7, 10, 9, 12, 11, 14, 13, 16, 15, 18, 17, 20, 19, 22, 21, 24, 23, 26, 25, 28,
};

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

}  // namespace

void decodeAddressNumber(const AddressMember& member, std::string_view contents, Text& out) {
    const std::uint8_t octets[2] = {contentOctet(contents, 1), contentOctet(contents, 2)};

    // The head is a constant of the member and its first two octets: a report without marks keeps
    // it as first written and copies it whole.
    if (out.marks() == nullptr) {
        static TextMemo heads;
        const TextMemo::Key key{.owner = &member, .first = octets[0] * 256u + octets[1]};
        if (const std::string* head = heads.find(key); head != nullptr) {
            out += *head;
        } else {
            const std::size_t start = out.size();
            appendHead(member, octets, out);
            heads.keep(key, out.view().substr(start));
        }
    } else {
        appendHead(member, octets, out);
    }
    char digits[kMaxAddressDigits];
    std::size_t count = 0;
    for (const std::uint8_t position : kDigitPositions)
        if (position <= contents.size()) digits[count++] = contents[position - 1u];
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
