#include "window/views/StatisticsView.h"

#include "parameters/callcontrol/CauseValues.h"

#include "output/Exports.h"
#include "window/report/ReportView.h"

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QDateTime>
#include <QDateTimeAxis>
#include <QTimeZone>
#include <QGridLayout>
#include <QLabel>
#include <QLocale>
#include <QLineSeries>
#include <QHBoxLayout>
#include <QPieSeries>
#include <QPieSlice>
#include <QPlainTextEdit>
#include <QSplitter>
#include <QValueAxis>
#include <QToolTip>
#include <QCursor>
#include <QVBoxLayout>

#include <algorithm>
#include <map>

namespace truno::window {

namespace {

QString fromView(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QChartView* chartView(QWidget* parent, const char* name) {
    auto* view = new QChartView(parent);
    view->setObjectName(QString::fromLatin1(name));
    view->setRenderHint(QPainter::Antialiasing);
    view->setMinimumSize(160, 120);
    return view;
}

QChart* newChart(const QString& title) {
    auto* chart = new QChart;
    chart->setTitle(title);
    chart->setAnimationOptions(QChart::NoAnimation);
    chart->legend()->setAlignment(Qt::AlignBottom);
    chart->setMargins(QMargins(4, 4, 4, 4));
    return chart;
}

// An axis of counts from 0 past `top`, in round steps (1, 2 or 5 times a power of ten).
QValueAxis* countAxis(double top) {
    auto* axis = new QValueAxis;
    axis->setRange(0, std::max(1.0, top));
    axis->applyNiceNumbers();
    axis->setLabelFormat(QStringLiteral("%.0f"));
    return axis;
}

// Shows a bar chart of `values` per category, one bar set per series name.
void setBars(QChartView* view, const QString& title, const QStringList& categories,
             const std::vector<std::pair<QString, std::vector<double>>>& sets) {
    QChart* chart = newChart(title);
    auto* series = new QBarSeries;
    double top = 1;
    for (const auto& [name, values] : sets) {
        auto* set = new QBarSet(name);
        for (const double v : values) {
            *set << v;
            top = std::max(top, v);
        }
        series->append(set);
    }
    chart->addSeries(series);
    auto* x = new QBarCategoryAxis;
    x->append(categories);
    x->setLabelsAngle(categories.size() > 8 ? -90 : 0);
    chart->addAxis(x, Qt::AlignBottom);
    series->attachAxis(x);
    chart->addAxis(countAxis(top), Qt::AlignLeft);
    series->attachAxis(chart->axes(Qt::Vertical).constFirst());
    chart->legend()->setVisible(sets.size() > 1);
    QChart* old = view->chart();
    view->setChart(chart);
    delete old;
}

}  // namespace

RateSeries messageRates(const MessagesPerSecond& perSecond, std::size_t maxSteps) {
    RateSeries series;
    const std::vector<MessagesPerSecond::Second>& seconds = perSecond.seconds();
    if (seconds.empty() || maxSteps == 0) return series;
    series.firstSecond = seconds.begin()->first;
    const std::int64_t span = seconds.rbegin()->first - series.firstSecond + 1;
    series.stepSeconds = (span + static_cast<std::int64_t>(maxSteps) - 1) / static_cast<std::int64_t>(maxSteps);
    series.rates.assign(static_cast<std::size_t>((span + series.stepSeconds - 1) / series.stepSeconds), 0.0);
    for (const auto& [second, count] : seconds)
        series.rates[static_cast<std::size_t>((second - series.firstSecond) / series.stepSeconds)] += static_cast<double>(count);
    for (double& rate : series.rates) rate /= static_cast<double>(series.stepSeconds);
    return series;
}

StatisticsPane::StatisticsPane(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("statisticsPane"));
    text_ = new QPlainTextEdit(this);
    text_->setObjectName(QStringLiteral("statisticsText"));
    text_->setReadOnly(true);
    text_->setFont(ReportView::reportFont());
    // The lines of release causes are longer than the room the charts leave: they wrap rather than
    // be cut.
    text_->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    text_->setMinimumWidth(text_->fontMetrics().horizontalAdvance(QString(48, QLatin1Char('0'))));
    auto* charts = new QWidget(this);
    auto* grid = new QGridLayout(charts);
    grid->setContentsMargins(0, 0, 0, 0);
    types_ = chartView(charts, "typesChart");
    outcomes_ = chartView(charts, "outcomesChart");
    causes_ = chartView(charts, "causesChart");
    rate_ = chartView(charts, "rateChart");
    // The outcomes' legend is a label beside the pie, so that the layout gives it the room for its
    // longest entry ("begun-before-log (N)"): the chart's own legend would cut it.
    outcomesLegend_ = new QLabel(charts);
    outcomesLegend_->setObjectName(QStringLiteral("outcomesLegend"));
    outcomesLegend_->setTextFormat(Qt::RichText);
    outcomesLegend_->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    outcomesLegend_->setAutoFillBackground(true);
    outcomesLegend_->setBackgroundRole(QPalette::Base);
    auto* outcomes = new QHBoxLayout;
    outcomes->setSpacing(0);
    outcomes->addWidget(outcomes_, 1);
    outcomes->addWidget(outcomesLegend_, 0);
    grid->addWidget(types_, 0, 0, 1, 2);
    grid->addLayout(outcomes, 1, 0);
    grid->addWidget(causes_, 1, 1);
    grid->setColumnStretch(0, 3);
    grid->setColumnStretch(1, 2);
    grid->addWidget(rate_, 2, 0, 1, 2);
    auto* splitter = new QSplitter(Qt::Horizontal, this);
    splitter->setObjectName(QStringLiteral("statisticsSplitter"));
    splitter->addWidget(text_);
    splitter->addWidget(charts);
    splitter->setStretchFactor(0, 0);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({text_->minimumWidth(), 3 * text_->minimumWidth()});
    scope_ = new QLabel(this);
    scope_->setObjectName(QStringLiteral("statisticsScope"));
    scope_->setWordWrap(true);
    scope_->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Maximum);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(scope_, 0);
    layout->addWidget(splitter, 1);
    clear();
}

QString StatisticsPane::text() const { return text_->toPlainText(); }

void StatisticsPane::setScope(bool filtered, std::uint64_t shown, std::uint64_t total, std::uint64_t kept) {
    const QString all = QLocale().toString(static_cast<qulonglong>(total));
    if (total == 0) {
        scope_->clear();
        return;
    }
    QString text = filtered ? tr("These counts are of the whole log (%1 messages): the message filter, which shows "
                                 "%2 of them, does not apply here.")
                                  .arg(all, QLocale().toString(static_cast<qulonglong>(shown)))
                            : tr("These counts are of the whole log (%1 messages).").arg(all);
    if (kept < total)
        text += QLatin1Char(' ') + tr("The window keeps the last %1 of them; the chart of messages per second is of "
                                      "those.")
                                       .arg(QLocale().toString(static_cast<qulonglong>(kept)));
    scope_->setText(text);
}

QString StatisticsPane::scope() const { return scope_->text(); }

void StatisticsPane::clear() {
    text_->clear();
    outcomesLegend_->clear();
    for (QChartView* view : {types_, outcomes_, causes_, rate_}) {
        QChart* old = view->chart();
        view->setChart(newChart({}));
        delete old;
    }
}

void StatisticsPane::show(const Statistics& statistics, const MessagesPerSecond& perSecond) {
    std::string text;
    appendStatisticsText(text, statistics);
    text_->setPlainText(QString::fromStdString(text));

    // Messages per type (in type code order) and direction.
    QStringList types;
    std::vector<QString> directions;
    std::map<std::pair<int, QString>, double> counts;
    std::vector<int> codes;
    statistics.forEachType([&](const Statistics::TypeCount& count) {
        if (std::find(codes.begin(), codes.end(), count.typeCode) == codes.end()) {
            codes.push_back(count.typeCode);
            types << (count.typeCode < 0      ? QStringLiteral("-")
                      : count.acronym.empty() ? QStringLiteral("%1").arg(count.typeCode, 2, 16, QLatin1Char('0')).toUpper()
                                              : fromView(count.acronym));
        }
        const QString direction = fromView(count.direction);
        if (std::find(directions.begin(), directions.end(), direction) == directions.end()) directions.push_back(direction);
        counts[{count.typeCode, direction}] += static_cast<double>(count.count);
    });
    std::vector<std::pair<QString, std::vector<double>>> sets;
    for (const QString& direction : directions) {
        std::vector<double> values;
        values.reserve(codes.size());
        for (const int code : codes) values.push_back(counts[{code, direction}]);
        sets.emplace_back(direction.isEmpty() ? tr("(no direction)") : tr("DIR=%1").arg(direction), std::move(values));
    }
    setBars(types_, tr("Messages per type and direction"), types, sets);

    // Calls per outcome.
    // The title is short, for the pie's room; the legend beside it says what the slices are.
    QChart* outcomes = newChart(tr("%1 calls").arg(statistics.calls()));
    auto* pie = new QPieSeries;
    for (std::size_t k = 0; k < kCallOutcomeCount; ++k) {
        const auto outcome = static_cast<CallOutcome>(k);
        const std::uint64_t count = statistics.callsWith(outcome);
        if (count == 0) continue;
        pie->append(QStringLiteral("%1 (%2)").arg(fromView(outcomeName(outcome))).arg(count), static_cast<double>(count));
    }
    outcomes->addSeries(pie);
    outcomes->legend()->hide();
    // The slices have their colours once in the chart: the legend beside it, one entry a line.
    QString legend = QStringLiteral("<p>%1</p><table cellspacing=\"2\">").arg(tr("Calls per outcome:"));
    for (QPieSlice* slice : pie->slices())
        legend += QStringLiteral("<tr><td style=\"color:%1\">&#9632;</td><td>%2</td></tr>")
                      .arg(slice->color().name(), slice->label().toHtmlEscaped());
    outcomesLegend_->setText(pie->slices().isEmpty() ? QString() : legend + QStringLiteral("</table>"));
    QChart* old = outcomes_->chart();
    outcomes_->setChart(outcomes);
    delete old;

    // Release causes.
    QStringList causes;
    std::vector<double> causeCounts;
    for (const Statistics::CauseCount* cause : statistics.causes()) {
        causes << (cause->number < 0 ? tr("none") : QString::number(cause->number));
        causeCounts.push_back(static_cast<double>(cause->count));
    }
    setBars(causes_, tr("Release causes"), causes, {{tr("REL"), causeCounts}});
    if (!causes_->chart()->series().isEmpty()) {
        // The phrases, as tool tips of the bars (the axis has room for the numbers only).
        auto* series = static_cast<QBarSeries*>(causes_->chart()->series().constFirst());
        const std::vector<const Statistics::CauseCount*> causeList = statistics.causes();
        std::vector<QString> phrases;
        phrases.reserve(causeList.size());
        for (const Statistics::CauseCount* cause : causeList) {
            const std::string_view meaning =
                cause->number < 0 ? std::string_view{} : causeMeaning(static_cast<std::uint64_t>(cause->number));
            phrases.push_back(QString::fromUtf8(meaning.data(), static_cast<qsizetype>(meaning.size())));
        }
        connect(series, &QBarSeries::hovered, causes_, [view = causes_, phrases](bool on, int index, QBarSet*) {
            const QString tip = on && index >= 0 && static_cast<std::size_t>(index) < phrases.size()
                                    ? phrases[static_cast<std::size_t>(index)]
                                    : QString();
            view->setToolTip(tip);
            if (tip.isEmpty())
                QToolTip::hideText();
            else
                QToolTip::showText(QCursor::pos(), tip, view);
        });
    }

    // Messages per second.
    const RateSeries rates = messageRates(perSecond, 1000);
    QChart* rate = newChart(rates.stepSeconds > 1 ? tr("Messages per second (%1 s steps)").arg(rates.stepSeconds)
                                                  : tr("Messages per second"));
    auto* line = new QLineSeries;
    double top = 1;
    for (std::size_t k = 0; k < rates.rates.size(); ++k) {
        line->append(static_cast<double>(rates.firstSecond + static_cast<std::int64_t>(k) * rates.stepSeconds) * 1000.0,
                     rates.rates[k]);
        top = std::max(top, rates.rates[k]);
    }
    rate->addSeries(line);
    rate->legend()->hide();
    // The log's time line starts at the midnight before its first message: shown as times of day.
    auto* x = new QDateTimeAxis;
    x->setTitleText(tr("time of day (log)"));
    x->setFormat(QStringLiteral("HH:mm:ss"));
    x->setTickCount(4);
    const auto moment = [](double second) {
        return QDateTime::fromMSecsSinceEpoch(static_cast<qint64>(second * 1000), QTimeZone::utc());
    };
    const double first = static_cast<double>(rates.firstSecond);
    x->setRange(moment(first),
                moment(first + std::max<double>(1, static_cast<double>(rates.rates.size() *
                                                                        static_cast<std::size_t>(rates.stepSeconds)))));
    QValueAxis* y = countAxis(top);
    rate->addAxis(x, Qt::AlignBottom);
    rate->addAxis(y, Qt::AlignLeft);
    line->attachAxis(x);
    line->attachAxis(y);
    old = rate_->chart();
    rate_->setChart(rate);
    delete old;
}

}  // namespace truno::window
