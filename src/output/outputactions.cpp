#include "output/outputactions.h"

#include "core/context.h"
#include "output/tableprintdialog.h"
#include "output/tableprinter.h"
#include "output/textexport.h"
#include "settings/settingspage.h"

#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>

using namespace Qt::StringLiterals;

OutputActions::OutputActions(Context& context, SettingsPage& page, QWidget* dialogParent)
    : QObject(&page)
    , m_ctx(context)
    , m_dialogParent(dialogParent)
{
    connect(page.printButton(), &QPushButton::clicked, this, &OutputActions::printAppointmentTable);
    connect(page.exportButton(), &QPushButton::clicked, this,
            &OutputActions::exportAppointmentsAsText);
}

void OutputActions::printAppointmentTable()
{
    const DateValue now = m_ctx.clock.now();
    TablePrintDialog dialog(
            [this, now](bool groupColours) {
                return TablePrinter::drawTablePreview(*m_ctx.db, m_ctx.prompter, now, groupColours);
            },
            m_dialogParent);
    if (dialog.exec() != QDialog::Accepted)
        return;

    QPrinter printer(QPrinter::HighResolution);
    printer.setCopyCount(1);
    printer.setDocName(u"Ruvo Tabellenübersicht (by zr)"_s);
    QPrintDialog printDialog(&printer, m_dialogParent);
    if (printDialog.exec() != QDialog::Accepted)
        return;
    // The table lists what is coming at the moment of printing, not of opening the dialog.
    TablePrinter::printAppointmentTable(printer, *m_ctx.db, m_ctx.prompter, m_ctx.clock.now(),
                                        dialog.groupColours());
}

void OutputActions::exportAppointmentsAsText()
{
    TextExport::exportAppointmentsAsText(*m_ctx.db, m_ctx.prompter, m_ctx.quitState);
}
