#include "window/log/JourneysJob.h"

#include "analysis/pipeline/TraceEndsFile.h"
#include "output/JourneyExports.h"
#include "run/capture/CaptureReader.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <fstream>
#include <sstream>
#include <utility>

namespace truno::window {
namespace {

InputFile inputOf(const QString& path) {
    const std::string name = QFile::encodeName(path).toStdString();
    return {.path = name, .shown = QFileInfo(path).fileName().toStdString(), .switchName = switchOfFile(name)};
}

// Whether the file at `path` is a packet capture (gzip-compressed ones are not looked into) and
// the OPC of its first ISUP or BICC message, where it has one.
bool captureSide(const QString& path, std::optional<std::uint32_t>& side) {
    std::ifstream in(QFile::encodeName(path).toStdString(), std::ios::binary);
    char head[4] = {};
    in.read(head, sizeof head);
    if (!isCaptureStart(std::string_view(head, static_cast<std::size_t>(in.gcount())))) return false;
    in.clear();
    in.seekg(0);
    CaptureReader reader(in);
    // A capture's first messages tell its side; a few thousand without ISUP or BICC tell nothing.
    CapturedMessage m;
    for (int k = 0; k < 4096 && reader.next(m); ++k) {
        if (!m.pointCodesKnown || (m.si != kServiceIndicatorIsup && m.si != kServiceIndicatorBicc)) continue;
        side = m.opc;
        break;
    }
    return true;
}

}  // namespace

bool tracesOf(const QStringList& paths, const QString& networkFile, std::vector<TraceToRead>& traces, QString& error) {
    std::vector<EndsRow> rows;
    std::string why;
    if (!networkFile.isEmpty() && !readNetworkFile(QFile::encodeName(networkFile).toStdString(), rows, why)) {
        error = QString::fromStdString(why);
        return false;
    }
    std::vector<InputFile> inputs;
    for (const QString& path : paths) inputs.push_back(inputOf(path));
    std::vector<TraceEnds> ends;
    if (!matchTraceEnds(rows, inputs, ends, why)) {
        error = QString::fromStdString(why);
        return false;
    }
    traces.clear();
    for (std::size_t k = 0; k < ends.size(); ++k)
        traces.push_back({.path = paths[static_cast<qsizetype>(k)], .ends = std::move(ends[k]), .capture = false, .localPointCode = std::nullopt});
    return true;
}

bool tracesOfNetwork(const QString& networkFile, std::vector<TraceToRead>& traces, QString& error) {
    std::vector<EndsRow> rows;
    std::string why;
    if (!readNetworkFile(QFile::encodeName(networkFile).toStdString(), rows, why)) {
        error = QString::fromStdString(why);
        return false;
    }
    // Each file once, in the order of its first line, with the ends of its last.
    const QDir folder = QFileInfo(networkFile).absoluteDir();
    traces.clear();
    for (const EndsRow& row : rows) {
        const QString path = QDir::cleanPath(folder.absoluteFilePath(QFile::decodeName(row[0].c_str())));
        const auto same = std::find_if(traces.begin(), traces.end(), [&](const TraceToRead& t) { return t.path == path; });
        TraceToRead& trace = same != traces.end() ? *same : traces.emplace_back(TraceToRead{.path = path, .ends = {}, .capture = false, .localPointCode = std::nullopt});
        trace.ends = TraceEnds{.file = inputOf(path).shown, .self = row[1], .far = row[2], .declared = true};
    }
    if (traces.empty()) {
        error = QStringLiteral("the network file '%1' names no trace").arg(networkFile);
        return false;
    }
    return true;
}

std::vector<TraceToRead> prefilledTraces(const QStringList& paths, QString networkFile) {
    if (networkFile.isEmpty() && !paths.isEmpty()) {
        const QString beside = QFileInfo(paths.constFirst()).absoluteDir().absoluteFilePath(QStringLiteral("network"));
        if (QFileInfo(beside).isFile()) networkFile = beside;
    }
    std::vector<InputFile> inputs;
    for (const QString& path : paths) inputs.push_back(inputOf(path));
    std::vector<EndsRow> rows;
    std::string why;
    if (!networkFile.isEmpty() && readNetworkFile(QFile::encodeName(networkFile).toStdString(), rows, why)) {
        // Rows naming other files are left out.
        std::erase_if(rows, [&](const EndsRow& row) {
            return std::none_of(inputs.begin(), inputs.end(), [&](const InputFile& input) {
                return row[0] == input.path || row[0] == input.shown;
            });
        });
    } else {
        rows.clear();
    }
    std::vector<TraceEnds> ends;
    if (!matchTraceEnds(rows, inputs, ends, why)) ends.clear();
    std::vector<TraceToRead> traces;
    for (qsizetype k = 0; k < paths.size(); ++k) {
        const auto index = static_cast<std::size_t>(k);
        TraceToRead trace{.path = paths[k],
                          .ends = index < ends.size() ? ends[index] : TraceEnds{.file = inputs[index].shown, .self = inputs[index].switchName, .far = {}, .declared = false},
                          .capture = false, .localPointCode = std::nullopt};
        std::optional<std::uint32_t> side;
        trace.capture = captureSide(paths[k], side);
        if (trace.capture && !trace.ends.declared && side) trace.ends.self = std::to_string(*side);
        traces.push_back(std::move(trace));
    }
    return traces;
}

void answerTraceEnds(TraceToRead& trace, const QString& self, const QString& far) {
    const std::string given = self.trimmed().toStdString();
    const std::string givenFar = far.trimmed().toStdString();
    if (given == trace.ends.self && givenFar == trace.ends.far) return;
    bool number = false;
    const uint code = self.trimmed().toUInt(&number);
    if (trace.capture && number && givenFar.empty()) {
        trace.localPointCode = code;
        trace.ends.self = given;
        trace.ends.declared = false;
        return;
    }
    trace.ends.declared = !given.empty();
    trace.ends.self = trace.ends.declared ? given : switchOfFile(QFile::encodeName(trace.path).toStdString());
    trace.ends.far = givenFar;
}

JourneysJob::JourneysJob(std::vector<TraceToRead> traces, JourneySettings settings, std::size_t cicOctets)
    : cicOctets_(cicOctets),
      builder_(std::move(settings)),
      analysis_([this](const AnalysedMessage& m) { builder_.message(trace_, m.facts, m.at, m.call); },
                [this](const Call& call) { builder_.callFinished(trace_, call); }, false) {
    for (TraceToRead& t : traces) {
        InputFile input = inputOf(t.path);
        input.switchName = t.ends.self;
        inputs_.push_back(std::move(input));
        ends_.push_back(std::move(t.ends));
        localPointCodes_.push_back(t.localPointCode);
    }
}

JourneysJob::~JourneysJob() {
    cancel();
    wait();
}

void JourneysJob::start(std::function<void()> onEnd) {
    onEnd_ = std::move(onEnd);
    thread_ = std::thread([this] { run(); });
}

void JourneysJob::wait() {
    if (thread_.joinable()) thread_.join();
}

void JourneysJob::run() {
    InputRunOptions options;
    options.run.cancel = &cancel_;
    options.run.cicOctets = cicOctets_;
    options.fileJobs = defaultJobs();
    options.merge = false;
    const RunSummary total = runInputs(inputs_, options, *this);
    completed_ = !total.cancelled && !cancel_.load(std::memory_order_relaxed);
    if (completed_) {
        report_ = std::make_unique<JourneyReport>(builder_.finish());
        std::string text;
        appendJourneySummary(text, *report_);
        std::istringstream lines(text);
        for (std::string line; std::getline(lines, line);) summary_ << QString::fromStdString(line);
    }
    if (onEnd_) onEnd_();
}

void JourneysJob::beginInput(const InputFile& file, RunOptions& options) {
    analysis_.beginSwitch(file.switchName);
    trace_ = builder_.beginTrace(ends_[input_]);
    if (options.capture && localPointCodes_[input_]) options.localPointCodes = {*localPointCodes_[input_]};
    options.records = [this](const RecordFacts& record) { analysis_.add(record); };
    options.buildFields = true;  // the analysis takes each record's fields as the threads built them
    options.markedTypes = analysis_.markedTypes();
}

void JourneysJob::endInput(const InputFile& file, const InputResult& result) {
    ++input_;
    if (!result.read) {
        summary_ << QString::fromStdString(result.error);
        return;
    }
    // Each trace's open calls finish at its end, as the tool's do.
    analysis_.finish();
    if (!result.readError.empty()) summary_ << QString::fromStdString(file.shown + ": " + result.readError);
    tracesRead_.fetch_add(1, std::memory_order_relaxed);
}

}  // namespace truno::window
