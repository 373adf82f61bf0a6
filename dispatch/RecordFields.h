#pragma once
// A record's fields in report order, grouped in blocks (the message's own lines, then one block
// per parameter, a heading inside a parameter starting a block of its own), built from the marks
// the decoders left while writing the record: each field comes with its key, its row (label,
// type) and its value as the decoder knew it (a number, the digits of an address), beside the
// text the report prints for it. Nothing is decoded again, and nothing is read back from the
// printed text but where a marked value ends.
#include "base/ReportText.h"
#include "dispatch/FieldRegistry.h"

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace truno {

// One field of a record: a field line, raw contents without a label, or a value the report does
// not print.
struct FieldFact {
    FieldRef ref;                 // its parameter's code and its key there
    const BitField* row = nullptr;
    // As printed: a value that runs over several lines keeps its CR LF and the blanks in front
    // of the continuation (foldValue joins them). Empty for a value the report does not print.
    std::string_view printed;
    std::uint64_t number = 0;     // Number: the value; Digits: how many characters of `printed`
    bool hasNumber = false;
    bool shown = true;            // false: a value the report does not print
    std::uint16_t meaning = 0;    // where the meaning begins in `printed` (0: none)

    std::string_view label() const { return row->label.text(); }
    FieldType type() const { return row->type; }
    // The value as a number, for a field whose decoder gave one.
    bool isNumber() const { return hasNumber && row->type == FieldType::Number; }
    // The digits of an address, without the filler of an odd number.
    std::string_view digits() const { return printed.substr(0, static_cast<std::size_t>(number)); }
    // The printed value before its meaning ("16" of "16, Normal call clearing."), or all of it.
    std::string_view valueText() const { return meaning == 0 ? printed : printed.substr(0, meaning - 2u); }
    // The printed meaning ("Normal call clearing."), or nothing.
    std::string_view meaningText() const { return meaning == 0 ? std::string_view{} : printed.substr(meaning); }
};

struct BlockFact {
    int code = -1;                // the parameter code; -1 for the message's own lines
    std::string_view key = {};    // the parameter's key ("cause_indicators"); empty for the own lines
    std::string_view name = {};   // the parameter's name (Q.763); empty for the message's own lines
    std::string_view title = {};  // the block's heading as printed; may be empty
    std::uint32_t firstField = 0; // counted from the record's first field
    std::uint32_t fieldCount = 0;
};

// Appends the blocks and fields of the record whose report text is `text` and whose marks (their
// places counted from the start of `text`) are `marks`: the block of the message's own lines
// first, then the rest. The fields' texts are views into `text`; each block's first field is
// counted from the record's first field (fields.size() when called).
void appendRecordFields(std::span<const Mark> marks, std::string_view text, std::vector<BlockFact>& blocks,
                        std::vector<FieldFact>& fields);

// A record's blocks and fields built by the thread that decoded it, from the marks `from`.
struct BuiltFields {
    std::span<const Mark> from;
    std::span<const BlockFact> blocks;
    std::span<const FieldFact> fields;
};

}  // namespace truno
