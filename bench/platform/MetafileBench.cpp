// A typical photo metafile of each kind, decoded and drawn: a 200 x 200
// scanned photo beside a few hundred records of shapes, lines and text. Each
// is drawn by the players in this process, as the program did before it had
// a helper, and as the program draws it now: in the sandboxed helper, kept
// running between photos. The last figure is a photo that finds no helper
// running (the first one, or the one after a failure): the helper's start.
#include "Metafiles.h"
#include "platform/pictures/FontSubstitutions.h"
#include "platform/pictures/Metafile.h"
#include "platform/pictures/MetafileHelper.h"
#include "platform/pictures/MetafilePlayer.h"
#include "platform/pictures/PictureFile.h"

#include <QGuiApplication>

#include <benchmark/benchmark.h>

#include <chrono>
#include <thread>

namespace {

QImage scannedPhoto()
{
    QImage photo(200, 200, QImage::Format_RGB32);
    for (int y = 0; y < photo.height(); ++y) {
        for (int x = 0; x < photo.width(); ++x)
            photo.setPixel(x, y, qRgb(x, y, (x * y) % 256));
    }
    return photo;
}

// About 300 records: 40 shapes of their own colour, each with a line and a
// caption, around the photo.
std::string photoMetafile(MetafileKind kind)
{
    constexpr int unitsPerPixel = 15;
    const auto at = [](int x, int y) { return QPoint(x * unitsPerPixel, y * unitsPerPixel); };
    auto canvas = makeMetafileCanvas(kind, QSize(320, 240) * unitsPerPixel, 96 * unitsPerPixel);
    canvas->setFont(10 * unitsPerPixel, "Arial");
    for (int shape = 0; shape < 40; ++shape) {
        const int x = 200 + (shape % 4) * 30, y = (shape / 4) * 24;
        canvas->setPen(QColor(shape * 6, 40, 90), unitsPerPixel);
        canvas->setBrush(QColor(250 - shape * 5, 120 + shape * 3, 60));
        if (shape % 2)
            canvas->ellipse(QRect(at(x, y), at(x + 26, y + 20)));
        else
            canvas->rectangle(QRect(at(x, y), at(x + 26, y + 20)));
        canvas->line(at(x, y + 22), at(x + 26, y + 22));
        canvas->text(at(x + 2, y + 4), "Kb");
    }
    canvas->bitmap(QRect(at(0, 20), at(200, 220)), scannedPhoto());
    return canvas->bytes();
}

using Decoder = QImage (*)(std::string_view, kb::platform::PictureFormat, double);

void drawPhoto(benchmark::State& state, MetafileKind kind, kb::platform::PictureFormat format, Decoder decode)
{
    const std::string bytes = photoMetafile(kind);
    for (auto _ : state)
        benchmark::DoNotOptimize(decode(bytes, format, 1));
    state.counters["file bytes"] = double(bytes.size());
}

void windowsMetafileInProcess(benchmark::State& state)
{
    drawPhoto(state, MetafileKind::PlaceableWindows, kb::platform::PictureFormat::WindowsMetafile,
              kb::platform::playMetafile);
}

void windowsMetafileInHelper(benchmark::State& state)
{
    drawPhoto(state, MetafileKind::PlaceableWindows, kb::platform::PictureFormat::WindowsMetafile,
              kb::platform::decodePicture);
}

void enhancedMetafileInProcess(benchmark::State& state)
{
    drawPhoto(state, MetafileKind::Enhanced, kb::platform::PictureFormat::EnhancedMetafile, kb::platform::playMetafile);
}

void enhancedMetafileInHelper(benchmark::State& state)
{
    drawPhoto(state, MetafileKind::Enhanced, kb::platform::PictureFormat::EnhancedMetafile,
              kb::platform::decodePicture);
}

void windowsMetafileInAStartingHelper(benchmark::State& state)
{
    const std::string bytes = photoMetafile(MetafileKind::PlaceableWindows);
    for (auto _ : state) {
        // Ends the running helper, as a failure does.
        kb::platform::useMetafileHelper(KB_METAFILE_HELPER);
        benchmark::DoNotOptimize(kb::platform::decodePicture(bytes, kb::platform::PictureFormat::WindowsMetafile));
    }
}

// The address book starts the helper when it opens; a user opens the first
// photo a moment later, which this pause stands for.
void windowsMetafileInAHelperStartedAtOpening(benchmark::State& state)
{
    const std::string bytes = photoMetafile(MetafileKind::PlaceableWindows);
    for (auto _ : state) {
        state.PauseTiming();
        kb::platform::useMetafileHelper(KB_METAFILE_HELPER);
        kb::platform::startMetafileHelper();
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
        state.ResumeTiming();
        benchmark::DoNotOptimize(kb::platform::decodePicture(bytes, kb::platform::PictureFormat::WindowsMetafile));
    }
}

} // namespace

BENCHMARK(windowsMetafileInProcess)->Unit(benchmark::kMillisecond);
BENCHMARK(windowsMetafileInHelper)->Unit(benchmark::kMillisecond);
BENCHMARK(enhancedMetafileInProcess)->Unit(benchmark::kMillisecond);
BENCHMARK(enhancedMetafileInHelper)->Unit(benchmark::kMillisecond);
BENCHMARK(windowsMetafileInAStartingHelper)->Unit(benchmark::kMillisecond);
BENCHMARK(windowsMetafileInAHelperStartedAtOpening)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv)
{
    // Text in enhanced metafiles needs the font database of a GUI application.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    kb::platform::installFontSubstitutions();
    kb::platform::useMetafileHelper(KB_METAFILE_HELPER);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
