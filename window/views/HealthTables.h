#pragma once
// The tables of the health tab: the findings of the protocol checks (record, time, circuit, what
// was found) and the circuits at the end of the log (code, state in colour, seizures, answers,
// holding time, resets, blockings, last record), as the command-line tool's --checks and
// --circuits list them. Both give numbers for sorting under Qt::UserRole.
#include "analysis/health/CircuitHealth.h"

#include <QAbstractTableModel>

#include <span>
#include <vector>

namespace truno::window {

class FindingListModel : public QAbstractTableModel {
    Q_OBJECT

public:
    // RouteColumn: of a capture's circuit, its pair of point codes; empty for a log's.
    enum Column { RecordColumn, TimeColumn, CircuitColumn, FindingColumn, RouteColumn, ColumnCount };
    explicit FindingListModel(QObject* parent = nullptr);
    // The findings shown (empty: none); they must outlive the model's use of them.
    void reset(std::span<const Finding> findings);
    const Finding& finding(int row) const { return findings_[static_cast<std::size_t>(row)]; }
    // "kind: sentence", as --checks writes it.
    static QString text(const Finding& finding);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    std::span<const Finding> findings_;
};

class CircuitListModel : public QAbstractTableModel {
    Q_OBJECT

public:
    enum Column {
        CodeColumn, StateColumn, SeizuresColumn, AnsweredColumn, HoldingColumn, ResetsColumn, BlockingsColumn,
        LastRecordColumn, RouteColumn, ColumnCount
    };
    explicit CircuitListModel(QObject* parent = nullptr);
    // The circuits shown, in the order CircuitHealth::circuits() gives them; they must outlive the
    // model's use of them.
    void reset(std::vector<const CircuitState*> circuits);
    const CircuitState& circuit(int row) const { return *circuits_[static_cast<std::size_t>(row)]; }
    // The colour of a circuit's state: blocked or reset pending, busy or waiting for its RLC, idle.
    static QColor stateColour(const CircuitState& circuit);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    std::vector<const CircuitState*> circuits_;
};

}  // namespace truno::window
