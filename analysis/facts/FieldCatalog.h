#pragma once
// Every key a view or a filter can name: the message-level keys (from the record's facts), the
// keys of every field a record can show (dispatch/FieldRegistry.h), and short aliases for what is
// asked most. `truno-decode --list-fields` prints it and docs/fields.md is made from it.
#include "dispatch/FieldRegistry.h"

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace truno {

// What a key of the message as a whole reads: its record number, log line, time, direction,
// circuit code, type, whether it was decoded and why not, its log's switch and its call; of a
// captured message, its point codes, service information, packet and time stamp.
enum class MessageKeyId : std::uint8_t {
    Record, Line, Time, Direction, Cic, Type, Code, Decoded, Reason, Failure, Switch, Call,
    // Of a message read from a capture (absent from a log's): its routing label, service
    // information, packet and time stamp.
    Opc, Dpc, Sls, Ni, Si, Packet, PacketTime,
};

// How a filter compares the values of a message key: whole numbers, text, times of day, or a flag
// that is only there or not.
enum class KeyValue : std::uint8_t { Number, Text, TimeOfDay, Flag };

// A key of the message as a whole. The one list of them serves the filter expressions (their
// names, what they read and how they compare), the completion of keys in the window, and the
// list of keys (--list-fields, docs/fields.md).
struct MessageKey {
    std::string_view key;
    MessageKeyId id;
    KeyValue compared;      // in a filter (the type by its code, which it also takes as an acronym)
    std::string_view type;  // as listed: "number", "text", "time", "boolean"
    std::string_view description;
};
std::span<const MessageKey> messageKeys();
// The message key of this name, or nullptr.
const MessageKey* findMessageKey(std::string_view key);

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
