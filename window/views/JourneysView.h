#pragma once
// The journeys tab: the calls of several traces joined end to end (analysis/journeys), as the
// tool's --journeys shows them. The table lists the journeys, failed first (id, origin and final
// switch, legs, outcome, cause, where the release began, setup delay, messages lost, ambiguous
// links marked); the journey chosen is drawn as a ladder across every switch it crossed (one
// column per switch, each message from the switch that sent it to the one that received it, at
// its time on the common clock, those sent and never received in red), and beside it what each
// transit switch changed and the journey's story.
#include "analysis/journeys/Journeys.h"

#include <QAbstractTableModel>
#include <QStringList>
#include <QWidget>

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

class QLabel;
class QPushButton;
class QPlainTextEdit;
class QTableView;
class QTreeWidget;

namespace truno::window {

class JourneyListModel : public QAbstractTableModel {
    Q_OBJECT

public:
    enum Column {
        IdColumn, OriginColumn, FinalColumn, LegsColumn, OutcomeColumn, CauseColumn, ReleasedAtColumn,
        SetupColumn, LostColumn, AmbiguousColumn, ColumnCount
    };
    explicit JourneyListModel(QObject* parent = nullptr);
    void reset(const JourneyReport* report);
    // The journey on `row`; null for none.
    const Journey* journey(int row) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    const JourneyReport* report_ = nullptr;
};

// One message of a journey as the ladder draws it, between the columns of two switches.
struct JourneyArrow {
    int from = 0, to = 0;                 // columns: the switch that sent it, the one that received it
    std::uint8_t type = 0;
    std::optional<std::int64_t> sentAt;   // on the common clock; none where it was not seen sent
    std::optional<std::int64_t> receivedAt;
    std::uint32_t trace = 0;              // where it was seen (the sending end's, where both saw it)
    std::uint64_t record = 0;
    bool lost = false;                    // sent and never received
    bool unsent = false;                  // received and never sent
    bool oneEnd = false;                  // its leg was seen at one end only
};

// The switches of a journey, one per column: its origin, then where each leg goes ("?": not known).
QStringList journeySwitches(const JourneyReport& report, const Journey& journey);
// The messages of every leg of a journey, in the order of their times on the common clock.
std::vector<JourneyArrow> journeyArrows(const JourneyReport& report, const Journey& journey);

class JourneyLadder : public QWidget {
    Q_OBJECT

public:
    explicit JourneyLadder(QWidget* parent = nullptr);
    // Draws `journey` (null: none).
    void setJourney(const JourneyReport* report, const Journey* journey);
    const QStringList& switches() const { return switches_; }
    const std::vector<JourneyArrow>& arrows() const { return arrows_; }
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int columnX(int column) const;
    QString labelOf(const JourneyArrow& arrow) const;

    const JourneyReport* report_ = nullptr;
    QStringList switches_;
    std::vector<JourneyArrow> arrows_;
    QString title_;
    int rowHeight_ = 32;
    int top_ = 56;
};

class JourneysPane : public QWidget {
    Q_OBJECT

public:
    explicit JourneysPane(QWidget* parent = nullptr);
    ~JourneysPane() override;
    // Shows the journeys of `report` (null: none) and the summary of the traces, one a line.
    void setReport(std::unique_ptr<JourneyReport> report, const QStringList& summary);
    // What the pane says above the table while the traces are read; `running`: with its Cancel
    // button.
    void setStatus(const QString& text, bool running = false);
    const JourneyReport* report() const { return report_.get(); }
    QTableView* table() const { return table_; }
    JourneyListModel* model() const { return model_; }
    JourneyLadder* ladder() const { return ladder_; }
    QTreeWidget* changes() const { return changes_; }
    QPlainTextEdit* story() const { return story_; }
    QLabel* status() const { return status_; }
    void selectRow(int row);

signals:
    void cancelRequested();

private:
    void currentChanged();

    std::unique_ptr<JourneyReport> report_;
    QLabel* status_ = nullptr;
    QPushButton* cancel_ = nullptr;
    JourneyListModel* model_ = nullptr;
    QTableView* table_ = nullptr;
    JourneyLadder* ladder_ = nullptr;
    QTreeWidget* changes_ = nullptr;
    QPlainTextEdit* story_ = nullptr;
};

}  // namespace truno::window
