// Calling name identity (code F2), a national parameter with no ITU-T clause.
#include "base/FieldBlock.h"
#include "parameters/national/NationalDecoders.h"

namespace truno {
namespace {

// Bits H G F of octet 1.
constexpr Phrase kTypeOfName[] = {
    {"001", "Calling party's name."},
};

// Bit E.
constexpr Phrase kAvailability[] = {
    {"0", "0, name available."},
    {"1", "1, name not available."},
};

// Bits D C.
constexpr Phrase kScreening[] = {
    {"00", "0, user provided."},
    {"01", "1, network provided."},
};

// Bits B A.
constexpr Phrase kPresentation[] = {
    {"00", "0, presentation of name allowed."},
    {"01", "1, presentation of name restricted."},
};

// Octet 2 as a number.
constexpr ValuePhrase kEncoding[] = {
    {1, "1, IA5 string encoding."},
};

constexpr Fallback kBitsThenSpare{Fallback::Kind::Bits, ", spare."};

// Octet 1 and octet 2 are converted before anything is written.
constexpr BitField kLines[] = {
    {.key = "type_of_name", .label = "Type of name", .octet = 1, .bits = {8, 6},
     .table = kTypeOfName, .fallback = kFallbackDecimalSpare},
    {.key = "availability", .label = "Availability Indicator", .octet = 1, .bits = {5, 5}, .table = kAvailability},
    {.key = "screening", .label = "Screening Indicator", .octet = 1, .bits = {4, 3},
     .table = kScreening, .fallback = kBitsThenSpare},
    {.key = "name_presentation", .label = "Name Presentation", .octet = 1, .bits = {2, 1},
     .table = kPresentation, .fallback = kBitsThenSpare},
    {.key = "encoding_identification", .label = "Encoding identification", .octet = 2, .bits = {8, 1},
     .values = kEncoding, .fallback = kFallbackDecimalSpare},
};

constexpr FieldBlock kBlock{"CALLING NAME IDENTITY:", kLines, BlockEnding::LineEnd};
constexpr BitField kNameField{.key = "name", .label = "Character", .type = FieldType::Text};

// A name holds at most this many characters; octets after them are not shown.
constexpr std::size_t kMaxNameCharacters = 50;

// The name from octet 3 on, one character per octet, blanks trimmed at both ends. Control
// characters are shown escaped so that the name cannot break the report's lines.
void appendName(Text& out, std::string_view contents) {
    char name[kMaxNameCharacters];
    std::size_t length = 0;
    for (std::size_t n = 3; n <= octetCount(contents) && length < kMaxNameCharacters; ++n)
        name[length++] = static_cast<char>(contentOctet(contents, n));
    std::string_view text(name, length);
    const std::size_t first = text.find_first_not_of(' ');
    text = first == std::string_view::npos ? std::string_view{} : text.substr(first);
    text = text.substr(0, text.find_last_not_of(' ') + 1);
    dressField(out, kNameField);
    appendLogText(out, text);
    out += CRLF;
}

}  // namespace

void CallingNameIdentity(std::string_view contents, Text& out) {
    appendFieldBlock(out, contents, kBlock);
    const bool nameAvailable = bitsOf(contentOctet(contents, 1), {5, 5}).value == 0;
    if (nameAvailable && octetCount(contents) > 2) appendName(out, contents);
}

void CallingNameIdentityFields(FieldList& list) {
    list.add(kLines);
    list.add(kNameField);
}

}  // namespace truno
