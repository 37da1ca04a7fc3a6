#include "BoardText.h"
#include "ScriptedPrompter.h"
#include "TempDir.h"
#include "game/DrawGrid.h"
#include "game/GameRandom.h"
#include "game/Game_Main.h"
#include "game/Settings.h"
#include "platform/ui/PictureBox.h"

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <utility>
#include <vector>

namespace {

using kb::game::DrawGrid;

constexpr QRgb Marker = 0xffff00ff; // row 0 of every tile, never to be copied

QRgb tileColor(int index, int variant = 0)
{
    return qRgb(10 + 30 * index, 200 - 20 * index, 40 + variant * 100);
}

QImage stripOf(int variant)
{
    QImage strip(192, 64, QImage::Format_RGB32);
    for (int i = 0; i < 6; ++i) {
        QPainter painter(&strip);
        painter.fillRect(32 * i, 0, 32, 64, QColor(tileColor(i, variant)));
        painter.fillRect(32 * i, 0, 32, 1, QColor(Marker));
    }
    return strip;
}

// Rows of 8 on a checkerboard of 4 and 5, with the first n cells (row by row) a group of 1s.
Rows boardWithGroup(int n)
{
    Rows rows;
    for (int y = 0; y < 8; ++y) {
        std::string row;
        for (int x = 0; x < 8; ++x)
            row += y * 8 + x < n ? '1' : ((x + y) % 2 ? '5' : '4');
        rows.push_back(row);
    }
    return rows;
}

class GameFormTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        stripOf(0).save(QString::fromStdString(pictures.file("U_pai.bmp")), "BMP");
        QImage magic(32, 32, QImage::Format_RGB32);
        magic.fill(Qt::yellow);
        magic.save(QString::fromStdString(pictures.file("U_magic1.bmp")), "BMP");
        form.Show(pictures.path().string());
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    }

    template <typename T>
    T* find(const char* name)
    {
        return form.findChild<T*>(QString::fromLatin1(name));
    }
    DrawGrid* grid() { return find<DrawGrid>("PuzzleGrid"); }
    QAction* item(const char* name) { return find<QAction>(name); }
    QString scoreShown() { return find<QLabel>("Score_Label")->text(); }
    QSize clientSize() { return form.centralWidget()->size(); }

    void beginnerBoard(const Rows& rows)
    {
        item("Beginner1")->trigger();
        writeRows(form.Game().CurrentMap(), rows);
        form.Game().RemoveGroup(-1, -1); // recounts
    }
    void clickCell(int x, int y)
    {
        const QPoint centre(DrawGrid::frameWidth + 32 * x + 16, DrawGrid::frameWidth + 32 * y + 16);
        QTest::mouseMove(grid(), centre);
        QTest::mouseClick(grid(), Qt::LeftButton, {}, centre);
    }
    // Sends the pointer's events straight to the grid, so that nothing is
    // painted in between.
    void sendToGrid(QEvent::Type type, int x, int y)
    {
        const QPointF at(DrawGrid::frameWidth + 32 * x + 16, DrawGrid::frameWidth + 32 * y + 16);
        QMouseEvent event(type, at, grid()->mapToGlobal(at), type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton,
                          {}, {});
        QApplication::sendEvent(grid(), &event);
    }
    // Plays the n-th group that can be taken, counted row by row, modulo the
    // number of groups; false when no move is left.
    bool playGroup(unsigned n)
    {
        std::vector<QPoint> moves;
        for (int y = 0; y < form.Game().Height(); ++y)
            for (int x = 0; x < form.Game().Width(); ++x)
                if (form.Game().CanRemove(x, y))
                    moves.emplace_back(x, y);
        if (moves.empty())
            return false;
        const QPoint at = moves[n % moves.size()];
        sendToGrid(QEvent::MouseButtonRelease, at.x(), at.y());
        return true;
    }
    QImage shown() { return grid()->grab().toImage(); }
    QRgb pixel(int x, int y, int dx, int dy)
    {
        grid()->repaint();
        return grid()->Canvas().pixel(32 * x + dx, 32 * y + dy);
    }
    // Runs the custom dialog, filling its three fields, and accepts or cancels it.
    void custom(const QString& columns, const QString& rows, const QString& objects, bool ok = true)
    {
        QTimer::singleShot(0, [&] {
            TSettingsForm* dialog = form.SettingsForm();
            ASSERT_TRUE(dialog->isVisible());
            EXPECT_EQ(dialog->focusWidget(), dialog->WidthBox());
            dialog->WidthBox()->setText(columns);
            dialog->HeightBox()->setText(rows);
            dialog->ColorsBox()->setText(objects);
            dialog->findChild<QPushButton*>(ok ? "BitBtn1" : "BitBtn2")->click();
        });
        item("Custom1")->trigger();
    }

    kb::test::PromptScript prompts;
    kb::test::TempDir pictures;
    TGameForm form;
};

TEST_F(GameFormTest, MovesScoreByTheSizeOfTheGroup)
{
    EXPECT_EQ(scoreShown(), "-171");
    for (auto [tiles, points] : {std::pair{2, 2}, {3, 4}, {5, 14}, {10, 74}}) {
        beginnerBoard(boardWithGroup(tiles));
        clickCell(0, 0);
        EXPECT_EQ(form.Score(), -171 + points) << tiles << " tiles";
    }
    EXPECT_EQ(scoreShown(), "-97");
}

TEST_F(GameFormTest, UndoTakesTenFromTheScoreBeforeTheMoveAndRedoChangesNothing)
{
    beginnerBoard(boardWithGroup(5));
    clickCell(0, 0);
    EXPECT_EQ(scoreShown(), "-157");
    EXPECT_TRUE(item("Undo1")->isEnabled());
    item("Undo1")->trigger();
    EXPECT_EQ(scoreShown(), "-181");
    EXPECT_EQ(rowsOf(form.Game().CurrentMap()), boardWithGroup(5));
    EXPECT_TRUE(item("Redo1")->isEnabled());
    item("Redo1")->trigger();
    EXPECT_EQ(scoreShown(), "-181");
    EXPECT_FALSE(item("Redo1")->isEnabled());
}

TEST_F(GameFormTest, ClicksOnASingleTileAnEmptyCellOrTheFrameChangeNothing)
{
    Rows rows = boardWithGroup(0);
    rows[0][0] = '.';
    beginnerBoard(rows);
    clickCell(3, 3);
    clickCell(0, 0);
    QTest::mouseClick(grid(), Qt::LeftButton, {}, QPoint(0, 0));
    QTest::keyClick(grid(), Qt::Key_Space);
    EXPECT_EQ(form.Score(), -171);
    EXPECT_EQ(form.Game().MapCount(), 1);
    EXPECT_FALSE(item("Undo1")->isEnabled());
    EXPECT_TRUE(prompts.results().isEmpty());
}

TEST_F(GameFormTest, TheKeyboardMovesTheCurrentCellAndSpacePlaysIt)
{
    beginnerBoard(boardWithGroup(3));
    grid()->setFocus();
    QTest::keyClick(grid(), Qt::Key_End);
    QTest::keyClick(grid(), Qt::Key_Down);
    EXPECT_EQ(grid()->Col(), 7);
    EXPECT_EQ(grid()->Row(), 1);
    QTest::keyClick(grid(), Qt::Key_Home);
    QTest::keyClick(grid(), Qt::Key_Up);
    QTest::keyClick(grid(), Qt::Key_Right);
    QTest::keyClick(grid(), Qt::Key_Space);
    EXPECT_EQ(form.Game().RemovedCount(), 3);
}

TEST_F(GameFormTest, AGameIsChosenPlayedUndoneAndLeftByKeysAlone)
{
    form.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    EXPECT_EQ(QApplication::focusWidget(), grid());
    const auto chooseFromGameMenu = [this](Qt::Key letter) {
        QTest::keyClick(&form, Qt::Key_G, Qt::AltModifier);
        QWidget* menu = QApplication::activePopupWidget();
        ASSERT_NE(menu, nullptr);
        QTest::keyClick(menu, letter);
    };
    chooseFromGameMenu(Qt::Key_B);
    EXPECT_TRUE(item("Beginner1")->isChecked());
    writeRows(form.Game().CurrentMap(), boardWithGroup(3));
    form.Game().RemoveGroup(-1, -1); // recounts

    QTest::keyClick(grid(), Qt::Key_Home);
    QTest::keyClick(grid(), Qt::Key_Space);
    EXPECT_EQ(form.Game().RemovedCount(), 3);
    const Rows played = rowsOf(form.Game().CurrentMap());
    QTest::keyClick(grid(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(rowsOf(form.Game().CurrentMap()), boardWithGroup(3));
    QTest::keyClick(grid(), Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(rowsOf(form.Game().CurrentMap()), played);

    chooseFromGameMenu(Qt::Key_X);
    EXPECT_FALSE(form.isVisible());
}

TEST_F(GameFormTest, TheCustomDialogIsFilledAndAnsweredByKeys)
{
    form.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    const auto fillCustom = [this](const QStringList& values, Qt::Key answer) {
        QTimer::singleShot(0, [&] {
            QApplication::setActiveWindow(form.SettingsForm());
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_A, Qt::ControlModifier);
            for (const QString& value : values) {
                QTest::keyClicks(QApplication::focusWidget(), value);
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            }
            QTest::keyClick(QApplication::focusWidget(), answer);
            if (form.SettingsForm()->isVisible())
                form.SettingsForm()->reject(); // never leave the test waiting
        });
        item("Custom1")->trigger();
    };
    fillCustom({"10", "9", "3"}, Qt::Key_Return);
    EXPECT_EQ(form.Game().Width(), 10);
    EXPECT_EQ(form.Game().Height(), 9);
    EXPECT_EQ(form.Game().Colors(), 3);
    fillCustom({"12", "12", "4"}, Qt::Key_Escape);
    EXPECT_EQ(form.Game().Width(), 10);
}

TEST_F(GameFormTest, TheLevelInPlayKeepsItsBoardAndResetsTheScore)
{
    beginnerBoard(boardWithGroup(5));
    clickCell(0, 0);
    const Rows board = rowsOf(form.Game().CurrentMap());
    item("Beginner1")->trigger();
    EXPECT_EQ(rowsOf(form.Game().CurrentMap()), board);
    EXPECT_EQ(scoreShown(), "-171");
    EXPECT_TRUE(item("Beginner1")->isChecked());
}

TEST_F(GameFormTest, TheCustomDialogReadsNumbersAndKeepsWhatIsNotOne)
{
    custom("ab", "99", "0");
    EXPECT_EQ(form.Game().Width(), 19);
    EXPECT_EQ(form.Game().Height(), 16);
    EXPECT_EQ(form.Game().Colors(), 2);
    EXPECT_TRUE(item("Custom1")->isChecked());
    EXPECT_EQ(clientSize(), QSize(628, 579));

    custom("", "5", "9");
    EXPECT_EQ(form.Game().Width(), 19);
    EXPECT_EQ(form.Game().Colors(), 7);
    custom("1", "4", "3");
    EXPECT_EQ(form.Game().Width(), 3);
    EXPECT_EQ(clientSize(), QSize(172, 4 * 32 + 4 + 16 + 47));
    EXPECT_EQ(grid()->geometry(), QRect(36, 8, 100, 132));

    item("Intermediate1")->trigger();
    EXPECT_EQ(clientSize(), QSize(340, 387));
    const Rows board = rowsOf(form.Game().CurrentMap());
    custom("99", "3", "2", false);
    EXPECT_EQ(rowsOf(form.Game().CurrentMap()), board);
    EXPECT_TRUE(item("Intermediate1")->isChecked());
    EXPECT_FALSE(item("Custom1")->isChecked());
    item("Beginner1")->trigger();
    EXPECT_EQ(clientSize(), QSize(276, 323));
}

TEST_F(GameFormTest, ClearingTheBoardReportsCompleteAndRepaintsItEmpty)
{
    beginnerBoard(Rows(8, "11111111"));
    clickCell(4, 4);
    ASSERT_EQ(prompts.results(), QStringList{"Complete! Your Score Was : 3737"});
    EXPECT_TRUE(form.FullRepaint());
    EXPECT_EQ(pixel(7, 7, 16, 16), tileColor(0));
}

TEST_F(GameFormTest, OnlySingleTilesLeftReportsTheScoreOnceSettled)
{
    beginnerBoard(boardWithGroup(2));
    clickCell(0, 0);
    EXPECT_EQ(prompts.results(), QStringList{"Your Score Was : -169"});

    prompts.clear();
    form.Animation1Click();
    Rows rows = boardWithGroup(0);
    rows[6][0] = rows[7][0] = '1';
    beginnerBoard(rows);
    clickCell(0, 7);
    EXPECT_TRUE(prompts.results().isEmpty());
    EXPECT_TRUE(find<QTimer>("Timer1")->isActive());
    EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !prompts.results().isEmpty(); }, 2000));
    EXPECT_EQ(prompts.results(), QStringList{"Your Score Was : -169"});
    EXPECT_FALSE(find<QTimer>("Timer1")->isActive());
    EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::ArrowCursor);
    EXPECT_EQ(rowsOf(form.Game().CurrentMap())[7], "54545454");
}

TEST_F(GameFormTest, ShowingAgainBringsBackAnExpertBoardAndKeepsTheRest)
{
    beginnerBoard(boardWithGroup(3));
    clickCell(0, 0);
    item("Exit1")->trigger();
    EXPECT_FALSE(form.isVisible());
    form.Show(pictures.path().string());
    EXPECT_TRUE(form.isVisible());
    EXPECT_EQ(form.Game().Width(), 19);
    EXPECT_EQ(form.Game().Height(), 9);
    EXPECT_EQ(form.Game().Colors(), 5);
    EXPECT_EQ(form.Game().MapCount(), 1);
    EXPECT_TRUE(item("Beginner1")->isChecked());
    EXPECT_EQ(scoreShown(), "-167");
    EXPECT_EQ(clientSize(), QSize(628, 355));
}

TEST_F(GameFormTest, CellsShowTheirTileAndOutlineTheirGroup)
{
    beginnerBoard({"11234512", "33333333", "21212121", "12121212", "21212121", "12121212", "21212121", "12121212"});
    form.Show(pictures.path().string()); // a full painting
    EXPECT_EQ(pixel(1, 0, 16, 16), tileColor(1));
    EXPECT_EQ(pixel(1, 0, 16, 0), qRgb(127, 63, 63));  // top edge of the board
    EXPECT_EQ(pixel(1, 0, 31, 16), qRgb(127, 63, 63)); // meets a 2
    EXPECT_EQ(pixel(0, 0, 31, 16), tileColor(1));      // inside the group of 1s
    EXPECT_EQ(pixel(3, 1, 31, 16), tileColor(3));      // inside the row of 3s
    EXPECT_EQ(pixel(3, 1, 16, 31), qRgb(63, 63, 127)); // meets the row below
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8 * 32; ++x)
            ASSERT_NE(grid()->Canvas().pixel(x, y * 32), Marker);
}

TEST_F(GameFormTest, TheCurrentCellIsHighlightedInEachMode)
{
    beginnerBoard(boardWithGroup(2));
    form.Show(pictures.path().string());
    clickCell(5, 5);
    EXPECT_EQ(pixel(5, 5, 1, 16), qRgb(255, 255, 255)); // frame, tile inside
    EXPECT_EQ(pixel(5, 5, 16, 16), tileColor(4));

    form.Color1Click();
    clickCell(5, 6);
    clickCell(5, 5);
    EXPECT_EQ(pixel(5, 5, 1, 16), qRgb(255, 255, 255));
    EXPECT_EQ(pixel(5, 5, 16, 16), qRgb(255, 127, 255)); // colour 4 filled in
    EXPECT_EQ(pixel(5, 5, 0, 16), QApplication::palette().color(QPalette::Light).rgb());
    EXPECT_EQ(pixel(5, 5, 31, 16), QApplication::palette().color(QPalette::Dark).rgb());

    form.Highlight1Click();
    clickCell(5, 6);
    clickCell(5, 5);
    EXPECT_EQ(pixel(5, 5, 1, 16), qRgb(255, 255, 255));
    EXPECT_EQ(pixel(5, 5, 16, 16), tileColor(0));

    form.Highlight1Click();
    clickCell(5, 6);
    clickCell(5, 5);
    EXPECT_EQ(pixel(5, 5, 1, 16), tileColor(0));
}

TEST_F(GameFormTest, APaintingAfterAMoveCopiesOnlyTheCellsThatChanged)
{
    beginnerBoard(boardWithGroup(3));
    form.Show(pictures.path().string());
    grid()->repaint();
    find<kb::platform::PictureBox>("Blocks")->setPicture(stripOf(1));
    clickCell(2, 0);
    EXPECT_EQ(pixel(0, 0, 16, 16), tileColor(0, 1)); // emptied
    EXPECT_EQ(pixel(4, 4, 16, 16), tileColor(4, 0)); // unchanged, earlier pixels
}

TEST_F(GameFormTest, AfterALongGameTheGridShowsWhatAFullRepaintDraws)
{
    kb::game::GameRandom::SetSeed(1998);
    item("New1")->trigger();
    for (unsigned turn = 0; turn < 60; ++turn) {
        sendToGrid(QEvent::MouseMove, static_cast<int>(turn * 7 % 19), static_cast<int>(turn % 9));
        if (turn == 40)
            form.Animation1Click();
        if (!playGroup(turn * 13) && !item("Undo1")->isEnabled())
            break;
        if (turn % 4 == 1)
            playGroup(turn); // a second move before the grid is painted
        if (turn % 5 == 2)
            item("Undo1")->trigger();
        if (turn % 10 == 7 && item("Redo1")->isEnabled())
            item("Redo1")->trigger();
        if (turn % 3 != 0)
            grid()->repaint();
        ASSERT_TRUE(QTest::qWaitFor([&] { return !find<QTimer>("Timer1")->isActive(); }, 5000));
    }
    const QImage afterTheGame = shown();
    form.Show(pictures.path().string()); // copies every tile
    const QImage fullRepaint = shown();
    for (int y = 0; y < form.Game().Height(); ++y)
        for (int x = 0; x < form.Game().Width(); ++x) {
            const QRect cell(DrawGrid::frameWidth + 32 * x, DrawGrid::frameWidth + 32 * y, 32, 32);
            ASSERT_EQ(afterTheGame.copy(cell), fullRepaint.copy(cell)) << "cell " << x << ", " << y;
        }
}

TEST_F(GameFormTest, TheFrameLiesOutsideTheCellsAndTheBoardsEdgesAreOutlined)
{
    beginnerBoard(Rows(8, "12121212"));
    form.Show(pictures.path().string());
    const QImage image = shown();
    const int inside = DrawGrid::frameWidth + 8 * 32;          // first pixel past the cells
    EXPECT_EQ(image.pixel(inside - 1, 16), qRgb(63, 127, 63)); // right outline of the last column
    EXPECT_EQ(image.pixel(16, inside - 1), qRgb(127, 63, 63)); // bottom outline of the last row
    EXPECT_EQ(image.pixel(inside + 1, 16), grid()->palette().color(QPalette::Light).rgb());
    EXPECT_EQ(image.pixel(16, inside + 1), grid()->palette().color(QPalette::Light).rgb());
    EXPECT_EQ(image.pixel(0, 16), grid()->palette().color(QPalette::Dark).rgb());
}

TEST_F(GameFormTest, ANewBoardLeavesNothingToUndoOrRedo)
{
    kb::game::GameRandom::SetSeed(7);
    const std::pair<const char*, std::function<void()>> commands[] = {
        {"New", [&] { item("New1")->trigger(); }},
        {"a level", [&] { item("Intermediate1")->trigger(); }},
        {"a custom size", [&] { custom("12", "7", "4"); }},
        {"showing again",
         [&] {
             item("Exit1")->trigger();
             form.Show(pictures.path().string());
         }},
    };
    for (const auto& [name, command] : commands) {
        item("Beginner1")->trigger();
        ASSERT_TRUE(playGroup(0) && playGroup(0));
        item("Undo1")->trigger();
        ASSERT_TRUE(item("Undo1")->isEnabled() && item("Redo1")->isEnabled());
        command();
        EXPECT_FALSE(item("Undo1")->isEnabled()) << name;
        EXPECT_FALSE(item("Redo1")->isEnabled()) << name;
    }
}

TEST_F(GameFormTest, TheCustomDialogAndTheNarrowWindowClipAndCoverNothing)
{
    TSettingsForm* dialog = form.SettingsForm();
    for (const char* name : {"Label1", "Label2", "Label3"}) {
        const auto* label = dialog->findChild<QLabel*>(name);
        EXPECT_GE(label->width(), label->sizeHint().width()) << name;
        EXPECT_TRUE(dialog->rect().contains(label->geometry())) << name;
    }

    custom("3", "4", "3");
    const QWidget* bar = find<QWidget>("StatusBar");
    const QRect score = find<QWidget>("Panel1")->geometry();
    EXPECT_TRUE(bar->rect().contains(score));
    int boxesShown = 0;
    for (int i = 0; i < 6; ++i) {
        const QWidget* box = find<QWidget>(qPrintable(QStringLiteral("Box_%1").arg(i)));
        if (!box->isVisible())
            continue;
        ++boxesShown;
        EXPECT_FALSE(box->geometry().intersects(score)) << "Box_" << i;
    }
    EXPECT_GT(boxesShown, 0);
    item("Expert1")->trigger();
    EXPECT_TRUE(find<QWidget>("Box_5")->isVisible());
}

TEST(GameFormPlacement, TheWindowIsCentredAtTheSizeItIsFirstShownWith)
{
    kb::test::PromptScript prompts;
    kb::test::TempDir empty;
    TGameForm form;
    form.Show(empty.path().string());
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    const QPoint offCentre =
        form.frameGeometry().center() - QGuiApplication::primaryScreen()->availableGeometry().center();
    EXPECT_LE(std::abs(offCentre.x()), 3);
    EXPECT_LE(std::abs(offCentre.y()), 3);
}

TEST(GameFormPictures, MissingPicturesAreReportedAndTheGameStillPlays)
{
    kb::test::PromptScript prompts;
    kb::test::TempDir empty;
    TGameForm form;
    const std::string dir = empty.path().string();
    form.Show(dir);
    ASSERT_TRUE(form.isVisible());
    EXPECT_EQ(prompts.errors(), QStringList{QString::fromStdString("Cannot open file " + dir + "\\U_pai.bmp.")});

    stripOf(0).save(QString::fromStdString(empty.file("U_pai.bmp")), "BMP");
    form.close();
    prompts.clear();
    form.Show(dir);
    EXPECT_EQ(prompts.errors(), QStringList{QString::fromStdString("Cannot open file " + dir + "\\U_magic1.bmp.")});

    writeRows(form.Game().CurrentMap(), Rows(9, std::string(19, '2')));
    form.Game().RemoveGroup(-1, -1);
    auto* grid = form.findChild<DrawGrid*>("PuzzleGrid");
    QTest::mouseClick(grid, Qt::LeftButton, {}, QPoint(20, 20));
    EXPECT_EQ(form.Game().TileCount(), 0);
}

} // namespace

TEST_F(GameFormTest, AListenerHearsTheCurrentCellEachMoveAndTheTilesLeft)
{
    beginnerBoard(boardWithGroup(3));
    form.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    grid()->setFocus();
    QAccessibleInterface* board = QAccessible::queryAccessibleInterface(grid());
    const auto focusedCell = [board] { return board->focusChild()->text(QAccessible::Name); };
    QTest::keyClick(grid(), Qt::Key_Right);
    EXPECT_EQ(focusedCell(), "Red, row 1, column 2");
    QTest::keyClick(grid(), Qt::Key_Down);
    EXPECT_EQ(focusedCell(), "Magenta, row 2, column 2");
    EXPECT_TRUE(board->focusChild()->state().focused);
    QTest::keyClick(grid(), Qt::Key_Up);
    QTest::keyClick(grid(), Qt::Key_Space);
    EXPECT_EQ(focusedCell(), "3 tiles, 4 points, score -167. Empty, row 1, column 2");
    QTest::keyClick(grid(), Qt::Key_Left);
    EXPECT_EQ(focusedCell(), "Empty, row 1, column 1");

    EXPECT_EQ(board->role(), QAccessible::Table);
    ASSERT_NE(board->tableInterface(), nullptr);
    EXPECT_EQ(board->tableInterface()->columnCount(), 8);
    EXPECT_EQ(board->tableInterface()->cellAt(7, 0)->text(QAccessible::Name), "Cyan, row 8, column 1");
    EXPECT_EQ(find<QLabel>("Label6")->accessibleName(), "Red: 0");
    EXPECT_EQ(find<QLabel>("Score_Label")->accessibleName(), "Score: -167");
}
