#pragma once
// Times of day and dates as the logs write them: a time of day in milliseconds, a date in days
// from 1970-01-01 and back.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace truno {

// Milliseconds since midnight of a time of day as the log writes it: H:MM:SS or HH:MM:SS, with
// an optional fraction of a second after a point ("20:22:27.43", "10:15:22.1"); digits of the
// fraction past the third are dropped. Nothing when the text is not such a time.
std::optional<std::int64_t> millisecondsOfDay(std::string_view timeOfDay);

// Reads times of day one after another as millisecondsOfDay does: a time "HH:MM:SS.f" whose
// "HH:MM:SS." is the last such time's, as a log's times mostly are, has only its fraction read.
class TimeOfDayReader {
public:
    std::optional<std::int64_t> read(std::string_view timeOfDay);

private:
    bool haveSecond_ = false;    // a time of that form was read
    char second_[9] = {};        // "HH:MM:SS." of the last one
    std::int64_t secondMs_ = 0;  // its milliseconds of day
};

inline constexpr std::int64_t kMillisecondsPerDay = std::int64_t{24} * 60 * 60 * 1000;

// value / by rounded down (towards minus infinity): the day of an instant before the first day
// is -1.
constexpr std::int64_t floorDiv(std::int64_t value, std::int64_t by) {
    const std::int64_t q = value / by;
    return (value % by != 0 && value < 0) ? q - 1 : q;
}

// Days from 1970-01-01 of a date written YYYY-MM-DD; nothing when it is not a valid date.
std::optional<std::int64_t> daysFromDate(std::string_view date);
// The date YYYY-MM-DD of a day counted from 1970-01-01.
std::string dateOfDays(std::int64_t days);

}  // namespace truno
