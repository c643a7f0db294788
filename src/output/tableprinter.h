#pragma once

#include "common/datevalue.h"

#include <QImage>
#include <QString>

class Database;
class Prompter;
class QPagedPaintDevice;

// "Alle termine in Tabellenform Drucken": every coming appointment as one ruled row pair, a
// series once by its first member, on as many pages as it takes.
namespace TablePrinter {

inline constexpr int kPreviewSize = 200;

// Prints onto the device; false when painting could not begin or the query failed (reported).
bool printAppointmentTable(QPagedPaintDevice& device, Database& db, Prompter& prompter,
                           DateValue now, bool groupColours);

// The first page drawn small into a 200 x 200 picture, lines in grey.
QImage drawTablePreview(Database& db, Prompter& prompter, DateValue now, bool groupColours);

} // namespace TablePrinter
