#pragma once
// What the two ways of writing a message's JSON object share: from its facts (MessageJson.cpp)
// and from its record, the parameters' blocks kept whole copied as they were first written
// (RecordJson.cpp).
#include "analysis/facts/MessageFacts.h"
#include "base/ReportText.h"
#include "output/Exports.h"

#include <cstddef>
#include <cstring>
#include <span>
#include <string_view>

namespace truno::messagejson {

// A constant piece of JSON: a copy of a length known when compiling.
template <std::size_t N>
char* put(char* at, const char (&piece)[N]) {
    std::memcpy(at, piece, N - 1);
    return at + (N - 1);
}
template <std::size_t N>
void put(Text& out, const char (&piece)[N]) {
    std::memcpy(out.extend(N - 1), piece, N - 1);
}

// Copies n bytes: up to 64 as copyBytes does; longer ones, a field's object, in blocks of 32, the
// last one overlapping the one before (a call or a string instruction costs more than the copy).
inline void copyObject(char* to, const char* from, std::size_t n) {
    if (n <= 64 || n > 512) {
        copyBytes(to, from, n);
        return;
    }
    std::size_t at = 0;
    for (; n - at > 32; at += 32) {
        char block[32];
        std::memcpy(block, from + at, 32);
        std::memcpy(to + at, block, 32);
    }
    char tail[32];
    std::memcpy(tail, from + n - 32, 32);
    std::memcpy(to + n - 32, tail, 32);
}

// The members before the call's (appendMessageJsonHead), of a message of the switch named
// `switchName`.
void appendHead(Text& line, const RecordFacts& record, std::string_view switchName, std::string_view leading,
                JsonRow form);
// The members from the info on, up to the parameters' array opened (appendMessageJsonTail).
void appendInfo(Text& line, const MessageFacts& message);
// The opening of a block's JSON object, up to its fields' array opened.
void appendBlockOpening(Text& line, const BlockFact& block);
// Fields of a block as JSON objects, each after a comma unless it is the block's first
// (`firstField`, kept across calls).
void appendFieldsJson(Text& line, const BlockFact& block, std::span<const FieldFact> fields, bool& firstField);
// The blocks of the marks [first, last) of a record, as the facts of the whole record have them.
void appendMarkedBlocksJson(Text& line, const RecordFacts& record, std::size_t first, std::size_t last, bool& firstBlock);

}  // namespace truno::messagejson
