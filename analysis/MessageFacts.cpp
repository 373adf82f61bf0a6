#include "analysis/MessageFacts.h"

namespace truno {
namespace {

// The text a mark delimits, without the line ends that close it.
std::string_view withoutLineEnds(std::string_view text) {
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.remove_suffix(1);
    return text;
}

bool isValueDigit(char c) { return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F'); }

}  // namespace

void MessageFacts::build(const RecordFacts& record) {
    record_ = record;
    blocks_.clear();
    fields_.clear();
    blocks_.push_back(BlockFact{});  // the message's own lines
    const std::string_view text = record.text;
    const std::span<const Mark> marks = record.marks;
    for (std::size_t i = 0; i < marks.size(); ++i) {
        const Mark& m = marks[i];
        const std::size_t end = i + 1 < marks.size() ? marks[i + 1].begin : text.size();
        const std::string_view span = m.value <= end ? text.substr(m.value, end - m.value) : std::string_view{};
        BlockFact& block = blocks_.back();
        switch (m.kind) {
            case MarkKind::Parameter:
                blocks_.push_back(BlockFact{.code = m.code,
                                            .name = m.label,
                                            .firstField = static_cast<std::uint32_t>(fields_.size())});
                break;
            case MarkKind::Heading: {
                // A heading may stand indented under the value column of a parameter's lines.
                std::string_view heading = withoutLineEnds(span);
                while (!heading.empty() && heading.front() == ' ') heading.remove_prefix(1);
                if (block.title.empty() && block.fieldCount == 0 && block.code >= 0) {
                    block.title = heading;
                } else {
                    blocks_.push_back(BlockFact{.code = block.code,
                                                .name = block.name,
                                                .title = heading,
                                                .firstField = static_cast<std::uint32_t>(fields_.size())});
                }
                break;
            }
            case MarkKind::Field:
            case MarkKind::Plain:
                fields_.push_back(FieldFact{.label = m.kind == MarkKind::Field ? m.label : std::string_view{},
                                            .printed = withoutLineEnds(span)});
                ++blocks_.back().fieldCount;
                break;
        }
    }
}

const FieldFact* MessageFacts::find(int code, std::string_view label) const {
    for (const BlockFact& block : blocks_) {
        if (block.code != code) continue;
        for (const FieldFact& field : fieldsOf(block))
            if (field.label == label) return &field;
    }
    return nullptr;
}

ValueParts splitValue(std::string_view printed) {
    std::size_t digits = 0;
    while (digits < printed.size() && isValueDigit(printed[digits])) ++digits;
    if (digits == 0 || printed.substr(digits, 2) != ", ") return {printed, {}};
    return {printed.substr(0, digits), printed.substr(digits + 2)};
}

void foldValue(std::string& out, std::string_view printed) {
    std::size_t at = 0;
    for (;;) {
        const std::size_t lineEnd = printed.find("\r\n", at);
        if (lineEnd == std::string_view::npos) {
            out.append(printed.substr(at));
            return;
        }
        out.append(printed.substr(at, lineEnd - at));
        at = lineEnd + 2;
        while (at < printed.size() && printed[at] == ' ') ++at;
        out += ' ';
    }
}

}  // namespace truno
