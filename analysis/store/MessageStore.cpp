#include "analysis/store/MessageStore.h"

#include "analysis/facts/MessageSummary.h"
#include "base/OctetText.h"
#include "dispatch/ParameterTable.h"

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
        types_.push_back(TypeText{std::move(type.name), std::move(type.acronym), std::move(type.shown)});
    const std::uint64_t firstMark = marks_.size();
    for (const CompactMark& mark : batch.marks) marks_.push_back(mark);
    for (WideMark wide : batch.wideMarks) {
        wide.index += firstMark;
        wideMarks_.push_back(wide);
    }
    for (const WireRow& wire : batch.wires) wires_.push_back(wire);
    std::uint64_t markAt = firstMark;
    const std::string_view strings = batch.strings;
    for (std::size_t k = 0; k < batch.messages.size(); ++k) {
        const MessageBatch::Message& message = batch.messages[k];
        Row row = message.row;
        const std::size_t end = k + 1 < batch.messages.size() ? batch.messages[k + 1].stringsOffset : strings.size();
        row.strings = pool_.add(strings.substr(message.stringsOffset, end - message.stringsOffset));
        row.marksBegin = markAt;
        markAt += message.markCount;
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
    const std::uint64_t firstMark = empty() ? marks_.size() : row(0).marksBegin;
    marks_.dropBefore(firstMark);
    wideMarks_.erase(wideMarks_.begin(),
                     std::lower_bound(wideMarks_.begin(), wideMarks_.end(), firstMark,
                                      [](const WideMark& w, std::uint64_t at) { return w.index < at; }));
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

std::string_view MessageStore::time(std::size_t i) const { return pool_.view(row(i).strings, row(i).timeLength); }

std::string_view MessageStore::info(std::size_t i) const {
    const Row& r = row(i);
    return pool_.view(r.strings + r.timeLength, r.infoLength);
}

std::string_view MessageStore::reason(std::size_t i) const {
    const Row& r = row(i);
    return pool_.view(r.strings + r.timeLength + r.infoLength, r.reasonLength);
}

std::size_t MessageStore::markCount(std::size_t i) const {
    const std::uint64_t end = i + 1 < size() ? row(i + 1).marksBegin : marks_.size();
    return end - row(i).marksBegin;
}

Mark MessageStore::mark(std::size_t i, std::size_t k) const {
    const std::uint64_t index = row(i).marksBegin + k;
    const CompactMark& m = marks_[index];
    if ((m.bits & 7u) == CompactMark::kWide) {
        const auto wide = std::lower_bound(wideMarks_.begin(), wideMarks_.end(), index,
                                           [](const WideMark& w, std::uint64_t at) { return w.index < at; });
        return wide->mark;
    }
    const MarkLabel& label = labels_[m.label];
    return Mark{.field = label.field,
                .number = m.number,
                .begin = m.begin,
                .value = static_cast<std::uint32_t>(m.begin + m.valueOffset),
                .code = label.code,
                .meaning = static_cast<std::uint16_t>(m.bits >> 4),
                .kind = static_cast<MarkKind>(m.bits & 7u),
                .hasNumber = (m.bits & 8u) != 0};
}

void MessageStore::rowFacts(std::size_t i, RecordFacts& f) const {
    const Row& r = row(i);
    f.record = record(i);
    f.logLine = r.logLine;
    // From the row once taken (each look-up of a row goes through its block).
    f.time = pool_.view(r.strings, r.timeLength);
    f.directionText = directions_[r.direction];
    f.direction = directionOf(f.directionText);
    f.hasCallInstanceCode = (r.flags & kHasCallInstanceCode) != 0;
    f.cicOctets = (r.flags & kTwoOctetCode) != 0 ? 2 : 4;
    f.callInstanceCode = r.callInstanceCode;
    f.typeCode = r.typeCode;
    f.decoded = (r.flags & kDecoded) != 0;
    f.reason = pool_.view(r.strings + r.timeLength + r.infoLength, r.reasonLength);
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
    rowFacts(i, f);
    const TypeText& type = types_[r.type];
    f.typeName = type.name;
    f.acronym = type.acronym;
    const std::string_view octets = pool_.view(r.strings + r.timeLength + r.infoLength + r.reasonLength, r.octetsLength);
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
    if (r.trailingOctets != 0 && r.trailingOctets <= f.octets.size())
        f.trailingOctets = f.octets.subspan(f.octets.size() - r.trailingOctets);
    if (text) {
        f.text = text(textBegin(i), textEnd(i), scratch.reportPiece);
        f.reportOffset = textBegin(i);
        scratch.marks.clear();
        const std::size_t count = markCount(i);
        for (std::size_t k = 0; k < count; ++k) scratch.marks.push_back(mark(i, k));
        f.marks = scratch.marks;
    }
    return f;
}

std::size_t MessageStore::memoryUse() const {
    std::size_t bytes = rows_.memoryUse() + wires_.size() * sizeof(WireRow) + marks_.memoryUse() + pool_.memoryUse() +
                        wideMarks_.capacity() * sizeof(WideMark) + calls_.capacity() * sizeof(CallRow);
    return bytes + labels_.capacity() * sizeof(MarkLabel);
}

// ---------------------------------------------------------------- MessageRecorder

MessageRecorder::MessageRecorder()
    : analysis_([this](const AnalysedMessage& m) { message(m); }, [this](const Call& call) { callFinished(call); },
                true) {}

std::uint16_t MessageRecorder::labelIndex(const Mark& mark) {
    const bool parameter = mark.kind == MarkKind::Parameter;
    std::uint16_t* found = nullptr;
    if (parameter) {
        const auto at = parameterLabels_.find(mark.code);
        if (at != parameterLabels_.end()) return at->second;
    } else {
        const auto at = fieldLabels_.find(mark.field);
        if (at != fieldLabels_.end()) return at->second;
    }
    const std::uint16_t index = labelCount_++;
    MarkLabel label;
    if (parameter) {
        label.code = mark.code;
        const ParameterRow* row = mark.code >= 0 && mark.code <= 255 ? findParameter(static_cast<std::uint8_t>(mark.code)) : nullptr;
        label.label = row != nullptr ? row->name : kUnknownParameterName;
        found = &parameterLabels_[mark.code];
    } else {
        label.field = mark.field;
        if (mark.field != nullptr) label.label = mark.field->label.text();
        found = &fieldLabels_[mark.field];
    }
    *found = index;
    batch_.newLabels.push_back(label);
    return index;
}

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
    batch_.newTypes.push_back({std::string(record.typeName), std::string(record.acronym), std::move(shown)});
    return index;
}

void MessageRecorder::message(const AnalysedMessage& analysed) {
    const RecordFacts& record = analysed.facts.record();
    MessageBatch::Message m;
    MessageStore::Row& row = m.row;
    row.textBegin = record.reportOffset;
    row.textLength = narrow<std::uint32_t>(record.text.size());
    reportSize_ = record.reportOffset + record.text.size();
    row.logLine = record.logLine;
    row.at = analysed.at.value_or(MessageStore::kNoInstant);
    row.callFirstRecord = analysed.callFirstRecord();
    row.callInstanceCode = record.callInstanceCode;
    row.switchIndex = analysed.facts.switchIndex();
    row.typeCode = static_cast<std::int16_t>(record.typeCode);
    row.type = typeIndex(record);
    row.direction = directionIndex(record.directionText);
    row.failure = record.failure;
    row.trailingOctets = narrow<std::uint32_t>(record.trailingOctets.size());

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

    std::string& strings = batch_.strings;
    m.stringsOffset = narrow<std::uint32_t>(strings.size());
    const std::string_view time = record.time.substr(0, std::numeric_limits<std::uint16_t>::max());
    strings += time;
    row.timeLength = static_cast<std::uint16_t>(time.size());
    const std::size_t infoAt = strings.size();
    appendSummaryInfo(strings, analysed.facts);
    if (strings.size() - infoAt > std::numeric_limits<std::uint16_t>::max())
        strings.resize(infoAt + std::numeric_limits<std::uint16_t>::max());
    row.infoLength = static_cast<std::uint16_t>(strings.size() - infoAt);
    strings += record.reason;
    row.reasonLength = narrow<std::uint32_t>(record.reason.size());
    const bool asBytes = std::all_of(record.octets.begin(), record.octets.end(), [](std::string_view o) {
        return isHexOctet(o);
    });
    const std::size_t octetsAt = strings.size();
    if (asBytes) {
        row.flags |= MessageStore::kOctetsAsBytes;
        for (const std::string_view o : record.octets)
            strings += static_cast<char>(hexOctetValue(o));
    } else {
        for (std::size_t k = 0; k < record.octets.size(); ++k) {
            if (k != 0) strings += '\n';
            strings += record.octets[k];
        }
    }
    row.octetsLength = narrow<std::uint32_t>(strings.size() - octetsAt);

    for (const Mark& mark : record.marks) {
        CompactMark compact{.begin = static_cast<std::uint16_t>(mark.begin),
                            .label = labelIndex(mark),
                            .number = static_cast<std::uint16_t>(mark.number),
                            .valueOffset = static_cast<std::uint8_t>(mark.value - mark.begin),
                            .bits = static_cast<std::uint8_t>(static_cast<unsigned>(mark.kind) |
                                                              (mark.hasNumber ? 8u : 0u) | (static_cast<unsigned>(mark.meaning) << 4u))};
        const bool fits = mark.begin <= std::numeric_limits<std::uint16_t>::max() && mark.value >= mark.begin &&
                          mark.value - mark.begin <= 255 && mark.number <= std::numeric_limits<std::uint16_t>::max() &&
                          mark.meaning <= 15;
        if (!fits) {
            compact.bits = CompactMark::kWide;
            batch_.wideMarks.push_back(WideMark{.index = batch_.marks.size(), .mark = mark});
        }
        batch_.marks.push_back(compact);
    }
    m.markCount = narrow<std::uint32_t>(record.marks.size());
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
    row.instants = call.instants();
    std::string& strings = batch_.callStrings;
    finished.stringsOffset = narrow<std::uint32_t>(strings.size());
    std::array<std::string_view, kCallTextCount> texts{};
    for (std::size_t k = 0; k < std::size(kCallMoments); ++k) {
        const CallMoment& moment = call.*kCallMoments[k].moment;
        if (moment.present) row.present = static_cast<std::uint16_t>(row.present | (1u << k));
        texts[static_cast<std::size_t>(kCallMoments[k].time)] = moment.time;
    }
    for (const KeptText& kept : kCallTexts) texts[static_cast<std::size_t>(kept.which)] = call.*kept.text;
    for (std::size_t k = 0; k < kCallTextCount; ++k) {
        const std::string_view text = texts[k].substr(0, std::numeric_limits<std::uint16_t>::max());
        strings += text;
        row.lengths[k] = static_cast<std::uint16_t>(text.size());
    }
    batch_.calls.push_back(finished);
}

std::string_view MessageStore::callText(const CallRow& call, CallText which) const {
    std::size_t offset = 0;
    const auto index = static_cast<std::size_t>(which);
    for (std::size_t k = 0; k < index; ++k) offset += call.lengths[k];
    return pool_.view(call.strings + offset, call.lengths[index]);
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
    call.opened = row.instants.opened;
    for (std::size_t k = 0; k < std::size(kCallMoments); ++k) {
        CallMoment& moment = call.*kCallMoments[k].moment;
        moment.present = (row.present & (1u << k)) != 0;
        moment.time = callText(row, kCallMoments[k].time);
    }
    call.first.at = row.instants.first;
    call.addressComplete.at = row.instants.addressComplete;
    call.answer.at = row.instants.answer;
    call.release.at = row.instants.release;
    for (const KeptText& kept : kCallTexts) call.*kept.text = callText(row, kept.which);
    return call;
}

MessageBatch MessageRecorder::take() {
    MessageBatch batch = std::move(batch_);
    batch.callsUnfinished = analysis_.callsUnfinished();
    batch_ = MessageBatch{};
    batch_.reportSize = reportSize_;
    batch_.messages.reserve(batch.messages.size());
    batch_.marks.reserve(batch.marks.size());
    batch_.strings.reserve(batch.strings.size());
    return batch;
}

}  // namespace truno
