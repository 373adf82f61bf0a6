#include "window/views/CallsView.h"

#include "window/views/LadderPainting.h"

#include "parameters/callcontrol/CauseValues.h"

#include "analysis/facts/LogClock.h"

#include <QFileInfo>
#include <QHeaderView>
#include <QImage>
#include <QKeyEvent>
#include <QItemSelectionModel>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QScrollArea>
#include <QSortFilterProxyModel>
#include <QSplitter>
#include <QStyle>
#include <QSvgGenerator>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace truno::window {

namespace {

QString fromView(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// A duration as the table shows it (seconds with three decimals), or as it sorts (milliseconds,
// -1 for none).
QVariant duration(const std::optional<std::int64_t>& milliseconds, bool sortKey) {
    if (sortKey) return QVariant::fromValue<qlonglong>(milliseconds.value_or(-1));
    if (!milliseconds) return {};
    std::string text;
    appendSeconds(text, *milliseconds);
    return QString::fromStdString(text);
}

// The diagram's geometry: the two sides' lines, and the room left for the labels.
constexpr int kMargin = 16;
constexpr int kSideWidth = 140;
constexpr int kDiagramWidth = 560;
const QColor kNotDecoded(200, 0, 0);

}  // namespace

// ---------------------------------------------------------------- CallListModel

CallListModel::CallListModel(QObject* parent) : QAbstractTableModel(parent) {}

void CallListModel::reset(const MessageStore* store) {
    beginResetModel();
    store_ = store;
    rows_ = store_ != nullptr ? static_cast<int>(store_->calls().size()) : 0;
    withRoutes_ = false;
    noteRoutes(0);
    endResetModel();
}

void CallListModel::noteRoutes(std::size_t from) {
    if (store_ == nullptr || withRoutes_) return;
    for (std::size_t k = from; k < store_->calls().size() && !withRoutes_; ++k)
        withRoutes_ = !store_->callText(store_->calls()[k], CallText::Route).empty();
}

void CallListModel::update() {
    if (store_ == nullptr) return;
    const auto count = static_cast<int>(store_->calls().size());
    if (count <= rows_) return;
    beginInsertRows({}, rows_, count - 1);
    noteRoutes(static_cast<std::size_t>(rows_));
    rows_ = count;
    endInsertRows();
}

void CallListModel::callsRemoved(const std::vector<std::size_t>& positions) {
    // Only the calls that have rows; the store may hold newer ones not shown yet.
    goingRows_.clear();
    for (const std::size_t at : positions) {
        const auto row = static_cast<int>(at);
        if (row >= rows_) break;
        if (!goingRows_.empty() && goingRows_.back().second + 1 == row)
            goingRows_.back().second = row;
        else
            goingRows_.emplace_back(row, row);
    }
    while (!goingRows_.empty()) {
        const auto [first, last] = goingRows_.back();
        beginRemoveRows({}, first, last);
        goingRows_.pop_back();
        rows_ -= last - first + 1;
        endRemoveRows();
    }
}

const CallRow* CallListModel::call(int row) const {
    // The store has let the calls go already: a row after a range still to go is read past it.
    std::size_t position = static_cast<std::size_t>(row);
    for (const auto& [first, last] : goingRows_) {
        if (row < first) break;
        if (row <= last) return nullptr;
        position -= static_cast<std::size_t>(last - first + 1);
    }
    return position < store_->calls().size() ? &store_->calls()[position] : nullptr;
}

int CallListModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : rows_; }

int CallListModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : ColumnCount; }

QVariant CallListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || store_ == nullptr) return {};
    const CallRow* row = call(index.row());
    if (row == nullptr) return {};
    const CallRow& c = *row;
    if (role == Qt::TextAlignmentRole) {
        const int column = index.column();
        if (column == CodeColumn || column >= SetupColumn) return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
        return {};
    }
    if (role == Qt::ForegroundRole && c.notDecoded != 0) return kNotDecoded;
    // Sorting goes by numbers where the column holds them.
    if (role != Qt::DisplayRole && role != Qt::UserRole) return {};
    const bool sortKey = role == Qt::UserRole;
    switch (index.column()) {
        case CodeColumn: return c.callInstanceCode;
        case StartColumn:
            if (sortKey) return QVariant::fromValue<qlonglong>(c.instants().first.value_or(-1));
            return fromView(store_->callText(c, CallText::FirstTime));
        case CallingColumn: return fromView(store_->callText(c, CallText::Calling));
        case CalledColumn: return fromView(store_->callText(c, CallText::Called));
        case OutcomeColumn: return fromView(outcomeName(c.outcome));
        case CauseColumn: {
            if (sortKey) return QVariant::fromValue<qlonglong>(c.cause ? static_cast<qlonglong>(*c.cause) : -1);
            if (!c.cause) return {};
            return QStringLiteral("%1, %2").arg(*c.cause).arg(fromView(causeMeaning(*c.cause)));
        }
        case SetupColumn:
            return duration(c.instants().setupTime(), sortKey);
        case AnswerColumn: return duration(c.instants().answerDelay(), sortKey);
        case ConversationColumn: return duration(c.instants().conversationTime(), sortKey);
        case MessagesColumn: return c.messages;
        case RouteColumn: return fromView(store_->callText(c, CallText::Route));
        default: return {};
    }
}

QVariant CallListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
    switch (section) {
        case CodeColumn: return tr("CIC");
        case StartColumn: return tr("Start");
        case CallingColumn: return tr("Calling");
        case CalledColumn: return tr("Called");
        case OutcomeColumn: return tr("Outcome");
        case CauseColumn: return tr("Cause");
        case SetupColumn: return tr("Setup (s)");
        case AnswerColumn: return tr("Answer (s)");
        case ConversationColumn: return tr("Talk (s)");
        case MessagesColumn: return tr("Messages");
        case RouteColumn: return tr("Route");
        default: return {};
    }
}

// ---------------------------------------------------------------- LadderDiagram

LadderDiagram::LadderDiagram(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("ladderDiagram"));
    setBackgroundRole(QPalette::Base);
    setAutoFillBackground(true);
    rowHeight_ = std::max(32, 2 * fontMetrics().height() + 6);
    setFocusPolicy(Qt::StrongFocus);
}

void LadderDiagram::setCall(const MessageStore* store, const CallRow* call) {
    arrows_.clear();
    current_ = 0;
    title_.clear();
    if (store != nullptr && call != nullptr) {
        title_ = titleOf(call->callInstanceCode, fromView(store->callText(*call, CallText::Calling)),
                         fromView(store->callText(*call, CallText::Called)),
                         fromView(outcomeName(call->outcome)));
        // A call's messages lie between its first and its last record; those a followed log has
        // let go are not drawn.
        const std::uint64_t dropped = store->dropped();
        const std::size_t first = call->firstRecord > dropped ? call->firstRecord - dropped - 1 : 0;
        const std::size_t last =
            std::min<std::uint64_t>(call->lastRecord > dropped ? call->lastRecord - dropped : 0, store->size());
        for (std::size_t i = first; i < last; ++i) {
            if (store->callFirstRecord(i) != call->firstRecord) continue;

            arrows_.push_back(Arrow{.record = store->record(i),
                                    .sent = store->direction(i) != Direction::Received,
                                    .decoded = store->decoded(i),
                                    .label = QStringLiteral("%1  %2").arg(fromView(store->typeText(i)),
                                                                          fromView(store->time(i)))});
        }
    }
    updateGeometry();
    resize(sizeHint().expandedTo(parentWidget() != nullptr ? QSize(0, 0) : QSize()));
    update();
}

QString LadderDiagram::titleOf(std::uint32_t code, const QString& calling, const QString& called,
                               const QString& outcome) {
    if (calling.isEmpty() && called.isEmpty()) return tr("Call on CIC %1, %2").arg(code).arg(outcome);
    if (called.isEmpty()) return tr("Call on CIC %1: from %2, %3").arg(code).arg(calling, outcome);
    if (calling.isEmpty()) return tr("Call on CIC %1: to %2, %3").arg(code).arg(called, outcome);
    return tr("Call on CIC %1: %2 to %3, %4").arg(code).arg(calling, called, outcome);
}

QSize LadderDiagram::sizeHint() const {
    return {kDiagramWidth, top_ + static_cast<int>(arrows_.size()) * rowHeight_ + kMargin};
}

int LadderDiagram::rowY(std::size_t k) const { return top_ + static_cast<int>(k) * rowHeight_ + rowHeight_ - 6; }

QPoint LadderDiagram::arrowPoint(std::size_t k) const { return {kDiagramWidth / 2, rowY(k)}; }

std::uint64_t LadderDiagram::recordAt(QPoint point) const {
    if (point.y() < top_) return 0;
    const auto k = static_cast<std::size_t>((point.y() - top_) / rowHeight_);
    if (k >= arrows_.size()) return 0;
    return arrows_[k].record;
}

void LadderDiagram::paint(QPainter& painter, QSize size) const {
    painter.setRenderHint(QPainter::Antialiasing);
    const QPalette& colours = palette();
    painter.fillRect(QRect(QPoint(0, 0), size), colours.color(QPalette::Base));
    const QColor ink = colours.color(QPalette::Text);
    const int left = kSideWidth / 2 + kMargin;
    const int right = kDiagramWidth - kSideWidth / 2 - kMargin;
    const QFontMetrics metrics = painter.fontMetrics();
    painter.setPen(ink);
    if (arrows_.empty()) {
        painter.drawText(QRect(0, 0, size.width(), top_), Qt::AlignCenter, tr("Choose a call to see its messages."));
        return;
    }
    painter.drawText(QRect(kMargin, 4, kDiagramWidth - 2 * kMargin, metrics.height()), Qt::AlignLeft, title_);
    // The two sides: a box with the name, and its line down.
    const int boxTop = 8 + metrics.height();
    const int bottom = top_ + static_cast<int>(arrows_.size()) * rowHeight_;
    for (const auto& [x, name] : {std::pair{left, tr("This side")}, std::pair{right, tr("Far side")}})
        drawLifeline(painter, colours, x, kSideWidth, boxTop, bottom, name);
    for (std::size_t k = 0; k < arrows_.size(); ++k) {
        const Arrow& arrow = arrows_[k];
        const QColor colour = arrow.decoded ? ink : kNotDecoded;
        const int y = rowY(k);
        if (k == current_ && hasFocus() && painter.device() == this)
            painter.fillRect(QRect(0, y - rowHeight_ + 6, kDiagramWidth, rowHeight_), colours.color(QPalette::AlternateBase));
        const int from = arrow.sent ? left : right;
        const int to = arrow.sent ? right : left;
        painter.setPen(QPen(colour, 1.5));
        painter.drawLine(from, y, to, y);
        drawArrowHead(painter, to, y, arrow.sent, colour);
        painter.setPen(colour);
        const QString text = arrow.decoded ? arrow.label : tr("%1 (not decoded)").arg(arrow.label);
        painter.drawText(QRect(left, y - metrics.height() - 2, right - left, metrics.height()), Qt::AlignCenter, text);
        painter.drawText(QRect(0, y - metrics.height() / 2, left - 6, metrics.height()), Qt::AlignRight | Qt::AlignVCenter,
                         QString::number(arrow.record));
    }
}

void LadderDiagram::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    paint(painter, size());
}

void LadderDiagram::mousePressEvent(QMouseEvent* event) {
    const std::uint64_t record = recordAt(event->position().toPoint());
    if (record != 0) {
        // The band follows the arrow clicked.
        current_ = static_cast<std::size_t>((event->position().toPoint().y() - top_) / rowHeight_);
        update();
        emit recordClicked(record);
    }
    QWidget::mousePressEvent(event);
}

void LadderDiagram::keyPressEvent(QKeyEvent* event) {
    if (arrows_.empty()) {
        QWidget::keyPressEvent(event);
        return;
    }
    switch (event->key()) {
        case Qt::Key_Up:
            if (current_ > 0) --current_;
            break;
        case Qt::Key_Down:
            if (current_ + 1 < arrows_.size()) ++current_;
            break;
        case Qt::Key_Return:
        case Qt::Key_Enter:
        case Qt::Key_Space: emit recordClicked(arrows_[current_].record); return;
        default: QWidget::keyPressEvent(event); return;
    }
    update();
}

bool LadderDiagram::save(const QString& path) const {
    const QSize size = sizeHint();
    if (QFileInfo(path).suffix().compare(QStringLiteral("svg"), Qt::CaseInsensitive) == 0) {
        QSvgGenerator svg;
        svg.setFileName(path);
        svg.setSize(size);
        svg.setViewBox(QRect(QPoint(0, 0), size));
        svg.setTitle(title_);
        QPainter painter;
        if (!painter.begin(&svg)) return false;
        painter.setFont(font());
        paint(painter, size);
        return painter.end();
    }
    QImage image(size * 2, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(2);
    QPainter painter(&image);
    painter.setFont(font());
    paint(painter, size);
    painter.end();
    return image.save(path, "PNG");
}

// ---------------------------------------------------------------- CallsPane

CallsPane::CallsPane(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("callsPane"));
    model_ = new CallListModel(this);
    sorted_ = new QSortFilterProxyModel(this);
    sorted_->setSourceModel(model_);
    sorted_->setSortRole(Qt::UserRole);
    table_ = new QTableView(this);
    table_->setObjectName(QStringLiteral("callsTable"));
    table_->setModel(sorted_);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setSelectionMode(QAbstractItemView::SingleSelection);
    table_->setSortingEnabled(true);
    table_->sortByColumn(-1, Qt::AscendingOrder);
    table_->verticalHeader()->hide();
    table_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    table_->verticalHeader()->setDefaultSectionSize(table_->fontMetrics().height() + 6);
    table_->horizontalHeader()->setStretchLastSection(true);
    table_->setAlternatingRowColors(true);
    table_->setWordWrap(false);
    connect(table_->selectionModel(), &QItemSelectionModel::currentRowChanged, this, &CallsPane::currentChanged);

    ladder_ = new LadderDiagram(this);
    auto* scroll = new QScrollArea(this);
    scroll->setObjectName(QStringLiteral("ladderScroll"));
    scroll->setWidget(ladder_);
    scroll->setWidgetResizable(false);
    scroll->setBackgroundRole(QPalette::Base);
    auto* save = new QPushButton(
        QIcon::fromTheme(QStringLiteral("document-save-as"), style()->standardIcon(QStyle::SP_DialogSaveButton)),
        tr("&Save Diagram..."), this);
    save->setObjectName(QStringLiteral("saveDiagramButton"));
    connect(save, &QPushButton::clicked, this, &CallsPane::saveDiagramRequested);

    auto* lower = new QWidget(this);
    auto* lowerLayout = new QVBoxLayout(lower);
    lowerLayout->setContentsMargins(0, 0, 0, 0);
    lowerLayout->addWidget(scroll, 1);
    lowerLayout->addWidget(save, 0, Qt::AlignRight);

    auto* splitter = new QSplitter(Qt::Vertical, this);
    splitter->setObjectName(QStringLiteral("callsSplitter"));
    splitter->setChildrenCollapsible(false);
    splitter->addWidget(table_);
    splitter->addWidget(lower);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(splitter);
}

void CallsPane::reset(const MessageStore* store) {
    store_ = store;
    model_->reset(store);
    table_->setColumnHidden(CallListModel::RouteColumn, !model_->withRoutes());
    ladder_->setCall(nullptr, nullptr);
}

void CallsPane::update() {
    model_->update();
    table_->setColumnHidden(CallListModel::RouteColumn, !model_->withRoutes());
}

void CallsPane::selectRow(int row) {
    const QModelIndex index = sorted_->index(row, 0);
    table_->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

void CallsPane::callsLeaving(const std::vector<std::size_t>& positions) {
    const QModelIndex current = sorted_->mapToSource(table_->currentIndex());
    if (current.isValid() &&
        std::binary_search(positions.begin(), positions.end(), static_cast<std::size_t>(current.row())))
        table_->selectionModel()->clear();
}

void CallsPane::currentChanged() {
    const QModelIndex current = sorted_->mapToSource(table_->currentIndex());
    const CallRow* chosen = current.isValid() && store_ != nullptr ? model_->call(current.row()) : nullptr;
    if (chosen == nullptr) {
        ladder_->setCall(nullptr, nullptr);
        emit callChosen(0, {});
        return;
    }
    const CallRow& call = *chosen;
    ladder_->setCall(store_, &call);
    emit callChosen(call.firstRecord, tr("Call on CIC %1 from record %2").arg(call.callInstanceCode).arg(call.firstRecord));
}

}  // namespace truno::window
