#include "analysis/LogClock.h"

#include <charconv>

#include <cstdio>

namespace truno {
namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// A number of one or two digits at `at`, moving `at` past it; -1 when there is none.
int readNumber(std::string_view text, std::size_t& at, std::size_t maxDigits) {
    int value = 0;
    std::size_t digits = 0;
    while (at < text.size() && digits < maxDigits && isDigit(text[at])) {
        value = value * 10 + (text[at] - '0');
        ++at;
        ++digits;
    }
    return digits == 0 ? -1 : value;
}

constexpr std::int64_t kTwelveHours = kMillisecondsPerDay / 2;

}  // namespace

std::optional<std::int64_t> millisecondsOfDay(std::string_view timeOfDay) {
    std::size_t at = 0;
    const int hours = readNumber(timeOfDay, at, 2);
    if (hours < 0 || hours > 23 || at >= timeOfDay.size() || timeOfDay[at] != ':') return std::nullopt;
    ++at;
    const std::size_t minutesAt = at;
    const int minutes = readNumber(timeOfDay, at, 2);
    if (minutes < 0 || minutes > 59 || at - minutesAt != 2 || at >= timeOfDay.size() || timeOfDay[at] != ':')
        return std::nullopt;
    ++at;
    const std::size_t secondsAt = at;
    const int seconds = readNumber(timeOfDay, at, 2);
    if (seconds < 0 || seconds > 59 || at - secondsAt != 2) return std::nullopt;
    std::int64_t milliseconds = ((std::int64_t{hours} * 60 + minutes) * 60 + seconds) * 1000;
    if (at == timeOfDay.size()) return milliseconds;
    if (timeOfDay[at] != '.' || at + 1 == timeOfDay.size()) return std::nullopt;
    ++at;
    std::int64_t scale = 100;
    for (; at < timeOfDay.size(); ++at) {
        if (!isDigit(timeOfDay[at])) return std::nullopt;
        milliseconds += (timeOfDay[at] - '0') * scale;
        scale /= 10;
    }
    return milliseconds;
}

std::optional<std::int64_t> LogClock::instant(std::string_view timeOfDay) {
    const std::optional<std::int64_t> ofDay = millisecondsOfDay(timeOfDay);
    if (!ofDay) return std::nullopt;
    if (latest_ >= 0 && *ofDay < latest_ - kTwelveHours) ++day_;
    // A time a little before the latest one leaves the latest where it is, so that the next
    // message is compared with the furthest point the log has reached.
    if (*ofDay >= latest_ || *ofDay < latest_ - kTwelveHours) latest_ = *ofDay;
    return day_ * kMillisecondsPerDay + *ofDay;
}

void appendSeconds(std::string& out, std::int64_t milliseconds) {
    if (milliseconds < 0) out += '-';
    const std::uint64_t magnitude = milliseconds < 0 ? 0 - static_cast<std::uint64_t>(milliseconds)
                                                     : static_cast<std::uint64_t>(milliseconds);
    char text[24];
    const auto end = std::to_chars(text, text + sizeof text, magnitude / 1000).ptr;
    out.append(text, static_cast<std::size_t>(end - text));
    const auto thousandths = static_cast<unsigned>(magnitude % 1000);
    const char fraction[4] = {'.', static_cast<char>('0' + thousandths / 100),
                              static_cast<char>('0' + thousandths / 10 % 10), static_cast<char>('0' + thousandths % 10)};
    out.append(fraction, 4);
}

void appendInstant(std::string& out, std::int64_t instant) {
    const std::int64_t day = instant >= 0 ? instant / kMillisecondsPerDay : -1 - (-1 - instant) / kMillisecondsPerDay;
    const std::int64_t ofDay = instant - day * kMillisecondsPerDay;
    if (day != 0) {
        out += day > 0 ? "+" : "";
        out += std::to_string(day);
        out += "d ";
    }
    const auto two = [&out](std::int64_t value) {
        out += static_cast<char>('0' + value / 10);
        out += static_cast<char>('0' + value % 10);
    };
    two(ofDay / 3600000);
    out += ':';
    two(ofDay / 60000 % 60);
    out += ':';
    two(ofDay / 1000 % 60);
    out += '.';
    const std::int64_t thousandths = ofDay % 1000;
    out += static_cast<char>('0' + thousandths / 100);
    two(thousandths % 100);
}

}  // namespace truno
