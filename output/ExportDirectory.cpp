#include "output/ExportDirectory.h"

#include "output/Exports.h"
#include "output/HealthExports.h"
#include "output/JsonWriter.h"
#include "analysis/facts/LogClock.h"
#include "output/PcapExport.h"

#include <cstdio>
#include <system_error>

namespace truno {
namespace {

constexpr std::string_view kKindNames[] = {"messages", "calls", "kpi"};

// "part-00012.jsonl.zst" -> 12; -1 for any other name.
long partNumber(const std::string& name) {
    constexpr std::string_view kHead = "part-";
    constexpr std::string_view kTail = ".jsonl.zst";
    if (name.size() <= kHead.size() + kTail.size() || !name.starts_with(kHead) || !name.ends_with(kTail)) return -1;
    long number = 0;
    for (std::size_t i = kHead.size(); i < name.size() - kTail.size(); ++i) {
        if (name[i] < '0' || name[i] > '9' || number > 99999999) return -1;
        number = number * 10 + (name[i] - '0');
    }
    return number;
}

std::string jsonString(std::string_view text) {
    Text out;
    appendJsonString(out, text);
    return out.str();
}

}  // namespace

bool ExportDirectory::open(const std::string& root, std::string& error) {
    root_ = root;
    std::error_code failed;
    std::filesystem::create_directories(root_, failed);
    if (failed || !std::filesystem::is_directory(root_)) {
        error = "cannot make the export folder '" + root + "': " + (failed ? failed.message() : "not a folder");
        return false;
    }
    return true;
}

void ExportDirectory::beginLog(std::string switchName, std::string file, std::int64_t firstDay, DateSource source) {
    switch_ = std::move(switchName);
    file_ = std::move(file);
    switchJson_ = jsonString(switch_);
    fileJson_ = jsonString(file_);
    rowOpening_ = "{\"schema_version\":" + std::to_string(kExportSchemaVersion) + ",\"switch\":" + switchJson_ +
                  ",\"file\":" + fileJson_ + ",\"timestamp\":\"";
    firstDay_ = firstDay;
    source_ = source;
    logStarted_ = false;
    lastAt_ = 0;
    latest_ = {};
}

CompressedPart* ExportDirectory::part(Kind kind, std::int64_t day) {
    // The part of a kind's latest row, kept: the key is made only when the date or switch changes.
    Latest& latest = latest_[static_cast<std::size_t>(kind)];
    if (latest.part != nullptr && latest.day == day) return latest.part;
    latest.day = day;
    latest.part = openPart(kind, day);
    return latest.part;
}

CompressedPart* ExportDirectory::openPart(Kind kind, std::int64_t day) {
    const std::string_view kindName = kKindNames[static_cast<std::size_t>(kind)];
    const auto key = std::make_pair(std::string(kindName) + '/' + switch_, day);
    const auto found = parts_.find(key);
    if (found != parts_.end()) return found->second.get();
    const std::filesystem::path folder = root_ / std::string(kindName) / ("date=" + dateOfDays(day)) / ("switch=" + switch_);
    std::error_code failed;
    std::filesystem::create_directories(folder, failed);
    long next = 0;
    if (!failed) {
        for (const auto& entry : std::filesystem::directory_iterator(folder, failed))
            next = std::max(next, partNumber(entry.path().filename().string()) + 1);
    }
    std::unique_ptr<CompressedPart> created;
    if (failed) {
        if (error_.empty()) error_ = "cannot make the export folder '" + folder.string() + "': " + failed.message();
    } else {
        // Parts are created only where none is: another run writing into the same folder at the
        // same time (parallel jobs) may take a number first, and this run takes the next.
        std::string error;
        for (int attempt = 0; attempt < 1000 && !created; ++attempt, ++next) {
            char name[48];
            std::snprintf(name, sizeof name, "part-%05ld.jsonl.zst", next);
            created = createCompressedPart(folder / name, error);
            if (!created && !std::filesystem::exists(folder / name, failed)) break;
        }
        if (!created && error_.empty()) error_ = error;
    }
    return parts_.emplace(key, std::move(created)).first->second.get();
}

void ExportDirectory::timestamp(std::string& out, std::int64_t at) {
    const std::int64_t day = firstDay_ + floorDiv(at, kMillisecondsPerDay);
    if (day != datedDay_ || date_.empty()) {
        datedDay_ = day;
        date_ = dateOfDays(day);
    }
    out += date_;
    out += ' ';
    appendInstant(out, at - floorDiv(at, kMillisecondsPerDay) * kMillisecondsPerDay);
}

// {"schema_version":2,"switch":"...","file":"...","timestamp":"...",
void ExportDirectory::prefix(std::string& out, std::int64_t at) {
    out += rowOpening_;
    timestamp(out, at);
    out += "\",";
}

void ExportDirectory::message(const MessageFacts& message, std::optional<std::int64_t> at,
                              std::uint64_t callFirstRecord) {
    const RecordFacts& record = message.record();
    if (!logStarted_) {
        logStarted_ = true;
        // A date in a page header above the first message is the log's own, as is the file's
        // date: the day of this message, which may stand days into the run's time line (the
        // files of a --merge run before it crossed midnights).
        const std::int64_t daysBefore = at ? floorDiv(*at, kMillisecondsPerDay) : 0;
        if (const auto day = daysFromDate(record.logDate))
            firstDay_ = *day - daysBefore;
        else if (source_ != DateSource::Option)
            firstDay_ -= daysBefore;
        const auto earlier = switches_.find(switch_);
        const bool severalFiles = earlier != switches_.end() && earlier->second.kpiOpening != rowOpening_;
        switches_[switch_] = SwitchRows{
            .firstDay = firstDay_,
            .rowOpening = rowOpening_,
            .kpiOpening = severalFiles ? "{\"schema_version\":" + std::to_string(kExportSchemaVersion) +
                                             ",\"switch\":" + switchJson_ + ",\"file\":\"\",\"timestamp\":\""
                                       : rowOpening_};
    }
    if (at) lastAt_ = *at;
    CompressedPart* target = part(Kind::Messages, firstDay_ + floorDiv(lastAt_, kMillisecondsPerDay));
    if (target == nullptr) return;
    line_.clear();
    prefix(line_, lastAt_);
    appendMessageJson(target->pending(), message, callFirstRecord, std::string_view(line_).substr(1),
                      JsonRow::Export);
    target->appended();
    ++rows_;
}

void ExportDirectory::call(const Call& call) {
    const std::int64_t at = call.first.at.value_or(lastAt_);
    CompressedPart* target = part(Kind::Calls, firstDay_ + floorDiv(at, kMillisecondsPerDay));
    if (target == nullptr) return;
    line_.clear();
    prefix(line_, at);
    // The prefix's members lead the call's own (the switch is among them).
    row_.clear();
    appendCallJson(row_, call, JsonRow::Export, std::string_view(line_).substr(1));
    if (!row_.ends_with('\n')) row_ += '\n';
    target->write(row_);
    ++rows_;
}

void ExportDirectory::intervals(const TrafficKpis& kpis) {
    // Each interval is of one switch (its calls' time line): dated from that switch's first day
    // and filed under it, as the rows of its messages are.
    const std::string current = switch_;
    const auto currentRows = switches_.find(current);
    const std::string currentOpening = currentRows != switches_.end() ? currentRows->second.kpiOpening : rowOpening_;
    const std::int64_t currentDay = firstDay_;
    const auto fileUnder = [this](const std::string& name, const std::string& opening, std::int64_t day) {
        if (name == switch_) return;
        switch_ = name;
        rowOpening_ = opening;
        firstDay_ = day;
        latest_[static_cast<std::size_t>(Kind::Kpi)] = {};
    };
    for (const KpiSet* set : kpis.groups()) {
        if (!set->start) continue;
        const auto found = set->switchName.empty() ? switches_.end() : switches_.find(set->switchName);
        if (found != switches_.end())
            fileUnder(found->first, found->second.kpiOpening, found->second.firstDay);
        else
            fileUnder(current, currentOpening, currentDay);
        CompressedPart* target = part(Kind::Kpi, firstDay_ + floorDiv(*set->start, kMillisecondsPerDay));
        if (target == nullptr) break;
        line_.clear();
        prefix(line_, *set->start);
        const auto orNull = [](std::optional<double> value, int decimals) {
            return value ? fixedText(*value, decimals) : std::string("null");
        };
        const auto seconds = [](std::optional<double> milliseconds) {
            return milliseconds ? fixedText(*milliseconds / 1000.0, 3) : std::string("null");
        };
        line_ += "\"interval_s\":" + std::to_string(kpis.options().interval / 1000) +
                 ",\"seizures\":" + std::to_string(set->seizures) + ",\"answered\":" + std::to_string(set->answered) +
                 ",\"asr_percent\":" + orNull(percentOf(set->answered, set->seizures), 2) +
                 ",\"reached_user\":" + std::to_string(set->reachedUser) +
                 ",\"ner_percent\":" + orNull(percentOf(set->reachedUser, set->seizures), 2) +
                 ",\"setup_mean_s\":" + seconds(set->setup.mean()) + ",\"acd_s\":" + seconds(set->conversation.mean()) +
                 ",\"erlangs\":" + fixedText(set->erlangs(), 4) + "}\n";
        target->write(line_);
        ++rows_;
    }
    fileUnder(current, currentOpening, currentDay);
}

bool ExportDirectory::close(std::string& error) {
    bool written = error_.empty();
    error = error_;
    for (auto& [key, part] : parts_) {
        std::string failed;
        if (part && !part->close(failed) && written) {
            written = false;
            error = failed;
        }
    }
    parts_.clear();
    latest_ = {};
    return written;
}

}  // namespace truno
