#include "model/timestamp.h"

#include <cstdio>

namespace qw {

namespace {

// Reads exactly `count` decimal digits at `pos`.
std::optional<int> digits(std::string_view text, std::size_t pos, std::size_t count) {
    int value = 0;
    for (std::size_t i = pos; i < pos + count; ++i) {
        if (text[i] < '0' || text[i] > '9') return std::nullopt;
        value = value * 10 + (text[i] - '0');
    }
    return value;
}

} // namespace

Timestamp wholeSeconds(std::chrono::system_clock::time_point t) {
    return std::chrono::floor<std::chrono::seconds>(t);
}

std::string formatTimestamp(Timestamp t) {
    using namespace std::chrono;
    const auto day = floor<days>(t);
    const year_month_day ymd{day};
    const hh_mm_ss time{t - day};
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%04d-%02u-%02uT%02d:%02d:%02dZ", static_cast<int>(ymd.year()),
                  static_cast<unsigned>(ymd.month()), static_cast<unsigned>(ymd.day()),
                  static_cast<int>(time.hours().count()), static_cast<int>(time.minutes().count()),
                  static_cast<int>(time.seconds().count()));
    return buffer;
}

std::optional<Timestamp> parseTimestamp(std::string_view text) {
    using namespace std::chrono;
    // YYYY-MM-DDTHH:MM:SSZ
    if (text.size() != 20 || text[4] != '-' || text[7] != '-' || text[10] != 'T' || text[13] != ':' ||
        text[16] != ':' || text[19] != 'Z')
        return std::nullopt;
    const auto y = digits(text, 0, 4), mo = digits(text, 5, 2), d = digits(text, 8, 2);
    const auto h = digits(text, 11, 2), mi = digits(text, 14, 2), s = digits(text, 17, 2);
    if (!y || !mo || !d || !h || !mi || !s) return std::nullopt;
    const year_month_day ymd{year{*y}, month{static_cast<unsigned>(*mo)}, day{static_cast<unsigned>(*d)}};
    if (!ymd.ok() || *h > 23 || *mi > 59 || *s > 59) return std::nullopt;
    return sys_days{ymd} + hours{*h} + minutes{*mi} + seconds{*s};
}

} // namespace qw
