#include "export/ExportCommand.h"

#include <QCoreApplication>

#include <string>
#include <vector>

namespace {

// Qt's own notes (a missing runtime directory, a font it substitutes) say
// nothing to the user of a command; its errors still do.
void keepQtErrorsOnly(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (type == QtCriticalMsg || type == QtFatalMsg)
        qt_message_output(type, context, message);
}

} // namespace

int main(int argc, char** argv)
{
    qInstallMessageHandler(keepQtErrorsOnly);
    // The picture loader finds its image readers through the application;
    // metafiles, whose text needs fonts, are drawn by the helper process.
    // Qt sees no argument of ours, so none of them can be taken for one of
    // its own.
    int qtArgc = 1;
    QCoreApplication application(qtArgc, argv);
    return kb::exporter::runExportCommand(std::vector<std::string>(argv + 1, argv + argc));
}
