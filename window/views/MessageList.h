#pragma once
// The message list: one row per message of the run (record, time, direction, call instance
// code, type and the summary's info text), read from the run's facts as they arrive. A filter
// chooses the rows: by filter expressions (the filter bar's boxes for type, call instance code,
// record range, not decoded and call, compiled as the command line's options are, and its own
// expression), and by free text matched against the message's facts (the labels of its fields
// and the values they print, which the report document holds between the marks). The filter goes through the messages in slices
// between the window's events; a sort goes on a thread of its own.
#include "analysis/filters/MessageSelection.h"
#include "analysis/store/MessageStore.h"
#include "window/log/ReportDocument.h"
#include "window/report/TextSearch.h"

#include <QAbstractTableModel>
#include <QColor>
#include <QIcon>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <thread>
#include <vector>

class QTableView;

namespace truno::window {

// What the filter bar asks for.
struct ListFilter {
    // The boxes (compiled as the command line's filter options are: compileShorthand) and the
    // filter expression (docs/filters.md), which must all hold; none: any. Call keys are not asked.
    std::shared_ptr<const MessageSelection> selection;
    QString text;  // free text; empty: any
    bool active() const { return selection != nullptr || !text.isEmpty(); }
};

// Whether the facts of message `i` hold `matcher`'s text: in a label of its record's marks, or in
// a value they delimit in the report text (`document` holds the report the store's offsets point
// into). `labelMatches` says for each of the store's labels whether it holds the text.
bool factsHoldText(const MessageStore& store, const ReportDocument& document, const TextMatcher& matcher,
                   const std::vector<char>& labelMatches, std::size_t i);

// Gives `table` a new vertical header set up as its old one (hidden or not, fixed rows of the same
// height). A header keeps a slot per row it has ever had, even once the model holds fewer: a
// table that showed a million rows would keep their memory after a small log replaced them.
void renewRowHeader(QTableView* table);

class MessageListModel : public QAbstractTableModel {
    Q_OBJECT

public:
    enum Column { RecordColumn, TimeColumn, DirectionColumn, CodeColumn, TypeColumn, InfoColumn, ColumnCount };

    explicit MessageListModel(QObject* parent = nullptr);
    ~MessageListModel() override;

    // Shows the messages of `store` (the report in `document`), none of them available yet.
    void reset(const MessageStore* store, const ReportDocument* document);
    // The first `count` messages of the store have their records in the document.
    void setAvailable(std::size_t count);
    // The store has let its oldest `count` messages go (a followed log keeping its last ones):
    // their rows go, and the others now show message i - count.
    void dropOldest(std::size_t count);
    std::size_t available() const { return available_; }
    void setFilter(const ListFilter& filter);
    const ListFilter& filter() const { return filter_; }
    // Tests the messages not tested yet for about `budget`; true once every available one is.
    bool advance(std::chrono::milliseconds budget);
    bool filtering() const { return tested_ < available_; }
    // Sorting is offered once the messages stop coming.
    void setSortable(bool sortable);
    bool sorting() const { return sorter_.joinable(); }

    // The message shown on a row, and the row of a message (none when the filter hides it).
    std::size_t messageAt(int row) const {
        return shown_.empty() ? static_cast<std::size_t>(row) : shown_[static_cast<std::size_t>(row)];
    }
    std::optional<int> rowOf(std::size_t message) const;
    // The messages shown, in the order shown.
    std::vector<std::uint32_t> shown() const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    void sort(int column, Qt::SortOrder order) override;

signals:
    // Every available message has been tested against the filter.
    void filterDone();
    void sortDone();

private:
    bool accepts(std::size_t i) const;
    void sortFinished(std::uint64_t generation, std::vector<std::uint32_t> sorted);
    void stopSorter();

    const MessageStore* store_ = nullptr;
    const ReportDocument* document_ = nullptr;
    std::size_t available_ = 0;
    std::size_t tested_ = 0;
    ListFilter filter_;
    std::shared_ptr<const TextMatcher> matcher_;
    // The facts of a message for the filter: those of its row, and all of them rebuilt for an
    // expression that reads fields.
    mutable RecordFacts rowFacts_;
    mutable std::string rowTime_;  // rowFacts_.time, when the store rebuilt it
    MessageStore::TextSource textSource_;
    mutable MessageStore::Scratch scratch_;
    mutable MessageFacts facts_;
    std::vector<char> labelMatches_;
    // The messages shown, in the order shown; or, while it is empty, the first inOrder_ messages
    // in record order (every message, unfiltered and unsorted: no list of a million numbers).
    std::vector<std::uint32_t> shown_;
    std::size_t inOrder_ = 0;
    std::size_t rows() const { return shown_.empty() ? inOrder_ : shown_.size(); }
    int sortColumn_ = RecordColumn;
    Qt::SortOrder sortOrder_ = Qt::AscendingOrder;
    bool sortable_ = false;
    std::uint64_t generation_ = 0;  // of the rows shown: a sort of older rows is dropped
    std::thread sorter_;
    std::atomic<bool> abortSort_{false};
    QIcon notDecodedIcon_;
    QColor notDecodedBackground_;
    QColor notDecodedText_;
};

}  // namespace truno::window
