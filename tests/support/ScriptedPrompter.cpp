#include "ScriptedPrompter.h"

namespace kb::test {

ScriptedPrompter::ScriptedPrompter(std::shared_ptr<Record> record, std::shared_ptr<std::deque<bool>> answers,
                                   std::shared_ptr<std::deque<QString>> files)
    : m_record(std::move(record))
    , m_answers(std::move(answers))
    , m_files(std::move(files))
{
}

bool ScriptedPrompter::askYesNo(QWidget*, const QString& text, DefaultAnswer byDefault)
{
    m_record->questions << text;
    if (byDefault == DefaultAnswer::No)
        m_record->questionsDefaultingToNo << text;
    if (m_answers->empty())
        return false;
    const bool answer = m_answers->front();
    m_answers->pop_front();
    return answer;
}

void ScriptedPrompter::showError(QWidget*, const QString& text)
{
    m_record->errors << platform::errorBoxText(text);
}

void ScriptedPrompter::showResult(QWidget*, const QString& text)
{
    m_record->results << text;
}

QString ScriptedPrompter::chooseFileToOpen(QWidget*, const platform::FileDialogRequest& request)
{
    m_record->openRequests << request;
    if (m_files->empty())
        return {};
    const QString file = m_files->front();
    m_files->pop_front();
    return file;
}

QString ScriptedPrompter::chooseFileToSave(QWidget*, const platform::FileDialogRequest& request)
{
    m_record->saveRequests << request;
    if (m_files->empty())
        return {};
    const QString file = m_files->front();
    m_files->pop_front();
    return file;
}

PromptScript::PromptScript()
    : m_previous(platform::setPrompter(std::make_unique<ScriptedPrompter>(m_record, m_answers, m_files)))
{
}

PromptScript::~PromptScript()
{
    platform::setPrompter(std::move(m_previous));
}

void PromptScript::clear()
{
    *m_record = {};
    m_answers->clear();
    m_files->clear();
}

} // namespace kb::test
