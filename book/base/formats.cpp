#include "formats.h"

#include <QLocale>
#include <QRegularExpression>
#include <cmath>

double RoundCents(double amount) {
    // The nudge makes a typed half cent (12.345, held as 12.34499...) round away from zero.
    const double scaled = amount * 100.0;
    const double rounded = std::round(scaled + std::copysign(1e-7, scaled)) / 100.0;
    return rounded == 0.0 ? 0.0 : rounded;
}

QString FormatMoney(double amount) {
    return QString::number(RoundCents(amount), 'f', 2);
}

QString FormatMoneyForLocale(double amount) {
    return FormatMoney(amount).replace(QLatin1Char('.'), QLocale().decimalPoint());
}

QString FormatPercent(double percent) {
    return QString::number(percent, 'f', QLocale::FloatingPointShortest);
}

std::optional<QString> FormatInvoiceNumber(double number) {
    constexpr double ExactWholeLimit = 9007199254740992.0; // 2^53
    if (!std::isfinite(number) || std::abs(number) > ExactWholeLimit)
        return std::nullopt;
    const qlonglong whole = std::llround(number);
    const QString digits = QString::number(std::abs(whole)).rightJustified(7, '0');
    return whole < 0 ? '-' + digits : digits;
}

std::optional<double> ParseNumber(const QString& text) {
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty())
        return std::nullopt;
    bool ok = false;
    double value = QLocale::system().toDouble(trimmed, &ok);
    if (!ok)
        value = QLocale::c().toDouble(trimmed, &ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

bool IsNumeric(const QString& text) {
    return ParseNumber(text).has_value();
}

std::optional<double> ParseMoney(const QVariant& value) {
    if (value.isNull())
        return std::nullopt;
    const int type = value.metaType().id();
    if (type == QMetaType::Double || type == QMetaType::Int || type == QMetaType::LongLong ||
        type == QMetaType::Float || type == QMetaType::UInt || type == QMetaType::ULongLong) {
        const double number = value.toDouble();
        if (!std::isfinite(number))
            return std::nullopt;
        return RoundCents(number);
    }
    const auto parsed = ParseNumber(value.toString());
    if (!parsed)
        return std::nullopt;
    return RoundCents(*parsed);
}

QString ShortDateFormat() {
    QString format = QLocale::system().dateFormat(QLocale::ShortFormat);
    if (!format.contains(QLatin1String("yyyy")))
        format.replace(QLatin1String("yy"), QLatin1String("yyyy"));
    return format;
}

QString FormatShortDate(const QDate& date) {
    return date.isValid() ? QLocale::system().toString(date, ShortDateFormat()) : QString();
}

namespace {
// The order in which day, month and year stand in the locale's short form, e.g. "Mdy".
QString shortDateFieldOrder() {
    QString order;
    for (const QChar c : QLocale::system().dateFormat(QLocale::ShortFormat)) {
        const QChar field = c == 'd' ? 'd' : c == 'M' ? 'M' : c == 'y' ? 'y' : QChar();
        if (!field.isNull() && !order.contains(field))
            order += field;
    }
    return order.size() == 3 ? order : QStringLiteral("Mdy");
}
} // namespace

std::optional<QDate> ParseDate(const QString& text) {
    const QString trimmed = text.trimmed();
    static const QRegularExpression iso(QStringLiteral("^(\\d{4})-(\\d{1,2})-(\\d{1,2})$"));
    if (const auto m = iso.match(trimmed); m.hasMatch()) {
        const QDate date(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt());
        return date.isValid() ? std::optional(date) : std::nullopt;
    }
    // The form the program shows dates in always reads back, also where it names the month
    // (the C locale's "d MMM yyyy").
    if (const QDate shown = QLocale::system().toDate(trimmed, ShortDateFormat()); shown.isValid())
        return shown;
    static const QRegularExpression shortForm(
        QStringLiteral("^(\\d{1,4})[^\\d\\s]\\s*(\\d{1,4})[^\\d\\s]\\s*(\\d{1,4})\\.?$"));
    const auto m = shortForm.match(trimmed);
    if (!m.hasMatch())
        return std::nullopt;
    const QString order = shortDateFieldOrder();
    int day = 0, month = 0, year = 0;
    for (int i = 0; i < 3; ++i) {
        const QString part = m.captured(i + 1);
        if (order[i] == 'y') {
            if (part.size() == 2)
                year = part.toInt() < 50 ? 2000 + part.toInt() : 1900 + part.toInt();
            else if (part.size() == 4)
                year = part.toInt();
            else
                return std::nullopt;
        } else if (part.size() > 2) {
            return std::nullopt;
        } else {
            (order[i] == 'd' ? day : month) = part.toInt();
        }
    }
    const QDate date(year, month, day);
    return date.isValid() ? std::optional(date) : std::nullopt;
}

bool IsDate(const QString& text) {
    return ParseDate(text).has_value();
}

QString DateToStored(const QDate& date) {
    return date.isValid() ? date.toString(Qt::ISODate) : QString();
}

QDate DateFromStored(const QVariant& value) {
    if (value.isNull())
        return {};
    if (value.metaType().id() == QMetaType::QDate)
        return value.toDate();
    return QDate::fromString(value.toString(), Qt::ISODate);
}

QString ShowStoredDate(const QVariant& value) {
    return FormatShortDate(DateFromStored(value));
}

QString FormatGeneralDate(const QDateTime& moment) {
    const QString date = FormatShortDate(moment.date());
    if (moment.time() == QTime(0, 0))
        return date;
    // Qt's long time form ends in the time zone, which the log has no use for.
    QString timeFormat = QLocale::system().timeFormat(QLocale::LongFormat);
    timeFormat.remove(QRegularExpression(QStringLiteral("\\s*t+\\s*$")));
    return date + ' ' + QLocale::system().toString(moment.time(), timeFormat.trimmed());
}
