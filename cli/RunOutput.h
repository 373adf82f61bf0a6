#pragma once
// What the tool writes of each file it reads: the report and the views of each file on its own,
// or of all of them as one run with --merge (calls, KPIs and checks span the files), and what
// standard error says of each file. The run over the files (run/InputRun.h) tells it as it goes.
#include "run/InputRun.h"
#include "output/ExportDirectory.h"
#include "output/PcapExport.h"
#include "cli/Options.h"
#include "cli/ReportWriter.h"
#include "cli/Views.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace truno {

class RunOutput final : public InputListener {
public:
    // `pcap` and `exports` may be null (no capture file, no export folder).
    RunOutput(const CliOptions& options, const std::vector<InputFile>& inputs, PcapExport* pcap,
              ExportDirectory* exports);

    void beginInput(const InputFile& file, RunOptions& run) override;
    void report(std::string_view text) override {
        if (passReport_)
            writer_->write(text);
        else if (views_)
            views_->writePreparedPieces();
    }
    void endInput(const InputFile& file, const InputResult& result) override;
    void idle() override;

    // The one run of --merge ends: its views finish with the files' summaries added up.
    void finishMerged(const RunSummary& total);
    // --journeys, --cdr: the traces read, their calls are linked and written.
    void finishJourneys();
    // The ends of each input (--ends, --network); false with `error` set when one names no
    // input or a network file cannot be read. Sets each input's switch to its end's.
    static bool resolveEnds(const CliOptions& options, std::vector<InputFile>& inputs, std::vector<TraceEnds>& ends,
                            std::string& error);
    void setEnds(std::vector<TraceEnds> ends) { ends_ = std::move(ends); }

    // The statistics or KPIs in JSON of several files, one array of documents, end.
    void closeDocuments();

    // The exit status so far: 0 when everything was decoded, 1 when not, 2 on an error, else 3
    // when a finding of a kind --fail-on names was made.
    int status() const { return status_ != 2 && foundFailing_ ? 3 : status_; }
    bool writeFailed() const { return writeFailed_; }

private:
    // JSON and CSV name the file in each object and row instead: a line between them would
    // break the document. Files read as one run make one report.
    bool fileLines() const {
        return several_ && options_.format == Format::Text && !options_.merge && !options_.wantsJourneys();
    }
    void notePcapText(const std::string& shown, const RunSummary& summary) const;

    const CliOptions& options_;
    PcapExport* pcap_;
    ExportDirectory* exports_;
    bool several_;
    // The width of the text tables' SWITCH column when files of several switches are one run.
    std::size_t switchColumn_ = 0;
    std::string runName_;  // --merge of several files: "trace.log.2 + 2 files"
    std::optional<ReportWriter> writer_;  // each file's, or the one run's
    // The plain report asks for no facts: the run then keeps no marks and its speed is the
    // report's own.
    std::optional<LogViews> views_;
    bool passReport_ = true;
    bool firstOutput_ = true;  // no file before wrote JSON or CSV output (its CSV header, "[")
    // The first file is a packet capture: the CSV has its columns, and the text tables a route
    // column, for every file of the run.
    bool wire_ = false;
    std::uint64_t pcapTextBefore_ = 0;
    std::unique_ptr<JourneyBuilder> journeys_;  // with --journeys or --cdr
    std::vector<TraceEnds> ends_;               // by input, in the order of the inputs
    std::size_t inputIndex_ = 0;
    int status_ = 0;
    bool foundFailing_ = false;
    bool writeFailed_ = false;
};

}  // namespace truno
