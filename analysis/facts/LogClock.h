#pragma once
// The log's times of day on one time line: a message whose time is well before the time of the
// message before it has passed midnight.
#include "base/Times.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace truno {

// Turns the times of the messages, in log order, into instants: milliseconds from midnight
// before the first message. A time more than twelve hours before the latest time read has
// passed midnight (one day more); a time less than that before it is taken as a message logged
// a little out of order on the same day, so that a small step back does not add a whole day to
// every later time.
class LogClock {
public:
    std::optional<std::int64_t> instant(std::string_view timeOfDay);
    // The same for a time already read as milliseconds of the day (nothing: no time).
    std::optional<std::int64_t> instantOf(std::optional<std::int64_t> ofDay);

private:
    std::int64_t day_ = 0;
    std::int64_t latest_ = -1;  // milliseconds of day of the latest time read
    TimeOfDayReader times_;     // a time in the second of the one before read by its fraction
};

// A duration in milliseconds as seconds with three decimals ("12.340"); negative durations keep
// their sign.
void appendSeconds(std::string& out, std::int64_t milliseconds);

// An instant as a time of day with milliseconds ("10:15:22.100"), after the day when it is past
// the log's first midnight ("+1d 00:00:05.000").
void appendInstant(std::string& out, std::int64_t instant);

}  // namespace truno
