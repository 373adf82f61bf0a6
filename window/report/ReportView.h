#pragma once
// The read-only report view: a fixed-pitch, non-wrapping view that lays out only the lines on
// screen, so that the size of the report does not matter. Mouse selection, Select All and Copy
// work as in a text box; the clipboard gets LF line ends.
#include "window/log/ReportDocument.h"
#include "window/report/TextSearch.h"

#include <QAbstractScrollArea>
#include <QBasicTimer>
#include <QPoint>
#include <QString>

#include <cstddef>
#include <memory>
#include <string_view>

namespace truno::window {

class ReportView : public QAbstractScrollArea {
    Q_OBJECT

public:
    // A place in the text: a line and a character column in it (the view's columns).
    struct Position {
        std::size_t line = 0;
        qsizetype column = 0;
        friend bool operator==(const Position&, const Position&) = default;
        friend auto operator<=>(const Position&, const Position&) = default;  // NOLINT(modernize-use-nullptr): clang-tidy 14 misreads a defaulted <=>
    };

    explicit ReportView(QWidget* parent = nullptr);

    // Courier New 9 pt, or the system's fixed-pitch font at that size.
    static QFont reportFont();

    // Shows `document` in place of the current one, which is handed back; the selection is
    // cleared and the view returns to the top.
    std::unique_ptr<ReportDocument> setDocument(std::unique_ptr<ReportDocument> document);
    const ReportDocument& document() const { return *document_; }

    // Adds report text to the document shown (a run in progress).
    void appendText(std::string_view text);
    void appendText(std::string&& block);
    // Lets the document's text before the line that holds byte `offset` go (a followed log
    // keeping its last messages) and returns the number of lines that went. The text on screen
    // and the selection stay where they are; a selection that began in the text let go is cleared.
    std::size_t dropTextBefore(std::size_t offset);

    bool hasSelection() const { return anchor_ != cursor_; }
    void setSelection(Position anchor, Position cursor);
    Position selectionStart() const { return std::min(anchor_, cursor_); }
    Position selectionEnd() const { return std::max(anchor_, cursor_); }
    // Where a search or a step to another record starts: the cursor when it is on screen,
    // otherwise the start of the first line shown.
    Position currentPosition() const;
    // Selects from `from` to `to` and scrolls as little as needed to show it.
    void showSelection(Position from, Position to);
    // Scrolls so that `line` is the second line shown, below one line of context, and selects it.
    void showLine(std::size_t line);
    std::size_t firstVisibleLine() const;

    // Marks every match of `matcher` on screen; null marks none.
    void setHighlight(std::shared_ptr<const TextMatcher> matcher);

    // Byte offsets in the document and places in the view, one into the other.
    Position positionOf(std::size_t offset) const;
    std::size_t offsetOf(Position position) const;
    QString selectedText() const;
    void selectAll();
    void copy() const;

    // Geometry of the text, in viewport coordinates.
    Position positionAt(QPoint point) const;
    QPoint pointOf(Position position) const;
    int lineHeight() const { return lineHeight_; }
    qreal charWidth() const { return charWidth_; }

signals:
    // Another document is shown: offsets into the old one mean nothing any more.
    void documentReplaced();
    // The document let `lines` lines at its start go: offsets and lines into it moved.
    void textDropped(std::size_t lines);
    // The cursor was put somewhere else (a click, a selection, a step to a record or a match).
    void cursorMoved();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void timerEvent(QTimerEvent* event) override;

private:
    void updateMetrics();
    void updateScrollBars();
    void showAppended(std::size_t firstChanged);
    int visibleRows() const;
    qsizetype lineLength(std::size_t line) const;
    Position clamped(Position position) const;
    void dragTo(QPoint point);
    void publishSelection() const;

    std::unique_ptr<ReportDocument> document_;
    std::shared_ptr<const TextMatcher> highlight_;
    Position anchor_;
    Position cursor_;
    bool dragging_ = false;
    QPoint lastDragPoint_;
    QBasicTimer autoScroll_;
    int lineHeight_ = 1;
    int ascent_ = 0;
    qreal charWidth_ = 1;
};

}  // namespace truno::window
