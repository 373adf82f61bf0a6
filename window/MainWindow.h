#pragma once
// The program's one window: the File and Help menus, the report view and a status bar
// with the run's summary, and the progress of a run with its Cancel button.
#include "window/UserDialogs.h"

#include <QMainWindow>
#include <QPoint>
#include <QString>
#include <QTimer>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QAction;
class QLabel;
class QMenu;
class QProgressBar;
class QPushButton;

namespace truno::window {

class DecodeJob;
class ReportDocument;
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

    // The banner: program, version, contact and date, with seven blanks after it.
    static QString programVersion();
    // The three lines of the About box.
    static QString aboutText();

    ReportView* reportView() const { return reportView_; }
    // A run is in progress (the progress bar and its Cancel button are shown).
    bool isRunning() const { return job_ != nullptr; }
    // No decoding thread is left, not even a cancelled one still winding down.
    bool isIdle() const { return job_ == nullptr && retiring_ == nullptr; }

public slots:
    // Decodes the log at `path` and shows its report; the previous report stays shown when the
    // file cannot be read or the run is cancelled.
    void openFile(const QString& path);
    void cancelRun();

signals:
    // A run is over (finished, failed or cancelled) and the window shows its outcome.
    void runEnded();

protected:
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void createMenus();
    void createStatusBar();
    void openFromDialog();
    void showAbout();
    void exitProgram();
    void collect();
    void jobEnded(std::uint64_t id);
    void endBusy();
    void restorePrevious();

    std::unique_ptr<UserDialogs> dialogs_;
    ReportView* reportView_ = nullptr;
    QMenu* fileMenu_ = nullptr;
    QAction* openAction_ = nullptr;
    QAction* saveAsAction_ = nullptr;
    QAction* printAction_ = nullptr;
    QAction* exitAction_ = nullptr;
    QAction* aboutAction_ = nullptr;
    QLabel* statusText_ = nullptr;
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
    std::optional<BusyPointer> busy_;

    // What the window showed before the run, given back when the run does not complete.
    std::unique_ptr<ReportDocument> previousReport_;
    QString previousCaption_;
    QString previousStatus_;
    QPoint previousScroll_;
};

}  // namespace truno::window
