// The marks and texts of the stored messages in few bytes: MessageEncoder.
#include "analysis/store/MessageStore.h"
#include "analysis/store/TimeText.h"
#include "analysis/store/Varint.h"
#include "dispatch/ParameterTable.h"

#include <algorithm>
#include <cstring>

namespace truno {

std::size_t MessageEncoder::ShapeHash::operator()(const MarkShape& shape) const {
    std::size_t h = std::hash<const void*>{}(shape.field);
    const auto mix = [&h](std::uint64_t value) { h = (h ^ value) * 0x100000001B3u; };
    mix(shape.number);
    mix(static_cast<std::uint64_t>(shape.valueOffset));
    mix(static_cast<std::uint64_t>(static_cast<std::uint16_t>(shape.code)) | (std::uint64_t{shape.meaning} << 16) |
        (static_cast<std::uint64_t>(shape.kind) << 32) | (std::uint64_t{shape.hasNumber} << 40) |
        (std::uint64_t{shape.numberFollows} << 41) | (std::uint64_t{shape.absolute} << 42));
    return h;
}

bool MessageEncoder::ShapeEqual::operator()(const MarkShape& a, const MarkShape& b) const {
    return a.field == b.field && a.number == b.number && a.valueOffset == b.valueOffset && a.code == b.code &&
           a.meaning == b.meaning && a.kind == b.kind && a.hasNumber == b.hasNumber && a.numberFollows == b.numberFollows &&
           a.absolute == b.absolute;
}

std::uint16_t MessageEncoder::labelIndex(const Mark& mark, MessageBatch& batch) {
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
    batch.newLabels.push_back(label);
    return index;
}

std::string_view MessageEncoder::templateAt(std::uint32_t index) const {
    const std::size_t begin = templateStarts_[index];
    const std::size_t end = index + 1 < templateStarts_.size() ? templateStarts_[index + 1] : templates_.size();
    return std::string_view(templates_).substr(begin, end - begin);
}

void MessageEncoder::forgetSeenOnce() {
    std::vector<Slot> shared;
    for (const Slot& slot : slots_)
        if (slot.index != kEmpty && slot.index != kSeenOnce) shared.push_back(slot);
    std::fill(slots_.begin(), slots_.end(), Slot{});
    for (const Slot& slot : shared) {
        std::size_t at = slot.hash & (kSlots - 1);
        while (slots_[at].index != kEmpty) at = (at + 1) & (kSlots - 1);
        slots_[at] = slot;
    }
    slotsUsed_ = shared.size();
}

std::uint64_t MessageEncoder::shared(std::string_view part, MessageBatch& batch) {
    if (slots_.empty()) slots_.resize(kSlots);
    const auto hash = static_cast<std::uint32_t>(std::hash<std::string_view>{}(part));
    for (std::size_t at = hash & (kSlots - 1);; at = (at + 1) & (kSlots - 1)) {
        Slot& slot = slots_[at];
        if (slot.index == kEmpty) {
            // Met for the first time: the message keeps it, and a second one will share it.
            if (slotsUsed_ + 1 > kSlots / 4 * 3) {
                forgetSeenOnce();
                return 0;
            }
            slot = Slot{.hash = hash, .index = kSeenOnce};
            ++slotsUsed_;
            return 0;
        }
        if (slot.hash != hash) continue;
        if (slot.index == kSeenOnce) {
            if (templateStarts_.size() >= kMaxTemplates || templates_.size() + part.size() > kMaxTemplateBytes) return 0;
            slot.index = static_cast<std::uint32_t>(templateStarts_.size());
            templateStarts_.push_back(static_cast<std::uint32_t>(templates_.size()));
            templates_ += part;
            batch.newTemplateStarts.push_back(static_cast<std::uint32_t>(batch.newTemplates.size()));
            batch.newTemplates += part;
            return std::uint64_t{slot.index} + 1;
        }
        if (templateAt(slot.index) == part) return std::uint64_t{slot.index} + 1;
    }
}

void MessageEncoder::appendPart(std::string_view part, std::string& out, MessageBatch& batch) {
    const std::uint64_t index = shared(part, batch);
    appendVarint(out, index);
    if (index == 0) out += part;
}

void MessageEncoder::append(const MessageTexts& texts, std::span<const Mark> marks, MessageBatch& batch) {
    steps_.clear();
    numbers_.clear();
    partStarts_.clear();
    std::uint32_t previous = 0;
    for (const Mark& mark : marks) {
        if (mark.kind == MarkKind::Parameter) partStarts_.push_back(steps_.size());
        MarkShape shape{.field = mark.field,
                        .number = mark.number < MarkShape::kNumberInShape ? mark.number : 0,
                        .valueOffset = static_cast<std::int64_t>(mark.value) - static_cast<std::int64_t>(mark.begin),
                        .code = mark.code,
                        .meaning = mark.meaning,
                        .kind = mark.kind,
                        .hasNumber = mark.hasNumber,
                        .numberFollows = mark.number >= MarkShape::kNumberInShape,
                        .absolute = mark.begin < previous};
        std::uint32_t index = 0;
        if (const auto found = shapes_.find(shape); found != shapes_.end()) {
            index = found->second;
        } else {
            index = static_cast<std::uint32_t>(shapes_.size());
            shapes_.emplace(shape, index);
            shape.label = labelIndex(mark, batch);
            batch.newShapes.push_back(shape);
        }
        appendVarint(steps_, index);
        appendVarint(steps_, shape.absolute ? mark.begin : mark.begin - previous);
        if (shape.numberFollows) appendVarint(numbers_, mark.number);
        previous = mark.begin;
    }
    std::string& out = batch.strings;
    // A summary info many messages have (a release's cause, a progress event) is kept once
    // among the shared parts: its index, odd; else its length, even, and the info.
    if (const std::uint64_t info = texts.info.empty() ? 0 : shared(texts.info, batch); info != 0) {
        appendVarint(out, ((info - 1) << 1) | 1);
    } else {
        appendVarint(out, std::uint64_t{texts.info.size()} << 1);
        out += texts.info;
    }
    appendVarint(out, texts.textLength);
    appendVarint(out, texts.logLine);
    appendVarint(out, texts.trailingOctets);
    const std::uint64_t timeCode = timeTextCode(texts.time, texts.instant, texts.instant != MessageStore::kNoInstant);
    appendVarint(out, timeCode);
    appendVarint(out, texts.reason.size());
    const std::uint64_t octets =
        texts.octets.empty() || texts.octets.size() > kSharedOctets ? 0 : shared(texts.octets, batch);
    appendVarint(out, octets != 0 ? ((octets - 1) << 1) | 1 : std::uint64_t{texts.octets.size()} << 1);
    appendVarint(out, marks.size());
    appendVarint(out, numbers_.size());
    if (timeTextKept(timeCode) != 0) out += texts.time;
    out += texts.reason;
    if (octets == 0) out += texts.octets;
    out += numbers_;
    if (marks.empty()) return;
    // The marks as one part when a part shared holds them all (most messages); else a part
    // from each parameter on.
    part_.clear();
    appendVarint(part_, marks.size());
    part_ += steps_;
    const bool onePart = partStarts_.empty() || (partStarts_.size() == 1 && partStarts_.front() == 0);
    if (const std::uint64_t whole = shared(part_, batch); whole != 0 || onePart) {
        appendVarint(out, whole);
        if (whole == 0) out += part_;
        return;
    }
    // Each part's marks: counted from where each begins in steps_ (every mark is two numbers).
    std::size_t from = 0;
    const auto marksIn = [this](std::size_t begin, std::size_t end) {
        std::size_t count = 0;
        const char* at = steps_.data() + begin;
        const char* stop = steps_.data() + end;
        while (at < stop) {
            readVarint(at);
            readVarint(at);
            ++count;
        }
        return count;
    };
    partStarts_.push_back(steps_.size());
    for (const std::size_t end : partStarts_) {
        if (end == from) continue;
        const std::size_t count = marksIn(from, end);
        part_.clear();
        appendVarint(part_, count);
        part_.append(steps_, from, end - from);
        appendPart(part_, out, batch);
        from = end;
    }
}

}  // namespace truno
