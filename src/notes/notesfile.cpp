#include "notes/notesfile.h"

#include "common/textcodec.h"

using namespace Qt::StringLiterals;

namespace NotesFile {

int placeholderNumber(const QString& line)
{
    const QString trimmed = line.trimmed();
    if (!trimmed.startsWith(u"BBBBBBBBBBBBBBB"_s) || trimmed.size() < 17)
        return 0;
    bool ok = false;
    const int number = trimmed.right(2).toInt(&ok);
    return ok && number > 0 ? number : 0;
}

QList<Line> parse(const QByteArray& bytes)
{
    QString text = decodeText(bytes);
    text.replace(u"\r\n"_s, u"\n"_s);
    QStringList lines = text.split(u'\n');
    // The last line ends with CR LF too, which leaves one empty piece behind.
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();

    QList<Line> result;
    for (const QString& line : std::as_const(lines)) {
        if (line == u"-"_s)
            continue;
        result.append({line, placeholderNumber(line)});
    }
    return result;
}

QByteArray serialize(const QStringList& lines)
{
    QString text;
    for (const QString& line : lines)
        text += line + u"\r\n"_s;
    return encodeText(text);
}

} // namespace NotesFile
