// Painting the Expert board: a whole painting, and the painting after a move.
#include "game/DrawGrid.h"
#include "game/Game_Main.h"
#include "platform/ui/ApplicationSetUp.h"

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QTest>

#include <benchmark/benchmark.h>

namespace {

using kb::game::DrawGrid;

TGameForm* g_form = nullptr;

DrawGrid* grid()
{
    return g_form->findChild<DrawGrid*>(QStringLiteral("PuzzleGrid"));
}

void paintWholeBoard(benchmark::State& state)
{
    for (auto _ : state) {
        g_form->Undo1Click(); // sets the full painting
        grid()->repaint();
    }
}

void paintAfterMove(benchmark::State& state)
{
    for (auto _ : state) {
        state.PauseTiming();
        g_form->New1Click();
        grid()->repaint();
        int x = 0;
        int y = 0;
        while (!g_form->Game().CanRemove(x, y) && ++x == 19 && (x = 0, ++y < 9)) {}
        const QPoint centre(2 + 32 * x + 16, 2 + 32 * y + 16);
        state.ResumeTiming();
        QTest::mouseClick(grid(), Qt::LeftButton, {}, centre);
        grid()->repaint();
    }
}

} // namespace

BENCHMARK(paintWholeBoard)->Unit(benchmark::kMicrosecond);
BENCHMARK(paintAfterMove)->Unit(benchmark::kMicrosecond);

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    const auto app = kb::platform::setUpApplication(argc, argv, {QStringLiteral("Kestrelbook"), {}, {}});
    TGameForm form;
    g_form = &form;
    const QString dir = QDir::tempPath() + QStringLiteral("/kb_bench_game");
    QDir().mkpath(dir);
    QImage picture(192, 64, QImage::Format_RGB32);
    picture.fill(Qt::darkCyan);
    picture.save(dir + QStringLiteral("/U_pai.bmp"), "BMP");
    picture.save(dir + QStringLiteral("/U_magic1.bmp"), "BMP");
    form.Show(dir.toStdString());
    if (!QTest::qWaitForWindowExposed(&form))
        return 1;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
