#include "appointments/datefield.h"
#include "core/context.h"
#include "todo/todocontroller.h"
#include "todo/todoeditor.h"
#include "todo/todolist.h"
#include "todo/todopanel.h"
#include "todo/todostore.h"

#include "support/scriptedprompter.h"
#include "support/testdatabase.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

using namespace Qt::StringLiterals;

namespace {

const QString kEmptyDescription = u"Achtung / Eine Beschreibung muss angegeben werden!"_s;

DateValue at(int y, int m, int d, int h, int i, int s = 0)
{
    return makeDate(y, m, d, h, i, s);
}

// "text|ticked|colour" of every row of the column.
QStringList listRows(const QTreeWidget& list)
{
    QStringList out;
    for (int i = 0; i < list.topLevelItemCount(); ++i) {
        const QTreeWidgetItem* item = list.topLevelItem(i);
        out << item->text(1) + (item->checkState(0) == Qt::Checked ? u"|x|"_s : u"|-|"_s) +
                        item->background(1).color().name();
    }
    return out;
}

} // namespace

class TestTodo : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void listOrderTicksAndColours();
    void editorStores_data();
    void editorStores();
    void emptyDescriptionIsRefused_data();
    void emptyDescriptionIsRefused();
    void newItemEditorDefaults();
    void editingKeepsTickAndRestartsReminders();
    void syncRewritesStatesToMatchBoxes();
    void syncWritesOnlyChangedRows();
    void tickingTwoAndDeletingRemovesBoth();
    void tickInColumnIsStoredAtOnce();

private:
    qint64 add(const QString& desc, DateValue enddate, int checked = 0, int remsg = 0);
    QTreeWidget& list() { return *m_panel->list(); }

    std::unique_ptr<TestDirectory> m_dir;
    ScriptedPrompter m_prompter;
    FixedClock m_clock{at(2007, 3, 1, 8, 30, 15)};
    std::unique_ptr<Context> m_ctx;
    std::unique_ptr<TodoPanel> m_panel;
};

void TestTodo::init()
{
    m_dir = std::make_unique<TestDirectory>();
    m_prompter.clear();
    m_ctx = std::make_unique<Context>(m_dir->path(), m_prompter, m_clock);
    m_ctx->db = createBootstrappedDatabase(m_dir->filePath(u"data.zr"_s));
    QVERIFY(m_ctx->db);
    m_panel = std::make_unique<TodoPanel>();
}

void TestTodo::cleanup()
{
    m_panel.reset();
    m_ctx.reset();
    m_dir.reset();
}

qint64 TestTodo::add(const QString& desc, DateValue enddate, int checked, int remsg)
{
    TodoStore::insertTodo(*m_ctx->db, {enddate, desc, remsg});
    const qint64 id = m_ctx->db->lastInsertRowId();
    m_ctx->db->execSql(u"UPDATE todo SET checked=%1 WHERE id=%2"_s.arg(checked).arg(id));
    return id;
}

void TestTodo::listOrderTicksAndColours()
{
    add(u"Steuer"_s, at(2007, 4, 30, 12, 0));
    add(u"Reifen"_s, at(2007, 3, 20, 9, 0), 1);
    add(u"Brot"_s, -1);
    TodoList::reload(list(), *m_ctx->db, m_prompter);
    // Items without an auto-delete moment come first; ticked rows are green, open ones orange.
    QCOMPARE(listRows(list()),
             (QStringList{u"Brot|-|#ff8800"_s, u"Reifen|x|#00cc00"_s, u"Steuer|-|#ff8800"_s}));
    QVERIFY(m_prompter.calls().isEmpty());
}

void TestTodo::editorStores_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("dated");
    QTest::addColumn<int>("repetition");
    QTest::addColumn<QString>("stored");

    // 10 March 2007 18:45:00 is 1173552300 seconds after 1970-01-01.
    QTest::newRow("apostrophe") << u"Peter's Brief"_s << false << 0 << u"Peter`s Brief|-1|0|0|0"_s;
    QTest::newRow("dated, seconds dropped")
            << u"Miete"_s << true << 3 << u"Miete|1173552300|3|0|0"_s;
    QTest::newRow("umlauts and percent")
            << u"Grüße 100% _x_"_s << false << 1 << u"Grüße 100% _x_|-1|1|0|0"_s;
}

void TestTodo::editorStores()
{
    QFETCH(QString, typed);
    QFETCH(bool, dated);
    QFETCH(int, repetition);
    QFETCH(QString, stored);

    TodoEditor editor(*m_ctx, 0);
    editor.description()->setText(typed);
    if (dated) {
        editor.endDate()->setValue(at(2007, 3, 10, 18, 45, 33));
        editor.endDate()->setChecked(true);
    }
    editor.repetition()->setCurrentIndex(repetition);
    editor.saveButton()->click();
    QCOMPARE(editor.result(), int(QDialog::Accepted));
    QCOMPARE(queryRows(*m_ctx->db, u"SELECT desc, enddate, remsg, checked, nextmsg FROM todo"_s),
             QStringList{stored});
}

void TestTodo::emptyDescriptionIsRefused_data()
{
    QTest::addColumn<QString>("typed");
    QTest::newRow("empty") << QString();
    QTest::newRow("blanks") << u"   "_s;
}

void TestTodo::emptyDescriptionIsRefused()
{
    QFETCH(QString, typed);
    TodoEditor editor(*m_ctx, 0);
    editor.description()->setText(typed);
    editor.saveButton()->click();
    QCOMPARE(m_prompter.transcript(), QStringList{kEmptyDescription});
    QCOMPARE(editor.result(), int(QDialog::Rejected));
    QCOMPARE(queryNumber(*m_ctx->db, u"SELECT COUNT(*) FROM todo"_s), 0);
}

void TestTodo::newItemEditorDefaults()
{
    m_ctx->prefs.allgremsg = 3;
    TodoEditor editor(*m_ctx, 0);
    QCOMPARE(editor.windowTitle(), u"Todo-Eintrag einfügen:"_s);
    QCOMPARE(editor.size(), QSize(400, 175));
    QCOMPARE(editor.repetition()->currentText(), u"täglich"_s);
    QVERIFY(!editor.endDate()->isChecked());
    QCOMPARE(editor.endDate()->text(), u"01.03.2007 um 12:00"_s);
}

void TestTodo::editingKeepsTickAndRestartsReminders()
{
    const qint64 id = add(u"Alt"_s, at(2007, 5, 1, 10, 0), 1, 2);
    m_ctx->db->execSql(u"UPDATE todo SET nextmsg=-1"_s);
    TodoEditor editor(*m_ctx, id);
    QCOMPARE(editor.windowTitle(), u"ToDo-Eintrag ändern"_s);
    QCOMPARE(editor.description()->text(), u"Alt"_s);
    QCOMPARE(editor.repetition()->currentIndex(), 2);
    QVERIFY(editor.endDate()->isChecked());
    QCOMPARE(editor.endDate()->text(), u"01.05.2007 um 10:00"_s);

    editor.description()->setText(u"Neu"_s);
    editor.endDate()->setChecked(false);
    editor.saveButton()->click();
    QCOMPARE(queryRows(*m_ctx->db, u"SELECT desc, enddate, remsg, checked, nextmsg FROM todo"_s),
             QStringList{u"Neu|-1|2|1|0"_s});
}

void TestTodo::syncRewritesStatesToMatchBoxes()
{
    add(u"A"_s, -1);
    add(u"B"_s, -1, 1);
    add(u"C"_s, -1);
    TodoList::reload(list(), *m_ctx->db, m_prompter);
    // The database changed behind the list's back; the boxes are what the user sees.
    m_ctx->db->execSql(u"UPDATE todo SET checked=1 WHERE desc='A'"_s);
    m_ctx->db->execSql(u"UPDATE todo SET checked=7 WHERE desc='C'"_s);
    list().topLevelItem(1)->setCheckState(0, Qt::Unchecked);
    list().topLevelItem(0)->setSelected(true);
    TodoList::syncTickStates(list(), *m_ctx->db);
    QCOMPARE(queryRows(*m_ctx->db, u"SELECT desc, checked FROM todo ORDER BY id"_s),
             (QStringList{u"A|0"_s, u"B|0"_s, u"C|0"_s}));
    QVERIFY(list().selectedItems().isEmpty());
    QCOMPARE(listRows(list()).at(1), u"B|-|#ff8800"_s);
}

void TestTodo::syncWritesOnlyChangedRows()
{
    for (int i = 0; i < 6; ++i)
        add(u"T%1"_s.arg(i), -1);
    TodoList::reload(list(), *m_ctx->db, m_prompter);
    QVERIFY(m_ctx->db->execSql(
            u"CREATE TABLE written (id INTEGER); CREATE TRIGGER log AFTER UPDATE ON todo "
            "BEGIN INSERT INTO written VALUES (new.id); END;"_s));
    list().topLevelItem(2)->setCheckState(0, Qt::Checked);
    list().topLevelItem(4)->setCheckState(0, Qt::Checked);
    TodoList::syncTickStates(list(), *m_ctx->db);
    QCOMPARE(queryRows(*m_ctx->db, u"SELECT id FROM written ORDER BY id"_s),
             (QStringList{u"3"_s, u"5"_s}));
}

void TestTodo::tickingTwoAndDeletingRemovesBoth()
{
    add(u"A"_s, -1);
    add(u"B"_s, at(2007, 3, 2, 9, 0));
    add(u"C"_s, at(2007, 3, 3, 9, 0));
    TodoList::reload(list(), *m_ctx->db, m_prompter);
    list().topLevelItem(0)->setCheckState(0, Qt::Checked);
    list().topLevelItem(2)->setCheckState(0, Qt::Checked);
    TodoList::deleteTicked(list(), *m_ctx->db, m_prompter);
    QCOMPARE(queryRows(*m_ctx->db, u"SELECT desc FROM todo"_s), QStringList{u"B"_s});
    QCOMPARE(listRows(list()), QStringList{u"B|-|#ff8800"_s});
}

void TestTodo::tickInColumnIsStoredAtOnce()
{
    add(u"A"_s, -1);
    add(u"B"_s, -1);
    TodoController controller(*m_ctx, *m_panel);
    controller.reload();
    list().topLevelItem(1)->setCheckState(0, Qt::Checked);
    QCOMPARE(queryRows(*m_ctx->db, u"SELECT desc, checked FROM todo ORDER BY id"_s),
             (QStringList{u"A|0"_s, u"B|1"_s}));
    QCOMPARE(listRows(list()).at(1), u"B|x|#00cc00"_s);
    m_panel->doneButton()->click();
    QCOMPARE(queryRows(*m_ctx->db, u"SELECT desc FROM todo"_s), QStringList{u"A"_s});
}

QTEST_MAIN(TestTodo)
#include "tst_todo.moc"
