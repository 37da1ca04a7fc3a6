#pragma once

#include <QLocale>
#include <QString>
#include <QTime>

namespace kb::platform {

// The time in the locale's long format less its time-zone name, which many
// locales put first or last: hours, minutes and seconds as the desktop's
// long time format gave them, "9:07:33 AM" in en_US.
QString longTimeText(const QLocale& locale, const QTime& time);

} // namespace kb::platform
