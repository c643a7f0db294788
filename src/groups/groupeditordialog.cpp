#include "groups/groupeditordialog.h"

#include "views/controls.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>

using namespace Qt::StringLiterals;

GroupEditorDialog::GroupEditorDialog(Database& db, Prompter& prompter, const GroupSlot& slot,
                                     QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
    , m_db(db)
    , m_prompter(prompter)
    , m_id(slot.id)
{
    using namespace Controls;
    setObjectName(u"groupEditorDialog"_s);
    Controls::keepCaptionOnly(this);
    setWindowTitle(u"Gruppe bearbeiten"_s);
    setModal(true);
    setFixedSize(170, 115);

    label(this, u"nameLabel"_s, u"Gruppenname:"_s, {10, 10, 140, 15});
    m_name = textField(this, u"nameField"_s, {10, 30, 150, 20});
    m_name->setText(slot.name);
    m_allDay = checkBox(this, u"allDayBox"_s, u"Ganztagstermine"_s, {10, 50, 150, 20});
    m_allDay->setChecked(slot.allDay);
    m_allDay->setToolTip(u"Für Geburtstage,Klausuren etc. (ohne anfangs- oder Endzeitpunkt)"_s);
    m_yearly = checkBox(this, u"yearlyBox"_s, u"Wiederholen sich jährlich"_s, {10, 70, 150, 20});
    m_yearly->setChecked(slot.yearly);
    m_yearly->setToolTip(
            u"Für Geburtstage,Jahrestage etc. (sind meist gleichzeitig Ganztagstermine)"_s);
    auto* applyButton = button(this, u"applyButton"_s, u"Übernehmen"_s, {5, 90, 70, 20});
    auto* cancelButton = button(this, u"cancelButton"_s, u"Abbrechen"_s, {80, 90, 60, 20});
    for (QPushButton* b : {applyButton, cancelButton})
        b->setAutoDefault(false);

    connect(applyButton, &QPushButton::clicked, this, &GroupEditorDialog::apply);
    connect(cancelButton, &QPushButton::clicked, this, &QDialog::reject);
}

void GroupEditorDialog::apply()
{
    const GroupSlot slot{m_id, m_name->text(), m_yearly->isChecked(), m_allDay->isChecked()};
    if (saveGroup(m_db, m_prompter, slot))
        accept();
}
