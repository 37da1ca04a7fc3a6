#pragma once

#include "platform/text/CodePage.h"

#include <QString>
#include <QStringView>

#include <string>
#include <string_view>

namespace kb::platform {

// The program's text is bytes in the ANSI code page of the user's language,
// shown as the Windows program showed them. Until chooseAnsiCodePage runs,
// the code page is Windows-1252.
QString textFromBytes(std::string_view bytes);

// A character the ANSI code page cannot hold becomes '?'.
std::string bytesFromText(QStringView text);

// The raw text of a text document, whose line breaks are paragraph and line
// separators, as bytes with every line break written as lineBreak.
std::string bytesFromDocumentText(QStringView text, std::string_view lineBreak);

// The ANSI code page that Windows gives the language of a locale name such
// as "ru_RU.UTF-8" or "sr_RS@latin": Windows-1252 wherever no other fits.
const CodePage& ansiCodePageOfLocale(std::string_view locale);

// Chooses the ANSI code page once at start from the locale the C library
// would use: LC_ALL, else LC_CTYPE, else LANG.
void chooseAnsiCodePage();

// Shows and stores the program's text in codePage from now on: the choice at
// start, or a test's.
void useAnsiCodePage(const CodePage& codePage);

// The code page the program's text is shown and stored in.
const CodePage& ansiCodePage();

} // namespace kb::platform
