#include "app/qtprompter.h"

#include <QApplication>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>

using namespace Qt::StringLiterals;

namespace {
// The open dialog, else the active window: boxes belong over what the user is looking at.
QWidget* parentWidget()
{
    if (QWidget* modal = QApplication::activeModalWidget())
        return modal;
    return QApplication::activeWindow();
}
} // namespace

void QtPrompter::inform(const QString& title, const QString& text)
{
    QMessageBox::information(parentWidget(), title, text);
}

void QtPrompter::warn(const QString& title, const QString& text)
{
    QMessageBox::warning(parentWidget(), title, text);
}

bool QtPrompter::askYesNo(const QString& title, const QString& text)
{
    // Yes is the default button, as in the classic Yes/No box.
    return QMessageBox::question(parentWidget(), title, text, QMessageBox::Yes | QMessageBox::No,
                                 QMessageBox::Yes) == QMessageBox::Yes;
}

int QtPrompter::choose(const QString& title, const QString& text, const QStringList& choices)
{
    bool ok = false;
    const QString chosen =
            QInputDialog::getItem(parentWidget(), title, text, choices, 0, false, &ok);
    return ok ? int(choices.indexOf(chosen)) : -1;
}

QString QtPrompter::saveFileName(const QString& title, const QString& startPath,
                                 const QString& filter)
{
    return QFileDialog::getSaveFileName(parentWidget(), title, startPath, qtFilter(filter));
}

QString QtPrompter::openFileName(const QString& title, const QString& startPath,
                                 const QString& filter)
{
    return QFileDialog::getOpenFileName(parentWidget(), title, startPath, qtFilter(filter));
}

QString QtPrompter::qtFilter(const QString& filter)
{
    const qsizetype bar = filter.indexOf(u'|');
    if (bar < 0)
        return filter;
    const QString name = filter.left(bar).trimmed();
    QString patterns = filter.mid(bar + 1).trimmed();
    patterns.replace(u';', u' ');
    return name + u" ("_s + patterns + u')';
}
