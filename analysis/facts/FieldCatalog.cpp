#include "analysis/facts/FieldCatalog.h"

#include <cstdio>

namespace truno {
namespace {

constexpr MessageKey kMessageKeys[] = {
    {.key = "record", .id = MessageKeyId::Record, .compared = KeyValue::Number, .type = "number",
     .description = "the record's number in the report"},
    {.key = "line", .id = MessageKeyId::Line, .compared = KeyValue::Number, .type = "number",
     .description = "the log line where the message starts"},
    {.key = "time", .id = MessageKeyId::Time, .compared = KeyValue::TimeOfDay, .type = "time",
     .description = "the message's TIME as the log gives it"},
    {.key = "direction", .id = MessageKeyId::Direction, .compared = KeyValue::Text, .type = "text",
     .description = "its DIR (S: sent, R: received)"},
    {.key = "cic", .id = MessageKeyId::Cic, .compared = KeyValue::Number, .type = "number",
     .description = "its own call instance code"},
    {.key = "type", .id = MessageKeyId::Type, .compared = KeyValue::Number, .type = "text",
     .description = "its type's acronym (IAM, REL, ...)"},
    {.key = "code", .id = MessageKeyId::Code, .compared = KeyValue::Number, .type = "number",
     .description = "its type code"},
    {.key = "decoded", .id = MessageKeyId::Decoded, .compared = KeyValue::Flag, .type = "boolean",
     .description = "whether it was decoded"},
    {.key = "reason", .id = MessageKeyId::Reason, .compared = KeyValue::Text, .type = "text",
     .description = "why it was not decoded"},
    {.key = "failure", .id = MessageKeyId::Failure, .compared = KeyValue::Text, .type = "text",
     .description = "what kind of failure that was (octets missing, ...)"},
    {.key = "switch", .id = MessageKeyId::Switch, .compared = KeyValue::Text, .type = "text",
     .description = "the switch its log belongs to (--switch, or the file's name)"},
    {.key = "call", .id = MessageKeyId::Call, .compared = KeyValue::Number, .type = "number",
     .description = "the first record of the call it belongs to"},
    {.key = "opc", .id = MessageKeyId::Opc, .compared = KeyValue::Number, .type = "number",
     .description = "of a captured message: its originating point code (MTP3 routing label)"},
    {.key = "dpc", .id = MessageKeyId::Dpc, .compared = KeyValue::Number, .type = "number",
     .description = "of a captured message: its destination point code"},
    {.key = "sls", .id = MessageKeyId::Sls, .compared = KeyValue::Number, .type = "number",
     .description = "of a captured message: its signalling link selection"},
    {.key = "ni", .id = MessageKeyId::Ni, .compared = KeyValue::Number, .type = "number",
     .description = "of a captured message: its network indicator (0 international ... 3 national spare)"},
    {.key = "si", .id = MessageKeyId::Si, .compared = KeyValue::Number, .type = "number",
     .description = "of a captured message: its service indicator (5 ISUP, 13 BICC)"},
    {.key = "packet", .id = MessageKeyId::Packet, .compared = KeyValue::Number, .type = "number",
     .description = "of a captured message: the number of the packet that completed it"},
    {.key = "packet_time", .id = MessageKeyId::PacketTime, .compared = KeyValue::Text, .type = "text",
     .description = "of a captured message: its packet's date and time (UTC), 2024-05-01T07:03:11.074512Z"},
};

constexpr FieldAlias kAliases[] = {
    {.alias = "called", .key = "called_party_number.address_signals"},
    {.alias = "calling", .key = "calling_party_number.address_signals"},
    {.alias = "cause", .key = "cause_indicators.cause_value"},
    {.alias = "location", .key = "cause_indicators.location"},
    {.alias = "event", .key = "event_information.event"},
    {.alias = "range", .key = "range_and_status.range"},
};

std::string codeText(int code) {
    if (code < 0) return "-";
    if (code >= kUnknownParameterCode) return "any";
    char hex[4];
    std::snprintf(hex, sizeof hex, "%02X", static_cast<unsigned>(code));
    return hex;
}

std::string labelsText(const FieldEntry& entry) {
    std::string labels;
    for (const std::string_view label : entry.labels) {
        if (label.empty()) continue;
        if (!labels.empty()) labels += " / ";
        labels += label;
    }
    return labels;
}

}  // namespace

std::span<const MessageKey> messageKeys() { return kMessageKeys; }

const MessageKey* findMessageKey(std::string_view key) {
    for (const MessageKey& k : kMessageKeys)
        if (k.key == key) return &k;
    return nullptr;
}
std::span<const FieldAlias> fieldAliases() { return kAliases; }

std::string_view resolveAlias(std::string_view key) {
    for (const FieldAlias& a : kAliases)
        if (a.alias == key) return a.key;
    return key;
}

std::string_view typeName(FieldType type) {
    switch (type) {
        case FieldType::Number: return "number";
        case FieldType::Digits: return "digits";
        case FieldType::Text: return "text";
        case FieldType::Hex: return "hex";
    }
    return "text";
}

void appendFieldListText(std::string& out) {
    const auto line = [&out](std::string_view key, std::string_view type, std::string_view code,
                             std::string_view parameter, std::string_view label) {
        out += key;
        out += '\t';
        out += type;
        out += '\t';
        out += code;
        out += '\t';
        out += parameter;
        out += '\t';
        out += label;
        out += '\n';
    };
    for (const MessageKey& k : kMessageKeys) line(k.key, k.type, "-", "(message)", k.description);
    for (const FieldEntry& entry : allFields()) {
        if (findMessageKey(entry.key) != nullptr) continue;
        line(entry.key, typeName(entry.type), codeText(entry.ref.parameterCode),
             entry.parameterName.empty() ? std::string_view("(message)") : entry.parameterName, labelsText(entry));
    }
    for (const FieldAlias& a : kAliases) line(a.alias, "alias", "-", a.key, "");
}

void appendFieldListMarkdown(std::string& out) {
    out += "# Field keys\n\n"
           "<!-- Made by `truno-decode --list-fields-markdown`; a test fails when this page is not what it\n"
           "     prints. -->\n\n"
           "Every field a record can show has a key: the key of its parameter, a dot, and the field's own\n"
           "key (`cause_indicators.cause_value`); the record's own lines have keys of their own (`bcic`,\n"
           "`octets`). The views read fields by these keys (the calls, the summary, the statistics), the\n"
           "JSON Lines give each field its `key`, and the filters name fields by them. The label is how the\n"
           "report prints the field; a field printed without a label (raw contents) has none. A field's\n"
           "type says what its value is beside the printed text: a `number` (the bits' value, a counter,\n"
           "a code), the `digits` of an address (without the filler digit of an odd number), `text` as\n"
           "printed, or `hex` digits of octets as received.\n\n"
           "`truno-decode --list-fields` prints the same list as tab-separated lines.\n\n"
           "## Keys of the message\n\n| key | type | what it is |\n|---|---|---|\n";
    for (const MessageKey& k : kMessageKeys) {
        out += "| `";
        out += k.key;
        out += "` | ";
        out += k.type;
        out += " | ";
        out += k.description;
        out += " |\n";
    }
    out += "\n## Aliases\n\n| alias | key |\n|---|---|\n";
    for (const FieldAlias& a : kAliases) {
        out += "| `";
        out += a.alias;
        out += "` | `";
        out += a.key;
        out += "` |\n";
    }
    out += "\n## Keys of the fields\n\n| key | type | code | parameter | label in the report |\n|---|---|---|---|---|\n";
    for (const FieldEntry& entry : allFields()) {
        if (findMessageKey(entry.key) != nullptr) continue;
        out += "| `";
        out += entry.key;
        out += "` | ";
        out += typeName(entry.type);
        out += " | ";
        out += codeText(entry.ref.parameterCode);
        out += " | ";
        out += entry.parameterName.empty() ? std::string_view("(the record's own line)") : entry.parameterName;
        out += " | ";
        for (const char c : labelsText(entry)) {
            if (c == '|') out += '\\';
            out += c;
        }
        out += " |\n";
    }
}

}  // namespace truno
