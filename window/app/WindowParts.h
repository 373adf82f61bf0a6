#pragma once
// What the parts of the main window share: its widgets, the dialogs it asks, its status line,
// and the log on screen. The main window owns it; the run, the filter, the navigation and the
// output each drive their part of it.
#include "window/log/OpenedLog.h"
#include "window/report/ReportView.h"

#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QString>

#include <cstdint>
#include <memory>

class QTableView;
class QWidget;

namespace truno::window {

class CallsPane;
class HealthPane;
class JourneysPane;
class MessageFilterBar;
class MessageListModel;
class StatisticsPane;
class StatusLine;
class UserDialogs;

// The title of the window's message boxes.
inline const QString kProgramTitle = QStringLiteral("TRUNO Decoder");

inline QString fullPathOf(const QString& path) { return QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath()); }

inline QString countText(std::uint64_t n) { return QLocale().toString(static_cast<qulonglong>(n)); }

struct WindowParts {
    QWidget* window = nullptr;  // what dialogs open over
    UserDialogs* dialogs = nullptr;
    StatusLine* status = nullptr;
    ReportView* reportView = nullptr;
    MessageFilterBar* filterBar = nullptr;
    QTableView* messageList = nullptr;
    MessageListModel* messageModel = nullptr;
    CallsPane* callsPane = nullptr;
    StatisticsPane* statisticsPane = nullptr;
    HealthPane* healthPane = nullptr;
    JourneysPane* journeysPane = nullptr;  // the journeys of the traces of a network, read apart from the log
    // The log on screen; never null. The report view holds the report it shows.
    std::unique_ptr<OpenedLog> log = std::make_unique<OpenedLog>();

    // The full report of the log on screen, also while the view shows the matching records only.
    const ReportDocument& fullReport() const { return log->report ? *log->report : reportView->document(); }
    // The records of the report shown.
    const RecordIndex& records() const { return log->shownRecords(); }
};

}  // namespace truno::window
