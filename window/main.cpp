// truno-decoder: the desktop window. A log given as argument is opened at start.
#include "window/MainWindow.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QTimer>

#include <cstdio>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("truno-decoder"));
    QApplication::setApplicationVersion(QStringLiteral(TRUNO_VERSION));
    QGuiApplication::setDesktopFileName(QStringLiteral("truno-decoder"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Decodes BICC trace logs into a readable report."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("file"), QStringLiteral("The log to open."),
                                 QStringLiteral("[file]"));
    // For the documentation: saves a picture of the window once the log is shown, then quits.
    QCommandLineOption screenshot(QStringLiteral("screenshot"),
                                  QStringLiteral("Save a picture of the window to <png> and quit."),
                                  QStringLiteral("png"));
    screenshot.setFlags(QCommandLineOption::HiddenFromHelp);
    parser.addOption(screenshot);
    parser.process(app);

    truno::window::MainWindow window;
    window.show();

    const QStringList files = parser.positionalArguments();
    const QString picture = parser.value(screenshot);
    if (!picture.isEmpty()) {
        const auto save = [&window, picture] {
            QTimer::singleShot(200, &window, [&window, picture] {
                const bool saved = window.grab().save(picture, "PNG");
                if (!saved) std::fprintf(stderr, "truno-decoder: cannot save %s\n", qPrintable(picture));
                QApplication::exit(saved ? 0 : 1);
            });
        };
        if (files.isEmpty())
            save();
        else
            QObject::connect(&window, &truno::window::MainWindow::runEnded, &window, save);
    }
    if (!files.isEmpty()) {
        const QString& file = files.constFirst();
        QTimer::singleShot(0, &window, [&window, file] { window.openFile(file); });
    }
    return QApplication::exec();
}
