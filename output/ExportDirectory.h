#pragma once
// Exports that a query engine loads (--export-dir): the messages, the calls and the KPI
// intervals of one or more logs as JSON Lines compressed with zstd, in folders partitioned as
// DuckDB, ClickHouse and Spark read them:
//   DIR/messages/date=YYYY-MM-DD/switch=NAME/part-00000.jsonl.zst   (likewise calls/ and kpi/)
// Every row carries schema_version, the switch, the file and a time with milliseconds,
// "YYYY-MM-DD HH:MM:SS.mmm" (ISO 8601 with a space, which DuckDB and ClickHouse read as a
// timestamp): the log's date, from its page header, --date or the file's modification date, and
// the time of day on the log's time line, past midnight into the next date. A run adds new parts
// to the folders it writes in and never rewrites one. docs/export.md has the schema and table
// definitions.
#include "analysis/calls/Calls.h"
#include "analysis/facts/MessageFacts.h"
#include "output/PcapExport.h"
#include "analysis/health/TrafficKpis.h"
#include "base/ReportText.h"

#include <array>
#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace truno {

inline constexpr int kExportSchemaVersion = 2;

// One part file being written, compressed (zstd). Rows are appended to the bytes waiting to be
// compressed (pending(), or write()), which go to the compressor in batches.
class CompressedPart {
public:
    virtual ~CompressedPart() = default;
    Text& pending() { return pending_; }
    // Rows were appended to pending(): a batch goes to the compressor once there is one.
    void appended() {
        if (pending_.size() >= kBatch) compressPending(false);
    }
    void write(std::string_view bytes) {
        pending_ += bytes;
        appended();
    }
    // Ends the compressed stream and closes the file; false with `error` set when writing failed.
    virtual bool close(std::string& error) = 0;

protected:
    // Compresses what is pending and empties it; `end`: the stream ends after it.
    virtual void compressPending(bool end) = 0;
    Text pending_;

private:
    static constexpr std::size_t kBatch = std::size_t{256} * 1024;
};
// Creates a part file; nullptr with `error` set when it cannot be made (or where the system has
// no zstd: the Windows build).
std::unique_ptr<CompressedPart> createCompressedPart(const std::filesystem::path& path, std::string& error);

class ExportDirectory {
public:
    // False with `error` set when the folder cannot be made.
    bool open(const std::string& root, std::string& error);

    // A log begins: its switch, its file name as shown, and its first day (days from 1970-01-01)
    // when its page headers give none, with where that day came from. A day of the file's own
    // (its page header, its modification date) is the day of its first message; --date's is the
    // day the run's time line starts on (the files of a --merge run go on from it).
    void beginLog(std::string switchName, std::string file, std::int64_t firstDay,
                  DateSource source = DateSource::FileDate);

    void message(const MessageFacts& message, std::optional<std::int64_t> at, std::uint64_t callFirstRecord);
    void call(const Call& call);
    // The KPIs of the log's intervals (a TrafficKpis grouped by an interval).
    void intervals(const TrafficKpis& kpis);

    // Ends every part; false with `error` set when one could not be written.
    bool close(std::string& error);

    std::uint64_t rows() const { return rows_; }

private:
    enum class Kind : std::uint8_t { Messages, Calls, Kpi };
    struct Latest {
        std::int64_t day = 0;
        CompressedPart* part = nullptr;
    };
    CompressedPart* part(Kind kind, std::int64_t day);
    CompressedPart* openPart(Kind kind, std::int64_t day);
    void timestamp(std::string& out, std::int64_t at);
    void prefix(std::string& out, std::int64_t at);

    std::filesystem::path root_;
    std::string switch_, file_, switchJson_, fileJson_;
    std::string rowOpening_;  // {"schema_version":2,"switch":...,"file":...,"timestamp":"
    std::int64_t firstDay_ = 0;
    DateSource source_ = DateSource::FileDate;
    // Per switch, the day its time line starts on and the opening of its rows (of its last log):
    // the KPI intervals of each switch are dated and filed by them.
    struct SwitchRows {
        std::int64_t firstDay = 0;
        std::string rowOpening;
        // The opening of its KPI rows: its file's, or, when the switch's messages came from
        // several files of the run, one whose file is empty (an interval may span them).
        std::string kpiOpening;
    };
    std::map<std::string, SwitchRows, std::less<>> switches_;
    bool logStarted_ = false;
    std::int64_t lastAt_ = 0;
    std::map<std::pair<std::string, std::int64_t>, std::unique_ptr<CompressedPart>> parts_;
    std::array<Latest, 3> latest_{};  // per Kind
    std::string line_;
    std::string row_;
    std::int64_t datedDay_ = 0;
    std::string date_;  // of datedDay_
    std::string error_;
    std::uint64_t rows_ = 0;
};

}  // namespace truno
