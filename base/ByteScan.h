#pragma once
// Scans over raw bytes that the hot paths share: reading log lines, writing the report with LF
// line ends, copying text into JSON strings and searching the report in the window. Each scan runs
// sixteen bytes at a time where SSE2 is there; its twin in namespace plain goes byte by byte,
// finishes the vector body's tail, is the whole scan where SSE2 is missing, and gives the same
// answer on every input (tests/base/ByteScanTest.cpp holds the two together).
#include <cstddef>
#include <string_view>

namespace truno {

// The first CR or LF in [p, end), or end when there is none.
const char* findLineBreak(const char* p, const char* end);

// Whether every one of the n bytes is printable ASCII (20 to 7E hex): text that needs no escape.
// Up to sixteen bytes are read as two words, longer text sixteen bytes at a time.
bool printableAscii(const char* p, std::size_t n);

// Copies n bytes from `from` to `to` (which do not overlap) and says whether every one of them
// goes into a JSON string as it is: printable ASCII (20 to 7E hex) other than quote and
// backslash. The copy is made either way. Short texts, the labels and values a record is made
// of, are read with a few loads that may overlap, without a loop.
bool copyJsonPlain(char* to, const char* from, std::size_t n);

// Copies the text to `out` with each CR that an LF follows left out (CR LF becomes LF); any other
// CR, one at the text's end too, is copied. Returns the end of the copy. `out` has room for
// text.size() bytes, and either does not overlap the text or is the text itself (the text is
// then turned in place).
char* copyCrLfAsLf(std::string_view text, char* out);

// The first offset at or after `from` where `pattern` occurs in `text`, letters A to Z matching
// in either case; npos when there is none or the pattern is empty. The pattern is folded already:
// a text letter matches its lower case in the pattern, an A to Z there matches nothing, and every
// other byte matches only itself.
std::size_t findIgnoringCase(std::string_view text, std::string_view pattern, std::size_t from);

namespace plain {
const char* findLineBreak(const char* p, const char* end);
bool printableAscii(const char* p, std::size_t n);
bool copyJsonPlain(char* to, const char* from, std::size_t n);
char* copyCrLfAsLf(std::string_view text, char* out);
std::size_t findIgnoringCase(std::string_view text, std::string_view pattern, std::size_t from);
}  // namespace plain

}  // namespace truno
