#include "todo/todoeditor.h"

#include "appointments/datefield.h"
#include "common/programfont.h"
#include "common/remindercodes.h"
#include "common/sqltext.h"
#include "core/context.h"
#include "store/databaseerror.h"
#include "todo/todostore.h"
#include "views/controls.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {
const QString kMask = u"%dd.%mm.%yyyy um %hh:%ii"_s;
} // namespace

TodoEditor::TodoEditor(Context& ctx, qint64 id, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
    , m_ctx(ctx)
    , m_id(id)
{
    setObjectName(u"todoEditor"_s);
    Controls::keepCaptionOnly(this);
    setWindowTitle(u"Todo-Eintrag einfügen:"_s);
    setFixedSize(400, 175);
    buildControls();
    if (m_id != 0)
        loadItem();
}

void TodoEditor::buildControls()
{
    using namespace Controls;
    label(this, u"endDateLabel"_s, u"Auto-Löschen am:"_s, {70, 27, 120, 15})
            ->setFont(programFont(3));
    m_endDate = new DateField(kMask, true, this);
    m_endDate->setObjectName(u"endDate"_s);
    m_endDate->setGeometry(190, 25, 150, 20);
    m_endDate->setRange(makeDate(1970, 1, 1), makeDate(9999, 12, 31, 23, 59, 59));
    // A clear state for "no auto-delete": today at noon, box unticked.
    m_endDate->setValue(startOfDay(m_ctx.clock.now()) + 12 * 3600);
    m_endDate->setChecked(false);

    label(this, u"descriptionLabel"_s, u"Beschreibung:"_s, {10, 72, 80, 15})
            ->setFont(programFont(3));
    m_description = textField(this, u"description"_s, {120, 70, 270, 20});
    label(this, u"repetitionLabel"_s, u"Benachrichtigung:"_s, {10, 92, 90, 15});
    const QStringList choices = ReminderCodes::repeatChoices();
    m_repetition = dropDown(this, u"repetition"_s, choices, {120, 90, 100, 80});
    m_repetition->setCurrentIndex(
            std::clamp(m_ctx.prefs.allgremsg, 0, static_cast<int>(choices.size()) - 1));

    m_save = button(this, u"saveButton"_s, u"Eintragen"_s, {10, 150, 70, 20});
    m_cancel = button(this, u"cancelButton"_s, u"Abbrechen"_s, {80, 150, 70, 20});
    m_save->setDefault(true);
    connect(m_save, &QPushButton::clicked, this, &TodoEditor::save);
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);
}

void TodoEditor::loadItem()
{
    const std::optional<TodoValues> values = TodoStore::load(*m_ctx.db, m_id);
    if (!values) {
        showDatabaseError(*m_ctx.db, m_ctx.prompter);
        return;
    }
    m_description->setText(values->description);
    m_repetition->setCurrentIndex(std::clamp(values->remsg, 0, m_repetition->count() - 1));
    if (values->enddate > 0) {
        m_endDate->setValue(values->enddate);
        m_endDate->setChecked(true);
    }
    setWindowTitle(u"ToDo-Eintrag ändern"_s);
}

void TodoEditor::save()
{
    TodoValues values;
    values.description = replaceApostrophes(m_description->text());
    if (m_endDate->isChecked()) {
        const DateValue v = m_endDate->value();
        values.enddate = v - dateParts(v).second;
    }
    values.remsg = m_repetition->currentIndex();
    // A description of blanks only would be an invisible row in the column.
    if (values.description.trimmed().isEmpty()) {
        m_ctx.prompter.warn(u"Achtung"_s, u"Eine Beschreibung muss angegeben werden!"_s);
        return;
    }
    // Like the other stores, a failed write is not reported: the reloaded list shows what holds.
    if (m_id != 0)
        TodoStore::updateTodo(*m_ctx.db, values, m_id);
    else
        TodoStore::insertTodo(*m_ctx.db, values);
    accept();
}
