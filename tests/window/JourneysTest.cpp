// The journeys tab against the command-line tool's --journeys on the generator's small network
// X-Y-Z (four traces, both ends of both trunks): the same journeys in the same order (failed
// first), each journey's legs, outcome and release; the ladder of a journey has one column per
// switch it crossed, draws each paired message after its copy's transit time and each message
// the tool says was lost, in red. The traces opened through the File menu come with the ends the
// network file beside them gives.
#include "tests/window/WindowFixture.h"
#include "output/JourneyExports.h"
#include "window/views/JourneysView.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPlainTextEdit>
#include <QProcess>
#include <QTableView>
#include <QTemporaryDir>

#include <cmath>

using namespace window_tests;
using truno::window::JourneyArrow;
using truno::window::JourneyListModel;

namespace {

const QStringList kTraces{QStringLiteral("x-y.log"), QStringLiteral("y-x.log"), QStringLiteral("y-z.log"), QStringLiteral("z-y.log")};

QString run(const QString& program, const QStringList& arguments, const QString& folder) {
    QProcess process;
    process.setWorkingDirectory(folder);
    process.start(program, arguments);
    if (!process.waitForFinished(120000)) return {};
    return QString::fromUtf8(process.readAllStandardOutput());
}

}  // namespace

class JourneysTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void tableIsTheTools();
    void ladderCrossesEverySwitch();
    void menuProposesTheNetworkFilesEnds();
    void captureSideIsProposedAndGiven_data();
    void captureSideIsProposedAndGiven();

private:
    QTemporaryDir folder_;
    std::vector<QJsonObject> tool_;  // the tool's journeys, in its order
    WindowFixture w_;
};

void JourneysTest::initTestCase() {
    QVERIFY(folder_.isValid());
    run(QStringLiteral(TRUNO_LOGGEN), {QStringLiteral("--network"), QStringLiteral("60"), QStringLiteral("3"), folder_.path()}, folder_.path());
    const QString json = run(QStringLiteral(TRUNO_DECODE),
                             QStringList{QStringLiteral("--journeys"), QStringLiteral("--format"), QStringLiteral("json"),
                                         QStringLiteral("--network"), QStringLiteral("network")} + kTraces,
                             folder_.path());
    for (const QString& line : json.split(QLatin1Char('\n'), Qt::SkipEmptyParts))
        tool_.push_back(QJsonDocument::fromJson(line.toUtf8()).object());
    QVERIFY(tool_.size() >= 40);
    QSignalSpy ended(&w_.form, &MainWindow::journeysEnded);
    QVERIFY(w_.form.openNetwork(folder_.filePath(QStringLiteral("network"))));
    QVERIFY(ended.wait(60000));
    // No log is open: the journeys in front take the report's place, which comes back with another tab.
    auto* reportPane = w_.form.findChild<QWidget*>(QStringLiteral("reportPane"));
    QVERIFY(reportPane != nullptr && reportPane->isHidden());
    w_.form.showTab(QStringLiteral("messages"));
    QVERIFY(!reportPane->isHidden());
    w_.form.showTab(QStringLiteral("journeys"));
    QVERIFY(reportPane->isHidden());
}

void JourneysTest::tableIsTheTools() {
    const JourneyListModel& model = *w_.form.journeysPane()->model();
    QCOMPARE(static_cast<std::size_t>(model.rowCount()), tool_.size());
    bool answeredSeen = false;
    int failed = 0;
    for (int row = 0; row < model.rowCount(); ++row) {
        const QJsonObject& j = tool_[static_cast<std::size_t>(row)];
        const auto cell = [&](int column) { return model.index(row, column).data().toString(); };
        QCOMPARE(cell(JourneyListModel::IdColumn).toInt(), j[QStringLiteral("journey")].toInt());
        QCOMPARE(cell(JourneyListModel::LegsColumn).toInt(), j[QStringLiteral("legs_count")].toInt());
        QCOMPARE(cell(JourneyListModel::OriginColumn), j[QStringLiteral("origin")].toString());
        QCOMPARE(cell(JourneyListModel::FinalColumn), j[QStringLiteral("final")].toString());
        QCOMPARE(cell(JourneyListModel::OutcomeColumn), j[QStringLiteral("outcome")].toString());
        QCOMPARE(cell(JourneyListModel::ReleasedAtColumn), j[QStringLiteral("released_at")].toString());
        QCOMPARE(cell(JourneyListModel::LostColumn).toInt(), j[QStringLiteral("unmatched_messages")].toInt());
        QCOMPARE(!cell(JourneyListModel::AmbiguousColumn).isEmpty(), j[QStringLiteral("ambiguous")].toBool());
        // Failed first: no failed journey after an answered one.
        const bool answered = cell(JourneyListModel::OutcomeColumn) == QLatin1String("answered");
        QVERIFY2(answered || !answeredSeen, qPrintable(QStringLiteral("row %1").arg(row)));
        answeredSeen = answeredSeen || answered;
        failed += answered ? 0 : 1;
    }
    QVERIFY(answeredSeen && failed > 0);
}

void JourneysTest::ladderCrossesEverySwitch() {
    truno::window::JourneysPane& pane = *w_.form.journeysPane();
    int lostChecked = 0;
    int transitChecked = 0;
    for (int row = 0; row < pane.model()->rowCount(); ++row) {
        const QJsonObject& j = tool_[static_cast<std::size_t>(row)];
        const QJsonArray legs = j[QStringLiteral("legs")].toArray();
        const bool lost = j[QStringLiteral("unmatched_messages")].toInt() > 0;
        if (!lost && (legs.size() < 2 || transitChecked > 3)) continue;
        pane.selectRow(row);
        const truno::window::JourneyLadder& ladder = *pane.ladder();
        QStringList switches{j[QStringLiteral("origin")].toString()};
        int sentLost = 0, neverSent = 0;
        QStringList paired;  // type, sent record and transit delay of each message seen at both ends
        for (const QJsonValue& leg : legs) {
            switches << leg[QStringLiteral("to")].toString();
            for (const QJsonValue& p : leg[QStringLiteral("paired")].toArray())
                paired << QStringLiteral("%1 #%2 %3 ms").arg(p[QStringLiteral("type")].toString()).arg(p[QStringLiteral("sent_record")].toInt())
                              .arg(std::lround(p[QStringLiteral("delay")].toDouble() * 1000));
            for (const QJsonValue& u : leg[QStringLiteral("unmatched")].toArray())
                ++(u[QStringLiteral("sent_never_received")].toBool() ? sentLost : neverSent);
        }
        QCOMPARE(ladder.switches(), switches);
        int drawnLost = 0, drawnUnsent = 0;
        std::int64_t last = INT64_MIN;
        for (const JourneyArrow& a : ladder.arrows()) {
            QCOMPARE(std::abs(a.from - a.to), 1);
            QVERIFY(a.to < switches.size() && a.from < switches.size());
            drawnLost += a.lost ? 1 : 0;
            drawnUnsent += a.unsent ? 1 : 0;
            const std::int64_t at = a.sentAt.value_or(a.receivedAt.value_or(last));
            QVERIFY(at >= last);
            last = at;
            // On one clock, a copy arrives after its transit time, the tool's.
            if (a.sentAt && a.receivedAt && !a.oneEnd) {
                const QString drawn = QStringLiteral("%1 #%2 %3 ms").arg(QString::fromStdString(truno::typeAcronym(a.type))).arg(a.record)
                                          .arg(*a.receivedAt - *a.sentAt);
                QVERIFY2(paired.contains(drawn), qPrintable(drawn));
            }
        }
        QCOMPARE(drawnLost, sentLost);
        QCOMPARE(drawnUnsent, neverSent);
        QCOMPARE(static_cast<int>(ladder.arrows().size()), static_cast<int>(paired.size()) + sentLost + neverSent);
        QVERIFY(pane.story()->toPlainText().startsWith(QStringLiteral("journey %1 ").arg(j[QStringLiteral("journey")].toInt())));
        lostChecked += lost ? 1 : 0;
        transitChecked += legs.size() >= 2 ? 1 : 0;
    }
    QVERIFY(lostChecked > 0 && transitChecked > 0);
}

void JourneysTest::menuProposesTheNetworkFilesEnds() {
    WindowFixture w;
    for (const QString& trace : kTraces) w.script.severalFiles << folder_.filePath(trace);
    QSignalSpy ended(&w.form, &MainWindow::journeysEnded);
    w.action("openTracesAction")->trigger();
    QVERIFY(ended.wait(60000));
    // x-y.log is taken at X on its trunk to Y, and so on, as the network file says.
    QCOMPARE(w.script.traceEndsProposed.size(), kTraces.size());
    for (const truno::window::TraceToRead& t : w.script.traceEndsProposed) {
        const QString name = QFileInfo(t.path).baseName().toUpper();
        QCOMPARE(QString::fromStdString(t.ends.self + "-" + t.ends.far), name);
        QVERIFY(t.ends.declared);
    }
    QCOMPARE(static_cast<std::size_t>(w.form.journeysPane()->model()->rowCount()), tool_.size());
}

void JourneysTest::captureSideIsProposedAndGiven_data() {
    QTest::addColumn<QString>("given");   // the switch given for the capture; empty: as proposed
    QTest::newRow("as proposed") << QString();
    QTest::newRow("X's side") << QStringLiteral("1");
    QTest::newRow("Y's side") << QStringLiteral("2");
}

// Y's capture of both its trunks: the dialog proposes its first message's OPC as its switch, as
// the run takes it, and a point code given there is its side, as the tool's --local-pc.
void JourneysTest::captureSideIsProposedAndGiven() {
    QFETCH(QString, given);
    const QString first = run(QStringLiteral(TRUNO_DECODE), {QStringLiteral("--format"), QStringLiteral("json"), QStringLiteral("y.pcap")},
                              folder_.path()).section(QLatin1Char('\n'), 0, 0);
    const int firstOpc = QJsonDocument::fromJson(first.toUtf8()).object()[QStringLiteral("opc")].toInt(-1);
    QVERIFY(firstOpc > 0);
    QStringList arguments{QStringLiteral("--journeys"), QStringLiteral("--format"), QStringLiteral("json"), QStringLiteral("y.pcap")};
    if (!given.isEmpty()) arguments << QStringLiteral("--local-pc") << given;
    const QString json = run(QStringLiteral(TRUNO_DECODE), arguments, folder_.path());
    QStringList expected;
    for (const QString& line : json.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        const QJsonObject j = QJsonDocument::fromJson(line.toUtf8()).object();
        expected << QStringLiteral("%1 %2>%3 %4 %5").arg(j[QStringLiteral("journey")].toInt()).arg(j[QStringLiteral("origin")].toString(),
                                                                                               j[QStringLiteral("final")].toString(),
                                                                                               j[QStringLiteral("outcome")].toString(),
                                                                                               j[QStringLiteral("released_at")].toString());
    }
    QVERIFY(expected.size() > 10);
    WindowFixture w;
    w.script.severalFiles << folder_.filePath(QStringLiteral("y.pcap"));
    if (!given.isEmpty()) w.script.traceEndsGiven.emplace_back(given, QString());
    QSignalSpy ended(&w.form, &MainWindow::journeysEnded);
    w.action("openTracesAction")->trigger();
    QVERIFY(ended.wait(60000));
    QCOMPARE(w.script.traceEndsProposed.size(), std::size_t{1});
    QVERIFY(w.script.traceEndsProposed[0].capture);
    QCOMPARE(QString::fromStdString(w.script.traceEndsProposed[0].ends.self), QString::number(firstOpc));
    const JourneyListModel& model = *w.form.journeysPane()->model();
    QStringList shown;
    for (int row = 0; row < model.rowCount(); ++row) {
        const auto cell = [&](int column) { return model.index(row, column).data().toString(); };
        shown << QStringLiteral("%1 %2>%3 %4 %5").arg(cell(JourneyListModel::IdColumn), cell(JourneyListModel::OriginColumn),
                                                     cell(JourneyListModel::FinalColumn), cell(JourneyListModel::OutcomeColumn),
                                                     cell(JourneyListModel::ReleasedAtColumn));
    }
    QCOMPARE(shown, expected);
}

QTEST_MAIN(JourneysTest)
#include "JourneysTest.moc"
