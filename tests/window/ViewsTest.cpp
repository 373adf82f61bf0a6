// The views beside the report, driven as a user would on real captures: the message list in
// step with the report, the filter (and the report filtered with it), the calls tab with its
// ladder diagram, the statistics, and the exports against the command-line tool's own.
#include "analysis/facts/MessageFacts.h"
#include "window/views/CallsView.h"
#include "window/report/FindBar.h"
#include "window/views/MessageFilterBar.h"
#include "window/views/MessageList.h"
#include "window/views/StatisticsView.h"
#include "WindowFixture.h"

#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QCheckBox>
#include <QValueAxis>
#include <QImage>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QCompleter>
#include <QLabel>
#include <QProcess>
#include <QTabWidget>
#include <QTableView>
#include <QTemporaryDir>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <set>
#include <sstream>
#include <string>
#include <vector>

using namespace window_tests;
using truno::window::LadderDiagram;

namespace {

const char* const kCapture = "tests/golden/isup-m3ua-calls-470.log";

// What an independent run of the log says of each message: its facts as the analysis layer
// builds them, and whether its fields hold a text.
struct Message {
    std::uint64_t record = 0;
    std::string type;
    std::string direction;
    bool hasCode = false;
    std::uint32_t code = 0;
    bool decoded = true;
    std::vector<std::string> texts;  // labels, printed values, parameter names and headings
};

std::vector<Message> messagesOf(const QString& path) {
    std::ifstream in(path.toStdString(), std::ios::binary);
    std::vector<Message> messages;
    truno::MessageFacts facts;
    truno::RunOptions options;
    options.records = [&](const truno::RecordFacts& record) {
        facts.build(record);
        Message m{.record = record.record,
                  .type = std::string(record.acronym),
                  .direction = std::string(record.directionText),
                  .hasCode = record.hasCallInstanceCode,
                  .code = record.callInstanceCode,
                  .decoded = record.decoded,
                  .texts = {}};
        for (const truno::BlockFact& block : facts.blocks()) {
            m.texts.emplace_back(block.name);
            m.texts.emplace_back(block.title);
        }
        for (const truno::FieldFact& field : facts.fields()) {
            m.texts.emplace_back(field.label());
            m.texts.emplace_back(field.printed);
        }
        messages.push_back(std::move(m));
    };
    truno::decodeLog(in, [](std::string_view) {}, options);
    return messages;
}

bool holds(const Message& m, const std::string& text) {
    const auto lower = [](std::string s) {
        for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        return s;
    };
    const std::string needle = lower(text);
    return std::any_of(m.texts.begin(), m.texts.end(),
                       [&](const std::string& t) { return lower(t).find(needle) != std::string::npos; });
}

// Runs the command-line tool; its standard output.
QByteArray tool(const QStringList& arguments) {
    QProcess process;
    process.start(QStringLiteral(TRUNO_DECODE), arguments);
    process.waitForFinished(60000);
    return process.readAllStandardOutput();
}

// The banner line ("RECORD N ...") of each record of a report, by record number (index 0 unused).
std::vector<std::size_t> bannerLines(const std::string& report) {
    std::vector<std::size_t> lines{0};
    std::size_t line = 0;
    for (std::size_t at = 0; at < report.size();) {
        const std::size_t end = report.find('\n', at);
        if (report.compare(at, 7, "RECORD ") == 0) lines.push_back(line);
        ++line;
        if (end == std::string::npos) break;
        at = end + 1;
    }
    return lines;
}

// The packets of a capture file (their bytes, in order), without the time stamps.
std::vector<std::string> packetsOf(const QString& path) {
    const std::string file = readBytes(path);
    std::vector<std::string> packets;
    for (std::size_t at = 24; at + 16 <= file.size();) {
        std::uint32_t length = 0;
        std::memcpy(&length, file.data() + at + 8, 4);
        packets.push_back(file.substr(at + 16, length));
        at += 16 + length;
    }
    return packets;
}

// The records the tool's summary lists with these options.
std::vector<std::uint64_t> toolRecords(QStringList options, const QString& log) {
    options << QStringLiteral("-q") << QStringLiteral("--summary") << log;
    std::vector<std::uint64_t> records;
    const QList<QByteArray> lines = tool(options).split('\n');
    for (qsizetype i = 1; i < lines.size(); ++i)
        if (!lines[i].trimmed().isEmpty()) records.push_back(lines[i].trimmed().split(' ').first().toULongLong());
    return records;
}

std::vector<std::uint64_t> listedRecords(MainWindow& form) {
    std::vector<std::uint64_t> records;
    const truno::window::MessageListModel* model = form.messageModel();
    for (int row = 0; row < model->rowCount(); ++row) records.push_back(model->messageAt(row) + 1);
    return records;
}

void waitForFilter(MainWindow& form) { QTRY_VERIFY_WITH_TIMEOUT(form.filterSettled(), 10000); }

}  // namespace

class ViewsTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void listAndReportStayInStep();
    void filterChoosesTheMessages_data();
    void filterChoosesTheMessages();
    void filteredReportIsTheMatchingRecords();
    void invalidFieldIsLeftOut();
    void boxesFilterAsTheToolsOptions_data();
    void boxesFilterAsTheToolsOptions();
    void ladderTitles_data();
    void ladderTitles();
    void expressionFiltersAsTheToolDoes_data();
    void expressionFiltersAsTheToolDoes();
    void badExpressionIsShownAndKeepsTheList();
    void callsTabAndLadderDiagram();
    void statisticsTab();
    void exportsEqualTheTools_data();
    void exportsEqualTheTools();
    void exportsOfSeveralFilesNameTheirFiles();
    void exportWritesShownOrAll_data();
    void exportWritesShownOrAll();
    void gzipLogOpens();
};

void ViewsTest::initTestCase() {
    QStandardPaths::setTestModeEnabled(true);
    QCoreApplication::setOrganizationName(QStringLiteral("truno-decoder-tests"));
    QSettings().clear();
}

void ViewsTest::listAndReportStayInStep() {
    const QString capture = sourcePath(kCapture);
    WindowFixture w;
    w.form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w.form));
    QVERIFY(w.openThroughMenu(capture));
    waitForFilter(w.form);
    const truno::window::MessageListModel* model = w.form.messageModel();
    QCOMPARE(model->rowCount(), 470);

    // Each row says what the summary says: record, time, direction, code, type and info.
    std::istringstream summary(tool({QStringLiteral("--summary"), capture}).toStdString());
    std::string heading;
    std::getline(summary, heading);
    const std::size_t infoAt = heading.find("INFO");
    int row = 0;
    for (std::string line; std::getline(summary, line); ++row) {
        std::istringstream fields(line);
        std::string record, time, direction, code, type;
        fields >> record >> time >> direction >> code >> type;
        const auto cell = [&](int column) { return model->index(row, column).data().toString().toStdString(); };
        QCOMPARE(cell(0), record);
        QCOMPARE(cell(1), time);
        QCOMPARE(cell(2), direction);
        QCOMPARE(cell(3), code);
        QCOMPARE(cell(4), type);
        QCOMPARE(cell(5), line.size() > infoAt ? line.substr(infoAt) : std::string());
    }
    QCOMPARE(row, 470);

    // A row chosen shows its record's banner; a record shown in the report chooses its row.
    const std::vector<std::size_t> banners = bannerLines(toolReport(capture));
    QTableView* list = w.form.messageList();
    for (const int chosen : {99, 0, 469}) {
        list->setCurrentIndex(model->index(chosen, 0));
        QCOMPARE(w.selectedLine(), banners[static_cast<std::size_t>(chosen) + 1]);
    }
    for (const std::uint64_t record : {321u, 7u}) {
        w.script.record = record;
        w.action("goToRecordAction")->trigger();
        QCOMPARE(list->currentIndex().row(), static_cast<int>(record) - 1);
    }
    w.form.reportView()->showLine(banners[200] + 5);  // inside record 200
    QCOMPARE(list->currentIndex().row(), 199);

    // Sorted by type (then by record), the list still leads to the right records.
    QSignalSpy sorted(model, &truno::window::MessageListModel::sortDone);
    list->sortByColumn(truno::window::MessageListModel::TypeColumn, Qt::AscendingOrder);
    QVERIFY(sorted.count() > 0 || sorted.wait(5000));
    QCOMPARE(model->rowCount(), 470);
    for (int r = 1; r < 470; ++r) {
        const QString before = model->index(r - 1, 4).data().toString();
        const QString here = model->index(r, 4).data().toString();
        QVERIFY(before < here || (before == here && model->messageAt(r - 1) < model->messageAt(r)));
    }
    list->setCurrentIndex(model->index(400, 0));
    QCOMPARE(w.form.records().recordAt(w.selectedLine()), model->messageAt(400) + 1);
    w.form.reportView()->showLine(banners[42]);
    QCOMPARE(model->messageAt(list->currentIndex().row()), std::size_t{41});

    // Sorted back by record, every row is its message again, found both ways.
    const int sorts = static_cast<int>(sorted.count());
    list->sortByColumn(truno::window::MessageListModel::RecordColumn, Qt::AscendingOrder);
    QVERIFY(sorted.count() > sorts || sorted.wait(5000));
    QCOMPARE(model->rowCount(), 470);
    for (int r = 0; r < 470; r += 13) {
        QCOMPARE(model->messageAt(r), static_cast<std::size_t>(r));
        QCOMPARE(model->rowOf(static_cast<std::size_t>(r)), std::optional<int>(r));
    }
    QCOMPARE(model->shown().size(), std::size_t{470});
    QCOMPARE(model->rowOf(470), std::nullopt);
}

void ViewsTest::filterChoosesTheMessages_data() {
    QTest::addColumn<QString>("types");
    QTest::addColumn<QString>("codes");
    QTest::addColumn<QString>("records");
    QTest::addColumn<QString>("text");
    QTest::newRow("type") << "IAM" << "" << "" << "";
    QTest::newRow("codes") << "" << "5-7,90" << "" << "";
    QTest::newRow("records") << "" << "" << "100-120" << "";
    QTest::newRow("calling number") << "" << "" << "" << "12345678";
    QTest::newRow("cause phrase, any case") << "" << "" << "" << "normal CALL clearing";
    QTest::newRow("label") << "" << "" << "" << "Screening indicator";
    QTest::newRow("type and number") << "REL,RLC" << "" << "" << "16";
    QTest::newRow("nothing") << "" << "" << "" << "no such words";
    QTest::newRow("the dots between a label and its value") << "" << "" << "" << "indicator....";
}

void ViewsTest::filterChoosesTheMessages() {
    QFETCH(QString, types);
    QFETCH(QString, codes);
    QFETCH(QString, records);
    QFETCH(QString, text);
    const QString capture = sourcePath(kCapture);
    static const std::vector<Message> messages = messagesOf(sourcePath(kCapture));
    std::vector<std::uint64_t> expected;
    const auto typeList = types.split(QLatin1Char(','), Qt::SkipEmptyParts);
    for (const Message& m : messages) {
        if (!typeList.isEmpty() && !typeList.contains(QString::fromStdString(m.type))) continue;
        if (!codes.isEmpty() && !(m.hasCode && ((m.code >= 5 && m.code <= 7) || m.code == 90))) continue;
        if (!records.isEmpty() && (m.record < 100 || m.record > 120)) continue;
        if (!text.isEmpty() && !holds(m, text.toStdString())) continue;
        expected.push_back(m.record);
    }

    WindowFixture w;
    QVERIFY(w.openThroughMenu(capture));
    truno::window::MessageFilterBar* bar = w.form.filterBar();
    bar->typesEdit()->setText(types);
    bar->codesEdit()->setText(codes);
    bar->recordsEdit()->setText(records);
    bar->textEdit()->setText(text);
    w.form.applyFilter();
    waitForFilter(w.form);
    QCOMPARE(listedRecords(w.form), expected);
    // The report stays whole.
    QVERIFY(w.report() == toolReport(capture));
}

// A field that does not read is left out: clearing the others shows more, not the old filter.
void ViewsTest::invalidFieldIsLeftOut() {
    WindowFixture w;
    QVERIFY(w.openThroughMenu(sourcePath(kCapture)));
    truno::window::MessageFilterBar* bar = w.form.filterBar();
    bar->typesEdit()->setText(QStringLiteral("IAM"));
    w.form.applyFilter();
    waitForFilter(w.form);
    const std::size_t iams = listedRecords(w.form).size();
    QVERIFY(iams > 0 && iams < 470);
    bar->codesEdit()->setText(QStringLiteral("7-x"));
    w.form.applyFilter();
    waitForFilter(w.form);
    QCOMPARE(listedRecords(w.form).size(), iams);
    QVERIFY(bar->findChild<QLabel*>(QStringLiteral("filterProblem"))->isVisibleTo(bar));
    bar->typesEdit()->clear();
    w.form.applyFilter();
    waitForFilter(w.form);
    QCOMPARE(listedRecords(w.form).size(), std::size_t{470});
}

void ViewsTest::boxesFilterAsTheToolsOptions_data() {
    QTest::addColumn<QString>("log");
    QTest::addColumn<QString>("types");
    QTest::addColumn<QString>("codes");
    QTest::addColumn<QString>("records");
    QTest::addColumn<bool>("notDecoded");
    QTest::addColumn<int>("call");  // the row chosen in the calls tab; -1: none
    QTest::addColumn<QStringList>("options");  // the tool's (the call's: --where 'call == N')
    const QString capture = QString::fromLatin1(kCapture);
    const QString unknown = QStringLiteral("tests/golden/unknown-codes.log");
    QTest::newRow("types") << capture << "IAM,rel" << "" << "" << false << -1 << QStringList{"--type=IAM,rel"};
    QTest::newRow("codes and records") << capture << "" << "5-7,90" << "100-300" << false << -1
                                       << QStringList{"--cic=5-7,90", "--records=100-300"};
    QTest::newRow("records from") << capture << "RLC" << "" << "400-" << false << -1
                                  << QStringList{"--type=RLC", "--records=400-"};
    QTest::newRow("records up to") << capture << "" << "" << "-30" << false << -1 << QStringList{"--records=-30"};
    QTest::newRow("not decoded") << unknown << "" << "" << "" << true << -1 << QStringList{"--not-decoded"};
    QTest::newRow("not decoded, no such type") << unknown << "IAM" << "" << "" << true << -1
                                               << QStringList{"--not-decoded", "--type=IAM"};
    QTest::newRow("a call") << capture << "" << "" << "" << false << 10 << QStringList{};
    QTest::newRow("a call's releases") << capture << "REL,RLC" << "" << "" << false << 40 << QStringList{"--type=REL,RLC"};
    QTest::newRow("every box") << capture << "IAM,ACM,ANM" << "1-50" << "-400" << false << 3
                               << QStringList{"--type=IAM,ACM,ANM", "--cic=1-50", "--records=-400"};
    QTest::newRow("a box that does not read is left out") << capture << "ANM" << "7-x" << "" << false << -1
                                                          << QStringList{"--type=ANM"};
}

// Each box is the tool's option of the same name, the call chosen `call == N`: the list shows
// the very records the tool keeps.
void ViewsTest::boxesFilterAsTheToolsOptions() {
    QFETCH(QString, log);
    QFETCH(QString, types);
    QFETCH(QString, codes);
    QFETCH(QString, records);
    QFETCH(bool, notDecoded);
    QFETCH(int, call);
    QFETCH(QStringList, options);
    const QString path = sourcePath(log.toLatin1().constData());
    WindowFixture w;
    QVERIFY(w.openThroughMenu(path));
    waitForFilter(w.form);
    truno::window::MessageFilterBar* bar = w.form.filterBar();
    if (call >= 0) {
        w.form.callsPane()->selectRow(call);
        QVERIFY(bar->call() != 0);
        options << QStringLiteral("--where=call == %1").arg(bar->call());
    }
    bar->typesEdit()->setText(types);
    bar->codesEdit()->setText(codes);
    bar->recordsEdit()->setText(records);
    bar->findChild<QCheckBox*>(QStringLiteral("filterNotDecoded"))->setChecked(notDecoded);
    w.form.applyFilter();
    waitForFilter(w.form);
    const std::vector<std::uint64_t> expected = toolRecords(options, path);
    QVERIFY(!expected.empty() || notDecoded);
    QCOMPARE(listedRecords(w.form), expected);
}

void ViewsTest::expressionFiltersAsTheToolDoes_data() {
    QTest::addColumn<QString>("expression");
    QTest::newRow("type and cause") << "type == REL and cause == 16 and cic in {3..9 40}";
    QTest::newRow("numbers") << "called matches \"^1234560[0-4]\" or calling contains \"99\"";
    QTest::newRow("time") << "time >= \"20:22:30\" and direction == R";
    QTest::newRow("presence and not") << "not cause_indicators and record in {1..60}";
    QTest::newRow("nothing") << "cause == 99";
    QTest::newRow("switch and call") << "switch == \"isup-m3ua-calls-470\" and call in {1..60}";
}

// The list shows the very records the tool's --where keeps.
void ViewsTest::expressionFiltersAsTheToolDoes() {
    QFETCH(QString, expression);
    const QString capture = sourcePath(kCapture);
    const std::vector<std::uint64_t> expected = toolRecords({QStringLiteral("--where"), expression}, capture);

    WindowFixture w;
    QVERIFY(w.openThroughMenu(capture));
    truno::window::MessageFilterBar* bar = w.form.filterBar();
    bar->expressionEdit()->setText(expression);
    w.form.applyFilter();
    waitForFilter(w.form);
    QCOMPARE(listedRecords(w.form), expected);
    QVERIFY(bar->expressionEdit()->styleSheet().contains(QStringLiteral("#d8f5d0")));
    QCOMPARE(bar->recentExpressions().value(0), expression);
}

// A bad expression turns the field red with the error and its caret; the list keeps the last
// good filter, and the keys are offered as they are typed.
void ViewsTest::badExpressionIsShownAndKeepsTheList() {
    const QString capture = sourcePath(kCapture);
    WindowFixture w;
    QVERIFY(w.openThroughMenu(capture));
    truno::window::MessageFilterBar* bar = w.form.filterBar();
    bar->expressionEdit()->setText(QStringLiteral("type == ANM"));
    w.form.applyFilter();
    waitForFilter(w.form);
    const std::vector<std::uint64_t> anm = listedRecords(w.form);
    QCOMPARE(anm.size(), std::size_t{94});
    bar->expressionEdit()->setText(QStringLiteral("type == ANM and caus == 16"));
    w.form.applyFilter();
    waitForFilter(w.form);
    QCOMPARE(listedRecords(w.form), anm);
    QVERIFY(bar->expressionEdit()->styleSheet().contains(QStringLiteral("#f8d0d0")));
    auto* problem = bar->findChild<QLabel*>(QStringLiteral("filterProblem"));
    QVERIFY(problem != nullptr);
    QVERIFY(problem->text().contains(QStringLiteral("unknown field \"caus\" (did you mean \"cause\"?)")));
    QVERIFY(problem->text().endsWith(QStringLiteral("\n") + QString(2 + 16, QLatin1Char(' ')) + QLatin1Char('^')));
    // The status bar says which expression the list still shows, until one reads again.
    const auto shownText = [&w] { return w.form.findChild<QLabel*>(QStringLiteral("shownText"))->text(); };
    QCOMPARE(shownText(), QStringLiteral("94 of 470 messages shown, still by the previous expression (type == ANM): the "
                                         "one typed does not read"));
    bar->expressionEdit()->setText(QStringLiteral("type == ANM and cause == 16"));
    w.form.applyFilter();
    waitForFilter(w.form);
    QCOMPARE(shownText(), QStringLiteral("0 of 470 messages shown"));

    // Completion: the key under the cursor.
    bar->expressionEdit()->clear();
    QTest::keyClicks(bar->expressionEdit(), QStringLiteral("type == REL and cause_ind"));
    QCOMPARE(bar->keyCompleter()->completionPrefix(), QStringLiteral("cause_ind"));
    QVERIFY(bar->keyCompleter()->completionCount() > 1);
    QVERIFY(bar->keyCompleter()->currentCompletion().startsWith(QStringLiteral("cause_indicators")));
    // Saved expressions are kept in the settings.
    bar->expressionEdit()->setText(QStringLiteral("type == REL"));
    bar->saveExpression();
    QCOMPARE(bar->savedExpressions().value(0), QStringLiteral("type == REL"));
}

void ViewsTest::filteredReportIsTheMatchingRecords() {
    const QString capture = sourcePath(kCapture);
    QTemporaryDir dir;
    WindowFixture w;
    QVERIFY(w.openThroughMenu(capture));
    truno::window::MessageFilterBar* bar = w.form.filterBar();
    bar->typesEdit()->setText(QStringLiteral("REL"));
    bar->codesEdit()->setText(QStringLiteral("10-30"));
    bar->reportTooBox()->setChecked(true);
    waitForFilter(w.form);
    QVERIFY(w.form.reportFiltered());
    const QByteArray matching = tool({QStringLiteral("--type=REL"), QStringLiteral("--cic=10-30"), QStringLiteral("--crlf"), capture});
    QVERIFY(!matching.isEmpty());
    QVERIFY(w.report() == matching.toStdString());

    // Save As writes the matching records, byte for byte.
    w.script.fileToSave = dir.filePath(QStringLiteral("matching.txt"));
    QSignalSpy ended(&w.form, &MainWindow::taskEnded);
    w.action("saveAsAction")->trigger();
    QVERIFY(ended.count() > 0 || ended.wait(10000));
    QVERIFY(readBytes(w.script.fileToSave) == matching.toStdString());

    // Records move in step with the filtered report; a record it leaves out is not shown.
    QCOMPARE(w.form.records().recordCount(), static_cast<std::uint64_t>(matching.count("\r\nRECORD ")));
    const std::vector<std::uint64_t> listed = listedRecords(w.form);
    w.form.messageList()->setCurrentIndex(w.form.messageModel()->index(3, 0));
    QCOMPARE(w.form.records().recordAt(w.selectedLine()), listed[3]);
    QVERIFY(w.form.reportView()->selectedText().startsWith(QStringLiteral("RECORD %1 ").arg(listed[3])));
    // Go to Record with a record the filter leaves out: the next matching one, and the filter named.
    const std::uint64_t missing = listed[3] + 1 == listed[4] ? 0 : listed[3] + 1;
    if (missing != 0) {
        w.script.record = missing;
        w.action("goToRecordAction")->trigger();
        QVERIFY2(w.message().contains(QStringLiteral("does not match the message filter")), qPrintable(w.message()));
        QCOMPARE(w.form.records().recordAt(w.selectedLine()), listed[4]);
        w.form.messageList()->setCurrentIndex(w.form.messageModel()->index(3, 0));
    }
    // Find goes through the filtered report.
    truno::window::FindBar* find = w.form.findBar();
    find->open();
    find->findChild<QLineEdit*>()->setText(QStringLiteral("Cause Value"));
    QSignalSpy found(find, &truno::window::FindBar::searchEnded);
    find->findNext();
    QVERIFY(found.count() > 0 || found.wait(5000));
    QCOMPARE(found.takeFirst().at(0).toBool(), true);
    QCOMPARE(w.form.reportView()->selectedText(), QStringLiteral("Cause Value"));
    QCOMPARE(w.form.records().recordAt(w.selectedLine()), listed[3]);

    // Off again: the whole report.
    bar->reportTooBox()->setChecked(false);
    waitForFilter(w.form);
    QVERIFY(!w.form.reportFiltered());
    QVERIFY(w.report() == toolReport(capture));
}

void ViewsTest::callsTabAndLadderDiagram() {
    const QString capture = sourcePath(kCapture);
    WindowFixture w;
    w.form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w.form));
    QVERIFY(w.openThroughMenu(capture));
    truno::window::CallsPane* calls = w.form.callsPane();
    const truno::window::CallListModel* model = calls->model();
    QCOMPARE(model->rowCount(), 94);
    std::set<std::uint32_t> codes;
    int five = -1;
    for (int row = 0; row < 94; ++row) {
        codes.insert(model->call(row)->callInstanceCode);
        if (model->call(row)->callInstanceCode == 5) five = row;
    }
    // One call per code, on the codes the command-line tool's calls have.
    std::set<std::uint32_t> toolCodes;
    std::istringstream toolCalls(tool({QStringLiteral("--calls"), QStringLiteral("--format=csv"), capture}).toStdString());
    std::string line;
    std::getline(toolCalls, line);
    while (std::getline(toolCalls, line)) toolCodes.insert(static_cast<std::uint32_t>(std::stoul(line)));
    QCOMPARE(codes, toolCodes);

    // The call on code 5: its messages in the list and as arrows, each in its direction.
    QVERIFY(w.form.showTab(QStringLiteral("calls")));
    calls->table()->sortByColumn(truno::window::CallListModel::CodeColumn, Qt::AscendingOrder);
    calls->selectRow(4);
    QCOMPARE(model->call(five)->callInstanceCode, 5u);
    std::vector<Message> expected;
    for (const Message& m : messagesOf(capture))
        if (m.hasCode && m.code == 5) expected.push_back(m);
    QVERIFY(expected.size() >= 4);
    const std::vector<LadderDiagram::Arrow>& arrows = calls->ladder()->arrows();
    QCOMPARE(arrows.size(), expected.size());
    for (std::size_t k = 0; k < arrows.size(); ++k) {
        QCOMPARE(arrows[k].record, expected[k].record);
        QCOMPARE(arrows[k].sent, expected[k].direction == "S");
        QVERIFY(arrows[k].label.startsWith(QString::fromStdString(expected[k].type)));
    }
    waitForFilter(w.form);
    std::vector<std::uint64_t> records;
    records.reserve(expected.size());
    for (const Message& m : expected) records.push_back(m.record);
    QCOMPARE(listedRecords(w.form), records);

    // Clicking an arrow chooses its record in the list and in the report.
    LadderDiagram* ladder = calls->ladder();
    QTest::mouseClick(ladder, Qt::LeftButton, Qt::NoModifier, ladder->arrowPoint(2));
    QCOMPARE(w.form.messageList()->currentIndex().row(), 2);
    QCOMPARE(ladder->currentArrow(), std::size_t{2});  // the band follows the click
    QCOMPARE(w.form.records().recordAt(w.selectedLine()), expected[2].record);
    // And from the keyboard: from the arrow clicked, Down to the fourth arrow, Return.
    ladder->setFocus();
    QTest::keyClick(ladder, Qt::Key_Down);
    QTest::keyClick(ladder, Qt::Key_Return);
    QCOMPARE(w.form.records().recordAt(w.selectedLine()), expected[3].record);

    // The diagram as SVG and as PNG.
    QTemporaryDir dir;
    for (const char* name : {"call.svg", "call.png"}) {
        w.script.fileToSave = dir.filePath(QString::fromLatin1(name));
        w.action("saveDiagramAction")->trigger();
        QVERIFY(QFileInfo::exists(w.script.fileToSave));
    }
    QVERIFY(readBytes(dir.filePath(QStringLiteral("call.svg"))).find("<svg") != std::string::npos);
    const QImage picture(dir.filePath(QStringLiteral("call.png")));
    QCOMPARE(picture.size(), ladder->sizeHint() * 2);
}

void ViewsTest::ladderTitles_data() {
    QTest::addColumn<QString>("calling");
    QTest::addColumn<QString>("called");
    QTest::addColumn<QString>("title");
    QTest::newRow("both numbers") << "123" << "456" << "Call on CIC 12: 123 to 456, answered";
    QTest::newRow("no numbers") << "" << "" << "Call on CIC 12, answered";
    QTest::newRow("called only") << "" << "456" << "Call on CIC 12: to 456, answered";
    QTest::newRow("calling only") << "123" << "" << "Call on CIC 12: from 123, answered";
}

void ViewsTest::ladderTitles() {
    QFETCH(QString, calling);
    QFETCH(QString, called);
    QFETCH(QString, title);
    QCOMPARE(LadderDiagram::titleOf(12, calling, called, QStringLiteral("answered")), title);
}

void ViewsTest::statisticsTab() {
    const QString capture = sourcePath(kCapture);
    WindowFixture w;
    QVERIFY(w.openThroughMenu(capture));
    // The text of --stats, and charts with a bar per type, a slice per outcome.
    const QString stats = QString::fromUtf8(tool({QStringLiteral("--stats"), capture}));
    QTRY_COMPARE(w.form.statisticsPane()->text(), stats);
    QCOMPARE(w.form.statistics().calls(), std::uint64_t{94});
    const truno::window::RateSeries rates = truno::window::messageRates(w.form.log().perSecond, 1000);
    double total = 0;
    for (const double rate : rates.rates) total += rate * static_cast<double>(rates.stepSeconds);
    QCOMPARE(total, 470.0);
    // Count axes in round steps; the cause bars say the cause's phrase.
    for (QChartView* view : {w.form.statisticsPane()->typesChart(), w.form.statisticsPane()->causesChart(),
                             w.form.statisticsPane()->rateChart()}) {
        const auto* axis = qobject_cast<QValueAxis*>(view->chart()->axes(Qt::Vertical).constFirst());
        QVERIFY(axis != nullptr && axis->tickCount() > 1);
        const double step = (axis->max() - axis->min()) / (axis->tickCount() - 1);
        const double scale = std::pow(10.0, std::floor(std::log10(step)));
        const double mantissa = step / scale;
        QVERIFY2(std::abs(mantissa - 1) < 1e-9 || std::abs(mantissa - 2) < 1e-9 || std::abs(mantissa - 2.5) < 1e-9 ||
                     std::abs(mantissa - 5) < 1e-9,
                 qPrintable(QString::number(step)));
    }
    // A cause's bar, hovered, shows the cause's phrase.
    QChartView* causes = w.form.statisticsPane()->causesChart();
    auto* bars = qobject_cast<QBarSeries*>(causes->chart()->series().constFirst());
    QVERIFY(bars != nullptr);
    emit bars->hovered(true, 0, bars->barSets().constFirst());
    QCOMPARE(causes->toolTip(), QStringLiteral("Normal call clearing."));
    emit bars->hovered(false, 0, bars->barSets().constFirst());
    QVERIFY(causes->toolTip().isEmpty());
    QCOMPARE(w.form.findChild<QLabel*>(QStringLiteral("countsText"))->text(),
             QStringLiteral("Found 470 · Decoded 470 · Not decoded 0 · Calls 94"));
}

void ViewsTest::exportsEqualTheTools_data() {
    QTest::addColumn<QString>("log");
    QTest::addColumn<QString>("action");
    QTest::addColumn<QStringList>("arguments");
    for (const char* log : {kCapture, "tests/golden/unknown-codes.log"}) {
        const QString name = QFileInfo(QString::fromLatin1(log)).baseName();
        QTest::addRow("%s summary", qPrintable(name)) << log << "exportSummaryAction"
                                                      << QStringList{"--summary", "--format=csv"};
        QTest::addRow("%s calls", qPrintable(name)) << log << "exportCallsAction" << QStringList{"--calls", "--format=csv"};
        QTest::addRow("%s json", qPrintable(name)) << log << "exportJsonAction" << QStringList{"--format=json"};
        QTest::addRow("%s pcap", qPrintable(name)) << log << "exportPcapAction" << QStringList{"--summary"};
    }
}

void ViewsTest::exportsEqualTheTools() {
    QFETCH(QString, log);
    QFETCH(QString, action);
    QFETCH(QStringList, arguments);
    const QString path = sourcePath(log.toLatin1().constData());
    QTemporaryDir dir;
    const QString toolPcap = dir.filePath(QStringLiteral("tool.pcap"));
    const bool pcap = action == QLatin1String("exportPcapAction");
    if (pcap) arguments << QStringLiteral("--pcap=%1").arg(toolPcap);
    const QByteArray expected = tool(arguments << path);

    WindowFixture w;
    QVERIFY(w.openThroughMenu(path));
    w.script.fileToSave = dir.filePath(QStringLiteral("export"));
    QSignalSpy ended(&w.form, &MainWindow::taskEnded);
    w.action(action.toLatin1().constData())->trigger();
    QVERIFY(ended.count() > 0 || ended.wait(20000));
    QVERIFY2(w.script.errors.isEmpty(), qPrintable(w.script.errors.join(QLatin1Char('\n'))));
    if (pcap) {
        const std::vector<std::string> packets = packetsOf(w.script.fileToSave);
        QVERIFY(!packets.empty());
        QCOMPARE(packets.size(), packetsOf(toolPcap).size());
        QVERIFY(packets == packetsOf(toolPcap));
    } else {
        QVERIFY(!expected.isEmpty());
        QVERIFY(readBytes(w.script.fileToSave) == expected.toStdString());
    }
}

// A log read from two files (rotated in the middle of a call): the JSON and CSV exports name each
// message's file, as the tool's --merge does for the same files.
void ViewsTest::exportsOfSeveralFilesNameTheirFiles() {
    QTemporaryDir dir;
    const QString older = dir.filePath(QStringLiteral("calls.log.1"));
    const QString newer = dir.filePath(QStringLiteral("calls.log"));
    writeRotated(sourcePath(kCapture), 201, older, newer);

    WindowFixture w;
    QSignalSpy ran(&w.form, &MainWindow::runEnded);
    w.form.openFiles({older, newer});
    QVERIFY(ran.wait(20000));
    const std::pair<const char*, QStringList> exports[] = {{"exportJsonAction", {"--format=json"}},
                                                           {"exportSummaryAction", {"--summary", "--format=csv"}}};
    for (const auto& [action, arguments] : exports) {
        const QByteArray expected = tool(QStringList(arguments) << QStringLiteral("--merge") << older << newer);
        QVERIFY(expected.contains(older.toUtf8()) && expected.contains(newer.toUtf8()));
        w.script.fileToSave = dir.filePath(QStringLiteral("export"));
        QSignalSpy ended(&w.form, &MainWindow::taskEnded);
        w.action(action)->trigger();
        QVERIFY(ended.count() > 0 || ended.wait(20000));
        QVERIFY2(readBytes(w.script.fileToSave) == expected.toStdString(), action);
    }
}

void ViewsTest::exportWritesShownOrAll_data() {
    QTest::addColumn<QString>("action");
    QTest::addColumn<bool>("shownOnly");
    QTest::addColumn<QStringList>("arguments");
    QTest::newRow("json, shown") << "exportJsonAction" << true << QStringList{"--format=json", "--type=REL"};
    QTest::newRow("json, all") << "exportJsonAction" << false << QStringList{"--format=json"};
    QTest::newRow("summary, shown") << "exportSummaryAction" << true << QStringList{"--summary", "--format=csv", "--type=REL"};
    QTest::newRow("calls, shown") << "exportCallsAction" << true << QStringList{"--calls", "--format=csv", "--type=REL"};
}

// While the list is filtered, an export asks whether to write the shown messages or all; the
// status bar and the statistics say what they count.
void ViewsTest::exportWritesShownOrAll() {
    QFETCH(QString, action);
    QFETCH(bool, shownOnly);
    QFETCH(QStringList, arguments);
    const QString capture = sourcePath(kCapture);
    const QByteArray expected = tool(arguments << capture);
    QVERIFY(!expected.isEmpty());
    QTemporaryDir dir;
    WindowFixture w;
    QVERIFY(w.openThroughMenu(capture));
    waitForFilter(w.form);
    QCOMPARE(w.form.findChild<QLabel*>(QStringLiteral("shownText"))->text(), QStringLiteral("470 of 470 messages shown"));
    w.form.filterBar()->typesEdit()->setText(QStringLiteral("REL"));
    w.form.applyFilter();
    waitForFilter(w.form);
    const auto rels = static_cast<qulonglong>(w.form.messageModel()->rowCount());
    QCOMPARE(w.form.findChild<QLabel*>(QStringLiteral("shownText"))->text(),
             QStringLiteral("%1 of 470 messages shown").arg(rels));
    QVERIFY(w.form.statisticsPane()->scope().contains(QStringLiteral("does not apply")));

    w.script.fileToSave = dir.filePath(QStringLiteral("export"));
    w.script.shownOnly = shownOnly;
    QSignalSpy ended(&w.form, &MainWindow::taskEnded);
    w.action(action.toLatin1().constData())->trigger();
    QVERIFY(ended.count() > 0 || ended.wait(20000));
    QCOMPARE(w.script.shownOnlyAsked, 1);
    QVERIFY(readBytes(w.script.fileToSave) == expected.toStdString());
}

void ViewsTest::gzipLogOpens() {
    const QString capture = sourcePath(kCapture);
    QTemporaryDir dir;
    const QString packed = dir.filePath(QStringLiteral("capture.log.gz"));
    QProcess gzip;
    gzip.setStandardOutputFile(packed);
    gzip.start(QStringLiteral("gzip"), {QStringLiteral("-c"), capture});
    QVERIFY(gzip.waitForFinished(10000) && gzip.exitCode() == 0);
    WindowFixture w;
    QVERIFY(w.openThroughMenu(packed));
    QVERIFY(w.script.errors.isEmpty());
    QVERIFY(w.report() == toolReport(capture));
    waitForFilter(w.form);
    QCOMPARE(w.form.messageModel()->rowCount(), 470);
}

QTEST_MAIN(ViewsTest)
#include "ViewsTest.moc"
