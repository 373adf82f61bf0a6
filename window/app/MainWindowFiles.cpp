// The main window's files: the list of recent files, and logs chosen in the dialog or dropped on
// the window (several read as one log, in the order of their first messages).
#include "window/app/MainWindow.h"

#include "window/app/RunController.h"
#include "window/app/WindowActions.h"
#include "run/LogOrder.h"

#include <QAction>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QFileInfo>
#include <QMenu>
#include <QMimeData>
#include <QSettings>
#include <QUrl>

#include <string>
#include <vector>

namespace truno::window {

namespace {

const QString kRecentKey = QStringLiteral("files/recent");

// The local files among dropped URLs.
QStringList droppedFiles(const QMimeData* mime) {
    QStringList files;
    if (mime == nullptr || !mime->hasUrls()) return files;
    for (const QUrl& url : mime->urls())
        if (url.isLocalFile()) files << url.toLocalFile();
    return files;
}

// Files in the order of their first timed messages, as `truno-decode --sort-files` puts them;
// those without one (or that are not plain files: a pipe is not read ahead) after the others,
// in the order given.
QStringList inTimeOrder(const QStringList& paths) {
    std::vector<std::string> names;
    for (const QString& path : paths) names.push_back(QFile::encodeName(path).toStdString());
    QStringList sorted;
    for (const std::size_t k : timeOrderOfFiles(names)) sorted << paths[static_cast<qsizetype>(k)];
    return sorted;
}

}  // namespace

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
    QMenu* menu = actions_->recentMenu;
    menu->clear();
    const QStringList recent = QSettings().value(kRecentKey).toStringList();
    for (qsizetype k = 0; k < recent.size(); ++k) {
        const QString& path = recent[k];
        // Access keys 1 to 9, then 0 for the tenth.
        const QString key = k < 9 ? QString::number(k + 1) : QStringLiteral("0");
        QAction* item = menu->addAction(QStringLiteral("&%1 %2").arg(key, QString(path).replace(QLatin1Char('&'), QStringLiteral("&&"))));
        item->setData(path);
        connect(item, &QAction::triggered, this, [this, path] { openFile(path); });
    }
    if (!recent.isEmpty()) {
        menu->addSeparator();
        menu->addAction(tr("&Clear List"), this, [this] {
            QSettings().remove(kRecentKey);
            updateRecentMenu();
        });
    }
    menu->setEnabled(!isBusy() && !recent.isEmpty());
}

QString MainWindow::reportFolder() const {
    const QStringList recent = QSettings().value(kRecentKey).toStringList();
    return recent.isEmpty() ? QString() : QFileInfo(recent.constFirst()).absolutePath();
}

void MainWindow::openFromDialog(bool follow) {
    if (isBusy() && !isFollowing()) return;
    // One log is followed; several may be opened as one.
    const QStringList paths = follow ? QStringList(dialogs_->chooseLogFile(this, reportFolder()))
                                     : dialogs_->chooseLogFiles(this, reportFolder());
    if (paths.isEmpty() || paths.constFirst().isEmpty()) return;  // cancelled: everything stays as it was
    if (follow)
        openLog(paths, true);
    else
        openFiles(paths, true);
}

void MainWindow::openFiles(const QStringList& paths, bool byFirstTime) {
    openLog(byFirstTime && paths.size() > 1 ? inTimeOrder(paths) : paths, false);
}

void MainWindow::dragEnterEvent(QDragEnterEvent* event) {
    if (!isBusy() && !droppedFiles(event->mimeData()).isEmpty()) event->acceptProposedAction();
}

void MainWindow::dropEvent(QDropEvent* event) {
    const QStringList paths = droppedFiles(event->mimeData());
    if (isBusy() || paths.isEmpty()) return;
    event->acceptProposedAction();
    // Opened once the drop is over, so that a message box does not stall the drag. Several
    // files dropped together are read as one log, in the order of their first messages.
    QMetaObject::invokeMethod(this, [this, paths] { openFiles(paths, true); }, Qt::QueuedConnection);
}

}  // namespace truno::window
