#pragma once
// The report on paper or in a PDF file: the report font, lines longer than the page is wide cut
// into rows, a heading with the log's name and the page number. A report of a million messages
// takes a quarter of a million pages, so pages are printed a few at a time between the window's
// events, with the count known before the first one.
#include "window/log/ReportDocument.h"

#include <QCoreApplication>
#include <QFont>
#include <QPainter>
#include <QString>

#include <chrono>
#include <cstddef>
#include <cstdint>

class QPrinter;

namespace truno::window {

class ReportPrinter {
    Q_DECLARE_TR_FUNCTIONS(ReportPrinter)

public:
    struct Layout {
        std::size_t columns = 1;      // bytes of a report line on one row
        std::size_t rowsPerPage = 1;  // report rows under the heading
    };
    // The layout on `printer` as it is set up now (paper, margins, resolution).
    static Layout layoutFor(QPrinter& printer);
    static std::uint64_t pageCount(const ReportDocument& document, const Layout& layout);

    // Prints `document` on `printer`, the pages the printer's range asks for (all by default);
    // `title` heads each page.
    ReportPrinter(const ReportDocument& document, QPrinter& printer, QString title);

    // Opens the printer; false when it cannot be opened.
    bool begin();
    // Prints pages for about `budget`; true once the last page is printed (or when cancelled).
    bool printFor(std::chrono::milliseconds budget);
    // Asks the printer to drop the job; the pages already handed to it may still come out.
    void cancel();
    // Closes the printer; false when the output could not be finished.
    bool end();

    std::uint64_t pageCount() const { return pageCount_; }
    // Pages of the range, and of them those done.
    std::uint64_t pagesToPrint() const { return lastPage_ - firstPage_ + 1; }
    std::uint64_t pagesPrinted() const { return page_ >= firstPage_ ? page_ - firstPage_ + 1 : 0; }

private:
    // Lays out (and with `paint`, paints) the next page's rows.
    void walkPage(bool paint);
    void paintRow(std::size_t row, std::string_view bytes);

    const ReportDocument& document_;
    QPrinter& printer_;
    QString title_;
    QFont font_;
    Layout layout_;
    std::uint64_t pageCount_ = 0;
    std::uint64_t firstPage_ = 1;
    std::uint64_t lastPage_ = 1;
    QPainter painter_;
    double lineSpacing_ = 1;
    double ascent_ = 0;
    // Where the next page begins: a line of the report and the row within it.
    std::uint64_t page_ = 0;  // pages laid out so far
    std::size_t line_ = 0;
    std::size_t rowInLine_ = 0;
    bool cancelled_ = false;
};

}  // namespace truno::window
