#include "common/preferences.h"

#include "common/textcodec.h"

#include <QFile>
#include <QHash>
#include <QSaveFile>

#include <cmath>
#include <optional>

using namespace Qt::StringLiterals;

Preferences::Preferences()
    : addressColumnTitles(defaultAddressColumnTitles())
    , appointmentColumnTitles(defaultAppointmentColumnTitles())
{
    resetDisplaySlots();
    addressColumnWidths.fill(80);
    appointmentColumnWidths.fill(90);
}

void Preferences::resetDisplaySlots()
{
    for (int i = 0; i < kDisplaySlotCount; ++i)
        showedterms[static_cast<std::size_t>(i)] = i + 1;
}

std::array<QString, Preferences::kAddressColumnCount> Preferences::defaultAddressColumnTitles()
{
    return {u"Nachname"_s, u"Vorname"_s,    u"Spitzname"_s, u"2. Vorname"_s, u"Straße/HausNr"_s,
            u"PLZ/Ort"_s,  u"Land"_s,       u"Email"_s,     u"Tel"_s,        u"Mobil"_s,
            u"Fax"_s,      u"Geb. Datum"_s, u"ICQ"_s,       u"MSN"_s,        u"AIM"_s,
            u"Website"_s,  u"Notiz"_s};
}

std::array<QString, Preferences::kAppointmentColumnCount>
Preferences::defaultAppointmentColumnTitles()
{
    return {u"Nr"_s,   u"Gruppe"_s,       u"Beschreibung"_s,    u"Anfang"_s,
            u"Ende"_s, u"Wiederholung"_s, u"Benachrichtigung"_s};
}

namespace {

class Reader
{
public:
    explicit Reader(const QString& text)
    {
        const QStringList lines = text.split(u'\n');
        for (QString line : lines) {
            line.remove(u'\r');
            const qsizetype eq = line.indexOf(u'=');
            if (eq <= 0)
                continue;
            const QString key = line.left(eq).trimmed().toLower();
            if (!m_values.contains(key))
                m_values.insert(key, trimBlanks(line.mid(eq + 1)));
        }
    }

    void readInt(const QString& key, int& target, int low, int high) const
    {
        const auto it = m_values.constFind(key.toLower());
        if (it == m_values.cend())
            return;
        bool ok = false;
        const qlonglong value = it->toLongLong(&ok);
        if (ok && value >= low && value <= high)
            target = static_cast<int>(value);
    }

    void readFloat(const QString& key, float& target, float low, float high) const
    {
        const auto it = m_values.constFind(key.toLower());
        if (it == m_values.cend())
            return;
        bool ok = false;
        const double value = it->toDouble(&ok);
        if (ok && std::isfinite(value) && value >= low - 1e-6 && value <= high + 1e-6)
            target = static_cast<float>(value);
    }

    void readText(const QString& key, QString& target) const
    {
        const auto it = m_values.constFind(key.toLower());
        if (it != m_values.cend() && !it->isEmpty())
            target = *it;
    }

private:
    static QString trimBlanks(QString value)
    {
        qsizetype start = 0;
        while (start < value.size() && (value[start] == u' ' || value[start] == u'\t'))
            ++start;
        qsizetype end = value.size();
        while (end > start && (value[end - 1] == u' ' || value[end - 1] == u'\t'))
            --end;
        return value.mid(start, end - start);
    }

    QHash<QString, QString> m_values;
};

constexpr int kMaxColumnWidth = 4000;

} // namespace

Preferences Preferences::parse(const QByteArray& bytes)
{
    Preferences p;
    const Reader in(decodeText(bytes));
    in.readInt(u"curryear"_s, p.curryear, 1, 9999);
    for (int i = 0; i < kDisplaySlotCount; ++i)
        in.readInt(u"showedterms"_s + QString::number(i), p.showedterms[std::size_t(i)], -1, 20);
    in.readInt(u"allgmsgtime"_s, p.allgmsgtime, 0, 4);
    in.readInt(u"allgremsg"_s, p.allgremsg, 0, 3);
    in.readInt(u"gebmsgtime"_s, p.gebmsgtime, 0, 4);
    in.readInt(u"gebremsg"_s, p.gebremsg, 0, 3);
    in.readInt(u"legende"_s, p.legende, 0, 1);
    in.readFloat(u"r"_s, p.r, 0.1f, 1.0f);
    in.readFloat(u"g"_s, p.g, 0.1f, 1.0f);
    in.readFloat(u"b"_s, p.b, 0.1f, 1.0f);
    in.readInt(u"sortaddress"_s, p.sortaddress, 0, 7);
    in.readInt(u"notizbackcolor"_s, p.notizbackcolor, 0, 0xFFFFFF);
    in.readInt(u"notizfrontcolor"_s, p.notizfrontcolor, 0, 0xFFFFFF);
    in.readInt(u"asciiimage"_s, p.asciiimage, 0, 99);
    in.readInt(u"update"_s, p.update, 0, 1);
    in.readInt(u"autostart"_s, p.autostart, 0, 1);
    in.readInt(u"splash"_s, p.splash, 0, 1);
    in.readInt(u"sortaddressdir"_s, p.sortaddressdir, 0, 1);
    for (int i = 0; i < kAddressColumnCount; ++i) {
        const auto n = QString::number(i);
        in.readText(u"listiconheadname"_s + n, p.addressColumnTitles[std::size_t(i)]);
        in.readInt(u"listiconheadwidth"_s + n, p.addressColumnWidths[std::size_t(i)], 0,
                   kMaxColumnWidth);
    }
    in.readInt(u"sortterms"_s, p.sortterms, 0, 3);
    in.readInt(u"sorttermsdir"_s, p.sorttermsdir, 0, 1);
    for (int i = 0; i < kAppointmentColumnCount; ++i) {
        const auto n = QString::number(i);
        in.readText(u"listicontermsheadname"_s + n, p.appointmentColumnTitles[std::size_t(i)]);
        in.readInt(u"listicontermsheadwidth"_s + n, p.appointmentColumnWidths[std::size_t(i)], 0,
                   kMaxColumnWidth);
    }
    return p;
}

Preferences Preferences::read(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return Preferences();
    return parse(file.readAll());
}

QByteArray Preferences::serialize() const
{
    QString out;
    auto line = [&out](const QString& key, const QString& value) {
        out += key + u" = "_s + value + u"\r\n"_s;
    };
    auto number = [&line](const QString& key, int value) { line(key, QString::number(value)); };
    auto real = [&line](const QString& key, float value) {
        line(key, QString::number(double(value), 'f', 6));
    };
    // The format has no quoting: a title keeps to one line.
    auto title = [](QString text) { return text.replace(u'\r', u' ').replace(u'\n', u' '); };
    // A collapsed column would be impossible to find again after a restart.
    auto width = [](int w) { return w == 0 ? 4 : w; };

    number(u"curryear"_s, curryear);
    for (int i = 0; i < kDisplaySlotCount; ++i)
        number(u"showedterms"_s + QString::number(i), showedterms[std::size_t(i)]);
    number(u"allgmsgtime"_s, allgmsgtime);
    number(u"allgremsg"_s, allgremsg);
    number(u"gebmsgtime"_s, gebmsgtime);
    number(u"gebremsg"_s, gebremsg);
    number(u"legende"_s, legende);
    real(u"r"_s, r);
    real(u"g"_s, g);
    real(u"b"_s, b);
    number(u"sortaddress"_s, sortaddress);
    number(u"notizbackcolor"_s, notizbackcolor);
    number(u"notizfrontcolor"_s, notizfrontcolor);
    number(u"asciiimage"_s, asciiimage);
    number(u"update"_s, update);
    number(u"autostart"_s, autostart);
    number(u"splash"_s, splash);
    number(u"sortaddressdir"_s, sortaddressdir);
    for (int i = 0; i < kAddressColumnCount; ++i) {
        const auto n = QString::number(i);
        line(u"listiconheadname"_s + n, title(addressColumnTitles[std::size_t(i)]));
        number(u"listiconheadwidth"_s + n, width(addressColumnWidths[std::size_t(i)]));
    }
    number(u"sortterms"_s, sortterms);
    number(u"sorttermsdir"_s, sorttermsdir);
    for (int i = 0; i < kAppointmentColumnCount; ++i) {
        const auto n = QString::number(i);
        line(u"listicontermsheadname"_s + n, title(appointmentColumnTitles[std::size_t(i)]));
        number(u"listicontermsheadwidth"_s + n, width(appointmentColumnWidths[std::size_t(i)]));
    }
    return encodeText(out);
}

bool Preferences::write(const QString& path) const
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write(serialize());
    return file.commit();
}
