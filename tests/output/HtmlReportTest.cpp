// The HTML report's structure: its sections in their order, every element closed, the log's name
// and the filter escaped, the KPI numbers under their ids, no script, and a ladder per failed call.
#include "analysis/pipeline/LogAnalysis.h"
#include "analysis/health/TrunkHealth.h"
#include "output/HtmlReport.h"
#include "tests/analysis/AnalysisSupport.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>

namespace truno {
namespace {

using analysis_testing::LogMessage;

std::size_t count(const std::string& text, const std::string& piece) {
    std::size_t n = 0;
    for (std::size_t at = text.find(piece); at != std::string::npos; at = text.find(piece, at + 1)) ++n;
    return n;
}

// One answered call, two that failed (user busy, no answer in time) and one IAM on a blocked circuit.
std::string reportOf(const HtmlReportInfo& info) {
    const std::string log = analysis_testing::logOfMessages({
        {"IAM", 1, "10:00:00.00", "S"}, {"ACM", 1, "10:00:01.00", "R"}, {"ANM", 1, "10:00:02.00", "R"},
        {"REL", 1, "10:01:00.00", "S"}, {"RLC", 1, "10:01:00.20", "R"},
        {"IAM", 2, "10:00:10.00", "S"}, {"REL", 2, "10:00:11.00", "R"}, {"RLC", 2, "10:00:11.20", "S"},
        {"BLO", 3, "10:00:20.00", "R"}, {"BLA", 3, "10:00:20.10", "S"}, {"IAM", 3, "10:00:30.00", "S"},
        {"REL", 3, "10:00:31.00", "R"}, {"RLC", 3, "10:00:31.10", "S"},
    });
    const HealthOptions options;
    TrunkHealth health(options);
    LogAnalysis analysis([](const AnalysedMessage&) {}, [](const Call&) {}, true);
    analysis.followHealth(&health);
    std::istringstream in(log);
    RunOptions run;
    run.records = [&analysis](const RecordFacts& record) { analysis.add(record); };
    decodeLog(in, [](std::string_view) {}, run);
    analysis.finish();
    health.finish({});
    return htmlReport(health, info);
}

TEST(HtmlReport, SectionsInOrderAndEveryElementClosed) {
    const std::string html = reportOf({.logName = "trunk.log", .filter = "", .generator = "truno-decode", .messages = 13, .notDecoded = 0});
    EXPECT_EQ(html.rfind("<!DOCTYPE html>\n<html lang=\"en\">", 0), 0u);
    EXPECT_TRUE(html.ends_with("</body>\n</html>\n"));
    std::size_t at = 0;
    for (const std::string heading : {"<h1>Trunk health: trunk.log</h1>", "<h2>Traffic KPIs</h2>", "<h2>Release causes</h2>",
                                      "<h2>Protocol checks</h2>", "<h2>Circuits at the end of the log</h2>",
                                      "<h2>Failed calls</h2>"}) {
        const std::size_t found = html.find(heading, at);
        ASSERT_NE(found, std::string::npos) << heading;
        at = found;
    }
    for (const std::string element : {"table", "tr", "td", "th", "h2", "p", "svg", "ul", "li", "code"})
        EXPECT_EQ(count(html, "<" + element + ">") + count(html, "<" + element + " "), count(html, "</" + element + ">"))
            << element;
    EXPECT_EQ(count(html, "<script"), 0u);
    EXPECT_NE(html.find("id=\"kpi-seizures\">3<"), std::string::npos);
    EXPECT_NE(html.find("id=\"kpi-asr-numerator\">1<"), std::string::npos);
    EXPECT_NE(html.find("data-count=\"2\""), std::string::npos);
}

TEST(HtmlReport, NamesAndFilterAreEscaped) {
    const std::string html =
        reportOf({.logName = "a<b>&\"c\".log",
                  .filter = "cic in {1 2} and type != \"<IAM>\"",
                  .generator = "x",
                  .messages = 0,
                  .notDecoded = 0});
    EXPECT_EQ(html.find("a<b>"), std::string::npos);
    EXPECT_EQ(count(html, "a&lt;b&gt;&amp;"), 2u);  // the title and the heading
    EXPECT_NE(html.find("<code>cic in {1 2} and type != &quot;&lt;IAM&gt;&quot;</code>"), std::string::npos);
}

}  // namespace
}  // namespace truno
