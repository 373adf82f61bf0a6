// The health tab on real captures, against the command-line tool: its KPI table holds the numbers
// of --kpi (whole log and each interval), its HTML export is the tool's --html, and choosing a
// finding chooses its record and shows its call's ladder.
#include "window/views/CallsView.h"
#include "window/views/HealthTables.h"
#include "window/views/HealthView.h"
#include "window/views/MessageList.h"
#include "WindowFixture.h"

#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QTabWidget>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTableView>
#include <QTableWidget>
#include <QTemporaryDir>

#include <algorithm>

using namespace window_tests;
using truno::window::HealthPane;

namespace {

QByteArray tool(const QStringList& arguments) {
    QProcess process;
    process.start(QStringLiteral(TRUNO_DECODE), arguments);
    process.waitForFinished(60000);
    return process.readAllStandardOutput();
}

QString cell(const QTableWidget* table, int row, int column) {
    const QTableWidgetItem* item = table->item(row, column);
    return item != nullptr ? item->text() : QString();
}

// The KPI table's row against a set of --kpi --format json.
void compareRow(const QTableWidget* table, int row, const QJsonObject& set) {
    const auto number = [&](const char* key) { return QString::number(set.value(QLatin1String(key)).toInteger()); };
    const QJsonObject asr = set.value(QStringLiteral("asr")).toObject();
    const QJsonObject ner = set.value(QStringLiteral("ner")).toObject();
    QCOMPARE(cell(table, row, HealthPane::SeizuresColumn), number("seizures"));
    QCOMPARE(cell(table, row, HealthPane::AnsweredColumn), number("answered"));
    QCOMPARE(cell(table, row, HealthPane::AnsweredColumn), QString::number(asr.value(QStringLiteral("numerator")).toInteger()));
    QCOMPARE(cell(table, row, HealthPane::SeizuresColumn), QString::number(asr.value(QStringLiteral("denominator")).toInteger()));
    QCOMPARE(cell(table, row, HealthPane::ReachedColumn), QString::number(ner.value(QStringLiteral("numerator")).toInteger()));
    QCOMPARE(cell(table, row, HealthPane::AsrColumn), QString::number(asr.value(QStringLiteral("percent")).toDouble(), 'f', 2) + " %");
}

}  // namespace

class HealthTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void tabShowsTheToolsKpisAndReport();
    void findingChoosesItsRecordAndLadder();
    void rowsOfSeveralSwitchesNameTheirs();
    void circuitsThatNeedAttentionAreTheTools();
};

void HealthTest::initTestCase() {
    QStandardPaths::setTestModeEnabled(true);
    QCoreApplication::setOrganizationName(QStringLiteral("truno-decoder-tests"));
    QSettings().clear();
}

void HealthTest::tabShowsTheToolsKpisAndReport() {
    const QString capture = sourcePath("tests/golden/isup-m3ua-calls-470.log");
    WindowFixture w;
    QVERIFY(w.openThroughMenu(capture));
    HealthPane* health = w.form.healthPane();
    const QTableWidget* table = health->kpiTable();
    QTRY_VERIFY(table->rowCount() > 1);
    QVERIFY(health->scope().contains(QStringLiteral("whole log (470 messages)")));

    // The whole log's row, then the rows of each interval the combo offers, as --kpi --by counts them.
    const QJsonObject whole = QJsonDocument::fromJson(tool({QStringLiteral("--kpi"), QStringLiteral("--format=json"), capture})).object();
    QCOMPARE(whole.value(QStringLiteral("total")).toObject().value(QStringLiteral("seizures")).toInteger(), 94);
    for (const char* by : {"5m", "15m", "1h"}) {
        auto* combo = health->findChild<QComboBox*>(QStringLiteral("healthInterval"));
        const std::int64_t minutes = QString::fromLatin1(by).chopped(1).toLongLong() * (QString::fromLatin1(by).endsWith('h') ? 60 : 1);
        combo->setCurrentIndex(combo->findData(QVariant::fromValue<qlonglong>(minutes * 60000)));
        QCOMPARE(health->interval(), minutes * 60000);
        const QJsonObject grouped =
            QJsonDocument::fromJson(tool({QStringLiteral("--kpi"), QStringLiteral("--by=") + QLatin1String(by),
                                          QStringLiteral("--format=json"), capture}))
                .object();
        const QJsonArray groups = grouped.value(QStringLiteral("groups")).toArray();
        QCOMPARE(table->rowCount(), 1 + groups.size());
        compareRow(table, 0, whole.value(QStringLiteral("total")).toObject());
        if (QTest::currentTestFailed()) return;
        for (qsizetype k = 0; k < groups.size(); ++k) {
            const QJsonObject group = groups[k].toObject();
            QCOMPARE(cell(table, static_cast<int>(k) + 1, HealthPane::PeriodColumn), group.value(QStringLiteral("group")).toString());
            compareRow(table, static_cast<int>(k) + 1, group);
            if (QTest::currentTestFailed()) return;
        }
    }

    // File > Export > HTML Report: the tool's --html of the same log, made by the window.
    QTemporaryDir dir;
    const QString expectedPath = dir.filePath(QStringLiteral("tool.html"));
    tool({QStringLiteral("--html"), expectedPath, w.form.log().path});
    std::string expected = readBytes(expectedPath);
    const std::string maker = "truno-decode " TRUNO_EXPECTED_VERSION ".";
    QVERIFY(expected.find(maker) != std::string::npos);
    expected.replace(expected.find(maker), maker.size(), "truno-decoder " TRUNO_EXPECTED_VERSION ".");
    w.script.fileToSave = dir.filePath(QStringLiteral("window.html"));
    QVERIFY(w.action("exportHtmlAction")->isEnabled());
    w.action("exportHtmlAction")->trigger();
    QVERIFY(w.script.errors.isEmpty());
    QVERIFY(w.script.suggestedSave.endsWith(QStringLiteral("isup-m3ua-calls-470-health.html")));
    QVERIFY(readBytes(w.script.fileToSave) == expected);
}

void HealthTest::findingChoosesItsRecordAndLadder() {
    // Two messages not decoded (records 3 and 4) and an RLC with no REL before it (record 5), all
    // of the call on code 7.
    WindowFixture w;
    w.form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w.form));
    QVERIFY(w.openThroughMenu(sourcePath("tests/golden/unknown-codes.log")));
    HealthPane* health = w.form.healthPane();
    QVERIFY(w.form.showTab(QStringLiteral("health")));
    QTRY_COMPARE(health->findingsTable()->model()->rowCount(), 3);
    QTRY_VERIFY(w.form.filterSettled());
    health->selectFinding(2);
    const truno::window::MessageListModel* list = w.form.messageModel();
    QCOMPARE(list->messageAt(w.form.messageList()->currentIndex().row()) + 1, std::size_t{5});
    QCOMPARE(w.form.records().recordAt(w.selectedLine()), std::uint64_t{5});
    const auto& arrows = health->ladder()->arrows();
    QVERIFY(std::any_of(arrows.begin(), arrows.end(), [](const auto& arrow) { return arrow.record == 5; }));
    health->selectFinding(0);
    QCOMPARE(w.form.records().recordAt(w.selectedLine()), std::uint64_t{3});
    // A circuit chosen chooses its last record.
    health->selectCircuit(0);
    QCOMPARE(health->circuitsTable()->model()->index(0, truno::window::CircuitListModel::CodeColumn).data().toInt(), 7);
    QCOMPARE(w.form.records().recordAt(w.selectedLine()), std::uint64_t{5});
}

void HealthTest::rowsOfSeveralSwitchesNameTheirs() {
    using truno::window::CircuitListModel;
    using truno::window::FindingListModel;
    QTemporaryDir dir;
    // Files of one log's copies, each of its switch (its file name): their intervals fall at the
    // same times of day.
    const auto copies = [&dir](const char* log, const QStringList& switches) {
        QStringList paths;
        for (const QString& name : switches) {
            paths << dir.filePath(name + QStringLiteral(".log"));
            writeFile(paths.back(), readBytes(sourcePath(log)));
        }
        return paths;
    };
    WindowFixture w;
    QSignalSpy ended(&w.form, &MainWindow::runEnded);
    HealthPane* health = w.form.healthPane();
    const QTableWidget* kpis = health->kpiTable();
    const QStringList switches = {QStringLiteral("east"), QStringLiteral("north"), QStringLiteral("west")};
    const struct {
        QStringList files;
        bool several;
    } cases[] = {
        {copies("tests/golden/isup-m3ua-calls-470.log", switches), true},
        {copies("tests/golden/isup-m3ua-calls-470.log", {QStringLiteral("south")}), false},
    };
    for (const auto& c : cases) {
        w.form.openFiles(c.files);
        QVERIFY(ended.wait(20000));
        QTRY_VERIFY(kpis->rowCount() > 1);
        QCOMPARE(kpis->isColumnHidden(HealthPane::SwitchColumn), !c.several);
        QCOMPARE(health->circuitsTable()->isColumnHidden(CircuitListModel::SwitchColumn), !c.several);
        // A line of seizures per switch, and the ASR.
        QCOMPARE(health->chart()->chart()->series().size(), c.several ? switches.size() + 1 : 2);
        if (!c.several) continue;
        // One interval of each switch, at the same time: the row names its switch.
        QCOMPARE(kpis->rowCount(), 1 + switches.size());
        QStringList named;
        for (int row = 1; row < kpis->rowCount(); ++row) {
            QCOMPARE(cell(kpis, row, HealthPane::PeriodColumn), cell(kpis, 1, HealthPane::PeriodColumn));
            named << cell(kpis, row, HealthPane::SwitchColumn);
        }
        named.sort();
        QCOMPARE(named, switches);
        const QAbstractItemModel* circuits = health->circuitsTable()->model();
        for (int row = 0; row < circuits->rowCount(); ++row)
            QVERIFY(switches.contains(circuits->index(row, CircuitListModel::SwitchColumn).data().toString()));
    }

    // Findings on the circuits of two switches name theirs.
    w.form.openFiles(copies("tests/golden/unknown-codes.log", {QStringLiteral("east"), QStringLiteral("west")}));
    QVERIFY(ended.wait(20000));
    const QTableView* findings = health->findingsTable();
    QTRY_COMPARE(findings->model()->rowCount(), 6);
    QVERIFY(!findings->isColumnHidden(FindingListModel::SwitchColumn));
    QStringList named;
    for (int row = 0; row < findings->model()->rowCount(); ++row)
        named << findings->model()->index(row, FindingListModel::SwitchColumn).data().toString();
    QCOMPARE(named.count(QStringLiteral("east")), 3);
    QCOMPARE(named.count(QStringLiteral("west")), 3);
}

void HealthTest::circuitsThatNeedAttentionAreTheTools() {
    // A log cut while most of its circuits are busy: those that need attention are the ones the
    // analysis names, as --circuits counts them, in bold.
    QTemporaryDir dir;
    const std::string capture = readBytes(sourcePath("tests/golden/isup-m3ua-calls-470.log"));
    std::size_t cut = 0;
    for (int message = 0; message <= 300; ++message) cut = capture.find("\r\n\r\n", cut) + 4;
    const QString path = dir.filePath(QStringLiteral("cut.log"));
    writeFile(path, capture.substr(0, cut));
    const QString last = QString::fromUtf8(tool({QStringLiteral("--circuits"), path})).trimmed().section(QLatin1Char('\n'), -1);
    const int attention = last.section(QStringLiteral(", "), 1, 1).section(QLatin1Char(' '), 0, 0).toInt();
    QVERIFY2(last.contains(QStringLiteral(" circuits, ")), qPrintable(last));

    WindowFixture w;
    QVERIFY(w.openThroughMenu(path));
    const QTableView& circuits = *w.form.healthPane()->circuitsTable();
    QTRY_VERIFY(circuits.model()->rowCount() > 0);
    int bold = 0;
    for (int row = 0; row < circuits.model()->rowCount(); ++row) {
        const QVariant font = circuits.model()->index(row, truno::window::CircuitListModel::StateColumn).data(Qt::FontRole);
        bold += font.isValid() && font.value<QFont>().bold() ? 1 : 0;
    }
    QCOMPARE(bold, attention);
    const auto* lists = w.form.healthPane()->findChild<QTabWidget*>(QStringLiteral("healthLists"));
    QCOMPARE(lists->tabText(1), attention > 0 ? QStringLiteral("Circuits (%1, %2 need attention)").arg(circuits.model()->rowCount()).arg(attention)
                                              : QStringLiteral("Circuits (%1)").arg(circuits.model()->rowCount()));
}

QTEST_MAIN(HealthTest)
#include "HealthTest.moc"
