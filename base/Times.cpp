#include "base/Times.h"

#include <charconv>
#include <cstdio>
#include <cstring>

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

}  // namespace

std::optional<std::int64_t> millisecondsOfDay(std::string_view timeOfDay) {
    // A log's times are HH:MM:SS with one to three digits of the second's fraction: read at once.
    if (timeOfDay.size() >= 10 && timeOfDay.size() <= 12 && timeOfDay[2] == ':' && timeOfDay[5] == ':' &&
        timeOfDay[8] == '.') {
        const char* t = timeOfDay.data();
        bool digits = true;
        for (const std::size_t i : {0u, 1u, 3u, 4u, 6u, 7u}) digits = digits && isDigit(t[i]);
        for (std::size_t i = 9; i < timeOfDay.size(); ++i) digits = digits && isDigit(t[i]);
        const int hours = (t[0] - '0') * 10 + (t[1] - '0');
        const int minutes = (t[3] - '0') * 10 + (t[4] - '0');
        const int seconds = (t[6] - '0') * 10 + (t[7] - '0');
        if (digits && hours <= 23 && minutes <= 59 && seconds <= 59) {
            std::int64_t milliseconds = ((std::int64_t{hours} * 60 + minutes) * 60 + seconds) * 1000;
            std::int64_t scale = 100;
            for (std::size_t i = 9; i < timeOfDay.size(); ++i, scale /= 10) milliseconds += (t[i] - '0') * scale;
            return milliseconds;
        }
    }
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

std::optional<std::int64_t> TimeOfDayReader::read(std::string_view timeOfDay) {
    constexpr std::size_t kSecond = sizeof second_;
    if (timeOfDay.size() <= kSecond || timeOfDay.size() > kSecond + 3) return millisecondsOfDay(timeOfDay);
    // One to three digits of the second's fraction after "HH:MM:SS.", each worth a tenth of the
    // one before (-1: not all digits).
    std::int64_t fraction = 0;
    std::int64_t scale = 100;
    for (std::size_t i = kSecond; i < timeOfDay.size(); ++i, scale /= 10) {
        const auto digit = static_cast<unsigned char>(timeOfDay[i] - '0');
        if (digit > 9) {
            fraction = -1;
            break;
        }
        fraction += digit * scale;
    }
    if (fraction >= 0 && haveSecond_ && std::memcmp(timeOfDay.data(), second_, kSecond) == 0) return secondMs_ + fraction;
    const std::optional<std::int64_t> read = millisecondsOfDay(timeOfDay);
    // Kept when the time is of that form: read as its second and a fraction.
    if (read && fraction >= 0 && timeOfDay[2] == ':' && timeOfDay[5] == ':' && timeOfDay[8] == '.') {
        haveSecond_ = true;
        std::memcpy(second_, timeOfDay.data(), kSecond);
        secondMs_ = *read - fraction;
    }
    return read;
}

std::optional<std::int64_t> daysFromDate(std::string_view date) {
    if (date.size() != 10 || date[4] != '-' || date[7] != '-') return std::nullopt;
    int year = 0;
    unsigned month = 0;
    unsigned day = 0;
    const auto read = [&](std::size_t at, std::size_t n, auto& value) {
        const auto r = std::from_chars(date.data() + at, date.data() + at + n, value);
        return r.ec == std::errc{} && r.ptr == date.data() + at + n;
    };
    if (!read(0, 4, year) || !read(5, 2, month) || !read(8, 2, day)) return std::nullopt;
    constexpr unsigned kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    if (month < 1 || month > 12 || day < 1 || day > kDays[month - 1] + ((month == 2 && leap) ? 1u : 0u))
        return std::nullopt;
    // Days from civil (Howard Hinnant's algorithm).
    const int y = year - (month <= 2 ? 1 : 0);
    const int era = (y >= 0 ? y : y - 399) / 400;
    const auto yearOfEra = static_cast<unsigned>(y - era * 400);
    const unsigned dayOfYear = (153 * (month > 2 ? month - 3 : month + 9) + 2) / 5 + day - 1;
    const unsigned dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return std::int64_t{era} * 146097 + static_cast<std::int64_t>(dayOfEra) - 719468;
}

std::string dateOfDays(std::int64_t days) {
    // Civil from days (Howard Hinnant's algorithm).
    const std::int64_t z = days + 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const auto dayOfEra = static_cast<unsigned>(z - era * 146097);
    const unsigned yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const std::int64_t y = static_cast<std::int64_t>(yearOfEra) + era * 400;
    const unsigned dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const unsigned mp = (5 * dayOfYear + 2) / 153;
    const unsigned d = dayOfYear - (153 * mp + 2) / 5 + 1;
    const unsigned m = mp < 10 ? mp + 3 : mp - 9;
    char text[32];
    std::snprintf(text, sizeof text, "%04lld-%02u-%02u", static_cast<long long>(y) + (m <= 2 ? 1 : 0), m, d);
    return text;
}

}  // namespace truno
