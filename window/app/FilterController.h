#pragma once
// The filter of the log on screen: reads the filter bar, lets the message list test the messages
// in slices between the window's events, and, when the report too should show only the matching
// records, puts their report together in slices and shows it in place of the full one.
#include "window/log/RecordIndex.h"
#include "window/log/ReportDocument.h"

#include <QObject>
#include <QTimer>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace truno::window {

class RunController;
struct WindowParts;

class FilterController : public QObject {
    Q_OBJECT

public:
    FilterController(WindowParts& parts, const RunController& run, QObject* parent = nullptr);

    // Reads the filter bar again and filters the list (and the report, when asked), from the
    // full report on.
    void apply();
    // More messages have their records: they are tested too.
    void recordsAdded();
    // The list's filter and the filtered report have caught up with the filter and the run.
    bool settled() const;
    // Shows the full report again, and stops putting the filtered one together.
    void showFullReport();
    // The list has tested every message: the report follows the filter when asked.
    void listDone();

signals:
    // The list shows what the filter chose, and the report too when asked.
    void listFiltered();
    // The report view shows the full report, or (`filtered`) the matching records only.
    void reportSwitched(bool filtered);

private:
    void advance();
    void buildFilteredReport();

    WindowParts& parts_;
    const RunController& run_;
    QTimer filterTimer_;
    // The report of the matching records only, while it is being put together.
    QTimer filteredTimer_;
    std::unique_ptr<ReportDocument> filteredReport_;
    RecordIndex filteredRecords_;
    std::vector<std::uint32_t> filteredMessages_;
    std::size_t filteredNext_ = 0;
};

}  // namespace truno::window
