#include "support/testdatabase.h"

#include "common/sqltext.h"
#include "core/context.h"
#include "store/querycursor.h"
#include "store/schema.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTest>

using namespace Qt::StringLiterals;

TestDirectory::TestDirectory() = default;

QString TestDirectory::path() const
{
    return m_dir.path() + u'/';
}

QString TestDirectory::filePath(const QString& name) const
{
    return path() + name;
}

std::unique_ptr<Database> createBootstrappedDatabase(const QString& path)
{
    auto db = Database::open(path);
    if (db)
        Schema::bootstrap(*db);
    return db;
}

qint64 insertTestAppointment(Database& db, const TestAppointment& a)
{
    const bool ok = db.execSql(
            u"INSERT INTO termine (date, grup, desc, enddate, msg, remsg, belong, redo, nextmsg) "
            "VALUES (%1, %2, %3, %4, %5, %6, %7, %8, 0)"_s.arg(a.start)
                    .arg(a.group)
                    .arg(sqlQuote(a.description))
                    .arg(a.end)
                    .arg(a.msg)
                    .arg(a.remsg)
                    .arg(a.belong)
                    .arg(sqlQuote(a.redo)));
    return ok ? db.lastInsertRowId() : 0;
}

QStringList queryRows(Database& db, const QString& sql)
{
    QueryCursor cursor;
    QStringList rows;
    if (!db.queryTable(sql, cursor))
        return {u"<error: "_s + db.errorText() + u'>'};
    while (cursor.nextRow()) {
        QStringList fields;
        for (int c = 1; c <= cursor.columnCount(); ++c)
            fields << cursor.text(c);
        rows << fields.join(u'|');
    }
    return rows;
}

qint64 queryNumber(Database& db, const QString& sql)
{
    QueryCursor cursor;
    if (!db.queryTable(sql, cursor) || !cursor.nextRow())
        return -1;
    return cursor.number(1);
}

QString builtImagePackPath()
{
    return qEnvironmentVariable("RUVO_TEST_PACK");
}

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    QVERIFY(QDir().mkpath(QFileInfo(path).absolutePath()));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
}

std::unique_ptr<Context> createTestContext(const TestDirectory& dir, Prompter& prompter,
                                           Clock& clock)
{
    auto context = std::make_unique<Context>(dir.path(), prompter, clock);
    context->db = createBootstrappedDatabase(dir.filePath(QStringLiteral("data.zr")));
    context->images = ImagePack::load(builtImagePackPath());
    if (!context->db || !context->images)
        return nullptr;
    return context;
}
