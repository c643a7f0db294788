#include "common/importreport.h"

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

QString counted(int count, const QString& one, const QString& many)
{
    return QString::number(count) + u' ' + (count == 1 ? one : many);
}

// A long list of problems would push the buttons off the screen.
constexpr qsizetype kShownProblems = 15;

void appendLines(QString& text, const QString& heading, const QStringList& lines)
{
    if (lines.isEmpty())
        return;
    text += u'\n' + heading + u" ("_s + QString::number(lines.size()) + u"):"_s;
    for (qsizetype i = 0; i < std::min(lines.size(), kShownProblems); ++i)
        text += u"\n- "_s + lines.at(i);
    if (lines.size() > kShownProblems)
        text += u"\n… und "_s + QString::number(lines.size() - kShownProblems) + u" weitere"_s;
}

} // namespace

QString ImportReport::summaryText() const
{
    if (failed)
        return u"Es wurde nichts importiert: "_s + error;

    QStringList parts;
    if (events > 0)
        parts << counted(events, u"Termin"_s, u"Termine"_s);
    if (todos > 0)
        parts << counted(todos, u"Aufgabe"_s, u"Aufgaben"_s);
    if (addresses > 0)
        parts << counted(addresses, u"Adresse"_s, u"Adressen"_s);
    QString text = parts.isEmpty() ? u"Importiert: nichts."_s
                                   : u"Importiert: "_s + parts.join(u", "_s) + u'.';
    if (duplicates > 0)
        text += u"\nAls bereits vorhanden übersprungen: "_s + QString::number(duplicates) + u'.';
    appendLines(text, u"Nicht importiert"_s, problems);
    appendLines(text, u"Hinweise"_s, notes);
    return text;
}
