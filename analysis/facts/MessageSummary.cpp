#include "analysis/facts/MessageSummary.h"

#include "analysis/facts/KnownFields.h"
#include "base/Conversions.h"
#include "base/OctetText.h"
#include "base/ReportLayout.h"
#include "dispatch/Codes.h"

#include <array>
#include <charconv>
#include <cstdint>
#include <cstring>

namespace truno {
namespace {


// One piece of the info text: a field, the word it is shown after, for which message type, and
// whether the address digits are shown (without the filler) rather than the printed value.
struct InfoPiece {
    std::string_view word;
    FieldRef KnownFields::*field;
    int typeCode;
    bool digits;
};
constexpr InfoPiece kInfoPieces[] = {
    {.word = "called ", .field = &KnownFields::calledDigits, .typeCode = codes::kInitialAddress, .digits = true},
    {.word = "calling ", .field = &KnownFields::callingDigits, .typeCode = codes::kInitialAddress, .digits = true},
    {.word = "cause ", .field = &KnownFields::causeValue, .typeCode = codes::kRelease, .digits = false},
    {.word = "event ", .field = &KnownFields::event, .typeCode = codes::kCallProgress, .digits = false},
};

// Whether a decoded message of this type shows fields in its info (the types of kInfoPieces).
constexpr bool hasInfoFields(int typeCode) {
    return typeCode == codes::kInitialAddress || typeCode == codes::kRelease || typeCode == codes::kCallProgress;
}

// Column widths of the summary (characters); a longer text pushes the rest of its line along.
constexpr std::size_t kRecordWidth = 8;
constexpr std::size_t kTimeWidth = 11;
constexpr std::size_t kDirectionWidth = 3;
constexpr std::size_t kCodeWidth = 10;
constexpr std::size_t kTypeWidth = 4;
constexpr std::string_view kGap = "  ";

// Text from the log, escaped as the report escapes it when it holds anything but printable ASCII.
void appendFromLog(std::string& out, std::string_view raw) {
    if (allPrintable(raw))
        out += raw;
    else
        appendLogText(out, raw);
}

void padTo(std::string& out, std::size_t start, std::size_t width) {
    const std::size_t used = out.size() - start;
    if (used < width) out.append(width - used, ' ');
}

void appendRightAligned(std::string& out, std::uint64_t number, std::size_t width) {
    char digits[24];
    const auto result = std::to_chars(digits, digits + sizeof digits, number);
    const auto n = static_cast<std::size_t>(result.ptr - digits);
    if (n < width) out.append(width - n, ' ');
    out.append(digits, n);
}


}  // namespace

bool fieldsReadBeyondJson(int typeCode) {
    // The types of kInfoPieces; the calls read the IAM's numbers and the REL's cause, the
    // statistics the REL's cause (tested with the views); the calls and the circuits the range
    // of a GRS, the circuits the range, status and kind of the circuit group messages.
    switch (typeCode) {
        case codes::kInitialAddress:
        case codes::kRelease:
        case codes::kCallProgress:
        case codes::kCircuitGroupReset:
        case codes::kCircuitGroupBlocking:
        case codes::kCircuitGroupUnblocking: return true;
        default: return false;
    }
}

void appendSummaryInfo(std::string& out, const MessageFacts& message) {
    const RecordFacts& record = message.record();
    if (!record.decoded) {
        out += "not decoded: ";
        out += record.reason;
        return;
    }
    if (!hasInfoFields(record.typeCode)) return;
    const KnownFields& known = knownFields();
    bool first = true;
    for (const InfoPiece& piece : kInfoPieces) {
        if (piece.typeCode != record.typeCode) continue;
        const FieldFact* field = message.find(known.*piece.field);
        if (field == nullptr) continue;
        if (!first) out += ", ";
        first = false;
        out += piece.word;
        if (piece.digits)
            out += field->digits();
        else
            foldValue(out, field->printed);
    }
}

const std::bitset<256>& infoParameters(int typeCode) {
    // By type code, the last one for no type code.
    static const std::array<std::bitset<256>, 257> byType = [] {
        std::array<std::bitset<256>, 257> parameters{};
        for (const InfoPiece& piece : kInfoPieces) {
            const int code = (knownFields().*piece.field).parameterCode;
            if (piece.typeCode >= 0 && piece.typeCode <= 255 && code >= 0 && code <= 255)
                parameters[static_cast<std::size_t>(piece.typeCode)].set(static_cast<std::size_t>(code));
        }
        return parameters;
    }();
    return byType[typeCode >= 0 && typeCode <= 255 ? static_cast<std::size_t>(typeCode) : 256];
}

void appendTypeName(std::string& out, const RecordFacts& record) {
    if (!record.acronym.empty()) {
        out += record.acronym;
    } else if (record.typeCode >= 0) {
        appendHexOctet(out, static_cast<unsigned>(record.typeCode));
    } else {
        out += '-';
    }
}

void appendSummaryHeading(std::string& out) {
    out.append(kRecordWidth - 6, ' ');
    out += "RECORD";
    out += kGap;
    std::size_t start = out.size();
    out += "TIME";
    padTo(out, start, kTimeWidth);
    out += kGap;
    start = out.size();
    out += "DIR";
    padTo(out, start, kDirectionWidth);
    out += kGap;
    out.append(kCodeWidth - 3, ' ');
    out += "CIC";
    out += kGap;
    start = out.size();
    out += "TYPE";
    padTo(out, start, kTypeWidth);
    out += kGap;
    out += "INFO\n";
}

namespace {

// Copies a short text (a column's) byte by byte: cheaper than a call for a few bytes.
void copyShort(char* to, std::string_view text) {
    for (std::size_t i = 0; i < text.size(); ++i) to[i] = text[i];
}

// Whether every byte of `n` (a multiple of 8) bytes is printable ASCII (20 to 7E hex), eight at a
// time: a byte below 20 wraps when 20 is taken from it, 7F reaches 80 when 1 is added, and a byte
// of 80 or more has its high bit already (a borrow or carry between bytes comes only from a byte
// that is not printable itself).
bool printableWords(const char* p, std::size_t n) {
    constexpr std::uint64_t kBlanks = 0x2020202020202020ull;
    constexpr std::uint64_t kOnes = 0x0101010101010101ull;
    constexpr std::uint64_t kHighs = 0x8080808080808080ull;
    std::uint64_t outside = 0;
    for (std::size_t i = 0; i < n; i += 8) {
        std::uint64_t word;
        std::memcpy(&word, p + i, 8);
        outside |= (word - kBlanks) | (word + kOnes) | word;
    }
    return (outside & kHighs) == 0;
}

// What appendFixedColumns wrote: nothing, the columns before the info, or the whole line.
enum class FixedColumns { None, BeforeInfo, WholeLine };

// The columns before the info laid out in one piece, when each text fits its column and needs no
// escape (nearly every line); nothing otherwise. A line that can have no info ends at its type,
// with its LF.
FixedColumns appendFixedColumns(std::string& out, const RecordFacts& record) {
    constexpr std::size_t kGapWidth = kGap.size();
    constexpr std::size_t kTimeAt = kRecordWidth + kGapWidth;
    constexpr std::size_t kDirectionAt = kTimeAt + kTimeWidth + kGapWidth;
    constexpr std::size_t kCodeAt = kDirectionAt + kDirectionWidth + kGapWidth;
    constexpr std::size_t kTypeAt = kCodeAt + kCodeWidth + kGapWidth;
    constexpr std::size_t kWidth = kTypeAt + kTypeWidth + kGapWidth;
    constexpr std::uint64_t kWidestRecord = 99999999;  // kRecordWidth digits
    const std::string_view type = record.acronym;
    if (record.record > kWidestRecord || record.time.size() > kTimeWidth || record.directionText.size() > kDirectionWidth ||
        type.empty() || type.size() > kTypeWidth)
        return FixedColumns::None;
    constexpr std::size_t kWords = (kWidth + 1 + 7) / 8 * 8;  // room for the LF, in whole words
    char line[kWords];
    std::memset(line, ' ', kWords);
    std::memcpy(line + kTimeAt, record.time.data(), record.time.size());
    copyShort(line + kDirectionAt, record.directionText);
    // The texts from the log need no escape when the line, blanks and all, is printable: checked
    // in one pass over it rather than text by text.
    if (!printableWords(line, kWords)) return FixedColumns::None;
    decimalBefore(record.record, line + kRecordWidth);
    if (record.hasCallInstanceCode)
        decimalBefore(record.callInstanceCode, line + kCodeAt + kCodeWidth);  // at most 10 digits: 32 bits
    else
        line[kCodeAt + kCodeWidth - 1] = '-';
    copyShort(line + kTypeAt, type);
    if (record.decoded && !hasInfoFields(record.typeCode)) {
        line[kTypeAt + type.size()] = '\n';
        out.append(line, kTypeAt + type.size() + 1);
        return FixedColumns::WholeLine;
    }
    out.append(line, kWidth);
    return FixedColumns::BeforeInfo;
}

}  // namespace

void appendSummaryLine(std::string& out, const MessageFacts& message) {
    const RecordFacts& record = message.record();
    const FixedColumns fixed = appendFixedColumns(out, record);
    if (fixed == FixedColumns::WholeLine) return;
    if (fixed == FixedColumns::BeforeInfo) {
        appendSummaryInfo(out, message);
        // A line with no info ends at its type, without blanks after it.
        while (!out.empty() && out.back() == ' ') out.pop_back();
        out += '\n';
        return;
    }
    appendRightAligned(out, record.record, kRecordWidth);
    out += kGap;
    std::size_t start = out.size();
    appendFromLog(out, record.time);
    padTo(out, start, kTimeWidth);
    out += kGap;
    start = out.size();
    appendFromLog(out, record.directionText);
    padTo(out, start, kDirectionWidth);
    out += kGap;
    if (record.hasCallInstanceCode) {
        appendRightAligned(out, record.callInstanceCode, kCodeWidth);
    } else {
        out.append(kCodeWidth - 1, ' ');
        out += '-';
    }
    out += kGap;
    start = out.size();
    appendTypeName(out, record);
    padTo(out, start, kTypeWidth);
    out += kGap;
    appendSummaryInfo(out, message);
    // A line with no info ends at its type, without blanks after it.
    while (!out.empty() && out.back() == ' ') out.pop_back();
    out += '\n';
}

}  // namespace truno
