#include "Game_Main.h"

#include "game/BoardSpeech.h"
#include "game/GameLayout.h"
#include "game/GameMenu.h"
#include "game/GameRandom.h"
#include "game/GameStatusBar.h"
#include "game/Settings.h"

#include "platform/ui/Background.h"
#include "platform/ui/BusyCursor.h"
#include "platform/ui/Fonts.h"
#include "platform/ui/HandlerGuard.h"
#include "platform/ui/PictureBox.h"
#include "platform/ui/Prompter.h"
#include "platform/ui/ShowHandler.h"
#include "platform/ui/WindowPlacement.h"

#include <QAction>
#include <QDateTime>
#include <QLayout>
#include <QLineEdit>
#include <QPainter>
#include <QShowEvent>
#include <QTimer>

#include <algorithm>

using kb::game::DrawGrid;
using kb::game::levelTable;
using kb::game::NumberOrDefault;
using kb::platform::connectGuarded;
using kb::platform::setDefaultPointer;
using kb::platform::setPointerShape;

TGameForm::TGameForm(QWidget* parent)
    : QMainWindow(parent,
                  Qt::Window | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                      | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("GameForm"));
    setWindowTitle(QStringLiteral("Kestrelbook 98 - Game"));
    setFont(kb::platform::layoutFont(QStringLiteral("MS Sans Serif"), 11));

    m_client = new QWidget(this);
    m_client->setObjectName(QStringLiteral("ClientArea"));
    kb::platform::fillBackground(*m_client, QColor(0, 128, 255));
    setCentralWidget(m_client);
    layout()->setSizeConstraint(QLayout::SetFixedSize);

    m_puzzleGrid = new DrawGrid(m_client);
    m_puzzleGrid->setObjectName(QStringLiteral("PuzzleGrid"));
    m_puzzleGrid->setAccessibleName(QStringLiteral("Puzzle board"));
    m_puzzleGrid->SetDrawCell([this](QPainter& canvas, int x, int y, const QRect& r, bool selected) {
        PuzzleGridDrawCell(canvas, x, y, r, selected);
    });
    m_puzzleGrid->SetCellName([this](int x, int y) { return kb::game::cellName(m_game->CurrentMap(), x, y); });
    connectGuarded(m_puzzleGrid, &DrawGrid::MouseMoved, this, &TGameForm::PuzzleGridMouseMove);
    connectGuarded(m_puzzleGrid, &DrawGrid::MouseReleased, this, &TGameForm::PuzzleGridMouseUp);
    connectGuarded(m_puzzleGrid, &DrawGrid::KeyReleased, this, &TGameForm::PuzzleGridKeyUp);

    m_blocks = new kb::platform::PictureBox(m_client);
    m_blocks->setObjectName(QStringLiteral("Blocks"));
    m_blocks->setGeometry(0, 0, 192, 64);
    m_blocks->setAutoSize(true);
    m_blocks->hide();

    m_statusBar = new kb::game::GameStatusBar(m_client);

    m_timer1 = new QTimer(this);
    m_timer1->setObjectName(QStringLiteral("Timer1"));
    m_timer1->setInterval(125);
    connectGuarded(m_timer1, &QTimer::timeout, this, &TGameForm::AnimateMap);

    m_settingsForm = new TSettingsForm(this);

    BuildMenu();
    kb::platform::guarded(this, [this] { FormCreate(); });
}

TGameForm::~TGameForm()
{
    setDefaultPointer();
}

void TGameForm::BuildMenu()
{
    kb::game::GameMenuHandlers handlers;
    handlers.new1 = [this] { New1Click(); };
    handlers.level = [this](QAction* level) { LevelClick(level); };
    handlers.custom1 = [this] { Custom1Click(); };
    handlers.undo1 = [this] { Undo1Click(); };
    handlers.redo1 = [this] { Redo1Click(); };
    handlers.exit1 = [this] { Exit1Click(); };
    const kb::game::GameMenuItems items = kb::game::buildGameMenu(*this, handlers);
    m_custom1 = items.custom1;
    m_undo1 = items.undo1;
    m_redo1 = items.redo1;
    PutCheckMark(items.expert1);
}

void TGameForm::FormCreate()
{
    kb::game::GameRandom::SeedFromTimeOfDay(
        static_cast<std::uint32_t>(QDateTime::currentDateTimeUtc().time().msecsSinceStartOfDay()));
    m_animationOn = false;
    m_showColors = true;
    m_solutionCheckerOn = true;
    m_highlightMode = 0;
    m_game = std::make_unique<TGame>();
    StartSolver();
    SizeToBoard();
    m_solver.reset();
    m_scoring.StartGame();
}

void TGameForm::Show(const std::string& dir)
{
    m_pictureDir = dir;
    m_fullRepaint = true;
    kb::platform::bringToFront(*this);
}

void TGameForm::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    kb::platform::runShowHandler(*this, *event, [this] { FormShow(); });
    // After the show handler, which sizes the window to its board.
    kb::platform::centreAtFirstShow(*this, *event);
}

void TGameForm::FormShow()
{
    const kb::game::Level& expert = levelTable[kb::game::expertLevel];
    applyLevel(expert.columns, expert.rows, expert.colors);
    SizeToBoard();
    UpdateUndoRedo();
    m_blocks->loadFromFile(m_pictureDir + "\\U_pai.bmp");
    m_statusBar->BoxImage(0)->loadFromFile(m_pictureDir + "\\U_magic1.bmp");
    for (int i = 1; i <= 5; ++i)
        Create_Icon(i, m_statusBar->BoxImage(i));
    RefreshBoard();
}

void TGameForm::Create_Icon(int index, kb::platform::PictureBox* image)
{
    image->paintOnCanvas([&](QPainter& painter) {
        painter.drawImage(QRect(0, 0, 32, 32), m_blocks->picture(), kb::game::TileRect(index));
    });
}

void TGameForm::SizeToBoard()
{
    const int columns = m_game->Width();
    const int rows = m_game->Height();
    if (columns != m_puzzleGrid->ColCount() || rows != m_puzzleGrid->RowCount())
        m_painted.forget(columns, rows);
    m_puzzleGrid->SetSize(columns, rows);

    const kb::game::BoardPlace place = kb::game::boardPlace(columns, rows);
    m_puzzleGrid->move(place.gridAt);
    m_client->setFixedSize(place.client);
    m_statusBar->FitToClient(place.client);
    layout()->activate();
    RefreshBoard();
}

void TGameForm::RefreshBoard()
{
    m_puzzleGrid->InvalidateGrid();
    m_statusBar->SetScoreText(QString::fromStdString(m_scoring.ScoreText()));
    m_statusBar->SetTileCountNames(kb::game::tileCountNames(m_game->CurrentMap()));
}

// The tile is copied where the cell's colour changed since the board before,
// on a full painting, and wherever the cell last showed another look: two
// moves before one painting, a group that joined or a highlight that left
// would otherwise leave stale pixels behind.
void TGameForm::PuzzleGridDrawCell(QPainter& canvas, int x, int y, const QRect& r, bool selected)
{
    const TGameMap& board = m_game->CurrentMap();
    const std::uint8_t c = board.GetColor(x, y);
    std::uint8_t p = 0;
    if (m_game->HasHistory()) {
        if (const TGameMap* previous = m_game->PreviousMap())
            p = previous->GetColor(x, y);
    }
    const kb::game::CellLook look = kb::game::lookOf(board, x, y, m_showColors, m_highlightMode, selected);
    const bool copyTile = c != p || m_fullRepaint || m_painted.differs(x, y, look);
    kb::game::paintCell(canvas, r, look, m_blocks->picture(), copyTile);
    m_painted.remember(x, y, look);

    if (x >= m_game->Width() - 1 && y >= m_game->Height() - 1)
        m_fullRepaint = false;
}

void TGameForm::PuzzleGridMouseMove(QPoint point)
{
    int col = -1;
    int row = -1;
    m_puzzleGrid->MouseToCell(point, col, row);
    if (col < 0 || row < 0)
        return;
    m_puzzleGrid->SetCol(col);
    m_puzzleGrid->SetRow(row);
}

void TGameForm::PuzzleGridMouseUp(QPoint point)
{
    int col = -1;
    int row = -1;
    m_puzzleGrid->MouseToCell(point, col, row);
    PlayAt(col, row);
}

void TGameForm::PuzzleGridKeyUp(int key)
{
    if (key == Qt::Key_Space)
        PlayAt(m_puzzleGrid->Col(), m_puzzleGrid->Row());
}

void TGameForm::PlayAt(int x, int y)
{
    if (!m_game->CanRemove(x, y))
        return;
    m_game->RemoveGroup(x, y);
    const int removed = m_game->RemovedCount();
    m_scoring.AddMove(removed);
    StartSolver();
    UpdateUndoRedo();
    if (m_animationOn) {
        if (!m_game->SettleStep()) {
            setPointerShape(Qt::WaitCursor);
            m_timer1->start();
        }
    } else {
        m_game->SettleAll();
    }
    RefreshBoard();
    m_puzzleGrid->Announce(kb::game::moveSaid(removed, kb::game::Scoring::PointsFor(removed), m_scoring.ScoreText()));
    CheckGameOver();
}

void TGameForm::AnimateMap()
{
    if (!m_game->SettleStep()) {
        RefreshBoard();
        return;
    }
    // The arrow itself, not the default pointer: it stays over every window
    // until something sets the default again.
    setPointerShape(Qt::ArrowCursor);
    m_timer1->stop();
    CheckGameOver();
}

void TGameForm::CheckGameOver()
{
    const QString score = QString::fromStdString(m_scoring.ScoreText());
    if (m_game->TileCount() == 0)
        kb::platform::prompter().showResult(this, QStringLiteral("Complete! Your Score Was : ") + score);
    else if (m_game->TileCount() == m_game->GroupCount() && !m_timer1->isActive())
        kb::platform::prompter().showResult(this, QStringLiteral("Your Score Was : ") + score);
    if (m_game->TileCount() == 0) {
        m_fullRepaint = true;
        RefreshBoard();
    }
}

void TGameForm::StartSolver()
{
    if (!m_solutionCheckerOn || m_game->TileCount() == 0)
        return;
    // Nothing reads this checker's count: the window keeps one per move, as
    // the game always did, and a check costs a copy of the board.
    m_solver.reset();
    m_solver = std::make_unique<TSolver>(*m_game);
}

// A new game has a history of one board, so nothing is left to undo into
// another game's score.
void TGameForm::UpdateUndoRedo()
{
    m_undo1->setEnabled(m_game->CanUndo());
    m_redo1->setEnabled(m_game->CanRedo());
}

void TGameForm::applyLevel(int columns, int rows, int colors)
{
    m_game->SetWidth(columns);
    m_game->SetHeight(rows);
    // Clamped to a byte's range first, so that no large number wraps round
    // into a small colour count.
    m_game->SetColors(static_cast<std::uint8_t>(std::clamp(colors, 0, 255)));
}

void TGameForm::PutCheckMark(QAction* item)
{
    m_checkedLevel = item;
    item->setChecked(true);
}

void TGameForm::New1Click()
{
    m_scoring.StartGame();
    m_game->NewGame();
    StartSolver();
    RefreshBoard();
    UpdateUndoRedo();
}

void TGameForm::LevelClick(QAction* item)
{
    PutCheckMark(m_checkedLevel); // the menu moves no check mark by itself
    const kb::game::Level& level = levelTable.at(static_cast<std::size_t>(item->data().toInt()));
    applyLevel(level.columns, level.rows, level.colors);
    PutCheckMark(item);
    m_scoring.StartGame();
    SizeToBoard();
    UpdateUndoRedo();
}

void TGameForm::Custom1Click()
{
    PutCheckMark(m_checkedLevel); // the menu moves no check mark by itself
    m_settingsForm->WidthBox()->setText(QString::number(m_game->Width()));
    m_settingsForm->HeightBox()->setText(QString::number(m_game->Height()));
    m_settingsForm->ColorsBox()->setText(QString::number(m_game->Colors()));
    if (m_settingsForm->exec() != QDialog::Accepted)
        return;
    applyLevel(NumberOrDefault(m_settingsForm->WidthBox()->text(), m_game->Width()),
               NumberOrDefault(m_settingsForm->HeightBox()->text(), m_game->Height()),
               NumberOrDefault(m_settingsForm->ColorsBox()->text(), m_game->Colors()));
    SizeToBoard();
    PutCheckMark(m_custom1);
    UpdateUndoRedo();
}

void TGameForm::Undo1Click()
{
    m_game->Undo();
    m_fullRepaint = true;
    m_scoring.Undo();
    StartSolver();
    RefreshBoard();
    UpdateUndoRedo();
}

void TGameForm::Redo1Click()
{
    m_game->Redo();
    StartSolver();
    RefreshBoard();
    UpdateUndoRedo();
}

void TGameForm::Exit1Click()
{
    close();
}

void TGameForm::Animation1Click()
{
    SetAnimation(!m_animationOn);
}

void TGameForm::Color1Click()
{
    SetShowColors(!m_showColors);
}

void TGameForm::Highlight1Click()
{
    SetHighlightMode((m_highlightMode + 1) % 3);
}

void TGameForm::SolutionChecker1Click()
{
    SetSolutionChecker(!m_solutionCheckerOn);
}

void TGameForm::Solve1Click()
{
    struct DefaultCursorAfterwards {
        ~DefaultCursorAfterwards() { setDefaultPointer(); }
    } restore;
    setPointerShape(Qt::WaitCursor);
    const TSolver solver(*m_game);
}

void TGameForm::SetAnimation(bool value)
{
    m_animationOn = value;
}

void TGameForm::SetShowColors(bool value)
{
    if (value == m_showColors)
        return;
    m_showColors = value;
    RefreshBoard();
}

void TGameForm::SetHighlightMode(int value)
{
    if (value == m_highlightMode)
        return;
    m_highlightMode = value;
    RefreshBoard();
}

void TGameForm::SetSolutionChecker(bool value)
{
    if (value == m_solutionCheckerOn)
        return;
    m_solutionCheckerOn = value;
    if (value)
        StartSolver();
}
