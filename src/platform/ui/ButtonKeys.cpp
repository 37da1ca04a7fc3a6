#include "ButtonKeys.h"

#include <QAbstractButton>
#include <QKeyEvent>
#include <QShortcut>

namespace kb::platform {

namespace {

class ReturnPresser : public QObject {
public:
    explicit ReturnPresser(QAbstractButton& button)
        : QObject(&button)
        , m_button(button)
    {
        button.installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::KeyPress) {
            const auto* key = static_cast<QKeyEvent*>(event);
            if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)
                && (key->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
                if (!key->isAutoRepeat())
                    m_button.click();
                return true;
            }
        }
        return QObject::eventFilter(watched, event);
    }

private:
    QAbstractButton& m_button;
};

} // namespace

void pressWithReturn(QAbstractButton& button)
{
    new ReturnPresser(button);
}

QShortcut* escapeShortcut(QWidget& page)
{
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), &page);
    escape->setContext(Qt::WidgetWithChildrenShortcut);
    return escape;
}

QShortcut* returnShortcut(QWidget& control)
{
    auto* enter = new QShortcut(&control);
    enter->setKeys({QKeySequence(Qt::Key_Return), QKeySequence(Qt::Key_Enter)});
    enter->setContext(Qt::WidgetShortcut);
    return enter;
}

} // namespace kb::platform
