#pragma once

#include "common/prompter.h"

// Real message boxes and file dialogs, centred over the window the user works in.
class QtPrompter final : public Prompter
{
public:
    void inform(const QString& title, const QString& text) override;
    void warn(const QString& title, const QString& text) override;
    bool askYesNo(const QString& title, const QString& text) override;
    int choose(const QString& title, const QString& text, const QStringList& choices) override;
    QString saveFileName(const QString& title, const QString& startPath,
                         const QString& filter) override;
    QString openFileName(const QString& title, const QString& startPath,
                         const QString& filter) override;

    // "Text | *.a;*.b" as Qt writes it: "Text (*.a *.b)".
    static QString qtFilter(const QString& filter);
};
