#pragma once

#include <QByteArray>
#include <QString>

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
