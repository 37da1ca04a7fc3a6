// The metafile helper with a decoder gone bad, as an exploited or broken
// picture library would be: the first bytes of a request say what it does.
// Anything else is played as usual.
#include "platform/pictures/MetafileHelperProcess.h"
#include "platform/pictures/MetafilePlayer.h"

#include <QImage>

#include <fcntl.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

// What the decoder hands back when it got out of its sandbox.
QImage escaped()
{
    QImage picture(1, 1, QImage::Format_ARGB32_Premultiplied);
    picture.fill(Qt::red);
    return picture;
}

QImage hostileDecoder(std::string_view bytes, kb::platform::PictureFormat format, double ratio)
{
    if (bytes == "crash") {
        volatile int* nowhere = nullptr;
        *nowhere = 1;
    }
    if (bytes == "loop") {
        volatile bool spinning = true;
        while (spinning) {}
    }
    if (bytes == "open" && ::open("/etc/passwd", O_RDONLY) >= 0)
        return escaped();
    if (bytes == "create" && ::creat("/tmp/kestrelbook-escaped", 0600) >= 0)
        return escaped();
    if (bytes == "network") {
        const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
        if (fd >= 0)
            return escaped();
    }
    if (bytes == "process") {
        const pid_t child = ::fork();
        if (child == 0)
            ::_exit(0);
        if (child > 0)
            return escaped();
    }
    if (bytes == "program") {
        ::execl("/bin/true", "true", static_cast<char*>(nullptr));
        return escaped();
    }
    return kb::platform::playMetafile(bytes, format, ratio);
}

} // namespace

int main(int argc, char** argv)
{
    return kb::platform::runMetafileHelper(argc, argv, hostileDecoder);
}
