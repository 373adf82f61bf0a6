#include "output/Exports.h"

#include "parameters/callcontrol/CauseValues.h"
#include "output/ExportText.h"
#include "output/JsonWriter.h"
#include "analysis/facts/KnownFields.h"
#include "analysis/facts/LogClock.h"
#include "analysis/facts/MessageSummary.h"
#include "base/ReportLayout.h"
#include "base/Conversions.h"
#include "base/FieldTable.h"
#include "base/ReportText.h"

#include <charconv>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

namespace truno {

using namespace exporttext;

namespace {

void appendCsvSeconds(std::string& out, const std::optional<std::int64_t>& milliseconds) {
    if (milliseconds) appendSeconds(out, *milliseconds);
}


// The columns of the calls, in the order of the CSV header and the JSON members.
constexpr std::string_view kCallCsvHeader =
    "cic,first_record,last_record,start,end,direction,calling,called,outcome,cause,cause_text,cause_name,location,"
    "released_by,acm,cpg,answer,rel,rlc,setup_time,answer_delay,conversation_time,messages,not_decoded,switch";

constexpr std::string_view kMessageCsvHeader =
    "record,line,time,direction,cic,type,code,decoded,call,info,reason,cause_name,switch";

constexpr std::string_view kWireCsvHeader = ",opc,dpc,sls,ni,si,packet,packet_time";

// The capture columns of a message's row; empty cells for what it does not have.
void appendWireCsv(std::string& out, const WireFacts& wire) {
    const bool known = wire.captured && wire.pointCodesKnown;
    for (const std::uint32_t value : {wire.opc, wire.dpc, std::uint32_t{wire.sls}, std::uint32_t{wire.ni}}) {
        out += ',';
        if (known) appendNumber(out, value);
    }
    out += ',';
    if (wire.captured) appendNumber(out, wire.si);
    out += ',';
    if (wire.captured) appendNumber(out, wire.packet);
    out += ',';
    if (wire.captured) appendWireTimestamp(out, wire);
}

void memberOrNull(JsonWriter& json, std::string_view name, const std::optional<std::int64_t>& milliseconds) {
    json.key(name);
    if (milliseconds)
        json.seconds(*milliseconds);
    else
        json.null();
}



}  // namespace

void appendMessageCsvHeader(std::string& out, const FileColumn& file, bool wire) {
    out += file.csvHeader();
    out += kMessageCsvHeader;
    if (wire) out += kWireCsvHeader;
    out += kCsvLineEnd;
}

void appendMessageCsv(std::string& out, const MessageFacts& message, std::uint64_t callFirstRecord,
                      const FileColumn& file, bool wire) {
    thread_local std::string scratch;
    out += file.csv();
    const RecordFacts& record = message.record();
    appendNumber(out, record.record);
    out += ',';
    appendNumber(out, record.logLine);
    out += ',';
    appendCsvField(out, logText(record.time, scratch));
    out += ',';
    appendCsvField(out, logText(record.directionText, scratch));
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
        appendCsvField(out, causeName(cause->number));
    out += ',';
    appendCsvField(out, message.switchName());
    if (wire) appendWireCsv(out, record.wire);
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

// A call's cause as the calls' outputs show it: its value in decimal and its meaning as the report
// prints it, both from the cause table (empty without a cause).
class CauseTexts {
public:
    explicit CauseTexts(std::optional<std::uint32_t> cause) {
        if (!cause) return;
        length_ = static_cast<std::size_t>(std::to_chars(digits_, digits_ + sizeof digits_, *cause).ptr - digits_);
        meaning = causeMeaning(*cause);
    }
    std::string_view value() const { return {digits_, length_}; }
    std::string_view meaning;

private:
    char digits_[12] = {};
    std::size_t length_ = 0;
};

}  // namespace

void appendCallHeading(std::string& out, std::size_t switchColumn, bool routeColumn) {
    appendSwitchCell(out, "SWITCH", switchColumn);
    appendRouteCell(out, "ROUTE", routeColumn);
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

namespace {

// The cells of a call's line, written into a line of their own and copied out whole: a call's
// line is some twenty short pieces.
void appendBlanks(Text& line, std::size_t n) {
    constexpr std::string_view kBlanks = "                                ";
    for (; n > kBlanks.size(); n -= kBlanks.size()) line += kBlanks;
    line.append(kBlanks.data(), n);
}

// Text ("-" when empty) padded to `width`, then two blanks.
void appendLineCell(Text& line, std::string_view text, std::size_t width) {
    if (text.empty()) text = "-";
    line += text;
    appendBlanks(line, (text.size() < width ? width - text.size() : 0) + 2);
}

// Text right-aligned in `width`, then two blanks.
void appendRightCell(Text& line, std::string_view text, std::size_t width) {
    if (text.size() < width) appendBlanks(line, width - text.size());
    line += text;
    line.append("  ", 2);
}

// Room for a cell of `length` characters right-aligned in `width` (blanks before them), then
// two blanks; returns where the cell's characters end.
char* rightAlignedCell(Text& line, std::size_t length, std::size_t width) {
    const std::size_t blanks = length < width ? width - length : 0;
    char* at = line.extend(blanks + length + 2);
    std::memset(at, ' ', blanks);
    at += blanks + length;
    at[0] = at[1] = ' ';
    return at;
}

void appendNumberLineCell(Text& line, std::uint64_t value, std::size_t width) {
    decimalBefore(value, rightAlignedCell(line, decimalDigitCount(value), width));
}

// Seconds with three decimals, as appendSeconds writes them, or "-", right-aligned.
void appendSecondsLineCell(Text& line, const std::optional<std::int64_t>& milliseconds, std::size_t width) {
    if (!milliseconds) {
        appendRightCell(line, "-", width);
        return;
    }
    const bool negative = *milliseconds < 0;
    const std::uint64_t magnitude = negative ? 0 - static_cast<std::uint64_t>(*milliseconds)
                                             : static_cast<std::uint64_t>(*milliseconds);
    const std::size_t length = (negative ? 1 : 0) + decimalDigitCount(magnitude / 1000) + 4;
    char* end = rightAlignedCell(line, length, width);
    const auto thousandths = static_cast<unsigned>(magnitude % 1000);
    *--end = static_cast<char>('0' + thousandths % 10);
    *--end = static_cast<char>('0' + thousandths / 10 % 10);
    *--end = static_cast<char>('0' + thousandths / 100);
    *--end = '.';
    end = decimalBefore(magnitude / 1000, end);
    if (negative) *--end = '-';
}

}  // namespace

void appendCallLine(std::string& out, const Call& call, std::size_t switchColumn, bool routeColumn) {
    thread_local std::string scratch;
    thread_local Text line;
    line.clear();
    if (switchColumn != 0) appendLineCell(line, call.switchName, switchColumn);
    if (routeColumn) appendLineCell(line, call.route, kRouteColumnWidth);
    appendNumberLineCell(line, call.callInstanceCode, kCallColumns[0].width);
    appendNumberLineCell(line, call.firstRecord, kCallColumns[1].width);
    appendNumberLineCell(line, call.lastRecord, kCallColumns[2].width);
    appendLineCell(line, logText(call.first.time, scratch), kCallColumns[3].width);
    appendLineCell(line, logText(call.last.time, scratch), kCallColumns[4].width);
    appendLineCell(line, logText(call.direction, scratch), kCallColumns[5].width);
    appendLineCell(line, outcomeName(call.outcome), kCallColumns[6].width);
    const CauseTexts cause(call.cause);
    appendLineCell(line, cause.value(), kCallColumns[7].width);
    appendLineCell(line, logText(call.releasedBy, scratch), kCallColumns[8].width);
    const CallInstants instants = call.instants();
    appendSecondsLineCell(line, instants.setupTime(), kCallColumns[9].width);
    appendSecondsLineCell(line, instants.answerDelay(), kCallColumns[10].width);
    appendSecondsLineCell(line, instants.conversationTime(), kCallColumns[11].width);
    appendNumberLineCell(line, call.messages, kCallColumns[12].width);
    line += call.called.empty() ? std::string_view("-") : std::string_view(call.called);
    line.append(" / ", 3);
    line += call.calling.empty() ? std::string_view("-") : std::string_view(call.calling);
    if (!cause.meaning.empty()) {
        line.append("  (", 3);
        line += cause.meaning;
        line += ')';
    }
    if (call.notDecoded != 0) {
        line.append("  [", 3);
        appendDecimal(line, call.notDecoded);
        line += " not decoded]";
    }
    line += '\n';
    out += line.view();
}

void appendCallJson(std::string& out, const Call& call, JsonRow form, std::string_view leading) {
    thread_local std::string scratch;
    thread_local Text line;
    line.clear();
    JsonWriter json(line);
    json.beginObject();
    json.leading(leading);
    const bool view = form == JsonRow::View;
    if (view) json.textOrNull("switch", call.switchName);
    if (!call.route.empty()) json.member("route", call.route);
    json.member("cic", call.callInstanceCode);
    json.member("first_record", call.firstRecord);
    json.member("last_record", call.lastRecord);
    for (const auto& [name, time] : {std::pair<std::string_view, std::string_view>{"start", call.first.time},
                                      {"end", call.last.time}}) {
        if (view)
            json.member(name, logText(time, scratch));
        else
            json.textOrNull(name, logText(time, scratch));
    }
    json.textOrNull("direction", logText(call.direction, scratch));
    json.textOrNull("calling", call.calling);
    json.textOrNull("called", call.called);
    json.member("outcome", outcomeName(call.outcome));
    const CauseTexts cause(call.cause);
    if (view)
        json.textOrNull("cause", cause.value());
    else
        json.member("cause", call.cause);
    json.textOrNull("cause_text", cause.meaning);
    json.textOrNull("cause_name", call.cause ? causeName(*call.cause) : std::string_view{});
    json.textOrNull("location", call.location);
    json.textOrNull("released_by", logText(call.releasedBy, scratch));
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

void appendCallCsvHeader(std::string& out, const FileColumn& file, bool route) {
    out += file.csvHeader();
    out += kCallCsvHeader;
    if (route) out += ",route";
    out += kCsvLineEnd;
}

void appendCallCsv(std::string& out, const Call& call, const FileColumn& file, bool route) {
    thread_local std::string scratch;
    out += file.csv();
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
    const CauseTexts cause(call.cause);
    text(cause.value());
    text(cause.meaning);
    text(call.cause ? causeName(*call.cause) : std::string_view{});
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
    if (route) {
        out += ',';
        appendCsvField(out, call.route);
    }
    out += kCsvLineEnd;
}

}  // namespace truno
