#pragma once
// The facts of one message as the views beside the report use them: the message-level facts
// of its record, and its fields in report order, grouped in blocks (the message's own lines,
// then one block per parameter, a heading inside a parameter starting a block of its own). Built
// from the marks the decoders left while writing the record: each field comes with its key, its
// row (label, type) and its value as the decoder knew it (a number, the digits of an address),
// beside the text the report prints for it. Nothing is decoded again, and nothing is read back
// from the printed text.
#include "dispatch/FieldRegistry.h"
#include "dispatch/RecordFacts.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
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

// A switch of a run, by its place in the run's table of switch names (LogAnalysis::beginSwitch):
// index 0 is the switch no one named.
using SwitchIndex = std::uint16_t;

// A route of a run, by its place in the run's table of routes (LogAnalysis): index 0 is no
// route (a log's messages; a captured message without point codes).
using RouteIndex = std::uint16_t;

// A route: the two point codes a captured message went between, the lower first, so that both
// directions of a call are one route.
struct Route {
    std::uint32_t low = 0;
    std::uint32_t high = 0;
};
// The route of a captured message; nothing for a message without point codes.
std::optional<Route> routeOf(const RecordFacts& record);
// "2057-2058".
std::string routeText(const Route& route);

// A circuit of a run: its switch, its route and its code, as one key (calls and circuits are
// kept by it, so that two switches' circuits of the same code never mix, nor two routes').
constexpr std::uint64_t circuitKey(SwitchIndex switchIndex, std::uint32_t code, RouteIndex route = 0) {
    return (std::uint64_t{route} << 48) | (std::uint64_t{switchIndex} << 32) | code;
}

struct BlockFact {
    int code = -1;                // the parameter code; -1 for the message's own lines
    std::string_view key = {};    // the parameter's key ("cause_indicators"); empty for the own lines
    std::string_view name = {};   // the parameter's name (Q.763); empty for the message's own lines
    std::string_view title = {};  // the block's heading as printed; may be empty
    std::uint32_t firstField = 0;
    std::uint32_t fieldCount = 0;
};

class MessageFacts {
public:
    // Takes the facts of `record`; the vectors are reused, so that building the facts of every
    // message of a run allocates nothing once they have grown. The facts hold views into
    // `record`'s text: they are valid as long as it is. Without `withFields`, the record's marks
    // are left out: the message's facts have no fields and no parameter blocks.
    void build(const RecordFacts& record, bool withFields = true);

    const RecordFacts& record() const { return record_; }
    std::span<const BlockFact> blocks() const { return blocks_; }
    std::span<const FieldFact> fields() const { return fields_; }
    std::span<const FieldFact> fieldsOf(const BlockFact& block) const {
        return std::span<const FieldFact>(fields_).subspan(block.firstField, block.fieldCount);
    }

    // The first field with this key, or nullptr.
    const FieldFact* find(const FieldRef& field) const;

    // The switch whose log the message is of: set once a log begins and kept by build(). The
    // name is a view into the analysis's table of switches; empty when no switch was named.
    void setSwitch(SwitchIndex index, std::string_view name) {
        switchIndex_ = index;
        switchName_ = name;
    }
    SwitchIndex switchIndex() const { return switchIndex_; }
    std::string_view switchName() const { return switchName_; }

    // The route of the message (set by the analysis after build(); 0 and empty: none). The name
    // is a view into the analysis's table of routes.
    void setRoute(RouteIndex index, std::string_view name) {
        routeIndex_ = index;
        routeName_ = name;
    }
    RouteIndex routeIndex() const { return routeIndex_; }
    std::string_view routeName() const { return routeName_; }

private:
    RecordFacts record_;
    SwitchIndex switchIndex_ = 0;
    std::string_view switchName_;
    RouteIndex routeIndex_ = 0;
    std::string_view routeName_;
    std::vector<BlockFact> blocks_;
    std::vector<FieldFact> fields_;
};

// The printed text on one line: each CR LF and the blanks after it become one blank.
void foldValue(std::string& out, std::string_view printed);

}  // namespace truno
