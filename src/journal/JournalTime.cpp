#include "journal/JournalTime.h"

#include <charconv>
#include <cstdio>

namespace nkq::journal {

namespace {

using namespace std::chrono;

// Reads exactly `width` digits at `at`, advancing past them.
std::optional<int> Digits(std::string_view text, std::size_t& at, std::size_t width) {
    if (text.size() < at + width) return std::nullopt;
    int value = 0;
    const char* first = text.data() + at;
    for (std::size_t i = 0; i < width; ++i) {
        if (first[i] < '0' || first[i] > '9') return std::nullopt;
    }
    std::from_chars(first, first + width, value);
    at += width;
    return value;
}

bool Expect(std::string_view text, std::size_t& at, char wanted) {
    if (at >= text.size() || text[at] != wanted) return false;
    ++at;
    return true;
}

std::optional<sys_days> ParseDate(std::string_view text, std::size_t& at) {
    const auto y = Digits(text, at, 4);
    if (!y || !Expect(text, at, '-')) return std::nullopt;
    const auto m = Digits(text, at, 2);
    if (!m || !Expect(text, at, '-')) return std::nullopt;
    const auto d = Digits(text, at, 2);
    if (!d) return std::nullopt;
    const year_month_day date{year{*y}, month{static_cast<unsigned>(*m)}, day{static_cast<unsigned>(*d)}};
    if (!date.ok()) return std::nullopt;
    return sys_days{date};
}

// "HH:MM", then optionally ":SS" and ".mmm".
std::optional<milliseconds> ParseClock(std::string_view text, std::size_t& at) {
    const auto h = Digits(text, at, 2);
    if (!h || *h > 23 || !Expect(text, at, ':')) return std::nullopt;
    const auto m = Digits(text, at, 2);
    if (!m || *m > 59) return std::nullopt;
    milliseconds since_midnight = hours{*h} + minutes{*m};
    if (!Expect(text, at, ':')) return since_midnight;
    const auto s = Digits(text, at, 2);
    if (!s || *s > 59) return std::nullopt;
    since_midnight += seconds{*s};
    if (!Expect(text, at, '.')) return since_midnight;
    const auto ms = Digits(text, at, 3);
    if (!ms) return std::nullopt;
    return since_midnight + milliseconds{*ms};
}

}  // namespace

std::string FormatJournalTime(TimePoint time) {
    const auto ms = floor<milliseconds>(time);
    const auto date = floor<days>(ms);
    const year_month_day ymd{date};
    const hh_mm_ss clock{ms - date};
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02u-%02uT%02d:%02d:%02d.%03dZ", static_cast<int>(ymd.year()),
                  static_cast<unsigned>(ymd.month()), static_cast<unsigned>(ymd.day()),
                  static_cast<int>(clock.hours().count()), static_cast<int>(clock.minutes().count()),
                  static_cast<int>(clock.seconds().count()), static_cast<int>(clock.subseconds().count()));
    return text;
}

std::string FormatTableTime(TimePoint time) {
    std::string text = FormatJournalTime(time).substr(0, 19);
    text[10] = ' ';
    return text;
}

std::string ShownJournalTime(const OperationRecord& record) {
    return record.Unread.Started.empty() ? FormatJournalTime(record.Started) : record.Unread.Started;
}

std::string ShownTableTime(const OperationRecord& record) {
    return record.Unread.Started.empty() ? FormatTableTime(record.Started) : record.Unread.Started;
}

std::optional<TimePoint> ParseJournalTime(std::string_view text) {
    std::size_t at = 0;
    const auto date = ParseDate(text, at);
    if (!date) return std::nullopt;
    milliseconds since_midnight{0};
    if (at < text.size() && (text[at] == 'T' || text[at] == ' ')) {
        ++at;
        const auto clock = ParseClock(text, at);
        if (!clock) return std::nullopt;
        since_midnight = *clock;
    }
    Expect(text, at, 'Z');
    if (at != text.size()) return std::nullopt;
    return TimePoint{*date + since_midnight};
}

}  // namespace nkq::journal
