#pragma once
// The ITU-T Q.763 address format shared by the called, calling, connected and other number
// parameters: octet 1 holds the odd/even indicator (bit 8) and the nature of address (bits 7-1),
// octet 2 the indicators, octets 3 onward the address signals, two per octet, low-order digit
// in bits 4-1. One decoder body renders every member; a member is described by data: its
// heading, which indicator fields it shows and with which value tables, the label of its digit
// line, and where its block has line ends.
#include "base/FieldBlock.h"
#include "base/TextMemo.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace truno {

struct AddressMember {
    std::string_view heading;
    std::span<const BitField> fields;  // level-2 lines of octets 1 and 2, in the order printed
    BitField digits;                   // the line of the address signals (FieldType::Digits)
    bool leadingCrLf;    // the block starts with CR LF before the heading
    bool digitLineCrLf;  // the digit line ends with CR LF
};

// Appends the member's block for the contents. Octets 1 and 2 are converted before anything is
// written, so a contents without them throws DecodeError and leaves `out` as it was. The digits'
// value for the views is the address without its filler: when the odd/even indicator says odd
// and every digit of the contents is shown, the last one shown is the filler and is left out.
// (The report shows it, as it always has.)
void decodeAddressNumber(const AddressMember& member, std::string_view contents, Text& out);

// The member's field rows.
void listAddressFields(const AddressMember& member, FieldList& list);

// A block's head kept whole as first written (its text and marks, up to the digits' value): the
// heading's mark each begins with carries its number (Mark::number, hasNumber). Nothing for a
// number no head has.
std::optional<TextMemo::Kept> keptAddressHead(std::uint64_t number);

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

// Nature of address: a value without a row is spare, except in the national block 112-126.
constexpr Fallback natureOfAddress(std::string_view nationalSuffix) {
    return Fallback{.kind = Fallback::Kind::Decimal, .suffix = ", spare.", .rangeLow = 112,
                    .rangeHigh = 126, .rangeSuffix = nationalSuffix};
}

inline constexpr std::string_view kPlanLabel = "Numbering plan indicator";
inline constexpr std::string_view kPresentationLabel = "Addr. presentation restriction indic";
inline constexpr std::string_view kScreeningLabel = "Screening indicator";
inline constexpr std::string_view kNatureLabel = "Nature of address indicator";

// Octet 1: bit H the odd/even indicator, bits G-A the nature of address. The tables list every
// value of the other fields.
inline constexpr BitField kOddEvenField{
    .key = "odd_even", .label = "Odd/Even indicator", .octet = 1, .bits = {8, 8}, .values = kOddEven, .fallback = kFallbackDecimal};

inline constexpr BitField kNatureAField{.key = "nature_of_address", .label = kNatureLabel, .octet = 1, .bits = {7, 1}, .values = kNatureA,
                                        .fallback = natureOfAddress(", reserved for national use.")};
inline constexpr BitField kNatureBField{.key = "nature_of_address", .label = kNatureLabel, .octet = 1, .bits = {7, 1}, .values = kNatureB,
                                        .fallback = natureOfAddress(", spare.")};
inline constexpr BitField kNatureCField{.key = "nature_of_address", .label = kNatureLabel, .octet = 1, .bits = {7, 1}, .values = kNatureCD,
                                        .fallback = natureOfAddress(", reserved.")};
inline constexpr BitField kNatureDField{.key = "nature_of_address", .label = kNatureLabel, .octet = 1, .bits = {7, 1}, .values = kNatureCD,
                                        .fallback = natureOfAddress(", reserved")};

// Octet 2: bit H the INN or number incomplete indicator, bits G-E the numbering plan, bits D C
// the presentation restriction, bits B A the screening.
inline constexpr BitField kInternalNetworkNumberField{.key = "internal_network_number", .label = "Internal Network Number indicator (INN)",
                                                      .octet = 2, .bits = {8, 8},
                                                      .values = kInternalNetworkNumber,
                                                      .fallback = kFallbackDecimal};
inline constexpr BitField kNumberIncompleteField{.key = "number_incomplete", .label = "Number incompelete indicator", .octet = 2,
                                                 .bits = {8, 8}, .values = kNumberIncomplete,
                                                 .fallback = kFallbackDecimal};

constexpr BitField planField(std::span<const ValuePhrase> plan) {
    return BitField{.key = "numbering_plan", .label = kPlanLabel, .octet = 2, .bits = {7, 5}, .values = plan, .fallback = kFallbackDecimal};
}
constexpr BitField presentationField(std::span<const ValuePhrase> presentation) {
    return BitField{.key = "presentation_restricted",
        .label = kPresentationLabel, .octet = 2, .bits = {4, 3}, .values = presentation, .fallback = kFallbackDecimal};
}
constexpr BitField screeningField(std::span<const ValuePhrase> screening) {
    return BitField{
        .key = "screening", .label = kScreeningLabel, .octet = 2, .bits = {2, 1}, .values = screening, .fallback = kFallbackDecimal};
}

inline constexpr BitField kPlanP1Field = planField(kPlanP1);
inline constexpr BitField kPlanP2Field = planField(kPlanP2);
inline constexpr BitField kPlanP3Field = planField(kPlanP3);
inline constexpr BitField kPlanP4Field = planField(kPlanP4);
inline constexpr BitField kPlanP5Field = planField(kPlanP5);

inline constexpr BitField kPresentationR1Field = presentationField(kPresentationR1);
inline constexpr BitField kPresentationR2Field = presentationField(kPresentationR2);
inline constexpr BitField kPresentationR3Field = presentationField(kPresentationR3);

inline constexpr BitField kScreeningS1Field = screeningField(kScreeningS1);
inline constexpr BitField kScreeningS2Field = screeningField(kScreeningS2);

// The field lines of the calling party and location numbers, and of the call transfer and
// connected numbers, which share them.
inline constexpr BitField kCallingLocationFields[] = {
    kOddEvenField,  kNatureCField,        kNumberIncompleteField,
    kPlanP3Field,   kPresentationR2Field, kScreeningS1Field,
};
inline constexpr BitField kTransferConnectedFields[] = {
    kOddEvenField, kNatureCField, kPlanP4Field, kPresentationR3Field, kScreeningS2Field,
};

// The line of the address signals, under its label.
constexpr BitField digitsField(std::string_view label) {
    return BitField{.key = "address_signals", .label = label, .type = FieldType::Digits};
}

}  // namespace address
}  // namespace truno
