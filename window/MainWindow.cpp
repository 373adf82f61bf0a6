#include "window/MainWindow.h"

#include "window/DecodeJob.h"
#include "window/ReportDocument.h"
#include "window/ReportView.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QStatusBar>
#include <QUrl>

#include <algorithm>
#include <chrono>
#include <cmath>

namespace truno::window {

namespace {

const QString kProgramTitle = QStringLiteral("TRUNO Decoder");

// How often the report text of a run in progress is taken into the view.
constexpr std::chrono::milliseconds kCollectEvery{50};

// The first local file among dropped URLs; empty when there is none.
QString droppedFile(const QMimeData* mime) {
    if (mime == nullptr || !mime->hasUrls()) return {};
    for (const QUrl& url : mime->urls())
        if (url.isLocalFile()) return url.toLocalFile();
    return {};
}

}  // namespace

BusyPointer::BusyPointer() { QGuiApplication::setOverrideCursor(Qt::BusyCursor); }
BusyPointer::~BusyPointer() { QGuiApplication::restoreOverrideCursor(); }

QString MainWindow::programVersion() {
    return QStringLiteral("TRUNO Decoder v1.6 - (by the TRUNO Decoder project - 06/06/2006)       ");
}

QString MainWindow::aboutText() {
    return QStringLiteral(
        "This program is available at https://truno-decoder.example.org/\n"
        "More information and queries to info@truno-decoder.example.org\n"
        "Phone: +1 555 0100");
}

MainWindow::MainWindow(std::unique_ptr<UserDialogs> dialogs, QWidget* parent)
    : QMainWindow(parent),
      dialogs_(dialogs ? std::move(dialogs) : std::make_unique<QtUserDialogs>()) {
    setObjectName(QStringLiteral("MainWindow"));
    reportView_ = new ReportView(this);
    reportView_->setObjectName(QStringLiteral("reportView"));
    setCentralWidget(reportView_);
    reportView_->setFocus();  // the keys scroll the report from the start
    createMenus();
    createStatusBar();
    setAcceptDrops(true);
    setWindowTitle(programVersion());

    collectTimer_.setInterval(kCollectEvery);
    connect(&collectTimer_, &QTimer::timeout, this, &MainWindow::collect);

    // Wide enough for the report's banner lines with room to spare, tall enough for a few
    // records, within the screen.
    const int width = std::max(1000, static_cast<int>(std::ceil(110 * reportView_->charWidth())));
    const int height = std::max(720, 50 * reportView_->lineHeight());
    QSize size(width, height);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        size = size.boundedTo(screen->availableGeometry().size());
    resize(size);
}

MainWindow::~MainWindow() {
    // The threads end before anything they report to goes away.
    job_.reset();
    retiring_.reset();
}

void MainWindow::createMenus() {
    fileMenu_ = menuBar()->addMenu(tr("&File"));
    fileMenu_->setObjectName(QStringLiteral("fileMenu"));

    openAction_ = fileMenu_->addAction(tr("&Open"), this, &MainWindow::openFromDialog);
    openAction_->setObjectName(QStringLiteral("openAction"));
    openAction_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));

    // Save As and Print stay disabled: the report is only shown.
    saveAsAction_ = fileMenu_->addAction(tr("Save &As..."));
    saveAsAction_->setObjectName(QStringLiteral("saveAsAction"));
    saveAsAction_->setEnabled(false);

    printAction_ = fileMenu_->addAction(tr("&Print..."));
    printAction_->setObjectName(QStringLiteral("printAction"));
    printAction_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_P));
    printAction_->setEnabled(false);

    fileMenu_->addSeparator()->setObjectName(QStringLiteral("exitSeparator"));

    exitAction_ = fileMenu_->addAction(tr("E&xit"), this, &MainWindow::exitProgram);
    exitAction_->setObjectName(QStringLiteral("exitAction"));

    QMenu* help = menuBar()->addMenu(tr("&Help"));
    help->setObjectName(QStringLiteral("Help"));
    aboutAction_ = help->addAction(tr("&About"), this, &MainWindow::showAbout);
    aboutAction_->setObjectName(QStringLiteral("aboutAction"));
}

void MainWindow::createStatusBar() {
    statusText_ = new QLabel(this);
    statusText_->setObjectName(QStringLiteral("statusText"));
    statusText_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    statusBar()->addWidget(statusText_, 1);

    progress_ = new QProgressBar(this);
    progress_->setObjectName(QStringLiteral("runProgress"));
    progress_->setMaximumWidth(240);
    progress_->hide();
    statusBar()->addPermanentWidget(progress_);

    cancelButton_ = new QPushButton(tr("Cancel"), this);
    cancelButton_->setObjectName(QStringLiteral("runCancel"));
    cancelButton_->hide();
    connect(cancelButton_, &QPushButton::clicked, this, &MainWindow::cancelRun);
    statusBar()->addPermanentWidget(cancelButton_);
}

// ---------------------------------------------------------------- commands

void MainWindow::openFromDialog() {
    if (job_) return;
    saveAsAction_->setEnabled(false);
    const QString path = dialogs_->chooseLogFile(this);
    if (path.isEmpty()) return;  // cancelled: everything stays as it was
    openFile(path);
}

void MainWindow::showAbout() { dialogs_->showInformation(this, kProgramTitle, aboutText()); }

void MainWindow::exitProgram() { close(); }

void MainWindow::openFile(const QString& path) {
    if (job_) return;  // one run at a time
    retiring_.reset();
    saveAsAction_->setEnabled(false);

    const QString fullPath = QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath());
    QString error;
    std::unique_ptr<DecodeJob> job = DecodeJob::open(path, error);
    if (!job) {
        dialogs_->showError(this, kProgramTitle,
                            tr("Cannot open the file\n%1\n\n%2").arg(fullPath, error));
        return;
    }

    previousCaption_ = windowTitle();
    previousStatus_ = statusText_->text();
    previousScroll_ = {reportView_->horizontalScrollBar()->value(), reportView_->verticalScrollBar()->value()};
    previousReport_ = reportView_->setDocument(std::make_unique<ReportDocument>());
    runPath_ = fullPath;
    setWindowTitle(programVersion() + QStringLiteral(" - ") + fullPath);
    statusText_->setText(tr("Decoding %1 ...").arg(fullPath));
    busy_.emplace();
    openAction_->setEnabled(false);
    progress_->setRange(0, job->fileSize() > 0 ? 1000 : 0);  // a pipe: no known end
    progress_->setValue(0);
    progress_->show();
    cancelButton_->setEnabled(true);
    cancelButton_->show();

    jobId_ = ++lastJobId_;
    const std::uint64_t id = jobId_;
    job_ = std::move(job);
    job_->start([this, id] {
        QMetaObject::invokeMethod(this, [this, id] { jobEnded(id); }, Qt::QueuedConnection);
    });
    collectTimer_.start();
}

void MainWindow::collect() {
    if (!job_) return;
    job_->takeBlocks(collected_);
    for (std::string& block : collected_) reportView_->appendText(std::move(block));
    collected_.clear();
    const std::int64_t size = job_->fileSize();
    if (size > 0) {
        const double done = static_cast<double>(job_->bytesRead()) / static_cast<double>(size);
        progress_->setValue(static_cast<int>(std::min(1.0, done) * 1000));
    }
}

void MainWindow::jobEnded(std::uint64_t id) {
    if (retiring_ && id == retiringId_) {
        retiring_.reset();
        return;
    }
    if (!job_ || id != jobId_) return;
    job_->wait();
    collect();
    collectTimer_.stop();
    const QString readError = job_->readError();
    const RunSummary summary = job_->summary();
    job_.reset();
    collected_ = {};
    endBusy();
    if (!readError.isEmpty()) {
        restorePrevious();
        dialogs_->showError(this, kProgramTitle,
                            tr("Cannot read the file\n%1\n\n%2").arg(runPath_, readError));
    } else {
        previousReport_.reset();
        statusText_->setText(QString::fromStdString(summaryText(summary)));
    }
    emit runEnded();
}

void MainWindow::cancelRun() {
    if (!job_) return;
    // The thread stops on its own within moments; the window does not wait for it.
    job_->cancel();
    collectTimer_.stop();
    retiring_ = std::move(job_);
    retiringId_ = jobId_;
    collected_ = {};
    endBusy();
    restorePrevious();
    statusText_->setText(tr("Decoding of %1 cancelled; the previous report is kept.").arg(runPath_));
    emit runEnded();
}

void MainWindow::endBusy() {
    busy_.reset();
    progress_->hide();
    cancelButton_->hide();
    openAction_->setEnabled(true);
}

void MainWindow::restorePrevious() {
    reportView_->setDocument(std::move(previousReport_));
    reportView_->horizontalScrollBar()->setValue(previousScroll_.x());
    reportView_->verticalScrollBar()->setValue(previousScroll_.y());
    setWindowTitle(previousCaption_);
    statusText_->setText(previousStatus_);
}

// ---------------------------------------------------------------- window events

void MainWindow::closeEvent(QCloseEvent* event) {
    cancelRun();
    if (retiring_) retiring_->cancel();
    event->accept();
}

void MainWindow::dragEnterEvent(QDragEnterEvent* event) {
    if (!job_ && !droppedFile(event->mimeData()).isEmpty()) event->acceptProposedAction();
}

void MainWindow::dropEvent(QDropEvent* event) {
    const QString path = droppedFile(event->mimeData());
    if (job_ || path.isEmpty()) return;
    event->acceptProposedAction();
    // Opened once the drop is over, so that a message box does not stall the drag.
    QMetaObject::invokeMethod(this, [this, path] { openFile(path); }, Qt::QueuedConnection);
}

}  // namespace truno::window
