#include "support/scriptedprompter.h"

using namespace Qt::StringLiterals;

void ScriptedPrompter::inform(const QString& title, const QString& text)
{
    m_calls.append({Kind::Inform, title, text, {}});
}

void ScriptedPrompter::warn(const QString& title, const QString& text)
{
    m_calls.append({Kind::Warn, title, text, {}});
}

bool ScriptedPrompter::askYesNo(const QString& title, const QString& text)
{
    m_calls.append({Kind::Ask, title, text, {}});
    if (m_answers.empty())
        return false;
    const bool yes = m_answers.front();
    m_answers.pop_front();
    return yes;
}

int ScriptedPrompter::choose(const QString& title, const QString& text, const QStringList& choices)
{
    m_calls.append({Kind::Choose, title, text, choices.join(u'|')});
    if (m_choices.empty())
        return -1;
    const int index = m_choices.front();
    m_choices.pop_front();
    return index;
}

QString ScriptedPrompter::saveFileName(const QString& title, const QString& startPath,
                                       const QString& filter)
{
    m_calls.append({Kind::SaveFile, title, startPath, filter});
    if (m_files.empty())
        return {};
    const QString path = m_files.front();
    m_files.pop_front();
    return path;
}

QString ScriptedPrompter::openFileName(const QString& title, const QString& startPath,
                                       const QString& filter)
{
    m_calls.append({Kind::OpenFile, title, startPath, filter});
    if (m_files.empty())
        return {};
    const QString path = m_files.front();
    m_files.pop_front();
    return path;
}

QStringList ScriptedPrompter::transcript() const
{
    QStringList lines;
    for (const Call& call : m_calls)
        lines << call.title + u" / "_s + call.text;
    return lines;
}

void ScriptedPrompter::clear()
{
    m_calls.clear();
    m_answers.clear();
    m_files.clear();
    m_choices.clear();
}
