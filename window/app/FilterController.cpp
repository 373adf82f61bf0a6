#include "window/app/FilterController.h"

#include "window/app/RunController.h"
#include "window/app/WindowParts.h"
#include "window/io/ExportWriter.h"
#include "window/views/MessageFilterBar.h"
#include "window/views/MessageList.h"

#include <algorithm>
#include <chrono>
#include <string>
#include <string_view>

namespace truno::window {

namespace {

// How long one slice of filtering, or of putting the filtered report together, may take.
constexpr std::chrono::milliseconds kFilterSlice{25};

}  // namespace

FilterController::FilterController(WindowParts& parts, const RunController& run, QObject* parent)
    : QObject(parent), parts_(parts), run_(run) {
    filterTimer_.setInterval(0);
    connect(&filterTimer_, &QTimer::timeout, this, &FilterController::advance);
    filteredTimer_.setInterval(0);
    connect(&filteredTimer_, &QTimer::timeout, this, &FilterController::buildFilteredReport);
    connect(parts_.messageModel, &MessageListModel::filterDone, this, &FilterController::listDone);
}

void FilterController::apply() {
    ListFilter filter;
    parts_.filterBar->read(filter);  // a field that does not read is left out, and marked
    showFullReport();
    parts_.messageModel->setFilter(filter);
    parts_.messageModel->setAvailable(parts_.log->admitted);
    filterTimer_.start();
}

void FilterController::recordsAdded() {
    parts_.messageModel->setAvailable(parts_.log->admitted);
    if (!filterTimer_.isActive()) filterTimer_.start();
}

void FilterController::advance() {
    if (parts_.messageModel->advance(kFilterSlice)) filterTimer_.stop();
}

bool FilterController::settled() const {
    const MessageListModel& model = *parts_.messageModel;
    return !model.filtering() && !filterTimer_.isActive() && !filteredTimer_.isActive() && !model.sorting();
}

void FilterController::listDone() {
    filterTimer_.stop();
    const OpenedLog& log = *parts_.log;
    // The report follows the filter once the run is over and its report whole.
    const bool wanted = parts_.filterBar->reportToo() && parts_.messageModel->filter().active() && !run_.running() &&
                        !log.store.empty();
    if (wanted && !log.filtered) {
        filteredMessages_ = parts_.messageModel->shown();
        std::sort(filteredMessages_.begin(), filteredMessages_.end());
        filteredReport_ = std::make_unique<ReportDocument>();
        filteredRecords_ = RecordIndex();
        filteredNext_ = 0;
        filteredTimer_.start();
        return;
    }
    if (!wanted) showFullReport();
    emit listFiltered();
}

void FilterController::buildFilteredReport() {
    if (!filteredReport_) {
        filteredTimer_.stop();
        return;
    }
    OpenedLog& log = *parts_.log;
    const MessageStore& store = log.store;
    // The matching records' texts joined as the command-line tool joins them in a filtered
    // report: CR LF between two records.
    const ReportDocument& report = parts_.fullReport();
    const MessageStore::TextSource text = textOf(report);
    std::string scratch;
    const auto deadline = std::chrono::steady_clock::now() + kFilterSlice;
    while (filteredNext_ < filteredMessages_.size() &&
           ((filteredNext_ & 255) != 0 || std::chrono::steady_clock::now() < deadline)) {
        const std::size_t i = filteredMessages_[filteredNext_];
        const std::string_view bytes = text(store.textBegin(i), store.textEnd(i), scratch);
        if (!filteredReport_->empty()) filteredReport_->append(std::string_view("\r\n"));
        filteredRecords_.addRecord(store.record(i), filteredReport_->lineCount(), store.decoded(i));
        filteredReport_->append(bytes);
        ++filteredNext_;
    }
    if (filteredNext_ < filteredMessages_.size()) return;
    filteredTimer_.stop();
    filteredMessages_ = {};
    log.report = parts_.reportView->setDocument(std::move(filteredReport_));
    log.filteredRecords = std::move(filteredRecords_);
    filteredRecords_ = RecordIndex();
    log.filtered = true;
    emit reportSwitched(true);
    emit listFiltered();
}

void FilterController::showFullReport() {
    filteredTimer_.stop();
    filteredReport_.reset();
    filteredRecords_ = RecordIndex();
    filteredMessages_ = {};
    OpenedLog& log = *parts_.log;
    if (!log.filtered) return;
    parts_.reportView->setDocument(std::move(log.report));
    log.filteredRecords = RecordIndex();
    log.filtered = false;
    emit reportSwitched(false);
}

}  // namespace truno::window
