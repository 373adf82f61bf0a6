#pragma once
// One log as the window holds it: its report, the facts of its messages with the record index
// built from them, its statistics and its trunk's health, its path, the texts of its summary and
// counts, and the report of the matching records while the report is filtered. The window swaps it whole: a new one
// while a log opens, the one shown before kept aside until the run has finished, then freed, or
// given back when the run is cancelled or finds nothing.
#include "analysis/store/MessageStore.h"
#include "analysis/calls/Statistics.h"
#include "analysis/health/TrunkHealth.h"
#include "window/log/RecordIndex.h"
#include "window/log/ReportDocument.h"

#include <QPoint>
#include <QString>
#include <QStringList>

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <utility>
#include <vector>

namespace truno::window {

// Messages per second of a log's time line (LogClock), kept as messages come and go, so that the
// chart of messages per second is drawn without walking every message: second -> messages, in
// rising seconds. Messages come mostly in the order of their times: a second after the last is
// added at the end, the others wait among the changes pending, sorted in at once when there are
// as many as a quarter of the seconds, or when the seconds are asked for.
class MessagesPerSecond {
public:
    using Second = std::pair<std::int64_t, std::uint64_t>;
    // The messages of `store` at indices `first` to `end` come, or go.
    void add(const MessageStore& store, std::size_t first, std::size_t end) { count(store, first, end, true); }
    void remove(const MessageStore& store, std::size_t first, std::size_t end) { count(store, first, end, false); }
    // The seconds that hold messages, rising.
    const std::vector<Second>& seconds() const {
        settle();
        return seconds_;
    }

private:
    void count(const MessageStore& store, std::size_t first, std::size_t end, bool come);
    void change(std::int64_t second, std::int64_t by);
    // Sorts the pending changes in; the seconds left without messages go.
    void settle() const;
    mutable std::vector<Second> seconds_;
    mutable std::vector<std::pair<std::int64_t, std::int64_t>> pending_;  // second, messages added (or taken)
};

class OpenedLog {
public:
    // Nothing opened yet (`path` empty), or the log at `path` before its run: an empty report.
    explicit OpenedLog(QString logPath = {});
    OpenedLog(const OpenedLog&) = delete;
    OpenedLog& operator=(const OpenedLog&) = delete;
    ~OpenedLog();

    // Logs held at present: the window holds one, and two while a run loads another.
    static std::size_t liveCount() { return live_; }

    // Frees `log` and everything it holds, then gives the freed heap back to the system, so that
    // a large log replaced by a small one does not leave the window at the large one's size.
    static void dispose(std::unique_ptr<OpenedLog> log);
    // Gives the memory freed in the heaps back to the system (glibc keeps it for later otherwise).
    static void returnFreedMemory();

    // Admits the messages of the store whose records' text is in `fullReport`, in order, until
    // `deadline`; true when there are new ones.
    bool admitRecords(const ReportDocument& fullReport,
                      std::chrono::steady_clock::time_point deadline = std::chrono::steady_clock::time_point::max());
    // All the store's messages have their records.
    bool complete() const { return admitted == store.size(); }
    // Messages whose records were taken in, those a followed log has let go since included.
    std::uint64_t messagesRead() const { return store.dropped() + admitted; }
    // The records of the report shown: only the matching ones while the report is filtered.
    const RecordIndex& shownRecords() const { return filtered ? filteredRecords : records; }

    // The full path of the log, as the caption shows it; empty before the first log. Of several
    // files read as one log: the first.
    QString path;
    // Every file of the log, in the order read (one, or several read as one log), and the
    // number of the first record of each as far as the run has come.
    QStringList files;
    std::vector<std::uint64_t> fileFirstRecords;
    // The file `record` came from.
    QString fileOf(std::uint64_t record) const;
    // The full report while the report view does not hold it. The log on screen lends the
    // report it shows to the view, so this is empty then, except while the view shows the report
    // of the matching records; the log put aside holds its report here.
    std::unique_ptr<ReportDocument> report;
    MessageStore store;
    MessagesPerSecond perSecond;  // of the messages the store holds
    RecordIndex records;    // of the full report
    std::size_t admitted = 0;  // messages of the store whose records are in the report
    std::uint64_t notDecodedRead = 0;  // of the messagesRead()
    Statistics statistics;
    // The trunk's health of the whole log, from the same run; null until the run has finished,
    // or while a log is followed, its health so far. The health tab may still show an older one
    // of a followed log, kept until the tab shows the newer (null when it does).
    std::unique_ptr<TrunkHealth> health;
    std::unique_ptr<TrunkHealth> healthShown;
    QString summary;        // the run's summary, as the status bar shows it
    QString counts;         // messages found, decoded, not decoded, calls
    QPoint scroll;          // where the report view stood when the log was put aside
    // The report view shows only the matching records (their index below).
    bool filtered = false;
    RecordIndex filteredRecords;

private:
    static inline std::size_t live_ = 0;  // logs are made and freed on the window's thread only
};

}  // namespace truno::window
