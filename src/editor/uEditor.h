#pragma once

#include "editor/EditorText.h"
#include "platform/ui/Prompter.h"

#include <QWidget>

#include <cstddef>
#include <optional>

class QKeySequence;
class QPlainTextEdit;
class QToolButton;

namespace kb::platform {
class CaptionLabel;
class PictureBox;
} // namespace kb::platform

namespace kb::editor {
class EditorFileDialog;
}

// The plain text editor: a text area under a title strip that names the file
// opened last, and a tool bar to open, save, empty and leave. It is created
// once and only hidden when closed, so its text is there at the next showing.
class TfmEdit : public QWidget {
    Q_OBJECT
public:
    // memoCapacity: the most characters a loaded text may hold.
    explicit TfmEdit(QWidget* parent = nullptr, std::size_t memoCapacity = kb::editor::defaultMemoCapacity);

protected:
    void showEvent(QShowEvent* event) override;

private:
    void createTitleStrip();
    void createMemo();
    void createToolBar();
    QToolButton* addToolButton(const char* name, const QString& caption, int picture, int column);
    void addShortcut(QToolButton& button, const QKeySequence& keys, void (TfmEdit::*handler)());
    static void showKeyInTip(QToolButton& button, const QKeySequence& keys);

    void ToolButton1Click();
    void ToolButton2Click();
    void cancelByEscape();
    void cancelAsking(kb::platform::Prompter::DefaultAnswer byDefault);
    void SaveButtonClick();
    void ToolButton7Click();

    void loadMemoFrom(const QString& fileName);
    // False when the user chose not to save.
    bool saveMemoTo(const QString& fileName);

    std::size_t m_memoCapacity;
    std::optional<kb::platform::FileIdentity> m_cutFile; // the file shown cut at a NUL
    QWidget* m_panel = nullptr;
    kb::platform::PictureBox* m_titleLeftImage = nullptr;
    kb::platform::PictureBox* m_titleRightImage = nullptr;
    kb::platform::CaptionLabel* m_titleLabel = nullptr;
    kb::platform::CaptionLabel* m_filenameLabel = nullptr;
    QPlainTextEdit* m_memo = nullptr;
    QWidget* m_toolBar = nullptr;
    kb::editor::EditorFileDialog* m_openDialog = nullptr;
    kb::editor::EditorFileDialog* m_saveDialog = nullptr;
};
