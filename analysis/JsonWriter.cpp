#include "analysis/JsonWriter.h"

#include "analysis/LogClock.h"

#include <nlohmann/json.hpp>

#include <charconv>

namespace truno {
namespace {

// Whether a text needs more than its own bytes in a JSON string: it holds a control character, a
// quote, a backslash, DEL or a byte above 7F (UTF-8, left to nlohmann-json to check).
bool needsJsonEscape(std::string_view text) {
    const auto special = [](char c) {
        const auto byte = static_cast<unsigned char>(c);
        return static_cast<unsigned char>(byte - 0x20) >= 0x5F || c == '"' || c == '\\';
    };
    // The scan has no early exit, so that it runs on whole vectors.
    unsigned char found = 0;  // byte-wide, so that the vectorised loop need not widen its lanes
    for (const char c : text) found = static_cast<unsigned char>(found | (special(c) ? 1 : 0));
    return found != 0;
}

template <typename Number>
void appendNumber(Text& out, Number value) {
    char* at = out.extend(0, 24);
    const auto result = std::to_chars(at, at + 24, value);
    out.extend(static_cast<std::size_t>(result.ptr - at));
}

}  // namespace

void appendJsonString(Text& out, std::string_view text) {
    if (!needsJsonEscape(text)) {
        char* at = out.extend(text.size() + 2);
        at[0] = '"';
        copyBytes(at + 1, text.data(), text.size());
        at[text.size() + 1] = '"';
        return;
    }
    out += nlohmann::json(std::string(text)).dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}

void JsonWriter::string(std::string_view text) {
    separate();
    appendJsonString(out_, text);
}

void JsonWriter::number(std::uint64_t value) {
    separate();
    appendNumber(out_, value);
}

void JsonWriter::number(std::int64_t value) {
    separate();
    appendNumber(out_, value);
}

void JsonWriter::seconds(std::int64_t milliseconds) {
    separate();
    std::string text;
    appendSeconds(text, milliseconds);
    out_ += text;
}

void JsonWriter::null() {
    separate();
    out_ += "null";
}

}  // namespace truno
