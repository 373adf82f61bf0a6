#pragma once
// JSON text written as it goes into a text buffer that the caller reuses: objects, arrays, keys
// and values, the commas between them put in by the writer. A string that holds only printable
// ASCII other than the quote and the backslash needs no escape and is copied as it is; every
// other string is escaped by nlohmann-json (invalid UTF-8 replaced by U+FFFD). Keys are the
// caller's own names, plain ASCII, and are written as they are.
//
// The text is compact, or laid out as nlohmann-json's dump(2) lays out a document (the form the
// KPI and statistics documents have always had): each member or element on a line of its own,
// indented by two blanks a level, `"key": value`, an empty object or array as {} or []. The writer
// keeps members in the order they are written: where an output's members are in alphabetical
// order, the writer of that output writes them so.
#include "base/ReportText.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <numeric>
#include <optional>
#include <string>
#include <string_view>

namespace truno {

enum class JsonLayout : std::uint8_t { Compact, Indented };

class JsonWriter {
public:
    explicit JsonWriter(Text& out, JsonLayout layout = JsonLayout::Compact)
        : out_(out), indented_(layout == JsonLayout::Indented) {}

    void beginObject() { open('{'); }
    void endObject() { close('}'); }
    void beginArray() { open('['); }
    void endArray() { close(']'); }
    void key(std::string_view name) {
        separate();
        const std::size_t size = name.size() + (indented_ ? 4 : 3);
        char* at = out_.extend(size);
        at[0] = '"';
        copyBytes(at + 1, name.data(), name.size());
        at[name.size() + 1] = '"';
        at[name.size() + 2] = ':';
        if (indented_) at[size - 1] = ' ';
        slot_ = Slot::AfterKey;
    }

    void string(std::string_view text);
    // A string, or null when the text is empty.
    void stringOrNull(std::string_view text) {
        if (text.empty())
            null();
        else
            string(text);
    }
    void number(std::uint64_t value);
    void number(std::int64_t value);
    // A double as nlohmann-json prints one: digits that read back as the same double ("60.84"),
    // an integral value with ".0" ("5.0"), an exponent from 1e15 up and below 1e-4 ("1e+15",
    // "1e-05"), null for NaN and the infinities.
    void number(double value);
    void boolean(bool value);
    // Members written beforehand, each with its comma ("file":"trace.log",), first in the object
    // just opened, as they are (on a line of their own when indented).
    void leading(std::string_view members) {
        if (members.empty()) return;
        if (indented_) newLine();
        out_ += members;
    }
    // Milliseconds as seconds with three decimals.
    void seconds(std::int64_t milliseconds);
    void null();

    template <typename Value>
    void member(std::string_view name, const Value& value) {
        key(name);
        write(value);
    }
    // A string member, or null when the text is empty.
    void textOrNull(std::string_view name, std::string_view text) {
        key(name);
        stringOrNull(text);
    }
    // A value, or null when there is none.
    template <typename Value>
    void member(std::string_view name, const std::optional<Value>& value) {
        key(name);
        if (value)
            write(*value);
        else
            null();
    }

private:
    // Where the next value goes: first in a container just opened, right after a key (or at the
    // top), or after a value of its container.
    enum class Slot : std::uint8_t { Opened, AfterKey, AfterValue };

    void open(char bracket) {
        separate();
        out_ += bracket;
        slot_ = Slot::Opened;
        ++depth_;
    }
    void close(char bracket) {
        --depth_;
        if (indented_ && slot_ != Slot::Opened) newLine();
        out_ += bracket;
        slot_ = Slot::AfterValue;
    }
    void separate() {
        if (slot_ == Slot::AfterValue) out_ += ',';
        if (indented_ && slot_ != Slot::AfterKey) newLine();
        slot_ = Slot::AfterValue;
    }
    void newLine() {
        out_ += '\n';
        out_.append(2 * depth_, ' ');
    }
    void write(std::string_view text) { string(text); }
    void write(const std::string& text) { string(text); }
    void write(const char* text) { string(text); }
    void write(std::uint64_t value) { number(value); }
    void write(std::uint32_t value) { number(std::uint64_t{value}); }
    void write(std::int64_t value) { number(value); }
    void write(int value) { number(std::int64_t{value}); }
    void write(double value) { number(value); }
    void write(bool value) { boolean(value); }

    Text& out_;
    std::size_t depth_ = 0;  // containers open
    Slot slot_ = Slot::AfterKey;
    bool indented_;
};

// Appends `text` as a JSON string (with its quotes).
void appendJsonString(Text& out, std::string_view text);

// Writes one JSON text with `write(JsonWriter&)` and appends it and a line end to `out`.
template <typename Write>
void appendJsonText(std::string& out, JsonLayout layout, const Write& write) {
    thread_local Text text;
    text.clear();
    JsonWriter json(text, layout);
    write(json);
    text += '\n';
    out += text.view();
}

// The positions 0 to N-1 of a table of names, in the bytewise order of the names (nameOf(i) is
// the name at i): the order in which to write the members of an object keyed by those names when
// its members are in alphabetical order.
template <std::size_t N, typename NameOf>
std::array<std::size_t, N> alphabeticalOrder(const NameOf& nameOf) {
    std::array<std::size_t, N> order{};
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::sort(order.begin(), order.end(),
              [&](std::size_t a, std::size_t b) { return std::string_view(nameOf(a)) < std::string_view(nameOf(b)); });
    return order;
}

}  // namespace truno
