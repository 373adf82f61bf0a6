#include "window/app/MainWindow.h"

#include "window/app/FilterController.h"
#include "window/app/OutputController.h"
#include "window/app/RecordNavigator.h"
#include "window/app/RunController.h"
#include "window/app/StatusLine.h"
#include "window/app/WindowActions.h"
#include "window/log/DecodeJob.h"
#include "window/report/FindBar.h"
#include "window/views/CallsView.h"
#include "window/views/HealthView.h"
#include "window/views/JourneysView.h"
#include "window/views/MessageFilterBar.h"
#include "window/views/MessageList.h"
#include "window/views/StatisticsView.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QFile>
#include <QGuiApplication>
#include <QHeaderView>
#include <QIcon>
#include <QLineEdit>
#include <QMenu>
#include <QScreen>
#include <QScrollBar>
#include <QSettings>
#include <QSignalBlocker>
#include <QSplitter>
#include <QStyle>
#include <QTabWidget>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>
#include <optional>
#include <utility>
#include <vector>

namespace truno::window {

namespace {

// Octets before the message type code: 4 (BICC) or 2 (ISUP), kept across starts.
const QString kCicOctetsKey = QStringLiteral("decoding/cicOctets");
const QString kGeometryKey = QStringLiteral("window/geometry");
const QString kSplitterKey = QStringLiteral("window/splitter");
const QString kCallsSplitterKey = QStringLiteral("window/callsSplitter");
const QString kTabKey = QStringLiteral("window/tab");
// Whether a followed log keeps only its last messages, and how many.
const QString kKeepLastKey = QStringLiteral("follow/keepLast");
const QString kKeepLastCountKey = QStringLiteral("follow/keepLastCount");



// The log as the caption names it: its path, and after it how many more files are read with it.
QString captionOf(const OpenedLog& log) {
    const qsizetype more = log.files.size() - 1;
    if (more < 1) return log.path;
    return more == 1 ? MainWindow::tr("%1 + 1 file").arg(log.path) : MainWindow::tr("%1 + %2 files").arg(log.path).arg(more);
}

// The folder the documentation is in: beside the program's own folder as installed
// (bin/../share/doc/...), where the build installs it, or, for a program run from its build tree
// and not installed, the source tree's docs folder. Only a folder that is there is named.
QString documentationFolder() {
    const QString up = QDir(QStringLiteral("/p/" TRUNO_INSTALL_BINDIR)).relativeFilePath(QStringLiteral("/p"));
    const QString beside = QDir::cleanPath(QCoreApplication::applicationDirPath() + QLatin1Char('/') + up +
                                           QStringLiteral("/" TRUNO_INSTALL_DOCDIR));
    for (const QString& folder : {beside, QStringLiteral(TRUNO_INSTALL_FULL_DOCDIR), QStringLiteral(TRUNO_SOURCE_DOCDIR)})
        if (QFileInfo(folder).isDir()) return folder;
    return QStringLiteral(TRUNO_INSTALL_FULL_DOCDIR);
}

QString countsOf(std::uint64_t found, std::uint64_t decoded, std::uint64_t notDecoded, std::uint64_t calls) {
    return MainWindow::tr("Found %1 · Decoded %2 · Not decoded %3 · Calls %4")
        .arg(countText(found), countText(decoded), countText(notDecoded), countText(calls));
}

}  // namespace

QString MainWindow::versionNumber() { return QStringLiteral(TRUNO_VERSION); }

QString MainWindow::programVersion() {
    return QStringLiteral("TRUNO Decoder v" TRUNO_VERSION_MAJOR_MINOR
                          " - (by the TRUNO Decoder project - 06/06/2006)       ");
}

QString MainWindow::aboutText() {
    return tr("TRUNO Decoder %1\n"
              "Decodes BICC and ISUP signalling trace logs (ITU-T Q.763, Q.1902) into a readable report.\n"
              "Documentation: %2 and the manual page truno-decoder(1).")
        .arg(versionNumber(), documentationFolder());
}

MainWindow::MainWindow(std::unique_ptr<UserDialogs> dialogs, QWidget* parent)
    : QMainWindow(parent),
      dialogs_(dialogs ? std::move(dialogs) : std::make_unique<QtUserDialogs>()) {
    setObjectName(QStringLiteral("MainWindow"));
    parts_.window = this;
    parts_.dialogs = dialogs_.get();

    // The report and its find bar, in a splitter that the other views join.
    splitter_ = new QSplitter(Qt::Horizontal, this);
    splitter_->setObjectName(QStringLiteral("mainSplitter"));
    splitter_->setChildrenCollapsible(false);
    auto* reportPane = new QWidget(splitter_);
    reportPane->setObjectName(QStringLiteral("reportPane"));
    auto* paneLayout = new QVBoxLayout(reportPane);
    paneLayout->setContentsMargins(0, 0, 0, 0);
    paneLayout->setSpacing(0);
    parts_.reportView = new ReportView(reportPane);
    parts_.reportView->setObjectName(QStringLiteral("reportView"));
    parts_.reportView->setDocument(std::move(parts_.log->report));  // the log on screen lends its report
    findBar_ = new FindBar(parts_.reportView, reportPane);
    paneLayout->addWidget(parts_.reportView, 1);
    paneLayout->addWidget(findBar_);
    splitter_->addWidget(reportPane);
    setCentralWidget(splitter_);
    parts_.reportView->setFocus();  // the keys scroll the report from the start
    createViews();

    actions_ = std::make_unique<WindowActions>(this);
    parts_.status = new StatusLine(this);
    connect(parts_.status, &StatusLine::cancelClicked, this, &MainWindow::cancelCurrent);
    setAcceptDrops(true);
    setWindowTitle(programVersion());

    run_ = std::make_unique<RunController>(parts_);
    connect(run_.get(), &RunController::taken, this, &MainWindow::recordsTaken);
    connect(run_.get(), &RunController::soFarTaken, this, &MainWindow::showSoFar);
    connect(run_.get(), &RunController::finished, this, &MainWindow::finishRun);
    filter_ = std::make_unique<FilterController>(parts_, *run_);
    connect(filter_.get(), &FilterController::listFiltered, this, &MainWindow::listFiltered);
    connect(filter_.get(), &FilterController::listFiltered, this, &MainWindow::updateShown);
    navigator_ = std::make_unique<RecordNavigator>(parts_);
    connect(filter_.get(), &FilterController::reportSwitched, this, [this](bool filtered) {
        updateActions();
        if (filtered) navigator_->followReport();
    });
    output_ = std::make_unique<OutputController>(parts_);
    connect(output_.get(), &OutputController::stateChanged, this, [this] {
        updateActions();
        if (filterPending_ && !output_->holdsReport()) applyFilter();
    });
    connect(output_.get(), &OutputController::taskEnded, this, &MainWindow::taskEnded);
    connectActions();

    restoreSettings();
    updateRecentMenu();
    updateActions();
}

void MainWindow::createViews() {
    // The message list with its filter, the calls and the statistics, in tabs beside the report.
    viewTabs_ = new QTabWidget(splitter_);
    viewTabs_->setObjectName(QStringLiteral("viewTabs"));
    viewTabs_->setDocumentMode(true);

    auto* messagesPane = new QWidget(viewTabs_);
    messagesPane->setObjectName(QStringLiteral("messagesPane"));
    auto* layout = new QVBoxLayout(messagesPane);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    parts_.filterBar = new MessageFilterBar(messagesPane);
    parts_.messageModel = new MessageListModel(this);
    parts_.messageModel->reset(&parts_.log->store, &parts_.reportView->document());
    QTableView* list = parts_.messageList = new QTableView(messagesPane);
    list->setObjectName(QStringLiteral("messageList"));
    list->setModel(parts_.messageModel);
    list->setSelectionBehavior(QAbstractItemView::SelectRows);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setWordWrap(false);
    list->setShowGrid(false);
    list->setAlternatingRowColors(true);
    list->verticalHeader()->hide();
    // Rows of one height: a million of them scroll without being measured.
    list->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    list->verticalHeader()->setDefaultSectionSize(list->fontMetrics().height() + 4);
    list->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    list->horizontalHeader()->setStretchLastSection(true);
    list->horizontalHeader()->setSortIndicatorShown(false);
    const int digit = list->fontMetrics().horizontalAdvance(QLatin1Char('0'));
    const int widths[] = {10 * digit, 12 * digit, 5 * digit, 8 * digit, 7 * digit};
    for (int column = 0; column < 5; ++column) list->setColumnWidth(column, widths[column]);
    layout->addWidget(parts_.filterBar);
    layout->addWidget(list, 1);
    viewTabs_->addTab(messagesPane,
                      QIcon::fromTheme(QStringLiteral("view-list-details"), style()->standardIcon(QStyle::SP_FileDialogDetailedView)),
                      tr("&Messages"));

    parts_.callsPane = new CallsPane(viewTabs_);
    parts_.callsPane->reset(&parts_.log->store);
    viewTabs_->addTab(parts_.callsPane, QIcon::fromTheme(QStringLiteral("call-start"), style()->standardIcon(QStyle::SP_ArrowRight)),
                      tr("&Calls"));
    parts_.statisticsPane = new StatisticsPane(viewTabs_);
    viewTabs_->addTab(parts_.statisticsPane,
                      QIcon::fromTheme(QStringLiteral("office-chart-bar"), style()->standardIcon(QStyle::SP_FileDialogInfoView)),
                      tr("&Statistics"));
    parts_.healthPane = new HealthPane(viewTabs_);
    viewTabs_->addTab(parts_.healthPane,
                      QIcon::fromTheme(QStringLiteral("network-wired"), style()->standardIcon(QStyle::SP_DriveNetIcon)),
                      tr("&Health"));
    parts_.journeysPane = new JourneysPane(viewTabs_);
    viewTabs_->addTab(parts_.journeysPane,
                      QIcon::fromTheme(QStringLiteral("network-workgroup"), style()->standardIcon(QStyle::SP_DirLinkIcon)),
                      tr("&Journeys"));
    // A followed log's newer statistics or health wait for their tab to be chosen.
    connect(viewTabs_, &QTabWidget::currentChanged, this, &MainWindow::showStaleTabs);
    connect(viewTabs_, &QTabWidget::currentChanged, this, &MainWindow::showReportPane);
    splitter_->insertWidget(0, viewTabs_);
    splitter_->setStretchFactor(0, 2);
    splitter_->setStretchFactor(1, 3);
}

void MainWindow::connectActions() {
    const WindowActions& a = *actions_;
    connect(a.open, &QAction::triggered, this, [this] { openFromDialog(); });
    connect(a.follow, &QAction::triggered, this, [this] { openFromDialog(true); });
    connect(a.stopFollowing, &QAction::triggered, this, &MainWindow::stopFollowing);
    connect(a.followingLimit, &QAction::triggered, this, &MainWindow::chooseMessageLimit);
    connect(a.openTraces, &QAction::triggered, this, &MainWindow::openTracesFromDialog);
    connect(a.reload, &QAction::triggered, this, &MainWindow::reload);
    connect(a.isupMode, &QAction::toggled, this, &MainWindow::setIsupMode);
    connect(a.saveAs, &QAction::triggered, this, &MainWindow::saveReportAs);
    connect(a.print, &QAction::triggered, this, &MainWindow::printReport);
    connect(a.exportPdf, &QAction::triggered, this, &MainWindow::exportPdf);
    connect(a.exit, &QAction::triggered, this, &MainWindow::close);
    connect(a.copy, &QAction::triggered, parts_.reportView, &ReportView::copy);
    connect(a.selectAll, &QAction::triggered, parts_.reportView, &ReportView::selectAll);
    connect(a.find, &QAction::triggered, findBar_, &FindBar::open);
    connect(a.findNext, &QAction::triggered, findBar_, &FindBar::findNext);
    connect(a.findPrevious, &QAction::triggered, findBar_, &FindBar::findPrevious);
    connect(a.closeFind, &QAction::triggered, findBar_, &FindBar::escape);
    connect(a.goToRecord, &QAction::triggered, this, &MainWindow::goToRecord);
    connect(a.nextNotDecoded, &QAction::triggered, this, &MainWindow::nextNotDecoded);
    connect(a.previousNotDecoded, &QAction::triggered, this, &MainWindow::previousNotDecoded);
    connect(a.exportSummary, &QAction::triggered, this, [this] { exportAs(ExportKind::SummaryCsv); });
    connect(a.exportCalls, &QAction::triggered, this, [this] { exportAs(ExportKind::CallsCsv); });
    connect(a.exportJson, &QAction::triggered, this, [this] { exportAs(ExportKind::JsonLines); });
    connect(a.exportPcap, &QAction::triggered, this, [this] { exportAs(ExportKind::Pcap); });
    connect(a.exportHtml, &QAction::triggered, this, &MainWindow::exportHtmlReport);
    connect(a.saveDiagram, &QAction::triggered, this, &MainWindow::saveDiagram);
    for (int k = 0; k < WindowActions::kTabs; ++k)
        connect(a.tabs[k], &QAction::triggered, this, [this, k] { viewTabs_->setCurrentIndex(k); });
    // The expression box (Where), the filter language's; the free text is Find's (Ctrl+F).
    connect(a.filter, &QAction::triggered, this, [this] {
        viewTabs_->setCurrentIndex(0);
        parts_.filterBar->expressionEdit()->setFocus();
        parts_.filterBar->expressionEdit()->selectAll();
    });
    connect(a.reportToo, &QAction::toggled, parts_.filterBar->reportTooBox(), &QCheckBox::setChecked);
    connect(a.about, &QAction::triggered, this, &MainWindow::showAbout);

    // The views beside the report.
    connect(parts_.filterBar, &MessageFilterBar::changed, this, &MainWindow::applyFilter);
    connect(parts_.filterBar, &MessageFilterBar::reportTooToggled, this, [this](bool on) {
        actions_->reportToo->setChecked(on);
        applyFilter();
    });
    connect(parts_.callsPane, &CallsPane::callChosen, this, [this](std::uint64_t firstRecord, const QString& name) {
        parts_.filterBar->setCall(firstRecord, name);
        applyFilter();
        updateActions();
    });
    connect(parts_.callsPane->ladder(), &LadderDiagram::recordClicked, navigator_.get(), &RecordNavigator::chooseRecord);
    connect(parts_.callsPane, &CallsPane::saveDiagramRequested, this, &MainWindow::saveDiagram);
    connect(parts_.journeysPane, &JourneysPane::cancelRequested, this, &MainWindow::cancelJourneys);
    connect(parts_.healthPane, &HealthPane::recordChosen, navigator_.get(), &RecordNavigator::chooseRecord);
    connect(parts_.healthPane->ladder(), &LadderDiagram::recordClicked, navigator_.get(), &RecordNavigator::chooseRecord);
}

bool MainWindow::showTab(const QString& name) {
    for (int k = 0; k < WindowActions::kTabs; ++k) {
        if (name != QLatin1String(WindowActions::kTabNames[k])) continue;
        viewTabs_->setCurrentIndex(k);
        return true;
    }
    return false;
}

MainWindow::~MainWindow() {
    // The threads end before anything they report to or read goes away (the list's sort reads
    // the store).
    journeysJob_.reset();
    parts_.messageModel->reset(nullptr, nullptr);
    output_.reset();
    navigator_.reset();
    filter_.reset();
    run_.reset();
}

void MainWindow::restoreSettings() {
    const QSettings settings;
    const ReportView* view = parts_.reportView;
    cicOctets_ = settings.value(kCicOctetsKey, 4).toInt() == 2 ? 2 : 4;
    {
        const QSignalBlocker quiet(actions_->isupMode);
        actions_->isupMode->setChecked(cicOctets_ == 2);
    }
    showMode();
    messageLimit_.on = settings.value(kKeepLastKey, false).toBool();
    messageLimit_.count =
        std::clamp<std::uint64_t>(settings.value(kKeepLastCountKey, QVariant::fromValue<qulonglong>(messageLimit_.count))
                                      .toULongLong(),
                                  MessageLimit::kLowest, MessageLimit::kHighest);
    run_->setMessageLimit(messageLimit_);
    if (!restoreGeometry(settings.value(kGeometryKey).toByteArray())) {
        // Wide enough for the report's banner lines and the message list beside them, tall
        // enough for a few records, within the screen.
        const int width = std::max(1000, static_cast<int>(std::ceil(230 * view->charWidth())));
        const int height = std::max(760, 58 * view->lineHeight());
        QSize size(width, height);
        if (const QScreen* screen = QGuiApplication::primaryScreen())
            size = size.boundedTo(screen->availableGeometry().size());
        resize(size);
    }
    if (!splitter_->restoreState(settings.value(kSplitterKey).toByteArray())) {
        // The report keeps room for its lines of about a hundred characters; the views get the rest.
        const int report = static_cast<int>(std::ceil(104 * view->charWidth())) +
                           view->verticalScrollBar()->sizeHint().width();
        splitter_->setSizes({std::max(width() - report, width() / 3), report});
    }
    if (auto* calls = parts_.callsPane->findChild<QSplitter*>(QStringLiteral("callsSplitter")))
        calls->restoreState(settings.value(kCallsSplitterKey).toByteArray());
    showTab(settings.value(kTabKey).toString());
}

bool MainWindow::isRunning() const { return run_->running(); }

bool MainWindow::isFollowing() const { return run_->following(); }

bool MainWindow::isBusy() const { return run_->running() || output_->busy(); }

bool MainWindow::isIdle() const { return !output_->busy() && run_->idle() && !journeysJob_; }

bool MainWindow::filterSettled() const { return filter_->settled(); }

void MainWindow::updateActions() {
    const WindowActions& a = *actions_;
    const bool free = !isBusy();
    const bool shown = !parts_.reportView->document().empty();
    // Another log may be opened while one is followed: the following ends first.
    a.open->setEnabled(free || isFollowing());
    a.follow->setEnabled(free || isFollowing());
    a.stopFollowing->setEnabled(isFollowing());
    a.recentMenu->setEnabled(free && !a.recentMenu->isEmpty());
    a.reload->setEnabled(free && !parts_.log->path.isEmpty());
    // The report can be written out once a run has finished it.
    a.saveAs->setEnabled(free && shown);
    a.print->setEnabled(free && shown);
    a.exportPdf->setEnabled(free && shown);
    const bool facts = free && shown && !parts_.log->store.empty();
    for (QAction* action : {a.exportSummary, a.exportCalls, a.exportJson, a.exportPcap}) action->setEnabled(facts);
    a.exportHtml->setEnabled(facts && parts_.log->health != nullptr);
    a.saveDiagram->setEnabled(!parts_.callsPane->ladder()->arrows().empty());
}

// ---------------------------------------------------------------- opening a log

void MainWindow::followFile(const QString& path) { openLog({path}, true); }

void MainWindow::stopFollowing() { run_->stopFollowing(); }

void MainWindow::chooseMessageLimit() {
    const std::optional<MessageLimit> chosen = dialogs_->chooseMessageLimit(this, messageLimit_);
    if (!chosen) return;
    setMessageLimit(*chosen);
}

void MainWindow::setMessageLimit(MessageLimit limit) {
    limit.count = std::clamp(limit.count, MessageLimit::kLowest, MessageLimit::kHighest);
    messageLimit_ = limit;
    QSettings settings;
    settings.setValue(kKeepLastKey, limit.on);
    settings.setValue(kKeepLastCountKey, QVariant::fromValue<qulonglong>(limit.count));
    // A log followed now keeps to it from its next messages on.
    run_->setMessageLimit(limit);
}

void MainWindow::reload() {
    if (!parts_.log->files.isEmpty()) openLog(parts_.log->files, false);
}

void MainWindow::setIsupMode(bool on) {
    const std::size_t octets = on ? 2 : 4;
    if (octets == cicOctets_) return;
    cicOctets_ = octets;
    QSettings().setValue(kCicOctetsKey, static_cast<int>(octets));
    showMode();
    // The log shown is read again in the new mode (unless a run or a save is in progress: the
    // next log opened, or Reload, then uses it).
    if (!isBusy()) reload();
}

void MainWindow::showMode() {
    parts_.status->setMode(cicOctets_ == 2 ? tr("ISUP (2-octet CIC)") : tr("BICC (4-octet CIC)"));
}

void MainWindow::showAbout() { dialogs_->showInformation(this, kProgramTitle, aboutText()); }

std::unique_ptr<OpenedLog> MainWindow::swapLog(std::unique_ptr<OpenedLog> log) {
    filter_->showFullReport();
    ReportView* view = parts_.reportView;
    parts_.log->scroll = {view->horizontalScrollBar()->value(), view->verticalScrollBar()->value()};
    parts_.log->report = view->setDocument(std::move(log->report));
    std::swap(log, parts_.log);
    parts_.messageModel->reset(&parts_.log->store, &view->document());
    parts_.callsPane->reset(&parts_.log->store);
    for (QTableView* table : {parts_.messageList, parts_.callsPane->table()}) renewRowHeader(table);
    return log;
}

void MainWindow::openFile(const QString& path) { openLog({path}, false); }

void MainWindow::openLog(const QStringList& paths, bool follow) {
    run_->endFollowing();
    if (isBusy() || paths.isEmpty()) return;  // one run at a time, and not while the report is written out
    run_->forgetCancelled();

    QStringList fullPaths;
    for (const QString& path : paths) fullPaths << fullPathOf(path);
    const QString& fullPath = fullPaths.constFirst();
    QString error;
    std::unique_ptr<DecodeJob> job =
        follow ? DecodeJob::follow(paths.constFirst()) : DecodeJob::open(paths.constFirst(), error);
    // Several files are read as one log, each opened now: one that cannot be stops them all.
    qsizetype failed = 0;
    for (qsizetype k = 1; job && k < paths.size(); ++k) {
        if (!job->addFile(paths[k], error)) {
            job.reset();
            failed = k;
        }
    }
    if (job) {
        job->setCicOctets(cicOctets_);
        job->setJobs(decodeJobs_);
        job->setHealthOptions(HealthPane::options());
    }
    if (!job) {
        if (!QFileInfo::exists(paths[failed])) forgetFile(fullPaths[failed]);
        dialogs_->showError(this, kProgramTitle, tr("Cannot open the file\n%1\n\n%2").arg(fullPaths[failed], error));
        return;
    }
    // Of several files the recent-files list keeps the first.
    rememberFile(fullPath);

    // The log shown stays aside until the run has finished.
    auto opened = std::make_unique<OpenedLog>(fullPath);
    opened->files = fullPaths;
    previous_ = swapLog(std::move(opened));
    showReportPane();
    parts_.messageModel->setSortable(false);
    parts_.messageList->setSortingEnabled(false);
    parts_.messageList->horizontalHeader()->setSortIndicatorShown(false);
    parts_.filterBar->setCall(0, {});
    parts_.statisticsPane->clear();
    parts_.healthPane->clear();
    statisticsStale_ = healthStale_ = false;
    applyFilter();
    updateCounts();
    setWindowTitle(programVersion() + QStringLiteral(" - ") + captionOf(*parts_.log));
    parts_.status->setSummary(follow ? tr("Following %1: 0 messages").arg(QFileInfo(fullPath).fileName())
                                     : tr("Decoding %1 ...").arg(captionOf(*parts_.log)));
    if (!follow) parts_.status->showBusy();
    parts_.status->showProgress(job->fileSize() > 0 ? 1000 : 0, QStringLiteral("%p%"));  // a pipe: no known end
    ++runs_;
    run_->start(std::move(job));
    updateActions();
}

void MainWindow::recordsTaken(bool newRecords) {
    parts_.callsPane->update();
    if (!newRecords) return;
    filter_->recordsAdded();
    updateCounts();
}

void MainWindow::showSoFar() {
    statisticsStale_ = true;
    healthStale_ = parts_.log->health != nullptr;
    showStaleTabs();
}

void MainWindow::showStaleTabs() {
    OpenedLog& log = *parts_.log;
    if (statisticsStale_ && parts_.statisticsPane->isVisible()) {
        statisticsStale_ = false;
        parts_.statisticsPane->show(log.statistics, log.perSecond);
    }
    if (healthStale_ && parts_.healthPane->isVisible()) {
        healthStale_ = false;
        parts_.healthPane->show(*log.health, log.store);
        log.healthShown.reset();
    }
}

void MainWindow::showReportPane() {
    if (auto* pane = splitter_->findChild<QWidget*>(QStringLiteral("reportPane")))
        pane->setVisible(viewTabs_->currentWidget() != parts_.journeysPane || !parts_.log->files.isEmpty());
}

void MainWindow::showStatisticsAndHealth() {
    statisticsStale_ = healthStale_ = false;
    OpenedLog& log = *parts_.log;
    parts_.statisticsPane->show(log.statistics, log.perSecond);
    if (log.health) parts_.healthPane->show(*log.health, log.store);
    log.healthShown.reset();
    // The run's threads and the tabs' drawing freed what they held into the heaps, where glibc
    // keeps it for later (about 17 MB on a million messages): it goes back to the system.
    OpenedLog::returnFreedMemory();
}

void MainWindow::updateShown() {
    const OpenedLog& log = *parts_.log;
    const bool filtered = parts_.messageModel->filter().active();
    const auto shown = static_cast<std::uint64_t>(parts_.messageModel->rowCount());
    // A followed log that keeps its last messages: the list is of those, the counts of them all.
    parts_.status->setShown(shown, log.admitted, log.store.dropped() > 0,
                            filtered ? parts_.filterBar->heldExpression() : QString());
    parts_.statisticsPane->setScope(filtered, shown, log.messagesRead(), log.admitted);
    parts_.healthPane->setScope(filtered, shown, log.messagesRead(), log.admitted);
}

void MainWindow::updateCounts() {
    updateShown();
    const OpenedLog& log = *parts_.log;
    const std::uint64_t read = log.messagesRead();
    parts_.status->setCounts(countsOf(read, read - log.notDecodedRead, log.notDecodedRead,
                                      log.store.calls().size() + log.store.droppedCalls() + log.store.callsUnfinished()));
}

void MainWindow::finishRun(const RunOutcome& outcome) {
    parts_.status->endProgress();
    const QString path = parts_.log->files.join(QLatin1Char('\n'));
    if (!outcome.readError.isEmpty()) {
        restorePrevious();
        dialogs_->showError(this, kProgramTitle, tr("Cannot read the file\n%1\n\n%2").arg(path, outcome.readError));
    } else if (outcome.summary.found == 0) {
        // Nothing to show: the report shown before stays, and the reason is given.
        restorePrevious();
        dialogs_->showError(this, kProgramTitle,
                            tr("No message was found in\n%1\n\n%2\n\nThe report shown before is kept.")
                                .arg(path, QString::fromStdString(outcome.summary.whyNothing)));
    } else {
        // The log shown before is not needed any more: it goes, and the memory it held with it.
        OpenedLog::dispose(std::move(previous_));
        OpenedLog& log = *parts_.log;
        log.statistics = outcome.statistics;
        log.summary = QString::fromStdString(summaryText(outcome.summary));
        log.counts = countsOf(outcome.summary.found, outcome.summary.decoded, outcome.summary.notDecoded,
                              log.statistics.calls());
        parts_.status->setSummary(log.summary);
        parts_.status->setCounts(log.counts);
        updateShown();
        parts_.callsPane->update();
        // The charts are drawn after the window has shown the end of the run, but at once when
        // they showed a followed log so far.
        if (parts_.healthPane->showing()) {
            showStatisticsAndHealth();
        } else {
            QTimer::singleShot(0, this, [this, run = runs_] {
                if (run != runs_ || run_->running()) return;
                showStatisticsAndHealth();
            });
        }
        parts_.messageModel->setSortable(true);
        parts_.messageList->horizontalHeader()->setSortIndicator(MessageListModel::RecordColumn, Qt::AscendingOrder);
        parts_.messageList->setSortingEnabled(true);
        parts_.messageList->horizontalHeader()->setSortIndicatorShown(true);
        if (!parts_.messageModel->filtering()) filter_->listDone();
    }
    updateActions();
    emit runEnded();
}

void MainWindow::cancelRun() {
    if (!run_->cancel()) return;
    parts_.status->endProgress();
    const QString path = captionOf(*parts_.log);
    restorePrevious();
    parts_.status->tell(tr("Decoding of %1 cancelled; the previous report is kept.").arg(path));
    updateActions();
    emit runEnded();
}

void MainWindow::restorePrevious() {
    if (!previous_) return;
    // The run's log goes, and the memory it held with it (the health a followed log showed so far
    // among it: the tab lets it go first).
    parts_.healthPane->clear();
    statisticsStale_ = healthStale_ = false;
    OpenedLog::dispose(swapLog(std::move(previous_)));
    showReportPane();
    const OpenedLog& log = *parts_.log;
    parts_.messageModel->setAvailable(log.admitted);
    parts_.callsPane->update();
    if (!log.store.empty() && log.statistics.messages() != 0)
        parts_.statisticsPane->show(log.statistics, log.perSecond);
    else
        parts_.statisticsPane->clear();
    if (log.health)
        parts_.healthPane->show(*log.health, log.store);
    else
        parts_.healthPane->clear();
    parts_.status->setCounts(log.counts);
    parts_.messageModel->setSortable(!log.store.empty());
    parts_.messageList->setSortingEnabled(!log.store.empty());
    applyFilter();
    parts_.reportView->horizontalScrollBar()->setValue(log.scroll.x());
    parts_.reportView->verticalScrollBar()->setValue(log.scroll.y());
    setWindowTitle(log.path.isEmpty() ? programVersion() : programVersion() + QStringLiteral(" - ") + captionOf(log));
    parts_.status->setSummary(log.summary);
}

void MainWindow::cancelCurrent() {
    if (isFollowing())
        stopFollowing();
    else if (run_->running())
        cancelRun();
    else
        output_->cancel();
}

// ---------------------------------------------------------------- the parts' commands

void MainWindow::applyFilter() {
    // The report shown is being saved or printed: it stays as it is until that is over.
    filterPending_ = output_->holdsReport();
    if (!filterPending_) filter_->apply();
}

void MainWindow::goToRecord() { navigator_->goToRecord(); }
void MainWindow::nextNotDecoded() { navigator_->nextNotDecoded(); }
void MainWindow::previousNotDecoded() { navigator_->previousNotDecoded(); }

void MainWindow::saveReportAs() {
    if (!isBusy()) output_->saveReportAs();
}

void MainWindow::printReport() {
    if (!isBusy()) output_->printReport();
}

void MainWindow::exportPdf() {
    if (!isBusy()) output_->exportPdf();
}

void MainWindow::exportAs(ExportKind kind) {
    if (!isBusy()) output_->exportAs(kind);
}

void MainWindow::exportHtmlReport() {
    if (!isBusy()) output_->exportHtmlReport();
}

void MainWindow::saveDiagram() { output_->saveDiagram(); }

// ---------------------------------------------------------------- window events

void MainWindow::closeEvent(QCloseEvent* event) {
    run_->endFollowing();
    cancelRun();
    run_->hurryCancelled();
    output_->stop();
    QSettings settings;
    settings.setValue(kGeometryKey, saveGeometry());
    settings.setValue(kSplitterKey, splitter_->saveState());
    if (auto* calls = parts_.callsPane->findChild<QSplitter*>(QStringLiteral("callsSplitter")))
        settings.setValue(kCallsSplitterKey, calls->saveState());
    settings.setValue(kTabKey, QLatin1String(WindowActions::kTabNames[std::clamp(viewTabs_->currentIndex(), 0, WindowActions::kTabs - 1)]));
    event->accept();
}

}  // namespace truno::window
