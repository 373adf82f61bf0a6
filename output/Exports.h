#pragma once
// The messages, calls and statistics of a log as text tables, JSON and CSV. Each function
// appends to a string the caller reuses; a message or a call is one line (JSON Lines, one CSV
// row), written as it comes. The JSON forms are described in docs/json.md.
#include "analysis/calls/Calls.h"
#include "analysis/facts/MessageFacts.h"
#include "analysis/calls/Statistics.h"
#include "base/ReportText.h"
#include "output/FileColumn.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace truno {

// The form of a JSON object of a message or a call: View, as the views write it, with its switch;
// Export, a row of the export folder (docs/export.md): without its switch, which the row carries
// in front, and typed for a query engine that infers the columns' types from the values: a
// call's cause is a number, the times of day of a call's start and end and of a message are null
// when the log gave none, a message's reason and failure are "" when it was decoded.
enum class JsonRow : std::uint8_t { View, Export };

// Each writer of a JSON object or a CSV row takes the file it came from when the run reads several
// (FileColumn, nothing with one file), and writes it first.

// One message as a JSON object on a line of its own (ending in LF): where it stands in the log,
// its type, whether it was decoded, its octets as read, the summary's info text, the first
// record of its call (`callFirstRecord`, 0: none), and its parameters in report order, one
// entry per block of MessageFacts, each field with its label, value and the value's meaning.
// `leading`: members that go first, each with its comma (FileColumn::json()), or nothing; the
// message's switch (MessageFacts::switchName, null when none was named) comes before them in the
// View form.
void appendMessageJson(Text& out, const MessageFacts& message, std::uint64_t callFirstRecord,
                       std::string_view leading = {}, JsonRow form = JsonRow::View);
void appendMessageJson(std::string& out, const MessageFacts& message, std::uint64_t callFirstRecord,
                       std::string_view leading = {});
// The same object in three parts, one after the other: all before the first record of the call,
// with its key (Head), that record or null (Call), and all after it (Tail), so that the parts the
// call does not change can be written before the call is known, on the thread that decoded the
// message.
void appendMessageJsonHead(Text& out, const MessageFacts& message, std::string_view leading = {},
                           JsonRow form = JsonRow::View);
void appendMessageJsonCall(Text& out, std::uint64_t callFirstRecord);
void appendMessageJsonTail(Text& out, const MessageFacts& message);
// The Head (View form) and Tail written from the record alone, the same text as from its facts,
// by the thread that decoded it (`switchName`: the message's switch, MessageFacts::switchName).
// The facts are built only of the blocks it needs: a parameter's block kept whole (its mark
// numbered, keptParameterBlock) is written once per thread and its JSON copied afterwards.
void appendRecordJsonHead(Text& out, const RecordFacts& record, std::string_view switchName,
                          std::string_view leading = {});
void appendRecordJsonTail(Text& out, const RecordFacts& record);

// One message as a CSV row, and the header row (RFC 4180 quoting; rows end in LF); the row ends
// with the message's switch, then, with `wire` (of captures), its opc, dpc, sls, ni, si, packet
// and packet_time (empty for a message that came from a log).
void appendMessageCsvHeader(std::string& out, const FileColumn& file = {}, bool wire = false);
void appendMessageCsv(std::string& out, const MessageFacts& message, std::uint64_t callFirstRecord,
                      const FileColumn& file = {}, bool wire = false);

// One call as a line of the calls table, its heading, a JSON object, a CSV row and its header.
// The table has a SWITCH column in front only when `switchColumn` (its width) is not 0: for a
// run that spans several switches. The JSON object begins with "switch" (null when none was
// named) in the View form; the CSV row ends with a switch column.
// `routeColumn`: a ROUTE column after the switch's (a run of captures).
void appendCallHeading(std::string& out, std::size_t switchColumn = 0, bool routeColumn = false);
void appendCallLine(std::string& out, const Call& call, std::size_t switchColumn = 0, bool routeColumn = false);
// `leading`: members that go first, each with its comma (FileColumn::json()), or nothing.
void appendCallJson(std::string& out, const Call& call, JsonRow form = JsonRow::View,
                    std::string_view leading = {});
// `route`: a route column after the switch's (a run of captures).
void appendCallCsvHeader(std::string& out, const FileColumn& file = {}, bool route = false);
void appendCallCsv(std::string& out, const Call& call, const FileColumn& file = {}, bool route = false);

// The statistics as text, as one JSON document, and as CSV rows (table,name,direction,count,text).
void appendStatisticsText(std::string& out, const Statistics& statistics);
// `header`: the CSV begins with its header row (with several files, the first file's table only).
void appendStatisticsJson(std::string& out, const Statistics& statistics, const FileColumn& file = {});
void appendStatisticsCsv(std::string& out, const Statistics& statistics, const FileColumn& file = {},
                         bool header = true);

}  // namespace truno
