#include "Prompter.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>

namespace kb::platform {
namespace {

class QtPrompter final : public Prompter {
public:
    bool askYesNo(QWidget* parent, const QString& text) override
    {
        QMessageBox box(QMessageBox::Information, QStringLiteral("Information"), text,
                        QMessageBox::NoButton, parent);
        QPushButton* yes = box.addButton(QStringLiteral("&Yes"), QMessageBox::YesRole);
        box.addButton(QStringLiteral("&No"), QMessageBox::NoRole);
        box.setDefaultButton(yes);
        box.exec();
        return box.clickedButton() == yes;
    }

    void showError(QWidget* parent, const QString& text) override
    {
        QMessageBox box(QMessageBox::Critical, QStringLiteral("Kestrelbook"), errorBoxText(text),
                        QMessageBox::Ok, parent);
        box.exec();
    }

    void showResult(QWidget* parent, const QString& text) override
    {
        QMessageBox box(QMessageBox::NoIcon, QApplication::applicationDisplayName(), text,
                        QMessageBox::Ok, parent);
        box.exec();
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
        QFileDialog dialog(parent, request.title);
        dialog.setAcceptMode(mode);
        dialog.setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile
                                                           : QFileDialog::AnyFile);
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

QString errorBoxText(const QString& message)
{
    return message.endsWith(QLatin1Char('.')) ? message : message + QLatin1Char('.');
}

} // namespace kb::platform
