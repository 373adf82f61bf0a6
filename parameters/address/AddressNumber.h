#pragma once
// The ITU-T Q.763 address format shared by the called, calling, connected and other number
// parameters: octet 1 holds the odd/even indicator (bit 8) and the nature of address (bits 7-1),
// octet 2 the indicators, octets 3 onward the address signals, two per octet, low-order digit
// in bits 4-1. One decoder body renders every member; a member is described by data: its
// heading, which indicator fields it shows and with which value tables, the label of its digit
// line, and where its block has line ends.
#include "base/FieldTable.h"

#include <cstdint>
#include <span>
#include <string_view>

namespace truno {

// The phrases of one field. A value without a row prints as its decimal number followed by
// `rangeSuffix` when it lies in rangeLow..rangeHigh (the block of national values of the nature
// of address), and followed by `otherSuffix` otherwise.
struct AddressValueTable {
    std::span<const ValuePhrase> rows;
    std::uint8_t rangeLow;
    std::uint8_t rangeHigh;
    std::string_view rangeSuffix;
    std::string_view otherSuffix;
};

// One indicator field: its label, the octet it lies in (1 or 2), its place in that octet's
// 8-character bit string (character 1 = bit 8), and its phrases. One-bit fields are compared
// as "0"/"1", wider ones as numbers; both come down to the field's value.
struct AddressField {
    std::string_view label;
    std::uint8_t octet;
    std::uint8_t firstChar;
    std::uint8_t length;
    AddressValueTable values;
};

struct AddressMember {
    std::string_view heading;
    std::span<const AddressField> fields;  // in the order the lines are printed
    std::string_view digitLabel;
    bool leadingCrLf;    // the block starts with CR LF before the heading
    bool digitLineCrLf;  // the digit line ends with CR LF
};

// Appends the member's block for the contents. Octets 1 and 2 are converted before anything is
// written, so a contents without them throws DecodeError and leaves `out` as it was.
void decodeAddressNumber(const AddressMember& member, std::string_view contents, Text& out);

// At most this many address digits are shown: both digits of octets 3 to 13 and the low-order
// digit of octet 14.
inline constexpr std::size_t kMaxAddressDigits = 23;

namespace address {

// --- Value tables ---

inline constexpr ValuePhrase kOddEven[] = {
    {0, "0, even number of address signals."},
    {1, "1, odd number of address signals."},
};

// Nature of address indicator, table A (called party number).
inline constexpr ValuePhrase kNatureA[] = {
    {1, "1, subscriber number."},
    {2, "2, unknown."},
    {3, "3, national significant number."},
    {4, "4, international number."},
    {5, "5, network specific number."},
    {6, "6, reserved."},
    {7, "7, reserved."},
    {8, "8, reserved."},
};

// Table B (called directory number, called IN number). Values 7 and 8 run over two lines; the
// second line stands under the value column of a level-2 line (46 blanks).
inline constexpr ValuePhrase kNatureB[] = {
    {1, "1, subscriber number."},
    {2, "2, unknown."},
    {3, "3, national significant number."},
    {4, "4, international number."},
    {5, "5, network specific number."},
    {6, "6, network routing number in national number format."},
    {7, "7, network routing number in network specific\r\n"
        "                                              number format."},
    {8, "8, network routing number concatenated with\r\n"
        "                                              called directory number format."},
};

// Table C (calling party, location, call transfer and connected numbers) and table D (original
// called number) share their rows and differ in the national block 112-126.
inline constexpr ValuePhrase kNatureCD[] = {
    {1, "1, subscriber number."},
    {2, "2, unknown."},
    {3, "3, national significant number."},
    {4, "4, international number."},
};

inline constexpr ValuePhrase kInternalNetworkNumber[] = {
    {0, "0, routing to internal network number allowed."},
    {1, "1, routing to internal network number not allowed."},
};

inline constexpr ValuePhrase kNumberIncomplete[] = {
    {0, "0, complete."},
    {1, "1, incomplete."},
};

// Numbering plan indicator, tables P1 to P5.
inline constexpr ValuePhrase kPlanP1[] = {
    {0, "0, spare."},
    {1, "1, numbering plan according to E.164"},
    {2, "2, spare."},
    {3, "3, numbering plan according to X.121"},
    {4, "4, reserved."},
    {5, "5, reserved."},
    {6, "6, reserved."},
    {7, "7, spare."},
};
inline constexpr ValuePhrase kPlanP2[] = {
    {0, "0, unknown."},
    {1, "1, ISDN/Telephony (E.164/E.163)."},
    {2, "2, Data (X.121)."},
    {3, "3, Private numbering plan (ANSI)."},
    {4, "4, TELEX numbering plan (F.69)."},
    {5, "5, Land Mobile Numbering Plan (CCITT E.212)."},
    {6, "6, National numbering plan."},
    {7, "7, spare."},
};
inline constexpr ValuePhrase kPlanP3[] = {
    {0, "0, spare."},
    {1, "1, numbering plan according to E.164."},
    {2, "2, spare."},
    {3, "3, numbering plan according to X.121"},
    {4, "4, reserved."},
    {5, "5, reserved."},
    {6, "6, reserved."},
    {7, "7, spare."},
};
inline constexpr ValuePhrase kPlanP4[] = {
    {0, "0, spare."},
    {1, "1, numbering plan according to E.164."},
    {2, "2, spare."},
    {3, "3, numbering plan according to X.121."},
    {4, "4, reserved."},
    {5, "5, private numbering plan."},
    {6, "6, reserved for national use."},
    {7, "7, spare."},
};
inline constexpr ValuePhrase kPlanP5[] = {
    {0, "0, unknown."},
    {1, "1, numbering plan according to E.164."},
    {2, "2, spare."},
    {3, "3, numbering plan according to X.121"},
    {4, "4, reserved."},
    {5, "5, reserved."},
    {6, "6, reserved."},
    {7, "7, spare."},
};

// Address presentation restricted indicator, tables R1 to R3.
inline constexpr ValuePhrase kPresentationR1[] = {
    {0, "0, presentation allowed."},
    {1, "1, presentation restricted."},
    {2, "2, address not available."},
    {3, "3, reserved for restriction by the network."},
};
inline constexpr ValuePhrase kPresentationR2[] = {
    {0, "0, presentation allowed."},
    {1, "1, presentation restricted."},
    {2, "2, address not available."},
    {3, "3, reserved."},
};
inline constexpr ValuePhrase kPresentationR3[] = {
    {0, "0, presentation allowed."},
    {1, "1, presentation restricted."},
    {2, "2, spare."},
    {3, "3, spare."},
};

// Screening indicator, tables S1 and S2.
inline constexpr ValuePhrase kScreeningS1[] = {
    {0, "0, reserved."},
    {1, "1, user provided, verified and passed."},
    {2, "2, reserved."},
    {3, "3, network provided."},
};
inline constexpr ValuePhrase kScreeningS2[] = {
    {0, "0, user provided, not verified."},
    {1, "1, user provided, verified and passed."},
    {2, "2, user provided, verified and failed."},
    {3, "3, network provided."},
};

// --- Fields ---

// A field whose table covers every value it can take.
constexpr AddressValueTable complete(std::span<const ValuePhrase> rows) {
    return AddressValueTable{rows, 1, 0, "", ""};
}

// Nature of address: a value without a row is spare, except in the national block 112-126.
constexpr AddressValueTable natureOfAddress(std::span<const ValuePhrase> rows,
                                            std::string_view nationalSuffix) {
    return AddressValueTable{rows, 112, 126, nationalSuffix, ", spare."};
}

inline constexpr std::string_view kPlanLabel = "Numbering plan indicator";
inline constexpr std::string_view kPresentationLabel = "Addr. presentation restriction indic";
inline constexpr std::string_view kScreeningLabel = "Screening indicator";
inline constexpr std::string_view kNatureLabel = "Nature of address indicator";

inline constexpr AddressField kOddEvenField{"Odd/Even indicator", 1, 1, 1, complete(kOddEven)};

inline constexpr AddressField kNatureAField{
    kNatureLabel, 1, 2, 7, natureOfAddress(kNatureA, ", reserved for national use.")};
inline constexpr AddressField kNatureBField{kNatureLabel, 1, 2, 7,
                                            natureOfAddress(kNatureB, ", spare.")};
inline constexpr AddressField kNatureCField{kNatureLabel, 1, 2, 7,
                                            natureOfAddress(kNatureCD, ", reserved.")};
inline constexpr AddressField kNatureDField{kNatureLabel, 1, 2, 7,
                                            natureOfAddress(kNatureCD, ", reserved")};

inline constexpr AddressField kInternalNetworkNumberField{
    "Internal Network Number indicator (INN)", 2, 1, 1, complete(kInternalNetworkNumber)};
inline constexpr AddressField kNumberIncompleteField{"Number incompelete indicator", 2, 1, 1,
                                                     complete(kNumberIncomplete)};

inline constexpr AddressField kPlanP1Field{kPlanLabel, 2, 2, 3, complete(kPlanP1)};
inline constexpr AddressField kPlanP2Field{kPlanLabel, 2, 2, 3, complete(kPlanP2)};
inline constexpr AddressField kPlanP3Field{kPlanLabel, 2, 2, 3, complete(kPlanP3)};
inline constexpr AddressField kPlanP4Field{kPlanLabel, 2, 2, 3, complete(kPlanP4)};
inline constexpr AddressField kPlanP5Field{kPlanLabel, 2, 2, 3, complete(kPlanP5)};

inline constexpr AddressField kPresentationR1Field{kPresentationLabel, 2, 5, 2,
                                                   complete(kPresentationR1)};
inline constexpr AddressField kPresentationR2Field{kPresentationLabel, 2, 5, 2,
                                                   complete(kPresentationR2)};
inline constexpr AddressField kPresentationR3Field{kPresentationLabel, 2, 5, 2,
                                                   complete(kPresentationR3)};

inline constexpr AddressField kScreeningS1Field{kScreeningLabel, 2, 7, 2, complete(kScreeningS1)};
inline constexpr AddressField kScreeningS2Field{kScreeningLabel, 2, 7, 2, complete(kScreeningS2)};

// The field lines of the calling party and location numbers, and of the call transfer and
// connected numbers, which share them.
inline constexpr AddressField kCallingLocationFields[] = {
    kOddEvenField,  kNatureCField,        kNumberIncompleteField,
    kPlanP3Field,   kPresentationR2Field, kScreeningS1Field,
};
inline constexpr AddressField kTransferConnectedFields[] = {
    kOddEvenField, kNatureCField, kPlanP4Field, kPresentationR3Field, kScreeningS2Field,
};

}  // namespace address
}  // namespace truno
