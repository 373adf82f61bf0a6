// MLPP precedence (code 3A), Q.763 3.34.
#include "parameters/services/ServiceDecoders.h"

#include "base/FieldTable.h"

#include <cstdint>

namespace truno {

namespace {

// Octet 1 bits G F: look ahead for busy.
constexpr Phrase kLookAheadForBusy[] = {
    {"00", "0, LFB allowed"},
    {"01", "1, path reserved (National use)"},
    {"10", "2, LFB not allowed"},
};

// Octet 1 bits D C B A.
constexpr Phrase kPrecedenceLevel[] = {
    {"0000", "0, flash override"},
    {"0001", "1, flash"},
    {"0010", "2, immediate"},
    {"0011", "3, priority"},
    {"0100", "4, routine"},
};

constexpr BitField kFields[] = {
    {.key = "look_ahead_for_busy", .label = "Look Ahead for Busy - LFB", .octet = 1, .bits = {7, 6},
     .table = kLookAheadForBusy, .fallback = kFallbackBitsSpare},
    {.key = "precedence_level", .label = "Precedence Level", .octet = 1, .bits = {4, 1}, .table = kPrecedenceLevel,
     .fallback = kFallbackBitsSpare},
    {.key = "telephony_country_code", .label = "Telephony Country Code, TCC", .type = FieldType::Text},
    {.key = "mlpp_service_domain", .label = "MLPP Service Domain"},
};

}  // namespace

// Six octets, each read on its own: octet 1 the LFB and precedence level, octets 2-3 the three
// telephony country code digits, octets 4-6 the MLPP service domain. All six are converted
// before anything is written, so a short parameter adds nothing to the report.
void MlppPrecedence(std::string_view contents, Text& out) {
    std::uint8_t octets[6];
    for (std::size_t n = 0; n < 6; ++n) octets[n] = contentOctet(contents, n + 1);

    lineOf(out, "MLPP PRECEDENCE:");
    appendFieldLine(out, kFields[0], octets[0]);
    out += CRLF;
    appendFieldLine(out, kFields[1], octets[0]);
    out += CRLF;

    // Each country code digit is a nibble written in decimal; a nibble above 9 gives two digits.
    dressField(out, kFields[2]);
    appendDecimal(out, bitsOf(octets[1], {4, 1}).value);
    appendDecimal(out, bitsOf(octets[2], {8, 5}).value);
    appendDecimal(out, bitsOf(octets[2], {4, 1}).value);
    out += CRLF;

    dressField(out, kFields[3]);
    const std::uint32_t domain = (std::uint32_t{octets[3]} << 16) | (std::uint32_t{octets[4]} << 8) | octets[5];
    out.setFieldNumber(domain);
    appendDecimal(out, domain);
    out += CRLF;
}

void MlppPrecedenceFields(FieldList& list) { list.add(kFields); }

}  // namespace truno
