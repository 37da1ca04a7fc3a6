#include "EditorFileDialog.h"

#include "platform/ui/Prompter.h"

#include <QWidget>

namespace kb::editor {

EditorFileDialog::EditorFileDialog(Kind kind, QWidget* owner)
    : QObject(owner)
    , m_kind(kind)
    , m_owner(owner)
{
}

bool EditorFileDialog::execute()
{
    platform::FileDialogRequest request;
    request.fileName = m_fileName;
    const QString chosen = m_kind == Kind::Open ? platform::prompter().chooseFileToOpen(m_owner, request)
                                                : platform::prompter().chooseFileToSave(m_owner, request);
    if (chosen.isEmpty())
        return false;
    m_fileName = chosen;
    return true;
}

} // namespace kb::editor
