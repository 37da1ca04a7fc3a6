#pragma once

#include <QMessageBox>
#include <QString>

#include <memory>

class QWidget;

namespace kb::platform {

struct FileDialogRequest {
    QString title;         // empty: the desktop's own title
    QString fileName;      // offered name, may be empty
    QString defaultSuffix; // without the dot, may be empty
};

// Every message box and file dialog of the program goes through this
// interface, so that tests can answer them without a modal loop.
class Prompter {
public:
    virtual ~Prompter() = default;

    // Which button Return presses in a question.
    enum class DefaultAnswer { Yes, No };
    // "Information" question with "&Yes" and "&No"; true only for Yes.
    virtual bool askYesNo(QWidget* parent, const QString& text, DefaultAnswer byDefault = DefaultAnswer::Yes) = 0;
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

// The most characters a message box shows. A longer text (a file name of a
// megabyte) keeps its beginning and its end around an ellipsis, so that the
// box comes up at once and still tells which file it means.
inline constexpr int messageBoxTextLimit = 1000;
QString shortenedForDisplay(const QString& text);

// A message box as the prompter shows it: its text plain, never markup,
// shortened, and free to wrap inside a long name; it comes up centred on its owner while that is visible, and on
// the screen otherwise.
std::unique_ptr<QMessageBox> createMessageBox(QMessageBox::Icon icon, const QString& title, const QString& text,
                                              QMessageBox::StandardButtons buttons, QWidget* owner);

} // namespace kb::platform
