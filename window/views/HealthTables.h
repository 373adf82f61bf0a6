#pragma once
// The tables of the health tab: the findings of the protocol checks (record, time, circuit, what
// was found) and the circuits at the end of the log (code, seizures, answers, holding time, resets,
// blockings, last record, state in colour), as the command-line tool's --checks and
// --circuits list them. Both give numbers for sorting under Qt::UserRole.
#include "analysis/health/CircuitHealth.h"

#include <QAbstractTableModel>

#include <span>
#include <vector>

namespace truno::window {

class FindingListModel : public QAbstractTableModel {
    Q_OBJECT

public:
    // The switch column is shown only when the findings are of several switches, the route column
    // (of a capture's circuit, its pair of point codes) only when one has a route.
    enum Column { RecordColumn, TimeColumn, SwitchColumn, RouteColumn, CircuitColumn, FindingColumn, ColumnCount };
    explicit FindingListModel(QObject* parent = nullptr);
    // The findings shown (empty: none); they must outlive the model's use of them.
    void reset(std::span<const Finding> findings);
    const Finding& finding(int row) const { return findings_[static_cast<std::size_t>(row)]; }
    // The findings name more than one switch (input warnings name none).
    bool ofSeveralSwitches() const { return severalSwitches_; }
    // Some of them are on a route (of a capture): the route column is shown.
    bool withRoutes() const { return withRoutes_; }
    // "kind: sentence", as --checks writes it.
    static QString text(const Finding& finding);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    std::span<const Finding> findings_;
    bool severalSwitches_ = false;
    bool withRoutes_ = false;
};

class CircuitListModel : public QAbstractTableModel {
    Q_OBJECT

public:
    // The switch column is shown only when the circuits are of several switches. The state comes
    // last, taking the room left: the counts beside the code stay in sight whatever its length.
    enum Column {
        SwitchColumn, RouteColumn, CodeColumn, SeizuresColumn, AnsweredColumn, HoldingColumn, ResetsColumn,
        BlockingsColumn, LastRecordColumn, StateColumn, ColumnCount
    };
    explicit CircuitListModel(QObject* parent = nullptr);
    // The circuits shown, in the order CircuitHealth::circuits() gives them, and the health that
    // names their switches (null: none shown); they must outlive the model's use of them.
    void reset(std::vector<const CircuitState*> circuits, const CircuitHealth* health = nullptr);
    bool ofSeveralSwitches() const { return severalSwitches_; }
    // Some of them are on a route (of a capture): the route column is shown.
    bool withRoutes() const { return withRoutes_; }
    const CircuitState& circuit(int row) const { return *circuits_[static_cast<std::size_t>(row)]; }
    // The colour of a circuit's state: blocked or reset pending, another state that needs attention
    // (CircuitState::needsAttention), a call in progress that does not, idle.
    static QColor stateColour(const CircuitState& circuit);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    std::vector<const CircuitState*> circuits_;
    const CircuitHealth* health_ = nullptr;
    bool severalSwitches_ = false;
    bool withRoutes_ = false;
};

}  // namespace truno::window
