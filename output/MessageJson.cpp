// The JSON Lines object of a message (appendMessageJson), written from its facts: the members in a
// fixed order as constant pieces, each field's object copied whole when the same one came before
// (JsonPieces), and the printed parts checked for escapes as they are copied.
#include "output/MessageJsonParts.h"
#include "output/ExportText.h"
#include "output/Exports.h"
#include "output/JsonWriter.h"
#include "analysis/facts/KnownFields.h"
#include "analysis/facts/MessageSummary.h"
#include "base/ByteScan.h"
#include "base/Conversions.h"

#include <algorithm>
#include <array>
#include <bitset>
#include <optional>
#include <bit>
#include <charconv>
#include <cstdint>
#include <cstring>
#include <span>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

namespace truno {

using namespace exporttext;
using namespace messagejson;

namespace {

// A JSON string of a text known to need no escape.
void putPlainString(Text& out, std::string_view text) {
    char* at = out.extend(text.size() + 2);
    at[0] = '"';
    copyBytes(at + 1, text.data(), text.size());
    at[text.size() + 1] = '"';
}

// A JSON string of a text, or null when the text is empty; `plain`: the text is known to need no
// escape.
void putStringOrNull(Text& out, std::string_view text, bool plain = false) {
    if (text.empty())
        put(out, "null");
    else if (plain)
        putPlainString(out, text);
    else
        appendJsonString(out, text);
}

// A number written at `at`, which has room for twenty digits; numbers below 100, most of a
// record's, without a division.
char* putDigits(char* at, std::uint64_t value) {
    if (value < 10) {
        *at = static_cast<char>('0' + value);
        return at + 1;
    }
    if (value < 100) {
        at[0] = static_cast<char>('0' + value / 10);
        at[1] = static_cast<char>('0' + value % 10);
        return at + 2;
    }
    // Two digits at a time from the right, straight into place.
    static constexpr char kPairs[] =
        "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
        "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
        "8081828384858687888990919293949596979899";
    char* const end = at + decimalDigitCount(value);
    char* first = end;
    while (value >= 100) {
        const auto pair = static_cast<std::size_t>(value % 100) * 2;
        value /= 100;
        first -= 2;
        std::memcpy(first, kPairs + pair, 2);
    }
    if (value >= 10)
        std::memcpy(first - 2, kPairs + static_cast<std::size_t>(value) * 2, 2);
    else
        first[-1] = static_cast<char>('0' + value);
    return end;
}

template <typename Number>
void putNumber(Text& out, Number value) {
    char* at = out.extend(0, 24);
    char* end = nullptr;
    if constexpr (std::is_signed_v<Number>)
        end = value < 0 ? std::to_chars(at, at + 24, value).ptr : putDigits(at, static_cast<std::uint64_t>(value));
    else
        end = putDigits(at, value);
    out.extend(static_cast<std::size_t>(end - at));
}

// A number, or null when there is none.
template <typename Number>
void putNumberOrNull(Text& out, bool present, Number value) {
    if (present)
        putNumber(out, value);
    else
        put(out, "null");
}

// The value's name where its table gives one, beside the report's own wording: "name". A cause
// value also has "cause_name" (null for a value Q.850 does not name), from the same table: the
// member its name had before every named value had "name".
void appendValueNameJson(Text& out, const FieldFact& field) {
    if (!field.hasNumber) return;
    const std::string_view name = valueName(*field.row, field.number);
    if (!name.empty()) {
        put(out, ",\"name\":");
        appendJsonString(out, name);
    }
    if (field.ref == knownFields().causeValue) {
        put(out, ",\"cause_name\":");
        putStringOrNull(out, name);
    }
}

// One field of a message as a JSON object, {"key":...,"label":...,"value":...,"text":...}, then its
// typed value: "number" for a number, "digits" for the digits of an address (without the filler
// of an odd number); then the value's name where its table gives one. A meaning that runs over several lines is
// folded onto one (into `folded`). A field whose printed parts need no escape, as nearly all,
// has them go in with one size check: they are copied and checked in the same pass, and written
// again with escapes when the check fails.
void appendFieldJson(Text& out, const BlockFact& block, const FieldFact& field, std::string& folded) {
    // {"key":"<parameter>.<field>","label":"<label>","value":"
    put(out, "{\"key\":\"");
    out += block.key;
    if (!block.key.empty()) out += '.';
    out += field.row->key;
    put(out, "\",\"label\":");
    appendJsonString(out, field.label());
    put(out, ",\"value\":");
    const std::string_view value = field.valueText();
    std::string_view meaning = field.meaningText();
    const bool digits = field.type() == FieldType::Digits && field.hasNumber;
    const std::string_view digitsText = digits ? field.digits() : std::string_view{};
    // The value, ","text":", the meaning, a number or the digits, and the quotes.
    constexpr std::size_t kSyntax = 1 + 10 + 1 + 10 + 20 + 2;
    char* const start = out.extend(0, value.size() + meaning.size() + digitsText.size() + kSyntax);
    char* at = start;
    *at++ = '"';
    bool plain = copyJsonPlain(at, value.data(), value.size());
    at += value.size();
    at = put(at, "\",\"text\":\"");
    plain = copyJsonPlain(at, meaning.data(), meaning.size()) && plain;
    at += meaning.size();
    *at++ = '"';
    if (field.isNumber()) {
        at = put(at, ",\"number\":");
        at = putDigits(at, field.number);
    } else if (digits) {
        at = put(at, ",\"digits\":\"");
        plain = copyJsonPlain(at, digitsText.data(), digitsText.size()) && plain;
        at += digitsText.size();
        *at++ = '"';
    }
    if (plain) {
        out.extend(static_cast<std::size_t>(at - start));
    } else {
        // Written again, each printed part escaped.
        appendJsonString(out, value);
        put(out, ",\"text\":");
        if (meaning.find('\r') != std::string_view::npos) {
            folded.clear();
            foldValue(folded, meaning);
            meaning = folded;
        }
        appendJsonString(out, meaning);
        if (field.isNumber()) {
            put(out, ",\"number\":");
            putNumber(out, field.number);
        } else if (digits) {
            put(out, ",\"digits\":");
            appendJsonString(out, digitsText);
        }
    }
    appendValueNameJson(out, field);
    out += '}';
}

std::uint64_t load8(const char* p) {
    std::uint64_t word;
    std::memcpy(&word, p, sizeof word);
    return word;
}

// Whether the first and the last word of two texts of n bytes (a word's size at least, twice it
// at most) are the same: the whole texts, as the two words may overlap but leave nothing out.
template <typename Word>
bool sameEnds(const char* a, const char* b, std::size_t n) {
    Word a0, a1, b0, b1;
    std::memcpy(&a0, a, sizeof(Word));
    std::memcpy(&a1, a + n - sizeof(Word), sizeof(Word));
    std::memcpy(&b0, b, sizeof(Word));
    std::memcpy(&b1, b + n - sizeof(Word), sizeof(Word));
    return ((a0 ^ b0) | (a1 ^ b1)) == 0;
}

// Whether two texts of n bytes are the same; short ones, as printed values are, without a call.
bool sameBytes(const char* a, const char* b, std::size_t n) {
    if (n > 64) return std::memcmp(a, b, n) == 0;
    if (n > 16) {
        // Blocks of sixteen, the last one overlapping the one before.
        std::uint64_t differ = 0;
        for (std::size_t at = 0; n - at > 16; at += 16)
            differ |= (load8(a + at) ^ load8(b + at)) | (load8(a + at + 8) ^ load8(b + at + 8));
        return (differ | (load8(a + n - 16) ^ load8(b + n - 16)) | (load8(a + n - 8) ^ load8(b + n - 8))) == 0;
    }
    if (n >= 8) return sameEnds<std::uint64_t>(a, b, n);
    if (n >= 4) return sameEnds<std::uint32_t>(a, b, n);
    return n == 0 || (a[0] == b[0] && a[n / 2] == b[n / 2] && a[n - 1] == b[n - 1]);
}

// Pieces of JSON met last, whole, by what they were made from: a field's object by its
// parameter, row and number (a field with a number, the bits of a table's field as nearly every
// one is, is printed the same way each time its number comes back), a block's opening by its
// parameter and code. Each entry keeps the printed text it was made from (the field's printed
// value, the block's title) and is used only when that text is the same again, so that a piece
// is copied rather than written again. One entry per place, the newest kept; the texts go one
// after the other into one buffer, which starts again empty (with every entry) when it is full,
// so that the memory is fixed (about 1 MiB) and the entries in use stay close together.
class JsonPieces {
public:
    struct Key {
        const void* first = nullptr;   // a field's row, a block's name
        const char* second = nullptr;  // the parameter's key
        std::uint64_t number = 0;
        int code = 0;
        bool operator==(const Key&) const = default;
    };

    static Key fieldKey(const BlockFact& block, const FieldFact& field) {
        return {.first = field.row, .second = block.key.data(), .number = field.number, .code = field.ref.parameterCode};
    }
    static Key blockKey(const BlockFact& block) {
        return {.first = block.name.data(), .second = block.key.data(), .code = block.code};
    }

    // The piece appended to `out` when one is kept for the key and the printed text; false otherwise.
    bool append(Text& out, const Key& key, std::string_view printed) const {
        if (entries_.empty()) return false;
        const Entry& entry = entries_[slotOf(key)];
        if (!(entry.key == key) || entry.printedSize != printed.size()) return false;
        const char* texts = texts_.data() + entry.offset;
        if (!sameBytes(texts, printed.data(), entry.printedSize)) return false;
        copyObject(out.extend(entry.jsonSize), texts + entry.printedSize, entry.jsonSize);
        return true;
    }
    // Keeps the piece just written (`json`) for the key and the printed text.
    void keep(const Key& key, std::string_view printed, std::string_view json) {
        if (printed.size() > 0xFFFF || json.size() > 0xFFFF) return;
        if (texts_.size() + printed.size() + json.size() > kTexts) {
            entries_.clear();
            texts_.clear();
        }
        if (entries_.empty()) entries_.resize(kSlots);
        if (texts_.capacity() < kTexts) texts_.reserve(kTexts);
        entries_[slotOf(key)] = Entry{.key = key,
                                      .offset = static_cast<std::uint32_t>(texts_.size()),
                                      .printedSize = static_cast<std::uint16_t>(printed.size()),
                                      .jsonSize = static_cast<std::uint16_t>(json.size())};
        texts_ += printed;
        texts_ += json;
    }

private:
    static constexpr std::size_t kSlots = 4096;
    static constexpr std::size_t kTexts = std::size_t{1} << 20;
    struct Entry {
        Key key;
        std::uint32_t offset = 0;
        std::uint16_t printedSize = 0;
        std::uint16_t jsonSize = 0;
    };

    static std::size_t slotOf(const Key& key) {
        std::uint64_t h = reinterpret_cast<std::uintptr_t>(key.first) * 0x9E3779B97F4A7C15u;
        h ^= (reinterpret_cast<std::uintptr_t>(key.second) + key.number) * 0xC2B2AE3D27D4EB4Fu;
        h += static_cast<std::uint64_t>(key.code);
        return static_cast<std::size_t>(h >> 52) & (kSlots - 1);
    }

    std::vector<Entry> entries_;
    std::string texts_;
};

// The octets as read, as an array of strings; an octet of two bytes that need no escape, as
// nearly all are, is written with one store.
void appendOctetsJson(Text& out, std::span<const std::string_view> octets) {
    // Per byte value: 1 when it goes into a JSON string as it is.
    static constexpr std::array<std::uint8_t, 256> kPlain = [] {
        std::array<std::uint8_t, 256> plain{};
        for (unsigned byte = 0x20; byte < 0x7F; ++byte) plain[byte] = byte != '"' && byte != '\\' ? 1 : 0;
        return plain;
    }();
    const auto plainPair = [](std::string_view octet) {
        return (kPlain[static_cast<unsigned char>(octet[0])] & kPlain[static_cast<unsigned char>(octet[1])]) != 0;
    };
    constexpr std::size_t kEach = 5;   // "XX",
    constexpr std::size_t kStore = 8;  // written eight bytes at a time, the last three overwritten
    constexpr std::uint64_t kFrame = '"' | (std::uint64_t{'"'} << 24) | (std::uint64_t{','} << 32);
    char* start = out.extend(0, octets.size() * kEach + kStore);
    char* at = start;
    *at++ = '[';
    for (std::size_t i = 0; i < octets.size(); ++i) {
        const std::string_view octet = octets[i];
        if (std::endian::native == std::endian::little && octet.size() == 2 && plainPair(octet)) {
            const std::uint64_t piece = kFrame | (std::uint64_t{static_cast<unsigned char>(octet[0])} << 8) |
                                        (std::uint64_t{static_cast<unsigned char>(octet[1])} << 16);
            std::memcpy(at, &piece, kStore);
            at += kEach;
            continue;
        }
        out.extend(static_cast<std::size_t>(at - start));
        appendJsonString(out, octet);
        out += ',';
        start = at = out.extend(0, (octets.size() - i) * kEach + kStore);
    }
    if (!octets.empty()) --at;  // the last comma
    *at++ = ']';
    out.extend(static_cast<std::size_t>(at - start));
}

// The members of a captured message's wire facts: point codes (null when the capture gave none),
// service information, packet and time stamp.
void appendWireJson(Text& line, const WireFacts& wire, std::string& scratch) {
    const bool known = wire.pointCodesKnown;
    put(line, ",\"opc\":");
    putNumberOrNull(line, known, wire.opc);
    put(line, ",\"dpc\":");
    putNumberOrNull(line, known, wire.dpc);
    put(line, ",\"sls\":");
    putNumberOrNull(line, known, wire.sls);
    put(line, ",\"ni\":");
    putNumberOrNull(line, known, wire.ni);
    put(line, ",\"si\":");
    putNumber(line, wire.si);
    put(line, ",\"packet\":");
    putNumber(line, wire.packet);
    put(line, ",\"packet_time\":");
    scratch.clear();
    appendWireTimestamp(scratch, wire);
    appendJsonString(line, scratch);
}

// The members before the call's (appendMessageJsonHead), of a message of the switch named
// `switchName`.
// Writes into room made once in a text: constant pieces, numbers and texts that need no escape
// go in without a size check each.
class JsonCursor {
public:
    JsonCursor(Text& out, std::size_t room) : out_(out), start_(out.extend(0, room)), at_(start_), end_(start_ + room) {}
    JsonCursor(const JsonCursor&) = delete;
    JsonCursor& operator=(const JsonCursor&) = delete;
    // The text written goes into `out`.
    ~JsonCursor() { out_.extend(static_cast<std::size_t>(at_ - start_)); }

    template <std::size_t N>
    void put(const char (&piece)[N]) {
        at_ = truno::put(at_, piece);
    }
    void put(std::string_view text) {
        copyBytes(at_, text.data(), text.size());
        at_ += text.size();
    }
    void number(std::uint64_t value) { at_ = putDigits(at_, value); }
    void numberOrNull(bool present, std::uint64_t value) {
        if (present)
            number(value);
        else
            put("null");
    }
    // A JSON string of a text that needs no escape; false, with nothing written, for another (or
    // one longer than the room left).
    bool plainString(std::string_view text) {
        if (text.size() + 2 > static_cast<std::size_t>(end_ - at_)) return false;
        *at_ = '"';
        if (!copyJsonPlain(at_ + 1, text.data(), text.size())) return false;
        at_[text.size() + 1] = '"';
        at_ += text.size() + 2;
        return true;
    }
    // A JSON string of any text: one that needs escapes is written by appendJsonString, after
    // what the cursor wrote, and the room is made again.
    void string(std::string_view text, std::size_t room) {
        if (plainString(text)) return;
        out_.extend(static_cast<std::size_t>(at_ - start_));
        appendJsonString(out_, text);
        start_ = at_ = out_.extend(0, room);
        end_ = start_ + room;
    }

private:
    Text& out_;
    char* start_;
    char* at_;
    char* end_;  // of the room
};

}  // namespace

namespace messagejson {

void appendHead(Text& line, const RecordFacts& record, std::string_view switchName, std::string_view leading,
                JsonRow form) {
    thread_local std::string scratch;
    // The members in a fixed order, their names and punctuation written as constant pieces.
    {
        // Room for the pieces, the numbers (twenty digits at most) and the texts but the
        // failure's name, a short constant.
        constexpr std::size_t kPieces = 256;
        const std::size_t room = kPieces + switchName.size() + leading.size() + record.time.size() +
                                 record.directionText.size() + record.acronym.size() + record.reason.size();
        JsonCursor json(line, room);
        json.put("{");
        if (form == JsonRow::View) {
            json.put("\"switch\":");
            if (switchName.empty())
                json.put("null");
            else
                json.string(switchName, room);
            json.put(",");
        }
        json.put(leading);
        json.put("\"record\":");
        json.number(record.record);
        json.put(",\"line\":");
        json.number(record.logLine);
        // Time and direction as the report shows them: a text that needs no escape in JSON is
        // printable, and shown as it is.
        json.put(",\"time\":");
        if (form == JsonRow::Export && record.time.empty())
            json.put("null");
        else if (!json.plainString(record.time))
            json.string(logText(record.time, scratch), room);
        json.put(",\"direction\":");
        if (!json.plainString(record.directionText)) json.string(logText(record.directionText, scratch), room);
        json.put(",\"cic\":");
        json.numberOrNull(record.hasCallInstanceCode, record.callInstanceCode);
        json.put(",\"cic_octets\":");
        json.number(record.cicOctets);
        json.put(",\"type\":");
        if (record.acronym.empty())
            json.put("null");
        else
            json.string(record.acronym, room);
        json.put(",\"code\":");
        json.numberOrNull(record.typeCode >= 0, static_cast<std::uint64_t>(record.typeCode));
    }
    if (record.wire.captured) appendWireJson(line, record.wire, scratch);
    if (record.decoded) {
        if (form == JsonRow::View)
            put(line, ",\"decoded\":true,\"reason\":null,\"failure\":null");
        else
            put(line, ",\"decoded\":true,\"reason\":\"\",\"failure\":\"\"");
    } else {
        put(line, ",\"decoded\":false,\"reason\":");
        if (form == JsonRow::View)
            putStringOrNull(line, record.reason);
        else
            appendJsonString(line, record.reason);
        put(line, ",\"failure\":");
        putPlainString(line, failureName(record.failure));
    }
    put(line, ",\"octets\":");
    appendOctetsJson(line, record.octets);
    put(line, ",\"trailing_octets\":");
    appendOctetsJson(line, record.trailingOctets);
    put(line, ",\"call\":");
}

// The members from the info on, up to the parameters' array opened (appendMessageJsonTail).
void appendInfo(Text& line, const MessageFacts& message) {
    thread_local std::string scratch;
    scratch.clear();
    appendSummaryInfo(scratch, message);
    put(line, ",\"info\":");
    appendJsonString(line, scratch);
    put(line, ",\"parameters\":[");
}

// The fields' objects and the blocks' openings met last (JsonPieces), of the thread.
JsonPieces& fieldPieces() {
    thread_local JsonPieces pieces;
    return pieces;
}
JsonPieces& blockPieces() {
    thread_local JsonPieces pieces;
    return pieces;
}

// The opening of a block's JSON object, up to its fields' array opened:
// {"code":N,"name":"...","title":"...","fields":[
void appendBlockOpening(Text& line, const BlockFact& block) {
    JsonPieces& blocks = blockPieces();
    const JsonPieces::Key opening = JsonPieces::blockKey(block);
    if (blocks.append(line, opening, block.title)) return;
    const std::size_t begin = line.size();
    put(line, "{\"code\":");
    putNumberOrNull(line, block.code >= 0, block.code);
    put(line, ",\"name\":");
    appendJsonString(line, block.name);
    put(line, ",\"title\":");
    appendJsonString(line, block.title);
    put(line, ",\"fields\":[");
    blocks.keep(opening, block.title, line.view().substr(begin));
}

// Fields of a block as JSON objects, each after a comma unless it is the block's first
// (`firstField`, kept across calls).
void appendFieldsJson(Text& line, const BlockFact& block, std::span<const FieldFact> fields, bool& firstField) {
    thread_local std::string folded;
    JsonPieces& pieces = fieldPieces();
    for (const FieldFact& field : fields) {
        if (!firstField) line += ',';
        firstField = false;
        const JsonPieces::Key key = JsonPieces::fieldKey(block, field);
        // An address's digits seldom come back: their objects are not kept.
        const bool kept = field.hasNumber && field.type() != FieldType::Digits;
        if (kept && pieces.append(line, key, field.printed)) continue;
        const std::size_t begin = line.size();
        appendFieldJson(line, block, field, folded);
        if (kept) pieces.keep(key, field.printed, line.view().substr(begin));
    }
}

// One block of a message's facts as a JSON object: {"code":N,"name":"...","title":"...","fields":[...]}.
void appendBlockJson(Text& line, const MessageFacts& message, const BlockFact& block) {
    appendBlockOpening(line, block);
    bool firstField = true;
    appendFieldsJson(line, block, message.fieldsOf(block), firstField);
    put(line, "]}");
}

// The blocks of a message's facts, each after a comma unless it is the message's first
// (`firstBlock`, kept across calls); the message's own lines left out when they are empty.
void appendBlocksJson(Text& line, const MessageFacts& message, bool& firstBlock) {
    for (const BlockFact& block : message.blocks()) {
        if (block.fieldCount == 0 && block.title.empty() && block.code < 0) continue;
        if (!firstBlock) line += ',';
        firstBlock = false;
        appendBlockJson(line, message, block);
    }
}

// The blocks of the marks [first, last) of a record, as appendBlocksJson writes them from the
// facts of the whole record: the facts of those marks alone, the text cut where the next mark
// begins (so that the last field's value ends where it ends in the whole record).
void appendMarkedBlocksJson(Text& line, const RecordFacts& record, std::size_t first, std::size_t last, bool& firstBlock) {
    thread_local RecordFacts part;
    thread_local MessageFacts facts;
    const std::span<const Mark> marks = record.marks;
    const std::size_t end = last < marks.size() ? std::min<std::size_t>(marks[last].begin, record.text.size()) : record.text.size();
    part.text = record.text.substr(0, end);
    part.marks = marks.subspan(first, last - first);
    facts.build(part);
    appendBlocksJson(line, facts, firstBlock);
}

}  // namespace messagejson

void appendMessageJsonCall(Text& line, std::uint64_t callFirstRecord) {
    putNumberOrNull(line, callFirstRecord != 0, callFirstRecord);
}

void appendMessageJsonHead(Text& line, const MessageFacts& message, std::string_view leading, JsonRow form) {
    appendHead(line, message.record(), message.switchName(), leading, form);
}

void appendMessageJsonTail(Text& line, const MessageFacts& message) {
    appendInfo(line, message);
    bool firstBlock = true;
    appendBlocksJson(line, message, firstBlock);
    put(line, "]}\n");
}


void appendMessageJson(Text& line, const MessageFacts& message, std::uint64_t callFirstRecord,
                       std::string_view leading, JsonRow form) {
    appendMessageJsonHead(line, message, leading, form);
    appendMessageJsonCall(line, callFirstRecord);
    appendMessageJsonTail(line, message);
}

void appendMessageJson(std::string& out, const MessageFacts& message, std::uint64_t callFirstRecord,
                       std::string_view leading) {
    thread_local Text line;
    line.clear();
    appendMessageJson(line, message, callFirstRecord, leading);
    out += line.view();
}

}  // namespace truno
