#include "table/date_time_text.h"

#include <cmath>
#include <cstdio>

namespace tabulon {
namespace {

// Days from 1970-01-01 to the day given, in the proleptic Gregorian calendar.
long daysFromCivil(long year, unsigned month, unsigned day) {
    year -= month <= 2;
    long era = (year >= 0 ? year : year - 399) / 400;
    auto yoe = static_cast<unsigned>(year - era * 400);
    unsigned doy = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<long>(doe) - 719468;
}

void civilFromDays(long days, DateTimeFields* fields) {
    days += 719468;
    long era = (days >= 0 ? days : days - 146096) / 146097;
    auto doe = static_cast<unsigned>(days - era * 146097);
    unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    unsigned mp = (5 * doy + 2) / 153;
    unsigned month = mp < 10 ? mp + 3 : mp - 9;
    fields->year = static_cast<int>(static_cast<long>(yoe) + era * 400 + (month <= 2));
    fields->month = static_cast<int>(month);
    fields->day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
}

bool readDigits(std::string_view text, size_t at, size_t count, int* value) {
    *value = 0;
    for (size_t i = at; i < at + count; ++i) {
        if (text[i] < '0' || text[i] > '9') return false;
        *value = *value * 10 + (text[i] - '0');
    }
    return true;
}

// Days from 1970-01-01 to 1899-12-30, the day before a workbook's day 1 as
// workbooks count (they take 1900 for a leap year).
constexpr long kWorkbookEpoch = -25569;

}  // namespace

std::string dateTimeText(const DateTimeFields& f) {
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", f.year, f.month, f.day,
                  f.hour, f.minute, f.second);
    return text;
}

bool readDateTimeText(std::string_view text, DateTimeFields* f) {
    if (text.size() != 19 || text[4] != '-' || text[7] != '-' || text[10] != ' ' ||
        text[13] != ':' || text[16] != ':')
        return false;
    if (!readDigits(text, 0, 4, &f->year) || !readDigits(text, 5, 2, &f->month) ||
        !readDigits(text, 8, 2, &f->day) || !readDigits(text, 11, 2, &f->hour) ||
        !readDigits(text, 14, 2, &f->minute) || !readDigits(text, 17, 2, &f->second))
        return false;
    if (f->year < 1901 || f->month < 1 || f->month > 12 || f->day < 1 || f->hour > 23 ||
        f->minute > 59 || f->second > 59)
        return false;
    // A day that does not exist (30 February) comes back as another.
    DateTimeFields same;
    civilFromDays(
        daysFromCivil(f->year, static_cast<unsigned>(f->month), static_cast<unsigned>(f->day)),
        &same);
    return same.month == f->month && same.day == f->day;
}

bool fieldsOfWorkbookSerial(double serial, DateTimeFields* f) {
    if (!std::isfinite(serial) || serial < 61 || serial > 2958466) return false;
    auto seconds = static_cast<long long>(std::llround(serial * 86400.0));
    long days = static_cast<long>(seconds / 86400);
    long rest = static_cast<long>(seconds % 86400);
    civilFromDays(days + kWorkbookEpoch, f);
    f->hour = static_cast<int>(rest / 3600);
    f->minute = static_cast<int>(rest / 60 % 60);
    f->second = static_cast<int>(rest % 60);
    return true;
}

}  // namespace tabulon
