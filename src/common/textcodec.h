#pragma once

#include <QByteArray>
#include <QString>

// Text files of the program (preferences, notes): bytes that are valid UTF-8 are read as UTF-8,
// anything else as Windows-1252, so files of the older 8-bit format read correctly.
QString decodeText(const QByteArray& bytes);

// Windows-1252 when every character fits, otherwise UTF-8, so nothing typed is lost.
QByteArray encodeText(const QString& text);

// Files from other programs as UTF-8: a UTF-8 byte order mark is dropped, UTF-16 with a byte order
// mark is converted, other bytes are read as decodeText() reads them.
QByteArray utf8FromForeignText(const QByteArray& bytes);
