#include "addresses/addresseditor.h"

#include "appointments/datefield.h"
#include "common/prompter.h"
#include "views/controls.h"

#include <QComboBox>
#include <QCompleter>
#include <QLineEdit>
#include <QPushButton>

using namespace Qt::StringLiterals;

namespace {

const std::array<QString, kAddressFieldCount> kLabels{
        u"Vorname:"_s,  u"2. Vorname:"_s, u"Nachname:"_s, u"Spitzname:"_s,    u"Straße:"_s,
        u"Hausnr:"_s,   u"PLZ:"_s,        u"Ort:"_s,      u"Land:"_s,         u"E-Mail:"_s,
        u"Tel:"_s,      u"Mobil:"_s,      u"Fax:"_s,      u"Geburtsdatum:"_s, u"ICQ-Nummer:"_s,
        u"MSN-Name:"_s, u"AIM-Name:"_s,   u"Website:"_s,  u"Notiz:"_s};

// The order in which the lists of earlier values are read.
constexpr std::array<AddressField, kAddressFieldCount - 1> kHistoryOrder{
        AddressField::Vname,   AddressField::Zvname, AddressField::Nname, AddressField::Nick,
        AddressField::Str,     AddressField::Plz,    AddressField::Ort,   AddressField::Hausnr,
        AddressField::Tel,     AddressField::Fax,    AddressField::Mobil, AddressField::Email,
        AddressField::Land,    AddressField::Msn,    AddressField::Icq,   AddressField::Aim,
        AddressField::Website, AddressField::Notiz};

constexpr int rowTop(int row)
{
    return 10 + 25 * row;
}

} // namespace

AddressEditor::AddressEditor(Database& db, Prompter& prompter, qint64 id, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
    , m_db(db)
    , m_prompter(prompter)
    , m_id(id)
{
    setObjectName(u"addressEditor"_s);
    Controls::keepCaptionOnly(this);
    setWindowTitle(id == 0 ? u"Adresse einfügen"_s : u"Adresse Ändern"_s);
    setFixedSize(300, 535);
    buildControls();
    fillHistories();
    if (m_id != 0) {
        m_save->setText(u"Ändern"_s);
        load();
    }
}

void AddressEditor::buildControls()
{
    using namespace Controls;
    for (int row = 0; row < kAddressFieldCount; ++row) {
        const auto field = static_cast<AddressField>(row);
        const QString name = addressColumnName(field);
        label(this, name + u"Label"_s, kLabels[std::size_t(row)], {5, rowTop(row), 80, 15});
        if (field == AddressField::Gebdat) {
            m_birthday = new DateField(u"%dd.%mm.%yyyy"_s, true, this);
            m_birthday->setObjectName(u"gebdatInput"_s);
            m_birthday->setGeometry(85, rowTop(row), 120, 20);
            // Birthdays reach far back; the day keeps second 1 like every birthday key.
            m_birthday->setRange(makeDate(100, 1, 1, 0, 0, 1), makeDate(9999, 12, 31, 0, 0, 1));
            m_birthday->setValue(makeDate(1970, 1, 1, 0, 0, 1));
            m_birthday->setChecked(true);
            continue;
        }
        QComboBox* box = dropDown(this, name + u"Input"_s, {}, {85, rowTop(row), 200, 150});
        box->setEditable(true);
        box->setInsertPolicy(QComboBox::NoInsert);
        // Inline completion would put unseen text into the field; a list below leaves it alone.
        box->completer()->setCompletionMode(QCompleter::PopupCompletion);
        m_inputs[std::size_t(row)] = box;
    }
    label(this, u"anredeLabel"_s, u"Anrede:"_s, {5, rowTop(19), 80, 15});
    m_anrede = dropDown(this, u"anredeInput"_s, {u"Frau"_s, u"Herr"_s}, {85, rowTop(19), 200, 150});
    m_anrede->setCurrentIndex(-1);

    m_save = button(this, u"saveButton"_s, u"Hinzufügen"_s, {10, 510, 70, 20});
    m_cancel = button(this, u"cancelButton"_s, u"Abbrechen"_s, {80, 510, 70, 20});
    // Enter in a field must not save by accident.
    for (QPushButton* b : {m_save, m_cancel})
        b->setAutoDefault(false);
    connect(m_save, &QPushButton::clicked, this, &AddressEditor::save);
    connect(m_cancel, &QPushButton::clicked, this, &AddressEditor::reject);
}

void AddressEditor::fillHistories()
{
    for (AddressField field : kHistoryOrder) {
        QComboBox* box = input(field);
        box->addItems(addressHistory(m_db, m_prompter, addressColumnName(field)));
        // The list offers earlier values; the field itself starts empty.
        box->setCurrentIndex(-1);
        box->clearEditText();
    }
}

void AddressEditor::load()
{
    const std::optional<StoredAddress> stored = loadAddress(m_db, m_prompter, m_id);
    if (!stored)
        return;
    for (int row = 0; row < kAddressFieldCount; ++row) {
        if (QComboBox* box = m_inputs[std::size_t(row)])
            box->setEditText(stored->values.texts[std::size_t(row)]);
    }
    m_anrede->setCurrentIndex(stored->values.anrede);
    if (stored->shownDate != kInvalidDate)
        m_birthday->setValue(stored->shownDate);
    m_birthday->setChecked(stored->values.birthday);
}

AddressValues AddressEditor::enteredValues() const
{
    AddressValues values;
    for (int row = 0; row < kAddressFieldCount; ++row) {
        if (const QComboBox* box = m_inputs[std::size_t(row)])
            values.texts[std::size_t(row)] = box->currentText();
    }
    values.birthday = m_birthday->isChecked();
    values[AddressField::Gebdat] = values.birthday ? m_birthday->text() : QString();
    values.anrede = m_anrede->currentIndex();
    return values;
}

void AddressEditor::save()
{
    const AddressValues values = withoutApostrophes(enteredValues());
    if (const QString error = addressInputError(values); !error.isEmpty()) {
        m_prompter.warn(u"Fehler"_s, error);
        return;
    }
    const bool saved = m_id == 0 ? insertAddress(m_db, m_prompter, values)
                                 : updateAddress(m_db, m_prompter, values, m_id);
    if (saved)
        accept();
}
