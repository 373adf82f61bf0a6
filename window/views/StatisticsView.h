#pragma once
// The statistics tab: the counts of the command-line tool's statistics, as its text, and charts
// of them: messages per type and direction, calls per outcome, release causes, and messages per
// second over the log's time.
#include "analysis/calls/Statistics.h"
#include "window/log/OpenedLog.h"

#include <QWidget>

#include <cstdint>
#include <vector>

class QChartView;
class QLabel;
class QPlainTextEdit;

namespace truno::window {

// Messages per second over the log's time: the count of each step of `stepSeconds` seconds from
// the first instant on, divided by the step, in at most `maxSteps` steps.
struct RateSeries {
    std::int64_t firstSecond = 0;  // on the log's time line
    std::int64_t stepSeconds = 1;
    std::vector<double> rates;
};
RateSeries messageRates(const MessagesPerSecond& perSecond, std::size_t maxSteps);

class StatisticsPane : public QWidget {
    Q_OBJECT

public:
    explicit StatisticsPane(QWidget* parent = nullptr);
    void clear();
    // The chart of messages per second is of `perSecond`.
    void show(const Statistics& statistics, const MessagesPerSecond& perSecond);
    QString text() const;
    // Says what the counts are of: always the whole log of `total` messages; when a followed
    // log keeps only the last `kept` of them, that the chart of messages per second is of those;
    // and, while the message list is filtered (`shown` of them), that the filter does not apply
    // here.
    void setScope(bool filtered, std::uint64_t shown, std::uint64_t total, std::uint64_t kept);
    QString scope() const;
    QChartView* typesChart() const { return types_; }
    QChartView* outcomesChart() const { return outcomes_; }
    QLabel* outcomesLegend() const { return outcomesLegend_; }
    QPlainTextEdit* textView() const { return text_; }
    QChartView* causesChart() const { return causes_; }
    QChartView* rateChart() const { return rate_; }

private:
    QLabel* scope_ = nullptr;
    QPlainTextEdit* text_ = nullptr;
    QChartView* types_ = nullptr;
    QChartView* outcomes_ = nullptr;
    QLabel* outcomesLegend_ = nullptr;
    QChartView* causes_ = nullptr;
    QChartView* rate_ = nullptr;
};

}  // namespace truno::window
