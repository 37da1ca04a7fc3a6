#include "Game_Main.h"

#include "DrawGrid.h"
#include "Settings.h"

#include "Fonts.h"
#include "HandlerGuard.h"
#include "PictureBox.h"
#include "Prompter.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QDateTime>
#include <QGuiApplication>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMenuBar>
#include <QPainter>
#include <QScreen>
#include <QShowEvent>
#include <QTimer>

#include <algorithm>
#include <charconv>
#include <type_traits>

namespace {

constexpr int StartScore = -171;
constexpr int GridTop = 8;
constexpr int StatusBarHeight = 47;
constexpr int NarrowestGrid = 156;
constexpr int NarrowClientWidth = 172;

struct Level {
    int columns;
    int rows;
    int colors;
};
constexpr std::array<Level, 3> LevelTable{{{8, 8, 3}, {10, 10, 4}, {19, 9, 5}}};

struct TileColor {
    QRgb fill;
    QRgb edge;
};
constexpr std::array<TileColor, 8> TileColors{{
    {qRgb(0, 0, 0), qRgb(0, 0, 0)},
    {qRgb(255, 127, 127), qRgb(127, 63, 63)},
    {qRgb(127, 255, 127), qRgb(63, 127, 63)},
    {qRgb(127, 127, 255), qRgb(63, 63, 127)},
    {qRgb(255, 127, 255), qRgb(127, 63, 127)},
    {qRgb(127, 255, 255), qRgb(63, 127, 127)},
    {qRgb(255, 255, 127), qRgb(127, 127, 63)},
    {qRgb(127, 127, 127), qRgb(63, 63, 63)},
}};

// Tile i of the strip: its pixel rows 1 to 31, stretched onto 32 x 32 when copied.
QRect TileRect(int index)
{
    return QRect(QPoint(32 * index, 1), QPoint(32 * index + 31, 31));
}

// Text read as a signed decimal integer, or the default when it is not one.
int NumberOrDefault(const QString& text, int defaultValue)
{
    const QByteArray bytes = text.toLatin1();
    const char* first = bytes.constData();
    const char* last = first + bytes.size();
    if (first != last && *first == '+')
        ++first;
    int value = 0;
    const auto [end, error] = std::from_chars(first, last, value);
    if (error != std::errc() || end != last || first == last)
        return defaultValue;
    return value;
}

// The application's one pointer shape, as the desktop keeps it: setting a
// shape replaces the former one instead of stacking on it.
void SetScreenCursor(Qt::CursorShape shape)
{
    if (QApplication::overrideCursor())
        QApplication::changeOverrideCursor(shape);
    else
        QApplication::setOverrideCursor(shape);
}

void SetDefaultScreenCursor()
{
    while (QApplication::overrideCursor())
        QApplication::restoreOverrideCursor();
}

// A status-bar picture, drawn centred in its box.
class CentredPicture : public kb::platform::PictureBox {
public:
    using PictureBox::PictureBox;

protected:
    void paintEvent(QPaintEvent*) override
    {
        if (!hasPicture())
            return;
        QPainter painter(this);
        const QRect place(QPoint(0, 0), picture().size());
        painter.drawImage(place.translated(rect().center() - place.center()), picture());
    }
};

QWidget* addPanel(QWidget* parent, const char* name, const QRect& place)
{
    auto* panel = new QWidget(parent);
    panel->setObjectName(QString::fromLatin1(name));
    panel->setGeometry(place);
    return panel;
}

QLabel* addCaption(QWidget* parent, const char* name, const QString& text, const QRect& place, const QColor& color)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setAlignment(Qt::AlignCenter);
    label->setGeometry(place);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, color);
    label->setPalette(palette);
    return label;
}

} // namespace

template <typename Handler>
auto TGameForm::Guard(Handler handler)
{
    // Signals may carry more arguments than the handler takes.
    return [this, handler](auto&&... arguments) {
        kb::platform::guarded(this, [&] {
            if constexpr (std::is_invocable_v<Handler, decltype(arguments)...>)
                handler(arguments...);
            else
                handler();
        });
    };
}

TGameForm::TGameForm(QWidget* parent)
    : QMainWindow(parent, Qt::Window | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                              | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("GameForm"));
    setWindowTitle(QStringLiteral("Kestrelbook 98 - Game"));
    setFont(kb::platform::layoutFont(QStringLiteral("MS Sans Serif"), 11));

    m_client = new QWidget(this);
    m_client->setObjectName(QStringLiteral("ClientArea"));
    m_client->setAutoFillBackground(true);
    QPalette background = m_client->palette();
    background.setColor(QPalette::Window, QColor(0, 128, 255));
    m_client->setPalette(background);
    setCentralWidget(m_client);
    layout()->setSizeConstraint(QLayout::SetFixedSize);

    m_puzzleGrid = new TDrawGrid(m_client);
    m_puzzleGrid->setObjectName(QStringLiteral("PuzzleGrid"));
    m_puzzleGrid->setAccessibleName(QStringLiteral("Puzzle board"));
    m_puzzleGrid->move(8, GridTop);
    m_puzzleGrid->SetDrawCell([this](QPainter& canvas, int x, int y, const QRect& r, TDrawGrid::CellState state) {
        PuzzleGridDrawCell(canvas, x, y, r, state);
    });
    connect(m_puzzleGrid, &TDrawGrid::MouseMoved, this,
            [this](QPoint p) { kb::platform::guarded(this, [&] { PuzzleGridMouseMove(p); }); });
    connect(m_puzzleGrid, &TDrawGrid::MouseReleased, this,
            [this](QPoint p) { kb::platform::guarded(this, [&] { PuzzleGridMouseUp(p); }); });
    connect(m_puzzleGrid, &TDrawGrid::KeyReleased, this,
            [this](int key) { kb::platform::guarded(this, [&] { PuzzleGridKeyUp(key); }); });

    m_blocks = new kb::platform::PictureBox(m_client);
    m_blocks->setObjectName(QStringLiteral("Blocks"));
    m_blocks->setGeometry(0, 0, 192, 64);
    m_blocks->setAutoSize(true);
    m_blocks->hide();

    BuildStatusBar(m_client);

    m_timer1 = new QTimer(this);
    m_timer1->setObjectName(QStringLiteral("Timer1"));
    m_timer1->setInterval(125);
    connect(m_timer1, &QTimer::timeout, this, Guard([this] { AnimateMap(); }));

    m_settingsForm = new TSettingsForm(this);

    BuildMenu();
    kb::platform::guarded(this, [this] { FormCreate(); });
}

TGameForm::~TGameForm()
{
    SetDefaultScreenCursor();
}

void TGameForm::BuildStatusBar(QWidget* client)
{
    m_statusBar = addPanel(client, "StatusBar", {0, 0, 468, StatusBarHeight});

    // Spacers and boxes from the left, the box widths between spacers of 5 then 3.
    static constexpr const char* spacers[] = {"Panel8", "Panel7", "Panel4", "Panel5", "Panel6", "Panel3"};
    static constexpr const char* boxCaptions[] = {"Label7", "Label6", "Label5", "Label4", "Label3", "Label2"};
    int left = 0;
    for (int i = 0; i < 6; ++i) {
        const int spacerWidth = i == 0 ? 5 : 3;
        addPanel(m_statusBar, spacers[i], {left, 0, spacerWidth, 45});
        left += spacerWidth;
        QWidget* box = addPanel(m_statusBar, ("Box_" + std::to_string(i)).c_str(), {left, 0, 32, 45});
        auto* image = new CentredPicture(box);
        image->setObjectName(QStringLiteral("Box_Image_%1").arg(i));
        image->setAccessibleName(i == 0 ? QStringLiteral("Magic tile") : QStringLiteral("Tile %1").arg(i));
        image->setGeometry(0, 0, 32, 32);
        m_boxImages[static_cast<std::size_t>(i)] = image;
        addCaption(box, boxCaptions[i], QStringLiteral("00"), {0, 32, 32, 13}, Qt::white);
        left += 32;
    }

    m_panel1 = addPanel(m_statusBar, "Panel1", {468 - 61, 0, 61, 45});
    addCaption(m_panel1, "Label1", QStringLiteral("Score"), {0, 6, 61, 13}, palette().color(QPalette::WindowText));
    m_scoreLabel = addCaption(m_panel1, "Score_Label", QStringLiteral("00000"), {0, 19, 61, 13}, Qt::white);
    m_scoreLabel->setFont(kb::platform::layoutFont(QStringLiteral("MS Sans Serif"), 11));
    addPanel(m_panel1, "Panel9", {0, 32, 61, 13});
    m_panel2 = addPanel(m_statusBar, "Panel2", {0, 45, 468, 2});
}

void TGameForm::BuildMenu()
{
    QMenu* game1 = menuBar()->addMenu(QStringLiteral("&Game"));
    game1->setObjectName(QStringLiteral("Game1"));
    const auto addItem = [this](QMenu* menu, const char* name, const QString& caption) {
        QAction* item = menu->addAction(caption);
        item->setObjectName(QString::fromLatin1(name));
        item->setParent(this);
        return item;
    };
    const auto addSeparator = [](QMenu* menu, const char* name) {
        menu->addSeparator()->setObjectName(QString::fromLatin1(name));
    };

    QAction* new1 = addItem(game1, "New1", QStringLiteral("&New"));
    new1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_N));
    connect(new1, &QAction::triggered, this, Guard([this] { New1Click(); }));
    addSeparator(game1, "N3");

    m_levelGroup = new QActionGroup(this);
    static constexpr const char* levelNames[] = {"Beginner1", "Intermediate1", "Expert1"};
    static const QString levelCaptions[] = {QStringLiteral("&Beginner"), QStringLiteral("&Intermediate"),
                                            QStringLiteral("&Expert")};
    for (int tag = 0; tag < 3; ++tag) {
        QAction* level = addItem(game1, levelNames[tag], levelCaptions[tag]);
        level->setData(tag);
        level->setCheckable(true);
        m_levelGroup->addAction(level);
        connect(level, &QAction::triggered, this, Guard([this, level] { LevelClick(level); }));
        if (tag == 2)
            m_expert1 = level;
    }
    m_custom1 = addItem(game1, "Custom1", QStringLiteral("&Custom"));
    m_custom1->setCheckable(true);
    m_levelGroup->addAction(m_custom1);
    connect(m_custom1, &QAction::triggered, this, Guard([this] { Custom1Click(); }));
    PutCheckMark(m_expert1);
    addSeparator(game1, "N4");

    m_undo1 = addItem(game1, "Undo1", QStringLiteral("&Undo"));
    m_undo1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    m_undo1->setEnabled(false);
    connect(m_undo1, &QAction::triggered, this, Guard([this] { Undo1Click(); }));
    m_redo1 = addItem(game1, "Redo1", QStringLiteral("&Redo"));
    m_redo1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Y));
    m_redo1->setEnabled(false);
    connect(m_redo1, &QAction::triggered, this, Guard([this] { Redo1Click(); }));
    addSeparator(game1, "N5");

    QAction* exit1 = addItem(game1, "Exit1", QStringLiteral("E&xit"));
    connect(exit1, &QAction::triggered, this, Guard([this] { Exit1Click(); }));

    QMenu* help1 = menuBar()->addMenu(QStringLiteral("&Help"));
    help1->setObjectName(QStringLiteral("Help1"));
    // The program names no help file, so there is never a topic to show.
    addItem(help1, "Contents1", QStringLiteral("&Contents"))->setEnabled(false);
}

void TGameForm::FormCreate()
{
    GameRandom::SeedFromTimeOfDay(
        static_cast<std::uint32_t>(QDateTime::currentDateTimeUtc().time().msecsSinceStartOfDay()));
    m_animationOn = false;
    m_showColors = true;
    m_solutionCheckerOn = true;
    m_highlightMode = 0;
    m_game = std::make_unique<TGame>();
    StartSolver();
    SizeToBoard();
    m_solver.reset();
    m_score = StartScore;
    // The points go on by the same formula beyond the 171 tiles of the
    // largest level, up to the largest custom board.
    for (std::size_t n = 2; n < m_scoreTable.size(); ++n) {
        const int tiles = static_cast<int>(n);
        m_scoreTable[n] = tiles * tiles - 3 * tiles + 4;
    }
}

void TGameForm::Show(const std::string& dir)
{
    m_pictureDir = dir;
    m_fullRepaint = true;
    if (!m_placed) {
        m_placed = true;
        if (const QScreen* screen = QGuiApplication::primaryScreen())
            move(screen->availableGeometry().center() - QPoint(width() / 2, height() / 2));
    }
    show();
    raise();
    activateWindow();
}

void TGameForm::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    if (!event->spontaneous())
        kb::platform::guarded(this, [this] { FormShow(); });
}

void TGameForm::FormShow()
{
    const Level& expert = LevelTable[2];
    m_game->SetWidth(expert.columns);
    m_game->SetHeight(expert.rows);
    m_game->SetColors(static_cast<std::uint8_t>(expert.colors));
    SizeToBoard();
    m_blocks->loadFromFile(m_pictureDir + "\\U_pai.bmp");
    m_boxImages[0]->loadFromFile(m_pictureDir + "\\U_magic1.bmp");
    for (int i = 1; i <= 5; ++i)
        Create_Icon(i, m_boxImages[static_cast<std::size_t>(i)]);
    RefreshBoard();
}

void TGameForm::Create_Icon(int index, kb::platform::PictureBox* image)
{
    image->paintOnCanvas([&](QPainter& painter) {
        painter.drawImage(QRect(0, 0, 32, 32), m_blocks->picture(), TileRect(index));
    });
}

void TGameForm::SizeToBoard()
{
    const int columns = m_game->Width();
    const int rows = m_game->Height();
    m_puzzleGrid->SetSize(columns, rows);

    const int gridWidth = columns * TDrawGrid::CellSize + 2 * TDrawGrid::FrameWidth;
    int gridLeft = 8;
    int clientWidth = gridLeft * 2 + gridWidth;
    if (gridWidth < NarrowestGrid) {
        gridLeft = (NarrowestGrid - gridWidth) / 2 + 8;
        clientWidth = NarrowClientWidth;
    }
    const int gridHeight = rows * TDrawGrid::CellSize + 2 * TDrawGrid::FrameWidth;
    const int clientHeight = gridHeight + 2 * GridTop + StatusBarHeight;

    m_puzzleGrid->move(gridLeft, GridTop);
    m_client->setFixedSize(clientWidth, clientHeight);
    m_statusBar->setGeometry(0, clientHeight - StatusBarHeight, clientWidth, StatusBarHeight);
    m_panel1->move(clientWidth - m_panel1->width(), 0);
    m_panel1->raise();
    m_panel2->setGeometry(0, 45, clientWidth, 2);
    layout()->activate();
    RefreshBoard();
}

void TGameForm::RefreshBoard()
{
    m_puzzleGrid->InvalidateGrid();
    m_scoreText = std::to_string(m_score);
    m_scoreLabel->setText(QString::fromStdString(m_scoreText));
}

void TGameForm::PuzzleGridDrawCell(QPainter& canvas, int x, int y, const QRect& r, TDrawGrid::CellState state)
{
    const TGameMap& board = m_game->CurrentMap();
    const std::uint8_t c = board.GetColor(x, y);
    std::uint8_t p = 0;
    if (m_game->HasHistory()) {
        if (const TGameMap* previous = m_game->PreviousMap())
            p = previous->GetColor(x, y);
    }
    const TileColor& colors = TileColors.at(c);

    // The board is never cleared: a tile is copied only where it changed,
    // and where the current cell came or went, so no stale frame stays behind.
    if (c != p || m_fullRepaint || state.currentMoved) {
        const int tile = m_showColors ? c : 0;
        canvas.drawImage(r, m_blocks->picture(), TileRect(tile));
    }

    const int left = r.left();
    const int top = r.top();
    const int right = r.left() + r.width();   // just outside the cell
    const int bottom = r.top() + r.height();
    const auto line = [&canvas](const QRect& pixels, const QColor& pen) { canvas.fillRect(pixels, pen); };

    QColor pen = Qt::white;
    if (m_highlightMode != 2 && state.selected) {
        const QRect frame(QPoint(left + 1, top + 1), QPoint(right - 2, bottom - 2));
        if (!m_showColors && m_highlightMode != 1)
            canvas.fillRect(frame, QColor(colors.fill));
        line({frame.left(), frame.top(), frame.width(), 1}, pen);
        line({frame.left(), frame.bottom(), frame.width(), 1}, pen);
        line({frame.left(), frame.top(), 1, frame.height()}, pen);
        line({frame.right(), frame.top(), 1, frame.height()}, pen);
    }
    if (m_showColors)
        pen = QColor(colors.edge);

    if (c != 0) {
        const QColor highlight = QApplication::palette().color(QPalette::Light);
        const QColor shadow = QApplication::palette().color(QPalette::Dark);
        const int lastColumn = board.Width() - 1;
        const int lastRow = board.Height() - 1;
        if (y == 0 || board.GetColor(x, y - 1) != c)
            line({left, top, right - left, 1}, m_showColors ? pen : highlight);
        if (x == 0 || board.GetColor(x - 1, y) != c)
            line({left, top, 1, bottom - top}, m_showColors ? pen : highlight);
        if (y == lastRow || board.GetColor(x, y + 1) != c)
            line({left, bottom - 1, right - left, 1}, m_showColors ? pen : shadow);
        if (x == lastColumn || board.GetColor(x + 1, y) != c)
            line({right - 1, top, 1, bottom - top}, m_showColors ? pen : shadow);
    }

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
    m_prevScore = m_score;
    m_score += m_scoreTable.at(static_cast<std::size_t>(removed));
    StartSolver();
    UpdateUndoRedo();
    if (m_animationOn) {
        if (!m_game->SettleStep()) {
            SetScreenCursor(Qt::WaitCursor);
            m_timer1->start();
        }
    } else {
        m_game->SettleAll();
    }
    RefreshBoard();
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
    SetScreenCursor(Qt::ArrowCursor);
    m_timer1->stop();
    CheckGameOver();
}

void TGameForm::CheckGameOver()
{
    const QString score = QString::fromStdString(m_scoreText);
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
    m_solver.reset();
    m_solver = std::make_unique<TSolver>(*m_game);
}

void TGameForm::UpdateUndoRedo()
{
    m_undo1->setEnabled(m_game->CanUndo());
    m_redo1->setEnabled(m_game->CanRedo());
}

void TGameForm::PutCheckMark(QAction* item)
{
    m_checkedLevel = item;
    item->setChecked(true);
}

void TGameForm::New1Click()
{
    m_score = StartScore;
    m_game->NewGame();
    StartSolver();
    RefreshBoard();
}

void TGameForm::LevelClick(QAction* item)
{
    PutCheckMark(m_checkedLevel); // the menu moves no check mark by itself
    const Level& level = LevelTable.at(static_cast<std::size_t>(item->data().toInt()));
    m_game->SetWidth(level.columns);
    m_game->SetHeight(level.rows);
    m_game->SetColors(static_cast<std::uint8_t>(level.colors));
    PutCheckMark(item);
    m_score = StartScore;
    SizeToBoard();
}

void TGameForm::Custom1Click()
{
    PutCheckMark(m_checkedLevel); // the menu moves no check mark by itself
    m_settingsForm->WidthBox()->setText(QString::number(m_game->Width()));
    m_settingsForm->HeightBox()->setText(QString::number(m_game->Height()));
    m_settingsForm->ColorsBox()->setText(QString::number(m_game->Colors()));
    if (m_settingsForm->exec() != QDialog::Accepted)
        return;
    m_game->SetWidth(NumberOrDefault(m_settingsForm->WidthBox()->text(), m_game->Width()));
    m_game->SetHeight(NumberOrDefault(m_settingsForm->HeightBox()->text(), m_game->Height()));
    // Clamped to a byte's range first, so that no large number wraps round
    // into a small colour count.
    const int colors = NumberOrDefault(m_settingsForm->ColorsBox()->text(), m_game->Colors());
    m_game->SetColors(static_cast<std::uint8_t>(std::clamp(colors, 0, 255)));
    SizeToBoard();
    PutCheckMark(m_custom1);
}

void TGameForm::Undo1Click()
{
    m_game->Undo();
    m_fullRepaint = true;
    m_score = m_prevScore - 10;
    m_prevScore = m_score;
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
        ~DefaultCursorAfterwards() { SetDefaultScreenCursor(); }
    } restore;
    SetScreenCursor(Qt::WaitCursor);
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
