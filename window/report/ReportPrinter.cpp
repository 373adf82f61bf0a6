#include "window/report/ReportPrinter.h"

#include "window/report/ReportView.h"

#include <QFontMetricsF>
#include <QLocale>
#include <QPrinter>

#include <algorithm>
#include <cmath>

namespace truno::window {

namespace {

bool startsCharacter(char byte) { return (static_cast<unsigned char>(byte) & 0xC0) != 0x80; }

// Where row `row` of a line begins when rows are `columns` bytes: at the first character that
// starts at or after row * columns, so that a row holds at most `columns` characters and a line
// of n bytes takes exactly ceil(n / columns) rows, as ReportDocument counts them.
std::size_t rowStart(std::string_view line, std::size_t row, std::size_t columns) {
    std::size_t at = std::min(row * columns, line.size());
    while (at < line.size() && !startsCharacter(line[at])) ++at;
    return at;
}

std::size_t rowsOf(std::string_view line, std::size_t columns) {
    return line.empty() ? 1 : (line.size() + columns - 1) / columns;
}

// The heading takes a row for the title and one blank row.
constexpr std::size_t kHeadingRows = 2;

}  // namespace

ReportPrinter::Layout ReportPrinter::layoutFor(QPrinter& printer) {
    const QFontMetricsF metrics(ReportView::reportFont(), &printer);
    const QRectF page = printer.pageRect(QPrinter::DevicePixel);
    Layout layout;
    const double width = metrics.horizontalAdvance(QLatin1Char('0'));
    layout.columns = static_cast<std::size_t>(std::max(1.0, std::floor(page.width() / std::max(width, 1.0))));
    const auto rows = static_cast<std::size_t>(std::max(0.0, std::floor(page.height() / std::max(metrics.lineSpacing(), 1.0))));
    layout.rowsPerPage = rows > kHeadingRows ? rows - kHeadingRows : 1;
    return layout;
}

std::uint64_t ReportPrinter::pageCount(const ReportDocument& document, const Layout& layout) {
    const std::uint64_t rows = document.rowsWrappedAt(layout.columns);
    return std::max<std::uint64_t>(1, (rows + layout.rowsPerPage - 1) / layout.rowsPerPage);
}

ReportPrinter::ReportPrinter(const ReportDocument& document, QPrinter& printer, QString title)
    : document_(document), printer_(printer), title_(std::move(title)), font_(ReportView::reportFont()) {}

bool ReportPrinter::begin() {
    layout_ = layoutFor(printer_);
    pageCount_ = pageCount(document_, layout_);
    // A range from the print dialog, within the report's pages.
    firstPage_ = 1;
    lastPage_ = pageCount_;
    if (printer_.fromPage() > 0) firstPage_ = std::min<std::uint64_t>(static_cast<std::uint64_t>(printer_.fromPage()), pageCount_);
    if (printer_.toPage() > 0)
        lastPage_ = std::clamp<std::uint64_t>(static_cast<std::uint64_t>(printer_.toPage()), firstPage_, pageCount_);
    if (!painter_.begin(&printer_)) return false;
    painter_.setFont(font_);
    const QFontMetricsF metrics(font_, &printer_);
    lineSpacing_ = metrics.lineSpacing();
    ascent_ = metrics.ascent();
    return true;
}

bool ReportPrinter::printFor(std::chrono::milliseconds budget) {
    const auto until = std::chrono::steady_clock::now() + budget;
    while (!cancelled_ && page_ < lastPage_) {
        const bool inRange = page_ + 1 >= firstPage_;
        if (inRange && page_ + 1 > firstPage_) printer_.newPage();
        walkPage(inRange);
        ++page_;
        if (std::chrono::steady_clock::now() >= until) break;
    }
    return cancelled_ || page_ >= lastPage_;
}

void ReportPrinter::walkPage(bool paint) {
    if (paint) {
        const QString heading = tr("%1    Page %2 of %3")
                                    .arg(title_, QLocale().toString(static_cast<qulonglong>(page_) + 1),
                                         QLocale().toString(static_cast<qulonglong>(pageCount_)));
        painter_.drawText(QPointF(0, ascent_), heading);
    }
    std::size_t row = 0;
    // Each line takes at least one row: no more lines than rows are needed.
    document_.forLines(line_, layout_.rowsPerPage, [&](std::size_t n, std::string_view bytes) {
        if (row >= layout_.rowsPerPage) return;
        const std::size_t rows = rowsOf(bytes, layout_.columns);
        while (rowInLine_ < rows && row < layout_.rowsPerPage) {
            if (paint) {
                const std::size_t from = rowStart(bytes, rowInLine_, layout_.columns);
                const std::size_t to = rowStart(bytes, rowInLine_ + 1, layout_.columns);
                paintRow(row, bytes.substr(from, to - from));
            }
            ++rowInLine_;
            ++row;
        }
        if (rowInLine_ == rows) {
            line_ = n + 1;
            rowInLine_ = 0;
        }
    });
}

void ReportPrinter::paintRow(std::size_t row, std::string_view bytes) {
    if (bytes.empty()) return;
    const double baseline = static_cast<double>(row + kHeadingRows) * lineSpacing_ + ascent_;
    painter_.drawText(QPointF(0, baseline),
                      QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size())));
}

void ReportPrinter::cancel() {
    cancelled_ = true;
    printer_.abort();
}

bool ReportPrinter::end() {
    if (!painter_.isActive()) return false;
    return painter_.end() && printer_.printerState() != QPrinter::Error;
}

}  // namespace truno::window
