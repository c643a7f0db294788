#include "common/imagepack.h"
#include "common/preferences.h"
#include "groups/displayfilterdialog.h"
#include "store/database.h"

#include "support/scriptedprompter.h"
#include "support/testdatabase.h"

#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

using namespace Qt::StringLiterals;

namespace {

using Slots = std::array<int, 20>;

Slots slotsOf(std::initializer_list<int> ids)
{
    Slots result;
    result.fill(-1);
    std::copy(ids.begin(), ids.end(), result.begin());
    return result;
}

QList<int> toList(const Slots& s)
{
    return QList<int>(s.begin(), s.end());
}

} // namespace

class TestDisplayFilter : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void listsNamedGroupsTickedByAnySlot_data();
    void listsNamedGroupsTickedByAnySlot();
    void applyWithNothingTickedEmptiesEverySlot();
    void applyFillsSlotsInListOrder();
    void selectAllTicksEveryRow();
    void cancelAndCloseKeepTheSlots_data();
    void cancelAndCloseKeepTheSlots();
    void birthdayRowHasNoImage();
    void listTakesTheBarColour();
    void failedQueryLeavesAnEmptyList();

private:
    std::unique_ptr<DisplayFilterDialog> makeDialog();
    QTreeWidget* list(DisplayFilterDialog& dialog) const;
    void click(DisplayFilterDialog& dialog, const QString& name) const;
    QStringList tickedNames(DisplayFilterDialog& dialog) const;

    std::optional<ImagePack> m_images;
    std::unique_ptr<TestDirectory> m_dir;
    std::unique_ptr<Database> m_db;
    ScriptedPrompter m_prompter;
    Preferences m_prefs;
};

void TestDisplayFilter::initTestCase()
{
    m_images = ImagePack::load(builtImagePackPath());
    QVERIFY(m_images);
}

void TestDisplayFilter::init()
{
    m_dir = std::make_unique<TestDirectory>();
    m_db = createBootstrappedDatabase(m_dir->filePath(u"data.zr"_s));
    QVERIFY(m_db);
    m_prefs = Preferences();
    m_prompter.clear();
}

void TestDisplayFilter::cleanup()
{
    m_db.reset();
    m_dir.reset();
}

std::unique_ptr<DisplayFilterDialog> TestDisplayFilter::makeDialog()
{
    return std::make_unique<DisplayFilterDialog>(m_prefs, *m_db, m_prompter, *m_images);
}

QTreeWidget* TestDisplayFilter::list(DisplayFilterDialog& dialog) const
{
    return dialog.findChild<QTreeWidget*>(u"groupList"_s);
}

void TestDisplayFilter::click(DisplayFilterDialog& dialog, const QString& name) const
{
    auto* button = dialog.findChild<QPushButton*>(name);
    QVERIFY2(button, qPrintable(name));
    QTest::mouseClick(button, Qt::LeftButton);
}

QStringList TestDisplayFilter::tickedNames(DisplayFilterDialog& dialog) const
{
    QStringList names;
    QTreeWidget* groups = list(dialog);
    for (int i = 0; i < groups->topLevelItemCount(); ++i) {
        if (groups->topLevelItem(i)->checkState(0) == Qt::Checked)
            names << groups->topLevelItem(i)->text(1);
    }
    return names;
}

void TestDisplayFilter::listsNamedGroupsTickedByAnySlot_data()
{
    QTest::addColumn<QList<int>>("slotIds");
    QTest::addColumn<QStringList>("ticked");
    QTest::newRow("every group") << toList(slotsOf({1,  2,  3,  4,  5,  6,  7,  8,  9,  10,
                                                    11, 12, 13, 14, 15, 16, 17, 18, 19, 20}))
                                 << QStringList{u"Feiertag"_s,     u"Urlaub"_s,
                                                u"Schulaufgabe"_s, u"Geschäftlich"_s,
                                                u"Termin Allg."_s, u"Arzt"_s,
                                                u"Geburtstag"_s};
    // Ids anywhere in the slots count, not only at the row's own position.
    QTest::newRow("two ids out of place")
            << toList(slotsOf({20, -1, 3})) << QStringList{u"Urlaub"_s, u"Geburtstag"_s};
    QTest::newRow("nothing") << toList(slotsOf({})) << QStringList();
}

void TestDisplayFilter::listsNamedGroupsTickedByAnySlot()
{
    QFETCH(QList<int>, slotIds);
    QFETCH(QStringList, ticked);
    std::copy(slotIds.begin(), slotIds.end(), m_prefs.showedterms.begin());
    auto dialog = makeDialog();
    QCOMPARE(dialog->windowTitle(), u"Einstellungen für Anzeige"_s);
    QCOMPARE(list(*dialog)->topLevelItemCount(), 7);
    QCOMPARE(tickedNames(*dialog), ticked);
}

void TestDisplayFilter::applyWithNothingTickedEmptiesEverySlot()
{
    auto dialog = makeDialog();
    QTreeWidget* groups = list(*dialog);
    for (int i = 0; i < groups->topLevelItemCount(); ++i)
        groups->topLevelItem(i)->setCheckState(0, Qt::Unchecked);
    click(*dialog, u"applyButton"_s);
    QCOMPARE(dialog->result(), int(QDialog::Accepted));
    QCOMPARE(toList(m_prefs.showedterms), toList(slotsOf({})));
}

void TestDisplayFilter::applyFillsSlotsInListOrder()
{
    QVERIFY(m_db->execSql(u"UPDATE grups SET grupname='Sport' WHERE id=10"_s));
    auto dialog = makeDialog();
    QCOMPARE(list(*dialog)->topLevelItemCount(), 8);
    // Untick Urlaub: later groups move up one slot.
    list(*dialog)->topLevelItem(1)->setCheckState(0, Qt::Unchecked);
    click(*dialog, u"applyButton"_s);
    QCOMPARE(toList(m_prefs.showedterms), toList(slotsOf({2, -1, 4, 5, 6, 7, 10, 20})));

    // With every one of the eight ticked, slots 8 to 19 are empty.
    auto again = makeDialog();
    click(*again, u"selectAllButton"_s);
    click(*again, u"applyButton"_s);
    QCOMPARE(toList(m_prefs.showedterms), toList(slotsOf({2, 3, 4, 5, 6, 7, 10, 20})));
}

void TestDisplayFilter::selectAllTicksEveryRow()
{
    m_prefs.showedterms.fill(-1);
    auto dialog = makeDialog();
    QCOMPARE(tickedNames(*dialog), QStringList());
    click(*dialog, u"selectAllButton"_s);
    QCOMPARE(tickedNames(*dialog).size(), 7);
    QCOMPARE(dialog->result(), int(QDialog::Rejected)); // still open, nothing decided
    QCOMPARE(toList(m_prefs.showedterms), toList(slotsOf({})));
    click(*dialog, u"applyButton"_s);
    QCOMPARE(toList(m_prefs.showedterms), toList(slotsOf({2, 3, 4, 5, 6, 7, 20})));
}

void TestDisplayFilter::cancelAndCloseKeepTheSlots_data()
{
    QTest::addColumn<bool>("closeBox");
    QTest::newRow("Abbrechen") << false;
    QTest::newRow("close request") << true;
}

void TestDisplayFilter::cancelAndCloseKeepTheSlots()
{
    QFETCH(bool, closeBox);
    m_prefs.showedterms = slotsOf({3, 20});
    const Slots before = m_prefs.showedterms;
    auto dialog = makeDialog();
    dialog->show();
    click(*dialog, u"selectAllButton"_s);
    list(*dialog)->topLevelItem(6)->setCheckState(0, Qt::Unchecked);
    if (closeBox)
        QVERIFY(dialog->close());
    else
        click(*dialog, u"cancelButton"_s);
    QCOMPARE(dialog->result(), int(QDialog::Rejected));
    QVERIFY(dialog->isHidden());
    QCOMPARE(toList(m_prefs.showedterms), toList(before));
}

void TestDisplayFilter::birthdayRowHasNoImage()
{
    auto dialog = makeDialog();
    QTreeWidget* groups = list(*dialog);
    for (int i = 0; i < groups->topLevelItemCount(); ++i) {
        const QTreeWidgetItem* item = groups->topLevelItem(i);
        QCOMPARE(item->icon(0).isNull(), item->text(1) == u"Geburtstag"_s);
    }
    QCOMPARE(groups->topLevelItem(6)->data(0, Qt::UserRole).toInt(), 20);
}

void TestDisplayFilter::listTakesTheBarColour()
{
    m_prefs.r = 1.0f;
    m_prefs.g = 0.5f;
    m_prefs.b = 0.1f;
    auto dialog = makeDialog();
    // 0.5 * 255 = 127.5 and 0.1 * 255 = 25.5, both rounded up.
    QCOMPARE(list(*dialog)->palette().color(QPalette::Base), QColor(255, 128, 26));
}

void TestDisplayFilter::failedQueryLeavesAnEmptyList()
{
    QVERIFY(m_db->execSql(u"DROP TABLE grups"_s));
    auto dialog = makeDialog();
    QCOMPARE(m_prompter.calls().size(), 1);
    QCOMPARE(m_prompter.calls().first().title, u"Datenbankfehler"_s);
    QCOMPARE(list(*dialog)->topLevelItemCount(), 0);
    click(*dialog, u"applyButton"_s);
    QCOMPARE(toList(m_prefs.showedterms), toList(slotsOf({})));
}

QTEST_MAIN(TestDisplayFilter)
#include "tst_displayfilter.moc"
