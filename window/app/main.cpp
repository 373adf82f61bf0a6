// truno-decoder: the desktop window. A log given as argument is opened at start; several are
// read as one log. With --network, the traces of a network are read and their calls joined into
// journeys, in the journeys tab.
#include "window/views/CallsView.h"
#include "window/app/MainWindow.h"
#include "window/views/JourneysView.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QTimer>

#include <cstdio>
#include <utility>
#include <vector>

int main(int argc, char** argv) {
    QCoreApplication::setApplicationName(QStringLiteral("truno-decoder"));
    QCoreApplication::setOrganizationName(QStringLiteral("truno-decoder"));
    QCoreApplication::setApplicationVersion(truno::window::MainWindow::versionNumber());

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Decodes BICC and ISUP trace logs into a readable report."));
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("file"),
                                 QStringLiteral("The log to open; several files (rotated parts of one log) are "
                                                "read as one log, in the order given."),
                                 QStringLiteral("[file...]"));
    const QCommandLineOption sortFiles(QStringLiteral("sort-files"),
                                       QStringLiteral("Read the files in the order of their first messages' times."));
    parser.addOption(sortFiles);
    const QCommandLineOption network(QStringLiteral("network"),
                                     QStringLiteral("Read the traces of a network and join their calls into journeys: "
                                                    "<file> names each trace and where it was taken, one a line "
                                                    "(FILE THIS FAR), as truno-decode --network reads it. The files "
                                                    "given are the traces; none given, those the file names."),
                                     QStringLiteral("file"));
    parser.addOption(network);
    // For the documentation: saves a picture of the window once the log is shown, then quits.
    QCommandLineOption screenshot(QStringLiteral("screenshot"),
                                  QStringLiteral("Save a picture of the window to <png> and quit."),
                                  QStringLiteral("png"));
    screenshot.setFlags(QCommandLineOption::HiddenFromHelp);
    parser.addOption(screenshot);
    // ... with the view tab "messages", "calls" (its first call chosen), "statistics", "health" or
    // "journeys" (its first journey that lost a message chosen, else its first) in front.
    QCommandLineOption tab(QStringLiteral("tab"), QStringLiteral("Show the view tab <name> in the picture."),
                           QStringLiteral("name"));
    tab.setFlags(QCommandLineOption::HiddenFromHelp);
    parser.addOption(tab);

    // --help and --version answer before the window's application starts, which needs a
    // display. Qt's own options (-platform, ...) are not known here: errors wait for the full
    // parse below.
    QStringList arguments;
    for (int k = 0; k < argc; ++k) arguments << QString::fromLocal8Bit(argv[k]);
    parser.parse(arguments);
    if (parser.isSet(help) || arguments.contains(QStringLiteral("--help-all"))) {
        // Without an application object the parser does not know the program's name.
        QString text = parser.helpText();
        text.replace(QStringLiteral("<executable_name>"), QCoreApplication::applicationName());
        std::fputs(qPrintable(text), stdout);
        return 0;
    }
    if (parser.isSet(version)) parser.showVersion();

    QApplication app(argc, argv);
    QGuiApplication::setDesktopFileName(QStringLiteral("truno-decoder"));
    parser.process(app);

    truno::window::MainWindow window;
    window.show();

    const QStringList files = parser.positionalArguments();
    const QString picture = parser.value(screenshot);
    const QString tabName = parser.value(tab);
    if (!tabName.isEmpty() && !window.showTab(tabName)) {
        std::fprintf(stderr, "truno-decoder: no view tab '%s'\n", qPrintable(tabName));
        return 2;
    }
    if (!picture.isEmpty()) {
        const auto save = [&window, picture, tabName] {
            if (tabName == QLatin1String("calls") && window.callsPane()->model()->rowCount() > 0)
                window.callsPane()->selectRow(0);
            if (tabName == QLatin1String("journeys")) {
                // The first journey that lost a message on the way, else the first.
                const auto* journeys = window.journeysPane()->model();
                int row = 0;
                while (row < journeys->rowCount() && journeys->journey(row)->unmatched == 0) ++row;
                if (journeys->rowCount() > 0) window.journeysPane()->selectRow(row < journeys->rowCount() ? row : 0);
            }
            QTimer::singleShot(600, &window, [&window, picture] {
                const bool saved = window.grab().save(picture, "PNG");
                if (!saved) std::fprintf(stderr, "truno-decoder: cannot save %s\n", qPrintable(picture));
                QApplication::exit(saved ? 0 : 1);
            });
        };
        if (parser.isSet(network))
            QObject::connect(&window, &truno::window::MainWindow::journeysEnded, &window, save);
        else if (files.isEmpty())
            save();
        else
            QObject::connect(&window, &truno::window::MainWindow::runEnded, &window, save);
    }
    if (parser.isSet(network)) {
        // As the tool does, a network file that cannot be read or names none of the files is said
        // on standard error.
        std::vector<truno::window::TraceToRead> traces;
        QString error;
        const QString networkFile = parser.value(network);
        if (!(files.isEmpty() ? truno::window::tracesOfNetwork(networkFile, traces, error)
                              : truno::window::tracesOf(files, networkFile, traces, error))) {
            std::fprintf(stderr, "truno-decoder: %s\n", qPrintable(error));
            return 2;
        }
        QTimer::singleShot(0, &window, [&window, traces = std::move(traces)]() mutable { window.openTraces(std::move(traces)); });
        return QApplication::exec();
    }
    const bool byFirstTime = parser.isSet(sortFiles);
    if (!files.isEmpty())
        QTimer::singleShot(0, &window, [&window, files, byFirstTime] { window.openFiles(files, byFirstTime); });
    return QApplication::exec();
}
