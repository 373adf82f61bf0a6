#include "output/JsonWriter.h"

#include "analysis/facts/LogClock.h"
#include "base/ByteScan.h"

#include <nlohmann/json.hpp>

#include <charconv>

namespace truno {
namespace {

template <typename Number>
void appendNumber(Text& out, Number value) {
    char* at = out.extend(0, 24);
    const auto result = std::to_chars(at, at + 24, value);
    out.extend(static_cast<std::size_t>(result.ptr - at));
}

}  // namespace

void appendJsonString(Text& out, std::string_view text) {
    // Nearly every text is printable ASCII without a quote or a backslash: it is copied as it is
    // (and the copy kept when the check says so). The others are escaped by nlohmann-json
    // (a control character, DEL, UTF-8 checked, invalid sequences replaced by U+FFFD).
    char* at = out.extend(0, text.size() + 2);
    at[0] = '"';
    if (copyJsonPlain(at + 1, text.data(), text.size())) {
        at[text.size() + 1] = '"';
        out.extend(text.size() + 2);
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

void JsonWriter::number(double value) {
    separate();
    // nlohmann-json's own digits (Grisu2, not always the shortest std::to_chars would give) and
    // notation: the form these numbers have always had.
    out_ += nlohmann::json(value).dump();
}

void JsonWriter::boolean(bool value) {
    separate();
    out_ += value ? std::string_view("true") : std::string_view("false");
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
