#pragma once
// The traces of a network read on a thread of their own and their calls joined into journeys:
// each trace on its own (its records and calls its own, as `truno-decode --journeys` reads them),
// through the one analysis (LogAnalysis) into the journeys engine (JourneyBuilder), which links
// them once every trace has been read. The window takes the journeys once the run is over.
#include "analysis/journeys/Journeys.h"
#include "analysis/pipeline/LogAnalysis.h"
#include "run/InputRun.h"

#include <QString>
#include <QStringList>

#include <atomic>
#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace truno::window {

// One trace to read: the file's full path and where it was taken. A capture's ends come from
// its messages: its side is the point code of `localPointCode`, else its first message's OPC.
struct TraceToRead {
    QString path;
    TraceEnds ends;
    bool capture = false;
    std::optional<std::uint32_t> localPointCode;
};

// The traces at `paths` with their ends as the network file `networkFile` gives them (none: each
// of its own switch, its far end not known), matched by name as the tool matches them. False,
// with `error` set, when the file cannot be read or names none of the traces.
bool tracesOf(const QStringList& paths, const QString& networkFile, std::vector<TraceToRead>& traces, QString& error);
// The traces a network file names, each found beside the file when its name is not a full path.
bool tracesOfNetwork(const QString& networkFile, std::vector<TraceToRead>& traces, QString& error);

// The traces at `paths` with the ends a network file gives those it names (none given: the file
// `network` beside the first trace, where there is one): as the dialog proposes them. Never fails:
// a trace no row names is of its own switch; a capture's is the OPC of its first ISUP or BICC
// message, as the run takes it.
std::vector<TraceToRead> prefilledTraces(const QStringList& paths, QString networkFile = {});

// The switch and far switch the user gave `trace` (as proposed: it stays as it is). A capture's
// switch given as a number, its far switch empty, is its point code: its legs' ends still come
// from its messages. An empty switch is the file's own, its far end not known.
void answerTraceEnds(TraceToRead& trace, const QString& self, const QString& far);

class JourneysJob : private InputListener {
public:
    JourneysJob(std::vector<TraceToRead> traces, JourneySettings settings, std::size_t cicOctets);
    JourneysJob(const JourneysJob&) = delete;
    JourneysJob& operator=(const JourneysJob&) = delete;
    // Stops the run and waits for its thread.
    ~JourneysJob() override;

    // Starts reading; `onEnd` is called on the run's thread once the run is over.
    void start(std::function<void()> onEnd);
    void cancel() { cancel_.store(true, std::memory_order_relaxed); }
    void wait();

    std::size_t traces() const { return inputs_.size(); }
    // Traces read to their end so far.
    std::size_t tracesRead() const { return tracesRead_.load(std::memory_order_relaxed); }

    // Once the run is over: false when it was cancelled.
    bool completed() const { return completed_; }
    // The journeys; null when the run was cancelled or they were taken.
    std::unique_ptr<JourneyReport> takeReport() { return std::move(report_); }
    // The summary of the traces, their trunks and clocks and the problems, one a line, and why a
    // trace could not be read.
    const QStringList& summary() const { return summary_; }

private:
    void run();
    void beginInput(const InputFile& file, RunOptions& options) override;
    void report(std::string_view /*text*/) override {}
    void endInput(const InputFile& file, const InputResult& result) override;

    std::vector<InputFile> inputs_;
    std::vector<TraceEnds> ends_;
    std::vector<std::optional<std::uint32_t>> localPointCodes_;  // per trace, of a capture
    std::size_t cicOctets_;
    JourneyBuilder builder_;
    LogAnalysis analysis_;
    std::uint32_t trace_ = 0;
    std::size_t input_ = 0;
    std::atomic<bool> cancel_{false};
    std::atomic<std::size_t> tracesRead_{0};
    bool completed_ = false;
    std::unique_ptr<JourneyReport> report_;
    QStringList summary_;
    std::function<void()> onEnd_;
    std::thread thread_;
};

}  // namespace truno::window
