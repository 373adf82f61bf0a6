#pragma once
// JSON text written as it goes into a text buffer that the caller reuses: objects, arrays, keys
// and values, the commas between them put in by the writer. A string that holds only printable
// ASCII other than the quote and the backslash needs no escape and is copied as it is; every
// other string is escaped by nlohmann-json (invalid UTF-8 replaced by U+FFFD). Keys are the
// caller's own names, plain ASCII, and are written as they are.
#include "base/ReportText.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace truno {

class JsonWriter {
public:
    explicit JsonWriter(Text& out) : out_(out) {}

    void beginObject() { open('{'); }
    void endObject() { close('}'); }
    void key(std::string_view name) {
        separate();
        char* at = out_.extend(name.size() + 3);
        at[0] = '"';
        copyBytes(at + 1, name.data(), name.size());
        at[name.size() + 1] = '"';
        at[name.size() + 2] = ':';
        first_ = true;
    }

    void string(std::string_view text);
    void number(std::uint64_t value);
    void number(std::int64_t value);
    // Milliseconds as seconds with three decimals.
    void seconds(std::int64_t milliseconds);
    void null();

    template <typename Value>
    void member(std::string_view name, const Value& value) {
        key(name);
        write(value);
    }

private:
    void open(char bracket) {
        separate();
        out_ += bracket;
        first_ = true;
    }
    void close(char bracket) {
        out_ += bracket;
        first_ = false;
    }
    void separate() {
        if (!first_) out_ += ',';
        first_ = false;
    }
    void write(std::string_view text) { string(text); }
    void write(const std::string& text) { string(text); }
    void write(const char* text) { string(text); }
    void write(std::uint64_t value) { number(value); }
    void write(std::uint32_t value) { number(std::uint64_t{value}); }
    void write(int value) { number(std::int64_t{value}); }

    Text& out_;
    bool first_ = true;  // no value yet in the innermost object or array (or right after a key)
};

// Appends `text` as a JSON string (with its quotes).
void appendJsonString(Text& out, std::string_view text);

}  // namespace truno
