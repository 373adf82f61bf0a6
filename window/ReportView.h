#pragma once
// The read-only report view: a fixed-pitch, non-wrapping view that lays out only the lines on
// screen, so that the size of the report does not matter. Mouse selection, Select All and Copy
// work as in a text box; the clipboard gets LF line ends.
#include "window/ReportDocument.h"

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

    // Shows `document` in place of the current one, which is handed back; the selection is
    // cleared and the view returns to the top.
    std::unique_ptr<ReportDocument> setDocument(std::unique_ptr<ReportDocument> document);
    const ReportDocument& document() const { return *document_; }

    // Adds report text to the document shown (a run in progress).
    void appendText(std::string_view text);
    void appendText(std::string&& block);

    bool hasSelection() const { return anchor_ != cursor_; }
    void setSelection(Position anchor, Position cursor);
    QString selectedText() const;
    void selectAll();
    void copy() const;

    // Geometry of the text, in viewport coordinates.
    Position positionAt(QPoint point) const;
    QPoint pointOf(Position position) const;
    int lineHeight() const { return lineHeight_; }
    qreal charWidth() const { return charWidth_; }

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
