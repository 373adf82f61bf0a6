#pragma once
// The facts of one message as the views beside the report use them: the message-level facts
// of its record, and its lines in report order, grouped in blocks (the message's own lines,
// then one block per parameter, a heading inside a parameter starting a block of its own). Built
// from the marks the layout functions left while writing the record: nothing is decoded again
// and the report text is not parsed; the values are the texts the marks delimit.
#include "dispatch/RecordFacts.h"

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace truno {

// One line of a record: a field (its label and what follows its "="), or a line without a label
// (raw contents, a note), whose label is empty.
struct FieldFact {
    std::string_view label;
    // As printed: a value that runs over several lines keeps its CR LF and the blanks in front
    // of the continuation (foldValue joins them).
    std::string_view printed;
};

struct BlockFact {
    int code = -1;           // the parameter code; -1 for the message's own lines
    std::string_view name = {};   // the parameter's name (Q.763); empty for the message's own lines
    std::string_view title = {};  // the block's heading as printed; may be empty
    std::uint32_t firstField = 0;
    std::uint32_t fieldCount = 0;
};

class MessageFacts {
public:
    // Takes the facts of `record`; the vectors are reused, so that building the facts of every
    // message of a run allocates nothing once they have grown. The facts hold views into
    // `record`'s text: they are valid as long as it is.
    void build(const RecordFacts& record);

    const RecordFacts& record() const { return record_; }
    std::span<const BlockFact> blocks() const { return blocks_; }
    std::span<const FieldFact> fields() const { return fields_; }
    std::span<const FieldFact> fieldsOf(const BlockFact& block) const {
        return std::span<const FieldFact>(fields_).subspan(block.firstField, block.fieldCount);
    }

    // The first field with this label in a block of parameter `code` (-1: the message's own
    // lines), or nullptr.
    const FieldFact* find(int code, std::string_view label) const;

private:
    RecordFacts record_;
    std::vector<BlockFact> blocks_;
    std::vector<FieldFact> fields_;
};

// A printed value split as the report writes a looked-up value: "3, national significant
// number." gives value "3" and meaning "national significant number.". A value without such a
// number (digits, bits or hex digits) in front of ", " is all value, with an empty meaning.
struct ValueParts {
    std::string_view value;
    std::string_view meaning;
};
ValueParts splitValue(std::string_view printed);

// The printed text on one line: each CR LF and the blanks after it become one blank.
void foldValue(std::string& out, std::string_view printed);

}  // namespace truno
