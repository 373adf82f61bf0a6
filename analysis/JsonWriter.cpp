#include "analysis/JsonWriter.h"

#include "analysis/LogClock.h"

#include <nlohmann/json.hpp>

#include <charconv>

namespace truno {
namespace {

bool needsEscape(std::string_view text) {
    unsigned found = 0;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        found |= (byte < 0x20 || byte >= 0x7F || c == '"' || c == '\\') ? 1u : 0u;
    }
    return found != 0;
}

template <typename Number>
void appendNumber(std::string& out, Number value) {
    char digits[24];
    const auto result = std::to_chars(digits, digits + sizeof digits, value);
    out.append(digits, static_cast<std::size_t>(result.ptr - digits));
}

}  // namespace

void appendJsonString(std::string& out, std::string_view text) {
    if (!needsEscape(text)) {
        out += '"';
        out += text;
        out += '"';
        return;
    }
    out += nlohmann::json(std::string(text)).dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}

void JsonWriter::separate() {
    if (!first_) out_ += ',';
    first_ = false;
}

void JsonWriter::open(char bracket) {
    separate();
    out_ += bracket;
    first_ = true;
}

void JsonWriter::close(char bracket) {
    out_ += bracket;
    first_ = false;
}

void JsonWriter::key(std::string_view name) {
    separate();
    appendJsonString(out_, name);
    out_ += ':';
    first_ = true;
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
    appendSeconds(out_, milliseconds);
}

void JsonWriter::boolean(bool value) {
    separate();
    out_ += value ? "true" : "false";
}

void JsonWriter::null() {
    separate();
    out_ += "null";
}

}  // namespace truno
