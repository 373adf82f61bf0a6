#pragma once
// The report text being written: a growable byte buffer that the decoders append to, and, when
// a caller asks for them, marks that say what each piece of it is (a parameter block, a heading,
// a field line and where its value starts, text without a label). The marks are the facts of a
// record taken where its lines are written, so that later views (lists, calls, JSON) never have
// to decode the octets again or read the text back.
#include <bitset>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <iosfwd>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace truno {

// Copies n bytes. Report text comes in short pieces (labels, phrases, digits): those are copied
// with a few fixed-size moves that may overlap, without a call; longer ones by memcpy.
inline void copyBytes(char* to, const char* from, std::size_t n) {
    if (n <= 16) {
        if (n >= 8) {
            std::uint64_t head, tail;
            std::memcpy(&head, from, 8);
            std::memcpy(&tail, from + n - 8, 8);
            std::memcpy(to, &head, 8);
            std::memcpy(to + n - 8, &tail, 8);
        } else if (n >= 4) {
            std::uint32_t head, tail;
            std::memcpy(&head, from, 4);
            std::memcpy(&tail, from + n - 4, 4);
            std::memcpy(to, &head, 4);
            std::memcpy(to + n - 4, &tail, 4);
        } else if (n != 0) {
            to[0] = from[0];
            to[n / 2] = from[n / 2];
            to[n - 1] = from[n - 1];
        }
    } else if (n <= 32) {
        char head[16], tail[16];
        std::memcpy(head, from, 16);
        std::memcpy(tail, from + n - 16, 16);
        std::memcpy(to, head, 16);
        std::memcpy(to + n - 16, tail, 16);
    } else if (n <= 64) {
        char head[32], tail[32];
        std::memcpy(head, from, 32);
        std::memcpy(tail, from + n - 32, 32);
        std::memcpy(to, head, 32);
        std::memcpy(to + n - 32, tail, 32);
    } else {
        std::memcpy(to, from, n);
    }
}

struct BitField;  // base/FieldBlock.h: one field's key, label and type

enum class MarkKind : std::uint8_t {
    Parameter,  // a parameter's block begins: `code` is its code
    Heading,    // a heading line; its text runs from `value`
    Field,      // a field line: `field` is its row (key, label, type), its value starts at `value`
    Plain,      // text without a label (raw contents, a line of its own); `field` says which
    Value,      // a field the report does not print: its number only (`field` says which)
};

// What a field's value is beside its printed text, as the decoder that wrote it knew it. The
// members go from the largest to the smallest, so that a mark takes 32 bytes (a record's marks
// are copied with it when it goes to another thread).
struct Mark {
    const BitField* field = nullptr;  // Field, Plain: the field's row
    // Field of a numeric type: its value (the bits, a counter, a code). Field of the Digits
    // type: how many characters from `value` are the digits (a filler digit left out).
    // Parameter, Heading: the number of the text it begins in a memo of blocks or of address
    // heads, when that text is there whole (hasNumber; base/TextMemo.h).
    std::uint64_t number = 0;
    std::uint32_t begin = 0;    // where the marked line (or block) begins in the text
    std::uint32_t value = 0;    // where its value or text begins
    std::int16_t code = -1;     // Parameter: the parameter code
    // Where the value's meaning begins, counted from `value`, when the printed value is a
    // number followed by ", " and its meaning ("16, Normal call clearing."); 0: no such meaning.
    std::uint16_t meaning = 0;
    MarkKind kind;
    bool hasNumber = false;     // `number` holds the field's value or digit count
};
static_assert(sizeof(Mark) == 32);

class Text {
public:
    Text() = default;
    explicit Text(std::string_view s) { append(s); }
    explicit Text(const char* s) : Text(std::string_view(s)) {}
    Text(const Text& other) { append(other.view()); }
    // Assignment copies or takes the text; the list of marks stays attached to this Text.
    // cppcheck-suppress operatorEqVarError
    Text& operator=(const Text& other) {
        if (this != &other) {
            size_ = 0;
            append(other.view());
        }
        return *this;
    }
    Text(Text&& other) noexcept { swap(other); }
    // cppcheck-suppress operatorEqVarError
    Text& operator=(Text&& other) noexcept {
        swap(other);
        return *this;
    }
    ~Text() = default;

    void append(const char* p, std::size_t n) {
        if (n > capacity_ - size_) reserveMore(n);
        copyBytes(data_.get() + size_, p, n);
        size_ += n;
    }
    void append(std::string_view s) { append(s.data(), s.size()); }
    void append(std::size_t n, char c) { std::memset(extend(n), c, n); }
    Text& operator+=(std::string_view s) {
        append(s);
        return *this;
    }
    Text& operator+=(char c) {
        if (size_ == capacity_) reserveMore(1);
        data_[size_++] = c;
        return *this;
    }
    // Appends n bytes left for the caller to fill, and returns where they start. The caller may
    // write up to `room` bytes from there (more than n, as scratch past the end).
    char* extend(std::size_t n, std::size_t room = 0) {
        const std::size_t wanted = n > room ? n : room;
        if (wanted > capacity_ - size_) reserveMore(wanted);
        char* at = data_.get() + size_;
        size_ += n;
        return at;
    }

    std::size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }
    const char* data() const { return data_.get(); }
    std::string_view view() const { return {data_.get(), size_}; }
    operator std::string_view() const { return view(); }  // NOLINT(google-explicit-constructor)
    std::string str() const { return std::string(view()); }
    std::string_view substr(std::size_t pos, std::size_t n = std::string_view::npos) const {
        return view().substr(pos, n);
    }
    char back() const { return data_[size_ - 1]; }

    void clear() {
        size_ = 0;
        if (marks_ != nullptr) marks_->clear();
    }
    // Cuts the text back to its first n bytes (n at most size()), and drops the marks past it.
    void truncate(std::size_t n);
    // Turns each CR LF into LF in place (a CR at the end stays). For a text without marks: the
    // marks' places would no longer be the text's.
    void crLfAsLf();
    void reserve(std::size_t n) {
        if (n > capacity_) reserveMore(n - size_);
    }
    // Swaps the texts; each keeps the list of marks attached to it.
    void swap(Text& other) noexcept {
        std::swap(data_, other.data_);
        std::swap(size_, other.size_);
        std::swap(capacity_, other.capacity_);
    }

    // Marks are kept only while a list is attached; without one, mark() costs one test.
    void attachMarks(std::vector<Mark>* marks) {
        marks_ = marks;
        muted_ = false;
    }
    // The parameters whose marks are kept, by code (null: every one): the marks written after a
    // parameter's mark, up to the next one, are left out when its code is not among them. Its
    // own mark is kept, so that the field before it ends there, unless it follows straight on
    // the kept mark of another parameter not wanted (whose block then runs over both).
    struct MarkFilter {
        const std::bitset<256>* wanted = nullptr;
        bool muted = false;  // the marks of the parameter being written are left out
    };
    void setMarkFilter(MarkFilter filter) {
        wanted_ = filter.wanted;
        muted_ = filter.muted;
    }
    MarkFilter markFilter() const { return {wanted_, muted_}; }
    std::vector<Mark>* marks() const { return marks_; }
    // Marks what is written next: its line begins at the current end of the text.
    void mark(MarkKind kind, std::int16_t code = -1) {
        if (marks_ != nullptr) keepMark(kind, code, offset(size_), offset(size_), nullptr);
    }
    // The marks of a text laid out earlier and appended whole: their places are counted from
    // `origin`, where that text's first byte would stand in this one.
    void addMarks(std::span<const Mark> marks, std::size_t origin) {
        if (marks_ != nullptr) keepMarks(marks, origin);
    }
    // Records a field the report does not print, with its number.
    void markValue(const BitField& field, std::uint64_t number) {
        if (marks_ != nullptr && !muted_) {
            keepMark(MarkKind::Value, -1, offset(size_), offset(size_), &field);
            marks_->back().number = number;
            marks_->back().hasNumber = true;
        }
    }
    // Marks plain text (no label) of a field that is written next.
    void markPlain(const BitField& field) {
        if (marks_ != nullptr) keepMark(MarkKind::Plain, -1, offset(size_), offset(size_), &field);
    }
    // Marks a field whose label line began at `begin`; its value begins at the current end.
    void markField(std::size_t begin, const BitField& field) {
        if (marks_ != nullptr) keepMark(MarkKind::Field, -1, offset(begin), offset(size_), &field);
    }
    // The value of the field marked last: its number (or digit count), and where its meaning
    // begins after its value (0: none). A parameter's mark or a heading has no field's number.
    void setFieldNumber(std::uint64_t number) {
        if (marks_ != nullptr && !muted_ && !marks_->empty() && marks_->back().kind != MarkKind::Parameter &&
            marks_->back().kind != MarkKind::Heading) {
            marks_->back().number = number;
            marks_->back().hasNumber = true;
        }
    }
    // A value text was appended at `start` whose meaning begins `meaning` bytes into it (after
    // its number and ", "; 0: it has none): when it is the beginning of the value of the field
    // marked last, the meaning's place is kept.
    void noteMeaning(std::size_t start, std::uint16_t meaning) {
        if (marks_ != nullptr && !muted_ && meaning != 0) keepMeaning(start, meaning);
    }

private:
    // Offsets of marks: a text with marks holds one record and the records before it that have
    // not gone out yet, far less than 4 GiB.
    static std::uint32_t offset(std::size_t at) { return static_cast<std::uint32_t>(at); }
    void reserveMore(std::size_t n);
    void keepMeaning(std::size_t start, std::uint16_t meaning);
    // A parameter's mark: sets whether the marks after it, up to the next one, are left out, and
    // says whether the mark itself is kept.
    bool keepsParameterMark(std::int16_t code);
    void keepMarks(std::span<const Mark> marks, std::size_t origin);
    bool wanted(std::int16_t code) const {
        return wanted_ == nullptr || (code >= 0 && code <= 255 && (*wanted_)[static_cast<std::size_t>(code)]);
    }
    // Out of line, so that writing without marks carries no more than the test. The parts come
    // in registers (a Mark built on the stack and read back whole stalls the store forwarding).
    void keepMark(MarkKind kind, std::int16_t code, std::uint32_t begin, std::uint32_t value, const BitField* field);

    std::unique_ptr<char[]> data_;
    std::size_t size_ = 0;
    std::size_t capacity_ = 0;
    std::vector<Mark>* marks_ = nullptr;
    const std::bitset<256>* wanted_ = nullptr;
    bool muted_ = false;
};

inline bool operator==(const Text& a, std::string_view b) { return a.view() == b; }
std::ostream& operator<<(std::ostream& os, const Text& text);

}  // namespace truno
