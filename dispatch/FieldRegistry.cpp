#include "dispatch/FieldRegistry.h"

#include "dispatch/MessageTypes.h"
#include "dispatch/ParameterTable.h"

#include <algorithm>
#include <stdexcept>
#include <unordered_map>

namespace truno {
namespace {

struct Registry {
    std::vector<FieldEntry> fields;
    std::unordered_map<std::string_view, std::size_t> byKey;
    std::unordered_map<std::string, std::size_t> building;  // while the entries are added
};

void add(Registry& registry, int code, std::string_view parameterName, const FieldList& list) {
    for (const BitField* row : list.rows()) {
        std::string key;
        appendWholeKey(key, FieldRef{code, row->key});
        const auto found = registry.building.find(key);
        if (found != registry.building.end()) {
            FieldEntry& entry = registry.fields[found->second];
            if (std::find(entry.labels.begin(), entry.labels.end(), row->label.text()) == entry.labels.end())
                entry.labels.push_back(row->label.text());
            continue;
        }
        registry.building.emplace(key, registry.fields.size());
        registry.fields.push_back(FieldEntry{.key = key,
                                             .ref = FieldRef{code, row->key},
                                             .parameterName = parameterName,
                                             .type = row->type,
                                             .labels = {row->label.text()}});
    }
}

const Registry& registry() {
    static const Registry built = [] {
        Registry r;
        FieldList own;
        RecordFields(own);
        add(r, -1, {}, own);
        for (const ParameterRow& row : parameterRows()) {
            FieldList list;
            listParameterFields(row, list);
            add(r, row.code, row.name, list);
        }
        FieldList unknown;
        unknown.add(kRawContents);
        add(r, kUnknownParameterCode, "Unknown parameter", unknown);
        // The views in the map point into the vector's strings, which no longer move.
        r.building.clear();
        for (std::size_t i = 0; i < r.fields.size(); ++i) r.byKey.emplace(r.fields[i].key, i);
        return r;
    }();
    return built;
}

}  // namespace

const std::vector<FieldEntry>& allFields() { return registry().fields; }

const FieldEntry* findField(std::string_view key) {
    const Registry& r = registry();
    const auto found = r.byKey.find(key);
    return found == r.byKey.end() ? nullptr : &r.fields[found->second];
}

FieldRef fieldRef(std::string_view key) {
    const FieldEntry* entry = findField(key);
    if (entry == nullptr) throw std::logic_error("no field has the key " + std::string(key));
    return entry->ref;
}

std::string_view parameterKey(int parameterCode) {
    if (parameterCode < 0) return {};
    if (parameterCode >= kUnknownParameterCode) return kUnknownParameterKey;
    const ParameterRow* row = findParameter(static_cast<std::uint8_t>(parameterCode));
    return row == nullptr ? kUnknownParameterKey : row->key;
}

void appendWholeKey(std::string& out, const FieldRef& field) {
    const std::string_view parameter = parameterKey(field.parameterCode);
    if (!parameter.empty()) {
        out += parameter;
        out += '.';
    }
    out += field.key;
}

}  // namespace truno
