// make_sample OUTPUT_DIR
//
// Draws the sample installation of Kestrelbook for DOS that the program is
// run and tested on: the pictures of System/, the settings file, the address
// file and its photos in Data/. Every run writes the same bytes.

#include "AddressBook.h"
#include "GamePictures.h"
#include "PhotoCards.h"
#include "Portraits.h"
#include "Quantise.h"
#include "Scenes.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QString>

#include <cstdio>
#include <functional>
#include <stdexcept>
#include <string>

namespace {

// The resolution is written into the file, so it is fixed here rather than
// taken from whatever screen the tool happens to run on.
void writeBitmap(QImage picture, const QString& path)
{
    constexpr int dotsPerMetreAt96Dpi = 3780;
    picture.setDotsPerMeterX(dotsPerMetreAt96Dpi);
    picture.setDotsPerMeterY(dotsPerMetreAt96Dpi);
    if (!picture.save(path, "BMP"))
        throw std::runtime_error("cannot write " + path.toStdString());
}

void writeBytes(const std::string& bytes, const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)
        || file.write(bytes.data(), qint64(bytes.size())) != qint64(bytes.size()))
        throw std::runtime_error("cannot write " + path.toStdString());
}

QString makeDirectory(const QDir& parent, const QString& name)
{
    if (!parent.mkpath(name))
        throw std::runtime_error("cannot create " + parent.filePath(name).toStdString());
    return parent.filePath(name);
}

void writeSystemPictures(const QDir& system)
{
    const struct {
        const char* file;
        std::function<QImage()> draw;
    } scenes[] = {
        {"P_hana02.bmp", tulipField}, {"P_hana03.bmp", cherryBlossom},  {"P_ki01.bmp", treeOnHill},
        {"P_ko01.bmp", lakeAtDusk},   {"P_yama01.bmp", mountainMeadow},
    };
    for (const auto& scene : scenes)
        writeBitmap(toIndexed(scene.draw(), 256, true), system.filePath(scene.file));
    writeBitmap(toIndexed(tileStrip(), 256, false), system.filePath("U_pai.bmp"));
    writeBitmap(toIndexed(magicEmblem(), 256, false), system.filePath("U_magic1.bmp"));
}

void writeData(const QDir& data)
{
    writeBytes(settingsFileBytes(), data.filePath("Rurized.ini"));
    writeBytes(addressFileBytes(sampleAddresses()), data.filePath("Address.csv"));
    const QDir photos(makeDirectory(data, "Photos"));
    for (const SampleAddress& address : sampleAddresses()) {
        if (address.photoFile.empty() || !address.photoShipped)
            continue;
        const QString file = photos.filePath(QString::fromStdString(address.photoFile));
        if (file.endsWith(".WMF"))
            writeBytes(photoCard(address, MetafileKind::PlaceableWindows), file);
        else if (file.endsWith(".EMF"))
            writeBytes(photoCard(address, MetafileKind::Enhanced), file);
        else
            writeBitmap(toIndexed(drawPortrait(address.portrait), 128, true), file);
    }
}

} // namespace

int main(int argc, char** argv)
{
    // The metafile photos space their text by the fonts' advances, which
    // only a GUI application's font database knows; no screen is needed.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT_DIR\n", argv[0]);
        return 2;
    }
    try {
        const QDir root(QString::fromLocal8Bit(argv[1]));
        if (!QDir().mkpath(root.path()))
            throw std::runtime_error(std::string("cannot create ") + argv[1]);
        writeSystemPictures(QDir(makeDirectory(root, "System")));
        writeData(QDir(makeDirectory(root, "Data")));
    } catch (const std::exception& error) {
        std::fprintf(stderr, "make_sample: %s\n", error.what());
        return 1;
    }
    return 0;
}
