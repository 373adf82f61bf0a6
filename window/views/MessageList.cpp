#include "window/views/MessageList.h"

#include <QHeaderView>
#include <QTableView>

#include <QApplication>
#include <QLocale>
#include <QMetaObject>
#include <QPalette>
#include <QStyle>

#include <algorithm>
#include <numeric>

namespace truno::window {

namespace {

QString fromView(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// Messages tested between two looks at the clock.
constexpr std::size_t kTestStep = 256;

}  // namespace

bool factsHoldText(const MessageStore& store, const ReportDocument& document, const TextMatcher& matcher,
                   const std::vector<char>& labelMatches, std::size_t i) {
    // Labels first: one look-up each.
    MessageStore::MarkCursor labels = store.marks(i);
    if (labels.left() == 0) return false;
    while (labels.nextLabel())
        if (labelMatches[labels.label()] != 0) return true;
    // Then the values, in the record's text as the report document holds it: a match counts when
    // it lies within the text a mark delimits (never in the dots that lead to a value).
    // The store's offsets are the whole report's; the document may have let its start go.
    const std::uint64_t begin = store.textBegin(i) - document.origin();
    const std::uint64_t textSize = store.textEnd(i) - store.textBegin(i);
    const std::uint64_t end = std::min<std::uint64_t>(begin + textSize, document.size());
    const auto insideValue = [&](std::uint64_t at, std::uint64_t length) {
        // `at` counts from the start of the record's text. The last mark that begins at or
        // before the match, and where the next one begins.
        MessageStore::MarkCursor cursor = store.marks(i);
        bool found = false;
        Mark mark{};
        std::uint64_t valueEnd = textSize;
        while (cursor.next()) {
            if (cursor.mark().begin > at) {
                valueEnd = cursor.mark().begin;
                break;
            }
            mark = cursor.mark();
            found = true;
        }
        if (!found || mark.kind == MarkKind::Parameter || at < mark.value) return false;
        return at + length <= valueEnd;
    };
    std::size_t chunk = document.chunkAt(begin);
    while (chunk < document.chunkCount() && document.chunkStart(chunk) < end) {
        const std::string_view bytes = document.chunk(chunk);
        const std::uint64_t chunkStart = document.chunkStart(chunk);
        const std::uint64_t from = std::max(begin, chunkStart) - chunkStart;
        const std::uint64_t to = std::min<std::uint64_t>(end - chunkStart, bytes.size());
        if (from < to) {
            const std::string_view part = bytes.substr(from, to - from);
            std::size_t at = 0;
            while (const std::optional<TextMatcher::Hit> hit = matcher.find(part, at)) {
                const std::uint64_t inText = chunkStart + from + hit->offset - begin;
                if (insideValue(inText, hit->length)) return true;
                at = hit->offset + 1;
            }
        }
        ++chunk;
    }
    return false;
}

MessageListModel::MessageListModel(QObject* parent) : QAbstractTableModel(parent) {
    notDecodedIcon_ = QIcon::fromTheme(QStringLiteral("dialog-warning"),
                                       QApplication::style()->standardIcon(QStyle::SP_MessageBoxWarning));
    notDecodedBackground_ = QColor(255, 222, 222);
    notDecodedText_ = QColor(150, 0, 0);
}

void renewRowHeader(QTableView* table) {
    const QHeaderView* old = table->verticalHeader();
    auto* header = new QHeaderView(Qt::Vertical, table);
    header->setSectionResizeMode(QHeaderView::Fixed);
    header->setDefaultSectionSize(old->defaultSectionSize());
    header->setVisible(!old->isHidden());
    table->setVerticalHeader(header);  // the old one is deleted
}

MessageListModel::~MessageListModel() { stopSorter(); }

void MessageListModel::stopSorter() {
    ++generation_;
    abortSort_.store(true, std::memory_order_relaxed);
    if (sorter_.joinable()) sorter_.join();
    abortSort_.store(false, std::memory_order_relaxed);
}

void MessageListModel::reset(const MessageStore* store, const ReportDocument* document) {
    stopSorter();
    beginResetModel();
    store_ = store;
    document_ = document;
    textSource_ = document != nullptr ? textOf(*document) : MessageStore::TextSource{};
    available_ = 0;
    tested_ = 0;
    // Another log: what was kept for the last one goes, not only its contents.
    shown_ = {};
    inOrder_ = 0;
    labelMatches_ = {};
    sortColumn_ = RecordColumn;
    sortOrder_ = Qt::AscendingOrder;
    endResetModel();
}

void MessageListModel::setAvailable(std::size_t count) { available_ = count; }

void MessageListModel::dropOldest(std::size_t count) {
    if (count == 0) return;
    stopSorter();
    if (shown_.empty()) {
        // Every message in record order: the first rows go, and row k shows message k again.
        const std::size_t gone = std::min(count, inOrder_);
        if (gone > 0) beginRemoveRows({}, 0, static_cast<int>(gone - 1));
        inOrder_ -= gone;
        if (gone > 0) endRemoveRows();
        available_ = available_ > count ? available_ - count : 0;
        tested_ = tested_ > count ? tested_ - count : 0;
        return;
    }
    const auto renumber = [this, count] {
        for (std::uint32_t& i : shown_) i -= static_cast<std::uint32_t>(count);
    };
    if (sortColumn_ == RecordColumn && sortOrder_ == Qt::AscendingOrder) {
        // In record order (as always while messages come), the rows that go are the first ones.
        const auto gone = std::lower_bound(shown_.begin(), shown_.end(), count) - shown_.begin();
        if (gone > 0) beginRemoveRows({}, 0, static_cast<int>(gone - 1));
        shown_.erase(shown_.begin(), shown_.begin() + gone);
        renumber();
        if (gone > 0) endRemoveRows();
    } else {
        beginResetModel();
        std::erase_if(shown_, [count](std::uint32_t i) { return i < count; });
        renumber();
        endResetModel();
    }
    available_ = available_ > count ? available_ - count : 0;
    tested_ = tested_ > count ? tested_ - count : 0;
}

void MessageListModel::setFilter(const ListFilter& filter) {
    stopSorter();
    beginResetModel();
    filter_ = filter;
    matcher_ = filter.text.isEmpty() ? nullptr : std::make_shared<TextMatcher>(filter.text, false);
    labelMatches_.clear();
    shown_.clear();
    inOrder_ = 0;
    tested_ = 0;
    endResetModel();
}

bool MessageListModel::accepts(std::size_t i) const {
    if (filter_.selection) {
        // The message's own keys are read from its row; its fields are rebuilt only for an
        // expression that reads them, once the others hold.
        store_->rowFacts(i, rowFacts_, rowTime_);
        const MessageKeys keys{.record = rowFacts_,
                               .switchName = store_->switchNameOf(i),
                               .callFirstRecord = store_->callFirstRecord(i),
                               .fields = nullptr};
        const bool passes = filter_.selection->matches(keys, [this, i]() -> const MessageFacts& {
            facts_.build(store_->facts(i, textSource_, scratch_));
            return facts_;
        });
        if (!passes) return false;
    }
    return !matcher_ || factsHoldText(*store_, *document_, *matcher_, labelMatches_, i);
}

bool MessageListModel::advance(std::chrono::milliseconds budget) {
    if (store_ == nullptr || tested_ >= available_) return true;
    const auto stop = std::chrono::steady_clock::now() + budget;
    if (matcher_) {
        for (std::size_t k = labelMatches_.size(); k < store_->labelCount(); ++k) {
            const std::string_view label = store_->label(static_cast<std::uint16_t>(k));
            labelMatches_.push_back(matcher_->find(label, 0).has_value() ? 1 : 0);
        }
    }
    const std::size_t before = rows();
    if (!filter_.selection && !matcher_ && shown_.empty()) {
        // No filter, and the rows in record order so far: every message is a row, at once.
        beginInsertRows({}, static_cast<int>(before), static_cast<int>(available_ - 1));
        inOrder_ = available_;
        tested_ = available_;
        endInsertRows();
    }
    std::vector<std::uint32_t> found;
    while (tested_ < available_) {
        const std::size_t last = std::min(available_, tested_ + kTestStep);
        for (std::size_t i = tested_; i < last; ++i)
            if (accepts(i)) found.push_back(static_cast<std::uint32_t>(i));
        tested_ = last;
        if (std::chrono::steady_clock::now() >= stop) break;
    }
    if (!found.empty()) {
        // New messages come in record order; a sorted list is sorted again once they stop.
        beginInsertRows({}, static_cast<int>(before), static_cast<int>(before + found.size() - 1));
        shown_.insert(shown_.end(), found.begin(), found.end());
        endInsertRows();
    }
    if (tested_ < available_) return false;
    // Rows came in record order: a list sorted otherwise is sorted again.
    if (sortable_ && (sortColumn_ != RecordColumn || sortOrder_ != Qt::AscendingOrder)) sort(sortColumn_, sortOrder_);
    emit filterDone();
    return true;
}

void MessageListModel::setSortable(bool sortable) {
    sortable_ = sortable;
    if (sortable_ && (sortColumn_ != RecordColumn || sortOrder_ != Qt::AscendingOrder)) sort(sortColumn_, sortOrder_);
}

std::optional<int> MessageListModel::rowOf(std::size_t message) const {
    if (shown_.empty()) {
        if (message < inOrder_) return static_cast<int>(message);
        return std::nullopt;
    }
    if (sortColumn_ == RecordColumn && sortOrder_ == Qt::AscendingOrder) {
        const auto at = std::lower_bound(shown_.begin(), shown_.end(), message);
        if (at != shown_.end() && *at == message) return static_cast<int>(at - shown_.begin());
        return std::nullopt;
    }
    const auto at = std::find(shown_.begin(), shown_.end(), message);
    if (at == shown_.end()) return std::nullopt;
    return static_cast<int>(at - shown_.begin());
}

int MessageListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(rows());
}

std::vector<std::uint32_t> MessageListModel::shown() const {
    if (!shown_.empty()) return shown_;
    std::vector<std::uint32_t> all(inOrder_);
    std::iota(all.begin(), all.end(), std::uint32_t{0});
    return all;
}

int MessageListModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : ColumnCount; }

QVariant MessageListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || store_ == nullptr) return {};
    const std::size_t i = messageAt(index.row());
    const bool decoded = store_->decoded(i);
    switch (role) {
        case Qt::DisplayRole:
            switch (index.column()) {
                case RecordColumn: return QVariant::fromValue<qulonglong>(store_->record(i));
                case TimeColumn: return fromView(store_->time(i));
                case DirectionColumn: return fromView(store_->directionText(i));
                case CodeColumn:
                    return store_->hasCallInstanceCode(i) ? QVariant(store_->row(i).callInstanceCode) : QVariant();
                case TypeColumn: return fromView(store_->typeText(i));
                case InfoColumn: return fromView(store_->info(i));
                default: return {};
            }
        case Qt::TextAlignmentRole:
            if (index.column() == RecordColumn || index.column() == CodeColumn)
                return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
            return {};
        case Qt::DecorationRole:
            if (!decoded && index.column() == RecordColumn) return notDecodedIcon_;
            return {};
        case Qt::BackgroundRole:
            if (!decoded) return notDecodedBackground_;
            return {};
        case Qt::ForegroundRole:
            if (!decoded) return notDecodedText_;
            return {};
        case Qt::ToolTipRole:
            if (!decoded) return tr("Not decoded: %1").arg(fromView(store_->reason(i)));
            return fromView(store_->typeName(i));
        default: return {};
    }
}

QVariant MessageListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
    switch (section) {
        case RecordColumn: return tr("Record");
        case TimeColumn: return tr("Time");
        case DirectionColumn: return tr("Dir");
        case CodeColumn: return tr("CIC");
        case TypeColumn: return tr("Type");
        case InfoColumn: return tr("Info");
        default: return {};
    }
}

void MessageListModel::sort(int column, Qt::SortOrder order) {
    if (column < 0 || column >= ColumnCount) return;
    const bool natural = sortColumn_ == RecordColumn && sortOrder_ == Qt::AscendingOrder;
    sortColumn_ = column;
    sortOrder_ = order;
    if (!sortable_ || store_ == nullptr) return;
    // The list is in record order already.
    if (natural && column == RecordColumn && order == Qt::AscendingOrder) return;
    stopSorter();
    const std::uint64_t generation = generation_;
    std::vector<std::uint32_t> rows = shown();
    const MessageStore* store = store_;
    // A million rows take longer to sort than the window may stand still: the sort runs beside.
    sorter_ = std::thread([this, generation, rows = std::move(rows), store, column, order]() mutable {
        // A sort no longer wanted stops at its next comparison.
        struct Abandoned {};
        const auto key = [this, store, column](std::uint32_t a, std::uint32_t b) {
            if (abortSort_.load(std::memory_order_relaxed)) throw Abandoned{};
            switch (column) {
                case TimeColumn: {
                    const std::int64_t x = store->row(a).at;
                    const std::int64_t y = store->row(b).at;
                    if (x != y) return x < y;
                    break;
                }
                case DirectionColumn: {
                    const std::string_view x = store->directionText(a);
                    const std::string_view y = store->directionText(b);
                    if (x != y) return x < y;
                    break;
                }
                case CodeColumn: {
                    const auto x = store->hasCallInstanceCode(a) ? std::int64_t{store->row(a).callInstanceCode} : -1;
                    const auto y = store->hasCallInstanceCode(b) ? std::int64_t{store->row(b).callInstanceCode} : -1;
                    if (x != y) return x < y;
                    break;
                }
                case TypeColumn: {
                    const std::string_view x = store->typeText(a);
                    const std::string_view y = store->typeText(b);
                    if (x != y) return x < y;
                    break;
                }
                case InfoColumn: {
                    const std::string_view x = store->info(a);
                    const std::string_view y = store->info(b);
                    if (x != y) return x < y;
                    break;
                }
                default: break;
            }
            return a < b;
        };
        try {
            if (order == Qt::AscendingOrder)
                std::sort(rows.begin(), rows.end(), key);
            else
                std::sort(rows.begin(), rows.end(), [&key](std::uint32_t a, std::uint32_t b) { return key(b, a); });
        } catch (const Abandoned&) {
            return;
        }
        QMetaObject::invokeMethod(this, [this, generation, rows = std::move(rows)]() mutable {
            sortFinished(generation, std::move(rows));
        }, Qt::QueuedConnection);
    });
}

void MessageListModel::sortFinished(std::uint64_t generation, std::vector<std::uint32_t> sorted) {
    if (sorter_.joinable()) sorter_.join();
    if (generation != generation_ || sorted.size() != rows()) return;
    emit layoutAboutToBeChanged();
    // Every message sorted back into record order needs no list of them.
    const bool inOrder = sortColumn_ == RecordColumn && sortOrder_ == Qt::AscendingOrder && !filter_.selection && !matcher_;
    inOrder_ = inOrder ? sorted.size() : 0;
    shown_ = inOrder ? std::vector<std::uint32_t>() : std::move(sorted);
    emit layoutChanged();
    emit sortDone();
}

}  // namespace truno::window
