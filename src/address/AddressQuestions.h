#pragma once

#include "platform/files/FileVersion.h"

#include <QString>

#include <string>
#include <string_view>

namespace kb::address {

// What "&Delete" asks about the address of that name.
QString deleteQuestion(std::string_view name);

// What Exit asks before it writes the address file, as an editor asks before
// it writes over a file changed since it was read; empty when the file is as
// it was opened.
QString overwriteQuestion(kb::platform::FileChange change, const std::string& fileName);

// What Escape asks on the Edit page when the fields hold changes.
inline const QString discardEditsQuestion = QStringLiteral("Discard the changes to this address?");

} // namespace kb::address
