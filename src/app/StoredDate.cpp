// Day numbers and their stored forms.
#include "app/StoredDate.h"

#include <cmath>

#include "platform/Platform.h"

namespace kestrix::app {

namespace {

// Days from 1970-01-01 to 1899-12-30.
const int kEpochOffset = static_cast<int>(platform::daysFromCivil(1899, 12, 30));

int roundedDay(double dayNumber) {
  if (!(dayNumber >= kFirstDayNumber && dayNumber <= kLastDayNumber)) return 0;
  return static_cast<int>(std::lround(dayNumber));
}

std::optional<int> inRange(int day) {
  if (day < kFirstDayNumber || day > kLastDayNumber) return std::nullopt;
  return day;
}

int daysInMonth(int year, int month) {
  static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  return month == 2 && leap ? 29 : kDays[month - 1];
}

}  // namespace

int dayNumber(const CivilDate& date) {
  return static_cast<int>(platform::daysFromCivil(date.year, date.month, date.day)) - kEpochOffset;
}

CivilDate dateOfDayNumber(int dayNumber) {
  // Days since 0000-03-01 split into 400-year eras (proleptic Gregorian calendar).
  const long z = static_cast<long>(dayNumber) + kEpochOffset + 719468;
  const long era = (z >= 0 ? z : z - 146096) / 146097;
  const long doe = z - era * 146097;
  const long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const long mp = (5 * doy + 2) / 153;
  const int day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  const int month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  const int year = static_cast<int>(yoe + era * 400 + (month <= 2 ? 1 : 0));
  return {year, month, day};
}

CivilDate addMonths(const CivilDate& date, int months) {
  const int index = date.year * 12 + (date.month - 1) + months;
  CivilDate out{index / 12, index % 12 + 1, date.day};
  if (out.day > daysInMonth(out.year, out.month)) out.day = daysInMonth(out.year, out.month);
  return out;
}

int encodeLowerDate(double dayNumber) {
  return roundedDay(dayNumber) * 7;
}

int encodeUpperDate(double dayNumber) {
  return roundedDay(dayNumber) * 9;
}

std::optional<int> decodeLowerDate(int stored) {
  return inRange(stored / 7);
}

std::optional<int> decodeUpperDate(int stored) {
  return inRange(stored / 9);
}

}  // namespace kestrix::app
