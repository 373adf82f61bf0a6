#pragma once
// The program's one window: the menus, the report view with its find bar, and beside it in a
// splitter the other views of the same log (the message list with its filter, the calls with the
// ladder diagram of one, the statistics, the trunk's health), and a status bar with the log's summary, its counts
// and the progress of a run, a save, an export or a print with its Cancel button. It is built
// from parts: the log on screen (one OpenedLog, swapped whole when another opens), the run that
// fills it, the filter, the navigation between records, and the output.
#include "window/app/WindowParts.h"
#include "window/io/ExportWriter.h"
#include "window/io/UserDialogs.h"
#include "window/log/MessageLimit.h"

#include <QMainWindow>
#include <QString>
#include <QStringList>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

class QSplitter;
class QTabWidget;
class QTableView;

namespace truno::window {

class CallsPane;
class FilterController;
class FindBar;
class MessageFilterBar;
class MessageListModel;
class OutputController;
class RecordNavigator;
class RunController;
class HealthPane;
class JourneysPane;
class StatisticsPane;
struct RunOutcome;
struct WindowActions;

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

    ReportView* reportView() const { return parts_.reportView; }
    FindBar* findBar() const { return findBar_; }
    // The records of the report shown (only the matching ones while the report is filtered).
    const RecordIndex& records() const { return parts_.records(); }
    // The log on screen: its facts and the views of them.
    const OpenedLog& log() const { return *parts_.log; }
    const MessageStore& messages() const { return parts_.log->store; }
    const Statistics& statistics() const { return parts_.log->statistics; }
    QTableView* messageList() const { return parts_.messageList; }
    MessageListModel* messageModel() const { return parts_.messageModel; }
    MessageFilterBar* filterBar() const { return parts_.filterBar; }
    CallsPane* callsPane() const { return parts_.callsPane; }
    StatisticsPane* statisticsPane() const { return parts_.statisticsPane; }
    HealthPane* healthPane() const { return parts_.healthPane; }
    JourneysPane* journeysPane() const { return parts_.journeysPane; }
    // The traces of a network are being read for their journeys.
    bool journeysRunning() const { return journeysJob_ != nullptr; }
    // The report shows only the records the filter lets through.
    bool reportFiltered() const { return parts_.log->filtered; }
    // The list's filter and the filtered report have caught up with the filter and the run.
    bool filterSettled() const;
    // A run is in progress (the progress bar and its Cancel button are shown).
    bool isRunning() const;
    // The run in progress follows a growing log.
    bool isFollowing() const;
    // A run, a save or a print is in progress: the report shown stays as it is until it ends.
    bool isBusy() const;
    // No thread is left, not even a cancelled run still winding down.
    bool isIdle() const;
    // Shows the tab "messages", "calls", "statistics" or "health"; false for another name.
    bool showTab(const QString& name);
    // The threads that decode a regular file from the next log opened on: 0 (the default), the
    // machine's cores as the command-line tool uses them; 1, one thread.
    void setDecodeJobs(unsigned jobs) { decodeJobs_ = jobs; }

public slots:
    // Decodes the log at `path` and shows its report; the previous report stays shown when the
    // file cannot be read, holds no message, or the run is cancelled.
    void openFile(const QString& path);
    // Reads the logs at `paths` one after the other as one log (rotated parts, as
    // `truno-decode --merge` reads them): record numbers go on, and the calls, statistics and
    // health span the files. In the order given, or with `byFirstTime` in the order of their
    // first messages' times (`truno-decode --sort-files`).
    void openFiles(const QStringList& paths, bool byFirstTime = false);
    // Follows the log at `path` as it grows (as `truno-decode -F` does) until stopFollowing(),
    // another log is opened or the window closes; the run then ends as any run does.
    void followFile(const QString& path);
    // Reads the traces of a network, each on its own, and joins their calls into journeys (as
    // `truno-decode --journeys` does), shown in the journeys tab; the log shown stays as it is.
    void openTraces(std::vector<TraceToRead> traces);
    // The same with the traces and their ends a network file names (`FILE THIS FAR` a line), or
    // with the traces at `paths` and the ends the file gives them; false, the error said, when the
    // file cannot be read or names none of them.
    bool openNetwork(const QString& networkFile, const QStringList& paths = {});
    void stopFollowing();
    // File > Following Limit: asks whether a followed log keeps only its last messages, and how
    // many; remembered across starts, and applied to a log followed now from its next messages.
    void chooseMessageLimit();
    void cancelRun();
    void reload();
    void saveReportAs();
    void printReport();
    void exportPdf();
    void goToRecord();
    void nextNotDecoded();
    void previousNotDecoded();
    void exportAs(ExportKind kind);
    void exportHtmlReport();
    void saveDiagram();
    // Reads the filter bar again and filters the list (and the report, when asked).
    void applyFilter();

signals:
    // A run is over (finished, failed or cancelled) and the window shows its outcome.
    void runEnded();
    // The journeys of the traces of a network are shown (or their run failed or was cancelled).
    void journeysEnded();
    // A save, an export, a print or a PDF export is over (done, failed or cancelled).
    void taskEnded();
    // The list shows what the filter chose, and the report too when asked.
    void listFiltered();

protected:
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void createViews();
    void connectActions();
    void restoreSettings();
    void openFromDialog(bool follow = false);
    // File > Open Traces of a Network: the traces, then where each was taken.
    void openTracesFromDialog();
    void journeysFinished(std::uint64_t run);
    void cancelJourneys();
    void openLog(const QStringList& paths, bool follow);
    void showAbout();
    void updateActions();
    void rememberFile(const QString& path);
    void forgetFile(const QString& path);
    void updateRecentMenu();
    QString reportFolder() const;
    void cancelCurrent();
    void recordsTaken(bool newRecords);
    // A followed log's statistics and health so far: their tabs show them, each once it is in
    // sight (a tab out of sight is drawn when it is chosen, so that the list does not wait for it).
    void showSoFar();
    void showStaleTabs();
    // The report beside the views, hidden while the journeys tab is in front and no log is open
    // (the traces of a network have no report of their own).
    void showReportPane();
    // The statistics and health of the log on screen, in both tabs.
    void showStatisticsAndHealth();
    // The status bar's "N of M messages shown" and the statistics' and health's word on what they
    // count.
    void updateShown();
    void updateCounts();
    void finishRun(const RunOutcome& outcome);
    // Puts `log` on screen in place of the log shown, which is handed back with its report and
    // where the report view stood.
    std::unique_ptr<OpenedLog> swapLog(std::unique_ptr<OpenedLog> log);
    // Shows the log put aside for the run again; the run's log is freed.
    void restorePrevious();
    // Reads logs as ISUP traces (two-octet circuit codes) or as BICC ones, remembered across
    // starts and shown in the status bar; the log shown is read again.
    void setIsupMode(bool on);
    void showMode();
    void setMessageLimit(MessageLimit limit);

    std::unique_ptr<UserDialogs> dialogs_;
    WindowParts parts_;
    // The log shown before the run in progress, given back when the run does not complete.
    std::unique_ptr<OpenedLog> previous_;
    QSplitter* splitter_ = nullptr;
    FindBar* findBar_ = nullptr;
    QTabWidget* viewTabs_ = nullptr;
    std::unique_ptr<WindowActions> actions_;
    // The parts that drive the window, declared after what they use so that they end first.
    std::unique_ptr<RunController> run_;
    std::unique_ptr<FilterController> filter_;
    std::unique_ptr<RecordNavigator> navigator_;
    std::unique_ptr<OutputController> output_;
    bool filterPending_ = false;  // the filter changed while the report was saved or printed
    bool statisticsStale_ = false;  // a followed log's newer statistics wait for their tab to show
    bool healthStale_ = false;      // the same, of its health
    std::size_t cicOctets_ = 4;   // octets before the message type code: 4 (BICC) or 2 (ISUP)
    unsigned decodeJobs_ = 0;     // setDecodeJobs
    MessageLimit messageLimit_;   // how many messages a followed log keeps
    std::uint64_t runs_ = 0;      // runs started: a late drawing of an earlier run's charts is dropped
    std::unique_ptr<JourneysJob> journeysJob_;  // the traces of a network being read
    std::uint64_t journeyRuns_ = 0;             // a late end of an earlier one is dropped
};

}  // namespace truno::window
