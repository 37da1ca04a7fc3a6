#include "uKestrelbook.h"

#include "common/PathValues.h"
#include "platform/files/DosPath.h"
#include "platform/text/AnsiText.h"
#include "platform/text/LongTime.h"
#include "platform/ui/Accessibility.h"
#include "platform/ui/ButtonKeys.h"
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
#include "shell/LauncherLayout.h"
#include "shell/LauncherPieces.h"
#include "shell/uInit.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QLineEdit>
#include <QLocale>
#include <QMenu>
#include <QShortcut>
#include <QStackedWidget>
#include <QTime>
#include <QTimer>
#include <QToolButton>

#include <utility>

using kb::platform::CaptionLabel;
using kb::platform::connectGuarded;
using kb::platform::FontStyle;
using kb::platform::guarded;
using kb::platform::hideFromAccessibility;
using kb::platform::KeyboardTarget;
using kb::platform::layoutFont;
using kb::platform::makeCaption;
using kb::platform::PictureBox;

using namespace kb::shell::launcher;

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
        const bool isExit = !left && tag == RightTag::exit;
        CaptionLabel* shadow = makeCaption(panel, caption, font, QPoint(72, 20), isExit ? teal : Qt::black);
        shadow->setAttribute(Qt::WA_TransparentForMouseEvents);
        CaptionLabel* face = makeCaption(panel, caption, font, QPoint(71, 19), button.white ? white : teal);
        face->setObjectName(QString::fromLatin1(button.faceName));
        (left ? m_leftCaptions : m_rightCaptions)[static_cast<std::size_t>(row)] = face;

        auto click = [this, left, tag] { left ? SystemButtonsClick(tag) : UserButtonsClick(tag); };
        connectGuarded(picture, &PictureBox::clicked, this, click);
        connectGuarded(face, &CaptionLabel::clicked, this, click);
        // Beside the bevel rather than in it, so that a screen reader finds
        // the button while the bevel and its captions stay decoration.
        auto* key = kb::platform::keyboardTargetOver(*panel, caption, 3);
        connectGuarded(key, &KeyboardTarget::clicked, this, click);
        offerPopupMenu(picture);
        if (left || tag != RightTag::editor)
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
                    QPoint(8, 350), white);
    } else {
        CaptionLabel* title = makeCaption(strip, QStringLiteral("Kestrelbook 98"), titleFont, QPoint(62, 352), white);
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

    // Drawn as they are stacked: the lower strip over the bottom one.
    for (const auto& [index, place] : {std::pair{2, QRect(0, 344, 189, 33)}, std::pair{1, QRect(0, 316, 190, 39)}}) {
        auto* strip = new PictureBox(pane);
        strip->setObjectName(QStringLiteral("Background_Image_%1").arg(index + 1));
        strip->setGeometry(place);
        hideFromAccessibility(*strip);
        m_backgroundImages[static_cast<std::size_t>(index)] = strip;
        offerPopupMenu(strip);
    }

    auto* information = new PictureBox(pane);
    information->setObjectName(QStringLiteral("Image9"));
    information->setGeometry(34, 330, 114, 35);
    information->setArtwork(kb::resources::informationPlate());
    hideFromAccessibility(*information); // its keyboard target below is the button
    const auto showInformation = [this] { SystemButtonsClick(LeftTag::information); };
    connectGuarded(information, &PictureBox::clicked, this, showInformation);
    connectGuarded(kb::platform::keyboardTargetOver(*information, QStringLiteral("Information"), 1),
                   &KeyboardTarget::clicked, this, showInformation);

    const ClockHeader header = buildClockHeader(*pane);
    m_timeLabel = header.time;
    m_selectedLabel = header.selected;
    offerPopupMenu(header.panel);
    offerPopupMenu(header.clockFace);
    offerPopupMenu(header.time);
    offerPopupMenu(header.selected);
}

void Tkb_form::buildSetupPage(QWidget* page)
{
    makeCaption(page, QStringLiteral("Kestrelbook Setup"),
                layoutFont(QStringLiteral("Times New Roman"), 29, FontStyle::Bold), QPoint(16, 16), Qt::black);
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
    connectGuarded(kb::platform::escapeShortcut(*page), &QShortcut::activated, this, &Tkb_form::ToolButton3Click);
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
    copyFirstPictureToTheRest(m_buttonImages);
    copyFirstPictureToTheRest(m_backgroundImages);
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

void Tkb_form::loadCentralPicture(Column column, int tag)
{
    const auto& table = column == Column::Left ? leftPictures : rightPictures;
    m_centralImage->loadFromFile(m_systemDir + "\\" + pictureOf(table, tag));
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
    case LeftTag::address:
        if (m_tools.showAddressBook)
            m_tools.showAddressBook(m_addressFile);
        setSelectedLabelFrom(Column::Left, tag);
        break;
    case LeftTag::eMail:
        // Without a show handler that ran to its end there is no mail
        // hand-off; the button then only changes the picture.
        if (Launcher_GoToWeb) {
            Launcher_GoToWeb->SetMail(std::string());
            Launcher_GoToWeb->SendMail();
        }
        break;
    case LeftTag::setup:
        m_pages->setCurrentWidget(m_setupPage);
        m_dirEdit->setFocus(Qt::OtherFocusReason);
        break;
    case LeftTag::information:
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
    case RightTag::editor:
        if (m_tools.showEditor)
            m_tools.showEditor();
        setSelectedLabelFrom(Column::Right, tag);
        break;
    case RightTag::game:
        if (m_tools.showGame)
            m_tools.showGame(m_systemDir);
        setSelectedLabelFrom(Column::Right, tag);
        break;
    case RightTag::exit:
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
