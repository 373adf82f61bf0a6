#include "window/report/ReportView.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPaintEvent>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QTimerEvent>

#include <algorithm>
#include <climits>
#include <cmath>

namespace truno::window {

namespace {

// Blank space left of the text, in pixels.
constexpr int kMargin = 4;

QString lineString(std::string_view bytes) {
    return QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

// Matches on screen are marked in this colour, behind the text.
const QColor kMatchColour(255, 226, 120);

}  // namespace

// Courier New 9 pt; where no face answers to that name (or to its metric-compatible
// substitutes), the system's fixed-pitch font at the same size.
QFont ReportView::reportFont() {
    QFont font(QStringLiteral("Courier New"), 9);
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    if (!QFontInfo(font).fixedPitch()) {
        font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
        font.setPointSize(9);
    }
    return font;
}

ReportView::ReportView(QWidget* parent)
    : QAbstractScrollArea(parent), document_(std::make_unique<ReportDocument>()) {
    setFont(reportFont());
    setFocusPolicy(Qt::StrongFocus);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    viewport()->setCursor(Qt::IBeamCursor);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    updateMetrics();
    updateScrollBars();
}

std::unique_ptr<ReportDocument> ReportView::setDocument(std::unique_ptr<ReportDocument> document) {
    if (!document) document = std::make_unique<ReportDocument>();
    std::swap(document_, document);
    anchor_ = cursor_ = Position{};
    dragging_ = false;
    autoScroll_.stop();
    updateScrollBars();
    verticalScrollBar()->setValue(0);
    horizontalScrollBar()->setValue(0);
    viewport()->update();
    emit documentReplaced();
    return document;
}

void ReportView::appendText(std::string_view text) {
    const std::size_t firstChanged = document_->lineCount() - 1;
    document_->append(text);
    showAppended(firstChanged);
}

void ReportView::appendText(std::string&& block) {
    const std::size_t firstChanged = document_->lineCount() - 1;
    document_->append(std::move(block));
    showAppended(firstChanged);
}

std::size_t ReportView::dropTextBefore(std::size_t offset) {
    const std::size_t lines = document_->dropBefore(offset);
    if (lines == 0) return 0;
    if (std::min(anchor_, cursor_).line < lines) {
        anchor_ = cursor_ = Position{};
        dragging_ = false;
        autoScroll_.stop();
    } else {
        anchor_.line -= lines;
        cursor_.line -= lines;
    }
    // The same text stays on screen. The scroll bar's value says nothing of it: what follows the
    // place in the report (the list's row) must not take this for a move of the user's. The
    // value moves first, so that the smaller range does not move it again.
    QScrollBar* vertical = verticalScrollBar();
    const auto first = static_cast<std::size_t>(vertical->value());
    {
        const QSignalBlocker quiet(vertical);
        vertical->setValue(static_cast<int>(first > lines ? first - lines : 0));
    }
    updateScrollBars();
    viewport()->update();
    emit textDropped(lines);
    return lines;
}

void ReportView::showAppended(std::size_t firstChanged) {
    updateScrollBars();
    const auto first = static_cast<std::size_t>(verticalScrollBar()->value());
    if (firstChanged < first + static_cast<std::size_t>(visibleRows()) + 1) viewport()->update();
}

// ---------------------------------------------------------------- geometry

void ReportView::updateMetrics() {
    const QFontMetricsF metrics(font());
    lineHeight_ = std::max(1, static_cast<int>(std::ceil(metrics.lineSpacing())));
    ascent_ = static_cast<int>(std::ceil(metrics.ascent()));
    charWidth_ = std::max<qreal>(1, metrics.horizontalAdvance(QLatin1Char('0')));
}

int ReportView::visibleRows() const { return std::max(1, viewport()->height() / lineHeight_); }

void ReportView::updateScrollBars() {
    const auto rows = static_cast<std::size_t>(visibleRows());
    const std::size_t lines = document_->lineCount();
    const std::size_t maxFirst = lines > rows ? lines - rows : 0;
    QScrollBar* vertical = verticalScrollBar();
    vertical->setRange(0, static_cast<int>(std::min<std::size_t>(maxFirst, INT_MAX)));
    vertical->setPageStep(static_cast<int>(rows));
    vertical->setSingleStep(1);

    const double textWidth =
        std::ceil(static_cast<double>(document_->longestLine()) * charWidth_) + 2 * kMargin;
    const double overflow = textWidth - viewport()->width();
    QScrollBar* horizontal = horizontalScrollBar();
    horizontal->setRange(0, overflow > 0 ? static_cast<int>(std::min<double>(overflow, INT_MAX)) : 0);
    horizontal->setPageStep(viewport()->width());
    horizontal->setSingleStep(static_cast<int>(std::ceil(charWidth_)));
}

qsizetype ReportView::lineLength(std::size_t line) const {
    return lineString(document_->line(line)).size();
}

ReportView::Position ReportView::clamped(Position position) const {
    const std::size_t last = document_->lineCount() - 1;
    if (position.line > last) return {last, lineLength(last)};
    position.column = std::clamp<qsizetype>(position.column, 0, lineLength(position.line));
    return position;
}

ReportView::Position ReportView::positionAt(QPoint point) const {
    const double row = std::floor(static_cast<double>(point.y()) / lineHeight_);
    const double line = static_cast<double>(verticalScrollBar()->value()) + row;
    if (line < 0) return {};
    if (line >= static_cast<double>(document_->lineCount())) return clamped({SIZE_MAX, 0});
    const double x = point.x() + horizontalScrollBar()->value() - kMargin;
    return clamped({static_cast<std::size_t>(line), static_cast<qsizetype>(std::lround(x / charWidth_))});
}

QPoint ReportView::pointOf(Position position) const {
    const double row = static_cast<double>(position.line) - verticalScrollBar()->value();
    const double x = kMargin - horizontalScrollBar()->value() +
                     std::round(static_cast<double>(position.column) * charWidth_);
    const int halfLine = lineHeight_ / 2;  // the middle of the line, in whole pixels
    return {static_cast<int>(x), static_cast<int>(row * lineHeight_ + halfLine)};
}

ReportView::Position ReportView::positionOf(std::size_t offset) const {
    const auto [line, start] = document_->lineAt(offset);
    const std::string_view text = document_->line(line);
    const std::size_t bytes = std::min(offset - start, text.size());
    return {line, lineString(text.substr(0, bytes)).size()};
}

std::size_t ReportView::offsetOf(Position position) const {
    const std::string_view text = document_->line(position.line);
    const QString line = lineString(text);
    const qsizetype column = std::clamp<qsizetype>(position.column, 0, line.size());
    // An ASCII line has a byte for each column.
    const auto bytes = line.size() == static_cast<qsizetype>(text.size())
                           ? static_cast<std::size_t>(column)
                           : static_cast<std::size_t>(QStringView(line).left(column).toUtf8().size());
    return document_->lineStart(position.line) + bytes;
}

std::size_t ReportView::firstVisibleLine() const { return static_cast<std::size_t>(verticalScrollBar()->value()); }

ReportView::Position ReportView::currentPosition() const {
    const std::size_t first = firstVisibleLine();
    if (cursor_.line >= first && cursor_.line < first + static_cast<std::size_t>(visibleRows())) return cursor_;
    return {first, 0};
}

void ReportView::showSelection(Position from, Position to) {
    setSelection(from, to);
    const std::size_t first = firstVisibleLine();
    const auto rows = static_cast<std::size_t>(visibleRows());
    if (from.line < first || to.line >= first + rows) {
        // A third of the way down, with the lines before it in view.
        const std::size_t above = rows / 3;
        verticalScrollBar()->setValue(
            static_cast<int>(std::min<std::size_t>(from.line > above ? from.line - above : 0, INT_MAX)));
    }
    QScrollBar* horizontal = horizontalScrollBar();
    const int left = pointOf(from).x();
    const int right = pointOf(to).x();
    if (left < kMargin || right > viewport()->width() - kMargin)
        horizontal->setValue(horizontal->value() + left - std::max(kMargin, viewport()->width() / 4));
}

void ReportView::showLine(std::size_t line) {
    setSelection({line, 0}, {line, lineLength(line)});
    verticalScrollBar()->setValue(static_cast<int>(std::min<std::size_t>(line > 0 ? line - 1 : 0, INT_MAX)));
    horizontalScrollBar()->setValue(0);
}

void ReportView::setHighlight(std::shared_ptr<const TextMatcher> matcher) {
    if (matcher && matcher->empty()) matcher.reset();
    highlight_ = std::move(matcher);
    viewport()->update();
}

// ---------------------------------------------------------------- painting

void ReportView::paintEvent(QPaintEvent* event) {
    QPainter painter(viewport());
    painter.fillRect(event->rect(), palette().base());
    painter.setFont(font());
    const QFontMetricsF metrics(font());
    const QColor text = palette().color(QPalette::Text);
    const QColor highlight = palette().color(QPalette::Highlight);
    const QColor highlighted = palette().color(QPalette::HighlightedText);

    const auto first = static_cast<std::size_t>(verticalScrollBar()->value());
    const std::size_t rows = static_cast<std::size_t>(viewport()->height() / lineHeight_) + 1;
    const double left = kMargin - horizontalScrollBar()->value();
    const Position from = std::min(anchor_, cursor_);
    const Position to = std::max(anchor_, cursor_);

    document_->forLines(first, rows, [&](std::size_t n, std::string_view bytes) {
        const QString line = lineString(bytes);
        const double top = static_cast<double>(n - first) * lineHeight_;
        const QPointF baseline(left, top + ascent_);
        if (highlight_) {
            const bool ascii = line.size() == static_cast<qsizetype>(bytes.size());
            const auto column = [&](std::size_t offset) {
                return ascii ? static_cast<qsizetype>(offset) : lineString(bytes.substr(0, offset)).size();
            };
            for (auto hit = highlight_->find(bytes, 0); hit; hit = highlight_->find(bytes, hit->offset + hit->length)) {
                const double x0 = left + metrics.horizontalAdvance(line.left(column(hit->offset)));
                const double x1 = left + metrics.horizontalAdvance(line.left(column(hit->offset + hit->length)));
                painter.fillRect(QRectF(x0, top, std::max(x1 - x0, 1.0), lineHeight_), kMatchColour);
            }
        }
        painter.setPen(text);
        painter.drawText(baseline, line);
        if (!hasSelection() || n < from.line || n > to.line) return;
        const qsizetype c0 = n == from.line ? std::min(from.column, line.size()) : 0;
        const qsizetype c1 = n == to.line ? std::min(to.column, line.size()) : line.size();
        const double x0 = left + metrics.horizontalAdvance(line.left(c0));
        double x1 = left + metrics.horizontalAdvance(line.left(c1));
        if (n < to.line) x1 += charWidth_;  // the line break is selected too
        if (x1 <= x0) return;
        const QRectF band(x0, top, x1 - x0, lineHeight_);
        painter.save();
        painter.fillRect(band, highlight);
        painter.setClipRect(band);
        painter.setPen(highlighted);
        painter.drawText(baseline, line);
        painter.restore();
    });
}

void ReportView::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    updateScrollBars();
}

void ReportView::changeEvent(QEvent* event) {
    QAbstractScrollArea::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        updateMetrics();
        updateScrollBars();
        viewport()->update();
    }
}

// ---------------------------------------------------------------- selection

void ReportView::setSelection(Position anchor, Position cursor) {
    anchor_ = clamped(anchor);
    cursor_ = clamped(cursor);
    viewport()->update();
    emit cursorMoved();
}

void ReportView::selectAll() {
    const std::size_t last = document_->lineCount() - 1;
    setSelection({0, 0}, {last, lineLength(last)});
}

QString ReportView::selectedText() const {
    if (!hasSelection()) return {};
    const Position from = std::min(anchor_, cursor_);
    const Position to = std::max(anchor_, cursor_);
    QString result;
    document_->forLines(from.line, to.line - from.line + 1, [&](std::size_t n, std::string_view bytes) {
        const QString line = lineString(bytes);
        const qsizetype c0 = n == from.line ? from.column : 0;
        const qsizetype c1 = n == to.line ? to.column : line.size();
        result += QStringView(line).mid(c0, c1 - c0);
        if (n < to.line) result += QLatin1Char('\n');
    });
    return result;
}

void ReportView::copy() const {
    if (hasSelection()) QApplication::clipboard()->setText(selectedText());
}

void ReportView::publishSelection() const {
    QClipboard* clipboard = QApplication::clipboard();
    if (hasSelection() && clipboard->supportsSelection())
        clipboard->setText(selectedText(), QClipboard::Selection);
}

// ---------------------------------------------------------------- input

void ReportView::keyPressEvent(QKeyEvent* event) {
    if (event->matches(QKeySequence::Copy)) {
        copy();
        return;
    }
    if (event->matches(QKeySequence::SelectAll)) {
        selectAll();
        return;
    }
    const bool control = event->modifiers().testFlag(Qt::ControlModifier);
    switch (event->key()) {
    case Qt::Key_Home:
        if (control) verticalScrollBar()->triggerAction(QScrollBar::SliderToMinimum);
        horizontalScrollBar()->triggerAction(QScrollBar::SliderToMinimum);
        return;
    case Qt::Key_End:
        if (control)
            verticalScrollBar()->triggerAction(QScrollBar::SliderToMaximum);
        else
            horizontalScrollBar()->triggerAction(QScrollBar::SliderToMaximum);
        return;
    default:
        QAbstractScrollArea::keyPressEvent(event);  // arrows and page keys scroll
    }
}

void ReportView::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QAbstractScrollArea::mousePressEvent(event);
        return;
    }
    const Position position = positionAt(event->position().toPoint());
    if (!event->modifiers().testFlag(Qt::ShiftModifier)) anchor_ = position;
    cursor_ = position;
    dragging_ = true;
    viewport()->update();
    emit cursorMoved();
}

void ReportView::dragTo(QPoint point) {
    lastDragPoint_ = point;
    const QPoint inside(std::clamp(point.x(), 0, std::max(0, viewport()->width() - 1)),
                        std::clamp(point.y(), -1, viewport()->height()));
    cursor_ = positionAt(inside);
    if (point.y() < 0 || point.y() >= viewport()->height() || point.x() < 0 ||
        point.x() >= viewport()->width()) {
        if (!autoScroll_.isActive()) autoScroll_.start(50, this);
    } else {
        autoScroll_.stop();
    }
    viewport()->update();
}

void ReportView::mouseMoveEvent(QMouseEvent* event) {
    if (dragging_ && event->buttons().testFlag(Qt::LeftButton)) dragTo(event->position().toPoint());
}

void ReportView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && dragging_) {
        dragging_ = false;
        autoScroll_.stop();
        publishSelection();
    }
}

void ReportView::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    // A word is a run of non-blank characters: a label, a value, an octet.
    const Position at = positionAt(event->position().toPoint());
    const QString line = lineString(document_->line(at.line));
    qsizetype start = std::min(at.column, line.size());
    qsizetype end = start;
    while (start > 0 && line[start - 1] != QLatin1Char(' ')) --start;
    while (end < line.size() && line[end] != QLatin1Char(' ')) ++end;
    setSelection({at.line, start}, {at.line, end});
    dragging_ = false;
    publishSelection();
}

void ReportView::timerEvent(QTimerEvent* event) {
    if (event->timerId() != autoScroll_.timerId()) {
        QAbstractScrollArea::timerEvent(event);
        return;
    }
    // While a drag is held outside the text, scroll towards the pointer, faster the further
    // away it is.
    const QPoint p = lastDragPoint_;
    QScrollBar* vertical = verticalScrollBar();
    if (p.y() < 0) vertical->setValue(vertical->value() - 1 - (-p.y()) / lineHeight_);
    if (p.y() >= viewport()->height())
        vertical->setValue(vertical->value() + 1 + (p.y() - viewport()->height()) / lineHeight_);
    QScrollBar* horizontal = horizontalScrollBar();
    const int step = horizontal->singleStep();
    if (p.x() < 0) horizontal->setValue(horizontal->value() - step);
    if (p.x() >= viewport()->width()) horizontal->setValue(horizontal->value() + step);
    dragTo(p);
}

void ReportView::contextMenuEvent(QContextMenuEvent* event) {
    QMenu menu(this);
    QAction* copyAction = menu.addAction(tr("&Copy"), this, &ReportView::copy);
    copyAction->setShortcut(QKeySequence::Copy);
    copyAction->setEnabled(hasSelection());
    QAction* selectAllAction = menu.addAction(tr("Select &All"), this, &ReportView::selectAll);
    selectAllAction->setShortcut(QKeySequence::SelectAll);
    menu.exec(event->globalPos());
}

}  // namespace truno::window
