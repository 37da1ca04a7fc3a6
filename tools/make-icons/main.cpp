// Writes the program's icon for installation, from the same drawing as the
// window icon, so that the desktop and the window show one picture:
//
//   kestrelbook-make-icons OUT_DIR APPLICATION_ID
//
// OUT_DIR/<size>x<size>/APPLICATION_ID.png for each size, and
// OUT_DIR/scalable/APPLICATION_ID.svg.
#include "resources/LauncherArt.h"

#include <QDir>
#include <QFile>

#include <cstdio>

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s OUT_DIR APPLICATION_ID\n", argv[0]);
        return 2;
    }
    const QString out = QString::fromLocal8Bit(argv[1]);
    const QString id = QString::fromLocal8Bit(argv[2]);

    for (const int size : kb::resources::applicationIconSizes) {
        const QString directory = QStringLiteral("%1/%2x%2").arg(out).arg(size);
        const QString file = directory + QLatin1Char('/') + id + QStringLiteral(".png");
        if (!QDir().mkpath(directory) || !kb::resources::applicationIconImage(size).save(file, "PNG")) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(file));
            return 1;
        }
    }
    const QString scalable = out + QStringLiteral("/scalable");
    QFile svg(scalable + QLatin1Char('/') + id + QStringLiteral(".svg"));
    if (!QDir().mkpath(scalable) || !svg.open(QIODevice::WriteOnly | QIODevice::Truncate)
        || svg.write(kb::resources::applicationIconSvg()) < 0 || !svg.flush()) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(svg.fileName()));
        return 1;
    }
    return 0;
}
