#include "interchange/icalendarexport.h"

#include <QString>

using namespace Qt::StringLiterals;

bool exportCalendar(Database&, QIODevice&, QString& error)
{
    error = u"noch nicht gebaut"_s;
    return false;
}
