#pragma once

#include "launch/MailSender.h"
#include "shell/LauncherLayout.h"

#include <QString>
#include <QWidget>

#include <array>
#include <functional>
#include <memory>
#include <string>

class QAction;
class QLabel;
class QLineEdit;
class QMenu;
class QStackedWidget;
class QTimer;

namespace kb::platform {
class CaptionLabel;
class PictureBox;
} // namespace kb::platform

class Tfminit;

namespace kb::shell {

// What the launcher opens. The main block fills it with its windows; a tool
// that is not there simply opens nothing.
struct LauncherTools {
    Tfminit* firstRunDialog = nullptr;
    std::function<void(const std::string& systemDir)> showGame;
    std::function<void(const std::string& addressFile)> showAddressBook;
    std::function<void()> showEditor;
    std::function<void()> showInformation;
};

} // namespace kb::shell

// The launcher: two columns of picture buttons around a central pane with a
// clock, and a hidden setup page.
class Tkb_form : public QWidget {
    Q_OBJECT
public:
    static constexpr int buttonsPerColumn = kb::shell::launcher::buttonsPerColumn;

    // mailSenders makes the launcher's mail hand-off at each showing.
    explicit Tkb_form(kb::launch::MailSenderFactory mailSenders, QWidget* parent = nullptr);
    ~Tkb_form() override;

    void setTools(kb::shell::LauncherTools tools);
    // Where the clock takes the long time text from; the system clock unless
    // a test sets another.
    void setLongTimeSource(std::function<QString()> source);

    // The path values, set by the show handler.
    const std::string& Dos_Dir() const { return m_dosDir; }
    const std::string& Data_Dir() const { return m_dataDir; }
    const std::string& System_Dir() const { return m_systemDir; }
    const std::string& Address_File() const { return m_addressFile; }
    // The launcher's own mail hand-off: from the end of the show handler to
    // the closing of the window.
    const kb::launch::MailSender* launcherGoToWeb() const { return Launcher_GoToWeb.get(); }

    // Handlers, entered through the handler guard.
    void FormShow();
    void SystemButtonsClick(int tag);
    void UserButtonsClick(int tag);
    void ClockTimerTimer();
    void Scale_100Click();
    void Scale_75Click();
    void ToolButton3Click();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    enum class Column { Left, Right };

    void buildMainPage(QWidget* page);
    void buildButtonColumn(QWidget* page, Column column);
    void buildCentralPane(QWidget* page);
    void buildSetupPage(QWidget* page);
    void buildPopupMenu();
    void offerPopupMenu(QWidget* control);
    void popUpMenuAtFocus();

    void loadConfiguration();
    void loadCentralPicture(Column column, int tag);
    void setSelectedLabelFrom(Column column, int tag);
    void FormClose();

    std::string m_dosDir;
    std::string m_dataDir;
    std::string m_systemDir;
    std::string m_addressFile;
    kb::launch::MailSenderFactory m_mailSenders;
    std::unique_ptr<kb::launch::MailSender> Launcher_GoToWeb;

    kb::shell::LauncherTools m_tools;
    std::function<QString()> m_longTimeSource;
    bool m_showHandlerRun = false;

    QStackedWidget* m_pages = nullptr;
    QWidget* m_mainPage = nullptr;
    QWidget* m_setupPage = nullptr;
    kb::platform::PictureBox* m_centralImage = nullptr;
    QLabel* m_timeLabel = nullptr;
    QLabel* m_selectedLabel = nullptr;
    QLineEdit* m_dirEdit = nullptr;
    QMenu* m_popupMenu = nullptr;
    QAction* m_scale100 = nullptr;
    QAction* m_scale75 = nullptr;
    QTimer* m_clockTimer = nullptr;
    // Top to bottom, the left column's first.
    std::array<kb::platform::PictureBox*, 2 * buttonsPerColumn> m_buttonImages{};
    // Background_Image_1 to _4.
    std::array<kb::platform::PictureBox*, 4> m_backgroundImages{};
    std::array<kb::platform::CaptionLabel*, buttonsPerColumn> m_leftCaptions{};
    std::array<kb::platform::CaptionLabel*, buttonsPerColumn> m_rightCaptions{};
};
