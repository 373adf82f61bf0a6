#include "window/app/RunController.h"

#include "window/app/StatusLine.h"
#include "window/app/WindowParts.h"
#include "window/log/DecodeJob.h"
#include "window/views/CallsView.h"
#include "window/views/MessageList.h"

#include <QFileInfo>
#include <QItemSelectionModel>
#include <QTableView>

#include <algorithm>
#include <chrono>

namespace truno::window {

namespace {

// How often the report text of a run in progress is taken into the view.
constexpr std::chrono::milliseconds kCollectEvery{50};
// How long the report text and the facts of a run in progress are taken in at one time.
constexpr std::chrono::milliseconds kCollectFor{25};

}  // namespace

RunController::RunController(WindowParts& parts, QObject* parent) : QObject(parent), parts_(parts) {
    collectTimer_.setInterval(kCollectEvery);
    connect(&collectTimer_, &QTimer::timeout, this, &RunController::collect);
}

// The threads end (each job waits for its own) before what they report to goes away.
RunController::~RunController() = default;

void RunController::start(std::unique_ptr<DecodeJob> job) {
    jobId_ = ++lastJobId_;
    const std::uint64_t id = jobId_;
    job_ = std::move(job);
    job_->start([this, id] {
        QMetaObject::invokeMethod(this, [this, id] { jobEnded(id); }, Qt::QueuedConnection);
    });
    collectTimer_.start();
}

void RunController::collect() {
    if (!job_) return;
    OpenedLog& log = *parts_.log;
    // What the run handed over is taken in for a while at a time, so that the window answers
    // between two looks however fast the run writes.
    const auto deadline = std::chrono::steady_clock::now() + kCollectFor;
    job_->takeBlocks(collected_, batches_);
    if (log.files.size() > 1) log.fileFirstRecords = job_->fileFirstRecords();
    while ((!collected_.empty() || !batches_.empty()) && std::chrono::steady_clock::now() < deadline) {
        if (!collected_.empty()) {
            parts_.reportView->appendText(std::move(collected_.front()));
            collected_.erase(collected_.begin());
        }
        if (!batches_.empty()) {
            const std::size_t before = log.store.size();
            log.store.append(std::move(batches_.front()));
            log.perSecond.add(log.store, before, log.store.size());
            batches_.erase(batches_.begin());
        }
    }
    const bool newRecords = log.admitRecords(parts_.fullReport(), deadline);
    if (job_->following()) dropOldest(limit_.toDrop(log.admitted, false));
    emit taken(newRecords);
    if (job_->following()) showFollowing(newRecords);
    if (std::unique_ptr<DecodeJob::SoFar> soFar = job_->takeSoFar(); soFar && !jobOver_) {
        log.statistics = soFar->statistics;
        // The health the tab shows stays until the tab shows the newer.
        if (!log.healthShown) log.healthShown = std::move(log.health);
        log.health = std::move(soFar->health);
        emit soFarTaken();
    }
    const std::int64_t size = job_->fileSize();
    if (size > 0) {
        const double done = static_cast<double>(job_->bytesRead()) / static_cast<double>(size);
        parts_.status->setProgress(static_cast<int>(std::min(1.0, done) * 1000));
    }
    if (!jobOver_ || !collected_.empty() || !batches_.empty() || !log.complete()) return;

    if (job_->following()) dropOldest(limit_.toDrop(log.admitted, true));
    collectTimer_.stop();
    jobOver_ = false;
    const RunOutcome outcome{job_->readError(), job_->summary(), job_->statistics()};
    if (!log.healthShown) log.healthShown = std::move(log.health);
    log.health = job_->takeHealth();
    job_.reset();
    collected_ = {};
    batches_ = {};
    emit finished(outcome);
}

void RunController::showFollowing(bool newRecords) {
    QTableView* list = parts_.messageList;
    if (newRecords && !list->selectionModel()->hasSelection()) list->scrollToBottom();
    const OpenedLog& log = *parts_.log;
    QString text = tr("Following %1: %2 messages").arg(QFileInfo(log.path).fileName(), countText(log.messagesRead()));
    if (log.store.dropped() > 0) text += tr(", the last %1 kept").arg(countText(log.admitted));
    parts_.status->setSummary(text);
}

void RunController::dropOldest(std::size_t count) {
    OpenedLog& log = *parts_.log;
    count = std::min(count, log.admitted);
    if (count == 0) return;
    MessageStore& store = log.store;
    // A chosen row or call that leaves is let go first, while the views can still read it: the
    // list keeps to its newest row again, and its filter on a call that left goes.
    const MessageListModel& model = *parts_.messageModel;
    QItemSelectionModel* chosen = parts_.messageList->selectionModel();
    bool rowLeaves = chosen->currentIndex().isValid() && model.messageAt(chosen->currentIndex().row()) < count;
    for (const QModelIndex& row : chosen->selectedRows()) rowLeaves = rowLeaves || model.messageAt(row.row()) < count;
    if (rowLeaves) chosen->clear();
    const std::vector<std::size_t> calls = store.callsLeavingWith(count);
    parts_.callsPane->callsLeaving(calls);

    // While a run goes on, the view shows the full report (a filtered one waits for the run's
    // end). It keeps from the first kept message's record on.
    const ReportDocument& report = parts_.reportView->document();
    const std::uint64_t keepFrom = count < store.size() ? store.textBegin(count) : report.origin() + report.size();
    const std::size_t offset = keepFrom - report.origin();
    const std::uint64_t firstKept = store.record(count);
    log.perSecond.remove(store, 0, count);
    store.dropOldest(count);
    log.admitted -= count;
    parts_.messageModel->dropOldest(count);
    parts_.callsPane->callsRemoved(calls);
    log.records.dropBefore(firstKept, report.lineAt(offset).first);
    parts_.reportView->dropTextBefore(offset);
}

bool RunController::following() const { return job_ && job_->following(); }

void RunController::stopFollowing() {
    if (following()) job_->stopFollowing();
}

void RunController::endFollowing() {
    if (!following()) return;
    job_->stopFollowing();
    job_->wait();
    jobOver_ = true;
    // Takes in the rest; the run finishes once it is all in (its late end notice finds no job).
    while (job_) collect();
}

void RunController::jobEnded(std::uint64_t id) {
    if (retiring_ && id == retiringId_) {
        retiring_.reset();
        return;
    }
    if (!job_ || id != jobId_) return;
    job_->wait();
    // The rest of what the run handed over is taken in by the collecting timer; the run ends
    // once it is all in.
    jobOver_ = true;
    collect();
}

bool RunController::cancel() {
    if (!job_) return false;
    // The thread stops on its own within moments; the window does not wait for it.
    job_->cancel();
    collectTimer_.stop();
    if (jobOver_) {
        job_.reset();  // its thread has ended already
        jobOver_ = false;
    } else {
        retiring_ = std::move(job_);
        retiringId_ = jobId_;
    }
    collected_ = {};
    batches_ = {};
    return true;
}

void RunController::forgetCancelled() { retiring_.reset(); }

void RunController::hurryCancelled() {
    if (retiring_) retiring_->cancel();
}

}  // namespace truno::window
