#pragma once

#include <QObject>
#include <QString>

class QWidget;

namespace kb::editor {

// A file dialog component of a window: it remembers the name last chosen and
// offers it at the next use. It runs through the program's prompter, so
// tests answer it without a modal loop. No title of its own, no filter.
class EditorFileDialog : public QObject {
    Q_OBJECT
public:
    enum class Kind { Open, Save };

    EditorFileDialog(Kind kind, QWidget* owner);

    // Shows the dialog; true when the user confirmed a name, which then
    // becomes fileName(). A cancelled dialog keeps the former name.
    bool execute();

    const QString& fileName() const { return m_fileName; }
    void setFileName(const QString& fileName) { m_fileName = fileName; }

private:
    Kind m_kind;
    QWidget* m_owner;
    QString m_fileName;
};

} // namespace kb::editor
