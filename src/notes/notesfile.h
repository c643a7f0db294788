#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// notizen.zr: one editor line per CR LF line. A line that starts (after blanks) with fifteen "B"
// and ends with two digits stands for a picture; a line that is exactly "-" closes a rendered
// picture and is dropped when reading, because rendering writes it again.
namespace NotesFile {

struct Line
{
    QString text;
    int picture = 0; // the picture number 1-99 of a placeholder line, else 0
};

QList<Line> parse(const QByteArray& bytes);
QByteArray serialize(const QStringList& lines);

// The picture number of a placeholder line, or 0.
int placeholderNumber(const QString& line);

} // namespace NotesFile
