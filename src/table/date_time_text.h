// A date and time as the tables write it, "2026-11-30 09:14:02" (ISO 8601 with a
// blank for the "T", local time, no offset): the one shape a date column's cells
// take, which a workbook stores as a date-time cell and a spreadsheet opening a
// text table reads as a date.
#pragma once

#include <string>
#include <string_view>

namespace tabulon {

struct DateTimeFields {
    int year = 0;  // 1..9999
    int month = 0;
    int day = 0;
    int hour = 0;
    int minute = 0;
    int second = 0;
};

// "YYYY-MM-DD HH:MM:SS" of `fields`.
std::string dateTimeText(const DateTimeFields& fields);

// Reads `text` when it is exactly that shape and a real day and time from 1901
// on (workbooks count the days of 1900 their own way); false otherwise.
bool readDateTimeText(std::string_view text, DateTimeFields* fields);

// The date and time a workbook's date-time number stands for (days since
// 1899-12-30 and the fraction of the day), to the nearest second; false for a
// number before 1900-03-01 (where workbooks count a 29 February 1900) or after
// 9999.
bool fieldsOfWorkbookSerial(double serial, DateTimeFields* fields);

}  // namespace tabulon
