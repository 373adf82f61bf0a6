#pragma once
// Where each record of the report is, and which records were not decoded: what the window needs
// to go to a record or to the next message that did not decode. Today the index is fed from the
// report's own lines as they arrive (RecordLineFinder); it takes the same facts from any other
// source that knows them, record by record in order.
#include "window/ReportDocument.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace truno::window {

class RecordIndex {
public:
    // Record `number` has its banner line ("RECORD N ...") on report line `bannerLine`.
    // Records come in order, numbered from 1: a number out of turn is ignored (false).
    bool addRecord(std::uint64_t number, std::size_t bannerLine);
    // Record `number`, already added, was not decoded. Records come in order here too.
    void markNotDecoded(std::uint64_t number);
    void clear();

    std::uint64_t recordCount() const { return bannerLines_.size(); }
    std::uint64_t notDecodedCount() const { return notDecoded_.size(); }
    // The banner line of record `number`; none for a number the report does not have.
    std::optional<std::size_t> bannerLine(std::uint64_t number) const;
    // The record whose text holds report line `line`; 0 above the first record.
    std::uint64_t recordAt(std::size_t line) const;
    // The first not-decoded record whose banner comes after report line `line`, and the last
    // one whose banner comes before it.
    std::optional<std::uint64_t> nextNotDecoded(std::size_t line) const;
    std::optional<std::uint64_t> previousNotDecoded(std::size_t line) const;

private:
    std::vector<std::size_t> bannerLines_;    // of record n at index n - 1
    std::vector<std::uint64_t> notDecoded_;   // record numbers, ascending
};

// Feeds a RecordIndex from the report text: a record's banner is a line "RECORD N     TIME=..."
// with the next record number, and a record was not decoded when it holds the line
// "*** MESSAGE NOT DECODED ***". Reads each line once, as the text arrives.
class RecordLineFinder {
public:
    // Reads the finished lines of `document` not read yet; with `toEnd`, the last one too (the
    // run is over).
    void read(const ReportDocument& document, RecordIndex& index, bool toEnd = false);
    void restart() { nextLine_ = 0; }

private:
    std::size_t nextLine_ = 0;
};

}  // namespace truno::window
