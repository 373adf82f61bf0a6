#include "window/views/HealthTables.h"

#include "output/HealthExports.h"
#include "analysis/facts/LogClock.h"

#include <QColor>
#include <QFont>

#include <algorithm>
#include <utility>

namespace truno::window {

namespace {

QString fromView(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

const QColor kNotDecoded(200, 0, 0);
const QColor kBlocked(200, 0, 0);
const QColor kAttention(176, 96, 0);
const QColor kInUse(0, 64, 160);
const QColor kIdle(0, 128, 0);

QVariant rightAligned() { return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter); }

}  // namespace

// ---------------------------------------------------------------- FindingListModel

FindingListModel::FindingListModel(QObject* parent) : QAbstractTableModel(parent) {}

void FindingListModel::reset(std::span<const Finding> findings) {
    beginResetModel();
    findings_ = findings;
    const auto named = std::find_if(findings.begin(), findings.end(), [](const Finding& f) { return !f.switchName.empty(); });
    severalSwitches_ = named != findings.end() && std::any_of(named, findings.end(), [&named](const Finding& f) {
                           return !f.switchName.empty() && f.switchName != named->switchName;
                       });
    withRoutes_ = std::any_of(findings.begin(), findings.end(), [](const Finding& f) { return !f.route.empty(); });
    endResetModel();
}

QString FindingListModel::text(const Finding& finding) {
    QString text = fromView(findingKindName(finding.kind)) + QStringLiteral(": ") + QString::fromStdString(finding.sentence);
    if (finding.otherRecord != 0) text += tr(" (record %1)").arg(finding.otherRecord);
    return text;
}

int FindingListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(findings_.size());
}

int FindingListModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : ColumnCount; }

QVariant FindingListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) return {};
    const Finding& f = finding(index.row());
    if (role == Qt::TextAlignmentRole)
        return index.column() == RecordColumn || index.column() == CircuitColumn ? rightAligned() : QVariant();
    if (role == Qt::ForegroundRole && f.kind == FindingKind::NotDecoded) return kNotDecoded;
    if (role == Qt::ToolTipRole && index.column() == FindingColumn) return text(f);
    if (role != Qt::DisplayRole && role != Qt::UserRole) return {};
    const bool sortKey = role == Qt::UserRole;
    switch (index.column()) {
        case RecordColumn:
            if (f.record == 0) return sortKey ? QVariant::fromValue<qulonglong>(0) : QVariant();
            return QVariant::fromValue<qulonglong>(f.record);
        case TimeColumn:
            if (sortKey) return QVariant::fromValue<qlonglong>(f.at.value_or(-1));
            return QString::fromStdString(f.time);
        case SwitchColumn: return QString::fromStdString(f.switchName);
        case CircuitColumn:
            if (!f.circuit) return sortKey ? QVariant::fromValue<qlonglong>(-1) : QVariant();
            return *f.circuit;
        case FindingColumn: return text(f);
        case RouteColumn: return QString::fromStdString(f.route);
        default: return {};
    }
}

QVariant FindingListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
    switch (section) {
        case RecordColumn: return tr("Record");
        case TimeColumn: return tr("Time");
        case SwitchColumn: return tr("Switch");
        case CircuitColumn: return tr("Circuit");
        case FindingColumn: return tr("Finding");
        case RouteColumn: return tr("Route");
        default: return {};
    }
}

// ---------------------------------------------------------------- CircuitListModel

CircuitListModel::CircuitListModel(QObject* parent) : QAbstractTableModel(parent) {}

void CircuitListModel::reset(std::vector<const CircuitState*> circuits, const CircuitHealth* health) {
    beginResetModel();
    circuits_ = std::move(circuits);
    health_ = health;
    severalSwitches_ = health != nullptr && !circuits_.empty() &&
                       std::any_of(circuits_.begin(), circuits_.end(), [this](const CircuitState* c) {
                           return c->switchIndex != circuits_.front()->switchIndex;
                       });
    withRoutes_ = std::any_of(circuits_.begin(), circuits_.end(), [](const CircuitState* c) { return !c->route.empty(); });
    endResetModel();
}

QColor CircuitListModel::stateColour(const CircuitState& circuit) {
    if (circuit.blocked != 0 || circuit.resetPending) return kBlocked;
    if (circuit.needsAttention()) return kAttention;
    // A call in progress is no fault, as the analysis judges it.
    if (circuit.call == CallState::Busy || circuit.call == CallState::AwaitingReleaseComplete) return kInUse;
    return kIdle;
}

int CircuitListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(circuits_.size());
}

int CircuitListModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : ColumnCount; }

QVariant CircuitListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) return {};
    const CircuitState& c = circuit(index.row());
    const int column = index.column();
    if (role == Qt::TextAlignmentRole) return column == StateColumn || column == SwitchColumn ? QVariant() : rightAligned();
    if (column == StateColumn && role == Qt::ForegroundRole) return stateColour(c);
    if (column == StateColumn && role == Qt::ToolTipRole && c.callRecord != 0 &&
        (c.call == CallState::Busy || c.call == CallState::AwaitingReleaseComplete))
        return tr("The call of record %1").arg(c.callRecord);
    if (column == StateColumn && role == Qt::FontRole && c.needsAttention()) {
        QFont bold;
        bold.setBold(true);
        return bold;
    }
    if (role != Qt::DisplayRole && role != Qt::UserRole) return {};
    const bool sortKey = role == Qt::UserRole;
    switch (column) {
        case SwitchColumn: return health_ != nullptr ? fromView(health_->switchName(c)) : QString();
        case CodeColumn: return c.code;
        case StateColumn: {
            // Busy since when; the call's record is the tool tip's (and the ladder's, once chosen),
            // so that the state keeps to the room the counts leave it.
            QString state = QString::fromStdString(circuitStateText(c));
            if (c.call == CallState::Busy || c.call == CallState::AwaitingReleaseComplete) {
                std::string since = "-";
                if (c.since) {
                    since.clear();
                    appendInstant(since, *c.since);
                }
                state += tr(" since %1").arg(QString::fromStdString(since));
            }
            // Sorted: those that need attention first.
            return sortKey ? QString(c.needsAttention() ? QStringLiteral("0 ") : QStringLiteral("1 ")) + state : state;
        }
        case SeizuresColumn: return QVariant::fromValue<qulonglong>(c.seizures);
        case AnsweredColumn: return QVariant::fromValue<qulonglong>(c.answered);
        case HoldingColumn:
            return sortKey ? QVariant::fromValue<qlonglong>(c.holding)
                           : QVariant(QString::fromStdString(secondsText(static_cast<double>(c.holding))));
        case ResetsColumn: return QVariant::fromValue<qulonglong>(c.resets);
        case BlockingsColumn: return QVariant::fromValue<qulonglong>(c.blockings);
        case LastRecordColumn: return QVariant::fromValue<qulonglong>(c.lastRecord);
        case RouteColumn: return QString::fromStdString(c.route);
        default: return {};
    }
}

QVariant CircuitListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
    switch (section) {
        case SwitchColumn: return tr("Switch");
        case CodeColumn: return tr("Circuit");
        case StateColumn: return tr("State");
        case SeizuresColumn: return tr("Seizures");
        case AnsweredColumn: return tr("Answered");
        case HoldingColumn: return tr("Holding (s)");
        case ResetsColumn: return tr("Resets");
        case BlockingsColumn: return tr("Blockings");
        case LastRecordColumn: return tr("Last record");
        case RouteColumn: return tr("Route");
        default: return {};
    }
}

}  // namespace truno::window
