#pragma once
// The main window's commands: one action each, with its name, shortcut and icon, and the File,
// Edit, View, Go and Help menus that hold them. The window connects them to what they do.
#include <QObject>

class QAction;
class QMainWindow;
class QMenu;

namespace truno::window {

struct WindowActions {
    // Creates the actions as children of `window` and fills its menu bar.
    explicit WindowActions(QMainWindow* window);

    // The names of the view tabs, as --screenshot's --tab and the settings know them.
    static constexpr const char* kTabNames[] = {"messages", "calls", "statistics", "health", "journeys"};
    static constexpr int kTabs = 5;

    QMenu* fileMenu = nullptr;
    QMenu* recentMenu = nullptr;
    QAction* open = nullptr;
    QAction* reload = nullptr;
    QAction* follow = nullptr;         // opens a log and reads it as it grows
    QAction* stopFollowing = nullptr;
    QAction* followingLimit = nullptr;  // how many messages a followed log keeps
    QAction* openTraces = nullptr;      // the traces of a network, their calls joined into journeys
    QAction* saveAs = nullptr;
    QAction* print = nullptr;
    QAction* exportPdf = nullptr;
    QAction* exit = nullptr;
    QAction* copy = nullptr;
    QAction* selectAll = nullptr;
    QAction* find = nullptr;
    QAction* findNext = nullptr;
    QAction* findPrevious = nullptr;
    QAction* closeFind = nullptr;
    QAction* goToRecord = nullptr;
    QAction* nextNotDecoded = nullptr;
    QAction* previousNotDecoded = nullptr;
    QAction* about = nullptr;
    QAction* exportSummary = nullptr;
    QAction* exportCalls = nullptr;
    QAction* exportJson = nullptr;
    QAction* exportPcap = nullptr;
    QAction* exportHtml = nullptr;
    QAction* saveDiagram = nullptr;
    QAction* filter = nullptr;
    QAction* reportToo = nullptr;
    // Checked: logs are read as ISUP traces (two-octet circuit codes, --cic-octets 2).
    QAction* isupMode = nullptr;
    QAction* tabs[kTabs] = {};

private:
    void createMenus(QMainWindow* window);
};

}  // namespace truno::window
