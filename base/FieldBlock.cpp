#include "base/FieldBlock.h"

#include "base/Conversions.h"

#include <array>
#include <cstdint>

namespace truno {

namespace {

// The octets a block reads, each converted once. The whole contents are converted only when a
// line reads the last octet, so a block read octet by octet is not held to the four-octet limit
// of the whole-number reading. Blocks read only their first few octets; an index beyond the
// cached ones is converted again at each use.
class OctetSource {
public:
    explicit OctetSource(std::string_view contents) : contents_(contents) {}

    std::uint8_t octet(int index) {
        if (index == kLastOctet) {
            if (!haveLast_) {
                last_ = lastContentsOctet(contents_);
                haveLast_ = true;
            }
            return last_;
        }
        const auto n = static_cast<std::size_t>(index);
        if (n > octets_.size()) return contentOctet(contents_, n);
        const auto bit = static_cast<std::uint16_t>(1u << (n - 1));
        if ((have_ & bit) == 0) {
            octets_[n - 1] = contentOctet(contents_, n);
            have_ = static_cast<std::uint16_t>(have_ | bit);
        }
        return octets_[n - 1];
    }

private:
    std::string_view contents_;
    std::array<std::uint8_t, 16> octets_{};
    std::uint16_t have_ = 0;  // bit n-1 set: octet n is in octets_
    std::uint8_t last_ = 0;
    bool haveLast_ = false;
};

std::size_t indentOf(LineLevel level) {
    switch (level) {
        case LineLevel::L1: return 0;
        case LineLevel::L2: return kLabelIndent;
        case LineLevel::L3: return kLabelIndent + 4;
    }
    return 0;
}

}  // namespace

std::string_view valueName(const BitField& field, std::uint64_t value) {
    for (const ValuePhrase& row : field.values)
        if (row.value == value) return row.name;
    const Field cut{value, field.bits.high - field.bits.low + 1};
    for (const Phrase& row : field.table)
        if (row.width == cut.width && row.value == cut.value) return row.name;
    return {};
}

void dressField(Text& out, const BitField& field) {
    const std::size_t begin = out.size();
    dressLabel(out, field.label, indentOf(field.level));
    out.markField(begin, field);
}

void fieldLine(Text& out, const BitField& field, std::string_view value) {
    dressField(out, field);
    out += value;
    out += CRLF;
}

void appendNumberLine(Text& out, const BitField& field, std::string_view contents) {
    const HexDecimal decimal(contents);
    fieldLine(out, field, decimal.text());
    if (const HexNumber number = readHexNumber(contents); number.value) out.setFieldNumber(*number.value);
}

void fieldLine(Text& out, const BitField& field, const ValuePhrase& row) {
    dressField(out, field);
    appendRowText(out, row);
    out += CRLF;
}

void appendFieldLine(Text& out, const BitField& field, Field value) {
    dressField(out, field);
    out.setFieldNumber(value.value);
    if (field.values.empty())
        appendPhrase(out, field.table, value, field.fallback);
    else
        appendPhrase(out, field.values, value, field.fallback);
}

void appendFieldLine(Text& out, const BitField& field, std::uint8_t octet) {
    appendFieldLine(out, field, bitsOf(octet, field.bits));
}

void appendTitledContents(Text& out, std::string_view title, const BitField& field, std::string_view contents) {
    lineOf(out, title);
    out.markPlain(field);
    out += contents;
}

void appendFieldBlock(Text& out, std::string_view contents, const FieldBlock& block) {
    // The octet of each line, converted before anything is written (blocks have a handful of
    // lines; a longer one would read the rest again as it writes them).
    constexpr std::size_t kKept = 32;
    std::array<std::uint8_t, kKept> octets{};
    OctetSource source(contents);
    for (std::size_t i = 0; i < block.lines.size(); ++i) {
        const std::uint8_t octet = source.octet(block.lines[i].octet);
        if (i < kKept) octets[i] = octet;
    }

    if (!block.title.empty()) {
        out.mark(MarkKind::Heading);
        out += block.title;
    }
    bool firstLine = block.title.empty();
    for (std::size_t i = 0; i < block.lines.size(); ++i) {
        if (!firstLine) out += CRLF;
        firstLine = false;
        const BitField& line = block.lines[i];
        appendFieldLine(out, line, i < kKept ? octets[i] : source.octet(line.octet));
    }
    switch (block.ending) {
        case BlockEnding::None: break;
        case BlockEnding::LineEnd: out += CRLF; break;
        case BlockEnding::EmptyLine:
            out += CRLF;
            out += CRLF;
            break;
    }
}

}  // namespace truno
