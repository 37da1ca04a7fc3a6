#include "LongTime.h"

namespace kb::platform {
namespace {

// Drops every run of the zone field 't' outside quoted text, then the
// brackets and spaces it leaves: "t HH:mm:ss" and "H:mm:ss (t)" become
// "HH:mm:ss" and "H:mm:ss".
QString withoutTimeZone(const QString& format)
{
    QString kept;
    bool quoted = false;
    for (const QChar c : format) {
        if (c == QLatin1Char('\''))
            quoted = !quoted;
        if (quoted || c != QLatin1Char('t'))
            kept += c;
    }
    kept.remove(QStringLiteral("()"));
    while (kept.contains(QStringLiteral("  ")))
        kept.replace(QStringLiteral("  "), QStringLiteral(" "));
    return kept.trimmed();
}

} // namespace

QString longTimeText(const QLocale& locale, const QTime& time)
{
    return locale.toString(time, withoutTimeZone(locale.timeFormat(QLocale::LongFormat)));
}

} // namespace kb::platform
