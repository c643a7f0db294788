#pragma once

// A data folder as a long-time user has it: appointments over forty years (singles and weekly
// series), 2,000 addresses with birthdays and 200 to-do items, for the benchmarks of the
// windows' interactions and of the start-up.

#include "common/datevalue.h"
#include "common/sqltext.h"
#include "store/database.h"
#include "store/schema.h"

#include <QCoreApplication>
#include <QFile>
#include <QString>
#include <QStringList>

using namespace Qt::StringLiterals;

inline QString benchImagePack()
{
    const QString fromEnv = qEnvironmentVariable("RUVO_TEST_PACK");
    return fromEnv.isEmpty() ? QCoreApplication::applicationDirPath() + u"/../imgs.pak"_s : fromEnv;
}

// "Now" of every organiser benchmark: about three in four appointments lie in the past.
inline DateValue organiserNow()
{
    return makeDate(2026, 12, 8, 10, 0, 0);
}

// Fills the folder's data.zr (bootstrapped here) and writes a prefs.ini without the splash.
// False when anything failed.
inline bool writeOrganiser(const QString& folder, int appointments)
{
    auto db = Database::open(folder + u"/data.zr"_s);
    if (!db || !Schema::bootstrap(*db) || !Schema::ensureIndexes(*db))
        return false;
    Transaction tx(*db);
    quint32 seed = 4711;
    const auto next = [&seed] {
        seed = seed * 1103515245u + 12345u;
        return seed >> 8;
    };
    static const QStringList words{u"Besprechung"_s, u"Zahnarzt"_s,   u"Training"_s,
                                   u"Elternabend"_s, u"Geburtstag"_s, u"Kundentermin"_s,
                                   u"Konzert"_s,     u"Werkstatt"_s,  u"Übergabe"_s};
    const DateValue from = makeDate(1997, 1, 1);
    const DateValue span = makeDate(2037, 1, 1) - from;
    const auto insert = [&](DateValue start, int group, const QString& desc, qint64 belong,
                            const QString& redo) {
        return db->execSql(u"INSERT INTO termine (date, grup, desc, enddate, msg, remsg, belong, "
                           "redo, nextmsg) VALUES (%1, %2, %3, %4, %5, 0, %6, %7, 0)"_s.arg(start)
                                   .arg(group)
                                   .arg(sqlQuote(desc))
                                   .arg(start + (1 + next() % 8) * 900)
                                   .arg(next() % 3)
                                   .arg(belong)
                                   .arg(sqlQuote(redo)));
    };
    // Seven in ten appointments stand alone, the rest are weekly series of a year.
    int written = 0;
    const int singles = appointments * 7 / 10;
    for (; written < singles; ++written) {
        const DateValue start = from + DateValue(next()) * 97 % span / 900 * 900 + 1;
        const QString desc = words[int(next() % words.size())] + u' ' + QString::number(written);
        if (!insert(start, 2 + int(next() % 18), desc, 0, QString()))
            return false;
    }
    while (written < appointments) {
        const DateValue first = from + DateValue(next()) * 97 % span / 900 * 900 + 1;
        const int group = 2 + int(next() % 18);
        const QString desc = words[int(next() % words.size())] + u" (Serie)"_s;
        qint64 head = 0;
        for (int week = 0; week < 52 && written < appointments; ++week, ++written) {
            if (!insert(first + week * 7 * kSecondsPerDay, group, desc, head, u"Wöchentlich"_s))
                return false;
            if (head == 0) {
                head = db->lastInsertRowId();
                db->execSql(u"UPDATE termine SET belong=id WHERE id=%1"_s.arg(head));
            }
        }
    }
    static const QStringList first{u"Anna"_s,  u"Bernd"_s, u"Clara"_s, u"Dieter"_s, u"Eva"_s,
                                   u"Frank"_s, u"Gül"_s,   u"Hans"_s,  u"Ines"_s,   u"Jörg"_s};
    for (int i = 0; i < 2000; ++i) {
        const QString vname = first[i % first.size()];
        const QString nname = u"Muster%1"_s.arg(i);
        const int year = 1940 + int(next() % 70);
        db->execSql(u"INSERT INTO adressbuch (nname, vname, str, hausnr, plz, ort, land, email, "
                    "tel, anrede) VALUES (%1, %2, 'Hauptstraße', '%3', '10115', 'Berlin', "
                    "'Deutschland', 'post@example.org', '030 1234', %4)"_s.arg(sqlQuote(nname))
                            .arg(sqlQuote(vname))
                            .arg(i % 200)
                            .arg(i % 2));
        db->execSql(u"INSERT INTO geburtstage (date, year, desc, nextmsg) VALUES (%1, %2, %3, 0)"_s
                            .arg(makeDate(2000, 1 + i % 12, 1 + i % 28))
                            .arg(year)
                            .arg(sqlQuote(vname + u' ' + nname)));
    }
    for (int i = 0; i < 200; ++i) {
        db->execSql(u"INSERT INTO todo (enddate, desc, remsg, checked, nextmsg) VALUES (-1, "
                    "'Aufgabe %1', 0, 0, -1)"_s.arg(i));
    }
    // Reminders of the past were given long ago.
    db->execSql(u"UPDATE termine SET nextmsg=-1 WHERE msg>0 AND date<%1"_s.arg(organiserNow()));
    if (!tx.commit())
        return false;
    QFile prefs(folder + u"/prefs.ini"_s);
    return prefs.open(QIODevice::WriteOnly) && prefs.write("splash = 0\r\n") > 0 &&
           QFile::copy(benchImagePack(), folder + u"/imgs.pak"_s);
}
