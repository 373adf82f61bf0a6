#pragma once
// Scans over raw bytes that the hot paths share: reading log lines, writing the report with LF
// line ends, choosing the JSON copy path and searching the report in the window. Each scan runs
// sixteen bytes at a time where SSE2 is there; its twin in namespace plain goes byte by byte,
// finishes the vector body's tail, is the whole scan where SSE2 is missing, and gives the same
// answer on every input (tests/base/ByteScanTest.cpp holds the two together).
#include <cstddef>
#include <string_view>

namespace truno {

// The first CR or LF in [p, end), or end when there is none.
const char* findLineBreak(const char* p, const char* end);

// Whether the text holds only bytes that go into a JSON string as they are, besides its line
// ends: printable ASCII (20 to 7E hex) other than quote and backslash, and CR and LF. Any other
// control character, DEL or byte above 7F makes it false.
bool isJsonVerbatim(std::string_view text);

// Copies the text to `out` with each CR that an LF follows left out (CR LF becomes LF); any other
// CR, one at the text's end too, is copied. Returns the end of the copy. `out` has room for
// text.size() bytes and does not overlap the text.
char* copyCrLfAsLf(std::string_view text, char* out);

// The first offset at or after `from` where `pattern` occurs in `text`, letters A to Z matching
// in either case; npos when there is none or the pattern is empty. The pattern is folded already:
// a text letter matches its lower case in the pattern, an A to Z there matches nothing, and every
// other byte matches only itself.
std::size_t findIgnoringCase(std::string_view text, std::string_view pattern, std::size_t from);

namespace plain {
const char* findLineBreak(const char* p, const char* end);
bool isJsonVerbatim(std::string_view text);
char* copyCrLfAsLf(std::string_view text, char* out);
std::size_t findIgnoringCase(std::string_view text, std::string_view pattern, std::size_t from);
}  // namespace plain

}  // namespace truno
