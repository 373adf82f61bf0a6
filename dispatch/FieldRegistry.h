#pragma once
// Every field a record can show, by its key: the record's own lines ("bcic", "code", ...) and,
// for each parameter code, the fields of its block, each under "<parameter key>.<field key>"
// ("cause_indicators.cause_value"). Built once from the decoders' tables, for the list of
// fields (--list-fields, docs/fields.md), the filters that name a field, and the views that
// read one.
#include "base/FieldBlock.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace truno {

// A field named by the parameter it stands in (-1: the record's own lines) and its key there.
// Two fields are the same when both are equal.
struct FieldRef {
    int parameterCode = -1;
    std::string_view key;
    bool operator==(const FieldRef& other) const {
        // Keys are nearly always views of the same table text: the same place, then equal.
        return parameterCode == other.parameterCode &&
               ((key.data() == other.key.data() && key.size() == other.key.size()) || key == other.key);
    }
};

struct FieldEntry {
    std::string key;                 // the whole key
    FieldRef ref;
    std::string_view parameterName;  // empty for the record's own lines
    FieldType type = FieldType::Number;
    std::vector<std::string_view> labels;  // each label it is printed under, in table order
};

// The parameter code of the fields of a block whose code has no row (shown raw).
inline constexpr int kUnknownParameterCode = 256;

// Every field, the record's own lines first, then by parameter code.
const std::vector<FieldEntry>& allFields();

// The field with this whole key, or nullptr.
const FieldEntry* findField(std::string_view key);

// The field with this whole key; throws std::logic_error when there is none (a view that names
// a field that does not exist is a fault of the program).
FieldRef fieldRef(std::string_view key);

// The key of the parameter whose block holds fields of this code ("cause_indicators"); for -1,
// empty; for a code without a row (or kUnknownParameterCode), "unknown_parameter".
std::string_view parameterKey(int parameterCode);

// The whole key of a field: the parameter's key, a dot and the field's key.
void appendWholeKey(std::string& out, const FieldRef& field);

}  // namespace truno
