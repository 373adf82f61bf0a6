#include "window/views/JourneysView.h"

#include "window/views/LadderPainting.h"

#include "analysis/facts/LogClock.h"
#include "output/JourneyExports.h"
#include "parameters/callcontrol/CauseValues.h"

#include <QFontDatabase>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QPainter>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QSplitter>
#include <QTabWidget>
#include <QTableView>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <limits>
#include <string>

namespace truno::window {
namespace {

constexpr int kMargin = 16;
constexpr int kColumnWidth = 190;
constexpr int kBoxWidth = 120;
const QColor kLost(200, 0, 0);

QString fromStd(const std::string& text) { return QString::fromStdString(text); }

QString secondsOf(std::optional<std::int64_t> ms) {
    if (!ms) return {};
    std::string text;
    appendSeconds(text, *ms);
    return fromStd(text);
}

const Leg& legOf(const JourneyReport& r, int i) { return r.legs[static_cast<std::size_t>(i)]; }
const Sighting& sightingOf(const JourneyReport& r, int i) { return r.sightings[static_cast<std::size_t>(i)]; }

// The message of `record` in a sighting; null when the sighting does not hold it.
const SeenMessage* seenIn(const Sighting& s, std::uint32_t trace, std::uint64_t record) {
    if (s.trace != trace) return nullptr;
    for (const SeenMessage& m : s.seen)
        if (m.record == static_cast<std::uint32_t>(record)) return &m;
    return nullptr;
}

// A message's instant on the first trace's switch's clock: the switches' offsets are taken off
// where the run applied them, and otherwise too where they were measured, so that a message's
// copy is drawn after it by its transit time.
std::optional<std::int64_t> commonAt(const JourneyReport& r, const Sighting& s, const SeenMessage* m) {
    if (m == nullptr || !m->hasTime) return std::nullopt;
    if (r.offsetsApplied) return r.common(s.trace, m->at);
    const auto offset = r.switchOffsets.find(r.traces[s.trace].self);
    return offset == r.switchOffsets.end() ? m->at : m->at - offset->second;
}

// The arrows of one leg between columns `near` (where its IAM was sent) and `near + 1`.
void appendLegArrows(const JourneyReport& r, const Leg& leg, int near, std::vector<JourneyArrow>& out) {
    const int far = near + 1;
    if (leg.sender >= 0 && leg.receiver >= 0) {
        const Sighting& sender = sightingOf(r, leg.sender);
        const Sighting& receiver = sightingOf(r, leg.receiver);
        for (const PairedMessage& p : leg.paired) {
            const SeenMessage* atSender = seenIn(sender, p.sentTrace, p.sentRecord);
            const bool forward = atSender != nullptr && atSender->sent;
            const Sighting& sent = forward ? sender : receiver;
            const Sighting& received = forward ? receiver : sender;
            out.push_back({.from = forward ? near : far, .to = forward ? far : near, .type = p.type,
                           .sentAt = commonAt(r, sent, seenIn(sent, p.sentTrace, p.sentRecord)),
                           .receivedAt = commonAt(r, received, seenIn(received, p.receivedTrace, p.receivedRecord)),
                           .trace = p.sentTrace, .record = p.sentRecord, .lost = false, .unsent = false, .oneEnd = false});
        }
        for (const UnmatchedMessage& u : leg.unmatched) {
            const SeenMessage* m = seenIn(sender, u.trace, u.record);
            const bool atSender = m != nullptr;
            if (!atSender) m = seenIn(receiver, u.trace, u.record);
            const Sighting& seenAt = atSender ? sender : receiver;
            const int side = atSender ? near : far;
            const int other = atSender ? far : near;
            const std::optional<std::int64_t> at = commonAt(r, seenAt, m);
            out.push_back({.from = u.sent ? side : other, .to = u.sent ? other : side, .type = u.type,
                           .sentAt = u.sent ? at : std::nullopt, .receivedAt = u.sent ? std::nullopt : at,
                           .trace = u.trace, .record = u.record, .lost = u.sent, .unsent = !u.sent, .oneEnd = false});
        }
        return;
    }
    if (leg.primary() < 0) return;
    // Seen at one end only: each message as that end saw it, at the one time it has.
    const Sighting& s = sightingOf(r, leg.primary());
    const int side = leg.sender >= 0 ? near : far;
    const int other = leg.sender >= 0 ? far : near;
    for (const SeenMessage& m : s.seen) {
        const std::optional<std::int64_t> at = commonAt(r, s, &m);
        out.push_back({.from = m.sent ? side : other, .to = m.sent ? other : side, .type = m.type, .sentAt = at,
                       .receivedAt = at, .trace = s.trace, .record = m.record, .lost = false, .unsent = false, .oneEnd = true});
    }
}

}  // namespace

QStringList journeySwitches(const JourneyReport& report, const Journey& journey) {
    const auto named = [](const std::string& name) { return name.empty() ? QStringLiteral("?") : fromStd(name); };
    QStringList switches{named(journey.origin)};
    for (const int leg : journey.legs) switches << named(legOf(report, leg).to);
    return switches;
}

std::vector<JourneyArrow> journeyArrows(const JourneyReport& report, const Journey& journey) {
    std::vector<JourneyArrow> arrows;
    for (std::size_t k = 0; k < journey.legs.size(); ++k)
        appendLegArrows(report, legOf(report, journey.legs[k]), static_cast<int>(k), arrows);
    const auto when = [](const JourneyArrow& a) {
        return a.sentAt.value_or(a.receivedAt.value_or(std::numeric_limits<std::int64_t>::max()));
    };
    std::stable_sort(arrows.begin(), arrows.end(), [&](const JourneyArrow& a, const JourneyArrow& b) { return when(a) < when(b); });
    return arrows;
}

// ---------------------------------------------------------------- JourneyListModel

JourneyListModel::JourneyListModel(QObject* parent) : QAbstractTableModel(parent) {}

void JourneyListModel::reset(const JourneyReport* report) {
    beginResetModel();
    report_ = report;
    endResetModel();
}

const Journey* JourneyListModel::journey(int row) const {
    if (report_ == nullptr || row < 0 || row >= rowCount()) return nullptr;
    return &report_->journeys[static_cast<std::size_t>(row)];
}

int JourneyListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() || report_ == nullptr ? 0 : static_cast<int>(report_->journeys.size());
}

int JourneyListModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : ColumnCount; }

QVariant JourneyListModel::data(const QModelIndex& index, int role) const {
    const Journey* j = journey(index.row());
    if (j == nullptr) return {};
    if (role == Qt::ForegroundRole &&
        ((index.column() == LostColumn && j->unmatched != 0) || (index.column() == AmbiguousColumn && j->ambiguous)))
        return kLost;
    if (role == Qt::TextAlignmentRole) {
        switch (index.column()) {
            case IdColumn:
            case LegsColumn:
            case SetupColumn:
            case LostColumn: return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
            default: return {};
        }
    }
    if (role != Qt::DisplayRole) return {};
    switch (index.column()) {
        case IdColumn: return j->id;
        case OriginColumn: return fromStd(j->origin);
        case FinalColumn: return fromStd(j->final);
        case LegsColumn: return static_cast<qulonglong>(j->legs.size());
        case OutcomeColumn: return fromStd(j->outcome);
        case CauseColumn: {
            if (!j->cause) return {};
            const std::string_view name = causeName(*j->cause);
            return name.empty() ? QString::number(*j->cause)
                                : QStringLiteral("%1 %2").arg(*j->cause).arg(QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size())));
        }
        case ReleasedAtColumn: return fromStd(j->releasedAt);
        case SetupColumn: return secondsOf(j->setup);
        case LostColumn: return j->unmatched != 0 ? QVariant(j->unmatched) : QVariant();
        case AmbiguousColumn: return j->ambiguous ? tr("ambiguous") : QString();
        default: return {};
    }
}

QVariant JourneyListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
    switch (section) {
        case IdColumn: return tr("Journey");
        case OriginColumn: return tr("Origin");
        case FinalColumn: return tr("Final");
        case LegsColumn: return tr("Legs");
        case OutcomeColumn: return tr("Outcome");
        case CauseColumn: return tr("Cause");
        case ReleasedAtColumn: return tr("Released At");
        case SetupColumn: return tr("Setup (s)");
        case LostColumn: return tr("Lost");
        case AmbiguousColumn: return tr("Links");
        default: return {};
    }
}

// ---------------------------------------------------------------- JourneyLadder

JourneyLadder::JourneyLadder(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("journeyLadder"));
    setBackgroundRole(QPalette::Base);
    setAutoFillBackground(true);
    rowHeight_ = std::max(32, 2 * fontMetrics().height() + 6);
}

void JourneyLadder::setJourney(const JourneyReport* report, const Journey* journey) {
    report_ = report;
    switches_.clear();
    arrows_.clear();
    title_.clear();
    if (report != nullptr && journey != nullptr) {
        switches_ = journeySwitches(*report, *journey);
        arrows_ = journeyArrows(*report, *journey);
        title_ = tr("Journey %1: %2, %3").arg(journey->id).arg(switches_.join(QStringLiteral(" > ")), fromStd(journey->outcome));
    }
    updateGeometry();
    resize(sizeHint());
    update();
}

QSize JourneyLadder::sizeHint() const {
    const int columns = std::max<int>(2, static_cast<int>(switches_.size()));
    return {2 * kMargin + columns * kColumnWidth, top_ + static_cast<int>(arrows_.size()) * rowHeight_ + kMargin};
}

int JourneyLadder::columnX(int column) const { return kMargin + column * kColumnWidth + kColumnWidth / 2; }

QString JourneyLadder::labelOf(const JourneyArrow& arrow) const {
    QString label = fromStd(typeAcronym(arrow.type));
    if (const auto at = arrow.sentAt ? arrow.sentAt : arrow.receivedAt) {
        std::string time;
        appendInstant(time, *at);
        label += QStringLiteral("  ") + fromStd(time);
    }
    if (arrow.lost) return tr("%1  sent, never received").arg(label);
    if (arrow.unsent) return tr("%1  received, never sent").arg(label);
    if (arrow.oneEnd) return tr("%1  (one end seen)").arg(label);
    if (arrow.sentAt && arrow.receivedAt) {
        // The transit time; a little below zero where the clocks' measured offset is a little off.
        const std::int64_t transit = *arrow.receivedAt - *arrow.sentAt;
        label += (transit >= 0 ? QStringLiteral("  +") : QStringLiteral("  ")) + secondsOf(transit) + QStringLiteral(" s");
    }
    return label;
}

void JourneyLadder::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QPalette& colours = palette();
    const QColor ink = colours.color(QPalette::Text);
    const QFontMetrics metrics = painter.fontMetrics();
    painter.setPen(ink);
    if (switches_.isEmpty()) {
        painter.drawText(QRect(0, 0, width(), top_), Qt::AlignCenter, tr("Choose a journey to see its messages across the switches."));
        return;
    }
    painter.drawText(QRect(kMargin, 4, width() - 2 * kMargin, metrics.height()), Qt::AlignLeft, title_);
    const int boxTop = 8 + metrics.height();
    const int bottom = top_ + static_cast<int>(arrows_.size()) * rowHeight_;
    for (int c = 0; c < switches_.size(); ++c) drawLifeline(painter, colours, columnX(c), kBoxWidth, boxTop, bottom, switches_[c]);
    for (std::size_t k = 0; k < arrows_.size(); ++k) {
        const JourneyArrow& arrow = arrows_[k];
        const bool red = arrow.lost || arrow.unsent;
        const QColor colour = red ? kLost : arrow.oneEnd ? colours.color(QPalette::PlaceholderText) : ink;
        const int y = top_ + static_cast<int>(k) * rowHeight_ + rowHeight_ - 6;
        const int from = columnX(arrow.from);
        const int to = columnX(arrow.to);
        const int middle = (from + to) / 2;
        // A lost message stops half way with a cross; one received and never sent comes from half way.
        const int start = arrow.unsent ? middle : from;
        const int end = arrow.lost ? middle : to;
        painter.setPen(QPen(colour, 1.5, arrow.unsent ? Qt::DashLine : Qt::SolidLine));
        painter.drawLine(start, y, end, y);
        if (arrow.lost) {
            painter.drawLine(end - 5, y - 5, end + 5, y + 5);
            painter.drawLine(end - 5, y + 5, end + 5, y - 5);
        } else {
            drawArrowHead(painter, end, y, to > from, colour);
        }
        painter.setPen(colour);
        const int left = std::min(from, to);
        const int right = std::max(from, to);
        painter.drawText(QRect(left - kColumnWidth / 2, y - metrics.height() - 2, right - left + kColumnWidth, metrics.height()),
                         Qt::AlignCenter, labelOf(arrow));
    }
}

// ---------------------------------------------------------------- JourneysPane

JourneysPane::JourneysPane(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("journeysPane"));
    status_ = new QLabel(tr("Open the traces of a network (File > Open Traces of a Network) to join their calls end to end."), this);
    status_->setObjectName(QStringLiteral("journeysStatus"));
    status_->setWordWrap(true);
    status_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    model_ = new JourneyListModel(this);
    table_ = new QTableView(this);
    table_->setObjectName(QStringLiteral("journeysTable"));
    table_->setModel(model_);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setSelectionMode(QAbstractItemView::SingleSelection);
    table_->verticalHeader()->hide();
    table_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    table_->verticalHeader()->setDefaultSectionSize(table_->fontMetrics().height() + 6);
    table_->horizontalHeader()->setStretchLastSection(true);
    table_->setAlternatingRowColors(true);
    table_->setWordWrap(false);
    connect(table_->selectionModel(), &QItemSelectionModel::currentRowChanged, this, &JourneysPane::currentChanged);

    ladder_ = new JourneyLadder(this);
    auto* scroll = new QScrollArea(this);
    scroll->setObjectName(QStringLiteral("journeyLadderScroll"));
    scroll->setWidget(ladder_);
    scroll->setWidgetResizable(false);
    scroll->setBackgroundRole(QPalette::Base);

    changes_ = new QTreeWidget(this);
    changes_->setObjectName(QStringLiteral("journeyChanges"));
    changes_->setHeaderLabels({tr("Changed at the switch"), tr("Arriving"), tr("Leaving")});
    changes_->setRootIsDecorated(true);
    story_ = new QPlainTextEdit(this);
    story_->setObjectName(QStringLiteral("journeyStory"));
    story_->setReadOnly(true);
    story_->setLineWrapMode(QPlainTextEdit::NoWrap);
    story_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    auto* beside = new QTabWidget(this);
    beside->setDocumentMode(true);
    beside->addTab(changes_, tr("Changes per Hop"));
    beside->addTab(story_, tr("Story"));

    auto* lower = new QSplitter(Qt::Horizontal, this);
    lower->setChildrenCollapsible(false);
    lower->addWidget(scroll);
    lower->addWidget(beside);
    lower->setStretchFactor(0, 3);
    lower->setStretchFactor(1, 2);
    auto* splitter = new QSplitter(Qt::Vertical, this);
    splitter->setObjectName(QStringLiteral("journeysSplitter"));
    splitter->setChildrenCollapsible(false);
    splitter->addWidget(table_);
    splitter->addWidget(lower);
    cancel_ = new QPushButton(tr("Cancel"), this);
    cancel_->setObjectName(QStringLiteral("journeysCancel"));
    cancel_->hide();
    connect(cancel_, &QPushButton::clicked, this, &JourneysPane::cancelRequested);
    auto* top = new QHBoxLayout;
    top->addWidget(status_, 1);
    top->addWidget(cancel_, 0, Qt::AlignTop);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(top);
    layout->addWidget(splitter, 1);
}

JourneysPane::~JourneysPane() = default;

void JourneysPane::setStatus(const QString& text, bool running) {
    status_->setText(text);
    cancel_->setVisible(running);
}

void JourneysPane::setReport(std::unique_ptr<JourneyReport> report, const QStringList& summary) {
    ladder_->setJourney(nullptr, nullptr);
    changes_->clear();
    story_->clear();
    model_->reset(nullptr);
    report_ = std::move(report);
    model_->reset(report_.get());
    setStatus(summary.join(QLatin1Char('\n')));
    table_->resizeColumnsToContents();
}

void JourneysPane::selectRow(int row) {
    table_->selectionModel()->setCurrentIndex(model_->index(row, 0), QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

void JourneysPane::currentChanged() {
    const Journey* journey = model_->journey(table_->currentIndex().row());
    ladder_->setJourney(report_.get(), journey);
    changes_->clear();
    story_->clear();
    if (journey == nullptr) return;
    const JourneyReport& r = *report_;
    for (const Hop& hop : journey->hops) {
        auto* item = new QTreeWidgetItem(changes_);
        QString text = tr("at %1: delay added %2 s").arg(fromStd(hop.atSwitch), hop.delay ? secondsOf(hop.delay) : QStringLiteral("-"));
        if (hop.changes.empty()) text += tr(", nothing changed");
        item->setText(0, text);
        item->setFirstColumnSpanned(true);
        for (const FactChange& c : hop.changes) {
            auto* change = new QTreeWidgetItem(item);
            change->setText(0, fromStd(c.key));
            change->setText(1, c.arriving.empty() ? tr("(absent)") : fromStd(c.arriving));
            change->setText(2, c.leaving.empty() ? tr("(absent)") : fromStd(c.leaving));
        }
    }
    changes_->expandAll();
    changes_->resizeColumnToContents(0);
    std::string text;
    appendJourneyText(text, r, *journey);
    story_->setPlainText(fromStd(text));
}

}  // namespace truno::window
