#pragma once
// The window driven as a user would, with the dialogs answered by the test: what the window
// tests share.
#include "run/CaptureRun.h"
#include "run/capture/CaptureReader.h"
#include "run/DecodeRun.h"
#include "window/app/MainWindow.h"
#include "window/log/ReportDocument.h"
#include "window/report/ReportView.h"

#include <QAction>
#include <QDir>
#include <QLabel>
#include <QPrinter>
#include <QSignalSpy>
#include <QStatusBar>
#include <QtTest>

#include <deque>
#include <fstream>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace window_tests {

using truno::window::MainWindow;
using truno::window::UserDialogs;

// What the dialogs were asked and will answer; owned by the test, shared with the window.
struct DialogScript {
    std::deque<QString> filesToChoose;  // an empty entry: the user cancels
    QStringList severalFiles;           // chosen together once, before filesToChoose
    std::vector<truno::window::TraceToRead> traceEndsProposed;  // what the traces' ends dialog was shown
    std::vector<std::pair<QString, QString>> traceEndsGiven;      // its answers, switch and far switch (none: as proposed)
    int chooseCalls = 0;
    QString openFolder;                 // where the last Open dialog started
    QString fileToSave;                 // the answer of a save dialog
    QString suggestedSave;              // what it proposed
    std::optional<std::uint64_t> record;  // the answer of Go to Record
    std::optional<bool> shownOnly = true;  // the answer of an export's "shown or all" question
    int shownOnlyAsked = 0;
    QString printToPdf;                 // the print dialog sends the print to this PDF file
    std::uint64_t printPages = 0;       // the page count it was shown
    std::optional<truno::window::MessageLimit> messageLimit;  // the answer of File > Following Limit
    QStringList information;
    QStringList errors;
};

class ScriptedDialogs final : public UserDialogs {
public:
    explicit ScriptedDialogs(DialogScript& script) : script_(script) {}
    QString chooseLogFile(QWidget*, const QString& folder) override {
        ++script_.chooseCalls;
        script_.openFolder = folder;
        if (script_.filesToChoose.empty()) return {};
        QString path = script_.filesToChoose.front();
        script_.filesToChoose.pop_front();
        return path;
    }
    QStringList chooseLogFiles(QWidget* parent, const QString& folder) override {
        if (script_.severalFiles.isEmpty()) return UserDialogs::chooseLogFiles(parent, folder);
        return std::exchange(script_.severalFiles, {});
    }
    bool chooseTraceEnds(QWidget*, std::vector<truno::window::TraceToRead>& traces) override {
        script_.traceEndsProposed = traces;
        for (std::size_t k = 0; k < traces.size() && k < script_.traceEndsGiven.size(); ++k)
            truno::window::answerTraceEnds(traces[k], script_.traceEndsGiven[k].first, script_.traceEndsGiven[k].second);
        return true;
    }
    QString chooseSaveFile(QWidget*, const QString&, const QString& suggested, const QStringList&) override {
        script_.suggestedSave = suggested;
        return script_.fileToSave;
    }
    std::optional<std::uint64_t> chooseRecord(QWidget*, std::uint64_t, std::uint64_t) override {
        return script_.record;
    }
    std::optional<bool> chooseShownOnly(QWidget*, std::uint64_t, std::uint64_t) override {
        ++script_.shownOnlyAsked;
        return script_.shownOnly;
    }
    bool setUpPrinter(QWidget*, QPrinter& printer, std::uint64_t pages) override {
        script_.printPages = pages;
        if (script_.printToPdf.isEmpty()) return false;
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(script_.printToPdf);
        return true;
    }
    std::optional<truno::window::MessageLimit> chooseMessageLimit(QWidget*, const truno::window::MessageLimit&) override {
        return script_.messageLimit;
    }
    void showInformation(QWidget*, const QString& title, const QString& text) override {
        QVERIFY(!title.isEmpty());
        script_.information << text;
    }
    void showError(QWidget*, const QString& title, const QString& text) override {
        QVERIFY(!title.isEmpty());
        script_.errors << text;
    }

private:
    DialogScript& script_;
};

inline QString sourcePath(const char* relative) {
    return QDir(QStringLiteral(TRUNO_SOURCE_DIR)).absoluteFilePath(QString::fromLatin1(relative));
}

inline std::string readBytes(const QString& path) {
    std::ifstream in(path.toStdString(), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The report the command-line tool writes for `path` (with --crlf: the report's own bytes).
inline std::string toolReport(const QString& path, truno::RunSummary* summary = nullptr, std::size_t cicOctets = 4) {
    std::ifstream in(path.toStdString(), std::ios::binary);
    std::string report;
    truno::RunOptions options;
    options.cicOctets = cicOctets;
    // A capture is told by its first bytes, as the run tells it.
    char head[4] = {};
    in.read(head, sizeof head);
    const bool capture = truno::isCaptureStart(std::string_view(head, static_cast<std::size_t>(in.gcount())));
    in.clear();
    in.seekg(0);
    const auto sink = [&](std::string_view piece) { report += piece; };
    const truno::RunSummary s = capture ? truno::decodeCapture(in, sink, options) : truno::decodeLog(in, sink, options);
    if (summary != nullptr) *summary = s;
    return report;
}

inline void writeFile(const QString& path, const std::string& bytes) {
    std::ofstream out(path.toStdString(), std::ios::binary);
    out << bytes;
}

// The log `source` as if rotated after its first `older` records: its older part into `olderPath`
// (the page header and those records), the rest under the same header into `newerPath`.
inline void writeRotated(const QString& source, int older, const QString& olderPath, const QString& newerPath) {
    const std::string bytes = readBytes(source);
    const std::size_t header = bytes.find("\r\n\r\n") + 4;
    std::size_t cut = header;
    for (int k = 0; k < older; ++k) cut = bytes.find("\r\n\r\n", cut) + 4;
    writeFile(olderPath, bytes.substr(0, cut));
    writeFile(newerPath, bytes.substr(0, header) + bytes.substr(cut));
}

class WindowFixture {
public:
    WindowFixture() : form(std::make_unique<ScriptedDialogs>(script)) {}

    // Opens `path` through File > Open and waits for the run to end.
    bool openThroughMenu(const QString& path) {
        script.filesToChoose.push_back(path);
        QSignalSpy ended(&form, &MainWindow::runEnded);
        action("openAction")->trigger();
        return ended.count() > 0 || ended.wait(20000);
    }

    QAction* action(const char* name) { return form.findChild<QAction*>(QString::fromLatin1(name)); }
    std::string report() const { return form.reportView()->document().text(); }
    QString status() const { return form.findChild<QLabel*>(QStringLiteral("statusText"))->text(); }
    QString message() const { return form.statusBar()->currentMessage(); }
    // The report line the view's selection starts on.
    std::size_t selectedLine() const { return form.reportView()->selectionStart().line; }

    DialogScript script;
    MainWindow form;
};

}  // namespace window_tests
