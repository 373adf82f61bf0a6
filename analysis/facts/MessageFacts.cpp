#include "analysis/facts/MessageFacts.h"

#include "dispatch/ParameterTable.h"

#include <algorithm>

namespace truno {
std::string routeText(const Route& route) { return std::to_string(route.low) + "-" + std::to_string(route.high); }

void MessageFacts::build(const RecordFacts& record, bool withFields) {
    copy_ = record;
    if (!withFields) copy_.marks = {};
    take(copy_);
}

void MessageFacts::buildOver(const RecordFacts& record, bool withFields) {
    // Facts without fields show no marks: a record that has some is copied without them.
    if (!withFields && !record.marks.empty()) {
        build(record, false);
        return;
    }
    take(record);
}

void MessageFacts::take(const RecordFacts& record) {
    record_ = &record;
    const BuiltFields& built = record.builtFields;
    if (!built.blocks.empty() && built.from.data() == record.marks.data() && built.from.size() == record.marks.size()) {
        blockList_ = built.blocks;
        fieldList_ = built.fields;
        return;
    }
    blocks_.clear();
    fields_.clear();
    appendRecordFields(record.marks, record.text, blocks_, fields_);
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
