#include "analysis/facts/MessageFacts.h"

#include "dispatch/ParameterTable.h"

#include <algorithm>

namespace truno {
std::optional<Route> routeOf(const RecordFacts& record) {
    if (!record.wire.captured || !record.wire.pointCodesKnown) return std::nullopt;
    return Route{.low = std::min(record.wire.opc, record.wire.dpc), .high = std::max(record.wire.opc, record.wire.dpc)};
}

std::string routeText(const Route& route) { return std::to_string(route.low) + "-" + std::to_string(route.high); }

void MessageFacts::build(const RecordFacts& record, bool withFields) {
    copy_ = record;
    if (!withFields) copy_.marks = {};
    take(copy_, withFields);
}

void MessageFacts::buildOver(const RecordFacts& record, bool withFields) {
    // Facts without fields show no marks: a record that has some is copied without them.
    if (!withFields && !record.marks.empty()) {
        build(record, false);
        return;
    }
    take(record, withFields);
}

void MessageFacts::take(const RecordFacts& record, bool withFields) {
    record_ = &record;
    const BuiltFields& built = record.builtFields;
    if (withFields && !built.blocks.empty() && built.from.data() == record.marks.data() &&
        built.from.size() == record.marks.size()) {
        blockList_ = built.blocks;
        fieldList_ = built.fields;
        return;
    }
    blocks_.clear();
    fields_.clear();
    appendRecordFields(withFields ? record.marks : std::span<const Mark>{}, record.text, blocks_, fields_);
    blockList_ = blocks_;
    fieldList_ = fields_;
}

const FieldFact* MessageFacts::find(const FieldRef& field) const {
    for (const FieldFact& fact : fieldList_)
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
