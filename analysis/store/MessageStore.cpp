#include "analysis/store/MessageStore.h"

#include "analysis/store/TimeText.h"
#include "analysis/store/Varint.h"

#include "analysis/facts/MessageSummary.h"
#include "base/OctetText.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <utility>

namespace truno {
namespace {

template <class Number>
Number narrow(std::size_t value) {
    return static_cast<Number>(std::min<std::size_t>(value, std::numeric_limits<Number>::max()));
}

}  // namespace

// ---------------------------------------------------------------- StringPool

StringPool::Ref StringPool::add(std::string_view text) {
    if (pages_.empty() || used_ + text.size() > pageSizes_.back()) {
        const std::size_t size = std::max(kPageBytes, text.size());
        pages_.push_back(std::make_unique_for_overwrite<char[]>(size));
        pageSizes_.push_back(size);
        used_ = 0;
    }
    const Ref ref = (static_cast<Ref>(firstPage_ + pages_.size() - 1) << 32) | used_;
    if (!text.empty()) std::memcpy(pages_.back().get() + used_, text.data(), text.size());
    used_ += text.size();
    return ref;
}

void StringPool::dropBefore(Ref oldest) {
    const std::size_t page = oldest >> 32;
    while (pages_.size() > 1 && firstPage_ < page) {
        pages_.pop_front();
        pageSizes_.pop_front();
        ++firstPage_;
    }
}

std::size_t StringPool::memoryUse() const {
    std::size_t bytes = 0;
    for (const std::size_t size : pageSizes_) bytes += size;
    return bytes;
}

// ---------------------------------------------------------------- MessageStore

MessageStore::MessageStore() = default;
MessageStore::~MessageStore() = default;
MessageStore::MessageStore(MessageStore&&) noexcept = default;
MessageStore& MessageStore::operator=(MessageStore&&) noexcept = default;

void MessageStore::append(MessageBatch&& batch) {
    if (logDate_.empty() && !batch.logDate.empty()) logDate_ = batch.logDate;
    if (!batch.switchNames.empty()) switchNames_ = std::move(batch.switchNames);
    callsUnfinished_ = batch.callsUnfinished;
    for (const MarkLabel& label : batch.newLabels) labels_.push_back(label);
    for (std::string& direction : batch.newDirections) directions_.push_back(std::move(direction));
    for (MessageBatch::NewType& type : batch.newTypes)
        types_.push_back(TypeText{type.code, std::move(type.name), std::move(type.acronym), std::move(type.shown)});
    shapes_.insert(shapes_.end(), batch.newShapes.begin(), batch.newShapes.end());
    for (const std::uint32_t start : batch.newTemplateStarts)
        templateStarts_.push_back(static_cast<std::uint32_t>(templates_.size() + start));
    templates_ += batch.newTemplates;
    for (const WireRow& wire : batch.wires) wires_.push_back(wire);
    for (const auto& [record, first] : batch.farCalls) farCalls_.push_back({record, first});
    const std::string_view strings = batch.strings;
    for (std::size_t k = 0; k < batch.messages.size(); ++k) {
        const MessageBatch::Message& message = batch.messages[k];
        Row row = message.row;
        const std::size_t end = k + 1 < batch.messages.size() ? batch.messages[k + 1].stringsOffset : strings.size();
        row.strings = pool_.add(strings.substr(message.stringsOffset, end - message.stringsOffset));
        rows_.push_back(row);
    }
    const std::string_view callStrings = batch.callStrings;
    for (std::size_t k = 0; k < batch.calls.size(); ++k) {
        CallRow call = batch.calls[k].row;
        // A call that finishes after all its messages have left is not kept.
        if (call.lastRecord <= dropped_) {
            ++droppedCalls_;
            continue;
        }
        const std::size_t begin = batch.calls[k].stringsOffset;
        const std::size_t end = k + 1 < batch.calls.size() ? batch.calls[k + 1].stringsOffset : callStrings.size();
        call.strings = pool_.add(callStrings.substr(begin, end - begin));
        calls_.push_back(call);
    }
    if (!batch.messages.empty()) reportSize_ = batch.reportSize;
}

std::vector<std::size_t> MessageStore::callsLeavingWith(std::size_t count) const {
    const std::uint64_t firstKept = dropped_ + std::min(count, size()) + 1;
    std::vector<std::size_t> leaving;
    for (std::size_t k = 0; k < calls_.size(); ++k)
        if (calls_[k].lastRecord < firstKept) leaving.push_back(k);
    return leaving;
}

void MessageStore::dropOldest(std::size_t count) {
    count = std::min(count, size());
    if (count == 0) return;
    dropped_ += count;
    rows_.dropBefore(dropped_);
    while (!wires_.empty() && wires_.front().record <= dropped_) wires_.pop_front();
    while (!farCalls_.empty() && farCalls_.front().record <= dropped_) farCalls_.pop_front();
    const std::size_t callsBefore = calls_.size();
    std::erase_if(calls_, [this](const CallRow& call) { return call.lastRecord <= dropped_; });
    droppedCalls_ += callsBefore - calls_.size();
    // The oldest string still asked for: the first kept message's. A kept call's strings came
    // after those of its last message, which is kept; they are looked at all the same rather
    // than trusted to, as a page freed too soon would be read after it is gone.
    StringPool::Ref oldest = empty() ? std::numeric_limits<StringPool::Ref>::max() : row(0).strings;
    for (const CallRow& call : calls_) oldest = std::min(oldest, call.strings);
    pool_.dropBefore(oldest);
}

std::string_view MessageStore::sharedText(std::uint64_t code) const {
    const std::size_t index = code >> 1;
    const std::size_t begin = templateStarts_[index];
    const std::size_t end = index + 1 < templateStarts_.size() ? templateStarts_[index + 1] : templates_.size();
    return std::string_view(templates_).substr(begin, end - begin);
}

std::string_view MessageStore::readInfo(const char*& at) const {
    const std::uint64_t code = readVarint(at);
    if ((code & 1) != 0) return sharedText(code);
    const std::string_view info(at, code >> 1);
    at += info.size();
    return info;
}

MessageStore::Strings MessageStore::strings(std::size_t i) const {
    const char* at = pool_.view(row(i).strings, 0).data();
    Strings s;
    s.info = readInfo(at);
    s.textLength = readVarint(at);
    s.logLine = readVarint(at);
    s.trailingOctets = readVarint(at);
    s.timeCode = readVarint(at);
    const std::uint64_t timeLength = timeTextKept(s.timeCode);
    const std::uint64_t reasonLength = readVarint(at);
    const std::uint64_t octetsCode = readVarint(at);
    const std::uint64_t octetsLength = (octetsCode & 1) != 0 ? 0 : octetsCode >> 1;
    s.markCount = readVarint(at);
    const std::uint64_t numbersLength = readVarint(at);
    s.time = {at, timeLength};
    at += timeLength;
    s.reason = {at, reasonLength};
    at += reasonLength;
    s.octets = (octetsCode & 1) != 0 ? sharedText(octetsCode) : std::string_view(at, octetsLength);
    at += octetsLength;
    s.numbers = at;
    s.parts = at + numbersLength;
    return s;
}

std::string MessageStore::time(std::size_t i) const {
    const Strings s = strings(i);
    std::string text;
    return std::string(timeTextOf(s.timeCode, s.time, row(i).at, text));
}

std::uint64_t MessageStore::textEnd(std::size_t i) const {
    const char* at = pool_.view(row(i).strings, 0).data();
    readInfo(at);
    return row(i).textBegin + readVarint(at);
}

std::string_view MessageStore::info(std::size_t i) const {
    // First among the strings, for the sort by info.
    const char* at = pool_.view(row(i).strings, 0).data();
    return readInfo(at);
}

std::string_view MessageStore::reason(std::size_t i) const { return strings(i).reason; }

std::uint64_t MessageStore::callFirstRecord(std::size_t i) const {
    const std::uint32_t distance = row(i).callDistance;
    if (distance == 0) return 0;
    if (distance != kFarCall) return record(i) + 1 - distance;
    const auto far = std::lower_bound(farCalls_.begin(), farCalls_.end(), record(i),
                                      [](const FarCall& f, std::uint64_t record) { return f.record < record; });
    return far != farCalls_.end() && far->record == record(i) ? far->first : 0;
}

const MarkShape& MessageStore::MarkCursor::nextShape() {
    --left_;
    if (partLeft_ == 0) {
        const std::uint64_t part = readVarint(parts_);
        ownPart_ = part == 0;
        steps_ = ownPart_ ? parts_ : store_->templates_.data() + store_->templateStarts_[part - 1];
        partLeft_ = readVarint(steps_);
    }
    --partLeft_;
    return store_->shapes_[readVarint(steps_)];
}

bool MessageStore::MarkCursor::next() {
    if (left_ == 0) return false;
    const MarkShape& shape = nextShape();
    const std::uint64_t step = readVarint(steps_);
    const std::uint64_t begin = shape.absolute ? step : mark_.begin + step;
    mark_ = Mark{.field = shape.field,
                 .number = shape.numberFollows ? readVarint(numbers_) : shape.number,
                 .begin = static_cast<std::uint32_t>(begin),
                 .value = static_cast<std::uint32_t>(static_cast<std::int64_t>(begin) + shape.valueOffset),
                 .code = shape.code,
                 .meaning = shape.meaning,
                 .kind = shape.kind,
                 .hasNumber = shape.hasNumber};
    label_ = shape.label;
    if (ownPart_) parts_ = steps_;
    return true;
}

bool MessageStore::MarkCursor::nextLabel() {
    if (left_ == 0) return false;
    const MarkShape& shape = nextShape();
    skipVarint(steps_);
    if (shape.numberFollows) skipVarint(numbers_);
    label_ = shape.label;
    if (ownPart_) parts_ = steps_;
    return true;
}

MessageStore::MarkCursor MessageStore::marks(std::size_t i) const {
    const Strings s = strings(i);
    MarkCursor cursor;
    cursor.store_ = this;
    cursor.parts_ = s.parts;
    cursor.numbers_ = s.numbers;
    cursor.left_ = s.markCount;
    return cursor;
}

Mark MessageStore::mark(std::size_t i, std::size_t k) const {
    MarkCursor cursor = marks(i);
    for (std::size_t n = 0; n <= k; ++n) cursor.next();
    return cursor.mark();
}

void MessageStore::rowFacts(std::size_t i, RecordFacts& f, std::string& timeText) const {
    const Row& r = row(i);
    const Strings s = strings(i);
    f.record = record(i);
    f.logLine = s.logLine;
    // From the row once taken (each look-up of a row goes through its block).
    f.time = timeTextOf(s.timeCode, s.time, r.at, timeText);
    f.directionText = directions_[r.direction];
    f.direction = directionOf(f.directionText);
    f.hasCallInstanceCode = (r.flags & kHasCallInstanceCode) != 0;
    f.cicOctets = (r.flags & kTwoOctetCode) != 0 ? 2 : 4;
    f.callInstanceCode = r.callInstanceCode;
    f.typeCode = types_[r.type].code;
    f.decoded = (r.flags & kDecoded) != 0;
    f.reason = s.reason;
    f.failure = r.failure;
    f.wire = WireFacts{};
    if ((r.flags & kCaptured) != 0) {
        const auto wire = std::lower_bound(wires_.begin(), wires_.end(), f.record,
                                           [](const WireRow& w, std::uint64_t record) { return w.record < record; });
        if (wire != wires_.end() && wire->record == f.record) f.wire = wire->wire;
    }
}

RecordFacts MessageStore::facts(std::size_t i, const TextSource& text, Scratch& scratch) const {
    const Row& r = row(i);
    RecordFacts f;
    rowFacts(i, f, scratch.time);
    const TypeText& type = types_[r.type];
    f.typeName = type.name;
    f.acronym = type.acronym;
    const Strings s = strings(i);
    const std::string_view octets = s.octets;
    scratch.octets.clear();
    if ((r.flags & kOctetsAsBytes) != 0) {
        scratch.octetText.resize(octets.size() * 2);
        for (std::size_t k = 0; k < octets.size(); ++k) {
            const auto byte = static_cast<unsigned char>(octets[k]);
            scratch.octetText[2 * k] = kUpperHexDigits[byte >> 4];
            scratch.octetText[2 * k + 1] = kUpperHexDigits[byte & 0xF];
        }
        const std::string_view all = scratch.octetText;
        for (std::size_t k = 0; k < octets.size(); ++k) scratch.octets.push_back(all.substr(2 * k, 2));
    } else if (!octets.empty()) {
        std::size_t at = 0;
        for (;;) {
            const std::size_t end = octets.find('\n', at);
            scratch.octets.push_back(octets.substr(at, end == std::string_view::npos ? end : end - at));
            if (end == std::string_view::npos) break;
            at = end + 1;
        }
    }
    f.octets = scratch.octets;
    if ((r.flags & kDated) != 0) f.logDate = logDate_;
    if (s.trailingOctets != 0 && s.trailingOctets <= f.octets.size())
        f.trailingOctets = f.octets.subspan(f.octets.size() - s.trailingOctets);
    if (text) {
        f.text = text(textBegin(i), textEnd(i), scratch.reportPiece);
        f.reportOffset = textBegin(i);
        scratch.marks.clear();
        MarkCursor cursor = marks(i);
        while (cursor.next()) scratch.marks.push_back(cursor.mark());
        f.marks = scratch.marks;
    }
    return f;
}

std::size_t MessageStore::memoryUse() const {
    const std::size_t bytes = rows_.memoryUse() + wires_.size() * sizeof(WireRow) + farCalls_.size() * sizeof(FarCall) +
                              pool_.memoryUse() + calls_.capacity() * sizeof(CallRow) + shapes_.capacity() * sizeof(MarkShape) +
                              templates_.capacity() + templateStarts_.capacity() * sizeof(std::uint32_t);
    return bytes + labels_.capacity() * sizeof(MarkLabel);
}

// ---------------------------------------------------------------- MessageRecorder

MessageRecorder::MessageRecorder()
    : analysis_([this](const AnalysedMessage& m) { message(m); }, [this](const Call& call) { callFinished(call); },
                true) {}

// ---------------------------------------------------------------- MessageRecorder's tables

std::uint16_t MessageRecorder::directionIndex(std::string_view direction) {
    for (std::size_t k = 0; k < directions_.size(); ++k)
        if (directions_[k] == direction) return static_cast<std::uint16_t>(k);
    directions_.emplace_back(direction);
    batch_.newDirections.emplace_back(direction);
    return narrow<std::uint16_t>(directions_.size() - 1);
}

std::uint16_t MessageRecorder::typeIndex(const RecordFacts& record) {
    scratch_.assign(record.typeName);
    scratch_ += '\n';
    scratch_ += record.acronym;
    scratch_ += '\n';
    scratch_ += std::to_string(record.typeCode);
    if (const auto found = types_.find(scratch_); found != types_.end()) return found->second;
    const auto index = narrow<std::uint16_t>(types_.size());
    types_.emplace(scratch_, index);
    std::string shown;
    appendTypeName(shown, record);
    batch_.newTypes.push_back({static_cast<std::int16_t>(record.typeCode), std::string(record.typeName), std::string(record.acronym),
                               std::move(shown)});
    return index;
}

void MessageRecorder::message(const AnalysedMessage& analysed) {
    const RecordFacts& record = analysed.facts.record();
    MessageBatch::Message m;
    MessageStore::Row& row = m.row;
    row.textBegin = record.reportOffset;
    reportSize_ = record.reportOffset + record.text.size();
    row.at = analysed.at.value_or(MessageStore::kNoInstant);
    // The call's first record, kept from this message's number in the store.
    const std::uint64_t number = ++recorded_;
    if (const std::uint64_t first = analysed.callFirstRecord(); first != 0) {
        if (first <= number && number - first + 1 < MessageStore::kFarCall) {
            row.callDistance = static_cast<std::uint32_t>(number - first + 1);
        } else {
            row.callDistance = MessageStore::kFarCall;
            batch_.farCalls.emplace_back(number, first);
        }
    }
    row.callInstanceCode = record.callInstanceCode;
    row.switchIndex = analysed.facts.switchIndex();
    row.type = typeIndex(record);
    row.direction = directionIndex(record.directionText);
    row.failure = record.failure;

    row.flags = static_cast<std::uint8_t>((record.decoded ? MessageStore::kDecoded : 0) |
                                          (record.hasCallInstanceCode ? MessageStore::kHasCallInstanceCode : 0) |
                                          (record.cicOctets == 2 ? MessageStore::kTwoOctetCode : 0));
    if (record.wire.captured) {
        row.flags |= MessageStore::kCaptured;
        batch_.wires.push_back({.record = record.record, .wire = record.wire});
    }
    if (!record.logDate.empty()) {
        row.flags |= MessageStore::kDated;
        if (batch_.logDate.empty()) batch_.logDate = record.logDate;
    }

    std::string& texts = texts_;
    texts.clear();
    texts += record.time.substr(0, std::numeric_limits<std::uint16_t>::max());
    const std::size_t infoAt = texts.size();
    appendSummaryInfo(texts, analysed.facts);
    if (texts.size() - infoAt > std::numeric_limits<std::uint16_t>::max())
        texts.resize(infoAt + std::numeric_limits<std::uint16_t>::max());
    const std::size_t reasonAt = texts.size();
    texts += record.reason;
    const bool asBytes = std::all_of(record.octets.begin(), record.octets.end(), [](std::string_view o) {
        return isHexOctet(o);
    });
    const std::size_t octetsAt = texts.size();
    if (asBytes) {
        row.flags |= MessageStore::kOctetsAsBytes;
        for (const std::string_view o : record.octets)
            texts += static_cast<char>(hexOctetValue(o));
    } else {
        for (std::size_t k = 0; k < record.octets.size(); ++k) {
            if (k != 0) texts += '\n';
            texts += record.octets[k];
        }
    }
    const std::string_view all = texts;
    const MessageTexts kept{.textLength = narrow<std::uint32_t>(record.text.size()),
                            .logLine = record.logLine,
                            .trailingOctets = record.trailingOctets.size(),
                            .time = all.substr(0, infoAt),
                            .info = all.substr(infoAt, reasonAt - infoAt),
                            .reason = all.substr(reasonAt, octetsAt - reasonAt),
                            .octets = all.substr(octetsAt),
                            .instant = row.at};
    m.stringsOffset = narrow<std::uint32_t>(batch_.strings.size());
    encoder_.append(kept, record.marks, batch_);
    batch_.messages.push_back(m);
    batch_.reportSize = reportSize_;
}

namespace {

// The moments of a call the store keeps, with the text of each one's time (CallText), in the
// order of CallRow::present's bits.
struct KeptMoment {
    CallMoment Call::*moment;
    CallText time;
};
constexpr KeptMoment kCallMoments[] = {
    {&Call::first, CallText::FirstTime},
    {&Call::last, CallText::LastTime},
    {&Call::addressComplete, CallText::AddressCompleteTime},
    {&Call::progress, CallText::ProgressTime},
    {&Call::answer, CallText::AnswerTime},
    {&Call::release, CallText::ReleaseTime},
    {&Call::releaseComplete, CallText::ReleaseCompleteTime},
};

// The call's texts that are not a moment's time, by the member that holds each.
struct KeptText {
    std::string Call::*text;
    CallText which;
};
constexpr KeptText kCallTexts[] = {
    {&Call::direction, CallText::Direction}, {&Call::calling, CallText::Calling},
    {&Call::called, CallText::Called},       {&Call::location, CallText::Location},
    {&Call::releasedBy, CallText::ReleasedBy}, {&Call::route, CallText::Route},
};

}  // namespace

void MessageRecorder::callFinished(const Call& call) {
    MessageBatch::FinishedCall finished;
    CallRow& row = finished.row;
    row.callInstanceCode = call.callInstanceCode;
    row.outcome = call.outcome;
    row.switchIndex = call.switchIndex;
    row.firstRecord = call.firstRecord;
    row.lastRecord = call.lastRecord;
    row.messages = call.messages;
    row.notDecoded = call.notDecoded;
    row.cause = call.cause;
    row.setInstants(call.instants());
    std::string& strings = batch_.callStrings;
    finished.stringsOffset = narrow<std::uint32_t>(strings.size());
    std::array<std::string_view, kCallTextCount> texts{};
    for (std::size_t k = 0; k < std::size(kCallMoments); ++k) {
        const CallMoment& moment = call.*kCallMoments[k].moment;
        if (moment.present) row.present = static_cast<std::uint16_t>(row.present | (1u << k));
        texts[static_cast<std::size_t>(kCallMoments[k].time)] = moment.time;
    }
    for (const KeptText& kept : kCallTexts) texts[static_cast<std::size_t>(kept.which)] = call.*kept.text;
    for (std::string_view& text : texts) text = text.substr(0, std::numeric_limits<std::uint16_t>::max());
    appendCallTexts(strings, texts, row);
    batch_.calls.push_back(finished);
}

namespace {

// The call's instant (CallRow::at) whose time of day a text may be: none, -1.
int instantOf(std::size_t text) {
    switch (static_cast<CallText>(text)) {
        case CallText::FirstTime: return 0;
        case CallText::AddressCompleteTime: return 1;
        case CallText::AnswerTime: return 2;
        case CallText::ReleaseTime: return 3;
        default: return -1;
    }
}

// How a call keeps text k: its length, or a time's code (TimeText.h).
std::uint64_t callTextCode(const CallRow& call, std::size_t k, std::string_view text) {
    const int instant = instantOf(k);
    if (instant < 0) return text.size();
    const std::int64_t at = call.at[static_cast<std::size_t>(instant)];
    return timeTextCode(text, at, at != CallRow::kNone);
}

// The length of the text kept for text k's code.
std::uint64_t callTextKept(std::size_t k, std::uint64_t code) { return instantOf(k) < 0 ? code : timeTextKept(code); }

}  // namespace

void appendCallTexts(std::string& out, const std::array<std::string_view, kCallTextCount>& texts, const CallRow& call) {
    std::array<std::uint64_t, kCallTextCount> codes{};
    for (std::size_t k = 0; k < kCallTextCount; ++k) {
        codes[k] = callTextCode(call, k, texts[k]);
        appendVarint(out, codes[k]);
    }
    for (std::size_t k = 0; k < kCallTextCount; ++k)
        if (callTextKept(k, codes[k]) != 0) out += texts[k];
}

CallInstants CallRow::instants() const {
    const auto instant = [](std::int64_t value) { return value == kNone ? std::nullopt : std::optional<std::int64_t>(value); };
    return CallInstants{.opened = (present & kOpened) != 0,
                        .first = instant(at[0]),
                        .addressComplete = instant(at[1]),
                        .answer = instant(at[2]),
                        .release = instant(at[3])};
}

void CallRow::setInstants(const CallInstants& instants) {
    if (instants.opened) present = static_cast<std::uint16_t>(present | kOpened);
    at = {instants.first.value_or(kNone), instants.addressComplete.value_or(kNone), instants.answer.value_or(kNone),
          instants.release.value_or(kNone)};
}

std::string MessageStore::callText(const CallRow& call, CallText which) const {
    const char* at = pool_.view(call.strings, 0).data();
    const auto index = static_cast<std::size_t>(which);
    std::size_t offset = 0;
    std::uint64_t code = 0;
    for (std::size_t k = 0; k < kCallTextCount; ++k) {
        const std::uint64_t read = readVarint(at);
        if (k < index) offset += callTextKept(k, read);
        if (k == index) code = read;
    }
    const std::string_view kept(at + offset, callTextKept(index, code));
    const int instant = instantOf(index);
    if (instant < 0) return std::string(kept);
    std::string text;
    return std::string(timeTextOf(code, kept, call.at[static_cast<std::size_t>(instant)], text));
}

Call MessageStore::call(const CallRow& row) const {
    Call call;
    call.callInstanceCode = row.callInstanceCode;
    call.switchIndex = row.switchIndex;
    if (row.switchIndex < switchNames_.size()) call.switchName = switchNames_[row.switchIndex];
    call.firstRecord = row.firstRecord;
    call.lastRecord = row.lastRecord;
    call.outcome = row.outcome;
    call.messages = row.messages;
    call.notDecoded = row.notDecoded;
    call.cause = row.cause;
    const CallInstants instants = row.instants();
    call.opened = instants.opened;
    for (std::size_t k = 0; k < std::size(kCallMoments); ++k) {
        CallMoment& moment = call.*kCallMoments[k].moment;
        moment.present = (row.present & (1u << k)) != 0;
        moment.time = callText(row, kCallMoments[k].time);
    }
    call.first.at = instants.first;
    call.addressComplete.at = instants.addressComplete;
    call.answer.at = instants.answer;
    call.release.at = instants.release;
    for (const KeptText& kept : kCallTexts) call.*kept.text = callText(row, kept.which);
    return call;
}

MessageBatch MessageRecorder::take() {
    MessageBatch batch = std::move(batch_);
    batch.callsUnfinished = analysis_.callsUnfinished();
    batch_ = MessageBatch{};
    batch_.reportSize = reportSize_;
    batch_.messages.reserve(batch.messages.size());
    batch_.strings.reserve(batch.strings.size());
    return batch;
}

}  // namespace truno
