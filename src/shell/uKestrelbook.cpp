#include "uKestrelbook.h"

#include "common/PathValues.h"
#include "platform/files/DosPath.h"
#include "platform/text/AnsiText.h"
#include "platform/text/LongTime.h"
#include "platform/ui/Accessibility.h"
#include "platform/ui/CaptionLabel.h"
#include "platform/ui/Fonts.h"
#include "platform/ui/HandlerGuard.h"
#include "platform/ui/KeyboardTarget.h"
#include "platform/ui/PictureBox.h"
#include "platform/ui/ShowHandler.h"
#include "platform/ui/ToolBarButton.h"
#include "platform/ui/WindowPlacement.h"
#include "platform/ui/WindowScaling.h"
#include "resources/LauncherArt.h"
#include "shell/ApplicationInfo.h"
#include "shell/uInit.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QFrame>
#include <QLineEdit>
#include <QLocale>
#include <QMenu>
#include <QPaintEngine>
#include <QPainter>
#include <QShortcut>
#include <QStackedWidget>
#include <QTime>
#include <QTimer>
#include <QToolButton>

#include <array>
#include <iterator>

using kb::platform::CaptionLabel;
using kb::platform::connectGuarded;
using kb::platform::FontStyle;
using kb::platform::guarded;
using kb::platform::hideFromAccessibility;
using kb::platform::KeyboardTarget;
using kb::platform::layoutFont;
using kb::platform::PictureBox;

namespace {

constexpr QSize clientSize(631, 387);
constexpr QRect pageArea(4, 4, 623, 377);
constexpr int pageHeight = pageArea.height();
constexpr int toolBarHeight = 29;
constexpr int buttonWidth = 217;
constexpr int buttonHeight = 50;
constexpr int centralPaneLeft = 217;
constexpr int centralPaneWidth = 189;
constexpr int rightColumnLeft = centralPaneLeft + centralPaneWidth;
constexpr int clockIntervalMs = 60000;
// The launcher button bar picture, which every button shows.
constexpr QSize buttonBarSize(223, 50);

const QColor teal(0, 128, 128);
const QColor white(255, 255, 255);
const QColor headerColour(64, 128, 128);

struct ButtonSpec {
    const char* caption;
    const char* faceName;
    bool white;
};

// Top to bottom; the Tag of a button is its row, counted from 1.
constexpr std::array<ButtonSpec, Tkb_form::buttonsPerColumn> leftButtons{{
    {"Schedule", "Button_Label_1", false},
    {"ToDo List", "Label12", false},
    {"Notebook", "Label14", false},
    {"Address", "Address_Button_Label", true},
    {"E-Mail", "Label35", true},
    {"Fax", "Label37", false},
    {"Setup", "Label39", true},
}};
constexpr std::array<ButtonSpec, Tkb_form::buttonsPerColumn> rightButtons{{
    {"World Clock", "Label4", false},
    {"Calculator", "Label6", false},
    {"Editor", "Edit_Button_Label", true},
    {"Draw Memo", "Label49", false},
    {"Game", "Game_Button_Label", true},
    {"Personal", "Label45", false},
    {"Exit", "Exit_ButtonLabel", true},
}};

// Picture index 1..5 to file, for each column; the Information picture uses
// the left column's table.
constexpr std::array<const char*, 5> leftPictures{"P_hana02.bmp", "P_hana03.bmp", "P_ki01.bmp", "P_ko01.bmp",
                                                  "P_yama01.bmp"};
constexpr std::array<const char*, 5> rightPictures{"P_ki01.bmp", "P_ko01.bmp", "P_yama01.bmp", "P_hana02.bmp",
                                                   "P_hana03.bmp"};

enum LeftTag { Address = 4, EMail = 5, Setup = 7, Information = 8 };
enum RightTag { Editor = 3, Game = 5, Exit = 7 };

int pictureIndex(int tag)
{
    while (tag > 5)
        tag -= 5;
    return tag;
}

QFont captionFont()
{
    return layoutFont(QStringLiteral("Times New Roman"), 16, FontStyle::Bold);
}

CaptionLabel* makeCaption(QWidget* parent, const QString& text, const QFont& font, const QColor& colour,
                          const QPoint& at)
{
    auto* label = new CaptionLabel(text, parent);
    label->setFont(font);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, colour);
    label->setPalette(palette);
    label->adjustSize();
    label->move(at);
    return label;
}

QFrame* makePanel(QWidget* parent, const QRect& geometry, QFrame::Shadow shadow)
{
    auto* panel = new QFrame(parent);
    panel->setFrameStyle(QFrame::Panel | shadow);
    panel->setLineWidth(1);
    panel->setGeometry(geometry);
    return panel;
}

// The white circle with its black outline behind the clock face.
class ClockCircle : public QWidget {
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        // On a scaled screen the rim is smoothed, on the pixels it covers at 1.
        if (painter.paintEngine()->paintDevice()->devicePixelRatioF() != 1) {
            painter.setRenderHint(QPainter::Antialiasing);
            painter.translate(0.5, 0.5);
        }
        painter.setPen(Qt::black);
        painter.setBrush(Qt::white);
        painter.drawEllipse(rect().adjusted(0, 0, -1, -1));
    }
};

// A one-pixel line across the central pane.
class WhiteLine : public QWidget {
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent*) override { QPainter(this).fillRect(rect(), Qt::white); }
};

} // namespace

Tkb_form::Tkb_form(kb::launch::MailSenderFactory mailSenders, QWidget* parent)
    : QWidget(parent)
    , m_mailSenders(std::move(mailSenders))
    , m_longTimeSource([] { return kb::platform::longTimeText(QLocale::system(), QTime::currentTime()); })
{
    setObjectName(QStringLiteral("kb_form"));
    setWindowTitle(QStringLiteral("Kestrelbook 98"));
    setWindowIcon(kb::resources::applicationIcon());
    setWindowFlags(Qt::Window | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                   | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    setFont(layoutFont(QStringLiteral("Times New Roman"), 16));
    setFixedSize(clientSize);

    // The page control's border around the page area.
    QFrame* border = makePanel(this, rect(), QFrame::Raised);
    border->setLineWidth(2);
    hideFromAccessibility(*border);
    m_pages = new QStackedWidget(this);
    m_pages->setObjectName(QStringLiteral("PageControl1"));
    m_pages->setGeometry(pageArea);
    m_mainPage = new QWidget(m_pages);
    m_mainPage->setObjectName(QStringLiteral("Kb_Main"));
    m_setupPage = new QWidget(m_pages);
    m_setupPage->setObjectName(QStringLiteral("Setup_Main"));
    m_pages->addWidget(m_mainPage);
    m_pages->addWidget(m_setupPage);

    buildPopupMenu();
    buildMainPage(m_mainPage);
    buildSetupPage(m_setupPage);
    m_pages->setCurrentWidget(m_mainPage);

    m_clockTimer = new QTimer(this);
    m_clockTimer->setObjectName(QStringLiteral("ClockTimer"));
    m_clockTimer->setInterval(clockIntervalMs);
    connectGuarded(m_clockTimer, &QTimer::timeout, this, &Tkb_form::ClockTimerTimer);
    m_clockTimer->start();
}

Tkb_form::~Tkb_form() = default;

void Tkb_form::setTools(kb::shell::LauncherTools tools)
{
    m_tools = std::move(tools);
}

void Tkb_form::setLongTimeSource(std::function<QString()> source)
{
    m_longTimeSource = std::move(source);
}

void Tkb_form::buildPopupMenu()
{
    m_popupMenu = new QMenu(this);
    m_popupMenu->setObjectName(QStringLiteral("PopupMenu1"));
    m_scale100 = m_popupMenu->addAction(QStringLiteral("Scale to 100% of size"));
    m_scale100->setObjectName(QStringLiteral("Scale_100"));
    m_scale100->setVisible(false);
    m_scale75 = m_popupMenu->addAction(QStringLiteral("Scale to 75% of size"));
    m_scale75->setObjectName(QStringLiteral("Scale_75"));
    connectGuarded(m_scale100, &QAction::triggered, this, &Tkb_form::Scale_100Click);
    connectGuarded(m_scale75, &QAction::triggered, this, &Tkb_form::Scale_75Click);
    // The keyboard's ways to the menu, on the main page where the mouse finds it.
    for (const QKeySequence& keys : {QKeySequence(Qt::Key_Menu), QKeySequence(Qt::SHIFT | Qt::Key_F10)}) {
        auto* opener = new QShortcut(keys, m_mainPage);
        connect(opener, &QShortcut::activated, this, &Tkb_form::popUpMenuAtFocus);
    }
}

void Tkb_form::popUpMenuAtFocus()
{
    QWidget* focused = focusWidget();
    const QWidget* anchor = focused && m_mainPage->isAncestorOf(focused) ? focused : m_centralImage;
    m_popupMenu->popup(anchor->mapToGlobal(anchor->rect().center()));
}

void Tkb_form::offerPopupMenu(QWidget* control)
{
    control->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(control, &QWidget::customContextMenuRequested, this,
            [this, control](const QPoint& at) { m_popupMenu->popup(control->mapToGlobal(at)); });
}

void Tkb_form::buildMainPage(QWidget* page)
{
    buildButtonColumn(page, Column::Left);
    buildCentralPane(page);
    buildButtonColumn(page, Column::Right);
}

void Tkb_form::buildButtonColumn(QWidget* page, Column column)
{
    const bool left = column == Column::Left;
    auto* strip = new QWidget(page);
    strip->setGeometry(left ? 0 : rightColumnLeft, 0, buttonWidth, pageHeight);
    const auto& specs = left ? leftButtons : rightButtons;
    const int firstImage = left ? 1 : 1 + buttonsPerColumn;
    const QFont font = captionFont();

    for (int row = 0; row < buttonsPerColumn; ++row) {
        const ButtonSpec& button = specs[static_cast<std::size_t>(row)];
        const int tag = row + 1;
        QFrame* panel = makePanel(strip, QRect(0, row * buttonHeight, buttonWidth, buttonHeight), QFrame::Sunken);
        // The bevel, its picture and captions: the button's target below tells them.
        hideFromAccessibility(*panel);

        auto* picture = new PictureBox(panel);
        picture->setObjectName(QStringLiteral("kb_button_image_%1").arg(firstImage + row));
        picture->setGeometry(QRect(QPoint(1, 1), buttonBarSize));
        picture->setAutoSize(true);
        if (firstImage + row == 1)
            picture->setArtwork(kb::resources::launcherButtonBar());
        m_buttonImages[static_cast<std::size_t>(firstImage + row - 1)] = picture;

        const QString caption = QString::fromLatin1(button.caption);
        const bool isExit = !left && tag == RightTag::Exit;
        CaptionLabel* shadow = makeCaption(panel, caption, font, isExit ? teal : Qt::black, QPoint(72, 20));
        shadow->setAttribute(Qt::WA_TransparentForMouseEvents);
        CaptionLabel* face = makeCaption(panel, caption, font, button.white ? white : teal, QPoint(71, 19));
        face->setObjectName(QString::fromLatin1(button.faceName));
        (left ? m_leftCaptions : m_rightCaptions)[static_cast<std::size_t>(row)] = face;

        auto click = [this, left, tag] { left ? SystemButtonsClick(tag) : UserButtonsClick(tag); };
        connectGuarded(picture, &PictureBox::clicked, this, click);
        connectGuarded(face, &CaptionLabel::clicked, this, click);
        // Beside the bevel rather than in it, so that a screen reader finds
        // the button while the bevel and its captions stay decoration.
        auto* key = new KeyboardTarget(caption, 3, strip);
        key->setGeometry(panel->geometry());
        connectGuarded(key, &KeyboardTarget::clicked, this, click);
        offerPopupMenu(picture);
        if (left || tag != RightTag::Editor)
            offerPopupMenu(face);
    }

    auto* background = new PictureBox(strip);
    background->setObjectName(left ? QStringLiteral("Background_Image_1") : QStringLiteral("Background_Image_4"));
    background->setGeometry(0, 350, buttonWidth, 27);
    hideFromAccessibility(*background);
    if (left)
        background->setArtwork(kb::resources::speckledTexture());
    m_backgroundImages[left ? 0 : 3] = background;
    offerPopupMenu(background);

    const QFont titleFont = layoutFont(QStringLiteral("Times New Roman"), 21, FontStyle::BoldItalic);
    if (left) {
        makeCaption(strip, QStringLiteral("Beta ") + QString::fromLatin1(kb::shell::ApplicationVersion), titleFont,
                    white, QPoint(8, 350));
    } else {
        CaptionLabel* title = makeCaption(strip, QStringLiteral("Kestrelbook 98"), titleFont, white, QPoint(62, 352));
        title->setObjectName(QStringLiteral("kb_label"));
        offerPopupMenu(title);
    }
}

void Tkb_form::buildCentralPane(QWidget* page)
{
    auto* pane = new QWidget(page);
    pane->setObjectName(QStringLiteral("Central_Pane"));
    pane->setGeometry(centralPaneLeft, 0, centralPaneWidth, pageHeight);

    m_centralImage = new PictureBox(pane);
    m_centralImage->setObjectName(QStringLiteral("Central_Image"));
    m_centralImage->setGeometry(0, 68, 105, 105);
    m_centralImage->setAutoSize(true);
    m_centralImage->setAccessibleName(QStringLiteral("Picture of the tool"));
    offerPopupMenu(m_centralImage);

    auto* line = new WhiteLine(pane);
    line->setGeometry(0, 343, centralPaneWidth, 1);
    hideFromAccessibility(*line);

    auto* bottom = new PictureBox(pane);
    bottom->setObjectName(QStringLiteral("Background_Image_3"));
    bottom->setGeometry(0, 344, 189, 33);
    hideFromAccessibility(*bottom);
    m_backgroundImages[2] = bottom;
    offerPopupMenu(bottom);

    auto* lower = new PictureBox(pane);
    lower->setObjectName(QStringLiteral("Background_Image_2"));
    lower->setGeometry(0, 316, 190, 39);
    hideFromAccessibility(*lower);
    m_backgroundImages[1] = lower;
    offerPopupMenu(lower);

    auto* information = new PictureBox(pane);
    information->setObjectName(QStringLiteral("Image9"));
    information->setGeometry(34, 330, 114, 35);
    information->setArtwork(kb::resources::informationPlate());
    hideFromAccessibility(*information); // its keyboard target below is the button
    const auto showInformation = [this] { SystemButtonsClick(LeftTag::Information); };
    connectGuarded(information, &PictureBox::clicked, this, showInformation);
    auto* informationKey = new KeyboardTarget(QStringLiteral("Information"), 1, pane);
    informationKey->setGeometry(information->geometry());
    connectGuarded(informationKey, &KeyboardTarget::clicked, this, showInformation);

    QFrame* header = makePanel(pane, QRect(0, 0, centralPaneWidth, 72), QFrame::Sunken);
    header->setObjectName(QStringLiteral("Header_Panel"));
    header->setAutoFillBackground(true);
    QPalette headerPalette = header->palette();
    headerPalette.setColor(QPalette::Window, headerColour);
    header->setPalette(headerPalette);
    offerPopupMenu(header);

    auto* circle = new ClockCircle(header);
    circle->setObjectName(QStringLiteral("Shape1"));
    circle->setGeometry(16, 16, 25, 21);
    hideFromAccessibility(*circle);

    auto* clockFace = new PictureBox(header);
    clockFace->setObjectName(QStringLiteral("Clock_Image"));
    clockFace->setGeometry(21, 20, 15, 13);
    clockFace->setArtwork(kb::resources::clockFace());
    clockFace->setAccessibleName(QStringLiteral("Clock"));
    offerPopupMenu(clockFace);

    m_timeLabel = makeCaption(header, QStringLiteral("12:00"), layoutFont(QStringLiteral("Arial"), 32, FontStyle::Bold),
                              Qt::black, QPoint(84, 4));
    m_timeLabel->setObjectName(QStringLiteral("Time_Label"));
    offerPopupMenu(m_timeLabel);

    m_selectedLabel = makeCaption(header, QString(), captionFont(), white, QPoint(8, 52));
    m_selectedLabel->setObjectName(QStringLiteral("Selected_Label"));
    m_selectedLabel->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    m_selectedLabel->setFixedSize(173, 19);
    offerPopupMenu(m_selectedLabel);
}

void Tkb_form::buildSetupPage(QWidget* page)
{
    makeCaption(page, QStringLiteral("Kestrelbook Setup"),
                layoutFont(QStringLiteral("Times New Roman"), 29, FontStyle::Bold), Qt::black, QPoint(16, 16));
    auto* directoryLabel = new QLabel(QStringLiteral("Kestrelbook Directory"), page);
    directoryLabel->adjustSize();
    directoryLabel->move(16, 80);

    m_dirEdit = new QLineEdit(QStringLiteral("c:\\kb"), page);
    m_dirEdit->setObjectName(QStringLiteral("ZAVEVO_Edit"));
    m_dirEdit->setGeometry(188, 76, 333, 27);
    m_dirEdit->setAccessibleName(directoryLabel->text());

    auto* toolBar = new QFrame(page);
    toolBar->setObjectName(QStringLiteral("ToolBar1"));
    toolBar->setFrameStyle(QFrame::Panel | QFrame::Raised);
    toolBar->setGeometry(0, pageHeight - toolBarHeight, pageArea.width(), toolBarHeight);
    QToolButton* exitButton =
        kb::platform::addToolBarButton(*toolBar, "ToolButton3", QStringLiteral("E&xit"), QRect(0, 2, 62, 25));
    connectGuarded(exitButton, &QToolButton::clicked, this, &Tkb_form::ToolButton3Click);
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), page);
    escape->setContext(Qt::WidgetWithChildrenShortcut);
    connectGuarded(escape, &QShortcut::activated, this, &Tkb_form::ToolButton3Click);
}

void Tkb_form::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    // Scaling hides and shows the window again; the configuration is loaded
    // at the first showing only.
    if (!m_showHandlerRun) {
        m_showHandlerRun = true;
        // Placed before the show handler runs, so that a box it brings up is
        // centred on the launcher where it will stand; its size is fixed.
        kb::platform::centreAtFirstShow(*this, *event);
        kb::platform::runShowHandler(*this, *event, [this] { FormShow(); });
    }
}

void Tkb_form::FormShow()
{
    loadConfiguration();
    copyStoredPictures();
    m_addressFile = kb::common::readAddressFile(m_dataDir);
    ClockTimerTimer();
    m_centralImage->loadFromFile(m_systemDir + "\\P_hana02.bmp");
    Launcher_GoToWeb = m_mailSenders();
}

void Tkb_form::loadConfiguration()
{
    if (!kb::platform::dosFileExists("Kestrelbook.Ini") && m_tools.firstRunDialog)
        m_tools.firstRunDialog->exec();
    m_dosDir = kb::common::readDosDir();
    m_dirEdit->setText(kb::platform::textFromBytes(m_dosDir));
    m_dataDir = kb::common::dataDirOf(m_dosDir);
    m_systemDir = kb::common::systemDirOf(m_dosDir);
}

void Tkb_form::copyStoredPictures()
{
    // Each picture box after the first of its kind gets the first one's
    // picture, as far as the button bar reaches.
    const auto copyFirstToTheRest = [](const auto& boxes) {
        const QImage source = boxes.front()->picture();
        const QRect copied(QPoint(0, 0), buttonBarSize);
        const QRectF copiedPixels(QPointF(0, 0), QSizeF(buttonBarSize) * source.devicePixelRatio());
        for (auto box = std::next(boxes.begin()); box != boxes.end(); ++box) {
            (*box)->paintOnCanvas([&](QPainter& painter) {
                painter.setCompositionMode(QPainter::CompositionMode_Source);
                painter.drawImage(copied, source, copiedPixels);
            });
        }
    };
    copyFirstToTheRest(m_buttonImages);
    copyFirstToTheRest(m_backgroundImages);
}

void Tkb_form::loadCentralPicture(Column column, int tag)
{
    const auto& table = column == Column::Left ? leftPictures : rightPictures;
    m_centralImage->loadFromFile(m_systemDir + "\\" + table[static_cast<std::size_t>(pictureIndex(tag) - 1)]);
}

void Tkb_form::setSelectedLabelFrom(Column column, int tag)
{
    const auto& captions = column == Column::Left ? m_leftCaptions : m_rightCaptions;
    m_selectedLabel->setText(captions[static_cast<std::size_t>(tag - 1)]->text());
}

void Tkb_form::SystemButtonsClick(int tag)
{
    loadCentralPicture(Column::Left, tag);
    switch (tag) {
    case LeftTag::Address:
        if (m_tools.showAddressBook)
            m_tools.showAddressBook(m_addressFile);
        setSelectedLabelFrom(Column::Left, tag);
        break;
    case LeftTag::EMail:
        // Without a show handler that ran to its end there is no mail
        // hand-off; the button then only changes the picture.
        if (Launcher_GoToWeb) {
            Launcher_GoToWeb->SetMail(std::string());
            Launcher_GoToWeb->SendMail();
        }
        break;
    case LeftTag::Setup:
        m_pages->setCurrentWidget(m_setupPage);
        m_dirEdit->setFocus(Qt::OtherFocusReason);
        break;
    case LeftTag::Information:
        m_selectedLabel->setText(QStringLiteral("Information"));
        if (m_tools.showInformation)
            m_tools.showInformation();
        break;
    default: break;
    }
}

void Tkb_form::UserButtonsClick(int tag)
{
    loadCentralPicture(Column::Right, tag);
    switch (tag) {
    case RightTag::Editor:
        if (m_tools.showEditor)
            m_tools.showEditor();
        setSelectedLabelFrom(Column::Right, tag);
        break;
    case RightTag::Game:
        if (m_tools.showGame)
            m_tools.showGame(m_systemDir);
        setSelectedLabelFrom(Column::Right, tag);
        break;
    case RightTag::Exit:
        setSelectedLabelFrom(Column::Right, tag);
        QCoreApplication::quit();
        break;
    default: break;
    }
}

void Tkb_form::ClockTimerTimer()
{
    m_timeLabel->setText(m_longTimeSource().left(5));
    m_timeLabel->adjustSize();
}

void Tkb_form::Scale_75Click()
{
    m_scale75->setVisible(false);
    m_scale100->setVisible(true);
    kb::platform::scaleWindow(*this, 75, 100);
}

void Tkb_form::Scale_100Click()
{
    m_scale100->setVisible(false);
    m_scale75->setVisible(true);
    kb::platform::scaleWindow(*this, 125, 100);
}

void Tkb_form::ToolButton3Click()
{
    m_pages->setCurrentWidget(m_mainPage);
}

void Tkb_form::FormClose()
{
    Launcher_GoToWeb.reset();
}

void Tkb_form::closeEvent(QCloseEvent* event)
{
    guarded(this, [this] { FormClose(); });
    event->accept();
    // The launcher is the main window: closing it ends the program even
    // while tool windows are open.
    QCoreApplication::quit();
}
