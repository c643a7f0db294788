#include "common/imagepackformat.h"

#include <QtEndian>

namespace {
constexpr char kMagic[] = "RUVOPAK1";
constexpr qsizetype kMagicSize = sizeof(kMagic) - 1;

void appendUint32(QByteArray& out, quint32 value)
{
    char bytes[4];
    qToLittleEndian(value, bytes);
    out.append(bytes, 4);
}
} // namespace

namespace ImagePackFormat {

QByteArray write(const QList<QByteArray>& entries)
{
    QByteArray out(kMagic, kMagicSize);
    appendUint32(out, static_cast<quint32>(entries.size()));
    for (const QByteArray& entry : entries) {
        appendUint32(out, static_cast<quint32>(entry.size()));
        out += entry;
    }
    return out;
}

std::optional<QList<QByteArray>> read(const QByteArray& data)
{
    if (data.size() < kMagicSize + 4 || !data.startsWith(QByteArrayView(kMagic, kMagicSize)))
        return std::nullopt;
    qsizetype pos = kMagicSize;
    const quint32 count = qFromLittleEndian<quint32>(data.constData() + pos);
    pos += 4;
    // Each entry needs at least its length field; a count beyond that is damage, not a pack.
    if (count > static_cast<quint64>(data.size() - pos) / 4)
        return std::nullopt;

    QList<QByteArray> entries;
    entries.reserve(count);
    for (quint32 i = 0; i < count; ++i) {
        if (data.size() - pos < 4)
            return std::nullopt;
        const quint32 length = qFromLittleEndian<quint32>(data.constData() + pos);
        pos += 4;
        if (length > static_cast<quint64>(data.size() - pos))
            return std::nullopt;
        entries.append(data.mid(pos, length));
        pos += length;
    }
    return entries;
}

} // namespace ImagePackFormat
