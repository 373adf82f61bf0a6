#include "analysis/journeys/SightingSpill.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <limits>
#include <tuple>

namespace truno::journeys {

namespace {

// Each run is read through a buffer of this size (more for a call larger than it).
constexpr std::size_t kReadAhead = 16384;

template <class T>
void put(std::string& out, T value) {
    char bytes[sizeof(T)];
    std::memcpy(bytes, &value, sizeof(T));
    out.append(bytes, sizeof(T));
}

void putText(std::string& out, const std::string& text) {
    put(out, static_cast<std::uint32_t>(text.size()));
    out += text;
}

// Reads what put wrote; a record is checked whole before it is read.
struct Reader {
    const char* at;
    template <class T>
    T get() {
        T value;
        std::memcpy(&value, at, sizeof(T));
        at += sizeof(T);
        return value;
    }
    void text(std::string& into) {
        const auto n = get<std::uint32_t>();
        into.assign(at, n);
        at += n;
    }
};

using Instant = std::optional<std::int64_t> Sighting::*;
constexpr Instant kInstants[] = {&Sighting::first,  &Sighting::firstBackward,   &Sighting::addressComplete, &Sighting::answer,
                                 &Sighting::release, &Sighting::releaseComplete, &Sighting::last};
using Code = std::optional<std::uint32_t> Sighting::*;
constexpr Code kCodes[] = {&Sighting::cause, &Sighting::location, &Sighting::category, &Sighting::hopCounter};
using Text = std::string Sighting::*;
constexpr Text kTexts[] = {&Sighting::calling, &Sighting::called,  &Sighting::originalCalled, &Sighting::redirecting,
                           &Sighting::exactKey, &Sighting::iamFrom, &Sighting::iamTo,          &Sighting::iamFacts};

void encode(std::string& out, const Sighting& s) {
    const std::size_t start = out.size();
    put(out, std::uint32_t{0});  // the record's length, set below
    put(out, s.trace);
    put(out, s.cic);
    put(out, s.firstRecord);
    put(out, s.lastRecord);
    put(out, static_cast<std::uint8_t>((s.opened ? 1 : 0) | (s.iamSent ? 2 : 0) | (s.releaseSent ? 4 : 0) | (s.finished ? 8 : 0)));
    put(out, static_cast<std::uint8_t>(s.outcome));
    for (const Instant m : kInstants) {
        put(out, static_cast<std::uint8_t>((s.*m).has_value()));
        if (s.*m) put(out, *(s.*m));
    }
    for (const Code m : kCodes) {
        put(out, static_cast<std::uint8_t>((s.*m).has_value()));
        if (s.*m) put(out, *(s.*m));
    }
    for (const Text m : kTexts) putText(out, s.*m);
    put(out, s.messages);
    put(out, static_cast<std::uint32_t>(s.seen.size()));
    for (const SeenMessage& m : s.seen) {
        put(out, m.at);
        put(out, m.record);
        put(out, m.type);
        put(out, static_cast<std::uint8_t>((m.hasTime ? 1 : 0) | (m.sent ? 2 : 0)));
    }
    const auto length = static_cast<std::uint32_t>(out.size() - start);
    std::memcpy(out.data() + start, &length, sizeof length);
}

void decode(const char* at, Sighting& s) {
    Reader r{at + sizeof(std::uint32_t)};
    s.trace = r.get<std::uint32_t>();
    s.cic = r.get<std::uint32_t>();
    s.firstRecord = r.get<std::uint64_t>();
    s.lastRecord = r.get<std::uint64_t>();
    const auto flags = r.get<std::uint8_t>();
    s.opened = (flags & 1) != 0;
    s.iamSent = (flags & 2) != 0;
    s.releaseSent = (flags & 4) != 0;
    s.finished = (flags & 8) != 0;
    s.outcome = static_cast<CallOutcome>(r.get<std::uint8_t>());
    for (const Instant m : kInstants) {
        if (r.get<std::uint8_t>() != 0)
            s.*m = r.get<std::int64_t>();
        else
            (s.*m).reset();
    }
    for (const Code m : kCodes) {
        if (r.get<std::uint8_t>() != 0)
            s.*m = r.get<std::uint32_t>();
        else
            (s.*m).reset();
    }
    for (const Text m : kTexts) r.text(s.*m);
    s.messages = r.get<std::uint32_t>();
    s.seen.resize(r.get<std::uint32_t>());
    for (SeenMessage& m : s.seen) {
        m.at = r.get<std::int64_t>();
        m.record = r.get<std::uint32_t>();
        m.type = r.get<std::uint8_t>();
        const auto bits = r.get<std::uint8_t>();
        m.hasTime = (bits & 1) != 0;
        m.sent = (bits & 2) != 0;
    }
}

// Positions in the temporary file past 2 GiB: `long` has 32 bits on Windows.
int seekTo(std::FILE* file, std::uint64_t at) {
#if defined(_WIN32)
    return _fseeki64(file, static_cast<__int64>(at), SEEK_SET);
#else
    return fseeko(file, static_cast<off_t>(at), SEEK_SET);
#endif
}

}  // namespace

struct SightingSpill::Run {
    std::uint64_t at = 0, end = 0;  // what is left of it in the file
    // A run kept in memory, when there is no temporary file or writing it failed: nothing is
    // lost, only the memory is no longer bounded.
    bool inMemory = false;
    std::string buffer;             // read from the file, not yet decoded from `used` on
    std::size_t used = 0;
    // Of the sighting at `used`: its key, trace and first record.
    std::int64_t key = 0;
    std::uint32_t trace = 0;
    std::uint64_t firstRecord = 0;
};

SightingSpill::SightingSpill(bool useFile) : file_(useFile ? std::tmpfile() : nullptr) {}

SightingSpill::~SightingSpill() {
    if (file_ != nullptr) std::fclose(file_);
}

void SightingSpill::add(const Sighting& call, std::size_t runCalls) {
    if (pending_.size() <= call.trace) pending_.resize(call.trace + 1);
    Pending& pending = pending_[call.trace];
    const auto at = static_cast<std::uint32_t>(pending.records.size());
    encode(pending.records, call);
    pending.calls.push_back(Waiting{.first = call.first.value_or(std::numeric_limits<std::int64_t>::min()),
                                    .firstRecord = call.firstRecord,
                                    .at = at,
                                    .length = static_cast<std::uint32_t>(pending.records.size() - at)});
    if (pending.calls.size() >= runCalls) writeRun(pending);
}

void SightingSpill::flush() {
    for (Pending& pending : pending_) writeRun(pending);
}

void SightingSpill::writeRun(Pending& pending) {
    if (pending.calls.empty()) return;
    std::sort(pending.calls.begin(), pending.calls.end(), [](const Waiting& a, const Waiting& b) {
        return std::make_pair(a.first, a.firstRecord) < std::make_pair(b.first, b.firstRecord);
    });
    buffer_.clear();
    for (const Waiting& w : pending.calls) buffer_.append(pending.records, w.at, w.length);
    pending.calls.clear();
    pending.records.clear();
    auto run = std::make_unique<Run>();
    if (file_ != nullptr && seekTo(file_, written_) == 0 &&
        std::fwrite(buffer_.data(), 1, buffer_.size(), file_) == buffer_.size()) {
        run->at = written_;
        written_ += buffer_.size();
        run->end = written_;
    } else {
        run->inMemory = true;
        run->buffer = buffer_;
    }
    runs_.push_back(std::move(run));
}

// At least one whole record of the run in its buffer; false: the run is read.
bool SightingSpill::fill(Run& run) {
    const auto whole = [&run] {
        if (run.buffer.size() - run.used < sizeof(std::uint32_t)) return false;
        std::uint32_t length = 0;
        std::memcpy(&length, run.buffer.data() + run.used, sizeof length);
        return run.buffer.size() - run.used >= length;
    };
    while (!whole()) {
        if (run.inMemory || run.at >= run.end) return false;
        run.buffer.erase(0, run.used);
        run.used = 0;
        const std::size_t want = static_cast<std::size_t>(std::min<std::uint64_t>(kReadAhead, run.end - run.at));
        const std::size_t had = run.buffer.size();
        run.buffer.resize(had + want);
        if (seekTo(file_, run.at) != 0 ||
            std::fread(run.buffer.data() + had, 1, want, file_) != want) {
            error_ = std::string("cannot read the temporary file: ") + std::strerror(errno);
            run.at = run.end;
            return false;
        }
        run.at += want;
    }
    return true;
}

void SightingSpill::beginMerge(Key key) {
    flush();
    key_ = std::move(key);
    heap_.clear();
    if (file_ != nullptr && std::fflush(file_) != 0) error_ = std::string("cannot write the temporary file: ") + std::strerror(errno);
    for (std::size_t k = 0; k < runs_.size(); ++k) push(k);
}

// The least key on top of the heap: a run's next sighting is later than another's.
bool SightingSpill::later(std::size_t a, std::size_t b) const {
    const Run& x = *runs_[a];
    const Run& y = *runs_[b];
    return std::make_tuple(y.key, y.trace, y.firstRecord) < std::make_tuple(x.key, x.trace, x.firstRecord);
}

// The run's next sighting looked at (its trace, first record and first instant, read from the
// head of its record), and the run put on the heap if it has one.
void SightingSpill::push(std::size_t k) {
    Run& run = *runs_[k];
    if (!fill(run)) {
        run.buffer = std::string();
        return;
    }
    Reader r{run.buffer.data() + run.used + sizeof(std::uint32_t)};
    run.trace = r.get<std::uint32_t>();
    r.get<std::uint32_t>();  // the circuit
    run.firstRecord = r.get<std::uint64_t>();
    r.get<std::uint64_t>();  // the last record
    r.get<std::uint8_t>();   // the flags
    r.get<std::uint8_t>();   // the outcome
    std::optional<std::int64_t> first;
    if (r.get<std::uint8_t>() != 0) first = r.get<std::int64_t>();  // the first of the instants
    run.key = key_(run.trace, first);
    heap_.push_back(k);
    std::push_heap(heap_.begin(), heap_.end(), [this](std::size_t a, std::size_t b) { return later(a, b); });
}

bool SightingSpill::peek(std::int64_t& key) const {
    if (heap_.empty()) return false;
    key = runs_[heap_.front()]->key;
    return true;
}

void SightingSpill::pop(Sighting& into) {
    std::pop_heap(heap_.begin(), heap_.end(), [this](std::size_t a, std::size_t b) { return later(a, b); });
    const std::size_t k = heap_.back();
    heap_.pop_back();
    Run& run = *runs_[k];
    decode(run.buffer.data() + run.used, into);
    std::uint32_t length = 0;
    std::memcpy(&length, run.buffer.data() + run.used, sizeof length);
    run.used += length;
    push(k);
}

}  // namespace truno::journeys
