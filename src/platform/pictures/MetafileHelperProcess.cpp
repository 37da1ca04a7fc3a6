#include "MetafileHelperProcess.h"

#include "platform/files/FileErrors.h"
#include "platform/pictures/FontSubstitutions.h"
#include "platform/pictures/Metafile.h"
#include "platform/pictures/MetafileProtocol.h"
#include "platform/pictures/MetafileSandbox.h"
#include "platform/pictures/SocketTransfer.h"

#include <QByteArray>
#include <QFont>
#include <QGuiApplication>
#include <QImageReader>
#include <QPainter>
#include <QString>

#include <csignal>
#include <cstdio>
#include <cstring>
#include <new>
#include <string>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kb::platform {
namespace {

namespace protocol = metafileProtocol;
constexpr int socketFd = protocol::helperSocket;

bool readAll(char* data, std::size_t size)
{
    return receiveAll(socketFd, data, size, noDeadline);
}

bool writeAll(const char* data, std::size_t size)
{
    return sendAll(socketFd, data, size, noDeadline);
}

// Qt opens a font's file when it first draws with it. Every face a metafile's
// text is likely to be set in is drawn with once here, before the sandbox
// forbids opening; a face no file asked for before then is left out of the
// text, and the shapes still show.
void openTheLikelyFaces()
{
    const char* const families[] = {"Arial",           "Times New Roman",  "Courier New",     "MS Sans Serif",
                                    "Liberation Sans", "Liberation Serif", "Liberation Mono", "Helvetica",
                                    "Times",           "Courier",          "Symbol",          "sans-serif",
                                    "serif",           "monospace"};
    QImage canvas(64, 32, QImage::Format_ARGB32_Premultiplied);
    QPainter painter(&canvas);
    const auto draw = [&painter](QFont font) {
        for (const bool bold : {false, true}) {
            for (const bool italic : {false, true}) {
                font.setBold(bold);
                font.setItalic(italic);
                font.setPixelSize(12);
                painter.setFont(font);
                painter.drawText(0, 20, QStringLiteral("Kb"));
            }
        }
    };
    draw(QFont());
    for (const char* family : families)
        draw(QFont(QString::fromLatin1(family)));
}

protocol::Outcome outcomeOf(const EInvalidGraphic& error)
{
    if (std::strcmp(error.what(), metafileOutOfMemory) == 0)
        return protocol::outOfMemory;
    if (std::strcmp(error.what(), metafilePlayerDidNotStart) == 0)
        return protocol::playerDidNotStart;
    return protocol::notValid;
}

bool answer(std::string_view bytes, PictureFormat format, double ratio, MetafileDecoder decode)
{
    protocol::Reply reply{protocol::notValid, 0, 0, 0, 0, 0};
    QImage picture;
    try {
        picture = decode(bytes, format, metafileRatio(ratio)).convertToFormat(QImage::Format_ARGB32_Premultiplied);
        if (!picture.isNull() && picture.width() <= MetafileLimits::maxSide
            && picture.height() <= MetafileLimits::maxSide)
            reply = {protocol::picture,
                     0,
                     unsigned(picture.width()),
                     unsigned(picture.height()),
                     protocol::ratioToWire(picture.devicePixelRatio()),
                     0};
    } catch (const EInvalidGraphic& error) {
        reply.outcome = outcomeOf(error);
    } catch (const std::bad_alloc&) {
        reply.outcome = protocol::outOfMemory;
    } catch (const std::exception&) {
    }
    reply.retiring = metafileHelperWornOut();
    if (!writeAll(reinterpret_cast<const char*>(&reply), sizeof reply))
        return false;
    if (reply.outcome == protocol::picture) {
        const std::size_t rowBytes = std::size_t(picture.width()) * 4;
        for (int y = 0; y < picture.height(); ++y) {
            if (!writeAll(reinterpret_cast<const char*>(picture.constScanLine(y)), rowBytes))
                return false;
        }
    }
    return !reply.retiring;
}

// Qt's own notes (a missing runtime directory, a font it substitutes) would
// reach the terminal of whoever started the program; its errors still do.
void keepQtErrorsOnly(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (type == QtCriticalMsg || type == QtFatalMsg)
        qt_message_output(type, context, message);
}

} // namespace

int runMetafileHelper(int argc, char** argv, MetafileDecoder decode)
{
    struct stat socketInfo {};
    if (::fstat(socketFd, &socketInfo) != 0 || !S_ISSOCK(socketInfo.st_mode)) {
        std::fputs("This program draws pictures for Kestrelbook 98 and is started by it.\n", stderr);
        return 2;
    }
    // Ends with the program, even when the program cannot end it.
    ::prctl(PR_SET_PDEATHSIG, SIGKILL);
    std::signal(SIGPIPE, SIG_IGN);

    // Metafiles' text needs the font database of a GUI application;
    // the offscreen platform needs no display.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler(keepQtErrorsOnly);
    QGuiApplication application(argc, argv);
    installFontSubstitutions();
    openTheLikelyFaces();
    // Qt looks for image plugins once, before a metafile's embedded JPEG is
    // read.
    QImageReader::supportedImageFormats();
    if (!enterMetafileSandbox()) {
        std::fputs("The metafile helper could not enter its sandbox.\n", stderr);
        return 1;
    }
    if (!writeAll(&protocol::ready, 1))
        return 0;

    for (;;) {
        protocol::Request request{};
        if (!readAll(reinterpret_cast<char*>(&request), sizeof request) || request.size > maxPictureFileBytes)
            return 0;
        std::string bytes(std::size_t(request.size), '\0');
        if (!readAll(bytes.data(), bytes.size()))
            return 0;
        const PictureFormat format = request.format == protocol::enhancedMetafile ? PictureFormat::EnhancedMetafile
                                                                                  : PictureFormat::WindowsMetafile;
        if (!answer(bytes, format, protocol::ratioFromWire(request.ratio), decode))
            return 0;
    }
}

} // namespace kb::platform
