#include "window/log/OpenedLog.h"

#include <algorithm>
#include <utility>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace truno::window {

void MessagesPerSecond::count(const MessageStore& store, std::size_t first, std::size_t end, bool come) {
    for (std::size_t i = first; i < end; ++i) {
        const std::int64_t instant = store.row(i).at;
        if (instant != MessageStore::kNoInstant) change(instant / 1000, come ? 1 : -1);
    }
}

void MessagesPerSecond::change(std::int64_t second, std::int64_t by) {
    if (pending_.empty() && !seconds_.empty() && seconds_.back().first == second) {
        seconds_.back().second = static_cast<std::uint64_t>(static_cast<std::int64_t>(seconds_.back().second) + by);
        if (seconds_.back().second == 0) seconds_.pop_back();
        return;
    }
    if (pending_.empty() && by > 0 && (seconds_.empty() || seconds_.back().first < second)) {
        seconds_.emplace_back(second, static_cast<std::uint64_t>(by));
        return;
    }
    if (!pending_.empty() && pending_.back().first == second)
        pending_.back().second += by;
    else
        pending_.emplace_back(second, by);
    if (pending_.size() >= std::max<std::size_t>(4096, seconds_.size() / 4)) settle();
}

void MessagesPerSecond::settle() const {
    if (pending_.empty()) return;
    std::stable_sort(pending_.begin(), pending_.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<Second> merged;
    merged.reserve(seconds_.size() + pending_.size());
    auto held = seconds_.begin();
    for (auto at = pending_.begin(); at != pending_.end();) {
        const std::int64_t second = at->first;
        while (held != seconds_.end() && held->first < second) merged.push_back(*held++);
        std::int64_t messages = held != seconds_.end() && held->first == second ? static_cast<std::int64_t>((held++)->second) : 0;
        for (; at != pending_.end() && at->first == second; ++at) messages += at->second;
        if (messages > 0) merged.emplace_back(second, static_cast<std::uint64_t>(messages));
    }
    merged.insert(merged.end(), held, seconds_.end());
    seconds_ = std::move(merged);
    pending_.clear();
}

namespace {

// A log's report chunks and the store's pages are large blocks. glibc serves such blocks with
// mmap and gives them back when freed, but it raises that threshold each time one is freed: after
// the first log is replaced, the next log's large blocks would come from the heap, where the
// small blocks of the log that follows get between them and keep the freed memory from being
// given back. A fixed threshold keeps every large block apart (measured on a 1,000,000-message
// log replaced by a 470-message one: 53 MB against 57 to 76 MB without, 48 MB for a fresh
// window with the small log).
void keepLargeBlocksApart() {
#if defined(__GLIBC__)
    static const bool done = [] { return mallopt(M_MMAP_THRESHOLD, 256 * 1024) == 1; }();
    (void)done;
#endif
}

}  // namespace

OpenedLog::OpenedLog(QString logPath) : path(std::move(logPath)), report(std::make_unique<ReportDocument>()) {
    keepLargeBlocksApart();
    ++live_;
}

OpenedLog::~OpenedLog() { --live_; }

QString OpenedLog::fileOf(std::uint64_t record) const {
    // The last file whose first record is not after it: a file without messages has the same
    // first record as the one after it.
    const auto after = std::upper_bound(fileFirstRecords.begin(), fileFirstRecords.end(), record);
    const auto file = static_cast<qsizetype>(after - fileFirstRecords.begin()) - 1;
    return file >= 0 && file < files.size() ? files[file] : path;
}

void OpenedLog::dispose(std::unique_ptr<OpenedLog> log) {
    if (!log) return;
    log.reset();
    // The report's chunks and the store's blocks were many large blocks.
    returnFreedMemory();
}

void OpenedLog::returnFreedMemory() {
#if defined(__GLIBC__)
    malloc_trim(0);
#endif
}

bool OpenedLog::admitRecords(const ReportDocument& fullReport, std::chrono::steady_clock::time_point deadline) {
    // A message joins the views once its record's text is in the report.
    const std::size_t before = admitted;
    const std::uint64_t origin = fullReport.origin();
    while (admitted < store.size() && store.textEnd(admitted) <= origin + fullReport.size()) {
        if ((admitted & 1023) == 0 && std::chrono::steady_clock::now() >= deadline) break;
        // The banner is the line under the rule that opens the record.
        const std::size_t line = fullReport.lineAt(store.textBegin(admitted) - origin).first + 1;
        records.addRecord(store.record(admitted), line, store.decoded(admitted));
        if (!store.decoded(admitted)) ++notDecodedRead;
        ++admitted;
    }
    return admitted != before;
}

}  // namespace truno::window
