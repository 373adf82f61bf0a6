#pragma once
// The health tab: whether the trunk of the log is healthy, from the trunk's health the decode
// followed (TrunkHealth), as the command-line tool's --kpi, --circuits and --checks show it: the
// KPI table for the whole log and per interval (5 min, 15 min or 1 h), a chart of the seizures
// and the ASR over the log's time, the findings of the protocol checks and the circuits at the
// end of the log (sortable, their state in colour). Choosing a finding or a circuit chooses its
// record and shows the ladder diagram of its call.
#include "analysis/store/MessageStore.h"
#include "analysis/health/TrunkHealth.h"

#include <QWidget>

#include <array>
#include <cstdint>
#include <vector>

class QChartView;
class QComboBox;
class QLabel;
class QScrollArea;
class QSortFilterProxyModel;
class QTabWidget;
class QTableView;
class QTableWidget;

namespace truno::window {

class CircuitListModel;
class FindingListModel;
class LadderDiagram;

class HealthPane : public QWidget {
    Q_OBJECT

public:
    // The intervals the KPIs can be grouped by (milliseconds), and the one shown at first.
    static constexpr std::array<std::int64_t, 3> kIntervals = {std::int64_t{5} * 60000, std::int64_t{15} * 60000,
                                                               std::int64_t{60} * 60000};
    static constexpr std::int64_t kDefaultInterval = kIntervals[1];
    // What the decode keeps of the trunk's health for this tab and the HTML report: the KPIs by
    // the shortest of kIntervals too (the others are sums of its groups), and the ladders of the
    // first failed calls.
    static HealthOptions options();

    // The KPI table's columns (the switch's shown only when its rows are of several switches).
    enum KpiColumn {
        PeriodColumn, SwitchColumn, SeizuresColumn, AnsweredColumn, AsrColumn, ReachedColumn, NerColumn, SetupColumn, AcdColumn,
        ErlangsColumn, KpiColumnCount
    };

    explicit HealthPane(QWidget* parent = nullptr);
    void clear();
    // Shows `health` of the log whose messages `store` holds; both must stay until clear() or the
    // next show().
    // Shown again (a followed log's health as it grows), the tab of the findings or circuits and
    // the one chosen stay.
    void show(const TrunkHealth& health, const MessageStore& store);
    // A health is shown.
    bool showing() const { return health_ != nullptr; }
    // Says what the numbers are of: always the whole log of `total` messages; when a followed
    // log keeps only the last `kept` of them, that a finding's record may have left; and, while
    // the message list is filtered (`shown` of them), that the filter does not apply here.
    void setScope(bool filtered, std::uint64_t shown, std::uint64_t total, std::uint64_t kept);
    QString scope() const;
    // The interval the table's rows after the whole log's and the chart are grouped by.
    std::int64_t interval() const;
    void setInterval(std::int64_t milliseconds);

    QTableWidget* kpiTable() const { return kpis_; }
    QChartView* chart() const { return chart_; }
    QTableView* findingsTable() const { return findings_; }
    QTableView* circuitsTable() const { return circuits_; }
    LadderDiagram* ladder() const { return ladder_; }
    // Chooses the finding, or the circuit, on row `row` of its table as shown.
    void selectFinding(int row);
    void selectCircuit(int row);

signals:
    // A finding or a circuit was chosen: its record (a finding's, a circuit's last).
    void recordChosen(std::uint64_t record);

private:
    // The KPI table and the chart of the interval chosen.
    void showIntervals();
    void showKpis(const std::vector<const KpiSet*>& groups);
    void showChart(const std::vector<const KpiSet*>& groups);
    void findingChanged();
    void circuitChanged();
    // Shows the ladder of the call `record` (or else `orRecord`) belongs to, the arrow of `record`
    // in sight; none: an empty diagram.
    void showCallOf(std::uint64_t record, std::uint64_t orRecord = 0);

    const TrunkHealth* health_ = nullptr;
    const MessageStore* store_ = nullptr;
    QLabel* scope_ = nullptr;
    QLabel* observed_ = nullptr;
    QComboBox* intervals_ = nullptr;
    QTableWidget* kpis_ = nullptr;
    QChartView* chart_ = nullptr;
    QTabWidget* lists_ = nullptr;
    FindingListModel* findingModel_ = nullptr;
    QSortFilterProxyModel* sortedFindings_ = nullptr;
    QTableView* findings_ = nullptr;
    CircuitListModel* circuitModel_ = nullptr;
    QSortFilterProxyModel* sortedCircuits_ = nullptr;
    QTableView* circuits_ = nullptr;
    LadderDiagram* ladder_ = nullptr;
    QScrollArea* ladderScroll_ = nullptr;
    bool refreshing_ = false;  // shown again: a finding or circuit chosen again chooses no record
};

}  // namespace truno::window
