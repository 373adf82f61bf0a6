#include "window/log/OpenedLog.h"

#include <utility>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace truno::window {

OpenedLog::OpenedLog(QString logPath) : path(std::move(logPath)), report(std::make_unique<ReportDocument>()) { ++live_; }

OpenedLog::~OpenedLog() { --live_; }

void OpenedLog::dispose(std::unique_ptr<OpenedLog> log) {
    if (!log) return;
    log.reset();
    // The report's chunks and the store's blocks were many large blocks; glibc keeps freed
    // memory for later unless asked to return it.
#if defined(__GLIBC__)
    malloc_trim(0);
#endif
}

bool OpenedLog::admitRecords(const ReportDocument& fullReport, std::chrono::steady_clock::time_point deadline) {
    // A message joins the views once its record's text is in the report.
    const std::size_t before = admitted;
    while (admitted < store.size() && store.textEnd(admitted) <= fullReport.size()) {
        if ((admitted & 1023) == 0 && std::chrono::steady_clock::now() >= deadline) break;
        // The banner is the line under the rule that opens the record.
        const std::size_t line = fullReport.lineAt(store.textBegin(admitted)).first + 1;
        records.addRecord(store.record(admitted), line, store.decoded(admitted));
        ++admitted;
    }
    return admitted != before;
}

}  // namespace truno::window
