#include "Birthday.h"

#include <array>
#include <cstdio>

namespace kb::exporter {

namespace {

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

bool isLeapYear(int year)
{
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

bool isRealDay(const Date& date)
{
    static constexpr std::array<int, 12> monthDays = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (date.year < 1 || date.month < 1 || date.month > 12 || date.day < 1)
        return false;
    if (date.month == 2 && date.day == 29)
        return isLeapYear(date.year);
    return date.day <= monthDays[static_cast<std::size_t>(date.month - 1)];
}

struct NumberPart {
    int value;
    std::size_t digits;
};

// Three runs of digits joined by one and the same separator, and nothing else.
std::optional<std::array<NumberPart, 3>> dateParts(std::string_view text)
{
    std::array<NumberPart, 3> parts{};
    char separator = 0;
    std::size_t i = 0;
    for (std::size_t part = 0; part < parts.size(); ++part) {
        if (part > 0) {
            if (i == text.size() || (separator != 0 && text[i] != separator))
                return std::nullopt;
            separator = text[i++];
            if (separator != '/' && separator != '.' && separator != '-')
                return std::nullopt;
        }
        const std::size_t start = i;
        int value = 0;
        while (i < text.size() && isDigit(text[i]) && i - start < 4)
            value = value * 10 + (text[i++] - '0');
        if (i == start || (i < text.size() && isDigit(text[i])))
            return std::nullopt;
        parts[part] = {value, i - start};
    }
    if (i != text.size())
        return std::nullopt;
    return parts;
}

std::string_view trimmed(std::string_view text)
{
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

std::optional<Date> dateIn(const std::array<NumberPart, 3>& parts, DateFormat::Order order)
{
    const auto& [a, b, c] = parts;
    Date date{};
    switch (order) {
    case DateFormat::Order::DayMonthYear:
        if (c.digits != 4 || a.digits > 2 || b.digits > 2)
            return std::nullopt;
        date = {c.value, b.value, a.value};
        break;
    case DateFormat::Order::MonthDayYear:
        if (c.digits != 4 || a.digits > 2 || b.digits > 2)
            return std::nullopt;
        date = {c.value, a.value, b.value};
        break;
    case DateFormat::Order::YearMonthDay:
        if (a.digits != 4 || b.digits > 2 || c.digits > 2)
            return std::nullopt;
        date = {a.value, b.value, c.value};
        break;
    case DateFormat::Order::Unknown: return std::nullopt;
    }
    if (!isRealDay(date))
        return std::nullopt;
    return date;
}

} // namespace

DateFormat dateFormatOfSettings(std::string_view settingsText)
{
    constexpr std::string_view key = "DATE_FORMAT=";
    std::size_t start = 0;
    while (start < settingsText.size()) {
        std::size_t end = settingsText.find_first_of("\r\n", start);
        if (end == std::string_view::npos)
            end = settingsText.size();
        std::string_view line = settingsText.substr(start, end - start);
        start = end + 1;
        if (line.substr(0, key.size()) != key)
            continue;
        line = trimmed(line.substr(key.size()));
        // DD/MM/YYYY and its kind: the first letter says the order, the
        // first character that is no letter the separator.
        DateFormat format;
        const std::size_t separator = line.find_first_not_of("DMYdmy");
        if (separator == std::string_view::npos || separator == 0)
            return {};
        format.separator = line[separator];
        switch (line[0]) {
        case 'D':
        case 'd': format.order = DateFormat::Order::DayMonthYear; break;
        case 'M':
        case 'm': format.order = DateFormat::Order::MonthDayYear; break;
        default: format.order = DateFormat::Order::YearMonthDay;
        }
        return format;
    }
    return {};
}

std::optional<Date> birthdayDate(std::string_view text, DateFormat format)
{
    const auto parts = dateParts(trimmed(text));
    if (!parts)
        return std::nullopt;
    if (auto yearFirst = dateIn(*parts, DateFormat::Order::YearMonthDay))
        return yearFirst;
    if (format.order != DateFormat::Order::Unknown)
        return dateIn(*parts, format.order);
    const auto dayFirst = dateIn(*parts, DateFormat::Order::DayMonthYear);
    const auto monthFirst = dateIn(*parts, DateFormat::Order::MonthDayYear);
    if (dayFirst && monthFirst)
        return *dayFirst == *monthFirst ? dayFirst : std::nullopt;
    return dayFirst ? dayFirst : monthFirst;
}

std::string birthdayText(const Date& date, DateFormat format)
{
    char text[64];
    const char s = format.separator;
    switch (format.order) {
    case DateFormat::Order::DayMonthYear:
        std::snprintf(text, sizeof text, "%02d%c%02d%c%04d", date.day, s, date.month, s, date.year);
        break;
    case DateFormat::Order::MonthDayYear:
        std::snprintf(text, sizeof text, "%02d%c%02d%c%04d", date.month, s, date.day, s, date.year);
        break;
    case DateFormat::Order::YearMonthDay:
        std::snprintf(text, sizeof text, "%04d%c%02d%c%02d", date.year, s, date.month, s, date.day);
        break;
    case DateFormat::Order::Unknown:
        std::snprintf(text, sizeof text, "%04d-%02d-%02d", date.year, date.month, date.day);
        break;
    }
    return text;
}

std::string vCardDate(const Date& date)
{
    char text[64];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d", date.year, date.month, date.day);
    return text;
}

std::optional<Date> dateOfVCard(std::string_view value)
{
    value = value.substr(0, value.find('T'));
    std::string digits;
    for (const char c : value) {
        if (isDigit(c))
            digits += c;
        else if (c != '-')
            return std::nullopt;
    }
    if (digits.size() != 8 || value.substr(0, 2) == "--")
        return std::nullopt;
    const Date date{std::stoi(digits.substr(0, 4)), std::stoi(digits.substr(4, 2)), std::stoi(digits.substr(6, 2))};
    if (!isRealDay(date))
        return std::nullopt;
    return date;
}

} // namespace kb::exporter
