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
    if (!problems.isEmpty()) {
        text += u"\nNicht importiert ("_s + QString::number(problems.size()) + u"):"_s;
        for (qsizetype i = 0; i < std::min(problems.size(), kShownProblems); ++i)
            text += u"\n- "_s + problems.at(i);
        if (problems.size() > kShownProblems)
            text += u"\n… und "_s + QString::number(problems.size() - kShownProblems) +
                    u" weitere"_s;
    }
    return text;
}
