#include "Prompter.h"

#include "platform/ui/WindowPlacement.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>

namespace kb::platform {
namespace {

// Qt centres a dialog on its owner, even on one that is hidden or was never
// shown; a box without a visible owner is centred on the screen instead.
QWidget* visibleOwner(QWidget* owner)
{
    return owner && owner->window()->isVisible() ? owner : nullptr;
}

class QtPrompter final : public Prompter {
public:
    bool askYesNo(QWidget* parent, const QString& text, DefaultAnswer byDefault) override
    {
        const auto box = createMessageBox(QMessageBox::Information, QStringLiteral("Information"), text,
                                          QMessageBox::NoButton, parent);
        QPushButton* yes = box->addButton(QStringLiteral("&Yes"), QMessageBox::YesRole);
        QPushButton* no = box->addButton(QStringLiteral("&No"), QMessageBox::NoRole);
        box->setDefaultButton(byDefault == DefaultAnswer::Yes ? yes : no);
        box->exec();
        return box->clickedButton() == yes;
    }

    void showError(QWidget* parent, const QString& text) override
    {
        createMessageBox(QMessageBox::Critical, QStringLiteral("Kestrelbook"), errorBoxText(text), QMessageBox::Ok,
                         parent)
            ->exec();
    }

    void showResult(QWidget* parent, const QString& text) override
    {
        createMessageBox(QMessageBox::NoIcon, QApplication::applicationDisplayName(), text, QMessageBox::Ok, parent)
            ->exec();
    }

    QString chooseFileToOpen(QWidget* parent, const FileDialogRequest& request) override
    {
        return run(parent, request, QFileDialog::AcceptOpen);
    }

    QString chooseFileToSave(QWidget* parent, const FileDialogRequest& request) override
    {
        return run(parent, request, QFileDialog::AcceptSave);
    }

private:
    static QString run(QWidget* parent, const FileDialogRequest& request, QFileDialog::AcceptMode mode)
    {
        QFileDialog dialog(visibleOwner(parent), request.title);
        dialog.setAcceptMode(mode);
        dialog.setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
        // The DOS product's save dialog replaced files without asking.
        dialog.setOption(QFileDialog::DontConfirmOverwrite);
        if (!request.defaultSuffix.isEmpty())
            dialog.setDefaultSuffix(request.defaultSuffix);
        if (!request.fileName.isEmpty())
            dialog.selectFile(request.fileName);
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return {};
        return dialog.selectedFiles().constFirst();
    }
};

std::unique_ptr<Prompter>& installed()
{
    static std::unique_ptr<Prompter> current;
    return current;
}

} // namespace

Prompter& prompter()
{
    static QtPrompter qtPrompter;
    return installed() ? *installed() : static_cast<Prompter&>(qtPrompter);
}

std::unique_ptr<Prompter> setPrompter(std::unique_ptr<Prompter> replacement)
{
    std::swap(installed(), replacement);
    return replacement;
}

QString shortenedForDisplay(const QString& text)
{
    if (text.size() <= messageBoxTextLimit)
        return text;
    const QChar ellipsis(0x2026);
    qsizetype head = (messageBoxTextLimit - 1) / 2;
    qsizetype tail = messageBoxTextLimit - 1 - head;
    // Never cut a character outside the basic plane in two.
    if (text.at(head - 1).isHighSurrogate())
        --head;
    if (text.at(text.size() - tail).isLowSurrogate())
        --tail;
    return text.left(head) + ellipsis + text.right(tail);
}

namespace {

// A run of characters without a break opportunity (a long file name) gets
// invisible ones, so that the box wraps it instead of cutting it off.
QString wrappableAnywhere(const QString& text)
{
    constexpr int longestRun = 60;
    QString result;
    result.reserve(text.size() + text.size() / longestRun);
    int run = 0;
    for (const QChar c : text) {
        run = c.isSpace() ? 0 : run + 1;
        if (run > longestRun && !c.isLowSurrogate()) {
            result += QChar(0x200B);
            run = 1;
        }
        result += c;
    }
    return result;
}

} // namespace

std::unique_ptr<QMessageBox> createMessageBox(QMessageBox::Icon icon, const QString& title, const QString& text,
                                              QMessageBox::StandardButtons buttons, QWidget* owner)
{
    auto box = std::make_unique<QMessageBox>(icon, title, QString(), buttons, visibleOwner(owner));
    box->setTextFormat(Qt::PlainText);
    box->setText(wrappableAnywhere(shortenedForDisplay(text)));
    centreBox(*box);
    return box;
}

QString errorBoxText(const QString& message)
{
    return message.endsWith(QLatin1Char('.')) ? message : message + QLatin1Char('.');
}

} // namespace kb::platform
