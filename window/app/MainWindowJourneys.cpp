// The main window's journeys: the traces of a network read on their own thread, apart from the
// log on screen, and their journeys shown in the journeys tab.
#include "window/app/MainWindow.h"

#include "window/app/WindowActions.h"
#include "window/views/JourneysView.h"

#include <QTabWidget>
#include <QTimer>

#include <utility>

namespace truno::window {

void MainWindow::openTraces(std::vector<TraceToRead> traces) {
    if (traces.empty()) return;
    // A run still reading is stopped: the traces asked for last are the ones shown.
    journeysJob_.reset();
    const std::uint64_t run = ++journeyRuns_;
    journeysJob_ = std::make_unique<JourneysJob>(std::move(traces), JourneySettings{}, cicOctets_);
    JourneysPane* pane = parts_.journeysPane;
    pane->setReport(nullptr, {});
    pane->setStatus(tr("Reading %n trace(s)...", nullptr, static_cast<int>(journeysJob_->traces())), true);
    // The pane says how far the run has come while it reads.
    auto* progress = new QTimer(pane);
    progress->setInterval(250);
    connect(progress, &QTimer::timeout, pane, [this, pane, progress, run] {
        if (run != journeyRuns_ || !journeysJob_) {
            progress->deleteLater();
            return;
        }
        pane->setStatus(tr("Reading the traces: %1 of %2 read...").arg(journeysJob_->tracesRead()).arg(journeysJob_->traces()), true);
    });
    progress->start();
    journeysJob_->start([this, run] {
        QMetaObject::invokeMethod(this, [this, run] { journeysFinished(run); }, Qt::QueuedConnection);
    });
    viewTabs_->setCurrentWidget(pane);
}

void MainWindow::cancelJourneys() {
    if (journeysJob_) journeysJob_->cancel();
}

void MainWindow::journeysFinished(std::uint64_t run) {
    if (run != journeyRuns_ || !journeysJob_) return;
    journeysJob_->wait();
    const std::unique_ptr<JourneysJob> job = std::move(journeysJob_);
    if (job->completed())
        parts_.journeysPane->setReport(job->takeReport(), job->summary());
    else
        parts_.journeysPane->setStatus(tr("Reading the traces was cancelled."));
    emit journeysEnded();
}

bool MainWindow::openNetwork(const QString& networkFile, const QStringList& paths) {
    std::vector<TraceToRead> traces;
    QString error;
    const bool found = paths.isEmpty() ? tracesOfNetwork(networkFile, traces, error) : tracesOf(paths, networkFile, traces, error);
    if (!found) {
        dialogs_->showError(this, kProgramTitle, error);
        return false;
    }
    openTraces(std::move(traces));
    return true;
}

void MainWindow::openTracesFromDialog() {
    const QStringList paths = dialogs_->chooseLogFiles(this, reportFolder());
    if (paths.isEmpty() || paths.constFirst().isEmpty()) return;
    std::vector<TraceToRead> traces = prefilledTraces(paths);
    if (!dialogs_->chooseTraceEnds(this, traces)) return;
    openTraces(std::move(traces));
}

}  // namespace truno::window
