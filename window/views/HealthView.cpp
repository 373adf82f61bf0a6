#include "window/views/HealthView.h"

#include "output/HealthExports.h"
#include "analysis/facts/LogClock.h"
#include "window/views/CallsView.h"
#include "window/views/HealthTables.h"

#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QDateTime>
#include <QDateTimeAxis>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineSeries>
#include <QLocale>
#include <QScrollArea>
#include <QSortFilterProxyModel>
#include <QSplitter>
#include <QTabWidget>
#include <QTableView>
#include <QTableWidget>
#include <QTimeZone>
#include <QValueAxis>
#include <QVBoxLayout>

#include <algorithm>
#include <map>
#include <optional>
#include <string>

namespace truno::window {

namespace {

QString fromString(const std::string& text) { return QString::fromStdString(text); }

QString countOf(std::uint64_t n) { return QLocale().toString(static_cast<qulonglong>(n)); }

QString instantOf(std::optional<std::int64_t> at) {
    if (!at) return QStringLiteral("-");
    std::string text;
    appendInstant(text, *at);
    return fromString(text);
}

QString intervalName(std::int64_t milliseconds) {
    return milliseconds % 3600000 == 0 ? HealthPane::tr("%1 h").arg(milliseconds / 3600000)
                                       : HealthPane::tr("%1 min").arg(milliseconds / 60000);
}

// The call `record` belongs to; null when it belongs to none (or is not among the messages held).
const CallRow* callOf(const MessageStore& store, std::uint64_t record) {
    const std::optional<std::size_t> message = store.indexOf(record);
    if (!message) return nullptr;
    const std::uint64_t first = store.callFirstRecord(*message);
    if (first == 0) return nullptr;
    // The calls come in the order of their first records, but for a call left open very long.
    const std::vector<CallRow>& calls = store.calls();
    const auto byFirst = [](const CallRow& call, std::uint64_t at) { return call.firstRecord < at; };
    const auto found = std::lower_bound(calls.begin(), calls.end(), first, byFirst);
    if (found != calls.end() && found->firstRecord == first) return &*found;
    const auto any = std::find_if(calls.begin(), calls.end(), [first](const CallRow& c) { return c.firstRecord == first; });
    return any != calls.end() ? &*any : nullptr;
}

// Whether the groups count the seizures of more than one switch, one switch each.
bool ofSeveralSwitches(const std::vector<const KpiSet*>& groups) {
    const auto named = std::find_if(groups.begin(), groups.end(), [](const KpiSet* set) { return !set->switchName.empty(); });
    return named != groups.end() && std::any_of(named, groups.end(), [&named](const KpiSet* set) {
               return !set->switchName.empty() && set->switchName != (*named)->switchName;
           });
}

QTableView* listTable(QWidget* parent, const char* name, QSortFilterProxyModel* model) {
    auto* table = new QTableView(parent);
    table->setObjectName(QString::fromLatin1(name));
    table->setModel(model);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setSelectionMode(QAbstractItemView::SingleSelection);
    table->setSortingEnabled(true);
    table->sortByColumn(-1, Qt::AscendingOrder);  // as the analysis gives them until a header is clicked
    table->verticalHeader()->hide();
    table->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    table->verticalHeader()->setDefaultSectionSize(table->fontMetrics().height() + 6);
    table->horizontalHeader()->setStretchLastSection(true);
    table->setAlternatingRowColors(true);
    table->setWordWrap(false);
    // Thousands of rows: the widths to contents are measured on the first hundred.
    table->horizontalHeader()->setResizeContentsPrecision(100);
    return table;
}

QSortFilterProxyModel* sortedBy(QAbstractItemModel* source, QObject* parent) {
    auto* sorted = new QSortFilterProxyModel(parent);
    sorted->setSourceModel(source);
    sorted->setSortRole(Qt::UserRole);
    return sorted;
}

void replaceChart(QChartView* view, QChart* chart) {
    QChart* old = view->chart();
    view->setChart(chart);
    delete old;
}

QChart* emptyChart(const QString& title) {
    auto* chart = new QChart;
    chart->setTitle(title);
    chart->setAnimationOptions(QChart::NoAnimation);
    chart->setMargins(QMargins(4, 4, 4, 4));
    return chart;
}

}  // namespace

HealthOptions HealthPane::options() {
    HealthOptions options;
    options.ladders = 10;
    options.interval = *std::min_element(kIntervals.begin(), kIntervals.end());
    return options;
}

HealthPane::HealthPane(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("healthPane"));
    scope_ = new QLabel(this);
    scope_->setObjectName(QStringLiteral("healthScope"));
    scope_->setWordWrap(true);
    scope_->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Maximum);

    // The interval chooser and the observed period, above the KPIs.
    intervals_ = new QComboBox(this);
    intervals_->setObjectName(QStringLiteral("healthInterval"));
    for (const std::int64_t interval : kIntervals) intervals_->addItem(intervalName(interval), QVariant::fromValue<qlonglong>(interval));
    intervals_->setCurrentIndex(static_cast<int>(std::find(kIntervals.begin(), kIntervals.end(), kDefaultInterval) - kIntervals.begin()));
    auto* intervalLabel = new QLabel(tr("&Interval:"), this);
    intervalLabel->setBuddy(intervals_);
    observed_ = new QLabel(this);
    observed_->setObjectName(QStringLiteral("healthObserved"));
    observed_->setWordWrap(true);
    observed_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto* chooser = new QHBoxLayout;
    chooser->addWidget(intervalLabel);
    chooser->addWidget(intervals_);
    chooser->addSpacing(12);
    chooser->addWidget(observed_, 1);

    kpis_ = new QTableWidget(0, KpiColumnCount, this);
    kpis_->setObjectName(QStringLiteral("kpiTable"));
    kpis_->setHorizontalHeaderLabels({tr("Period"), tr("Switch"), tr("Seizures"), tr("Answered"), tr("ASR"), tr("Reached user"),
                                      tr("NER"), tr("Setup (s)"), tr("ACD (s)"), tr("Erlangs")});
    const QString tips[KpiColumnCount] = {
        tr("The whole log, then each interval from its start"),
        tr("The switch whose calls the row counts, of files of several switches read as one log"),
        tr("Calls an IAM opened"),
        tr("Seizures answered (ANM or CON)"),
        tr("Answer-seizure ratio (ITU-T E.411): answered over seizures"),
        tr("Seizures that reached the called user: answered, released with a cause NER counts, or abandoned "
           "after alerting"),
        tr("Network effectiveness ratio (ITU-T E.425): reached the called user over seizures"),
        tr("Mean time from the last address message to the first backward message"),
        tr("Average call duration: mean time from the answer to the release"),
        tr("Carried traffic: seizure holding time over the observed period"),
    };
    for (int column = 0; column < KpiColumnCount; ++column) kpis_->horizontalHeaderItem(column)->setToolTip(tips[column]);
    kpis_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    kpis_->setSelectionBehavior(QAbstractItemView::SelectRows);
    kpis_->verticalHeader()->hide();
    kpis_->verticalHeader()->setDefaultSectionSize(kpis_->fontMetrics().height() + 6);
    kpis_->setAlternatingRowColors(true);
    kpis_->setWordWrap(false);
    kpis_->horizontalHeader()->setResizeContentsPrecision(100);

    chart_ = new QChartView(this);
    chart_->setObjectName(QStringLiteral("healthChart"));
    chart_->setRenderHint(QPainter::Antialiasing);
    chart_->setMinimumSize(200, 200);

    findingModel_ = new FindingListModel(this);
    sortedFindings_ = sortedBy(findingModel_, this);
    circuitModel_ = new CircuitListModel(this);
    sortedCircuits_ = sortedBy(circuitModel_, this);
    lists_ = new QTabWidget(this);
    lists_->setObjectName(QStringLiteral("healthLists"));
    findings_ = listTable(lists_, "findingsTable", sortedFindings_);
    circuits_ = listTable(lists_, "circuitsTable", sortedCircuits_);
    lists_->addTab(findings_, tr("Findings"));
    lists_->addTab(circuits_, tr("Circuits"));
    connect(findings_->selectionModel(), &QItemSelectionModel::currentRowChanged, this, &HealthPane::findingChanged);
    connect(circuits_->selectionModel(), &QItemSelectionModel::currentRowChanged, this, &HealthPane::circuitChanged);

    ladder_ = new LadderDiagram(this);
    ladder_->setObjectName(QStringLiteral("healthLadder"));
    ladderScroll_ = new QScrollArea(this);
    ladderScroll_->setObjectName(QStringLiteral("healthLadderScroll"));
    ladderScroll_->setWidget(ladder_);
    ladderScroll_->setWidgetResizable(false);
    ladderScroll_->setBackgroundRole(QPalette::Base);

    // Top down: the KPIs, their chart over the log's time, the findings and circuits, the ladder.
    auto* splitter = new QSplitter(Qt::Vertical, this);
    splitter->setObjectName(QStringLiteral("healthSplitter"));
    splitter->setChildrenCollapsible(false);
    splitter->addWidget(kpis_);
    splitter->addWidget(chart_);
    splitter->addWidget(lists_);
    splitter->addWidget(ladderScroll_);
    const int line = kpis_->verticalHeader()->defaultSectionSize();
    splitter->setSizes({5 * line, 14 * line, 10 * line, 8 * line});

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(scope_, 0);
    layout->addLayout(chooser, 0);
    layout->addWidget(splitter, 1);

    connect(intervals_, &QComboBox::currentIndexChanged, this, [this] {
        showIntervals();
    });
    clear();
}

std::int64_t HealthPane::interval() const { return intervals_->currentData().toLongLong(); }

void HealthPane::setInterval(std::int64_t milliseconds) {
    const int index = intervals_->findData(QVariant::fromValue<qlonglong>(milliseconds));
    if (index >= 0) intervals_->setCurrentIndex(index);
}

void HealthPane::setScope(bool filtered, std::uint64_t shown, std::uint64_t total, std::uint64_t kept) {
    if (total == 0) {
        scope_->clear();
        return;
    }
    QString text = filtered ? tr("The KPIs, findings and circuits are of the whole log (%1 messages): the message "
                                 "filter, which shows %2 of them, does not apply here.")
                                  .arg(countOf(total), countOf(shown))
                            : tr("The KPIs, findings and circuits are of the whole log (%1 messages).").arg(countOf(total));
    if (kept < total)
        text += QLatin1Char(' ') + tr("The window keeps the last %1 of them: the records of older findings have left "
                                      "the report.")
                                       .arg(countOf(kept));
    scope_->setText(text);
}

QString HealthPane::scope() const { return scope_->text(); }

void HealthPane::clear() {
    health_ = nullptr;
    store_ = nullptr;
    observed_->clear();
    kpis_->setRowCount(0);
    replaceChart(chart_, emptyChart({}));
    findingModel_->reset({});
    circuitModel_->reset({});
    lists_->setTabText(0, tr("Findings"));
    lists_->setTabText(1, tr("Circuits"));
    ladder_->setCall(nullptr, nullptr);
}

void HealthPane::show(const TrunkHealth& health, const MessageStore& store) {
    // Shown again: the finding or circuit chosen is chosen again, by what it is (its record and
    // kind, its switch and code), without choosing its record once more.
    const bool again = health_ != nullptr;
    std::optional<std::pair<std::uint64_t, FindingKind>> finding;
    std::optional<std::pair<SwitchIndex, std::uint32_t>> circuit;
    if (const QModelIndex chosen = sortedFindings_->mapToSource(findings_->currentIndex()); again && chosen.isValid()) {
        const Finding& f = findingModel_->finding(chosen.row());
        finding.emplace(f.record, f.kind);
    }
    if (const QModelIndex chosen = sortedCircuits_->mapToSource(circuits_->currentIndex()); again && chosen.isValid()) {
        const CircuitState& c = circuitModel_->circuit(chosen.row());
        circuit.emplace(c.switchIndex, c.code);
    }
    health_ = &health;
    store_ = &store;
    const TrafficKpis& kpis = health.kpis();
    observed_->setText(tr("Observed %1 to %2 (%3 s) · most circuits busy at once: %4 · failed calls: %5")
                           .arg(instantOf(kpis.first()), instantOf(kpis.last()),
                                fromString(secondsText(static_cast<double>(kpis.total().observed))),
                                countOf(kpis.peakBusy()), countOf(health.failedCalls())));
    showIntervals();

    const CircuitHealth& circuits = health.circuits();
    refreshing_ = true;
    findingModel_->reset(circuits.findings());
    const std::uint64_t found = circuits.findingCount();
    lists_->setTabText(0, found > circuits.findings().size()
                              ? tr("Findings (first %1 of %2)").arg(countOf(circuits.findings().size()), countOf(found))
                              : tr("Findings (%1)").arg(countOf(found)));
    std::vector<const CircuitState*> states = circuits.circuits();
    const auto attention = std::count_if(states.begin(), states.end(), [](const CircuitState* c) { return c->needsAttention(); });
    lists_->setTabText(1, attention > 0 ? tr("Circuits (%1, %2 need attention)")
                                              .arg(countOf(states.size()), countOf(static_cast<std::uint64_t>(attention)))
                                        : tr("Circuits (%1)").arg(countOf(states.size())));
    circuitModel_->reset(std::move(states), &circuits);
    // The switch of each, where there are several (files of several switches read as one run).
    findings_->setColumnHidden(FindingListModel::SwitchColumn, !findingModel_->ofSeveralSwitches());
    circuits_->setColumnHidden(CircuitListModel::SwitchColumn, !circuitModel_->ofSeveralSwitches());
    // The route of each, where a capture gives them.
    findings_->setColumnHidden(FindingListModel::RouteColumn, !findingModel_->withRoutes());
    circuits_->setColumnHidden(CircuitListModel::RouteColumn, !circuitModel_->withRoutes());
    for (QTableView* table : {findings_, circuits_}) table->resizeColumnsToContents();
    if (!again) {
        // The findings first when there are any, else the circuits.
        lists_->setCurrentIndex(found > 0 ? 0 : 1);
        ladder_->setCall(nullptr, nullptr);
    } else {
        ladder_->setCall(nullptr, nullptr);
        const auto findingRow = [&]() -> int {
            for (int row = 0; finding && row < findingModel_->rowCount(); ++row) {
                const Finding& f = findingModel_->finding(row);
                if (f.record == finding->first && f.kind == finding->second) return row;
            }
            return -1;
        };
        const auto circuitRow = [&]() -> int {
            for (int row = 0; circuit && row < circuitModel_->rowCount(); ++row) {
                const CircuitState& c = circuitModel_->circuit(row);
                if (c.switchIndex == circuit->first && c.code == circuit->second) return row;
            }
            return -1;
        };
        const auto choose = [](QTableView* table, const QModelIndex& index) {
            if (index.isValid())
                table->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        };
        // Both are chosen again; the ladder is of the tab shown.
        if (const int row = findingRow(); row >= 0) choose(findings_, sortedFindings_->mapFromSource(findingModel_->index(row, 0)));
        if (const int row = circuitRow(); row >= 0) choose(circuits_, sortedCircuits_->mapFromSource(circuitModel_->index(row, 0)));
        if (lists_->currentWidget() == findings_) findingChanged();
        else circuitChanged();
    }
    refreshing_ = false;
}

void HealthPane::showIntervals() {
    // The health's own groups, or the groups of a longer interval gathered from them, held only
    // while they are shown.
    std::vector<KpiSet> regrouped;
    std::vector<const KpiSet*> groups;
    if (const TrafficKpis* grouped = health_ != nullptr ? health_->kpisByInterval() : nullptr) {
        if (grouped->options().interval == interval()) {
            groups = grouped->groups();
        } else {
            regrouped = regroupKpis(*grouped, interval());
            for (const KpiSet& set : regrouped) groups.push_back(&set);
        }
    }
    showKpis(groups);
    showChart(groups);
}

void HealthPane::showKpis(const std::vector<const KpiSet*>& groups) {
    kpis_->setRowCount(0);
    if (health_ == nullptr) return;
    std::vector<const KpiSet*> rows{&health_->kpis().total()};
    rows.insert(rows.end(), groups.begin(), groups.end());
    kpis_->setRowCount(static_cast<int>(rows.size()));
    QFont bold = kpis_->font();
    bold.setBold(true);
    for (std::size_t k = 0; k < rows.size(); ++k) {
        const KpiSet& set = *rows[k];
        const auto row = static_cast<int>(k);
        const QString cells[KpiColumnCount] = {
            k == 0 ? tr("Whole log") : fromString(groupName(set)),
            fromString(set.switchName),
            countOf(set.seizures),
            countOf(set.answered),
            fromString(percentText(set.answered, set.seizures)),
            countOf(set.reachedUser),
            fromString(percentText(set.reachedUser, set.seizures)),
            fromString(secondsText(set.setup.mean())),
            fromString(secondsText(set.conversation.mean())),
            QString::number(set.erlangs(), 'f', 4),
        };
        for (int column = 0; column < KpiColumnCount; ++column) {
            auto* item = new QTableWidgetItem(cells[column]);
            if (column != PeriodColumn && column != SwitchColumn) item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            if (k == 0) item->setFont(bold);
            kpis_->setItem(row, column, item);
        }
        kpis_->item(row, AsrColumn)->setToolTip(tr("%1 answered / %2 seizures").arg(countOf(set.answered), countOf(set.seizures)));
        kpis_->item(row, NerColumn)->setToolTip(
            tr("%1 reached the called user / %2 seizures").arg(countOf(set.reachedUser), countOf(set.seizures)));
    }
    kpis_->setColumnHidden(SwitchColumn, !ofSeveralSwitches(groups));
    kpis_->resizeColumnsToContents();
}

void HealthPane::showChart(const std::vector<const KpiSet*>& groups) {
    const std::int64_t step = interval();
    QChart* chart = emptyChart(tr("Seizures and ASR per %1").arg(intervalName(step)));
    // Of several switches, whose intervals fall at the same times of day: a line of seizures per
    // switch, and the ASR of them all per interval.
    const bool several = ofSeveralSwitches(groups);
    std::map<std::string, QLineSeries*> seizures;  // by switch name
    std::map<std::int64_t, std::pair<std::uint64_t, std::uint64_t>> asrCounts;  // start -> seizures, answered
    double top = 1;
    std::optional<std::int64_t> first;
    std::int64_t last = 0;
    for (const KpiSet* set : groups) {
        if (!set->start) continue;  // calls whose time is not known
        // Each interval's point stands in its middle.
        const double x = static_cast<double>(*set->start) + static_cast<double>(step) / 2.0;
        QLineSeries*& line = seizures[several ? set->switchName : std::string()];
        if (line == nullptr) {
            line = new QLineSeries;
            line->setName(several ? tr("Seizures (%1)").arg(fromString(set->switchName)) : tr("Seizures"));
        }
        line->append(x, static_cast<double>(set->seizures));
        top = std::max(top, static_cast<double>(set->seizures));
        auto& [tried, answered] = asrCounts[*set->start];
        tried += set->seizures;
        answered += set->answered;
        first = std::min(first.value_or(*set->start), *set->start);
        last = std::max(last, *set->start);
    }
    if (!first) {
        chart->setTitle(tr("Seizures and ASR per %1: no seizure in the log").arg(intervalName(step)));
        replaceChart(chart_, chart);
        return;
    }
    auto* asr = new QLineSeries;
    asr->setName(tr("ASR (%)"));
    for (const auto& [start, counts] : asrCounts) {
        if (counts.first > 0)
            asr->append(static_cast<double>(start) + static_cast<double>(step) / 2.0,
                        100.0 * static_cast<double>(counts.second) / static_cast<double>(counts.first));
    }
    std::vector<QLineSeries*> lines;
    lines.reserve(seizures.size() + 1);
    for (const auto& [name, line] : seizures) lines.push_back(line);
    lines.push_back(asr);
    for (QLineSeries* line : lines) {
        line->setPointsVisible(true);
        chart->addSeries(line);
    }
    // The log's time line starts at the midnight before its first message: shown as times of day.
    auto* x = new QDateTimeAxis;
    x->setFormat(QStringLiteral("HH:mm"));
    x->setTitleText(tr("time of day (log)"));
    x->setTickCount(5);
    const auto moment = [](std::int64_t at) { return QDateTime::fromMSecsSinceEpoch(at, QTimeZone::utc()); };
    x->setRange(moment(*first), moment(last + step));
    auto* counts = new QValueAxis;
    counts->setRange(0, std::max(4.0, top));  // whole numbers on the ticks however few the seizures
    counts->applyNiceNumbers();
    counts->setLabelFormat(QStringLiteral("%.0f"));
    counts->setTitleText(tr("seizures"));
    auto* percent = new QValueAxis;
    percent->setRange(0, 100);
    percent->setTickCount(6);
    percent->setLabelFormat(QStringLiteral("%.0f"));
    percent->setTitleText(tr("ASR %"));
    chart->addAxis(x, Qt::AlignBottom);
    chart->addAxis(counts, Qt::AlignLeft);
    chart->addAxis(percent, Qt::AlignRight);
    for (QLineSeries* line : lines) {
        line->attachAxis(x);
        line->attachAxis(line == asr ? percent : counts);
    }
    chart->legend()->setAlignment(Qt::AlignBottom);
    replaceChart(chart_, chart);
}

void HealthPane::selectFinding(int row) {
    lists_->setCurrentWidget(findings_);
    findings_->selectionModel()->setCurrentIndex(sortedFindings_->index(row, 0),
                                                 QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

void HealthPane::selectCircuit(int row) {
    lists_->setCurrentWidget(circuits_);
    circuits_->selectionModel()->setCurrentIndex(sortedCircuits_->index(row, 0),
                                                 QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

void HealthPane::showCallOf(std::uint64_t record, std::uint64_t orRecord) {
    const CallRow* call = store_ != nullptr ? callOf(*store_, record) : nullptr;
    if (call == nullptr && store_ != nullptr) call = callOf(*store_, orRecord);
    ladder_->setCall(store_, call);
    const auto& arrows = ladder_->arrows();
    for (std::size_t k = 0; k < arrows.size(); ++k) {
        if (arrows[k].record != record) continue;
        const QPoint at = ladder_->arrowPoint(k);
        ladderScroll_->ensureVisible(at.x(), at.y(), 0, 2 * fontMetrics().height());
        break;
    }
}

void HealthPane::findingChanged() {
    const QModelIndex current = sortedFindings_->mapToSource(findings_->currentIndex());
    if (!current.isValid()) return;
    const Finding& finding = findingModel_->finding(current.row());
    showCallOf(finding.record);
    if (finding.record != 0 && !refreshing_) emit recordChosen(finding.record);
}

void HealthPane::circuitChanged() {
    const QModelIndex current = sortedCircuits_->mapToSource(circuits_->currentIndex());
    if (!current.isValid()) return;
    const CircuitState& circuit = circuitModel_->circuit(current.row());
    // Its last message, and the call it belongs to, or else the call last seized on it.
    showCallOf(circuit.lastRecord, circuit.callRecord);
    if (circuit.lastRecord != 0 && !refreshing_) emit recordChosen(circuit.lastRecord);
}

}  // namespace truno::window
