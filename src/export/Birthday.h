#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace kb::exporter {

// How the DOS product writes a date: the order of its parts, as its setting
// DATE_FORMAT=DD/MM/YYYY says, and the character between them.
struct DateFormat {
    enum class Order { Unknown, DayMonthYear, MonthDayYear, YearMonthDay };
    Order order = Order::Unknown;
    char separator = '/';
};

// The date format that the DATE_FORMAT line of the DOS product's settings
// file (Rurized.ini) names; Unknown when it names none.
DateFormat dateFormatOfSettings(std::string_view settingsText);

struct Date {
    int year;
    int month;
    int day;

    bool operator==(const Date& other) const { return year == other.year && month == other.month && day == other.day; }
};

// The date that a birthday's text is, in the DOS product's ways of writing
// one: day, month and a four-digit year separated by '/', '.' or '-', in the
// order of format, or year first. Where the order is not known, day-first
// and month-first text is a date only when one reading alone is a real day.
// Anything else (a year of two digits, a month's name, a note) is no date.
std::optional<Date> birthdayDate(std::string_view text, DateFormat format);

// The date as the DOS product writes it in format, zero-padded; year first
// (1961-03-12) where the order is not known.
std::string birthdayText(const Date& date, DateFormat format);

// The date as vCard 3.0 writes a date: 1961-03-12.
std::string vCardDate(const Date& date);
// A date written by a card (19610312 or 1961-03-12, a time after it
// ignored); nothing for a partial or unreadable date.
std::optional<Date> dateOfVCard(std::string_view value);

} // namespace kb::exporter
