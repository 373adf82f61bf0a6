#include "analysis/Exports.h"

#include "analysis/CauseNames.h"
#include "analysis/ExportText.h"
#include "analysis/JsonWriter.h"
#include "analysis/KnownFields.h"
#include "analysis/LogClock.h"
#include "analysis/MessageSummary.h"
#include "base/ByteScan.h"
#include "base/OctetText.h"
#include "base/ReportLayout.h"

#include <nlohmann/json.hpp>

#include <charconv>
#include <cstdio>
#include <cstring>
#include <span>
#include <utility>

namespace truno {

using namespace exporttext;

namespace {

// Whether a value holds a CR (runs over several lines). Eight bytes at a time: a byte of
// x = word ^ 0D0D..0D is zero where the word holds a CR, and (x - 0101..01) & ~x & 8080..80 is
// not zero exactly when one byte of x is.
bool holdsCarriageReturn(std::string_view text) {
    constexpr std::uint64_t kOnes = 0x0101010101010101u;
    constexpr std::uint64_t kHighs = 0x8080808080808080u;
    constexpr std::uint64_t kCarriageReturns = kOnes * 0x0D;
    std::size_t at = 0;
    for (; at + 8 <= text.size(); at += 8) {
        std::uint64_t word = 0;
        std::memcpy(&word, text.data() + at, 8);
        const std::uint64_t x = word ^ kCarriageReturns;
        if (((x - kOnes) & ~x & kHighs) != 0) return true;
    }
    for (; at < text.size(); ++at)
        if (text[at] == '\r') return true;
    return false;
}

// A constant piece of JSON: a copy of a length known when compiling.
template <std::size_t N>
char* put(char* at, const char (&piece)[N]) {
    std::memcpy(at, piece, N - 1);
    return at + (N - 1);
}
template <std::size_t N>
void put(Text& out, const char (&piece)[N]) {
    std::memcpy(out.extend(N - 1), piece, N - 1);
}

char* putText(char* at, std::string_view text) {
    copyBytes(at, text.data(), text.size());
    return at + text.size();
}

// A JSON string of a text known to need no escape.
void putPlainString(Text& out, std::string_view text) {
    char* at = out.extend(text.size() + 2);
    at[0] = '"';
    copyBytes(at + 1, text.data(), text.size());
    at[text.size() + 1] = '"';
}

void putString(Text& out, std::string_view text, bool plain) {
    if (plain)
        putPlainString(out, text);
    else
        appendJsonString(out, text);
}

template <typename Number>
void putNumber(Text& out, Number value) {
    char* at = out.extend(0, 24);
    const auto result = std::to_chars(at, at + 24, value);
    out.extend(static_cast<std::size_t>(result.ptr - at));
}

// The typed value of a field after its printed parts: "number" for a number, "digits" for the
// digits of an address (without the filler of an odd number); nothing for text.
void appendTypedValueJson(Text& out, const FieldFact& field, bool plainRecord) {
    if (field.isNumber()) {
        put(out, ",\"number\":");
        putNumber(out, field.number);
    } else if (field.type() == FieldType::Digits && field.hasNumber) {
        put(out, ",\"digits\":");
        putString(out, field.digits(), plainRecord);
    }
}

// A cause value's name as Q.850 gives it, beside the report's own wording: "cause_name" (null
// for a value Q.850 does not name).
void appendCauseNameJson(Text& out, const FieldFact& field) {
    if (!field.hasNumber || field.ref != knownFields().causeValue) return;
    put(out, ",\"cause_name\":");
    const std::string_view name = q850CauseName(field.number);
    if (name.empty())
        put(out, "null");
    else
        appendJsonString(out, name);
}

// One field of a message as a JSON object: {"key":...,"label":...,"value":...,"text":...} and its
// typed value; `blockKey` is its parameter's key (empty for the message's own lines). A meaning
// that runs over several lines is folded onto one first (into `folded`). The fields of a plain
// record (isJsonVerbatim) go in with one size check and a few copies.
void appendFieldJson(Text& out, std::string_view blockKey, const FieldFact& field, bool plainRecord,
                     std::string& folded) {
    const std::string_view value = field.valueText();
    std::string_view meaning = field.meaningText();
    if (holdsCarriageReturn(meaning)) {
        folded.clear();
        foldValue(folded, meaning);
        meaning = folded;
    }
    const std::string_view label = field.label();
    const std::string_view key = field.row->key;
    const std::size_t dot = blockKey.empty() ? 0 : 1;
    if (!plainRecord) {
        put(out, "{\"key\":\"");
        out += blockKey;
        if (dot != 0) out += '.';
        out += key;
        put(out, "\",\"label\":");
        appendJsonString(out, label);
        put(out, ",\"value\":");
        appendJsonString(out, value);
        put(out, ",\"text\":");
        appendJsonString(out, meaning);
        appendTypedValueJson(out, field, plainRecord);
        appendCauseNameJson(out, field);
        out += '}';
        return;
    }
    // {"key":" ","label":" ","value":" ","text":" " (the typed value and the brace follow)
    constexpr std::size_t kSyntax = 8 + 11 + 11 + 10 + 1;
    char* at = out.extend(kSyntax + blockKey.size() + dot + key.size() + label.size() + value.size() + meaning.size());
    at = put(at, "{\"key\":\"");
    at = putText(at, blockKey);
    if (dot != 0) *at++ = '.';
    at = putText(at, key);
    at = put(at, "\",\"label\":\"");
    at = putText(at, label);
    at = put(at, "\",\"value\":\"");
    at = putText(at, value);
    at = put(at, "\",\"text\":\"");
    at = putText(at, meaning);
    *at = '"';
    appendTypedValueJson(out, field, plainRecord);
    appendCauseNameJson(out, field);
    out += '}';
}

// The octets as read, as an array of strings; an octet of two hex digits, as nearly all are, is
// written without a look at its characters one by one.
void appendOctetsJson(Text& out, std::span<const std::string_view> octets) {
    out += '[';
    bool first = true;
    for (const std::string_view octet : octets) {
        if (!first) out += ',';
        first = false;
        if (isHexOctet(octet)) {
            char* at = out.extend(4);
            at[0] = '"';
            at[1] = octet[0];
            at[2] = octet[1];
            at[3] = '"';
        } else {
            appendJsonString(out, octet);
        }
    }
    out += ']';
}




void appendCsvSeconds(std::string& out, const std::optional<std::int64_t>& milliseconds) {
    if (milliseconds) appendSeconds(out, *milliseconds);
}


// The columns of the calls, in the order of the CSV header and the JSON members.
constexpr std::string_view kCallCsvHeader =
    "cic,first_record,last_record,start,end,direction,calling,called,outcome,cause,cause_text,cause_name,location,"
    "released_by,acm,cpg,answer,rel,rlc,setup_time,answer_delay,conversation_time,messages,not_decoded,switch";

constexpr std::string_view kMessageCsvHeader = "record,line,time,direction,cic,type,code,decoded,call,info,reason,cause_name";

void memberOrNull(JsonWriter& json, std::string_view name, const std::optional<std::int64_t>& milliseconds) {
    json.key(name);
    if (milliseconds)
        json.seconds(*milliseconds);
    else
        json.null();
}

void memberTextOrNull(JsonWriter& json, std::string_view name, std::string_view text) {
    json.key(name);
    if (text.empty())
        json.null();
    else
        json.string(text);
}


void appendCell(std::string& out, std::string_view text, std::size_t width) {
    const std::size_t start = out.size();
    out += text.empty() ? std::string_view("-") : text;
    padTo(out, start, width);
    out += "  ";
}

void appendSecondsCell(std::string& out, const std::optional<std::int64_t>& milliseconds, std::size_t width) {
    const std::size_t start = out.size();
    if (milliseconds)
        appendSeconds(out, *milliseconds);
    else
        out += '-';
    const std::size_t used = out.size() - start;
    if (used < width) out.insert(start, width - used, ' ');
    out += "  ";
}


}  // namespace

void appendMessageJson(std::string& out, const MessageFacts& message, std::uint64_t callFirstRecord) {
    thread_local std::string folded;
    thread_local std::string scratch;
    thread_local Text line;
    line.clear();
    const RecordFacts& record = message.record();
    // The members in a fixed order, their names and punctuation written as constant pieces.
    put(line, "{\"record\":");
    putNumber(line, record.record);
    put(line, ",\"line\":");
    putNumber(line, record.logLine);
    put(line, ",\"time\":");
    appendJsonString(line, logText(record.time, scratch));
    put(line, ",\"direction\":");
    appendJsonString(line, logText(record.direction, scratch));
    put(line, ",\"cic\":");
    if (record.hasCallInstanceCode)
        putNumber(line, record.callInstanceCode);
    else
        put(line, "null");
    put(line, ",\"cic_octets\":");
    putNumber(line, record.cicOctets);
    put(line, ",\"type\":");
    if (record.acronym.empty())
        put(line, "null");
    else
        putPlainString(line, record.acronym);
    put(line, ",\"code\":");
    if (record.typeCode >= 0)
        putNumber(line, record.typeCode);
    else
        put(line, "null");
    if (record.decoded) {
        put(line, ",\"decoded\":true,\"reason\":null,\"failure\":null");
    } else {
        put(line, ",\"decoded\":false,\"reason\":");
        if (record.reason.empty())
            put(line, "null");
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
    if (callFirstRecord != 0)
        putNumber(line, callFirstRecord);
    else
        put(line, "null");
    scratch.clear();
    appendSummaryInfo(scratch, message);
    put(line, ",\"info\":");
    appendJsonString(line, scratch);
    put(line, ",\"parameters\":[");
    // A record whose text holds nothing a JSON string escapes besides its line ends: every label,
    // title and value the marks cut out of it goes into JSON as it is (a value over several lines
    // once folded).
    const bool plainRecord = isJsonVerbatim(record.text);
    bool firstBlock = true;
    for (const BlockFact& block : message.blocks()) {
        if (block.fieldCount == 0 && block.title.empty() && block.code < 0) continue;
        if (!firstBlock) line += ',';
        firstBlock = false;
        put(line, "{\"code\":");
        if (block.code >= 0)
            putNumber(line, block.code);
        else
            put(line, "null");
        put(line, ",\"name\":");
        putString(line, block.name, plainRecord);
        put(line, ",\"title\":");
        putString(line, block.title, plainRecord);
        put(line, ",\"fields\":[");
        bool firstField = true;
        for (const FieldFact& field : message.fieldsOf(block)) {
            if (!firstField) line += ',';
            firstField = false;
            appendFieldJson(line, block.key, field, plainRecord, folded);
        }
        put(line, "]}");
    }
    put(line, "]}\n");
    out += line.view();
}

void appendMessageCsvHeader(std::string& out) {
    out += kMessageCsvHeader;
    out += kCsvLineEnd;
}

void appendMessageCsv(std::string& out, const MessageFacts& message, std::uint64_t callFirstRecord) {
    thread_local std::string scratch;
    const RecordFacts& record = message.record();
    appendNumber(out, record.record);
    out += ',';
    appendNumber(out, record.logLine);
    out += ',';
    appendCsvField(out, logText(record.time, scratch));
    out += ',';
    appendCsvField(out, logText(record.direction, scratch));
    out += ',';
    if (record.hasCallInstanceCode) appendNumber(out, record.callInstanceCode);
    out += ',';
    if (!record.acronym.empty()) out += record.acronym;
    out += ',';
    if (record.typeCode >= 0) appendNumber(out, record.typeCode);
    out += record.decoded ? ",true," : ",false,";
    if (callFirstRecord != 0) appendNumber(out, callFirstRecord);
    out += ',';
    scratch.clear();
    if (record.decoded) appendSummaryInfo(scratch, message);
    appendCsvField(out, scratch);
    out += ',';
    if (!record.decoded) appendCsvField(out, record.reason);
    out += ',';
    if (const FieldFact* cause = message.find(knownFields().causeValue); cause != nullptr && cause->hasNumber)
        appendCsvField(out, q850CauseName(cause->number));
    out += kCsvLineEnd;
}

namespace {

struct CallColumn {
    std::string_view heading;
    std::size_t width;
};
constexpr CallColumn kCallColumns[] = {
    {.heading = "CIC", .width = 10},       {.heading = "FIRST", .width = 8},    {.heading = "LAST", .width = 8},
    {.heading = "START", .width = 11},     {.heading = "END", .width = 11},     {.heading = "DIR", .width = 3},
    {.heading = "OUTCOME", .width = 16},   {.heading = "CAUSE", .width = 5},    {.heading = "BY", .width = 3},
    {.heading = "SETUP", .width = 9},      {.heading = "ANSWER", .width = 9},   {.heading = "TALK", .width = 9},
    {.heading = "MSGS", .width = 5},
};

}  // namespace

void appendCallHeading(std::string& out, std::size_t switchColumn) {
    appendSwitchCell(out, "SWITCH", switchColumn);
    for (const CallColumn& column : kCallColumns) {
        const bool rightAligned = column.heading == "CIC" || column.heading == "FIRST" || column.heading == "LAST" ||
                                  column.heading == "SETUP" || column.heading == "ANSWER" ||
                                  column.heading == "TALK" || column.heading == "MSGS";
        if (rightAligned) out.append(column.width - column.heading.size(), ' ');
        out += column.heading;
        if (!rightAligned) out.append(column.width - column.heading.size(), ' ');
        out += "  ";
    }
    out += "CALLED / CALLING\n";
}

void appendCallLine(std::string& out, const Call& call, std::size_t switchColumn) {
    thread_local std::string scratch;
    appendSwitchCell(out, call.switchName, switchColumn);
    appendNumberCell(out, call.callInstanceCode, kCallColumns[0].width);
    appendNumberCell(out, call.firstRecord, kCallColumns[1].width);
    appendNumberCell(out, call.lastRecord, kCallColumns[2].width);
    appendCell(out, logText(call.first.time, scratch), kCallColumns[3].width);
    appendCell(out, logText(call.last.time, scratch), kCallColumns[4].width);
    appendCell(out, logText(call.direction, scratch), kCallColumns[5].width);
    appendCell(out, outcomeName(call.outcome), kCallColumns[6].width);
    appendCell(out, call.causeValue, kCallColumns[7].width);
    appendCell(out, logText(call.releasedBy, scratch), kCallColumns[8].width);
    appendSecondsCell(out, call.setupTime(), kCallColumns[9].width);
    appendSecondsCell(out, call.answerDelay(), kCallColumns[10].width);
    appendSecondsCell(out, call.conversationTime(), kCallColumns[11].width);
    appendNumberCell(out, call.messages, kCallColumns[12].width);
    out += call.called.empty() ? std::string_view("-") : std::string_view(call.called);
    out += " / ";
    out += call.calling.empty() ? std::string_view("-") : std::string_view(call.calling);
    if (!call.causeText.empty()) {
        out += "  (";
        out += call.causeText;
        out += ')';
    }
    if (call.notDecoded != 0) {
        out += "  [";
        appendNumber(out, call.notDecoded);
        out += " not decoded]";
    }
    out += '\n';
}

void appendCallJson(std::string& out, const Call& call, SwitchMember member) {
    thread_local std::string scratch;
    thread_local Text line;
    line.clear();
    JsonWriter json(line);
    json.beginObject();
    if (member == SwitchMember::With) memberTextOrNull(json, "switch", call.switchName);
    json.member("cic", call.callInstanceCode);
    json.member("first_record", call.firstRecord);
    json.member("last_record", call.lastRecord);
    json.member("start", logText(call.first.time, scratch));
    json.member("end", logText(call.last.time, scratch));
    memberTextOrNull(json, "direction", logText(call.direction, scratch));
    memberTextOrNull(json, "calling", call.calling);
    memberTextOrNull(json, "called", call.called);
    json.member("outcome", outcomeName(call.outcome));
    memberTextOrNull(json, "cause", call.causeValue);
    memberTextOrNull(json, "cause_text", call.causeText);
    memberTextOrNull(json, "cause_name", call.cause ? q850CauseName(*call.cause) : std::string_view{});
    memberTextOrNull(json, "location", call.location);
    memberTextOrNull(json, "released_by", logText(call.releasedBy, scratch));
    for (const auto& [name, moment] : {std::pair<std::string_view, const CallMoment*>{"acm", &call.addressComplete},
                                       {"cpg", &call.progress},
                                       {"answer", &call.answer},
                                       {"rel", &call.release},
                                       {"rlc", &call.releaseComplete}}) {
        json.key(name);
        if (moment->present)
            json.string(logText(moment->time, scratch));
        else
            json.null();
    }
    memberOrNull(json, "setup_time", call.setupTime());
    memberOrNull(json, "answer_delay", call.answerDelay());
    memberOrNull(json, "conversation_time", call.conversationTime());
    json.member("messages", call.messages);
    json.member("not_decoded", call.notDecoded);
    json.endObject();
    line += '\n';
    out += line.view();
}

void appendCallCsvHeader(std::string& out) {
    out += kCallCsvHeader;
    out += kCsvLineEnd;
}

void appendCallCsv(std::string& out, const Call& call) {
    thread_local std::string scratch;
    const auto text = [&](std::string_view value) {
        appendCsvField(out, value);
        out += ',';
    };
    appendNumber(out, call.callInstanceCode);
    out += ',';
    appendNumber(out, call.firstRecord);
    out += ',';
    appendNumber(out, call.lastRecord);
    out += ',';
    text(logText(call.first.time, scratch));
    text(logText(call.last.time, scratch));
    text(logText(call.direction, scratch));
    text(call.calling);
    text(call.called);
    text(outcomeName(call.outcome));
    text(call.causeValue);
    text(call.causeText);
    text(call.cause ? q850CauseName(*call.cause) : std::string_view{});
    text(call.location);
    text(logText(call.releasedBy, scratch));
    text(logText(call.addressComplete.time, scratch));
    text(logText(call.progress.time, scratch));
    text(logText(call.answer.time, scratch));
    text(logText(call.release.time, scratch));
    text(logText(call.releaseComplete.time, scratch));
    appendCsvSeconds(out, call.setupTime());
    out += ',';
    appendCsvSeconds(out, call.answerDelay());
    out += ',';
    appendCsvSeconds(out, call.conversationTime());
    out += ',';
    appendNumber(out, call.messages);
    out += ',';
    appendNumber(out, call.notDecoded);
    out += ',';
    appendCsvField(out, call.switchName);
    out += kCsvLineEnd;
}

}  // namespace truno
