#include "uEditor.h"

#include "editor/EditorFileDialog.h"
#include "platform/text/AnsiText.h"
#include "platform/ui/AltKeyGuard.h"
#include "platform/ui/BusyCursor.h"
#include "platform/ui/CaptionLabel.h"
#include "platform/ui/Fonts.h"
#include "platform/ui/HandlerGuard.h"
#include "platform/ui/PictureBox.h"
#include "platform/ui/Prompter.h"
#include "platform/ui/ToolBarButton.h"
#include "platform/ui/WindowPlacement.h"
#include "resources/EditorArt.h"

#include <QFile>
#include <QFontMetricsF>
#include <QIcon>
#include <QPlainTextEdit>
#include <QShortcut>
#include <QShowEvent>
#include <QTextDocument>
#include <QToolButton>

#include <string>

namespace {

using kb::platform::FontStyle;
using kb::platform::layoutFont;

constexpr int clientWidth = 497;
constexpr int clientHeight = 331;
constexpr int titleHeight = 25;
constexpr int titleLeftWidth = 223;
constexpr int memoHeight = 282;
constexpr int toolBarHeight = 24;
constexpr QSize toolButtonSize(71, 22);

// A name the user picked in a file dialog, in the file system's spelling and
// used exactly as chosen.
kb::platform::FileName fileNameOf(const QString& fileName)
{
    return kb::platform::FileName::native(QFile::encodeName(fileName).toStdString());
}

// The name as error messages carry it: single-byte text in the ANSI code page.
std::string shownNameOf(const QString& fileName)
{
    return kb::platform::bytesFromText(fileName);
}

} // namespace

TfmEdit::TfmEdit(QWidget* parent, std::size_t memoCapacity)
    : QWidget(parent, Qt::Window)
    , m_memoCapacity(memoCapacity)
{
    setObjectName(QStringLiteral("fmEdit"));
    setWindowTitle(QStringLiteral("Kestrelbook 98 - Editor"));
    setWindowIcon(kb::resources::editorIcon());
    setFixedSize(clientWidth, clientHeight);
    kb::platform::setWindowFont(*this, layoutFont(QStringLiteral("Times New Roman"), 13));

    createTitleStrip();
    createMemo();
    createToolBar();

    m_openDialog = new kb::editor::EditorFileDialog(kb::editor::EditorFileDialog::Kind::Open, this);
    m_openDialog->setObjectName(QStringLiteral("OpenDialog1"));
    m_saveDialog = new kb::editor::EditorFileDialog(kb::editor::EditorFileDialog::Kind::Save, this);
    m_saveDialog->setObjectName(QStringLiteral("SaveDialog1"));
    // The window owns a find dialog that no command opens.
    (new QObject(this))->setObjectName(QStringLiteral("FindDialog1"));
}

void TfmEdit::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    kb::platform::centreAtFirstShow(*this, *event);
}

void TfmEdit::createTitleStrip()
{
    m_panel = new QWidget(this);
    m_panel->setObjectName(QStringLiteral("Panel1"));
    m_panel->setGeometry(0, 0, clientWidth, titleHeight);

    m_titleLeftImage = new kb::platform::PictureBox(m_panel);
    m_titleLeftImage->setObjectName(QStringLiteral("Image12"));
    m_titleLeftImage->setGeometry(0, 0, titleLeftWidth, titleHeight);
    m_titleLeftImage->setStretch(true);
    m_titleLeftImage->setArtwork(kb::resources::editorTitleLeft());

    m_titleRightImage = new kb::platform::PictureBox(m_panel);
    m_titleRightImage->setObjectName(QStringLiteral("Image14"));
    m_titleRightImage->setGeometry(titleLeftWidth, 0, clientWidth - titleLeftWidth, titleHeight);
    m_titleRightImage->setStretch(true);
    m_titleRightImage->setArtwork(kb::resources::editorTitleRight());

    m_titleLabel = kb::platform::makeCaption(m_panel, QStringLiteral("Editor"),
                                             layoutFont(QStringLiteral("MS Sans Serif"), 16, FontStyle::Bold),
                                             QPoint(14, 2), Qt::white);
    m_titleLabel->setObjectName(QStringLiteral("Label1"));

    m_filenameLabel = kb::platform::makeCaption(m_panel, QStringLiteral("Filename.Ext"),
                                                layoutFont(QStringLiteral("MS Sans Serif"), 11, FontStyle::Bold),
                                                QPoint(216, 6), Qt::white);
    m_filenameLabel->setObjectName(QStringLiteral("Filename_Label"));
}

void TfmEdit::createMemo()
{
    m_memo = new QPlainTextEdit(this);
    m_memo->setObjectName(QStringLiteral("Memo"));
    m_memo->setAccessibleName(QStringLiteral("Text"));
    m_memo->setGeometry(0, titleHeight, clientWidth, memoHeight);
    m_memo->setFrameShape(QFrame::NoFrame);
    m_memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_memo->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_memo->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    m_memo->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    m_memo->setFont(layoutFont(QStringLiteral("Times New Roman"), 15));
    // Tab stops every eight average characters, as in the desktop's text fields.
    m_memo->setTabStopDistance(8 * QFontMetricsF(m_memo->font()).averageCharWidth());
    QPalette memoPalette = m_memo->palette();
    memoPalette.setColor(QPalette::Text, Qt::black);
    m_memo->setPalette(memoPalette);
    // Alt keys are commands, never text; Tab types a tab, so Ctrl+Tab leaves
    // the text for the tool bar.
    (new kb::platform::AltKeyGuard(this))->watch(m_memo);
}

void TfmEdit::createToolBar()
{
    m_toolBar = new QWidget(this);
    m_toolBar->setObjectName(QStringLiteral("ToolBar1"));
    m_toolBar->setGeometry(0, clientHeight - toolBarHeight, clientWidth, toolBarHeight);

    QToolButton* open = addToolButton("ToolButton1", QStringLiteral("Open"), 0, 0);
    kb::platform::connectGuarded(open, &QToolButton::clicked, this, &TfmEdit::ToolButton1Click);
    QToolButton* cancel = addToolButton("ToolButton2", QStringLiteral("Cancel"), 1, 1);
    kb::platform::connectGuarded(cancel, &QToolButton::clicked, this, &TfmEdit::ToolButton2Click);
    QToolButton* save = addToolButton("SaveButton", QStringLiteral("Save"), 2, 2);
    kb::platform::connectGuarded(save, &QToolButton::clicked, this, &TfmEdit::SaveButtonClick);
    addToolButton("ToolButton4", QStringLiteral("Search"), 3, 3)->setEnabled(false);
    addToolButton("ToolButton5", QStringLiteral("PgUp"), 4, 4)->setEnabled(false);
    addToolButton("ToolButton6", QStringLiteral("PgDn"), 5, 5)->setEnabled(false);
    QToolButton* exit = addToolButton("ToolButton7", QStringLiteral("E&xit"), 6, 6);
    kb::platform::connectGuarded(exit, &QToolButton::clicked, this, &TfmEdit::ToolButton7Click);

    // The desktop's keys for opening and saving, and Escape for cancelling,
    // do what the buttons do; each button's tip names its key.
    addShortcut(*open, QKeySequence::Open, &TfmEdit::ToolButton1Click);
    addShortcut(*save, QKeySequence::Save, &TfmEdit::SaveButtonClick);
    addShortcut(*cancel, QKeySequence(Qt::Key_Escape), &TfmEdit::cancelByEscape);
    showKeyInTip(*exit, exit->shortcut());

    auto* toToolBar = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_Tab), m_memo);
    toToolBar->setContext(Qt::WidgetShortcut);
    connect(toToolBar, &QShortcut::activated, open, [open] { open->setFocus(Qt::TabFocusReason); });
    auto* backToToolBar = new QShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab), m_memo);
    backToToolBar->setContext(Qt::WidgetShortcut);
    connect(backToToolBar, &QShortcut::activated, exit, [exit] { exit->setFocus(Qt::BacktabFocusReason); });
}

void TfmEdit::addShortcut(QToolButton& button, const QKeySequence& keys, void (TfmEdit::*handler)())
{
    kb::platform::connectGuarded(new QShortcut(keys, this), &QShortcut::activated, this, handler);
    showKeyInTip(button, keys);
}

void TfmEdit::showKeyInTip(QToolButton& button, const QKeySequence& keys)
{
    button.setToolTip(QStringLiteral("%1 (%2)").arg(QString(button.text()).remove(QLatin1Char('&')),
                                                    keys.toString(QKeySequence::NativeText)));
}

QToolButton* TfmEdit::addToolButton(const char* name, const QString& caption, int picture, int column)
{
    auto* button = kb::platform::addToolBarButton(
        *m_toolBar, name, caption,
        QRect(QPoint(column * toolButtonSize.width(), toolBarHeight - toolButtonSize.height()), toolButtonSize));
    button->setIcon(kb::resources::editorToolIcon(picture));
    button->setIconSize(QSize(16, 16));
    // A 13-pixel caption cannot stand under a 16-pixel picture in a 22-pixel
    // button, so it stands beside it and stays readable.
    button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    return button;
}

void TfmEdit::ToolButton1Click()
{
    if (m_openDialog->execute())
        loadMemoFrom(m_openDialog->fileName());
}

void TfmEdit::ToolButton2Click()
{
    cancelAsking(kb::platform::Prompter::DefaultAnswer::Yes);
}

// Escape is a key of the program's own: a Return typed straight after it
// must keep the text, so its question defaults to No.
void TfmEdit::cancelByEscape()
{
    cancelAsking(kb::platform::Prompter::DefaultAnswer::No);
}

void TfmEdit::cancelAsking(kb::platform::Prompter::DefaultAnswer byDefault)
{
    if (!kb::platform::prompter().askYesNo(this, QStringLiteral("Exit Editor?"), byDefault))
        return;
    m_memo->clear();
    m_cutFile.reset();
    close();
}

void TfmEdit::SaveButtonClick()
{
    if (m_saveDialog->execute())
        saveMemoTo(m_saveDialog->fileName());
}

void TfmEdit::ToolButton7Click()
{
    if (kb::platform::prompter().askYesNo(this, QStringLiteral("Save file before Exiting?"))) {
        if (!m_saveDialog->execute())
            return;
        if (!saveMemoTo(m_saveDialog->fileName()))
            return;
    }
    close();
}

void TfmEdit::loadMemoFrom(const QString& fileName)
{
    kb::editor::LoadedText loaded;
    {
        const kb::platform::BusyCursor busy;
        loaded = kb::editor::loadEditorText(fileNameOf(fileName), shownNameOf(fileName), m_memoCapacity);
        m_memo->setPlainText(kb::platform::textFromBytes(loaded.text));
    }
    m_saveDialog->setFileName(fileName);
    m_filenameLabel->setText(fileName);
    m_filenameLabel->adjustSize();
    m_cutFile.reset();
    if (loaded.cutAtNul) {
        m_cutFile = loaded.file;
        kb::platform::prompter().showResult(
            this, QStringLiteral("The file contains a NUL character; the text after it is not shown."));
    }
}

bool TfmEdit::saveMemoTo(const QString& fileName)
{
    // The text of a file cut at a NUL is only its beginning: saved over the
    // file, it would shorten it for good.
    if (m_cutFile && kb::editor::leadsTo(fileNameOf(fileName), *m_cutFile)
        && !kb::platform::prompter().askYesNo(
            this,
            QStringLiteral("The text shown ends at a NUL character of the file. Saving replaces the whole "
                           "file with it, and the rest of the file is lost. Save anyway?")))
        return false;
    const kb::platform::BusyCursor busy;
    kb::editor::saveEditorText(fileNameOf(fileName), shownNameOf(fileName),
                               kb::platform::bytesFromDocumentText(m_memo->document()->toRawText(), "\r\n"));
    m_cutFile.reset();
    return true;
}
