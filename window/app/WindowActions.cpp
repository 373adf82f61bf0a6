#include "window/app/WindowActions.h"

#include <QAction>
#include <QIcon>
#include <QKeySequence>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QStyle>

namespace truno::window {

WindowActions::WindowActions(QMainWindow* window) {
    const auto make = [window](const QString& text, const char* name, const QKeySequence& keys,
                               const char* icon = nullptr, QStyle::StandardPixmap fallback = QStyle::SP_CustomBase) {
        auto* action = new QAction(text, window);
        action->setObjectName(QString::fromLatin1(name));
        if (!keys.isEmpty()) action->setShortcut(keys);
        if (icon != nullptr)
            action->setIcon(QIcon::fromTheme(QString::fromLatin1(icon), fallback != QStyle::SP_CustomBase
                                                                            ? window->style()->standardIcon(fallback)
                                                                            : QIcon()));
        return action;
    };
    open = make(QObject::tr("&Open"), "openAction", QKeySequence(Qt::CTRL | Qt::Key_O), "document-open",
                QStyle::SP_DialogOpenButton);
    reload = make(QObject::tr("&Reload"), "reloadAction", QKeySequence(Qt::Key_F5), "view-refresh", QStyle::SP_BrowserReload);
    follow = make(QObject::tr("Fo&llow..."), "followAction", QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_O));
    stopFollowing = make(QObject::tr("S&top Following"), "stopFollowingAction", QKeySequence(), "process-stop");
    followingLimit = make(QObject::tr("Following &Limit..."), "followingLimitAction", QKeySequence());
    openTraces = make(QObject::tr("Open &Traces of a Network..."), "openTracesAction", QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_N));
    saveAs = make(QObject::tr("Save &As..."), "saveAsAction", QKeySequence(), "document-save-as", QStyle::SP_DialogSaveButton);
    print = make(QObject::tr("&Print..."), "printAction", QKeySequence(Qt::CTRL | Qt::Key_P), "document-print");
    exportPdf = make(QObject::tr("&Export PDF..."), "exportPdfAction", QKeySequence(), "application-pdf");
    exit = make(QObject::tr("E&xit"), "exitAction", QKeySequence(Qt::CTRL | Qt::Key_Q), "application-exit");

    copy = make(QObject::tr("&Copy"), "copyAction", QKeySequence::Copy, "edit-copy");
    selectAll = make(QObject::tr("Select &All"), "selectAllAction", QKeySequence::SelectAll, "edit-select-all");
    find = make(QObject::tr("&Find..."), "findAction", QKeySequence(Qt::CTRL | Qt::Key_F), "edit-find");
    findNext = make(QObject::tr("Find &Next"), "findNextAction", QKeySequence(Qt::Key_F3));
    findPrevious = make(QObject::tr("Find Pre&vious"), "findPreviousAction", QKeySequence(Qt::SHIFT | Qt::Key_F3));
    // Esc stops a search or closes the find bar, wherever the keyboard is in the window.
    closeFind = make(QObject::tr("Close Find Bar"), "closeFindAction", QKeySequence(Qt::Key_Escape));
    window->addAction(closeFind);

    goToRecord = make(QObject::tr("&Go to Record..."), "goToRecordAction", QKeySequence(Qt::CTRL | Qt::Key_G), "go-jump");
    nextNotDecoded = make(QObject::tr("&Next Not Decoded"), "nextNotDecodedAction", QKeySequence(Qt::Key_F8), "go-down");
    previousNotDecoded = make(QObject::tr("&Previous Not Decoded"), "previousNotDecodedAction",
                              QKeySequence(Qt::SHIFT | Qt::Key_F8), "go-up");

    exportSummary = make(QObject::tr("&Summary as CSV..."), "exportSummaryAction", QKeySequence(), "text-csv",
                         QStyle::SP_DialogSaveButton);
    exportCalls = make(QObject::tr("&Calls as CSV..."), "exportCallsAction", QKeySequence(), "text-csv",
                       QStyle::SP_DialogSaveButton);
    exportJson = make(QObject::tr("Messages as &JSON Lines..."), "exportJsonAction", QKeySequence(), "application-json",
                      QStyle::SP_DialogSaveButton);
    exportPcap = make(QObject::tr("Ca&pture File (pcap)..."), "exportPcapAction", QKeySequence(), "network-wired",
                      QStyle::SP_DriveNetIcon);
    exportHtml = make(QObject::tr("&HTML Report..."), "exportHtmlAction", QKeySequence(), "text-html",
                      QStyle::SP_DialogSaveButton);
    saveDiagram = make(QObject::tr("Save &Ladder Diagram..."), "saveDiagramAction", QKeySequence(), "image-x-generic",
                       QStyle::SP_DialogSaveButton);

    const QString tabTexts[] = {QObject::tr("&Messages"), QObject::tr("&Calls"), QObject::tr("&Statistics"),
                                QObject::tr("&Health"), QObject::tr("&Journeys")};
    for (int k = 0; k < kTabs; ++k) {
        tabs[k] = make(tabTexts[k], kTabNames[k], QKeySequence(Qt::ALT | static_cast<Qt::Key>(Qt::Key_1 + k)));
        tabs[k]->setObjectName(QStringLiteral("%1TabAction").arg(QLatin1String(kTabNames[k])));
    }
    filter = make(QObject::tr("&Filter Messages"), "filterAction", QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_F), "view-filter");
    reportToo = make(QObject::tr("&Report Shows Matching Records Only"), "reportTooAction",
                     QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_R));
    reportToo->setCheckable(true);
    isupMode = make(QObject::tr("&ISUP Traces (Two-Octet Circuit Codes)"), "isupModeAction", QKeySequence());
    isupMode->setCheckable(true);

    about = make(QObject::tr("&About"), "aboutAction", QKeySequence(), "help-about");
    createMenus(window);
}

void WindowActions::createMenus(QMainWindow* window) {
    fileMenu = window->menuBar()->addMenu(QObject::tr("&File"));
    fileMenu->setObjectName(QStringLiteral("fileMenu"));
    fileMenu->addAction(open);
    recentMenu = fileMenu->addMenu(QObject::tr("Open &Recent"));
    recentMenu->setObjectName(QStringLiteral("recentMenu"));
    recentMenu->menuAction()->setObjectName(QStringLiteral("recentMenuAction"));
    fileMenu->addAction(reload);
    fileMenu->addAction(follow);
    fileMenu->addAction(stopFollowing);
    fileMenu->addAction(followingLimit);
    fileMenu->addAction(openTraces);
    fileMenu->addAction(saveAs);
    QMenu* exportMenu = fileMenu->addMenu(QIcon::fromTheme(QStringLiteral("document-export")), QObject::tr("E&xport"));
    exportMenu->setObjectName(QStringLiteral("exportMenu"));
    exportMenu->addAction(exportSummary);
    exportMenu->addAction(exportCalls);
    exportMenu->addAction(exportJson);
    exportMenu->addAction(exportPcap);
    exportMenu->addAction(exportHtml);
    exportMenu->addSeparator();
    exportMenu->addAction(saveDiagram);
    fileMenu->addAction(print);
    fileMenu->addAction(exportPdf);
    fileMenu->addSeparator()->setObjectName(QStringLiteral("exitSeparator"));
    fileMenu->addAction(exit);

    QMenu* edit = window->menuBar()->addMenu(QObject::tr("&Edit"));
    edit->setObjectName(QStringLiteral("editMenu"));
    edit->addAction(copy);
    edit->addAction(selectAll);
    edit->addSeparator();
    edit->addAction(find);
    edit->addAction(findNext);
    edit->addAction(findPrevious);

    QMenu* view = window->menuBar()->addMenu(QObject::tr("&View"));
    view->setObjectName(QStringLiteral("viewMenu"));
    for (QAction* tab : tabs) view->addAction(tab);
    view->addSeparator();
    view->addAction(filter);
    view->addAction(reportToo);
    view->addSeparator();
    view->addAction(isupMode);

    QMenu* go = window->menuBar()->addMenu(QObject::tr("&Go"));
    go->setObjectName(QStringLiteral("goMenu"));
    go->addAction(goToRecord);
    go->addAction(nextNotDecoded);
    go->addAction(previousNotDecoded);

    QMenu* help = window->menuBar()->addMenu(QObject::tr("&Help"));
    help->setObjectName(QStringLiteral("Help"));
    help->addAction(about);
}

}  // namespace truno::window
