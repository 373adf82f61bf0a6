// The report store and the report view: lines found through the sparse index and across chunk
// boundaries, memory held, selection and copy in the view, the search through a document cut
// into chunks and slices, and the record index read from the report's lines.
#include "window/log/RecordIndex.h"
#include "window/log/ReportDocument.h"
#include "window/report/ReportView.h"
#include "window/report/TextSearch.h"

#include <QApplication>
#include <QClipboard>
#include <QMouseEvent>
#include <QScrollBar>
#include <QtTest>

#include <malloc.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

using truno::window::RecordIndex;
using truno::window::ReportDocument;
using truno::window::ReportSearch;
using truno::window::ReportView;
using truno::window::TextMatcher;

namespace {

// The lines of `text` split at LF, each without its CR LF or LF: what the view must show.
std::vector<std::string> naiveLines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (;;) {
        const std::size_t lf = text.find('\n', start);
        std::string line = text.substr(start, lf == std::string::npos ? std::string::npos : lf - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
        if (lf == std::string::npos) return lines;
        start = lf + 1;
    }
}

// A report-like text: banner lines, dotted label lines, empty lines, some long, CR LF ends.
std::string reportLike(int records) {
    std::string text;
    for (int r = 1; r <= records; ++r) {
        text += std::string(83, '#') + "\r\n";
        text += "RECORD " + std::to_string(r) + "     TIME=13:09:59.86, DIR=S     INITIAL ADDRESS (IAM)\r\n";
        text += "MESSAGE.....................................=1, INITIAL ADDRESS MESSAGE (IAM)\r\n";
        for (int k = 0; k < r % 5; ++k) text += "     Field " + std::to_string(k) + "........=" + std::string(static_cast<std::size_t>(k * 37), 'x') + "\r\n";
        text += "\r\n";
    }
    return text;
}

// Everything a document says of its text agrees with `all`: its bytes and lines, the offsets and
// lines one into the other, its chunks, the rows of a printout and the walk through its lines.
void checkDocument(const ReportDocument& document, const std::string& all) {
    const std::vector<std::string> expected = naiveLines(all);
    QCOMPARE(document.text(), all);
    QCOMPARE(document.size(), all.size());
    QCOMPARE(document.lineCount(), expected.size());
    std::size_t longest = 0;
    for (std::size_t n = 0; n < expected.size(); ++n) {
        QCOMPARE(std::string(document.line(n)), expected[n]);
        longest = std::max(longest, expected[n].size());
    }
    QCOMPARE(document.longestLine(), longest);
    QVERIFY(document.line(expected.size()).empty());  // past the end
    std::size_t chunkStart = 0;
    for (std::size_t c = 0; c < document.chunkCount(); ++c) {
        QCOMPARE(document.chunkStart(c), chunkStart);
        chunkStart += document.chunk(c).size();
    }

    // Offsets and lines, one into the other, and the rows of a printout.
    std::size_t start = 0;
    for (std::size_t n = 0; n < expected.size(); ++n) {
        QCOMPARE(document.lineStart(n), start);
        const std::size_t end = n + 1 < expected.size() ? all.find('\n', start) + 1 : all.size();
        for (const std::size_t at : {start, (start + end) / 2, end > start ? end - 1 : start})
            QCOMPARE(document.lineAt(at), std::make_pair(n, start));
        start = end;
    }
    QCOMPARE(document.lineAt(all.size()).first, expected.size() - 1);
    for (const std::size_t columns : {std::size_t{1}, std::size_t{7}, std::size_t{80}}) {
        std::uint64_t rows = 0;
        for (const std::string& line : expected) rows += line.empty() ? 1 : (line.size() + columns - 1) / columns;
        QCOMPARE(document.rowsWrappedAt(columns), rows);
    }

    // Walking from any start gives the same lines in order, and stops at the last line.
    for (std::size_t first = 0; first < expected.size(); first += 7) {
        std::vector<std::string> walked;
        document.forLines(first, 40, [&](std::size_t n, std::string_view line) {
            QCOMPARE(n, first + walked.size());
            walked.emplace_back(line);
        });
        const std::size_t count = std::min<std::size_t>(40, expected.size() - first);
        QCOMPARE(walked.size(), count);
        for (std::size_t k = 0; k < count; ++k) QCOMPARE(walked[k], expected[first + k]);
    }
}

std::unique_ptr<ReportDocument> documentOf(const std::string& text, std::size_t chunkBytes = std::size_t{4} << 20) {
    auto document = std::make_unique<ReportDocument>(chunkBytes);
    document->append(text);
    return document;
}

QString withLf(const std::string& text) {
    QString s = QString::fromStdString(text);
    s.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return s;
}

void sendMouse(QWidget* target, QEvent::Type type, QPoint at, Qt::MouseButtons buttons,
               Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(type, QPointF(at), target->mapToGlobal(QPointF(at)), button, buttons, modifiers);
    QApplication::sendEvent(target, &event);
}

}  // namespace

class ReportViewTest : public QObject {
    Q_OBJECT

private slots:
    void documentLinesMatchText_data();
    void documentLinesMatchText();
    void documentMemoryStaysNearTextSize_data();
    void documentMemoryStaysNearTextSize();
    void selectAllCopiesTheWholeReport_data();
    void selectAllCopiesTheWholeReport();
    void mouseDragSelects_data();
    void mouseDragSelects();
    void doubleClickSelectsWord();
    void keysScroll();
    void replacingTheDocumentGivesTheOldOneBack();
    void searchFindsWhatAScanFinds_data();
    void searchFindsWhatAScanFinds();
    void recordIndexFollowsTheBanners();
};

void ReportViewTest::documentLinesMatchText_data() {
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<int>("chunkBytes");
    QTest::addColumn<int>("pieceBytes");
    QTest::addColumn<bool>("moved");

    const std::string report = reportLike(60);  // several hundred lines: many index marks
    const std::string longLine = std::string(5000, 'L') + "\r\nshort\r\n" + std::string(3000, 'M');
    const std::string dash = "Cause value........=41, temporary failure \xE2\x80\x93 spare\r\nnext\r\n";
    struct Case {
        const char* name;
        std::string text;
        int chunkBytes;
        int pieceBytes;
    };
    const Case cases[] = {
        {"empty", "", 16, 1},
        {"one line without line end", "abc", 16, 1},
        {"only line ends", "\r\n\r\n\r\n", 1, 1},
        {"CR LF split between pieces", "ab\r\ncd\r\nef", 64, 3},
        {"lone LF line ends", "a\nb\n\nc", 2, 1},
        {"report, one chunk", report, 1 << 22, 1 << 16},
        {"report, small chunks, one-byte pieces", report, 100, 1},
        {"report, chunk smaller than a line", report, 7, 13},
        {"report, chunks of 4 KiB, odd pieces", report, 4096, 977},
        {"lines longer than a chunk", longLine, 512, 700},
        {"UTF-8 en dash", dash, 8, 5},
        {"report, blocks of a chunk and more", report, 4096, 5000},
        {"report, blocks of a quarter chunk", report, 4096, 1024},
        {"report, blocks larger than the report", report, 4096, 1 << 22},
    };
    for (const Case& c : cases) {
        for (const bool moved : {false, true})
            QTest::addRow("%s%s", c.name, moved ? ", moved blocks" : "")
                << QByteArray::fromStdString(c.text) << c.chunkBytes << c.pieceBytes << moved;
    }
}

void ReportViewTest::documentLinesMatchText() {
    QFETCH(QByteArray, text);
    QFETCH(int, chunkBytes);
    QFETCH(int, pieceBytes);
    QFETCH(bool, moved);
    const std::string all = text.toStdString();
    ReportDocument document(static_cast<std::size_t>(chunkBytes));
    for (std::size_t at = 0; at < all.size(); at += static_cast<std::size_t>(pieceBytes)) {
        const std::string_view piece = std::string_view(all).substr(at, static_cast<std::size_t>(pieceBytes));
        if (moved)
            document.append(std::string(piece));  // large blocks are kept as chunks of their own
        else
            document.append(piece);
    }

    checkDocument(document, all);
    if (QTest::currentTestFailed()) return;

    // A followed log lets the oldest lines go, at any byte of a line, and text comes on after
    // them: the document reads as the text from the first line kept on.
    std::string held = all;
    std::size_t origin = 0;
    for (const bool more : {false, true, false}) {
        if (more) {
            document.append(std::string_view(all));
            held += all;
        }
        const std::size_t cut = std::min(held.size(), held.size() / 3 + 1);
        // The line that holds byte `cut` starts after the last line break before it.
        const std::size_t lf = cut == 0 ? std::string::npos : held.rfind('\n', cut - 1);
        const std::size_t keepFrom = lf == std::string::npos ? 0 : lf + 1;
        const auto lines = static_cast<std::size_t>(std::count(held.begin(), held.begin() + static_cast<std::ptrdiff_t>(keepFrom), '\n'));
        QCOMPARE(document.dropBefore(cut), lines);
        held.erase(0, keepFrom);
        origin += keepFrom;
        QCOMPARE(document.origin(), origin);
        checkDocument(document, held);
        if (QTest::currentTestFailed()) return;
    }
}

void ReportViewTest::documentMemoryStaysNearTextSize_data() {
    QTest::addColumn<bool>("moved");
    QTest::newRow("pieces copied in") << false;
    QTest::newRow("blocks handed over") << true;
}

void ReportViewTest::documentMemoryStaysNearTextSize() {
#if defined(__SANITIZE_ADDRESS__)
    QSKIP("the allocator's figures are not the program's under AddressSanitizer");
#else
    QFETCH(bool, moved);
    const std::string piece = reportLike(300);
    const std::size_t pieces = (48u << 20) / piece.size();
    const std::size_t before = mallinfo2().uordblks + mallinfo2().hblkhd;
    {
        ReportDocument document;
        std::string block;  // blocks of about 4 MiB, as a run hands them over
        for (std::size_t k = 0; k < pieces; ++k) {
            if (!moved) {
                document.append(std::string_view(piece));
                continue;
            }
            block += piece;
            if (block.size() >= (4u << 20) || k + 1 == pieces) {
                document.append(std::move(block));
                block = std::string();
            }
        }
        const std::size_t held = mallinfo2().uordblks + mallinfo2().hblkhd - before;
        const double size = static_cast<double>(document.size());
        QVERIFY2(static_cast<double>(held) < 1.15 * size,
                 qPrintable(QStringLiteral("%1 bytes held for a %2-byte report").arg(held).arg(document.size())));
        QVERIFY(static_cast<double>(document.memoryUse()) < 1.15 * size);
        QCOMPARE(document.lineCount(), pieces * naiveLines(piece).size() - (pieces - 1));
    }
#endif
}

void ReportViewTest::selectAllCopiesTheWholeReport_data() {
    QTest::addColumn<QByteArray>("text");
    QTest::newRow("report") << QByteArray::fromStdString(reportLike(12));
    QTest::newRow("no line end at the end") << QByteArray("first\r\nsecond");
    QTest::newRow("en dash") << QByteArray("a \xE2\x80\x93 b\r\n");
}

void ReportViewTest::selectAllCopiesTheWholeReport() {
    QFETCH(QByteArray, text);
    ReportView view;
    view.resize(500, 300);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    view.setDocument(documentOf(text.toStdString()));
    QApplication::clipboard()->clear();
    QTest::keyClick(&view, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(&view, Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QApplication::clipboard()->text(), withLf(text.toStdString()));
}

void ReportViewTest::mouseDragSelects_data() {
    QTest::addColumn<int>("fromLine");
    QTest::addColumn<int>("fromColumn");
    QTest::addColumn<int>("toLine");
    QTest::addColumn<int>("toColumn");
    QTest::addColumn<QString>("expected");
    // Lines: 0 "alpha beta", 1 "gamma", 2 "", 3 "delta epsilon"
    QTest::newRow("within a line") << 0 << 2 << 0 << 8 << QStringLiteral("pha be");
    QTest::newRow("backwards") << 0 << 8 << 0 << 2 << QStringLiteral("pha be");
    QTest::newRow("over lines") << 0 << 6 << 3 << 5 << QStringLiteral("beta\ngamma\n\ndelta");
    QTest::newRow("backwards over lines") << 3 << 5 << 1 << 2 << QStringLiteral("mma\n\ndelta");
    QTest::newRow("past the line end") << 1 << 3 << 1 << 40 << QStringLiteral("ma");
    QTest::newRow("from an empty line") << 2 << 0 << 3 << 13 << QStringLiteral("\ndelta epsilon");
}

void ReportViewTest::mouseDragSelects() {
    QFETCH(int, fromLine);
    QFETCH(int, fromColumn);
    QFETCH(int, toLine);
    QFETCH(int, toColumn);
    QFETCH(QString, expected);
    ReportView view;
    view.resize(600, 300);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    view.setDocument(documentOf("alpha beta\r\ngamma\r\n\r\ndelta epsilon\r\n"));
    QWidget* port = view.viewport();
    const QPoint from = view.pointOf({static_cast<std::size_t>(fromLine), fromColumn});
    const QPoint to = view.pointOf({static_cast<std::size_t>(toLine), toColumn});
    sendMouse(port, QEvent::MouseButtonPress, from, Qt::LeftButton);
    sendMouse(port, QEvent::MouseMove, (from + to) / 2, Qt::LeftButton);
    sendMouse(port, QEvent::MouseMove, to, Qt::LeftButton);
    sendMouse(port, QEvent::MouseButtonRelease, to, Qt::NoButton);
    QCOMPARE(view.selectedText(), expected);

    QApplication::clipboard()->clear();
    QTest::keyClick(&view, Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QApplication::clipboard()->text(), expected);

    // Shift+click moves the end of the selection and keeps where the drag began.
    const QPoint start = view.pointOf({0, 0});
    sendMouse(port, QEvent::MouseButtonPress, start, Qt::LeftButton, Qt::ShiftModifier);
    sendMouse(port, QEvent::MouseButtonRelease, start, Qt::NoButton, Qt::ShiftModifier);
    const QString text = QStringLiteral("alpha beta\ngamma\n\ndelta epsilon\n");
    qsizetype offset = 0;
    for (int line = 0; line < fromLine; ++line) offset = text.indexOf(QLatin1Char('\n'), offset) + 1;
    QCOMPARE(view.selectedText(), text.left(offset + fromColumn));
}

void ReportViewTest::doubleClickSelectsWord() {
    ReportView view;
    view.resize(600, 300);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    view.setDocument(documentOf("MESSAGE......=1, INITIAL ADDRESS\r\n"));
    QTest::mouseDClick(view.viewport(), Qt::LeftButton, {}, view.pointOf({0, 18}));
    QCOMPARE(view.selectedText(), QStringLiteral("INITIAL"));
}

void ReportViewTest::keysScroll() {
    ReportView view;
    view.resize(500, 300);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    view.setDocument(documentOf(reportLike(400)));
    const std::size_t lines = view.document().lineCount();
    QScrollBar* bar = view.verticalScrollBar();
    const int rows = view.viewport()->height() / view.lineHeight();
    QCOMPARE(bar->pageStep(), rows);
    QCOMPARE(static_cast<std::size_t>(bar->maximum()), lines - static_cast<std::size_t>(rows));

    QTest::keyClick(&view, Qt::Key_PageDown);
    QCOMPARE(bar->value(), rows);
    QTest::keyClick(&view, Qt::Key_Down);
    QCOMPARE(bar->value(), rows + 1);
    QTest::keyClick(&view, Qt::Key_End, Qt::ControlModifier);
    QCOMPARE(bar->value(), bar->maximum());
    // The line at the top of the view is the one the scroll bar says, and the last line shows.
    QCOMPARE(view.positionAt({1, 1}).line, static_cast<std::size_t>(bar->maximum()));
    QCOMPARE(view.positionAt({1, rows * view.lineHeight() - 1}).line, lines - 1);
    QTest::keyClick(&view, Qt::Key_Home, Qt::ControlModifier);
    QCOMPARE(bar->value(), 0);

    // Long lines scroll sideways; nothing wraps.
    view.setDocument(documentOf(std::string(400, 'w') + "\r\n"));
    QVERIFY(view.horizontalScrollBar()->maximum() > 0);
    QTest::keyClick(&view, Qt::Key_End);
    QCOMPARE(view.horizontalScrollBar()->value(), view.horizontalScrollBar()->maximum());
    QCOMPARE(view.positionAt({view.viewport()->width() - 1, 1}).column, qsizetype{400});
}

void ReportViewTest::replacingTheDocumentGivesTheOldOneBack() {
    ReportView view;
    view.setDocument(documentOf("first report\r\n"));
    view.selectAll();
    std::unique_ptr<ReportDocument> old = view.setDocument(documentOf("second\r\n"));
    QCOMPARE(old->text(), std::string("first report\r\n"));
    QVERIFY(!view.hasSelection());
    view.appendText(std::string_view("more\r\n"));
    QCOMPARE(view.document().text(), std::string("second\r\nmore\r\n"));
}

void ReportViewTest::searchFindsWhatAScanFinds_data() {
    QTest::addColumn<QString>("needle");
    QTest::addColumn<bool>("matchCase");
    QTest::addColumn<int>("sliceBytes");
    // Texts in the report's shape; chunks of 256 bytes; slices from one byte to all at once.
    QTest::newRow("word, match case, tiny slices") << QStringLiteral("Field 3") << true << 1;
    QTest::newRow("word, any case, odd slices") << QStringLiteral("fIELD 3") << false << 97;
    QTest::newRow("any case, whole chunks") << QStringLiteral("record 1") << false << (1 << 20);
    QTest::newRow("one letter") << QStringLiteral("X") << false << 300;
    QTest::newRow("match case finds nothing") << QStringLiteral("initial address (iam)") << true << 64;
    QTest::newRow("beyond ASCII, any case") << QStringLiteral("\u00C9T\u00C9") << false << 50;
    QTest::newRow("beyond ASCII, match case") << QStringLiteral("\u00E9t\u00E9") << true << 50;
}

void ReportViewTest::searchFindsWhatAScanFinds() {
    QFETCH(QString, needle);
    QFETCH(bool, matchCase);
    QFETCH(int, sliceBytes);
    std::string text = reportLike(40);
    // A few lines with letters beyond ASCII, as the report has ("\xC3\xA9" is e acute).
    for (std::size_t at = text.find("RECORD 1"); at != std::string::npos; at = text.find("RECORD 1", at + 1))
        text.insert(text.find('\n', at) + 1, "     Name.....=\xC3\xA9t\xC3\xA9 \xE2\x80\x93 x\r\n");
    const auto document = documentOf(text, 256);
    QVERIFY(document->chunkCount() > 10);

    // What a plain scan of the text finds, case folded as the view compares.
    const QString all = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    std::vector<std::size_t> expected;
    for (qsizetype at = all.indexOf(needle, 0, matchCase ? Qt::CaseSensitive : Qt::CaseInsensitive); at >= 0;
         at = all.indexOf(needle, at + 1, matchCase ? Qt::CaseSensitive : Qt::CaseInsensitive))
        expected.push_back(static_cast<std::size_t>(all.left(at).toUtf8().size()));

    const auto matcher = std::make_shared<const TextMatcher>(needle, matchCase);
    const auto search = [&](std::size_t start, ReportSearch::Direction direction) {
        ReportSearch s(*document, matcher, start, direction);
        for (int slices = 0; slices < 10'000'000 && !s.advance(static_cast<std::size_t>(sliceBytes)); ++slices) {
        }
        // A search that never ends gives a match no text has.
        return s.done() ? s.match() : std::optional<TextMatcher::Hit>(TextMatcher::Hit{SIZE_MAX, 0});
    };
    for (std::size_t start = 0; start <= text.size(); start += 37) {
        // Forward: the first match at or after the start, else the first of all.
        const auto next = std::lower_bound(expected.begin(), expected.end(), start);
        const auto forward = search(start, ReportSearch::Direction::Forward);
        QCOMPARE(forward.has_value(), !expected.empty());
        if (forward) {
            QCOMPARE(forward->offset, next != expected.end() ? *next : expected.front());
            const QString found = QString::fromUtf8(text.data() + forward->offset, static_cast<qsizetype>(forward->length));
            QCOMPARE(found.compare(needle, matchCase ? Qt::CaseSensitive : Qt::CaseInsensitive), 0);
        }
        // Backward: the last match before the start, else the last of all.
        const auto backward = search(start, ReportSearch::Direction::Backward);
        QCOMPARE(backward.has_value(), !expected.empty());
        if (backward) QCOMPARE(backward->offset, next != expected.begin() ? *(next - 1) : expected.back());
    }
}

void ReportViewTest::recordIndexFollowsTheBanners() {
    // The full report (records 1 to 50) and a filtered one (every fifth record): every third
    // record not decoded; banners are fed as the facts say, a number out of turn is refused.
    for (const std::uint64_t step : {std::uint64_t{1}, std::uint64_t{5}}) {
        std::vector<std::uint64_t> numbers;
        std::vector<std::size_t> bannerLines;
        std::vector<std::uint64_t> notDecoded;
        RecordIndex index;
        std::size_t line = 1;
        for (std::uint64_t r = step; r <= 50; r += step) {
            const bool decoded = r % 3 != 0;
            QVERIFY(index.addRecord(r, line, decoded));
            numbers.push_back(r);
            bannerLines.push_back(line);
            if (!decoded) notDecoded.push_back(r);
            line += 4 + r % 7;
        }
        QVERIFY(!index.addRecord(numbers.back(), line) && !index.addRecord(0, line));
        // Then as a followed log that keeps its last messages lets records 1 to 19 go, and the
        // report the lines before record 20's.
        for (const bool dropped : {false, true}) {
            if (dropped) {
                const auto gone = std::lower_bound(numbers.begin(), numbers.end(), 20) - numbers.begin();
                const std::size_t lines = bannerLines[static_cast<std::size_t>(gone)] - 1;
                index.dropBefore(20, lines);
                numbers.erase(numbers.begin(), numbers.begin() + gone);
                bannerLines.erase(bannerLines.begin(), bannerLines.begin() + gone);
                for (std::size_t& banner : bannerLines) banner -= lines;
                std::erase_if(notDecoded, [](std::uint64_t r) { return r < 20; });
                line -= lines;
                QVERIFY(!index.bannerLine(numbers.front() - step));
            }
            QCOMPARE(index.recordCount(), numbers.size());
            QCOMPARE(index.firstRecord(), numbers.front());
            QCOMPARE(index.lastRecord(), numbers.back());
            for (std::size_t k = 0; k < numbers.size(); ++k) {
                QCOMPARE(index.bannerLine(numbers[k]), std::optional<std::size_t>(bannerLines[k]));
                QCOMPARE(index.recordAt(bannerLines[k]), numbers[k]);
                QCOMPARE(index.recordAt(bannerLines[k] + 2), numbers[k]);
                if (step > 1) QVERIFY(!index.contains(numbers[k] + 1));
            }
            QVERIFY(!index.bannerLine(0) && !index.bannerLine(51));
            QCOMPARE(index.recordAt(0), std::uint64_t{0});
            QCOMPARE(index.notDecodedCount(), notDecoded.size());
            // From each line, the next and previous not-decoded records.
            for (std::size_t at = 0; at < line; ++at) {
                std::optional<std::uint64_t> next;
                std::optional<std::uint64_t> previous;
                for (const std::uint64_t r : notDecoded) {
                    const std::size_t banner = *index.bannerLine(r);
                    if (!next && banner > at) next = r;
                    if (banner < at) previous = r;
                }
                QCOMPARE(index.nextNotDecoded(at), next);
                QCOMPARE(index.previousNotDecoded(at), previous);
            }
        }
    }
    // A report of more than four billion lines: the banners past them are kept whole, and the
    // ones before as they were.
    RecordIndex index;
    const std::size_t far = std::size_t{1} << 32;
    for (std::uint64_t r = 1; r <= 6; ++r) QVERIFY(index.addRecord(r, far - 40 + 20 * r, r != 4));
    for (std::uint64_t r = 1; r <= 6; ++r) {
        QCOMPARE(index.bannerLine(r), std::optional<std::size_t>(far - 40 + 20 * r));
        QCOMPARE(index.recordAt(far - 40 + 20 * r + 1), r);
    }
    QCOMPARE(index.nextNotDecoded(far), std::optional<std::uint64_t>(4));
}

QTEST_MAIN(ReportViewTest)
#include "ReportViewTest.moc"
