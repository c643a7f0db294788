#pragma once

#include <QIcon>
#include <QImage>
#include <QList>
#include <QString>

#include <optional>

// The pictures of the user interface, read from imgs.pak in a fixed order.
class ImagePack
{
public:
    static constexpr int kEntryCount = 47;
    // Overview images are numbered 0-43 after the three leading pictures.
    static constexpr int kPastTint = 20;
    static constexpr int kPastDay = 21;
    static constexpr int kWeekPast = 22;
    static constexpr int kWeekPastColumn = 23;

    // Nothing when the file is missing, damaged, truncated or holds an undecodable picture.
    static std::optional<ImagePack> load(const QString& path);
    static std::optional<ImagePack> fromData(const QByteArray& data);

    // Entry 1-47 as listed in the pack.
    const QImage& entry(int oneBased) const { return m_entries.at(oneBased - 1); }

    const QImage& trayIcon() const { return entry(1); }
    const QImage& previewBackground() const { return entry(2); }
    const QImage& splashBackground() const { return entry(3); }
    // The one-pixel tint column of group 1-20, also its icon in lists.
    const QImage& groupImage(int groupId) const { return entry(3 + groupId); }
    // The group's colour as a list icon: its tint column widened to a swatch.
    QIcon groupIcon(int groupId) const;
    // The whole-day overlay of group 1-20.
    const QImage& wholeDayImage(int groupId) const { return entry(27 + groupId); }
    // Overview image 0-43: 0-19 group tints, 20 past tint, 21 past day, 22/23 week past marks,
    // 24-43 whole-day overlays.
    const QImage& overview(int index) const { return entry(4 + index); }

private:
    QList<QImage> m_entries;
};
