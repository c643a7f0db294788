#pragma once

#include "common/prompter.h"

#include <QPointer>
#include <QWidget>

// Real message boxes and file dialogs, centred over the main window once it exists.
class QtPrompter final : public Prompter
{
public:
    void setParentWidget(QWidget* parent) { m_parent = parent; }

    void inform(const QString& title, const QString& text) override;
    void warn(const QString& title, const QString& text) override;
    bool askYesNo(const QString& title, const QString& text) override;
    QString saveFileName(const QString& title, const QString& startPath,
                         const QString& filter) override;
    QString openFileName(const QString& title, const QString& startPath,
                         const QString& filter) override;

    // "Text | *.a;*.b" as Qt writes it: "Text (*.a *.b)".
    static QString qtFilter(const QString& filter);

private:
    QPointer<QWidget> m_parent;
};
