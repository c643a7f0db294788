#pragma once

#include <QByteArray>
#include <QList>

#include <optional>

// The image pack file: the magic "RUVOPAK1", a little-endian uint32 entry count, then per entry a
// little-endian uint32 length followed by that many bytes of PNG data.
namespace ImagePackFormat {

QByteArray write(const QList<QByteArray>& entries);

// The entries in file order, or nothing when the data is not a complete, well-formed pack.
std::optional<QList<QByteArray>> read(const QByteArray& data);

} // namespace ImagePackFormat
