#pragma once

#include <QObject>

struct Context;
class SettingsPage;

// Connects the print and export buttons of the settings page to printing and the text export.
class OutputActions : public QObject
{
    Q_OBJECT
public:
    OutputActions(Context& context, SettingsPage& page, QWidget* dialogParent);

    void printAppointmentTable();
    void exportAppointmentsAsText();

private:
    Context& m_ctx;
    QWidget* m_dialogParent;
};
