#include "AddressQuestions.h"

#include "platform/text/AnsiText.h"

#include <QFile>

namespace kb::address {

QString deleteQuestion(std::string_view name)
{
    if (name.empty())
        return QStringLiteral("Delete Address?");
    return QStringLiteral("Delete Address for \"") + kb::platform::textFromBytes(name) + QStringLiteral("\" ?");
}

QString overwriteQuestion(kb::platform::FileChange change, const std::string& fileName)
{
    // The other program's change would be lost for good. A name that leads
    // elsewhere now, or to nothing, may not be the user's file at all.
    switch (change) {
    case kb::platform::FileChange::None: break;
    case kb::platform::FileChange::Changed:
        return QStringLiteral("The address file was changed by another program after it was opened. "
                              "Overwrite it?");
    case kb::platform::FileChange::Replaced:
        return QStringLiteral("The address file's name now leads to another file than the one opened: \"%1\". "
                              "Write the addresses into that file?")
            .arg(QFile::decodeName(QByteArray::fromStdString(kb::platform::fileNameLeadsTo(fileName))));
    case kb::platform::FileChange::Gone:
        return QStringLiteral("The address file was deleted or renamed after it was opened. "
                              "Write it again under its old name?");
    }
    return QString();
}

} // namespace kb::address
