#include "common/grouppalette.h"
#include "common/imagepack.h"
#include "common/imagepackformat.h"

#include "support/testdatabase.h"

#include <QBuffer>
#include <QFile>
#include <QTest>
#include <QtEndian>

using namespace Qt::StringLiterals;

class TestImagePack : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void builtPackHasEveryPicture();
    void picturesHaveTheSizesTheOverviewsNeed_data();
    void picturesHaveTheSizesTheOverviewsNeed();
    void groupTintsFollowThePalette();
    void damagedPacksAreRefused_data();
    void damagedPacksAreRefused();
    void everyTruncationIsRefused();
    void missingFileIsRefused();

private:
    QByteArray m_bytes;
};

void TestImagePack::initTestCase()
{
    QFile file(builtImagePackPath());
    QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(builtImagePackPath()));
    m_bytes = file.readAll();
}

void TestImagePack::builtPackHasEveryPicture()
{
    const auto entries = ImagePackFormat::read(m_bytes);
    QVERIFY(entries);
    QCOMPARE(entries->size(), ImagePack::kEntryCount);
    QVERIFY(ImagePack::fromData(m_bytes).has_value());
}

void TestImagePack::picturesHaveTheSizesTheOverviewsNeed_data()
{
    QTest::addColumn<int>("entry");
    QTest::addColumn<QSize>("size");
    QTest::newRow("preview background") << 2 << QSize(200, 120);
    QTest::newRow("splash background") << 3 << QSize(800, 380);
    for (int g = 1; g <= 20; ++g)
        QTest::addRow("tint column %d", g) << 3 + g << QSize(1, 13);
    QTest::newRow("past tint") << 24 << QSize(1, 13);
    QTest::newRow("past day") << 25 << QSize(42, 13);
    QTest::newRow("week past") << 26 << QSize(312, 26);
    QTest::newRow("week past column") << 27 << QSize(1, 26);
    for (int g = 1; g <= 20; ++g)
        QTest::addRow("whole day %d", g) << 27 + g << QSize(42, 13);
}

void TestImagePack::picturesHaveTheSizesTheOverviewsNeed()
{
    QFETCH(int, entry);
    QFETCH(QSize, size);
    const auto pack = ImagePack::fromData(m_bytes);
    QVERIFY(pack);
    QCOMPARE(pack->entry(entry).size(), size);
}

void TestImagePack::groupTintsFollowThePalette()
{
    const auto pack = ImagePack::fromData(m_bytes);
    QVERIFY(pack);
    for (int g = 1; g <= 20; ++g) {
        // The middle row carries the group's colour unshaded, partly transparent.
        const QColor c = pack->groupImage(g).pixelColor(0, 6);
        QVERIFY(c.alpha() > 0 && c.alpha() < 255);
        const QColor expected(groupColor(g));
        QVERIFY2(qAbs(c.red() - expected.red()) <= 2 && qAbs(c.green() - expected.green()) <= 2 &&
                         qAbs(c.blue() - expected.blue()) <= 2,
                 qPrintable(u"group %1"_s.arg(g)));
    }
}

void TestImagePack::damagedPacksAreRefused_data()
{
    QTest::addColumn<QByteArray>("data");
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("wrong magic") << QByteArray("NOTAPAK1\x01\0\0\0\0\0\0\0", 16);
    QTest::newRow("magic only") << QByteArray("RUVOPAK1");
    QTest::newRow("huge count") << QByteArray("RUVOPAK1\xff\xff\xff\xff", 12);
    QTest::newRow("entry longer than file") << QByteArray("RUVOPAK1\x01\0\0\0\xff\xff\xff\x7f"
                                                          "abc",
                                                          15);
    QTest::newRow("too few entries") << ImagePackFormat::write({QByteArray("x")});

    // The right number of entries, but one that is no PNG.
    QList<QByteArray> entries = *ImagePackFormat::read(m_bytes);
    entries[10] = QByteArray("this is no picture");
    QTest::newRow("undecodable entry") << ImagePackFormat::write(entries);
}

void TestImagePack::damagedPacksAreRefused()
{
    QFETCH(QByteArray, data);
    QVERIFY(!ImagePack::fromData(data).has_value());
}

void TestImagePack::everyTruncationIsRefused()
{
    // Cut the pack at many points, including inside headers and inside pictures.
    for (qsizetype cut = 0; cut < m_bytes.size(); cut += 97)
        QVERIFY2(!ImagePack::fromData(m_bytes.left(cut)).has_value(),
                 qPrintable(QString::number(cut)));
    QVERIFY(!ImagePack::fromData(m_bytes.left(m_bytes.size() - 1)).has_value());
}

void TestImagePack::missingFileIsRefused()
{
    QVERIFY(!ImagePack::load(u"/nonexistent/imgs.pak"_s).has_value());
}

QTEST_MAIN(TestImagePack)
#include "tst_imagepack.moc"
