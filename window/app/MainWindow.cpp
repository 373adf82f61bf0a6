#include "window/app/MainWindow.h"

#include "window/views/CallsView.h"
#include "window/log/DecodeJob.h"
#include "window/report/FindBar.h"
#include "window/views/MessageFilterBar.h"
#include "window/views/MessageList.h"
#include "window/log/ReportDocument.h"
#include "window/report/ReportFileWriter.h"
#include "window/report/ReportPrinter.h"
#include "window/report/ReportView.h"
#include "window/views/StatisticsView.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDateTime>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QIcon>
#include <QLabel>
#include <QLocale>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPrinter>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QSettings>
#include <QSplitter>
#include <QStatusBar>
#include <QStyle>
#include <QTabWidget>
#include <QTableView>
#include <QUrl>
#include <QVBoxLayout>

#include <algorithm>
#include <chrono>
#include <climits>
#include <cmath>

#include <sys/stat.h>

namespace truno::window {

namespace {

const QString kProgramTitle = QStringLiteral("TRUNO Decoder");

// How often the report text of a run in progress is taken into the view.
constexpr std::chrono::milliseconds kCollectEvery{50};
// How long one slice of a print may take before the window handles its events again.
constexpr std::chrono::milliseconds kPrintSlice{30};
// How long a passing message stays in the status bar.
constexpr int kMessageMilliseconds = 6000;

const QString kRecentKey = QStringLiteral("files/recent");
const QString kGeometryKey = QStringLiteral("window/geometry");
const QString kSplitterKey = QStringLiteral("window/splitter");
const QString kCallsSplitterKey = QStringLiteral("window/callsSplitter");
const QString kTabKey = QStringLiteral("window/tab");

// How long the report text and the facts of a run in progress are taken in at one time.
constexpr std::chrono::milliseconds kCollectFor{25};
// How long one slice of filtering, or of putting the filtered report together, may take.
constexpr std::chrono::milliseconds kFilterSlice{25};

// The names of the view tabs, as --screenshot's --tab and the settings know them.
const char* const kTabNames[] = {"messages", "calls", "statistics"};

// The first local file among dropped URLs; empty when there is none.
QString droppedFile(const QMimeData* mime) {
    if (mime == nullptr || !mime->hasUrls()) return {};
    for (const QUrl& url : mime->urls())
        if (url.isLocalFile()) return url.toLocalFile();
    return {};
}

QString fullPathOf(const QString& path) { return QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath()); }

QString countText(std::uint64_t n) { return QLocale().toString(static_cast<qulonglong>(n)); }

// The folder the documentation is installed in: beside the program's own folder as installed
// (bin/../share/doc/...), or, for a program run from its build tree, where the build installs it.
QString documentationFolder() {
    const QString up = QDir(QStringLiteral("/p/" TRUNO_INSTALL_BINDIR)).relativeFilePath(QStringLiteral("/p"));
    QString beside = QDir::cleanPath(QCoreApplication::applicationDirPath() + QLatin1Char('/') + up +
                                           QStringLiteral("/" TRUNO_INSTALL_DOCDIR));
    if (QFileInfo(beside).isDir()) return beside;
    return QStringLiteral(TRUNO_INSTALL_FULL_DOCDIR);
}

}  // namespace

BusyPointer::BusyPointer() { QGuiApplication::setOverrideCursor(Qt::BusyCursor); }
BusyPointer::~BusyPointer() { QGuiApplication::restoreOverrideCursor(); }

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

    // The report and its find bar, in a splitter that later views join.
    splitter_ = new QSplitter(Qt::Horizontal, this);
    splitter_->setObjectName(QStringLiteral("mainSplitter"));
    splitter_->setChildrenCollapsible(false);
    auto* reportPane = new QWidget(splitter_);
    reportPane->setObjectName(QStringLiteral("reportPane"));
    auto* paneLayout = new QVBoxLayout(reportPane);
    paneLayout->setContentsMargins(0, 0, 0, 0);
    paneLayout->setSpacing(0);
    reportView_ = new ReportView(reportPane);
    reportView_->setObjectName(QStringLiteral("reportView"));
    findBar_ = new FindBar(reportView_, reportPane);
    paneLayout->addWidget(reportView_, 1);
    paneLayout->addWidget(findBar_);
    splitter_->addWidget(reportPane);
    setCentralWidget(splitter_);
    reportView_->setFocus();  // the keys scroll the report from the start
    store_ = std::make_unique<MessageStore>();
    createViews();

    createActions();
    createMenus();
    createStatusBar();
    setAcceptDrops(true);
    setWindowTitle(programVersion());

    collectTimer_.setInterval(kCollectEvery);
    connect(&collectTimer_, &QTimer::timeout, this, &MainWindow::collect);
    connect(&taskTimer_, &QTimer::timeout, this, [this] {
        if (reportPrinter_) {
            printSlice();
        } else if (exporter_) {
            progress_->setValue(static_cast<int>(1000.0 * static_cast<double>(exporter_->done()) /
                                                 static_cast<double>(std::max<std::size_t>(exporter_->size(), 1))));
        } else if (saver_) {
            progress_->setValue(static_cast<int>(1000.0 * static_cast<double>(saver_->written()) /
                                                 static_cast<double>(std::max<std::size_t>(saver_->size(), 1))));
        }
    });
    filterTimer_.setInterval(0);
    connect(&filterTimer_, &QTimer::timeout, this, &MainWindow::advanceFilter);
    filteredTimer_.setInterval(0);
    connect(&filteredTimer_, &QTimer::timeout, this, &MainWindow::buildFilteredReport);
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
    filterBar_ = new MessageFilterBar(messagesPane);
    messageModel_ = new MessageListModel(this);
    messageModel_->reset(store_.get(), &reportView_->document());
    messageList_ = new QTableView(messagesPane);
    messageList_->setObjectName(QStringLiteral("messageList"));
    messageList_->setModel(messageModel_);
    messageList_->setSelectionBehavior(QAbstractItemView::SelectRows);
    messageList_->setSelectionMode(QAbstractItemView::SingleSelection);
    messageList_->setWordWrap(false);
    messageList_->setShowGrid(false);
    messageList_->setAlternatingRowColors(true);
    messageList_->verticalHeader()->hide();
    // Rows of one height: a million of them scroll without being measured.
    messageList_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    messageList_->verticalHeader()->setDefaultSectionSize(messageList_->fontMetrics().height() + 4);
    messageList_->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    messageList_->horizontalHeader()->setStretchLastSection(true);
    messageList_->horizontalHeader()->setSortIndicatorShown(false);
    const int digit = messageList_->fontMetrics().horizontalAdvance(QLatin1Char('0'));
    const int widths[] = {10 * digit, 12 * digit, 5 * digit, 8 * digit, 7 * digit};
    for (int column = 0; column < 5; ++column) messageList_->setColumnWidth(column, widths[column]);
    layout->addWidget(filterBar_);
    layout->addWidget(messageList_, 1);
    viewTabs_->addTab(messagesPane,
                      QIcon::fromTheme(QStringLiteral("view-list-details"), style()->standardIcon(QStyle::SP_FileDialogDetailedView)),
                      tr("&Messages"));

    callsPane_ = new CallsPane(viewTabs_);
    callsPane_->reset(store_.get());
    viewTabs_->addTab(callsPane_, QIcon::fromTheme(QStringLiteral("call-start"), style()->standardIcon(QStyle::SP_ArrowRight)),
                      tr("&Calls"));
    statisticsPane_ = new StatisticsPane(viewTabs_);
    viewTabs_->addTab(statisticsPane_,
                      QIcon::fromTheme(QStringLiteral("office-chart-bar"), style()->standardIcon(QStyle::SP_FileDialogInfoView)),
                      tr("&Statistics"));
    splitter_->insertWidget(0, viewTabs_);
    splitter_->setStretchFactor(0, 2);
    splitter_->setStretchFactor(1, 3);

    connect(filterBar_, &MessageFilterBar::changed, this, &MainWindow::applyFilter);
    connect(filterBar_, &MessageFilterBar::reportTooToggled, this, [this](bool on) {
        if (reportTooAction_ != nullptr) reportTooAction_->setChecked(on);
        applyFilter();
    });
    connect(messageModel_, &MessageListModel::filterDone, this, &MainWindow::filterDone);
    connect(messageModel_, &MessageListModel::sortDone, this, &MainWindow::followReport);
    connect(messageList_->selectionModel(), &QItemSelectionModel::currentRowChanged, this, &MainWindow::listRowChanged);
    connect(reportView_, &ReportView::cursorMoved, this, &MainWindow::followReport);
    connect(reportView_->verticalScrollBar(), &QScrollBar::valueChanged, this, &MainWindow::followReport);
    connect(callsPane_, &CallsPane::callChosen, this, [this](std::uint64_t firstRecord, const QString& name) {
        filterBar_->setCall(firstRecord, name);
        applyFilter();
        updateActions();
    });
    connect(callsPane_->ladder(), &LadderDiagram::recordClicked, this, &MainWindow::chooseRecord);
    connect(callsPane_, &CallsPane::saveDiagramRequested, this, &MainWindow::saveDiagram);
}

bool MainWindow::showTab(const QString& name) {
    for (int k = 0; k < 3; ++k) {
        if (name != QLatin1String(kTabNames[k])) continue;
        viewTabs_->setCurrentIndex(k);
        return true;
    }
    return false;
}

MainWindow::~MainWindow() {
    // The threads end before anything they report to or read goes away (the list's sort reads
    // the store).
    messageModel_->reset(nullptr, nullptr);
    job_.reset();
    retiring_.reset();
    saver_.reset();
    exporter_.reset();
    if (reportPrinter_) {
        reportPrinter_->cancel();
        reportPrinter_->end();
    }
    reportPrinter_.reset();
}

void MainWindow::restoreSettings() {
    const QSettings settings;
    if (!restoreGeometry(settings.value(kGeometryKey).toByteArray())) {
        // Wide enough for the report's banner lines and the message list beside them, tall
        // enough for a few records, within the screen.
        const int width = std::max(1000, static_cast<int>(std::ceil(230 * reportView_->charWidth())));
        const int height = std::max(760, 58 * reportView_->lineHeight());
        QSize size(width, height);
        if (const QScreen* screen = QGuiApplication::primaryScreen())
            size = size.boundedTo(screen->availableGeometry().size());
        resize(size);
    }
    if (!splitter_->restoreState(settings.value(kSplitterKey).toByteArray())) {
        // The report keeps room for its lines of about a hundred characters; the views get the rest.
        const int report = static_cast<int>(std::ceil(104 * reportView_->charWidth())) +
                           reportView_->verticalScrollBar()->sizeHint().width();
        splitter_->setSizes({std::max(width() - report, width() / 3), report});
    }
    if (auto* calls = callsPane_->findChild<QSplitter*>(QStringLiteral("callsSplitter")))
        calls->restoreState(settings.value(kCallsSplitterKey).toByteArray());
    showTab(settings.value(kTabKey).toString());
}

void MainWindow::createActions() {
    const auto make = [this](const QString& text, const char* name, const QKeySequence& keys,
                             const char* icon = nullptr, QStyle::StandardPixmap fallback = QStyle::SP_CustomBase) {
        auto* action = new QAction(text, this);
        action->setObjectName(QString::fromLatin1(name));
        if (!keys.isEmpty()) action->setShortcut(keys);
        if (icon != nullptr)
            action->setIcon(QIcon::fromTheme(QString::fromLatin1(icon), fallback != QStyle::SP_CustomBase
                                                                            ? style()->standardIcon(fallback)
                                                                            : QIcon()));
        return action;
    };
    openAction_ = make(tr("&Open"), "openAction", QKeySequence(Qt::CTRL | Qt::Key_O), "document-open",
                       QStyle::SP_DialogOpenButton);
    connect(openAction_, &QAction::triggered, this, &MainWindow::openFromDialog);
    reloadAction_ = make(tr("&Reload"), "reloadAction", QKeySequence(Qt::Key_F5), "view-refresh",
                         QStyle::SP_BrowserReload);
    connect(reloadAction_, &QAction::triggered, this, &MainWindow::reload);
    saveAsAction_ = make(tr("Save &As..."), "saveAsAction", QKeySequence(), "document-save-as",
                         QStyle::SP_DialogSaveButton);
    connect(saveAsAction_, &QAction::triggered, this, &MainWindow::saveReportAs);
    printAction_ = make(tr("&Print..."), "printAction", QKeySequence(Qt::CTRL | Qt::Key_P), "document-print");
    connect(printAction_, &QAction::triggered, this, &MainWindow::printReport);
    exportPdfAction_ = make(tr("&Export PDF..."), "exportPdfAction", QKeySequence(), "application-pdf");
    connect(exportPdfAction_, &QAction::triggered, this, &MainWindow::exportPdf);
    exitAction_ = make(tr("E&xit"), "exitAction", QKeySequence(), "application-exit");
    connect(exitAction_, &QAction::triggered, this, &MainWindow::exitProgram);

    copyAction_ = make(tr("&Copy"), "copyAction", QKeySequence::Copy, "edit-copy");
    connect(copyAction_, &QAction::triggered, reportView_, &ReportView::copy);
    selectAllAction_ = make(tr("Select &All"), "selectAllAction", QKeySequence::SelectAll, "edit-select-all");
    connect(selectAllAction_, &QAction::triggered, reportView_, &ReportView::selectAll);
    findAction_ = make(tr("&Find..."), "findAction", QKeySequence(Qt::CTRL | Qt::Key_F), "edit-find");
    connect(findAction_, &QAction::triggered, findBar_, &FindBar::open);
    findNextAction_ = make(tr("Find &Next"), "findNextAction", QKeySequence(Qt::Key_F3));
    connect(findNextAction_, &QAction::triggered, findBar_, &FindBar::findNext);
    findPreviousAction_ = make(tr("Find Pre&vious"), "findPreviousAction", QKeySequence(Qt::SHIFT | Qt::Key_F3));
    connect(findPreviousAction_, &QAction::triggered, findBar_, &FindBar::findPrevious);
    // Esc stops a search or closes the find bar, wherever the keyboard is in the window.
    closeFindAction_ = make(tr("Close Find Bar"), "closeFindAction", QKeySequence(Qt::Key_Escape));
    connect(closeFindAction_, &QAction::triggered, findBar_, &FindBar::escape);
    addAction(closeFindAction_);

    goToRecordAction_ = make(tr("&Go to Record..."), "goToRecordAction", QKeySequence(Qt::CTRL | Qt::Key_G), "go-jump");
    connect(goToRecordAction_, &QAction::triggered, this, &MainWindow::goToRecord);
    nextNotDecodedAction_ = make(tr("&Next Not Decoded"), "nextNotDecodedAction", QKeySequence(Qt::Key_F8), "go-down");
    connect(nextNotDecodedAction_, &QAction::triggered, this, &MainWindow::nextNotDecoded);
    previousNotDecodedAction_ = make(tr("&Previous Not Decoded"), "previousNotDecodedAction",
                                     QKeySequence(Qt::SHIFT | Qt::Key_F8), "go-up");
    connect(previousNotDecodedAction_, &QAction::triggered, this, &MainWindow::previousNotDecoded);

    exportSummaryAction_ = make(tr("&Summary as CSV..."), "exportSummaryAction", QKeySequence(), "text-csv",
                                QStyle::SP_DialogSaveButton);
    connect(exportSummaryAction_, &QAction::triggered, this, [this] { exportAs(ExportKind::SummaryCsv); });
    exportCallsAction_ = make(tr("&Calls as CSV..."), "exportCallsAction", QKeySequence(), "text-csv",
                              QStyle::SP_DialogSaveButton);
    connect(exportCallsAction_, &QAction::triggered, this, [this] { exportAs(ExportKind::CallsCsv); });
    exportJsonAction_ = make(tr("Messages as &JSON Lines..."), "exportJsonAction", QKeySequence(), "application-json",
                             QStyle::SP_DialogSaveButton);
    connect(exportJsonAction_, &QAction::triggered, this, [this] { exportAs(ExportKind::JsonLines); });
    exportPcapAction_ = make(tr("Ca&pture File (pcap)..."), "exportPcapAction", QKeySequence(), "network-wired",
                             QStyle::SP_DriveNetIcon);
    connect(exportPcapAction_, &QAction::triggered, this, [this] { exportAs(ExportKind::Pcap); });
    saveDiagramAction_ = make(tr("Save &Ladder Diagram..."), "saveDiagramAction", QKeySequence(), "image-x-generic",
                              QStyle::SP_DialogSaveButton);
    connect(saveDiagramAction_, &QAction::triggered, this, &MainWindow::saveDiagram);

    const QString tabTexts[] = {tr("&Messages"), tr("&Calls"), tr("&Statistics")};
    for (int k = 0; k < 3; ++k) {
        tabActions_[k] = make(tabTexts[k], kTabNames[k], QKeySequence(Qt::ALT | static_cast<Qt::Key>(Qt::Key_1 + k)));
        tabActions_[k]->setObjectName(QStringLiteral("%1TabAction").arg(QLatin1String(kTabNames[k])));
        connect(tabActions_[k], &QAction::triggered, this, [this, k] { viewTabs_->setCurrentIndex(k); });
    }
    filterAction_ = make(tr("&Filter Messages"), "filterAction", QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_F),
                         "view-filter");
    connect(filterAction_, &QAction::triggered, this, [this] {
        viewTabs_->setCurrentIndex(0);
        filterBar_->textEdit()->setFocus();
        filterBar_->textEdit()->selectAll();
    });
    reportTooAction_ = make(tr("&Report Shows Matching Records Only"), "reportTooAction", QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_R));
    reportTooAction_->setCheckable(true);
    connect(reportTooAction_, &QAction::toggled, filterBar_->reportTooBox(), &QCheckBox::setChecked);

    aboutAction_ = make(tr("&About"), "aboutAction", QKeySequence(), "help-about");
    connect(aboutAction_, &QAction::triggered, this, &MainWindow::showAbout);
}

void MainWindow::createMenus() {
    fileMenu_ = menuBar()->addMenu(tr("&File"));
    fileMenu_->setObjectName(QStringLiteral("fileMenu"));
    fileMenu_->addAction(openAction_);
    recentMenu_ = fileMenu_->addMenu(tr("Open &Recent"));
    recentMenu_->setObjectName(QStringLiteral("recentMenu"));
    recentMenu_->menuAction()->setObjectName(QStringLiteral("recentMenuAction"));
    fileMenu_->addAction(reloadAction_);
    fileMenu_->addAction(saveAsAction_);
    QMenu* exportMenu = fileMenu_->addMenu(QIcon::fromTheme(QStringLiteral("document-export")), tr("E&xport"));
    exportMenu->setObjectName(QStringLiteral("exportMenu"));
    exportMenu->addAction(exportSummaryAction_);
    exportMenu->addAction(exportCallsAction_);
    exportMenu->addAction(exportJsonAction_);
    exportMenu->addAction(exportPcapAction_);
    exportMenu->addSeparator();
    exportMenu->addAction(saveDiagramAction_);
    fileMenu_->addAction(printAction_);
    fileMenu_->addAction(exportPdfAction_);
    fileMenu_->addSeparator()->setObjectName(QStringLiteral("exitSeparator"));
    fileMenu_->addAction(exitAction_);

    QMenu* edit = menuBar()->addMenu(tr("&Edit"));
    edit->setObjectName(QStringLiteral("editMenu"));
    edit->addAction(copyAction_);
    edit->addAction(selectAllAction_);
    edit->addSeparator();
    edit->addAction(findAction_);
    edit->addAction(findNextAction_);
    edit->addAction(findPreviousAction_);

    QMenu* view = menuBar()->addMenu(tr("&View"));
    view->setObjectName(QStringLiteral("viewMenu"));
    for (QAction* tab : tabActions_) view->addAction(tab);
    view->addSeparator();
    view->addAction(filterAction_);
    view->addAction(reportTooAction_);

    QMenu* go = menuBar()->addMenu(tr("&Go"));
    go->setObjectName(QStringLiteral("goMenu"));
    go->addAction(goToRecordAction_);
    go->addAction(nextNotDecodedAction_);
    go->addAction(previousNotDecodedAction_);

    QMenu* help = menuBar()->addMenu(tr("&Help"));
    help->setObjectName(QStringLiteral("Help"));
    help->addAction(aboutAction_);
}

void MainWindow::createStatusBar() {
    statusText_ = new QLabel(this);
    statusText_->setObjectName(QStringLiteral("statusText"));
    statusText_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    statusBar()->addWidget(statusText_, 1);
    countsText_ = new QLabel(this);
    countsText_->setObjectName(QStringLiteral("countsText"));
    statusBar()->addPermanentWidget(countsText_);

    progress_ = new QProgressBar(this);
    progress_->setObjectName(QStringLiteral("runProgress"));
    progress_->setMaximumWidth(240);
    progress_->hide();
    statusBar()->addPermanentWidget(progress_);

    cancelButton_ = new QPushButton(tr("Cancel"), this);
    cancelButton_->setObjectName(QStringLiteral("runCancel"));
    cancelButton_->hide();
    connect(cancelButton_, &QPushButton::clicked, this, &MainWindow::cancelCurrent);
    statusBar()->addPermanentWidget(cancelButton_);
}

bool MainWindow::isBusy() const {
    return job_ != nullptr || saver_ != nullptr || exporter_ != nullptr || reportPrinter_ != nullptr;
}

bool MainWindow::isIdle() const { return !isBusy() && retiring_ == nullptr; }

void MainWindow::updateActions() {
    const bool free = !isBusy();
    const bool shown = !reportView_->document().empty();
    openAction_->setEnabled(free);
    recentMenu_->setEnabled(free && !recentMenu_->isEmpty());
    reloadAction_->setEnabled(free && !shownPath_.isEmpty());
    // The report can be written out once a run has finished it.
    saveAsAction_->setEnabled(free && shown);
    printAction_->setEnabled(free && shown);
    exportPdfAction_->setEnabled(free && shown);
    const bool facts = free && shown && !store_->empty();
    for (QAction* action : {exportSummaryAction_, exportCallsAction_, exportJsonAction_, exportPcapAction_})
        action->setEnabled(facts);
    saveDiagramAction_->setEnabled(!callsPane_->ladder()->arrows().empty());
}

// ---------------------------------------------------------------- recent files

void MainWindow::rememberFile(const QString& path) {
    QSettings settings;
    QStringList recent = settings.value(kRecentKey).toStringList();
    recent.removeAll(path);
    recent.prepend(path);
    while (recent.size() > kRecentFiles) recent.removeLast();
    settings.setValue(kRecentKey, recent);
    updateRecentMenu();
}

void MainWindow::forgetFile(const QString& path) {
    QSettings settings;
    QStringList recent = settings.value(kRecentKey).toStringList();
    if (recent.removeAll(path) == 0) return;
    settings.setValue(kRecentKey, recent);
    updateRecentMenu();
}

void MainWindow::updateRecentMenu() {
    recentMenu_->clear();
    const QStringList recent = QSettings().value(kRecentKey).toStringList();
    for (qsizetype k = 0; k < recent.size(); ++k) {
        const QString& path = recent[k];
        // Access keys 1 to 9, then 0 for the tenth.
        const QString key = k < 9 ? QString::number(k + 1) : QStringLiteral("0");
        QAction* item = recentMenu_->addAction(QStringLiteral("&%1 %2").arg(key, QString(path).replace(QLatin1Char('&'), QStringLiteral("&&"))));
        item->setData(path);
        connect(item, &QAction::triggered, this, [this, path] { openFile(path); });
    }
    if (!recent.isEmpty()) {
        recentMenu_->addSeparator();
        recentMenu_->addAction(tr("&Clear List"), this, [this] {
            QSettings().remove(kRecentKey);
            updateRecentMenu();
        });
    }
    recentMenu_->setEnabled(!isBusy() && !recent.isEmpty());
}

QString MainWindow::reportFolder() const {
    const QStringList recent = QSettings().value(kRecentKey).toStringList();
    return recent.isEmpty() ? QString() : QFileInfo(recent.constFirst()).absolutePath();
}

// ---------------------------------------------------------------- commands

void MainWindow::openFromDialog() {
    if (isBusy()) return;
    const QString path = dialogs_->chooseLogFile(this, reportFolder());
    if (path.isEmpty()) return;  // cancelled: everything stays as it was
    openFile(path);
}

void MainWindow::openFiles(const QStringList& paths) {
    if (paths.isEmpty()) return;
    openFile(paths.constFirst());
    if (paths.size() < 2) return;
    QStringList others;
    for (qsizetype k = 1; k < paths.size(); ++k) others << fullPathOf(paths[k]);
    dialogs_->showInformation(this, kProgramTitle,
                              tr("The window shows one log at a time; it opens\n%1\n\nand not:\n%2\n\n"
                                 "Open another log with File > Open.")
                                  .arg(fullPathOf(paths.constFirst()), others.join(QLatin1Char('\n'))));
}

void MainWindow::reload() {
    if (!shownPath_.isEmpty()) openFile(shownPath_);
}

void MainWindow::showAbout() { dialogs_->showInformation(this, kProgramTitle, aboutText()); }

void MainWindow::exitProgram() { close(); }

void MainWindow::openFile(const QString& path) {
    if (isBusy()) return;  // one run at a time, and not while the report is written out
    retiring_.reset();

    const QString fullPath = fullPathOf(path);
    QString error;
    std::unique_ptr<DecodeJob> job = DecodeJob::open(path, error);
    if (!job) {
        if (!QFileInfo::exists(path)) forgetFile(fullPath);
        dialogs_->showError(this, kProgramTitle,
                            tr("Cannot open the file\n%1\n\n%2").arg(fullPath, error));
        return;
    }
    rememberFile(fullPath);

    showFullReport();
    previousCaption_ = windowTitle();
    previousStatus_ = statusText_->text();
    previousCounts_ = counts_;
    previousScroll_ = {reportView_->horizontalScrollBar()->value(), reportView_->verticalScrollBar()->value()};
    previousReport_ = reportView_->setDocument(std::make_unique<ReportDocument>());
    previousRecords_ = std::move(records_);
    records_ = RecordIndex();
    previousAdmitted_ = admitted_;
    admitted_ = 0;
    previousStore_ = std::move(store_);
    store_ = std::make_unique<MessageStore>();
    previousStatistics_ = std::move(statistics_);
    statistics_ = Statistics();
    batches_.clear();
    messageModel_->reset(store_.get(), &reportView_->document());
    messageModel_->setSortable(false);
    messageList_->setSortingEnabled(false);
    messageList_->horizontalHeader()->setSortIndicatorShown(false);
    filterBar_->setCall(0, {});
    callsPane_->reset(store_.get());
    statisticsPane_->clear();
    applyFilter();
    updateCounts();
    runPath_ = fullPath;
    setWindowTitle(programVersion() + QStringLiteral(" - ") + fullPath);
    statusText_->setText(tr("Decoding %1 ...").arg(fullPath));
    busy_.emplace();
    showProgress(job->fileSize() > 0 ? 1000 : 0, QStringLiteral("%p%"));  // a pipe: no known end

    jobId_ = ++lastJobId_;
    const std::uint64_t id = jobId_;
    job_ = std::move(job);
    updateActions();
    job_->start([this, id] {
        QMetaObject::invokeMethod(this, [this, id] { jobEnded(id); }, Qt::QueuedConnection);
    });
    collectTimer_.start();
}

void MainWindow::showProgress(int maximum, const QString& format) {
    progress_->setRange(0, maximum);
    progress_->setValue(0);
    progress_->setFormat(format);
    progress_->show();
    cancelButton_->setEnabled(true);
    cancelButton_->show();
}

void MainWindow::collect() {
    if (!job_) return;
    // What the run handed over is taken in for a while at a time, so that the window answers
    // between two looks however fast the run writes.
    const auto deadline = std::chrono::steady_clock::now() + kCollectFor;
    job_->takeBlocks(collected_, batches_);
    while ((!collected_.empty() || !batches_.empty()) && std::chrono::steady_clock::now() < deadline) {
        if (!collected_.empty()) {
            reportView_->appendText(std::move(collected_.front()));
            collected_.erase(collected_.begin());
        }
        if (!batches_.empty()) {
            store_->append(std::move(batches_.front()));
            batches_.erase(batches_.begin());
        }
    }
    admitRecords(deadline);
    const std::int64_t size = job_->fileSize();
    if (size > 0) {
        const double done = static_cast<double>(job_->bytesRead()) / static_cast<double>(size);
        progress_->setValue(static_cast<int>(std::min(1.0, done) * 1000));
    }
    if (jobOver_ && collected_.empty() && batches_.empty() && admitted_ == store_->size()) finishRun();
}

void MainWindow::jobEnded(std::uint64_t id) {
    if (retiring_ && id == retiringId_) {
        retiring_.reset();
        return;
    }
    if (!job_ || id != jobId_) return;
    job_->wait();
    // The rest of what the run handed over is taken in by the collecting timer; the run ends
    // once it is all in.
    jobOver_ = true;
    collect();
}

void MainWindow::finishRun() {
    collectTimer_.stop();
    jobOver_ = false;
    const QString readError = job_->readError();
    const RunSummary summary = job_->summary();
    const Statistics statistics = job_->statistics();
    job_.reset();
    collected_ = {};
    batches_ = {};
    endBusy();
    if (!readError.isEmpty()) {
        restorePrevious();
        dialogs_->showError(this, kProgramTitle,
                            tr("Cannot read the file\n%1\n\n%2").arg(runPath_, readError));
    } else if (summary.found == 0) {
        // Nothing to show: the report shown before stays, and the reason is given.
        restorePrevious();
        dialogs_->showError(this, kProgramTitle,
                            tr("No message was found in\n%1\n\n%2\n\nThe report shown before is kept.")
                                .arg(runPath_, QString::fromStdString(summary.whyNothing)));
    } else {
        statistics_ = statistics;
        previousReport_.reset();
        previousRecords_ = RecordIndex();
        previousStore_.reset();
        previousStatistics_ = Statistics();
        shownPath_ = runPath_;
        statusText_->setText(QString::fromStdString(summaryText(summary)));
        counts_ = tr("Found %1 · Decoded %2 · Not decoded %3 · Calls %4")
                      .arg(countText(summary.found), countText(summary.decoded), countText(summary.notDecoded),
                           countText(statistics_.calls()));
        countsText_->setText(counts_);
        callsPane_->update();
        // The charts are drawn after the window has shown the end of the run.
        QTimer::singleShot(0, this, [this, id = lastJobId_] {
            if (id == lastJobId_ && !job_) statisticsPane_->show(statistics_, *store_);
        });
        messageModel_->setSortable(true);
        messageList_->horizontalHeader()->setSortIndicator(MessageListModel::RecordColumn, Qt::AscendingOrder);
        messageList_->setSortingEnabled(true);
        messageList_->horizontalHeader()->setSortIndicatorShown(true);
        if (!messageModel_->filtering()) filterDone();
    }
    updateActions();
    emit runEnded();
}

void MainWindow::cancelRun() {
    if (!job_) return;
    // The thread stops on its own within moments; the window does not wait for it.
    job_->cancel();
    collectTimer_.stop();
    if (jobOver_) {
        job_.reset();  // its thread has ended already
        jobOver_ = false;
    } else {
        retiring_ = std::move(job_);
        retiringId_ = jobId_;
    }
    collected_ = {};
    batches_ = {};
    endBusy();
    restorePrevious();
    statusBar()->showMessage(tr("Decoding of %1 cancelled; the previous report is kept.").arg(runPath_),
                             kMessageMilliseconds);
    updateActions();
    emit runEnded();
}

void MainWindow::cancelCurrent() {
    if (job_) {
        cancelRun();
    } else if (exporter_) {
        exporter_->cancel();  // the writer's thread says when it has stopped
    } else if (saver_) {
        saver_->cancel();  // the writer's thread says when it has stopped
    } else if (reportPrinter_) {
        reportPrinter_->cancel();
        finishPrint();
    }
}

void MainWindow::endBusy() {
    busy_.reset();
    progress_->hide();
    cancelButton_->hide();
}

void MainWindow::restorePrevious() {
    reportView_->setDocument(std::move(previousReport_));
    records_ = std::move(previousRecords_);
    previousRecords_ = RecordIndex();
    admitted_ = previousAdmitted_;
    store_ = std::move(previousStore_);
    if (!store_) store_ = std::make_unique<MessageStore>();
    statistics_ = std::move(previousStatistics_);
    previousStatistics_ = Statistics();
    batches_.clear();
    messageModel_->reset(store_.get(), &reportView_->document());
    messageModel_->setAvailable(admitted_);
    callsPane_->reset(store_.get());
    callsPane_->update();
    if (!store_->empty() && statistics_.messages() != 0)
        statisticsPane_->show(statistics_, *store_);
    else
        statisticsPane_->clear();
    counts_ = previousCounts_;
    countsText_->setText(counts_);
    messageModel_->setSortable(!store_->empty());
    messageList_->setSortingEnabled(!store_->empty());
    applyFilter();
    reportView_->horizontalScrollBar()->setValue(previousScroll_.x());
    reportView_->verticalScrollBar()->setValue(previousScroll_.y());
    setWindowTitle(previousCaption_);
    statusText_->setText(previousStatus_);
}

// ---------------------------------------------------------------- records

void MainWindow::showRecord(std::uint64_t number) {
    if (const std::optional<std::size_t> line = records().bannerLine(number)) reportView_->showLine(*line);
}

// ---------------------------------------------------------------- the views beside the report

const ReportDocument& MainWindow::fullReport() const { return fullReport_ ? *fullReport_ : reportView_->document(); }

void MainWindow::admitRecords(std::chrono::steady_clock::time_point deadline) {
    // A message joins the views once its record's text is in the report.
    const ReportDocument& report = fullReport();
    const std::size_t before = admitted_;
    while (admitted_ < store_->size() && store_->textEnd(admitted_) - store_->lead() <= report.size()) {
        if ((admitted_ & 1023) == 0 && std::chrono::steady_clock::now() >= deadline) break;
        // The banner is the line under the rule that opens the record.
        const std::size_t line = report.lineAt(store_->firstLineOffset(admitted_)).first + 1;
        records_.addRecord(store_->record(admitted_), line, store_->decoded(admitted_));
        ++admitted_;
    }
    callsPane_->update();
    if (admitted_ == before) return;
    messageModel_->setAvailable(admitted_);
    if (!filterTimer_.isActive()) filterTimer_.start();
    if (job_) updateCounts();
}

void MainWindow::updateCounts() {
    const std::uint64_t notDecoded = records_.notDecodedCount();
    countsText_->setText(tr("Found %1 · Decoded %2 · Not decoded %3 · Calls %4")
                             .arg(countText(admitted_), countText(admitted_ - notDecoded), countText(notDecoded),
                                  countText(store_->calls().size())));
}

void MainWindow::applyFilter() {
    // The report shown is being saved or printed: it stays as it is until that is over.
    if (saver_ || reportPrinter_) {
        filterPending_ = true;
        return;
    }
    filterPending_ = false;
    ListFilter filter;
    if (!filterBar_->read(filter)) return;
    showFullReport();
    filteredReport_.reset();
    filteredTimer_.stop();
    messageModel_->setFilter(filter);
    messageModel_->setAvailable(admitted_);
    filterTimer_.start();
}

void MainWindow::advanceFilter() {
    if (messageModel_->advance(kFilterSlice)) filterTimer_.stop();
}

bool MainWindow::filterSettled() const {
    return !messageModel_->filtering() && !filterTimer_.isActive() && !filteredTimer_.isActive() &&
           !messageModel_->sorting();
}

void MainWindow::filterDone() {
    filterTimer_.stop();
    // The report follows the filter once the run is over and its report whole.
    const bool wanted = filterBar_->reportToo() && messageModel_->filter().active() && !job_ && !store_->empty();
    if (wanted && !reportFiltered_) {
        filteredMessages_ = messageModel_->shown();
        std::sort(filteredMessages_.begin(), filteredMessages_.end());
        filteredReport_ = std::make_unique<ReportDocument>();
        filteredRecords_ = RecordIndex();
        filteredNext_ = 0;
        filteredTimer_.start();
        return;
    }
    if (!wanted) showFullReport();
    emit listFiltered();
}

void MainWindow::buildFilteredReport() {
    if (!filteredReport_) {
        filteredTimer_.stop();
        return;
    }
    // The matching records' texts one after another, as the command-line tool writes a filtered
    // report: without the CR LF in front of the first.
    const ReportDocument& report = fullReport();
    const MessageStore::TextSource text = textOf(report);
    std::string scratch;
    const auto deadline = std::chrono::steady_clock::now() + kFilterSlice;
    while (filteredNext_ < filteredMessages_.size() &&
           ((filteredNext_ & 255) != 0 || std::chrono::steady_clock::now() < deadline)) {
        const std::size_t i = filteredMessages_[filteredNext_];
        const std::uint64_t lead = store_->lead();
        const std::uint64_t begin = std::max(store_->textBegin(i), lead) - lead;
        std::string_view bytes = text(begin, store_->textEnd(i) - lead, scratch);
        const bool leadingBreak = bytes.starts_with("\r\n") && store_->textBegin(i) >= lead;
        if (filteredReport_->empty() && leadingBreak) bytes.remove_prefix(2);
        const bool opensWithBreak = bytes.starts_with("\r\n");
        const std::size_t line = filteredReport_->lineCount() - 1 + (opensWithBreak ? 1 : 0) + 1;
        filteredRecords_.addRecord(store_->record(i), line, store_->decoded(i));
        filteredReport_->append(bytes);
        ++filteredNext_;
    }
    if (filteredNext_ < filteredMessages_.size()) return;
    filteredTimer_.stop();
    filteredMessages_ = {};
    fullReport_ = reportView_->setDocument(std::move(filteredReport_));
    reportFiltered_ = true;
    updateActions();
    followReport();
    emit listFiltered();
}

void MainWindow::showFullReport() {
    filteredTimer_.stop();
    filteredReport_.reset();
    if (!reportFiltered_) return;
    reportView_->setDocument(std::move(fullReport_));
    filteredRecords_ = RecordIndex();
    reportFiltered_ = false;
    updateActions();
}

void MainWindow::listRowChanged() {
    if (following_) return;
    const QModelIndex current = messageList_->currentIndex();
    if (!current.isValid()) return;
    const std::uint64_t record = store_->record(messageModel_->messageAt(current.row()));
    following_ = true;
    if (records().contains(record))
        showRecord(record);
    else
        statusBar()->showMessage(tr("The report shows only the matching records; record %1 is not among them.")
                                     .arg(countText(record)),
                                 kMessageMilliseconds);
    following_ = false;
}

void MainWindow::followReport() {
    if (following_) return;
    const std::uint64_t record = records().recordAt(reportView_->currentPosition().line);
    if (record == 0 || record > admitted_) return;
    const std::optional<int> row = messageModel_->rowOf(record - 1);
    if (!row) return;
    const QModelIndex index = messageModel_->index(*row, 0);
    if (messageList_->currentIndex().row() == *row) return;
    following_ = true;
    messageList_->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    messageList_->scrollTo(index);
    following_ = false;
}

void MainWindow::chooseRecord(std::uint64_t record) {
    if (record == 0 || record > admitted_) return;
    if (const std::optional<int> row = messageModel_->rowOf(record - 1)) {
        const QModelIndex index = messageModel_->index(*row, 0);
        messageList_->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        messageList_->scrollTo(index);
    }
    showRecord(record);
}

void MainWindow::goToRecord() {
    if (records().recordCount() == 0) {
        statusBar()->showMessage(tr("The report has no record yet."), kMessageMilliseconds);
        return;
    }
    const std::uint64_t current = std::max<std::uint64_t>(1, records().recordAt(reportView_->currentPosition().line));
    const std::optional<std::uint64_t> number = dialogs_->chooseRecord(this, current, records().lastRecord());
    if (!number) return;
    if (!records().bannerLine(*number)) {
        statusBar()->showMessage(tr("The report has no record %1.").arg(countText(*number)), kMessageMilliseconds);
        return;
    }
    showRecord(*number);
}

void MainWindow::nextNotDecoded() {
    const std::size_t line = reportView_->currentPosition().line;
    if (const std::optional<std::uint64_t> record = records().nextNotDecoded(line)) {
        showRecord(*record);
        statusBar()->showMessage(tr("Record %1 was not decoded.").arg(countText(*record)), kMessageMilliseconds);
    } else {
        statusBar()->showMessage(tr("No record after this place was left not decoded."), kMessageMilliseconds);
    }
}

void MainWindow::previousNotDecoded() {
    const std::size_t line = reportView_->currentPosition().line;
    if (const std::optional<std::uint64_t> record = records().previousNotDecoded(line)) {
        showRecord(*record);
        statusBar()->showMessage(tr("Record %1 was not decoded.").arg(countText(*record)), kMessageMilliseconds);
    } else {
        statusBar()->showMessage(tr("No record before this place was left not decoded."), kMessageMilliseconds);
    }
}

// ---------------------------------------------------------------- save and print

void MainWindow::saveReportAs() {
    if (isBusy() || reportView_->document().empty()) return;
    const QFileInfo log(shownPath_);
    const QString suggested = log.absoluteDir().filePath(
        log.completeBaseName() + (reportFiltered_ ? QStringLiteral("-filtered.txt") : QStringLiteral("-report.txt")));
    const QString path = dialogs_->chooseSaveFile(this, reportFiltered_ ? tr("Save Matching Records As") : tr("Save Report As"), suggested,
                                                  {tr("Text files (*.txt)"), tr("All Files (*)")});
    if (path.isEmpty()) return;
    saver_ = std::make_unique<ReportFileWriter>(reportView_->document(), path);
    showProgress(1000, tr("Saving %p%"));
    updateActions();
    taskTimer_.start(100);
    saver_->start([this] { QMetaObject::invokeMethod(this, &MainWindow::saveEnded, Qt::QueuedConnection); });
}

void MainWindow::saveEnded() {
    if (!saver_) return;
    saver_->wait();
    taskTimer_.stop();
    endBusy();
    const std::unique_ptr<ReportFileWriter> saver = std::move(saver_);
    updateActions();
    if (filterPending_) applyFilter();
    const QString path = fullPathOf(saver->path());
    if (!saver->error().isEmpty()) {
        dialogs_->showError(this, kProgramTitle, tr("Cannot write the file\n%1\n\n%2").arg(path, saver->error()));
    } else if (saver->cancelled()) {
        statusBar()->showMessage(tr("Saving cancelled; %1 is left as it was.").arg(path), kMessageMilliseconds);
    } else {
        statusBar()->showMessage(tr("Report saved to %1").arg(path), kMessageMilliseconds);
    }
    emit taskEnded();
}

namespace {

// The day (from 1970-01-01, UTC) a file was last changed: the capture file's first day, as the
// command-line tool takes it.
std::int64_t modificationDay(const QString& path) {
    constexpr std::int64_t kSecondsPerDay = 86400;
    struct stat status {};
    const std::int64_t seconds = ::stat(QFile::encodeName(path).constData(), &status) == 0
                                     ? static_cast<std::int64_t>(status.st_mtime)
                                     : QDateTime::currentSecsSinceEpoch();
    return (seconds >= 0 ? seconds : seconds - kSecondsPerDay + 1) / kSecondsPerDay;
}

}  // namespace

void MainWindow::exportAs(ExportKind kind) {
    if (isBusy() || store_->empty()) return;
    struct Form {
        ExportKind kind;
        const char* suffix;
        const char* title;
        const char* filter;
    };
    static constexpr Form kForms[] = {
        {ExportKind::SummaryCsv, "-summary.csv", QT_TR_NOOP("Export Summary as CSV"), QT_TR_NOOP("CSV files (*.csv)")},
        {ExportKind::CallsCsv, "-calls.csv", QT_TR_NOOP("Export Calls as CSV"), QT_TR_NOOP("CSV files (*.csv)")},
        {ExportKind::JsonLines, ".jsonl", QT_TR_NOOP("Export Messages as JSON Lines"), QT_TR_NOOP("JSON Lines files (*.jsonl *.json)")},
        {ExportKind::Pcap, ".pcap", QT_TR_NOOP("Export Capture File"), QT_TR_NOOP("Capture files (*.pcap)")},
    };
    const Form& form = *std::find_if(std::begin(kForms), std::end(kForms), [kind](const Form& f) { return f.kind == kind; });
    const QFileInfo log(shownPath_);
    const QString suggested = log.absoluteDir().filePath(log.completeBaseName() + QLatin1String(form.suffix));
    const QString path = dialogs_->chooseSaveFile(this, tr(form.title), suggested, {tr(form.filter), tr("All Files (*)")});
    if (path.isEmpty()) return;
    exporter_ = std::make_unique<ExportWriter>(kind, *store_, fullReport(), path, modificationDay(shownPath_));
    showProgress(1000, tr("Exporting %p%"));
    updateActions();
    taskTimer_.start(100);
    exporter_->start([this] { QMetaObject::invokeMethod(this, &MainWindow::exportEnded, Qt::QueuedConnection); });
}

void MainWindow::exportEnded() {
    if (!exporter_) return;
    exporter_->wait();
    taskTimer_.stop();
    endBusy();
    const std::unique_ptr<ExportWriter> done = std::move(exporter_);
    updateActions();
    const QString path = fullPathOf(done->path());
    if (!done->error().isEmpty()) {
        dialogs_->showError(this, kProgramTitle, tr("Cannot write the file\n%1\n\n%2").arg(path, done->error()));
    } else if (done->cancelled()) {
        statusBar()->showMessage(tr("Export cancelled; %1 is left as it was.").arg(path), kMessageMilliseconds);
    } else {
        statusBar()->showMessage(tr("Exported to %1").arg(path), kMessageMilliseconds);
    }
    emit taskEnded();
}

void MainWindow::saveDiagram() {
    LadderDiagram* ladder = callsPane_->ladder();
    if (ladder->arrows().empty()) {
        statusBar()->showMessage(tr("Choose a call in the calls tab first."), kMessageMilliseconds);
        return;
    }
    const QFileInfo log(shownPath_);
    const QString suggested = log.absoluteDir().filePath(
        log.completeBaseName() + QStringLiteral("-call-%1.svg").arg(ladder->arrows().front().record));
    const QString path = dialogs_->chooseSaveFile(this, tr("Save Ladder Diagram"), suggested,
                                                  {tr("SVG pictures (*.svg)"), tr("PNG pictures (*.png)")});
    if (path.isEmpty()) return;
    if (!ladder->save(path))
        dialogs_->showError(this, kProgramTitle, tr("Cannot write the file\n%1").arg(fullPathOf(path)));
    else
        statusBar()->showMessage(tr("Ladder diagram saved to %1").arg(fullPathOf(path)), kMessageMilliseconds);
    emit taskEnded();
}

void MainWindow::printReport() {
    if (isBusy() || reportView_->document().empty()) return;
    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    printer->setDocName(shownPath_);
    const std::uint64_t pages = ReportPrinter::pageCount(reportView_->document(), ReportPrinter::layoutFor(*printer));
    if (!dialogs_->setUpPrinter(this, *printer, pages)) return;
    startPrint(std::move(printer), QString());
}

void MainWindow::exportPdf() {
    if (isBusy() || reportView_->document().empty()) return;
    const QFileInfo log(shownPath_);
    const QString suggested = log.absoluteDir().filePath(log.completeBaseName() + QStringLiteral("-report.pdf"));
    const QString path = dialogs_->chooseSaveFile(this, tr("Export PDF"), suggested,
                                                  {tr("PDF files (*.pdf)"), tr("All Files (*)")});
    if (path.isEmpty()) return;
    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    printer->setOutputFormat(QPrinter::PdfFormat);
    printer->setOutputFileName(path);
    printer->setDocName(shownPath_);
    startPrint(std::move(printer), path);
}

void MainWindow::startPrint(std::unique_ptr<QPrinter> printer, const QString& pdfPath) {
    printer_ = std::move(printer);
    pdfPath_ = pdfPath;
    reportPrinter_ = std::make_unique<ReportPrinter>(reportView_->document(), *printer_, shownPath_);
    if (!reportPrinter_->begin()) {
        reportPrinter_.reset();
        printer_.reset();
        dialogs_->showError(this, kProgramTitle,
                            pdfPath.isEmpty() ? tr("The printer cannot be opened.")
                                              : tr("Cannot write the file\n%1").arg(fullPathOf(pdfPath)));
        emit taskEnded();
        return;
    }
    const std::uint64_t pages = reportPrinter_->pagesToPrint();
    showProgress(static_cast<int>(std::min<std::uint64_t>(pages, INT_MAX)),
                 tr("Page %v of %1").arg(countText(pages)));
    updateActions();
    taskTimer_.start(0);
}

void MainWindow::printSlice() {
    if (!reportPrinter_) return;
    const bool done = reportPrinter_->printFor(kPrintSlice);
    progress_->setValue(static_cast<int>(std::min<std::uint64_t>(reportPrinter_->pagesPrinted(), INT_MAX)));
    if (done) finishPrint();
}

void MainWindow::finishPrint() {
    taskTimer_.stop();
    endBusy();
    const std::unique_ptr<ReportPrinter> printed = std::move(reportPrinter_);
    const bool cancelled = printed->pagesPrinted() < printed->pagesToPrint();
    const bool ended = printed->end();
    printer_.reset();
    if (filterPending_) applyFilter();
    updateActions();
    const QString pages = countText(printed->pagesPrinted());
    if (!pdfPath_.isEmpty()) {
        const QString path = fullPathOf(pdfPath_);
        if (cancelled || !ended) QFile::remove(pdfPath_);
        if (!ended && !cancelled)
            dialogs_->showError(this, kProgramTitle, tr("Cannot write the file\n%1").arg(path));
        else
            statusBar()->showMessage(cancelled ? tr("PDF export cancelled; %1 is not written.").arg(path)
                                               : tr("%1 pages written to %2").arg(pages, path),
                                     kMessageMilliseconds);
    } else if (!ended && !cancelled) {
        dialogs_->showError(this, kProgramTitle, tr("The report could not be printed."));
    } else {
        statusBar()->showMessage(cancelled ? tr("Printing cancelled after %1 pages.").arg(pages)
                                           : tr("%1 pages sent to the printer.").arg(pages),
                                 kMessageMilliseconds);
    }
    emit taskEnded();
}

// ---------------------------------------------------------------- window events

void MainWindow::closeEvent(QCloseEvent* event) {
    cancelRun();
    if (retiring_) retiring_->cancel();
    if (saver_) {
        saver_->cancel();
        saver_.reset();  // waits for the thread; the file is left as it was
    }
    if (exporter_) {
        exporter_->cancel();
        exporter_.reset();
    }
    if (reportPrinter_) {
        reportPrinter_->cancel();
        finishPrint();
    }
    QSettings settings;
    settings.setValue(kGeometryKey, saveGeometry());
    settings.setValue(kSplitterKey, splitter_->saveState());
    if (auto* calls = callsPane_->findChild<QSplitter*>(QStringLiteral("callsSplitter")))
        settings.setValue(kCallsSplitterKey, calls->saveState());
    settings.setValue(kTabKey, QLatin1String(kTabNames[std::clamp(viewTabs_->currentIndex(), 0, 2)]));
    event->accept();
}

void MainWindow::dragEnterEvent(QDragEnterEvent* event) {
    if (!isBusy() && !droppedFile(event->mimeData()).isEmpty()) event->acceptProposedAction();
}

void MainWindow::dropEvent(QDropEvent* event) {
    const QString path = droppedFile(event->mimeData());
    if (isBusy() || path.isEmpty()) return;
    event->acceptProposedAction();
    // Opened once the drop is over, so that a message box does not stall the drag.
    QMetaObject::invokeMethod(this, [this, path] { openFile(path); }, Qt::QueuedConnection);
}

}  // namespace truno::window
