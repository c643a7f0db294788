#include "common/imagepack.h"

#include "common/imagepackformat.h"

#include <QFile>
#include <QPainter>
#include <QPixmap>

std::optional<ImagePack> ImagePack::load(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    return fromData(file.readAll());
}

std::optional<ImagePack> ImagePack::fromData(const QByteArray& data)
{
    const std::optional<QList<QByteArray>> entries = ImagePackFormat::read(data);
    if (!entries || entries->size() < kEntryCount)
        return std::nullopt;

    ImagePack pack;
    pack.m_entries.reserve(kEntryCount);
    for (int i = 0; i < kEntryCount; ++i) {
        QImage image;
        if (!image.loadFromData(entries->at(i), "PNG") || image.isNull())
            return std::nullopt;
        pack.m_entries.append(image.convertToFormat(QImage::Format_ARGB32_Premultiplied));
    }
    return pack;
}

QIcon ImagePack::groupIcon(int groupId) const
{
    if (groupId < 1 || groupId > 20)
        return {};
    QImage swatch(16, 13, QImage::Format_ARGB32_Premultiplied);
    swatch.fill(Qt::transparent);
    QPainter painter(&swatch);
    painter.drawImage(QRect(0, 0, 16, 13), groupImage(groupId));
    painter.end();
    return QIcon(QPixmap::fromImage(swatch));
}
