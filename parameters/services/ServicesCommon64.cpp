#include "parameters/services/ServicesCommon64.h"

#include <cstdint>

namespace truno::octetblock {

namespace {

// The whole contents are converted at most once, and only when a line reads from them, so a
// block read octet by octet is not held to the four-octet limit of the whole-number reading.
class OctetSource {
public:
    explicit OctetSource(std::string_view contents) : contents_(contents) {}

    std::uint8_t octet(int index) {
        if (index != kLastOctet) return contentOctet(contents_, static_cast<std::size_t>(index));
        if (!haveWord_) {
            word_ = wholeContentsWord(contents_);
            haveWord_ = true;
        }
        return static_cast<std::uint8_t>(word_ & 0xFFu);
    }

private:
    std::string_view contents_;
    std::uint32_t word_ = 0;
    bool haveWord_ = false;
};

}  // namespace

void appendOctetBlock(Text& out, std::string_view contents, const OctetBlock& block) {
    OctetSource source(contents);
    bool firstLine = block.title.empty();
    out += block.title;
    for (const FieldLine& line : block.lines) {
        if (!firstLine) out += CRLF;
        firstLine = false;
        const Field field = cutOctet(source.octet(line.octet), line.first, line.length);
        if (line.level == Level::L1)
            DressData(out, line.label);
        else
            DressItL2(out, line.label);
        appendPhrase(out, line.table, field, line.fallback);
    }
    switch (block.ending) {
        case Ending::None: break;
        case Ending::LineEnd: out += CRLF; break;
        case Ending::EmptyLine:
            out += CRLF;
            out += CRLF;
            break;
    }
}

}  // namespace truno::octetblock
