// Dates as the settings store them: a day number counted from 30 December 1899 (day 0),
// kept multiplied by 7 (the lower date of the date filter) or by 9 (the upper date).
#pragma once

#include <optional>

namespace kestrix::app {

struct CivilDate {
  int year = 1899;
  int month = 12;
  int day = 30;
  bool operator==(const CivilDate&) const = default;
};

// Day numbers of the dates the window can show: 1 January 1753 to 31 December 9999.
inline constexpr int kFirstDayNumber = -53688;
inline constexpr int kLastDayNumber = 2958465;

// The day number of `date` (1 January 2000 is 36526).
int dayNumber(const CivilDate& date);
// The date of a day number.
CivilDate dateOfDayNumber(int dayNumber);
// `date` moved by whole calendar months; a day past the month's end becomes its last day.
CivilDate addMonths(const CivilDate& date, int months);

// The lower date's stored number: the day number (with its time of day as a fraction)
// rounded to the nearest integer, times 7.
int encodeLowerDate(double dayNumber);
// The upper date's stored number: the rounded day number times 9.
int encodeUpperDate(double dayNumber);
// The day number of a stored lower / upper date (truncating division); nothing when it
// lies outside kFirstDayNumber..kLastDayNumber.
std::optional<int> decodeLowerDate(int stored);
std::optional<int> decodeUpperDate(int stored);

}  // namespace kestrix::app
