#pragma once

#include <QString>

#include <memory>

class QWidget;

namespace kb::platform {

struct FileDialogRequest {
    QString title;          // empty: the desktop's own title
    QString fileName;       // offered name, may be empty
    QString defaultSuffix;  // without the dot, may be empty
};

// Every message box and file dialog of the program goes through this
// interface, so that tests can answer them without a modal loop.
class Prompter {
public:
    virtual ~Prompter() = default;

    // "Information" question with "&Yes" and "&No"; true only for Yes.
    virtual bool askYesNo(QWidget* parent, const QString& text) = 0;
    // The standard error box: "Kestrelbook", critical icon, OK.
    virtual void showError(QWidget* parent, const QString& text) = 0;
    // A plain result box titled with the application title, no icon, OK.
    virtual void showResult(QWidget* parent, const QString& text) = 0;
    // The chosen file's full path, or an empty string when cancelled.
    virtual QString chooseFileToOpen(QWidget* parent, const FileDialogRequest& request) = 0;
    virtual QString chooseFileToSave(QWidget* parent, const FileDialogRequest& request) = 0;
};

// The prompter in use: the Qt one unless a test installed another.
Prompter& prompter();
// Installs a prompter and returns the one it replaces (null for the default).
std::unique_ptr<Prompter> setPrompter(std::unique_ptr<Prompter> replacement);

// The error text as the box shows it: a full stop appended unless present.
QString errorBoxText(const QString& message);

} // namespace kb::platform
