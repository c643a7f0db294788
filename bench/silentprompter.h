#pragma once

#include "common/prompter.h"

// Shows nothing and gives every question the same answer, so benchmarks never wait for a user.
class SilentPrompter final : public Prompter
{
public:
    explicit SilentPrompter(bool answer = true)
        : m_answer(answer)
    {}
    void inform(const QString&, const QString&) override {}
    void warn(const QString&, const QString&) override {}
    bool askYesNo(const QString&, const QString&) override { return m_answer; }
    int choose(const QString&, const QString&, const QStringList&) override { return 0; }
    QString saveFileName(const QString&, const QString&, const QString&) override { return {}; }
    QString openFileName(const QString&, const QString&, const QString&) override { return {}; }

private:
    bool m_answer;
};
