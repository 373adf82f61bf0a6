#pragma once
// JSON text written as it goes into a string that the caller reuses: objects, arrays, keys and
// values, the commas between them put in by the writer. A string that holds only printable ASCII
// other than the quote and the backslash needs no escape and is copied as it is; every other
// string is escaped by nlohmann-json (invalid UTF-8 replaced by U+FFFD).
#include <cstdint>
#include <string>
#include <string_view>

namespace truno {

class JsonWriter {
public:
    explicit JsonWriter(std::string& out) : out_(out) {}

    void beginObject() { open('{'); }
    void endObject() { close('}'); }
    void beginArray() { open('['); }
    void endArray() { close(']'); }
    void key(std::string_view name);

    void string(std::string_view text);
    void number(std::uint64_t value);
    void number(std::int64_t value);
    // Milliseconds as seconds with three decimals.
    void seconds(std::int64_t milliseconds);
    void boolean(bool value);
    void null();

    template <typename Value>
    void member(std::string_view name, const Value& value) {
        key(name);
        write(value);
    }

private:
    void open(char bracket);
    void close(char bracket);
    void separate();
    void write(std::string_view text) { string(text); }
    void write(const std::string& text) { string(text); }
    void write(const char* text) { string(text); }
    void write(bool value) { boolean(value); }
    void write(std::uint64_t value) { number(value); }
    void write(std::uint32_t value) { number(std::uint64_t{value}); }
    void write(int value) { number(std::int64_t{value}); }

    std::string& out_;
    bool first_ = true;  // no value yet in the innermost object or array (or right after a key)
};

// Appends `text` as a JSON string (with its quotes).
void appendJsonString(std::string& out, std::string_view text);

}  // namespace truno
