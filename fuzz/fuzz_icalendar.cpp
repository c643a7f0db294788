// Reading any bytes as a calendar file must neither crash, hang nor abort inside libical.

#include "interchange/icalendarimport.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const CalendarImportPlan plan = readCalendar(bytes, 2007);
    // Every planned row must be one Ruvo can store.
    for (const CalendarAppointment& a : plan.appointments) {
        if (a.end < a.start || a.msg < 0 || a.msg > 4 || a.remsg < 0 || a.remsg > 3 ||
            a.series >= plan.seriesRedo.size())
            __builtin_trap();
    }
    return 0;
}
