#pragma once

#include <QString>
#include <QStringList>

// Every message box and file dialog of the program goes through this interface. The program shows
// real dialogs; tests script the answers and record what was asked.
class Prompter
{
public:
    virtual ~Prompter() = default;

    // A plain notice with an OK button.
    virtual void inform(const QString& title, const QString& text) = 0;
    // An error or warning with an OK button.
    virtual void warn(const QString& title, const QString& text) = 0;
    // A Yes/No question; true for Yes. Closing the box counts as No.
    virtual bool askYesNo(const QString& title, const QString& text) = 0;
    // One of the choices, by index; -1 when cancelled.
    virtual int choose(const QString& title, const QString& text, const QStringList& choices) = 0;

    // File dialogs; an empty result means cancelled. The filter is written "Text | *.a;*.b".
    virtual QString saveFileName(const QString& title, const QString& startPath,
                                 const QString& filter) = 0;
    virtual QString openFileName(const QString& title, const QString& startPath,
                                 const QString& filter) = 0;
};
