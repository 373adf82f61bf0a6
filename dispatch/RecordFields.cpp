#include "dispatch/RecordFields.h"

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

void appendRecordFields(std::span<const Mark> marks, std::string_view text, std::vector<BlockFact>& blocks,
                        std::vector<FieldFact>& fields) {
    const std::size_t firstField = fields.size();
    blocks.push_back(BlockFact{});  // the message's own lines
    if (marks.empty()) return;
    const char* const data = text.data();
    const auto textSize = static_cast<std::uint32_t>(text.size());
    // The text a mark delimits: from its value to the next mark's line (or the text's end).
    const auto spanOf = [&](const Mark& m, std::size_t next) {
        const std::uint32_t end = std::min(next < marks.size() ? marks[next].begin : textSize, textSize);
        return m.value <= end ? std::string_view(data + m.value, end - m.value) : std::string_view{};
    };
    const auto fieldIndex = [&] { return static_cast<std::uint32_t>(fields.size() - firstField); };
    // A record's fields are as many as its marks at most: room for them is made once (growing
    // as push_back does, for the records of a batch one after another).
    if (fields.capacity() - fields.size() < marks.size()) fields.reserve(std::max(2 * fields.capacity(), fields.size() + marks.size()));
    int fieldCode = -1;  // that of the fields of the block last begun
    for (std::size_t i = 0; i < marks.size(); ++i) {
        const Mark& m = marks[i];
        switch (m.kind) {
            case MarkKind::Parameter: {
                const ParameterRow* row = m.code >= 0 && m.code <= 255 ? findParameter(static_cast<std::uint8_t>(m.code)) : nullptr;
                blocks.push_back(BlockFact{.code = m.code,
                                           .key = row != nullptr ? row->key : kUnknownParameterKey,
                                           .name = row != nullptr ? row->name : kUnknownParameterName,
                                           .firstField = fieldIndex()});
                // The code under which the block's fields are known: its own, or that of every
                // code without a row.
                fieldCode = row != nullptr ? m.code : kUnknownParameterCode;
                break;
            }
            case MarkKind::Heading: {
                // A heading may stand indented under the value column of a parameter's lines.
                std::string_view heading = withoutLineEnds(spanOf(m, i + 1));
                while (!heading.empty() && heading.front() == ' ') heading.remove_prefix(1);
                BlockFact& block = blocks.back();
                if (block.title.empty() && block.fieldCount == 0 && block.code >= 0) {
                    block.title = heading;
                } else {
                    blocks.push_back(BlockFact{.code = block.code,
                                               .key = block.key,
                                               .name = block.name,
                                               .title = heading,
                                               .firstField = fieldIndex()});
                }
                break;
            }
            case MarkKind::Field:
            case MarkKind::Plain:
            case MarkKind::Value: {
                const bool shown = m.kind != MarkKind::Value;
                fields.push_back(FieldFact{.ref = FieldRef{fieldCode, m.field->key},
                                           .row = m.field,
                                           .printed = shown ? withoutLineEnds(spanOf(m, i + 1)) : std::string_view{},
                                           .number = m.number,
                                           .hasNumber = m.hasNumber,
                                           .shown = shown,
                                           .meaning = m.meaning});
                ++blocks.back().fieldCount;
                break;
            }
        }
    }
}

}  // namespace truno
