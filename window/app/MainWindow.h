#pragma once
// The program's one window: the File, Edit, View, Go and Help menus, the report view with its
// find bar, and beside it in a splitter the other views of the same run (the message list with
// its filter, the calls with the ladder diagram of one, the statistics), and a status bar with
// the run's summary, its counts and the progress of a run, a save, an export or a print with its
// Cancel button.
#include "analysis/MessageStore.h"
#include "analysis/Statistics.h"
#include "window/io/ExportWriter.h"
#include "window/log/RecordIndex.h"
#include "window/io/UserDialogs.h"

#include <QMainWindow>
#include <QPoint>
#include <QString>
#include <QStringList>
#include <QTimer>

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QAction;
class QLabel;
class QMenu;
class QPrinter;
class QProgressBar;
class QPushButton;
class QSplitter;
class QTabWidget;
class QTableView;

namespace truno::window {

class CallsPane;
class DecodeJob;
class FindBar;
class MessageFilterBar;
class MessageListModel;
class StatisticsPane;
class ReportDocument;
class ReportFileWriter;
class ReportPrinter;
class ReportView;

// The busy pointer, shown for as long as one of these lives.
class BusyPointer {
public:
    BusyPointer();
    ~BusyPointer();
    BusyPointer(const BusyPointer&) = delete;
    BusyPointer& operator=(const BusyPointer&) = delete;
};

class MainWindow : public QMainWindow {
    Q_OBJECT

public:
    // Without `dialogs`, the standard Qt dialogs are used.
    explicit MainWindow(std::unique_ptr<UserDialogs> dialogs = nullptr, QWidget* parent = nullptr);
    ~MainWindow() override;

    // The program's version as the build sets it, e.g. "1.6.0".
    static QString versionNumber();
    // The banner: program, major and minor version, maker and date, with seven blanks after it.
    static QString programVersion();
    // The three lines of the About box: program and version, what it does, its documentation.
    static QString aboutText();
    // Logs the recent-files list keeps.
    static constexpr int kRecentFiles = 10;

    ReportView* reportView() const { return reportView_; }
    FindBar* findBar() const { return findBar_; }
    // The records of the report shown (only the matching ones while the report is filtered).
    const RecordIndex& records() const { return reportFiltered_ ? filteredRecords_ : records_; }
    // The facts of the run shown, and the views of them.
    const MessageStore& messages() const { return *store_; }
    const Statistics& statistics() const { return statistics_; }
    QTableView* messageList() const { return messageList_; }
    MessageListModel* messageModel() const { return messageModel_; }
    MessageFilterBar* filterBar() const { return filterBar_; }
    CallsPane* callsPane() const { return callsPane_; }
    StatisticsPane* statisticsPane() const { return statisticsPane_; }
    // The report shows only the records the filter lets through.
    bool reportFiltered() const { return reportFiltered_; }
    // The list's filter and the filtered report have caught up with the filter and the run.
    bool filterSettled() const;
    // A run is in progress (the progress bar and its Cancel button are shown).
    bool isRunning() const { return job_ != nullptr; }
    // A run, a save or a print is in progress: the report shown stays as it is until it ends.
    bool isBusy() const;
    // No thread is left, not even a cancelled run still winding down.
    bool isIdle() const;
    // Shows the tab "messages", "calls" or "statistics"; false for another name.
    bool showTab(const QString& name);

public slots:
    // Decodes the log at `path` and shows its report; the previous report stays shown when the
    // file cannot be read, holds no message, or the run is cancelled.
    void openFile(const QString& path);
    // Opens the first of `paths`. The window shows one log at a time: a message box names the
    // others as not opened.
    void openFiles(const QStringList& paths);
    void cancelRun();
    void reload();
    void saveReportAs();
    void printReport();
    void exportPdf();
    void goToRecord();
    void nextNotDecoded();
    void previousNotDecoded();
    void exportAs(ExportKind kind);
    void saveDiagram();
    // Reads the filter bar again and filters the list (and the report, when asked).
    void applyFilter();

signals:
    // A run is over (finished, failed or cancelled) and the window shows its outcome.
    void runEnded();
    // A save, an export, a print or a PDF export is over (done, failed or cancelled).
    void taskEnded();
    // The list shows what the filter chose, and the report too when asked.
    void listFiltered();

protected:
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void createActions();
    void createMenus();
    void createStatusBar();
    void restoreSettings();
    void openFromDialog();
    void showAbout();
    void exitProgram();
    void collect();
    void jobEnded(std::uint64_t id);
    void endBusy();
    void restorePrevious();
    void updateActions();
    void rememberFile(const QString& path);
    void forgetFile(const QString& path);
    void updateRecentMenu();
    void showRecord(std::uint64_t number);
    void showProgress(int maximum, const QString& format);
    void startPrint(std::unique_ptr<QPrinter> printer, const QString& pdfPath);
    void printSlice();
    void finishPrint();
    void saveEnded();
    void cancelCurrent();
    QString reportFolder() const;
    void createViews();
    void admitRecords(std::chrono::steady_clock::time_point deadline = std::chrono::steady_clock::time_point::max());
    void finishRun();
    void updateCounts();
    void advanceFilter();
    void filterDone();
    void showFullReport();
    void buildFilteredReport();
    void listRowChanged();
    void followReport();
    void chooseRecord(std::uint64_t record);
    void exportEnded();
    const ReportDocument& fullReport() const;

    std::unique_ptr<UserDialogs> dialogs_;
    QSplitter* splitter_ = nullptr;
    ReportView* reportView_ = nullptr;
    FindBar* findBar_ = nullptr;
    QMenu* fileMenu_ = nullptr;
    QMenu* recentMenu_ = nullptr;
    QAction* openAction_ = nullptr;
    QAction* reloadAction_ = nullptr;
    QAction* saveAsAction_ = nullptr;
    QAction* printAction_ = nullptr;
    QAction* exportPdfAction_ = nullptr;
    QAction* exitAction_ = nullptr;
    QAction* copyAction_ = nullptr;
    QAction* selectAllAction_ = nullptr;
    QAction* findAction_ = nullptr;
    QAction* findNextAction_ = nullptr;
    QAction* findPreviousAction_ = nullptr;
    QAction* closeFindAction_ = nullptr;
    QAction* goToRecordAction_ = nullptr;
    QAction* nextNotDecodedAction_ = nullptr;
    QAction* previousNotDecodedAction_ = nullptr;
    QAction* aboutAction_ = nullptr;
    QAction* exportSummaryAction_ = nullptr;
    QAction* exportCallsAction_ = nullptr;
    QAction* exportJsonAction_ = nullptr;
    QAction* exportPcapAction_ = nullptr;
    QAction* saveDiagramAction_ = nullptr;
    QAction* filterAction_ = nullptr;
    QAction* reportTooAction_ = nullptr;
    QAction* tabActions_[3] = {};
    QLabel* statusText_ = nullptr;
    QLabel* countsText_ = nullptr;
    QProgressBar* progress_ = nullptr;
    QPushButton* cancelButton_ = nullptr;

    // The run in progress, and a cancelled one whose thread has not ended yet.
    std::unique_ptr<DecodeJob> job_;
    std::unique_ptr<DecodeJob> retiring_;
    std::uint64_t jobId_ = 0;
    std::uint64_t retiringId_ = 0;
    std::uint64_t lastJobId_ = 0;
    QString runPath_;
    QTimer collectTimer_;
    std::vector<std::string> collected_;
    bool jobOver_ = false;  // the run's thread has ended; what it handed over is still coming in
    std::optional<BusyPointer> busy_;

    // The records of the report, from the facts of each message once its text has arrived.
    RecordIndex records_;
    std::size_t admitted_ = 0;  // messages whose records are in the report
    std::vector<MessageBatch> batches_;
    std::unique_ptr<MessageStore> store_;
    Statistics statistics_;
    QString counts_;

    // The views beside the report.
    QTabWidget* viewTabs_ = nullptr;
    MessageFilterBar* filterBar_ = nullptr;
    QTableView* messageList_ = nullptr;
    MessageListModel* messageModel_ = nullptr;
    CallsPane* callsPane_ = nullptr;
    StatisticsPane* statisticsPane_ = nullptr;
    QTimer filterTimer_;
    bool following_ = false;  // the list and the report are being brought in step
    bool filterPending_ = false;  // the filter changed while the report was saved or printed

    // The report of the matching records only: being built, or shown (the full one aside).
    std::unique_ptr<ReportDocument> filteredReport_;
    RecordIndex filteredRecords_;
    std::vector<std::uint32_t> filteredMessages_;
    std::size_t filteredNext_ = 0;
    std::unique_ptr<ReportDocument> fullReport_;
    bool reportFiltered_ = false;
    QTimer filteredTimer_;
    // The log whose report is shown; empty before the first.
    QString shownPath_;

    // What the window showed before the run, given back when the run does not complete.
    std::unique_ptr<ReportDocument> previousReport_;
    RecordIndex previousRecords_;
    std::size_t previousAdmitted_ = 0;
    std::unique_ptr<MessageStore> previousStore_;
    Statistics previousStatistics_;
    QString previousCounts_;
    QString previousCaption_;
    QString previousStatus_;
    QPoint previousScroll_;

    // A save, or a print (on paper or to PDF), in progress.
    std::unique_ptr<ReportFileWriter> saver_;
    std::unique_ptr<ExportWriter> exporter_;
    std::unique_ptr<QPrinter> printer_;
    std::unique_ptr<ReportPrinter> reportPrinter_;
    QString pdfPath_;
    QTimer taskTimer_;
};

}  // namespace truno::window
