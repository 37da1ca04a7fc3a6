#pragma once

#include "platform/ui/Prompter.h"

#include <QStringList>

#include <deque>
#include <memory>

namespace kb::test {

// Answers the program's message boxes and file dialogs from a script and
// records what was shown, so no test ever waits on a modal box.
class ScriptedPrompter final : public platform::Prompter {
public:
    struct Record {
        QStringList questions;
        QStringList questionsDefaultingToNo;
        QStringList errors; // as the box shows them, full stop included
        QStringList results;
        QList<platform::FileDialogRequest> openRequests;
        QList<platform::FileDialogRequest> saveRequests;
    };

    // Shares the record and the answers with the test that installed it.
    ScriptedPrompter(std::shared_ptr<Record> record, std::shared_ptr<std::deque<bool>> answers,
                     std::shared_ptr<std::deque<QString>> files);

    bool askYesNo(QWidget*, const QString& text, DefaultAnswer byDefault) override;
    void showError(QWidget*, const QString& text) override;
    void showResult(QWidget*, const QString& text) override;
    QString chooseFileToOpen(QWidget*, const platform::FileDialogRequest& request) override;
    QString chooseFileToSave(QWidget*, const platform::FileDialogRequest& request) override;

private:
    std::shared_ptr<Record> m_record;
    std::shared_ptr<std::deque<bool>> m_answers;
    std::shared_ptr<std::deque<QString>> m_files;
};

// Installs a ScriptedPrompter for the lifetime of the object. Unscripted
// questions are answered No and unscripted dialogs are cancelled.
class PromptScript {
public:
    PromptScript();
    ~PromptScript();
    PromptScript(const PromptScript&) = delete;
    PromptScript& operator=(const PromptScript&) = delete;

    void answerYes() { m_answers->push_back(true); }
    void answerNo() { m_answers->push_back(false); }
    void chooseFile(const QString& path) { m_files->push_back(path); }
    void cancelDialog() { m_files->push_back(QString()); }

    const QStringList& questions() const { return m_record->questions; }
    const QStringList& questionsDefaultingToNo() const { return m_record->questionsDefaultingToNo; }
    const QStringList& errors() const { return m_record->errors; }
    const QStringList& results() const { return m_record->results; }
    const QList<platform::FileDialogRequest>& openRequests() const { return m_record->openRequests; }
    const QList<platform::FileDialogRequest>& saveRequests() const { return m_record->saveRequests; }
    void clear();

private:
    std::shared_ptr<ScriptedPrompter::Record> m_record = std::make_shared<ScriptedPrompter::Record>();
    std::shared_ptr<std::deque<bool>> m_answers = std::make_shared<std::deque<bool>>();
    std::shared_ptr<std::deque<QString>> m_files = std::make_shared<std::deque<QString>>();
    std::unique_ptr<platform::Prompter> m_previous;
};

} // namespace kb::test
