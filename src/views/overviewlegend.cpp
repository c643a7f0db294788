#include "views/overviewlegend.h"

#include "common/grouppalette.h"
#include "common/programfont.h"
#include "store/database.h"
#include "store/databaseerror.h"
#include "store/querycursor.h"
#include "views/barstrips.h"
#include "views/overviewcanvas.h"
#include "views/overviewimages.h"

#include <array>

using namespace Qt::StringLiterals;

void OverviewLegend::draw(OverviewCanvas& canvas, int height, Database& db, Prompter& prompter,
                          const OverviewImages& images, const QImage& yearStrip,
                          const BarTextColors& colors)
{
    canvas.fill(kLeft, 0, 83, height, 0xFF000000);
    canvas.fill(kLeft + 1, 1, 81, height - 2, 0xFFDDDDDD);
    canvas.setFont(programFont(1));
    canvas.text(570, 5, u"Legende:"_s, 0xFF000000);
    canvas.setFont(programFont(2));

    std::array<QString, kGroupCount> names;
    QueryCursor cursor;
    const bool loaded =
            db.queryTable(u"SELECT id,grupname FROM grups WHERE id>=1 And id<=20 ;"_s, cursor);
    if (!loaded)
        showDatabaseError(db, prompter);
    while (loaded && cursor.nextRow()) {
        const qint64 id = cursor.number(1);
        if (id >= 1 && id <= kGroupCount)
            names[static_cast<std::size_t>(id - 1)] = cursor.text(2);
    }

    for (int i = 0; i <= kGroupCount; ++i) {
        const int y = 35 + 22 * i;
        canvas.stretch(yearStrip, 565, y, 75, 13);
        if (!loaded)
            return;
        const QString name =
                i < kGroupCount ? names[static_cast<std::size_t>(i)] : u"Vergangenheit"_s;
        if (name == u"Geburtstag"_s) {
            canvas.ellipse(602, y + 7, 43, 9, 0xFFFF0000);
            canvas.ellipse(602, y + 7, 44, 8, 0xFFFF0000);
            canvas.text(566, y, name, colors.name);
            continue;
        }
        images.overlayRun(canvas, i, 566, y, 68);
        canvas.text(566, y, name, colors.name);
        canvas.stamp(images.opaque(i), 565, y);
        canvas.stamp(images.opaque(i), 634, y);
    }
}
