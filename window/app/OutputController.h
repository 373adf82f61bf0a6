#pragma once
// Writing out what the window shows: the report saved as text, printed or exported as PDF (the
// matching records only while the report is filtered), the exports of the log's facts (summary
// and calls as CSV, messages as JSON Lines, a capture file), the trunk's health as one HTML
// file, and the ladder diagram of a call. Each runs in the background with its progress in the
// status bar, one at a time (the HTML report and the diagram, small, are written at once).
#include "window/io/ExportWriter.h"

#include <QObject>
#include <QString>
#include <QTimer>

#include <memory>

class QPrinter;

namespace truno::window {

class ReportFileWriter;
class ReportPrinter;
struct WindowParts;

class OutputController : public QObject {
    Q_OBJECT

public:
    explicit OutputController(WindowParts& parts, QObject* parent = nullptr);
    ~OutputController() override;

    void saveReportAs();
    void printReport();
    void exportPdf();
    void exportAs(ExportKind kind);
    // The HTML report of the trunk's health of the whole log, as truno-decode --html writes it.
    void exportHtmlReport();
    void saveDiagram();

    // A save, an export or a print is in progress.
    bool busy() const { return saver_ || exporter_ || reportPrinter_; }
    // The report shown is being saved or printed: it must stay as it is until that is over.
    bool holdsReport() const { return saver_ || reportPrinter_; }
    // Cancels what is in progress; the window says when it has stopped.
    void cancel();
    // Cancels what is in progress and waits for it (the window closes).
    void stop();

signals:
    // A task started or ended: the actions follow, and a filter held back meanwhile applies.
    void stateChanged();
    // A save, an export, a print or a PDF export is over (done, failed or cancelled).
    void taskEnded();

private:
    void startTask(const QString& format, int maximum, int interval);
    void tick();
    void saveEnded();
    void exportEnded();
    void startPrint(std::unique_ptr<QPrinter> printer, const QString& pdfPath);
    void printSlice();
    void finishPrint();
    // The shown log's file name with another ending, in its folder.
    QString besideLog(const QString& ending) const;

    WindowParts& parts_;
    std::unique_ptr<ReportFileWriter> saver_;
    std::unique_ptr<ExportWriter> exporter_;
    std::unique_ptr<QPrinter> printer_;
    std::unique_ptr<ReportPrinter> reportPrinter_;
    QString pdfPath_;
    QTimer taskTimer_;
};

}  // namespace truno::window
