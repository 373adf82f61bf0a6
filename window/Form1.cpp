#include "window/Form1.h"

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

QString Form1::ProgramVers() {
    return QStringLiteral("TRUNO Decoder v1.6 - (by the TRUNO Decoder project - 06/06/2006)       ");
}

QString Form1::aboutText() {
    return QStringLiteral(
        "This program is available at https://truno-decoder.example.org/\n"
        "More information and queries to info@truno-decoder.example.org\n"
        "Phone: +1 555 0100");
}

Form1::Form1(std::unique_ptr<UserDialogs> dialogs, QWidget* parent)
    : QMainWindow(parent),
      dialogs_(dialogs ? std::move(dialogs) : std::make_unique<QtUserDialogs>()) {
    setObjectName(QStringLiteral("Form1"));
    text2_ = new ReportView(this);
    text2_->setObjectName(QStringLiteral("Text2"));
    setCentralWidget(text2_);
    text2_->setFocus();  // the keys scroll the report from the start
    createMenus();
    createStatusBar();
    setAcceptDrops(true);
    setWindowTitle(ProgramVers());

    collectTimer_.setInterval(kCollectEvery);
    connect(&collectTimer_, &QTimer::timeout, this, &Form1::collect);

    // Wide enough for the report's banner lines with room to spare, tall enough for a few
    // records, within the screen.
    const int width = std::max(1000, static_cast<int>(std::ceil(110 * text2_->charWidth())));
    const int height = std::max(720, 50 * text2_->lineHeight());
    QSize size(width, height);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        size = size.boundedTo(screen->availableGeometry().size());
    resize(size);
}

Form1::~Form1() {
    // The threads end before anything they report to goes away.
    job_.reset();
    retiring_.reset();
}

void Form1::createMenus() {
    mnuFile_ = menuBar()->addMenu(tr("&File"));
    mnuFile_->setObjectName(QStringLiteral("mnuFile"));

    mnuFileOpen_ = mnuFile_->addAction(tr("&Open"), this, &Form1::mnuFileOpen_Click);
    mnuFileOpen_->setObjectName(QStringLiteral("mnuFileOpen"));
    mnuFileOpen_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));

    // Save As and Print stay disabled: the report is only shown.
    mnuFileSaveAs_ = mnuFile_->addAction(tr("Save &As..."));
    mnuFileSaveAs_->setObjectName(QStringLiteral("mnuFileSaveAs"));
    mnuFileSaveAs_->setEnabled(false);

    mnuFilePrint_ = mnuFile_->addAction(tr("&Print..."));
    mnuFilePrint_->setObjectName(QStringLiteral("mnuFilePrint"));
    mnuFilePrint_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_P));
    mnuFilePrint_->setEnabled(false);

    mnuFile_->addSeparator()->setObjectName(QStringLiteral("mnuFileBar5"));

    mnuFileExit_ = mnuFile_->addAction(tr("E&xit"), this, &Form1::mnuFileExit_Click);
    mnuFileExit_->setObjectName(QStringLiteral("mnuFileExit"));

    QMenu* help = menuBar()->addMenu(tr("&Help"));
    help->setObjectName(QStringLiteral("Help"));
    mnuAbout_ = help->addAction(tr("&About"), this, &Form1::mnuAbout_Click);
    mnuAbout_->setObjectName(QStringLiteral("mnuAbout"));
}

void Form1::createStatusBar() {
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
    connect(cancelButton_, &QPushButton::clicked, this, &Form1::cancelRun);
    statusBar()->addPermanentWidget(cancelButton_);
}

// ---------------------------------------------------------------- commands

void Form1::mnuFileOpen_Click() {
    if (job_) return;
    mnuFileSaveAs_->setEnabled(false);
    const QString path = dialogs_->chooseLogFile(this);
    if (path.isEmpty()) return;  // cancelled: everything stays as it was
    openFile(path);
}

void Form1::mnuAbout_Click() { dialogs_->showInformation(this, kProgramTitle, aboutText()); }

void Form1::mnuFileExit_Click() { close(); }

void Form1::openFile(const QString& path) {
    if (job_) return;  // one run at a time
    retiring_.reset();
    mnuFileSaveAs_->setEnabled(false);

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
    previousScroll_ = {text2_->horizontalScrollBar()->value(), text2_->verticalScrollBar()->value()};
    previousReport_ = text2_->setDocument(std::make_unique<ReportDocument>());
    runPath_ = fullPath;
    setWindowTitle(ProgramVers() + QStringLiteral(" - ") + fullPath);
    statusText_->setText(tr("Decoding %1 ...").arg(fullPath));
    busy_.emplace();
    mnuFileOpen_->setEnabled(false);
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

void Form1::collect() {
    if (!job_) return;
    job_->takeBlocks(collected_);
    for (std::string& block : collected_) text2_->appendText(std::move(block));
    collected_.clear();
    const std::int64_t size = job_->fileSize();
    if (size > 0) {
        const double done = static_cast<double>(job_->bytesRead()) / static_cast<double>(size);
        progress_->setValue(static_cast<int>(std::min(1.0, done) * 1000));
    }
}

void Form1::jobEnded(std::uint64_t id) {
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

void Form1::cancelRun() {
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

void Form1::endBusy() {
    busy_.reset();
    progress_->hide();
    cancelButton_->hide();
    mnuFileOpen_->setEnabled(true);
}

void Form1::restorePrevious() {
    text2_->setDocument(std::move(previousReport_));
    text2_->horizontalScrollBar()->setValue(previousScroll_.x());
    text2_->verticalScrollBar()->setValue(previousScroll_.y());
    setWindowTitle(previousCaption_);
    statusText_->setText(previousStatus_);
}

// ---------------------------------------------------------------- window events

void Form1::closeEvent(QCloseEvent* event) {
    cancelRun();
    if (retiring_) retiring_->cancel();
    event->accept();
}

void Form1::dragEnterEvent(QDragEnterEvent* event) {
    if (!job_ && !droppedFile(event->mimeData()).isEmpty()) event->acceptProposedAction();
}

void Form1::dropEvent(QDropEvent* event) {
    const QString path = droppedFile(event->mimeData());
    if (job_ || path.isEmpty()) return;
    event->acceptProposedAction();
    // Opened once the drop is over, so that a message box does not stall the drag.
    QMetaObject::invokeMethod(this, [this, path] { openFile(path); }, Qt::QueuedConnection);
}

}  // namespace truno::window
