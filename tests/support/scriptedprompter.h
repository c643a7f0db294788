#pragma once

#include "common/prompter.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <deque>

// Records every message and dialog and answers them from prepared queues, so no test ever blocks
// on a modal box.
class ScriptedPrompter final : public Prompter
{
public:
    enum class Kind { Inform, Warn, Ask, Choose, SaveFile, OpenFile };
    struct Call
    {
        Kind kind;
        QString title;
        QString text;   // message text, or the start path of a file dialog
        QString filter; // the choices of a choice, joined by "|"
    };

    void inform(const QString& title, const QString& text) override;
    void warn(const QString& title, const QString& text) override;
    bool askYesNo(const QString& title, const QString& text) override;
    int choose(const QString& title, const QString& text, const QStringList& choices) override;
    QString saveFileName(const QString& title, const QString& startPath,
                         const QString& filter) override;
    QString openFileName(const QString& title, const QString& startPath,
                         const QString& filter) override;

    // Answers for the next questions and file dialogs, in order. Without one a question is
    // answered No and a file dialog is cancelled.
    void answer(bool yes) { m_answers.push_back(yes); }
    void answerFile(const QString& path) { m_files.push_back(path); }
    // Without one a choice is cancelled.
    void answerChoice(int index) { m_choices.push_back(index); }

    const QList<Call>& calls() const { return m_calls; }
    // "title / text" of every call, for compact comparisons.
    QStringList transcript() const;
    void clear();

private:
    QList<Call> m_calls;
    std::deque<bool> m_answers;
    std::deque<QString> m_files;
    std::deque<int> m_choices;
};
