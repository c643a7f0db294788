#pragma once

#include <QByteArray>
#include <QString>

// Text files of the program (preferences, notes): bytes that are valid UTF-8 are read as UTF-8,
// anything else as Windows-1252, so files of the older 8-bit format read correctly.
QString decodeText(const QByteArray& bytes);

// Windows-1252 when every character fits, otherwise UTF-8, so nothing typed is lost.
QByteArray encodeText(const QString& text);
