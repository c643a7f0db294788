#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>

// Text files of the program (preferences, notes): bytes that are valid UTF-8 are read as UTF-8,
// anything else as Windows-1252, so files of the older 8-bit format read correctly.
QString decodeText(const QByteArray& bytes);

// Windows-1252 when every character fits, otherwise UTF-8, so nothing typed is lost.
QByteArray encodeText(const QString& text);

// Text that starts with a byte order mark as UTF-8 without it: UTF-8 loses the mark, UTF-16 is
// converted. Nothing when the text has no mark.
std::optional<QByteArray> withoutByteOrderMark(const QByteArray& bytes);

// Files from other programs as UTF-8: text with a byte order mark as withoutByteOrderMark() gives
// it, other bytes as decodeText() reads them.
QByteArray utf8FromForeignText(const QByteArray& bytes);

// The content lines of an iCalendar or vCard text (byte order marks already dealt with): folded
// lines joined first, so that a fold inside a multi-byte character does no harm, then each line
// as UTF-8 when it is valid UTF-8, otherwise read as Windows-1252.
struct ContentLines
{
    // Every line ends in CRLF.
    QByteArray utf8;
    // The lines read as Windows-1252, and the file's line number of the first of them.
    int eightBitLines = 0;
    int firstEightBitLine = 0;

    // The German line for an import summary about the lines read as Windows-1252; empty when
    // there are none.
    QString note() const;
};
ContentLines unfoldedContentLines(QByteArrayView bytes);

// The note of unfoldedContentLines() for a file as it was read, as a list of none or one.
QStringList eightBitNotes(const QByteArray& bytes);
