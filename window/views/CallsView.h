#pragma once
// The calls tab: the calls table of the analysis layer (call instance code, start, calling and
// called numbers, outcome, cause phrase, setup, answer and conversation times, messages), and
// the ladder diagram of the call chosen: this side and the far side as two lines, one arrow per
// message in the direction it travelled (S: sent, R: received), labelled with its type and time;
// messages that were not decoded in red. Clicking an arrow chooses its record.
#include "analysis/store/MessageStore.h"

#include <QAbstractTableModel>
#include <QWidget>

#include <cstdint>
#include <utility>
#include <vector>

class QSortFilterProxyModel;
class QTableView;

namespace truno::window {

class CallListModel : public QAbstractTableModel {
    Q_OBJECT

public:
    enum Column {
        CodeColumn, StartColumn, CallingColumn, CalledColumn, OutcomeColumn, CauseColumn,
        SetupColumn, AnswerColumn, ConversationColumn, MessagesColumn,
        RouteColumn,  // of a capture's call: its pair of point codes; empty for a log's
        ColumnCount
    };
    explicit CallListModel(QObject* parent = nullptr);
    void reset(const MessageStore* store);
    // The store has more finished calls.
    void update();
    // Some calls are on a route (of a capture): the route column is shown.
    bool withRoutes() const { return withRoutes_; }
    // The store has let the calls at `positions` go (their positions before, rising): their
    // rows go.
    void callsRemoved(const std::vector<std::size_t>& positions);
    // The call on `row`; null while its row is being removed.
    const CallRow* call(int row) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    bool withRoutes_ = false;
    void noteRoutes(std::size_t from);
    const MessageStore* store_ = nullptr;
    int rows_ = 0;
    // While the rows of calls let go are removed, one range at a time from the last: the ranges
    // whose rows are still there (first and last row).
    std::vector<std::pair<int, int>> goingRows_;
};

class LadderDiagram : public QWidget {
    Q_OBJECT

public:
    explicit LadderDiagram(QWidget* parent = nullptr);

    // Draws the messages of `call` (none: empty).
    void setCall(const MessageStore* store, const CallRow* call);
    struct Arrow {
        std::uint64_t record = 0;
        bool sent = true;  // this side to the far side
        bool decoded = true;
        QString label;
    };
    const std::vector<Arrow>& arrows() const { return arrows_; }
    // The arrow the keys are on and the band marks (a click moves it too).
    std::size_t currentArrow() const { return current_; }
    // The diagram's title (also the SVG's): "Call on CIC 12: 123 to 456, answered", leaving out
    // a number the call does not have.
    const QString& title() const { return title_; }
    static QString titleOf(std::uint32_t code, const QString& calling, const QString& called, const QString& outcome);
    // The record of the arrow at `point`; 0 for none.
    std::uint64_t recordAt(QPoint point) const;
    QPoint arrowPoint(std::size_t k) const;
    // Saves the diagram as PNG or SVG (by the file's suffix); false when it cannot be written.
    bool save(const QString& path) const;
    QSize sizeHint() const override;

signals:
    void recordClicked(std::uint64_t record);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    // Up and Down move among the arrows, Return or Space chooses the arrow's record.
    void keyPressEvent(QKeyEvent* event) override;

private:
    void paint(QPainter& painter, QSize size) const;
    int rowY(std::size_t k) const;

    std::vector<Arrow> arrows_;
    std::size_t current_ = 0;  // the arrow the keys are on
    QString title_;
    int rowHeight_ = 32;
    int top_ = 56;
};

class CallsPane : public QWidget {
    Q_OBJECT

public:
    explicit CallsPane(QWidget* parent = nullptr);
    void reset(const MessageStore* store);
    void update();
    QTableView* table() const { return table_; }
    LadderDiagram* ladder() const { return ladder_; }
    CallListModel* model() const { return model_; }
    // Chooses the call on row `row` of the table as shown.
    void selectRow(int row);
    // The calls at `positions` of the store's calls (rising) are about to be let go: the choice
    // of one of them is let go first (the message list's filter on it with it).
    void callsLeaving(const std::vector<std::size_t>& positions);
    // They are gone from the store: their rows go.
    void callsRemoved(const std::vector<std::size_t>& positions) { model_->callsRemoved(positions); }

signals:
    // A call was chosen (0: none), named for the message list's filter.
    void callChosen(std::uint64_t firstRecord, const QString& name);
    void saveDiagramRequested();

private:
    void currentChanged();

    const MessageStore* store_ = nullptr;
    CallListModel* model_ = nullptr;
    QSortFilterProxyModel* sorted_ = nullptr;
    QTableView* table_ = nullptr;
    LadderDiagram* ladder_ = nullptr;
};

}  // namespace truno::window
