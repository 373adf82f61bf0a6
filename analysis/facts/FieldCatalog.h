#pragma once
// Every key a view or a filter can name: the message-level keys (from the record's facts), the
// keys of every field a record can show (dispatch/FieldRegistry.h), and short aliases for what is
// asked most. `truno-decode --list-fields` prints it and docs/fields.md is made from it.
#include "dispatch/FieldRegistry.h"

#include <span>
#include <string>
#include <string_view>

namespace truno {

// A key of the message as a whole: its record number, log line, time, direction, circuit code,
// type, whether it was decoded and why not.
struct MessageKey {
    std::string_view key;
    std::string_view type;  // "number", "text", "time", "boolean"
    std::string_view description;
};
std::span<const MessageKey> messageKeys();

// A short name for a field's key.
struct FieldAlias {
    std::string_view alias;
    std::string_view key;
};
std::span<const FieldAlias> fieldAliases();

// The whole key an alias stands for, or the key itself.
std::string_view resolveAlias(std::string_view key);

// "number", "digits", "text", "hex".
std::string_view typeName(FieldType type);

// The catalogue as tab-separated lines (key, type, parameter code in hex or "-", parameter name or
// "(message)", labels joined by " / "), one per key, as `tshark -G fields` lists its fields.
void appendFieldListText(std::string& out);

// The same as a Markdown page (docs/fields.md).
void appendFieldListMarkdown(std::string& out);

}  // namespace truno
