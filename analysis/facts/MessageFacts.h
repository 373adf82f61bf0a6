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
#include "dispatch/RecordFields.h"

#include <algorithm>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace truno {

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
// Inline: asked of every message, most of them a log's, which have none.
inline std::optional<Route> routeOf(const RecordFacts& record) {
    if (!record.wire.captured || !record.wire.pointCodesKnown) return std::nullopt;
    return Route{.low = std::min(record.wire.opc, record.wire.dpc), .high = std::max(record.wire.opc, record.wire.dpc)};
}
// "2057-2058".
std::string routeText(const Route& route);

// A circuit of a run: its switch, its route and its code, as one key (calls and circuits are
// kept by it, so that two switches' circuits of the same code never mix, nor two routes').
constexpr std::uint64_t circuitKey(SwitchIndex switchIndex, std::uint32_t code, RouteIndex route = 0) {
    return (std::uint64_t{route} << 48) | (std::uint64_t{switchIndex} << 32) | code;
}

class MessageFacts {
public:
    MessageFacts() = default;
    // The lists may view the facts' own storage: a copy would view another's.
    MessageFacts(const MessageFacts&) = delete;
    MessageFacts& operator=(const MessageFacts&) = delete;

    // Takes the facts of `record`; the vectors are reused, so that building the facts of every
    // message of a run allocates nothing once they have grown. The facts hold views into
    // `record`'s text: they are valid as long as it is. Without `withFields`, the record's marks
    // are left out: the message's facts have no fields and no parameter blocks. The fields built
    // by the thread that decoded the record (RecordFacts::builtFields) are taken as they are when
    // they were built from the record's marks.
    void build(const RecordFacts& record, bool withFields = true);
    // As build(), without a copy of the record: `record` must outlive every use of the facts (the
    // analysis builds the facts of each record it is handed while it holds the record).
    void buildOver(const RecordFacts& record, bool withFields = true);

    const RecordFacts& record() const { return *record_; }
    std::span<const BlockFact> blocks() const { return blockList_; }
    std::span<const FieldFact> fields() const { return fieldList_; }
    std::span<const FieldFact> fieldsOf(const BlockFact& block) const {
        return fieldList_.subspan(block.firstField, block.fieldCount);
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
    // Takes the facts of `record`, with the fields of its marks (none when the record has none).
    void take(const RecordFacts& record);

    RecordFacts copy_;                    // the record, when build() copied it
    const RecordFacts* record_ = &copy_;  // the record the facts are of
    SwitchIndex switchIndex_ = 0;
    std::string_view switchName_;
    RouteIndex routeIndex_ = 0;
    std::string_view routeName_;
    // Those built here, or none when the record came with its fields built.
    std::vector<BlockFact> blocks_;
    std::vector<FieldFact> fields_;
    std::span<const BlockFact> blockList_;
    std::span<const FieldFact> fieldList_;
};

// The printed text on one line: each CR LF and the blanks after it become one blank.
void foldValue(std::string& out, std::string_view printed);

}  // namespace truno
