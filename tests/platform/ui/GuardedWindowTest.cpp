#include "ScriptedPrompter.h"
#include "platform/ui/HandlerGuard.h"
#include "platform/ui/WindowPlacement.h"

#include <QGuiApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <gtest/gtest.h>

#include <stdexcept>

namespace {

class Window : public QWidget {
public:
    void ButtonClick() { ++clicks; }
    int clicks = 0;
};

TEST(ConnectGuardedTest, HandlersTakeTheSignalsArgumentsOrNoneAndFailuresShowTheErrorBox)
{
    kb::test::PromptScript prompts;
    Window window;
    auto* button = new QPushButton(&window);
    auto* edit = new QLineEdit(&window);
    QString typed;
    kb::platform::connectGuarded(button, &QPushButton::clicked, &window, &Window::ButtonClick);
    kb::platform::connectGuarded(edit, &QLineEdit::textEdited, &window, [&](const QString& text) {
        typed = text;
        throw std::runtime_error("Disk full");
    });

    button->click();
    edit->textEdited(QStringLiteral("abc"));
    EXPECT_EQ(window.clicks, 1);
    EXPECT_EQ(typed, "abc");
    EXPECT_EQ(prompts.errors(), QStringList{"Disk full."});
}

TEST(CentreOnScreenTest, CentresTheWindowOnTheAvailableArea)
{
    QWidget window;
    window.setFixedSize(201, 100);
    kb::platform::centreOnScreen(window);
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_EQ(window.frameGeometry().center(), area.center());
}

} // namespace
