#pragma once

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QVariant>
#include <optional>

// The one place that formats and parses money and dates.

// Rounds to cents, half away from zero; a result of zero is exactly 0 (never -0).
double RoundCents(double amount);

// Money as shown, logged and written to cells: "######0.00" (no thousands separator).
QString FormatMoney(double amount);
// The same with the locale's decimal point, for a spreadsheet that reads numbers in that locale.
QString FormatMoneyForLocale(double amount);

// A tax percent as shown and written to cells: plainly, as few digits as it takes ("8.25", "20").
QString FormatPercent(double percent);

// An invoice number: the whole number with leading zeros to at least seven digits; none for a
// number beyond the whole numbers a double holds exactly.
std::optional<QString> FormatInvoiceNumber(double number);

// A number typed by the user, read in the system locale (or plainly, "1234.5"); none when
// the text is not numeric.
std::optional<double> ParseNumber(const QString& text);
bool IsNumeric(const QString& text);

// Money read from text or a stored value, rounded to cents; none when not numeric.
std::optional<double> ParseMoney(const QVariant& value);

// The locale's short date form with the year widened to four digits ("M/d/yyyy" in en_US).
QString ShortDateFormat();
QString FormatShortDate(const QDate& date);

// Accepts the locale's short form with a two- or four-digit year (two digits map into
// 1950-2049) and ISO yyyy-MM-dd. Surrounding spaces are ignored.
std::optional<QDate> ParseDate(const QString& text);
bool IsDate(const QString& text);

// Stored dates are ISO text; a value that is not one reads as an invalid date.
QString DateToStored(const QDate& date);
QDate DateFromStored(const QVariant& value);

// A stored date as the user sees it: the short date form, or empty text when not a date.
QString ShowStoredDate(const QVariant& value);

// The general date of the log: short date, a space, long time (the time left out at midnight).
QString FormatGeneralDate(const QDateTime& moment);
