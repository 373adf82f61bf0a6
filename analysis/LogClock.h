#pragma once
// The log's times of day on one time line: a message whose time is well before the time of the
// message before it has passed midnight.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace truno {

// Milliseconds since midnight of a time of day as the log writes it: H:MM:SS or HH:MM:SS, with
// an optional fraction of a second after a point ("20:22:27.43", "10:15:22.1"); digits of the
// fraction past the third are dropped. Nothing when the text is not such a time.
std::optional<std::int64_t> millisecondsOfDay(std::string_view timeOfDay);

inline constexpr std::int64_t kMillisecondsPerDay = std::int64_t{24} * 60 * 60 * 1000;

// value / by rounded down (towards minus infinity): the day of an instant before the first day
// is -1.
constexpr std::int64_t floorDiv(std::int64_t value, std::int64_t by) {
    const std::int64_t q = value / by;
    return (value % by != 0 && value < 0) ? q - 1 : q;
}

// Turns the times of the messages, in log order, into instants: milliseconds from midnight
// before the first message. A time more than twelve hours before the latest time read has
// passed midnight (one day more); a time less than that before it is taken as a message logged
// a little out of order on the same day, so that a small step back does not add a whole day to
// every later time.
class LogClock {
public:
    std::optional<std::int64_t> instant(std::string_view timeOfDay);

private:
    std::int64_t day_ = 0;
    std::int64_t latest_ = -1;  // milliseconds of day of the latest time read
};

// A duration in milliseconds as seconds with three decimals ("12.340"); negative durations keep
// their sign.
void appendSeconds(std::string& out, std::int64_t milliseconds);

// An instant as a time of day with milliseconds ("10:15:22.100"), after the day when it is past
// the log's first midnight ("+1d 00:00:05.000").
void appendInstant(std::string& out, std::int64_t instant);

}  // namespace truno
