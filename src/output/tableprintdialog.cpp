#include "output/tableprintdialog.h"

#include "views/controls.h"

#include <QCheckBox>
#include <QFontMetrics>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

// Pixels a push button needs beside its text.
constexpr int kButtonFrame = 8;

// The dialog's sizes were made for a narrower system font. The check box spans the whole width,
// so its text is set a little smaller when it does not fit; a button grows to the right instead.
void fitCheckBox(QCheckBox* box)
{
    const int indicator =
            box->sizeHint().width() - box->fontMetrics().horizontalAdvance(box->text());
    QFont font = box->font();
    if (font.pixelSize() <= 0)
        font.setPixelSize(QFontMetrics(font).height());
    while (font.pixelSize() > 6 &&
           QFontMetrics(font).horizontalAdvance(box->text()) + indicator > box->width())
        font.setPixelSize(font.pixelSize() - 1);
    box->setFont(font);
}

int widthForText(const QPushButton* button)
{
    return std::max(button->width(),
                    button->fontMetrics().horizontalAdvance(button->text()) + kButtonFrame);
}

} // namespace

TablePrintDialog::TablePrintDialog(PreviewSource preview, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
    , m_source(std::move(preview))
{
    using namespace Controls;
    setObjectName(u"tablePrintDialog"_s);
    Controls::keepCaptionOnly(this);
    setWindowTitle(u"Termintabelle drucken"_s);
    setFixedSize(200, 250);

    m_preview = label(this, u"tablePreview"_s, QString(), {0, 0, 200, 200});
    m_colours = checkBox(this, u"groupColourBox"_s, u"Tabellenzeilen mit Gruppenfarbe füllen"_s,
                         {0, 210, 200, 15});
    auto* cancel = button(this, u"cancelButton"_s, u"Abbrechen"_s, {10, 227, 50, 20});
    auto* ok = button(this, u"okButton"_s, u"OK"_s, {70, 227, 50, 20});
    ok->setDefault(true);
    fitCheckBox(m_colours);
    // "OK" keeps its distance from "Abbrechen" when that one grows.
    const int gap = ok->x() - cancel->geometry().right() - 1;
    cancel->resize(widthForText(cancel), cancel->height());
    ok->setGeometry(cancel->geometry().right() + 1 + gap, ok->y(), widthForText(ok), ok->height());

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
