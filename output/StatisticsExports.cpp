// The statistics as text, JSON and CSV.
#include "parameters/callcontrol/CauseValues.h"
#include "output/ExportText.h"
#include "output/Exports.h"
#include "output/JsonWriter.h"

#include <cstdio>
#include <optional>
#include <utility>

namespace truno {

using namespace exporttext;

namespace {

void appendTypeLabel(std::string& out, const Statistics::TypeCount& type) {
    if (!type.acronym.empty()) {
        out += type.acronym;
    } else if (type.typeCode >= 0) {
        char hex[8];
        const int n = std::snprintf(hex, sizeof hex, "%02X", static_cast<unsigned>(type.typeCode));
        out.append(hex, static_cast<std::size_t>(n));
    } else {
        out += '-';
    }
}

// A counted cause's meaning as the report prints it, and its Q.850 name (both empty for none).
std::string_view meaningOf(const Statistics::CauseCount& cause) {
    return cause.number < 0 ? std::string_view{} : causeMeaning(static_cast<std::uint64_t>(cause.number));
}
std::string_view nameOf(const Statistics::CauseCount& cause) {
    return cause.number < 0 ? std::string_view{} : causeName(static_cast<std::uint64_t>(cause.number));
}

}  // namespace

void appendStatisticsText(std::string& out, const Statistics& statistics) {
    std::string scratch;
    out += "Messages: ";
    appendNumber(out, statistics.messages());
    out += " (";
    appendNumber(out, statistics.notDecoded());
    out += " not decoded)\n\nMessages per type and direction:\n";
    statistics.forEachType([&](const Statistics::TypeCount& type) {
        const std::size_t start = out.size();
        out += "  ";
        appendTypeLabel(out, type);
        padTo(out, start, 8);
        const std::size_t directionAt = out.size();
        out += logText(type.direction, scratch).empty() ? std::string_view("-") : logText(type.direction, scratch);
        padTo(out, directionAt, 5);
        appendNumberCell(out, type.count, 10);
        out.resize(out.size() - 2);
        out += '\n';
    });
    out += "\nNot decoded, per kind of reason:\n";
    for (const Statistics::ReasonCount& reason : statistics.reasons()) {
        const std::size_t start = out.size();
        out += "  ";
        out += failureName(reason.failure);
        padTo(out, start, 28);
        appendNumberCell(out, reason.count, 10);
        out += failureDescription(reason.failure);
        out += '\n';
    }
    out += "\nCalls: ";
    appendNumber(out, statistics.calls());
    out += '\n';
    for (std::size_t i = 0; i < kCallOutcomeCount; ++i) {
        const auto outcome = static_cast<CallOutcome>(i);
        const std::size_t start = out.size();
        out += "  ";
        out += outcomeName(outcome);
        padTo(out, start, 20);
        appendNumberCell(out, statistics.callsWith(outcome), 10);
        out.resize(out.size() - 2);
        out += '\n';
    }
    out += "\nMessages outside calls: ";
    appendNumber(out, statistics.outsideCalls());
    out += '\n';
    for (const auto& [name, count] : {std::pair<std::string_view, std::uint64_t>{"circuit events", statistics.circuitEvents()},
                                      {"stray messages", statistics.strayMessages()}}) {
        const std::size_t start = out.size();
        out += "  ";
        out += name;
        padTo(out, start, 20);
        appendNumberCell(out, count, 10);
        out.resize(out.size() - 2);
        out += '\n';
    }
    out += "\nRelease causes (REL messages, each counted; --kpi counts calls released):\n";
    for (const Statistics::CauseCount* cause : statistics.causes()) {
        const std::size_t start = out.size();
        out += "  ";
        if (cause->number < 0)
            out += '-';
        else
            appendNumber(out, cause->number);
        padTo(out, start, 8);
        appendNumberCell(out, cause->count, 10);
        out += cause->number < 0 ? std::string_view("(no cause: not decoded)") : meaningOf(*cause);
        out += '\n';
    }
}

// The members of the document and of every object in it are in alphabetical order (the outputs'
// contract: the order the document has always had).
void appendStatisticsJson(std::string& out, const Statistics& statistics, const FileColumn& file) {
    appendJsonText(out, JsonLayout::Indented, [&](JsonWriter& json) {
        json.beginObject();
        json.leading(file.json());
        json.member("calls", statistics.calls());
        json.key("causes");
        json.beginArray();
        for (const Statistics::CauseCount* cause : statistics.causes()) {
            json.beginObject();
            json.textOrNull("cause_name", nameOf(*cause));
            json.member("count", cause->count);
            json.member("text", meaningOf(*cause));
            json.member("value",
                        cause->number < 0 ? std::nullopt : std::optional<std::string>(std::to_string(cause->number)));
            json.endObject();
        }
        json.endArray();
        json.member("messages", statistics.messages());
        json.member("not_decoded", statistics.notDecoded());
        json.key("not_decoded_reasons");
        json.beginArray();
        for (const Statistics::ReasonCount& reason : statistics.reasons()) {
            json.beginObject();
            json.member("count", reason.count);
            json.member("description", failureDescription(reason.failure));
            json.member("kind", failureName(reason.failure));
            json.endObject();
        }
        json.endArray();
        json.key("outcomes");
        json.beginObject();
        static const auto outcomes = alphabeticalOrder<kCallOutcomeCount>(
            [](std::size_t i) { return outcomeName(static_cast<CallOutcome>(i)); });
        for (const std::size_t i : outcomes) {
            const auto outcome = static_cast<CallOutcome>(i);
            json.member(outcomeName(outcome), statistics.callsWith(outcome));
        }
        json.endObject();
        json.key("outside_calls");
        json.beginObject();
        json.member("circuit_events", statistics.circuitEvents());
        json.member("messages", statistics.outsideCalls());
        json.member("stray", statistics.strayMessages());
        json.endObject();
        json.key("types");
        json.beginArray();
        std::string scratch;
        std::string label;
        statistics.forEachType([&](const Statistics::TypeCount& type) {
            label.clear();
            appendTypeLabel(label, type);
            json.beginObject();
            json.member("code", type.typeCode >= 0 ? std::optional<int>(type.typeCode) : std::nullopt);
            json.member("count", type.count);
            json.member("direction", logText(type.direction, scratch));
            json.member("label", label);
            json.textOrNull("type", type.acronym);
            json.endObject();
        });
        json.endArray();
        json.endObject();
    });
}

void appendStatisticsCsv(std::string& out, const Statistics& statistics, const FileColumn& file, bool header) {
    std::string scratch;
    if (header) {
        out += file.csvHeader();
        out += "table,name,direction,count,text";
        out += kCsvLineEnd;
    }
    const auto row = [&](std::string_view table, std::string_view name, std::string_view direction,
                         std::uint64_t count, std::string_view text) {
        out += file.csv();
        out += table;
        out += ',';
        appendCsvField(out, name);
        out += ',';
        appendCsvField(out, direction);
        out += ',';
        appendNumber(out, count);
        out += ',';
        appendCsvField(out, text);
        out += kCsvLineEnd;
    };
    row("messages", "all", "", statistics.messages(), "");
    row("messages", "not decoded", "", statistics.notDecoded(), "");
    statistics.forEachType([&](const Statistics::TypeCount& type) {
        std::string label;
        appendTypeLabel(label, type);
        row("type", label, logText(type.direction, scratch), type.count, "");
    });
    for (const Statistics::ReasonCount& reason : statistics.reasons())
        row("reason", failureName(reason.failure), "", reason.count, failureDescription(reason.failure));
    row("calls", "all", "", statistics.calls(), "");
    for (std::size_t i = 0; i < kCallOutcomeCount; ++i) {
        const auto outcome = static_cast<CallOutcome>(i);
        row("outcome", outcomeName(outcome), "", statistics.callsWith(outcome), "");
    }
    row("outside calls", "all", "", statistics.outsideCalls(), "");
    row("outside calls", "circuit events", "", statistics.circuitEvents(), "");
    row("outside calls", "stray", "", statistics.strayMessages(), "");
    for (const Statistics::CauseCount* cause : statistics.causes())
        row("cause", cause->number < 0 ? std::string() : std::to_string(cause->number), "", cause->count,
            meaningOf(*cause));
}

}  // namespace truno
