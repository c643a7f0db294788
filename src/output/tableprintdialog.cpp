#include "output/tableprintdialog.h"

#include "views/controls.h"

#include <QCheckBox>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>

using namespace Qt::StringLiterals;

TablePrintDialog::TablePrintDialog(PreviewSource preview, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
    , m_source(std::move(preview))
{
    using namespace Controls;
    setObjectName(u"tablePrintDialog"_s);
    setWindowTitle(u"Termintabelle drucken"_s);
    setFixedSize(200, 250);

    m_preview = label(this, u"tablePreview"_s, QString(), {0, 0, 200, 200});
    m_colours = checkBox(this, u"groupColourBox"_s, u"Tabellenzeilen mit Gruppenfarbe füllen"_s,
                         {0, 210, 200, 15});
    auto* cancel = button(this, u"cancelButton"_s, u"Abbrechen"_s, {10, 227, 50, 20});
    auto* ok = button(this, u"okButton"_s, u"OK"_s, {70, 227, 50, 20});
    ok->setDefault(true);

    connect(m_colours, &QCheckBox::toggled, this, &TablePrintDialog::redrawPreview);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    redrawPreview();
}

bool TablePrintDialog::groupColours() const
{
    return m_colours->isChecked();
}

void TablePrintDialog::redrawPreview()
{
    m_preview->setPixmap(QPixmap::fromImage(m_source(m_colours->isChecked())));
}
