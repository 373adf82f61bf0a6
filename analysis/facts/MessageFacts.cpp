#include "analysis/facts/MessageFacts.h"

#include "dispatch/ParameterTable.h"

#include <algorithm>

namespace truno {
namespace {

// The text a mark delimits, without the line ends that close it.
std::string_view withoutLineEnds(std::string_view text) {
    // Most values end in one CR LF: that is the case taken first.
    if (text.size() >= 2 && text[text.size() - 2] == '\r' && text.back() == '\n') text.remove_suffix(2);
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.remove_suffix(1);
    return text;
}

}  // namespace

std::optional<Route> routeOf(const RecordFacts& record) {
    if (!record.wire.captured || !record.wire.pointCodesKnown) return std::nullopt;
    return Route{.low = std::min(record.wire.opc, record.wire.dpc), .high = std::max(record.wire.opc, record.wire.dpc)};
}

std::string routeText(const Route& route) { return std::to_string(route.low) + "-" + std::to_string(route.high); }

void MessageFacts::build(const RecordFacts& record, bool withFields) {
    record_ = record;
    fields_.clear();
    blocks_.resize(1);
    blocks_.front() = BlockFact{};  // the message's own lines
    if (!withFields) {
        record_.marks = {};
        return;
    }
    const std::span<const Mark> marks = record.marks;
    if (marks.empty()) return;
    const char* const text = record.text.data();
    const auto textSize = static_cast<std::uint32_t>(record.text.size());
    // The text a mark delimits: from its value to the next mark's line (or the text's end).
    const auto spanOf = [&](const Mark& m, std::size_t next) {
        const std::uint32_t end = std::min(next < marks.size() ? marks[next].begin : textSize, textSize);
        return m.value <= end ? std::string_view(text + m.value, end - m.value) : std::string_view{};
    };
    // A message's fields are as many as its marks at most: room for them is made once.
    fields_.reserve(marks.size());
    int fieldCode = -1;  // that of the fields of the block last begun
    for (std::size_t i = 0; i < marks.size(); ++i) {
        const Mark& m = marks[i];
        switch (m.kind) {
            case MarkKind::Parameter: {
                const ParameterRow* row = m.code >= 0 && m.code <= 255 ? findParameter(static_cast<std::uint8_t>(m.code)) : nullptr;
                blocks_.push_back(BlockFact{.code = m.code,
                                            .key = row != nullptr ? row->key : kUnknownParameterKey,
                                            .name = row != nullptr ? row->name : kUnknownParameterName,
                                            .firstField = static_cast<std::uint32_t>(fields_.size())});
                // The code under which the block's fields are known: its own, or that of every
                // code without a row.
                fieldCode = row != nullptr ? m.code : kUnknownParameterCode;
                break;
            }
            case MarkKind::Heading: {
                // A heading may stand indented under the value column of a parameter's lines.
                std::string_view heading = withoutLineEnds(spanOf(m, i + 1));
                while (!heading.empty() && heading.front() == ' ') heading.remove_prefix(1);
                BlockFact& block = blocks_.back();
                if (block.title.empty() && block.fieldCount == 0 && block.code >= 0) {
                    block.title = heading;
                } else {
                    blocks_.push_back(BlockFact{.code = block.code,
                                                .key = block.key,
                                                .name = block.name,
                                                .title = heading,
                                                .firstField = static_cast<std::uint32_t>(fields_.size())});
                }
                break;
            }
            case MarkKind::Field:
            case MarkKind::Plain:
            case MarkKind::Value: {
                const bool shown = m.kind != MarkKind::Value;
                fields_.push_back(FieldFact{.ref = FieldRef{fieldCode, m.field->key},
                                            .row = m.field,
                                            .printed = shown ? withoutLineEnds(spanOf(m, i + 1)) : std::string_view{},
                                            .number = m.number,
                                            .hasNumber = m.hasNumber,
                                            .shown = shown,
                                            .meaning = m.meaning});
                ++blocks_.back().fieldCount;
                break;
            }
        }
    }
}

const FieldFact* MessageFacts::find(const FieldRef& field) const {
    for (const FieldFact& fact : fields_)
        if (fact.ref == field) return &fact;
    return nullptr;
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
