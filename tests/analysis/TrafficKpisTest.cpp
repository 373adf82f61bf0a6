// The KPIs of a longer interval gathered from the groups of a shorter one are those a grouping by
// the longer interval counts itself: every count, delay, cause, busy time and observed period.
#include "AnalysisSupport.h"
#include "analysis/pipeline/LogAnalysis.h"
#include "analysis/health/TrunkHealth.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace truno {
namespace {

using analysis_testing::LogMessage;

constexpr std::int64_t kMinute = 60000;

std::string timeOf(std::int64_t ms) {
    char text[32];
    std::snprintf(text, sizeof text, "%02lld:%02lld:%02lld.%02lld", static_cast<long long>(ms / 3600000 % 24),
                  static_cast<long long>(ms / 60000 % 60), static_cast<long long>(ms / 1000 % 60),
                  static_cast<long long>(ms % 1000 / 10));
    return text;
}

// Calls every 97 s for two and a half hours from 09:58, some unanswered, some released by the far
// side, some holding their circuit across several intervals, a few left open at the log's end.
std::string callsLog() {
    struct Timed {
        std::int64_t at;
        LogMessage message;
    };
    std::vector<Timed> timed;
    for (int k = 0; k < 90; ++k) {
        const std::int64_t start = (9 * 60 + 58) * kMinute + k * 97000;
        const auto code = static_cast<unsigned>(k % 60 + 1);
        const std::int64_t hold = 10000 + (k * 7919 % 1200) * 1000;
        const auto add = [&](std::int64_t after, const char* body, const char* direction) {
            timed.push_back({start + after, LogMessage{body, code, timeOf(start + after), direction}});
        };
        add(0, "IAM", "S");
        add(1500 + k * 37 % 900, "ACM", "R");
        if (k % 4 != 1) add(4000 + k * 53 % 3000, "ANM", "R");
        if (k >= 86) continue;  // open at the end
        add(hold, "REL", k % 3 == 0 ? "R" : "S");
        add(hold + 200, "RLC", k % 3 == 0 ? "S" : "R");
    }
    std::stable_sort(timed.begin(), timed.end(), [](const Timed& a, const Timed& b) { return a.at < b.at; });
    std::vector<LogMessage> messages;
    for (const Timed& t : timed) messages.push_back(t.message);
    return analysis_testing::logOfMessages(messages);
}

std::unique_ptr<TrunkHealth> healthOf(const std::string& log, HealthOptions options) {
    auto health = std::make_unique<TrunkHealth>(std::move(options));
    LogAnalysis analysis([](const AnalysedMessage&) {}, [](const Call&) {}, true);
    analysis.followHealth(health.get());
    std::istringstream in(log);
    RunOptions run;
    run.records = [&analysis](const RecordFacts& record) { analysis.add(record); };
    decodeLog(in, [](std::string_view) {}, run);
    analysis.finish();
    health->finish({});
    return health;
}

void expectSame(const Distribution& got, const Distribution& want) {
    EXPECT_EQ(got.count(), want.count());
    EXPECT_EQ(got.mean(), want.mean());
    for (const double q : {0.01, 0.5, 0.95, 1.0}) EXPECT_EQ(got.quantile(q), want.quantile(q)) << q;
}

TEST(TrafficKpis, RegroupedIntervalsAreTheGroupingByTheLongerInterval) {
    const std::string log = callsLog();
    HealthOptions fine;
    fine.interval = 5 * kMinute;
    const std::unique_ptr<TrunkHealth> health = healthOf(log, fine);
    ASSERT_NE(health->kpisByInterval(), nullptr);
    EXPECT_EQ(health->kpis().total().seizures, 90u);
    for (const std::int64_t interval : {5 * kMinute, 15 * kMinute, 60 * kMinute}) {
        SCOPED_TRACE(interval);
        HealthOptions direct;
        direct.kpis.by = KpiGrouping::Interval;
        direct.kpis.interval = interval;
        const std::unique_ptr<TrunkHealth> grouped = healthOf(log, direct);
        const std::vector<const KpiSet*> want = grouped->kpis().groups();
        const std::vector<KpiSet> got = regroupKpis(*health->kpisByInterval(), interval);
        ASSERT_EQ(got.size(), want.size());
        ASSERT_GT(want.size(), 2u);
        for (std::size_t k = 0; k < got.size(); ++k) {
            const KpiSet& g = got[k];
            const KpiSet& w = *want[k];
            EXPECT_EQ(g.start, w.start);
            EXPECT_EQ(g.group, w.group);
            EXPECT_EQ(g.seizures, w.seizures);
            EXPECT_EQ(g.answered, w.answered);
            EXPECT_EQ(g.reachedUser, w.reachedUser);
            for (Distribution KpiSet::*d : {&KpiSet::setup, &KpiSet::answer, &KpiSet::conversation, &KpiSet::holding})
                expectSame(g.*d, w.*d);
            EXPECT_EQ(g.causeClasses, w.causeClasses);
            EXPECT_EQ(g.causes, w.causes);
            EXPECT_EQ(g.releasedByCalling, w.releasedByCalling);
            EXPECT_EQ(g.releasedByCalled, w.releasedByCalled);
            EXPECT_EQ(g.busy, w.busy);
            EXPECT_EQ(g.observed, w.observed);
        }
    }
    // Not a multiple of the groups' interval, or not grouped by time: nothing.
    EXPECT_TRUE(regroupKpis(*health->kpisByInterval(), 7 * kMinute).empty());
    EXPECT_TRUE(regroupKpis(health->kpis(), 15 * kMinute).empty());
}

// The busiest hour's traffic is over the part of it the log covers, a whole hour preferred, so that
// it never contradicts the carried traffic of the same log.
// Values counted one by one, in buckets that already hold values and in new ones, and gathered
// from two halves: each nearest-rank quantile is the value itself below 16,384 ms and within
// 1/8,192 under it above; halves added together give the quantiles of the whole.
TEST(Distribution, QuantilesAreTheNearestRankValues) {
    const struct {
        std::int64_t spread;  // values 0 to spread - 1
        std::size_t count;
    } cases[] = {{1, 5}, {40, 3}, {40, 2000}, {16384, 5000}, {3000000, 20000}};
    for (const auto& c : cases) {
        std::vector<std::int64_t> values;
        Distribution all, first, second;
        std::uint64_t state = 12345;
        for (std::size_t i = 0; i < c.count; ++i) {
            state = state * 6364136223846793005ull + 1442695040888963407ull;
            const auto value = static_cast<std::int64_t>((state >> 33) % static_cast<std::uint64_t>(c.spread));
            values.push_back(value);
            all.add(value);
            (i % 2 == 0 ? first : second).add(value);
        }
        std::sort(values.begin(), values.end());
        first.add(second);
        SCOPED_TRACE(std::to_string(c.spread) + " " + std::to_string(c.count));
        for (const double q : {0.001, 0.25, 0.5, 0.9, 0.95, 0.99, 1.0}) {
            const auto rank = std::max<std::size_t>(1, static_cast<std::size_t>(std::ceil(q * static_cast<double>(c.count))));
            const std::int64_t want = values[rank - 1];
            const std::optional<std::int64_t> got = all.quantile(q);
            ASSERT_TRUE(got.has_value());
            if (want < 16384)
                EXPECT_EQ(*got, want) << q;
            else
                EXPECT_TRUE(*got <= want && want - *got <= want / 8192) << q << ": " << *got << " for " << want;
            EXPECT_EQ(first.quantile(q), got) << q;
        }
    }
}

TEST(TrafficKpis, TheBusiestHourIsMeasuredOverThePartOfItTheLogCovers) {
    struct Case {
        const char* name;
        std::vector<LogMessage> messages;
        std::int64_t hour, covered;
        double erlangs;
    };
    const std::vector<Case> cases = {
        {"fourteen minutes of one hour: its erlangs are the log's",
         {{"IAM", 1, "09:46:00.00", "S"}, {"ANM", 1, "09:46:01.00", "R"}, {"REL", 1, "09:56:00.00", "S"},
          {"RLC", 1, "09:56:00.00", "R"}, {"IAM", 2, "10:00:00.00", "S"}},
         9 * 60 * kMinute, 14 * kMinute, 10.0 / 14.0},
        {"a whole hour is preferred to a busier part of one",
         {{"IAM", 1, "09:30:00.00", "S"}, {"ANM", 1, "09:30:01.00", "R"}, {"REL", 1, "09:50:00.00", "S"},
          {"RLC", 1, "09:50:00.00", "R"}, {"IAM", 2, "10:00:00.00", "S"}, {"ANM", 2, "10:00:01.00", "R"},
          {"REL", 2, "10:30:00.00", "S"}, {"RLC", 2, "10:30:00.00", "R"}, {"IAM", 3, "11:15:00.00", "S"},
          {"REL", 3, "11:15:01.00", "R"}, {"RLC", 3, "11:15:01.00", "S"}},
         10 * 60 * kMinute, 60 * kMinute, 0.5},
    };
    const HealthOptions options;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::unique_ptr<TrunkHealth> health = healthOf(analysis_testing::logOfMessages(c.messages), options);
        const TrafficKpis& kpis = health->kpis();
        EXPECT_EQ(kpis.busiestHour(), c.hour);
        EXPECT_EQ(kpis.busiestHourCovered(), c.covered);
        EXPECT_NEAR(kpis.busiestHourErlangs(), c.erlangs, 1e-9);
        EXPECT_LE(kpis.busiestHourErlangs() * static_cast<double>(kpis.busiestHourCovered()),
                  static_cast<double>(kpis.total().busy) + 1e-6);
    }
}

}  // namespace
}  // namespace truno
