#include "app/traymenu.h"

using namespace Qt::StringLiterals;

TrayMenu::TrayMenu(QWidget* parent)
    : QMenu(parent)
{
    setObjectName(u"trayMenu"_s);
    addAction(u"&Hauptfenster Anzeigen"_s, this, &TrayMenu::showWindowRequested);
    addAction(u"&Termine verwalten"_s, this, &TrayMenu::manageAppointmentsRequested);
    addAction(u"&Info"_s, this, &TrayMenu::infoRequested);
    addSeparator();
    addAction(u"Beenden"_s, this, &TrayMenu::quitRequested);
}
