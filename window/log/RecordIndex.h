#pragma once
// Where each record of the report shown is, and which records were not decoded: what the window
// needs to go to a record or to the next message that did not decode. Fed from the facts the run
// hands over (the record's number, whether it was decoded, and where its text stands in the
// report), record by record in order. The records of a filtered report are a subset: numbers
// rise but need not follow one another.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace truno::window {

class RecordIndex {
public:
    // Record `number` has its banner line ("RECORD N ...") on report line `bannerLine`.
    // Records come in rising order: a number not above the last one is ignored (false).
    bool addRecord(std::uint64_t number, std::size_t bannerLine, bool decoded = true);

    // The records below `number` leave (a followed log keeping its last messages), and the
    // report lost its first `lines` lines with them: the banners held move up as many lines.
    void dropBefore(std::uint64_t number, std::size_t lines);

    std::uint64_t recordCount() const { return count(); }
    std::uint64_t notDecodedCount() const { return notDecoded_.size(); }
    // The highest record number held; 0 when none.
    std::uint64_t lastRecord() const { return count() == 0 ? 0 : number(count() - 1); }
    // The lowest record number held; 0 when none.
    std::uint64_t firstRecord() const { return count() == 0 ? 0 : number(0); }
    bool contains(std::uint64_t number) const { return bannerLine(number).has_value(); }
    // The banner line of record `number`; none for a number the report does not have.
    std::optional<std::size_t> bannerLine(std::uint64_t number) const;
    // The first record held whose number is `number` or above; none past the last.
    std::optional<std::uint64_t> recordFrom(std::uint64_t number) const;
    // The record whose banner is on `line` or the nearest above it; 0 above the first banner.
    std::uint64_t recordAt(std::size_t line) const;
    // The first not-decoded record whose banner comes after report line `line`, and the last
    // one whose banner comes before it.
    std::optional<std::uint64_t> nextNotDecoded(std::size_t line) const;
    std::optional<std::uint64_t> previousNotDecoded(std::size_t line) const;

private:
    std::size_t count() const { return wide_ ? wideLines_.size() : lines_.size(); }
    // The banner line of the k-th record held.
    std::size_t line(std::size_t k) const { return wide_ ? wideLines_[k] : lines_[k]; }
    // The number of records whose banner is on `line` or above it.
    std::size_t bannersUpTo(std::size_t line) const;
    // The number of the k-th record held.
    std::uint64_t number(std::size_t k) const { return numbers_.empty() ? first_ + k : numbers_[k]; }
    // The index of the first record held numbered `number` or above (recordCount() past the last).
    std::size_t indexFrom(std::uint64_t number) const;

    // The records of a full report follow one another: first_ and on, numbers_ empty. Once one
    // does not, every number is kept (rising).
    std::uint64_t first_ = 0;
    std::vector<std::uint64_t> numbers_;
    // The banner line of the k-th record at k: in 32 bits while they fit (a report of fewer than
    // four billion lines), else all of them whole.
    std::vector<std::uint32_t> lines_;
    std::vector<std::size_t> wideLines_;
    bool wide_ = false;
    std::vector<std::size_t> notDecoded_;     // indices of records, rising
};

}  // namespace truno::window
