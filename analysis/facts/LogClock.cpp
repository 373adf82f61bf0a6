#include "analysis/facts/LogClock.h"

#include <charconv>

#include <cstdio>

namespace truno {
namespace {

constexpr std::int64_t kTwelveHours = kMillisecondsPerDay / 2;

}  // namespace

std::optional<std::int64_t> LogClock::instant(std::string_view timeOfDay) { return instantOf(times_.read(timeOfDay)); }

std::optional<std::int64_t> LogClock::instantOf(std::optional<std::int64_t> ofDay) {
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
