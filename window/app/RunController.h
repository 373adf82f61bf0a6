#pragma once
// The run of the log being opened: starts its decode job, takes the report text and the facts
// of the messages in as they come (into the report view and the log on screen), shows the
// progress, and ends the run, or cancels it without waiting for its thread. A followed log's run
// goes on until it is told to stop following; meanwhile the status bar says so, the message list
// keeps its newest row in sight unless the user has chosen a row, and with a limit the oldest
// messages leave every view and the log on screen as new ones come.
#include "analysis/store/MessageStore.h"
#include "analysis/calls/Statistics.h"
#include "run/DecodeRun.h"
#include "window/log/MessageLimit.h"

#include <QObject>
#include <QString>
#include <QTimer>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace truno::window {

class DecodeJob;
struct WindowParts;

// How a run that was not cancelled ended.
struct RunOutcome {
    QString readError;  // why reading the file failed; empty when it did not
    RunSummary summary;
    Statistics statistics;
};

class RunController : public QObject {
    Q_OBJECT

public:
    explicit RunController(WindowParts& parts, QObject* parent = nullptr);
    ~RunController() override;

    // Runs `job` into the log on screen, which must be new and empty.
    void start(std::unique_ptr<DecodeJob> job);
    // Stops the run; its thread winds down on its own and nothing more is taken in. False when
    // no run was in progress.
    bool cancel();
    // Waits for the thread of a cancelled run.
    void forgetCancelled();
    // Tells a cancelled run still winding down to stop at once.
    void hurryCancelled();
    bool running() const { return job_ != nullptr; }
    // The run in progress follows a growing log.
    bool following() const;
    // Ends a followed run at the end of what the log holds; it finishes as any run does, later.
    void stopFollowing();
    // The same, waiting until the run has finished and all it handed over is in.
    void endFollowing();
    // No thread is left, not even of a cancelled run.
    bool idle() const { return !job_ && !retiring_; }
    // How many messages a followed log keeps; also for the run in progress.
    void setMessageLimit(MessageLimit limit) { limit_ = limit; }

signals:
    // Text or facts were taken in; `newRecords`: more messages have their records.
    void taken(bool newRecords);
    // A followed log's statistics and trunk's health so far are the log on screen's: the views
    // of them show them anew.
    void soFarTaken();
    // The run is over and all it handed over is in.
    void finished(const RunOutcome& outcome);

private:
    void collect();
    void showFollowing(bool newRecords);
    // The oldest `count` messages of the log on screen leave it and every view.
    void dropOldest(std::size_t count);
    void jobEnded(std::uint64_t id);

    WindowParts& parts_;
    // The run in progress, and a cancelled one whose thread has not ended yet.
    std::unique_ptr<DecodeJob> job_;
    std::unique_ptr<DecodeJob> retiring_;
    std::uint64_t jobId_ = 0;
    std::uint64_t retiringId_ = 0;
    std::uint64_t lastJobId_ = 0;
    QTimer collectTimer_;
    std::vector<std::string> collected_;
    std::vector<MessageBatch> batches_;
    bool jobOver_ = false;  // the run's thread has ended; what it handed over is still coming in
    MessageLimit limit_;
};

}  // namespace truno::window
