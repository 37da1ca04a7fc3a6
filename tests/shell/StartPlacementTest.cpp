// Where the boxes of the program's start come up under a real window
// manager, which frames a window only after it is shown: run by
// under-window-manager.sh on a display of its own.
#include "DosInstallation.h"
#include "RecordingMailSenders.h"
#include "shell/Kestrelbook.h"
#include "shell/uInit.h"
#include "shell/uKestrelbook.h"

#include <QApplication>
#include <QMessageBox>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <QWindow>

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <optional>

namespace {

// The centre of the window's frame once the window manager has framed it
// and it has stood still for a while.
std::optional<QPoint> framedCentre(QWidget& window)
{
    std::optional<QPoint> last;
    int stillFor = 0;
    for (int waited = 0; waited < 5000 && stillFor < 10; waited += 20) {
        QTest::qWait(20);
        // The desktop's frame, which the widget learns of only when it moves.
        const QRect frame = window.windowHandle() ? window.windowHandle()->frameGeometry() : QRect();
        const bool framed = window.isVisible() && frame != window.geometry();
        const QPoint centre = frame.center();
        stillFor = framed && last == centre ? stillFor + 1 : 0;
        last = centre;
    }
    return stillFor >= 10 ? last : std::nullopt;
}

// Runs the program's start, answering the modal window it brings up first
// with close once it stands framed; its framed centre.
template <typename Window>
std::optional<QPoint> centreOfFirstModal(Kestrelbook& program)
{
    std::optional<QPoint> centre;
    QTimer::singleShot(0, [&] {
        for (int waited = 0; waited < 5000 && !qobject_cast<Window*>(QApplication::activeModalWidget()); waited += 20)
            QTest::qWait(20);
        if (auto* window = qobject_cast<Window*>(QApplication::activeModalWidget())) {
            centre = framedCentre(*window);
            window->close();
        }
    });
    // Whatever the start brings up after it is closed as well.
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [&] {
        if (!centre)
            return;
        if (QWidget* modal = QApplication::activeModalWidget())
            modal->close();
    });
    closer.start(100);
    program.launcher().show();
    return centre;
}

void expectCentred(const std::optional<QPoint>& centre, const char* what)
{
    ASSERT_TRUE(centre) << what << " never stood framed";
    const QPoint offCentre = *centre - QGuiApplication::primaryScreen()->availableGeometry().center();
    EXPECT_LE(std::abs(offCentre.x()), 1) << what;
    EXPECT_LE(std::abs(offCentre.y()), 1) << what;
}

// The program started on a sample installation that lacks one file.
class StartUnderAWindowManager : public ::testing::Test {
protected:
    Kestrelbook& startWithout(const std::filesystem::path& missing)
    {
        std::filesystem::remove(missing);
        m_workingDirectory.emplace(install.workDir());
        m_program =
            std::make_unique<Kestrelbook>(kb::test::recordingMailSenders(std::make_shared<kb::test::MailRecord>()));
        return *m_program;
    }

    kb::test::DosInstallation install;

private:
    std::optional<kb::test::WorkingDirectory> m_workingDirectory;
    std::unique_ptr<Kestrelbook> m_program;
};

TEST_F(StartUnderAWindowManager, TheErrorBoxAndTheLauncherComeUpCentredOnTheScreen)
{
    Kestrelbook& program = startWithout(install.root() / "System/P_hana02.bmp");
    expectCentred(centreOfFirstModal<QMessageBox>(program), "the error box");
    expectCentred(framedCentre(program.launcher()), "the launcher");
}

TEST_F(StartUnderAWindowManager, TheFirstRunDialogComesUpCentredOnTheScreen)
{
    expectCentred(centreOfFirstModal<Tfminit>(startWithout(install.workDir() / "Kestrelbook.Ini")),
                  "the first-run dialog");
}

} // namespace
