// The parallel run: batches of consecutive messages decoded by worker threads (the reading thread
// one of them), each into a piece of report of its own, written and handed on in log order.
#include "run/RunParts.h"

#include "base/ReportLayout.h"
#include "base/Times.h"

#include <algorithm>
#include <bitset>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

namespace truno::runparts {
namespace {

// What a batch keeps of each message's record for the facts handed on when it is retired: what
// the thread that decoded it knows, in a few words, so that the reading thread assembles the
// record's facts where it uses them instead of copying them from another thread's memory.
struct BatchRecord {
    std::size_t begin = 0;  // the record in the batch's report
    std::uint32_t marksBegin = 0;
    std::uint32_t marksEnd = 0;
    std::size_t messageEnd = 0;  // DecodingState::MessageEnd of a decoded message
    RecordNote note;
    // The type's name as in the banner: a view of the type table's, or (a type code that is not
    // known) of `names` in the batch's texts.
    std::string_view typeName;
    std::uint32_t reasonBegin = 0;  // why it was not decoded, in the batch's texts
    std::uint32_t reasonSize = 0;
    std::uint32_t nameBegin = 0;  // the type's name when it is in the batch's texts
    bool nameInTexts = false;
    bool decoded = false;
    DecodeFailure failure = DecodeFailure::Internal;
    // Its octets' views in the batch's `octetViews`.
    std::uint32_t octetsBegin = 0;
    std::uint32_t octetCount = 0;
    // What its octets say (setOctetFacts), read while they are at hand.
    bool hasCallInstanceCode = false;
    std::uint32_t callInstanceCode = 0;
    int typeCode = -1;
    std::string_view acronym;
    std::optional<std::int64_t> timeOfDay;  // its TIME read (millisecondsOfDay)
    // Its text written by RunOptions::prepare, in the batch's `prepared`.
    std::size_t preparedBegin = 0;
    std::size_t preparedSplit = 0;
    std::size_t preparedEnd = 0;
    // Its blocks and fields in the batch's, when they are built.
    std::uint32_t blocksBegin = 0;
    std::uint32_t blocksEnd = 0;
    std::uint32_t fieldsBegin = 0;
    std::uint32_t fieldsEnd = 0;
};

// A run of consecutive messages, decoded by one worker into one piece of report. A batch closes
// at kMessages messages (kPreparedMessages when a view's text of each record is written beside
// it) or once its messages hold kData bytes of DATA, whichever comes first,
// so that the batches in flight hold a bounded amount of text whatever the messages are like.
struct Batch {
    static constexpr std::size_t kMessages = 256;
    static constexpr std::size_t kPreparedMessages = 64;
    static constexpr std::size_t kData = std::size_t{64} * 1024;
    std::vector<LogMessage> messages = std::vector<LogMessage>(kMessages);
    std::size_t count = 0;
    std::size_t data = 0;
    std::uint64_t firstCount = 0;  // MessageCount before the first message of the batch
    std::string bcic;
    std::size_t cicOctets = 4;
    Text report;
    std::uint64_t decoded = 0;
    std::uint64_t otherModeTried = 0;  // the batch's share of the mode probe
    std::uint64_t otherModeDecoded = 0;
    bool done = false;
    bool keepFacts = false;
    bool lineFeeds = false;  // RunOptions::lineFeeds
    std::bitset<256> markedTypes;
    std::bitset<256> markedParameters;
    std::vector<BatchRecord> records = std::vector<BatchRecord>(kMessages);
    std::vector<Mark> marks;
    // The octets of every message, one after another, when the facts are kept: room for all of
    // them is made before the first is split, so that the views of each message's octets stay;
    // and the views, each message's after the one's before (the decoding thread writes nothing
    // into the messages the reading thread fills, so that neither takes the other's memory).
    std::string octets;
    std::vector<std::string_view> octetViews;
    std::string texts;  // the reasons of the records not decoded, and unknown types' names
    const RecordPreparer* prepare = nullptr;  // RunOptions::prepare, when set
    Text prepared;
    bool buildFields = false;  // RunOptions::buildFields, with the facts kept
    std::vector<BlockFact> blocks;
    std::vector<FieldFact> fields;
};

// The text of record i of a decoded batch: the next record's begins after the CR LF that
// separates the two.
std::string_view recordText(const Batch& batch, std::size_t i) {
    const std::size_t begin = batch.records[i].begin;
    const std::size_t end = i + 1 < batch.count ? batch.records[i + 1].begin - CRLF.size() : batch.report.size();
    return batch.report.view().substr(begin, end - begin);
}

std::span<const Mark> recordMarks(const Batch& batch, std::size_t i) {
    const BatchRecord& r = batch.records[i];
    return std::span<const Mark>(batch.marks).subspan(r.marksBegin, r.marksEnd - r.marksBegin);
}

// Fills `f` with the facts of message i of a batch that do not depend on the run's report or on
// what the reader knows when the batch is retired (the log's date, its route); every member is
// set, so that one RecordFacts serves all the records of a run. `text` and `marks`: the record's.
void setBatchRecordFacts(RecordFacts& f, const Batch& batch, std::size_t i, std::string_view text,
                         std::span<const Mark> marks) {
    const LogMessage& m = batch.messages[i];
    const BatchRecord& r = batch.records[i];
    f.record = batch.firstCount + i + 1;
    f.logLine = m.startLine;
    f.time = m.time;
    f.timeOfDayRead = true;
    f.timeOfDay = r.timeOfDay;
    f.directionText = m.direction;
    f.direction = directionOf(f.directionText);
    f.cicOctets = batch.cicOctets;
    f.octets = std::span<const std::string_view>(batch.octetViews).subspan(r.octetsBegin, r.octetCount);
    f.trailingOctets = r.messageEnd != 0 && r.messageEnd < r.octetCount ? f.octets.subspan(r.messageEnd)
                                                                           : std::span<const std::string_view>{};
    f.hasCallInstanceCode = r.hasCallInstanceCode;
    f.callInstanceCode = r.callInstanceCode;
    f.typeCode = r.typeCode;
    f.acronym = r.acronym;
    f.msgColumn = m.msg;
    f.typeName = r.nameInTexts ? std::string_view(batch.texts).substr(r.nameBegin, r.typeName.size()) : r.typeName;
    f.decoded = r.decoded;
    f.reason = std::string_view(batch.texts).substr(r.reasonBegin, r.reasonSize);
    f.failure = r.failure;
    f.logDate = {};
    f.route = {};
    f.text = text;
    f.reportOffset = 0;
    f.marks = marks;
    f.wire = {};
    f.prepared = {};
    f.preparedSplit = 0;
    f.builtFields = {};
}

// Worker threads that decode batches. The reading thread counts as one of the jobs: while it
// waits for the oldest batch it decodes waiting batches itself, so N jobs keep N cores busy
// without a thread more than there are jobs.
class BatchPool {
public:
    explicit BatchPool(unsigned jobs) {
        for (unsigned i = 1; i < jobs; ++i) workers_.emplace_back([this] { work(); });
    }
    ~BatchPool() {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            stopping_ = true;
        }
        workAvailable_.notify_all();
        for (auto& w : workers_) w.join();
    }
    BatchPool(const BatchPool&) = delete;
    BatchPool& operator=(const BatchPool&) = delete;

    void submit(Batch* batch) {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            batch->done = false;
            todo_.push_back(batch);
        }
        workAvailable_.notify_one();
    }

    // Waits until `batch` is decoded, decoding waiting batches meanwhile.
    void waitFor(Batch* batch) {
        std::unique_lock<std::mutex> lock(mutex_);
        while (!batch->done) {
            if (todo_.empty()) {
                batchDone_.wait(lock, [this, batch] { return batch->done || !todo_.empty(); });
                continue;
            }
            Batch* other = todo_.front();
            todo_.pop_front();
            lock.unlock();
            decode(*other, callerState_, callerProbe_);
            lock.lock();
            other->done = true;
            batchDone_.notify_all();
        }
    }

private:
    void work() {
        DecodingState state = adjacentState();  // each worker decodes with a state of its own
        ModeProbe probe;
        for (;;) {
            Batch* batch = nullptr;
            {
                std::unique_lock<std::mutex> lock(mutex_);
                workAvailable_.wait(lock, [this] { return stopping_ || !todo_.empty(); });
                if (todo_.empty()) return;
                batch = todo_.front();
                todo_.pop_front();
            }
            decode(*batch, state, probe);
            {
                std::lock_guard<std::mutex> lock(mutex_);
                batch->done = true;
            }
            batchDone_.notify_all();
        }
    }

    static void decode(Batch& batch, DecodingState& state, ModeProbe& probe) {
        state.ReportText.swap(batch.report);
        state.CicOctets = batch.cicOctets;
        probe.tried = 0;
        probe.decoded = 0;
        state.ReportText.clear();
        state.MarkList = batch.keepFacts ? &state.RecordMarks : nullptr;
        state.MarkedTypes = batch.markedTypes;
        state.MarkedParameters = batch.markedParameters;
        state.LogBcic = batch.bcic;
        state.MessageCount = batch.firstCount;
        batch.decoded = 0;
        batch.marks.clear();
        batch.prepared.clear();
        batch.texts.clear();
        if (batch.keepFacts) {
            // The split octets are never longer than the DATA they come from.
            std::size_t data = 0;
            for (std::size_t i = 0; i < batch.count; ++i) data += batch.messages[i].data.size();
            batch.octets.clear();
            batch.octets.reserve(data);
            batch.octetViews.clear();
        }
        RecordFacts prepared;  // a record's facts for RunOptions::prepare
        TimeOfDayReader times;
        for (std::size_t i = 0; i < batch.count; ++i) {
            LogMessage& m = batch.messages[i];
            if (batch.keepFacts) {
                // The octets stay for the facts, in the batch's text of octets (which does not
                // move: room was made for all of them).
                state.MessageOctets.clear();
                splitOctets(m.data, batch.octets, state.MessageOctets);
            } else {
                splitJoined(m.data, state.SplitOctetsText, state.MessageOctets);
            }
            state.MessageTime = m.time;
            state.MessageDirection = m.direction;
            const bool decoded = decodeOne(state, m, probe);
            if (decoded) ++batch.decoded;
            BatchRecord& r = batch.records[i];
            r.messageEnd = decoded ? state.MessageEnd : 0;
            r.note = noteOf(m, state.MessageOctets, state.MessageAcronym, decoded, r.messageEnd);
            if (!batch.keepFacts) continue;
            r.timeOfDay = times.read(m.time);
            r.octetsBegin = static_cast<std::uint32_t>(batch.octetViews.size());
            r.octetCount = static_cast<std::uint32_t>(state.MessageOctets.size());
            batch.octetViews.insert(batch.octetViews.end(), state.MessageOctets.begin(), state.MessageOctets.end());
            RecordFacts& octetFacts = prepared;  // scratch until the record's facts are prepared
            octetFacts.typeCode = -1;
            octetFacts.acronym = {};
            setOctetFacts(octetFacts, state.MessageOctets, batch.cicOctets);
            r.hasCallInstanceCode = octetFacts.hasCallInstanceCode;
            r.callInstanceCode = octetFacts.callInstanceCode;
            r.typeCode = octetFacts.typeCode;
            r.acronym = octetFacts.acronym;
            r.begin = state.RecordBegin;
            r.marksBegin = static_cast<std::uint32_t>(batch.marks.size());
            batch.marks.insert(batch.marks.end(), state.RecordMarks.begin(), state.RecordMarks.end());
            r.marksEnd = static_cast<std::uint32_t>(batch.marks.size());
            r.decoded = decoded;
            r.failure = state.RecordFailure;
            r.reasonBegin = static_cast<std::uint32_t>(batch.texts.size());
            r.reasonSize = static_cast<std::uint32_t>(state.RecordReason.size());
            batch.texts += state.RecordReason;
            // A type table's name stays; that of a type code not known is the state's, which
            // the next message overwrites.
            r.typeName = state.MessageName;
            r.nameInTexts = !state.UnknownTypeName.empty() && state.MessageName.data() == state.UnknownTypeName.data();
            if (r.nameInTexts) {
                r.nameBegin = static_cast<std::uint32_t>(batch.texts.size());
                batch.texts += state.MessageName;
            }
            if (batch.prepare != nullptr) {
                setBatchRecordFacts(prepared, batch, i, state.ReportText.view().substr(r.begin), state.RecordMarks);
                r.preparedBegin = batch.prepared.size();
                r.preparedSplit = (*batch.prepare)(prepared, batch.prepared);
                r.preparedEnd = batch.prepared.size();
            }
        }
        state.ReportText.swap(batch.report);
        if (batch.lineFeeds) batch.report.crLfAsLf();
        if (batch.keepFacts && batch.buildFields) buildFields(batch);
        batch.otherModeTried = probe.tried;
        batch.otherModeDecoded = probe.decoded;
    }

    // Once the batch's report is whole (its text no longer moves), the blocks and fields of each
    // record, while its text and marks are in this thread's caches.
    static void buildFields(Batch& batch) {
        batch.blocks.clear();
        batch.fields.clear();
        for (std::size_t i = 0; i < batch.count; ++i) {
            BatchRecord& r = batch.records[i];
            r.blocksBegin = static_cast<std::uint32_t>(batch.blocks.size());
            r.fieldsBegin = static_cast<std::uint32_t>(batch.fields.size());
            appendRecordFields(recordMarks(batch, i), recordText(batch, i), batch.blocks, batch.fields);
            r.blocksEnd = static_cast<std::uint32_t>(batch.blocks.size());
            r.fieldsEnd = static_cast<std::uint32_t>(batch.fields.size());
        }
    }

    std::vector<std::thread> workers_;
    DecodingState callerState_ = adjacentState();  // the state the reading thread decodes with
    ModeProbe callerProbe_;
    std::mutex mutex_;
    std::condition_variable workAvailable_;
    std::condition_variable batchDone_;
    std::deque<Batch*> todo_;
    bool stopping_ = false;
};

// Sets in `f` the facts of message i of a retired batch whose report begins at `reportOffset` in
// the run's.
void retiredRecordFacts(RecordFacts& f, const Batch& batch, std::size_t i, std::uint64_t reportOffset,
                        std::string_view logDate) {
    const BatchRecord& r = batch.records[i];
    setBatchRecordFacts(f, batch, i, recordText(batch, i), recordMarks(batch, i));
    if (batch.buildFields)
        f.builtFields = BuiltFields{.from = f.marks,
                                    .blocks = std::span<const BlockFact>(batch.blocks).subspan(r.blocksBegin, r.blocksEnd - r.blocksBegin),
                                    .fields = std::span<const FieldFact>(batch.fields).subspan(r.fieldsBegin, r.fieldsEnd - r.fieldsBegin)};
    if (batch.messages[i].dated) f.logDate = logDate;
    f.reportOffset = reportOffset + r.begin;
    if (batch.prepare != nullptr) {
        f.prepared = batch.prepared.view().substr(r.preparedBegin, r.preparedEnd - r.preparedBegin);
        f.preparedSplit = r.preparedSplit - r.preparedBegin;
    }
}

}  // namespace

RunSummary decodeParallel(std::istream& in, const ReportSink& sink, const RunOptions& options) {
    RunSummary summary;
    LogReader reader(in);
    // The octets are split by the threads that decode them (into the message's own text when its
    // facts are handed over: they need its octets when its batch is retired).
    reader.setDeferSplit(true);
    ReportOutput output(sink);
    // Batches in flight: enough to keep the machine's cores busy, and no more, so that memory
    // stays bounded whatever the number of jobs asked for.
    const std::size_t cores = std::max(2u, std::thread::hardware_concurrency());
    const std::size_t maxInFlight = std::min<std::size_t>(std::size_t{4} * options.jobs, 2 * cores + 2);
    std::vector<std::unique_ptr<Batch>> spare;
    std::deque<std::unique_ptr<Batch>> inFlight;
    BatchPool pool(options.jobs);
    RecordNotes notes;
    // A batch whose records' texts for a view are written beside them holds that text too (the
    // messages' JSON: twice the report's bytes): fewer messages a batch keep what is in flight in
    // the caches (with 256, the CPU time of the JSON view grew by a fifth).
    const std::size_t batchMessages = options.records && options.prepare ? Batch::kPreparedMessages : Batch::kMessages;
    RecordFacts facts;  // the facts of each record handed on, in turn

    const auto retireOldest = [&] {
        std::unique_ptr<Batch> batch = std::move(inFlight.front());
        inFlight.pop_front();
        pool.waitFor(batch.get());
        for (std::size_t i = 0; i < batch->count; ++i) notes.add(batch->firstCount + i + 1, batch->records[i].note);
        if (options.records)
            for (std::size_t i = 0; i < batch->count; ++i) {
                retiredRecordFacts(facts, *batch, i, output.written(), reader.pageDate());
                facts.route = reader.route();
                options.records(facts);
            }
        output.write(batch->report);
        summary.decoded += batch->decoded;
        summary.notDecoded += batch->count - batch->decoded;
        summary.otherModeTried += batch->otherModeTried;
        summary.otherModeDecoded += batch->otherModeDecoded;
        spare.push_back(std::move(batch));
    };

    std::unique_ptr<Batch> filling;
    bool more = true;
    while (more) {
        if (!filling) {
            if (spare.empty()) {
                filling = std::make_unique<Batch>();
            } else {
                filling = std::move(spare.back());
                spare.pop_back();
            }
            filling->count = 0;
            filling->data = 0;
            filling->firstCount = options.firstRecord - 1 + summary.found;
            filling->keepFacts = static_cast<bool>(options.records);
            filling->lineFeeds = options.lineFeeds && !options.records;
            filling->markedTypes = options.markedTypes;
            filling->markedParameters = options.markedParameters;
            filling->prepare = options.records && options.prepare ? &options.prepare : nullptr;
            filling->buildFields = options.buildFields && filling->prepare == nullptr;
            filling->cicOctets = options.cicOctets;
        }
        more = reader.next(filling->messages[filling->count]);
        if (more) {
            filling->data += filling->messages[filling->count].data.size();
            ++filling->count;
            ++summary.found;
        }
        const bool stop = cancelled(options.cancel);
        const bool full = filling->count == batchMessages || filling->data >= Batch::kData;
        if (full || (!more && filling->count > 0) || (stop && filling->count > 0)) {
            filling->bcic = reader.bcic();
            pool.submit(filling.get());
            inFlight.push_back(std::move(filling));
            filling = nullptr;
            while (inFlight.size() >= maxInFlight) retireOldest();
        }
        if (stop) {
            summary.cancelled = true;
            break;
        }
    }
    while (!inFlight.empty()) retireOldest();
    finishSummary(summary, reader, notes, options.cicOctets);
    return summary;
}

}  // namespace truno::runparts
