#include "interchange/icalendarimport.h"

using namespace Qt::StringLiterals;

CalendarImportPlan readCalendar(const QByteArray&, int)
{
    return {u"noch nicht gebaut"_s};
}

ImportReport storeCalendar(Database&, const CalendarImportPlan& plan, int)
{
    ImportReport report;
    report.failed = true;
    report.error = plan.error;
    return report;
}
