#include "window/app/RecordNavigator.h"

#include "window/app/StatusLine.h"
#include "window/app/WindowParts.h"
#include "window/io/UserDialogs.h"
#include "window/views/MessageList.h"

#include <QItemSelectionModel>
#include <QScrollBar>
#include <QTableView>

#include <algorithm>
#include <optional>

namespace truno::window {

RecordNavigator::RecordNavigator(WindowParts& parts, QObject* parent) : QObject(parent), parts_(parts) {
    connect(parts_.messageModel, &MessageListModel::sortDone, this, &RecordNavigator::followReport);
    connect(parts_.messageList->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            &RecordNavigator::listRowChanged);
    connect(parts_.reportView, &ReportView::cursorMoved, this, &RecordNavigator::followReport);
    connect(parts_.reportView->verticalScrollBar(), &QScrollBar::valueChanged, this, &RecordNavigator::followReport);
}

void RecordNavigator::showRecord(std::uint64_t number) {
    if (const std::optional<std::size_t> line = parts_.records().bannerLine(number)) parts_.reportView->showLine(*line);
}

void RecordNavigator::listRowChanged() {
    if (following_) return;
    const QModelIndex current = parts_.messageList->currentIndex();
    if (!current.isValid()) return;
    const std::size_t message = parts_.messageModel->messageAt(current.row());
    const std::uint64_t record = parts_.log->store.record(message);
    following_ = true;
    if (parts_.records().contains(record)) {
        showRecord(record);
        // Of several files read as one log, the record's own file and line.
        if (parts_.log->files.size() > 1)
            parts_.status->tell(tr("Record %1: %2, line %3")
                                    .arg(countText(record), QFileInfo(parts_.log->fileOf(record)).fileName(),
                                         QString::number(parts_.log->store.logLine(message))));
    } else {
        parts_.status->tell(tr("The report shows only the matching records; record %1 is not among them.")
                                .arg(countText(record)));
    }
    following_ = false;
}

void RecordNavigator::followReport() {
    if (following_) return;
    const std::uint64_t record = parts_.records().recordAt(parts_.reportView->currentPosition().line);
    const std::optional<std::size_t> message = parts_.log->store.indexOf(record);
    if (!message || *message >= parts_.log->admitted) return;
    const std::optional<int> row = parts_.messageModel->rowOf(*message);
    if (!row) return;
    const QModelIndex index = parts_.messageModel->index(*row, 0);
    if (parts_.messageList->currentIndex().row() == *row) return;
    following_ = true;
    parts_.messageList->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    parts_.messageList->scrollTo(index);
    following_ = false;
}

void RecordNavigator::chooseRecord(std::uint64_t record) {
    const std::optional<std::size_t> message = parts_.log->store.indexOf(record);
    if (!message || *message >= parts_.log->admitted) {
        if (record != 0 && record <= parts_.log->store.dropped()) tellLetGo(record);
        return;
    }
    if (const std::optional<int> row = parts_.messageModel->rowOf(*message)) {
        const QModelIndex index = parts_.messageModel->index(*row, 0);
        parts_.messageList->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        parts_.messageList->scrollTo(index);
    }
    showRecord(record);
}

void RecordNavigator::goToRecord() {
    const RecordIndex& records = parts_.records();
    if (records.recordCount() == 0) {
        parts_.status->tell(tr("The report has no record yet."));
        return;
    }
    const std::uint64_t current = std::max<std::uint64_t>(1, records.recordAt(parts_.reportView->currentPosition().line));
    const std::optional<std::uint64_t> number = parts_.dialogs->chooseRecord(parts_.window, current, records.lastRecord());
    if (!number) return;
    if (parts_.records().bannerLine(*number)) {
        showRecord(*number);
        return;
    }
    if (*number <= parts_.log->store.dropped()) {
        tellLetGo(*number);
        return;
    }
    if (!parts_.log->filtered) {
        parts_.status->tell(tr("The report has no record %1.").arg(countText(*number)));
        return;
    }
    // The report is filtered: the record asked for does not match; the next one that does is shown.
    const QString shown = tr("the report shows only the %1 records that match the message filter")
                              .arg(countText(records.recordCount()));
    if (const std::optional<std::uint64_t> next = parts_.records().recordFrom(*number)) {
        showRecord(*next);
        parts_.status->tell(tr("Record %1 does not match the message filter (%2); shown: record %3, the next that does.")
                                .arg(countText(*number), shown, countText(*next)));
    } else {
        parts_.status->tell(tr("Record %1 does not match the message filter (%2); none from it on does.")
                                .arg(countText(*number), shown));
    }
}

void RecordNavigator::tellLetGo(std::uint64_t record) {
    parts_.status->tell(tr("Record %1 has left the window, which keeps the last messages of the followed log "
                           "(from record %2).")
                            .arg(countText(record), countText(parts_.log->store.dropped() + 1)));
}

void RecordNavigator::nextNotDecoded() {
    const std::size_t line = parts_.reportView->currentPosition().line;
    if (const std::optional<std::uint64_t> record = parts_.records().nextNotDecoded(line)) {
        showRecord(*record);
        parts_.status->tell(tr("Record %1 was not decoded.").arg(countText(*record)));
    } else {
        parts_.status->tell(tr("No record after this place was left not decoded."));
    }
}

void RecordNavigator::previousNotDecoded() {
    const std::size_t line = parts_.reportView->currentPosition().line;
    if (const std::optional<std::uint64_t> record = parts_.records().previousNotDecoded(line)) {
        showRecord(*record);
        parts_.status->tell(tr("Record %1 was not decoded.").arg(countText(*record)));
    } else {
        parts_.status->tell(tr("No record before this place was left not decoded."));
    }
}

}  // namespace truno::window
