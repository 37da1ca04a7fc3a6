#include "ProgramStarter.h"

#include <QProcess>

namespace kb::launch {

bool DetachedProcessStarter::start(const QString& program, const QStringList& arguments)
{
    if (program.isEmpty())
        return false;
    return QProcess::startDetached(program, arguments);
}

} // namespace kb::launch
