#include "ui/RegionalFormatsQt.h"

#include <QRegularExpression>

#include "text/Cp1251.h"

namespace rv {
namespace {

// One Windows-1251 character of a separator; the fallback when the locale's is not one byte.
char SingleByte(const QString& text, char fallback) {
    const std::string bytes = Utf8ToCp1251(text.toStdString());
    return bytes.size() == 1 ? bytes[0] : fallback;
}

QString WithoutTimeZone(QString pattern) {
    // "t", "tt", "ttt", "tttt" name the time zone; the unit's times carry none.
    pattern.remove(QRegularExpression(QStringLiteral("\\s*t+")));
    return pattern.trimmed();
}

// The console shows dates as numbers only; a locale whose short date names the month or the day
// (the C locale's "d MMM yyyy") gets the numeric day.month.year instead.
QString NumericDate(const QString& pattern) {
    if (pattern.isEmpty() || pattern.contains(QStringLiteral("MMM")) ||
        pattern.contains(QStringLiteral("ddd"))) {
        return QStringLiteral("dd.MM.yyyy");
    }
    return pattern;
}

char TimeSeparatorOf(const QString& timePattern) {
    for (qsizetype i = 0; i < timePattern.size(); ++i) {
        const QChar c = timePattern[i];
        if (c == u'h' || c == u'H') {
            qsizetype j = i;
            while (j < timePattern.size() && (timePattern[j] == u'h' || timePattern[j] == u'H'))
                ++j;
            if (j < timePattern.size() && !timePattern[j].isLetter()) {
                return SingleByte(QString(timePattern[j]), ':');
            }
            break;
        }
    }
    return ':';
}

}  // namespace

RegionalFormats RegionalFormatsOf(const QLocale& locale) {
    RegionalFormats f;
    f.decimalSeparator = SingleByte(locale.decimalPoint(), '.');
    const QString date = NumericDate(locale.dateFormat(QLocale::ShortFormat));
    const QString time = WithoutTimeZone(locale.timeFormat(QLocale::LongFormat));
    f.shortDateFormat = date.toStdString();
    if (!time.isEmpty()) f.longTimeFormat = time.toStdString();
    f.timeSeparator = TimeSeparatorOf(time);
    return f;
}

}  // namespace rv
