#include "output/JsonWriter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <optional>
#include <string>

namespace truno {
namespace {

// One document, written by `write`, in each layout: the indented form is the one nlohmann-json's
// dump(2) gives the same document, which the KPI and statistics documents have always had.
TEST(JsonWriter, LaysOutDocumentsCompactOrIndented) {
    struct Case {
        const char* name;
        std::function<void(JsonWriter&)> write;
        std::string compact;
        std::string indented;
    };
    const Case cases[] = {
        {"empty object", [](JsonWriter& json) { json.beginObject(); json.endObject(); }, "{}", "{}"},
        {"empty array", [](JsonWriter& json) { json.beginArray(); json.endArray(); }, "[]", "[]"},
        {"scalar at the top", [](JsonWriter& json) { json.number(std::uint64_t{7}); }, "7", "7"},
        {"members",
         [](JsonWriter& json) {
             json.beginObject();
             json.member("a", std::uint64_t{1});
             json.member("b", "x");
             json.endObject();
         },
         R"({"a":1,"b":"x"})", "{\n  \"a\": 1,\n  \"b\": \"x\"\n}"},
        {"empty containers inside",
         [](JsonWriter& json) {
             json.beginObject();
             json.key("a");
             json.beginArray();
             json.endArray();
             json.key("o");
             json.beginObject();
             json.endObject();
             json.endObject();
         },
         R"({"a":[],"o":{}})", "{\n  \"a\": [],\n  \"o\": {}\n}"},
        {"nested",
         [](JsonWriter& json) {
             json.beginObject();
             json.key("list");
             json.beginArray();
             json.number(std::int64_t{-1});
             json.beginObject();
             json.member("k", true);
             json.endObject();
             json.endArray();
             json.member("n", std::optional<std::uint32_t>{});
             json.member("s", std::optional<std::string>("v"));
             json.endObject();
         },
         R"({"list":[-1,{"k":true}],"n":null,"s":"v"})",
         "{\n  \"list\": [\n    -1,\n    {\n      \"k\": true\n    }\n  ],\n  \"n\": null,\n  \"s\": \"v\"\n}"},
        {"an object after a closed one",
         [](JsonWriter& json) {
             json.beginArray();
             json.beginObject();
             json.endObject();
             json.beginObject();
             json.member("x", false);
             json.endObject();
             json.endArray();
         },
         R"([{},{"x":false}])", "[\n  {},\n  {\n    \"x\": false\n  }\n]"},
    };
    for (const Case& c : cases) {
        for (const JsonLayout layout : {JsonLayout::Compact, JsonLayout::Indented}) {
            Text text;
            JsonWriter json(text, layout);
            c.write(json);
            EXPECT_EQ(text.view(), layout == JsonLayout::Compact ? c.compact : c.indented) << c.name;
        }
    }
}

// Doubles as nlohmann-json prints them: the form of every double the outputs have written.
TEST(JsonWriter, WritesDoublesAsNlohmannJsonDoes) {
    const struct {
        double value;
        const char* text;
    } cases[] = {
        {5.0, "5.0"},
        {0.0, "0.0"},
        {-0.0, "-0.0"},
        {60.84, "60.84"},
        {1019.54, "1019.54"},
        {-2.5, "-2.5"},
        {0.1 + 0.2, "0.30000000000000004"},
        {100.0 / 3.0, "33.333333333333336"},
        {123456789012345.0, "123456789012345.0"},
        {1e15, "1e+15"},
        {0.0001, "0.0001"},
        {0.00001, "1e-05"},
        {1.7976931348623157e308, "1.7976931348623157e+308"},
        {std::numeric_limits<double>::quiet_NaN(), "null"},
        {std::numeric_limits<double>::infinity(), "null"},
    };
    for (const auto& c : cases) {
        Text text;
        JsonWriter json(text);
        json.number(c.value);
        EXPECT_EQ(text.view(), c.text) << c.text;
    }
}

// Strings: plain ones copied, the others escaped (a control character as \u00XX, invalid UTF-8
// replaced by U+FFFD); stringOrNull writes null for an empty text.
TEST(JsonWriter, EscapesStrings) {
    const struct {
        std::string text;
        const char* json;
    } cases[] = {
        {"plain text 1", R"("plain text 1")"},
        {"", R"(null)"},
        {"a\"b", R"("a\"b")"},
        {"a\\b", R"("a\\b")"},
        {"\t\n\r\b\f", R"("\t\n\r\b\f")"},
        {std::string("\x01\x1f\x00", 3), R"("\u0001\u001f\u0000")"},
        {"\x7f", "\"\x7f\""},
        {"\xc3\xa9t\xc3\xa9", "\"\xc3\xa9t\xc3\xa9\""},
        {"x\xffy", "\"x\xef\xbf\xbdy\""},
        {"\xc3", "\"\xef\xbf\xbd\""},
    };
    for (const auto& c : cases) {
        Text text;
        JsonWriter json(text, JsonLayout::Indented);
        json.stringOrNull(c.text);
        EXPECT_EQ(text.view(), c.json) << c.json;
    }
}

TEST(JsonWriter, AppendsEachTextWithALineEnd) {
    std::string out = "before\n";
    for (const std::uint64_t n : {std::uint64_t{1}, std::uint64_t{2}})
        appendJsonText(out, JsonLayout::Indented, [n](JsonWriter& json) {
            json.beginArray();
            json.number(n);
            json.endArray();
        });
    EXPECT_EQ(out, "before\n[\n  1\n]\n[\n  2\n]\n");
}

// Bytewise, as std::map orders keys: a prefix first, '_' before lower-case letters.
TEST(alphabeticalOrder, OrdersNamesBytewise) {
    constexpr std::string_view names[] = {"resets", "reset_pending", "causes_by_class", "causes", "Zulu", "busy"};
    const auto order = alphabeticalOrder<std::size(names)>([&](std::size_t i) { return names[i]; });
    std::string joined;
    for (const std::size_t i : order) joined += std::string(names[i]) + ' ';
    EXPECT_EQ(joined, "Zulu busy causes causes_by_class reset_pending resets ");
}

}  // namespace
}  // namespace truno
