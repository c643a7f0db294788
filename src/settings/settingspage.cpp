#include "settings/settingspage.h"

#include "common/preferences.h"
#include "common/remindercodes.h"
#include "views/controls.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QTreeWidget>

#include <cmath>

using namespace Qt::StringLiterals;

SettingsPage::SettingsPage(const Preferences& prefs, QWidget* parent)
    : QWidget(parent)
{
    using namespace Controls;

    frame(this, u"remindersFrame"_s, u"Benachrichtigungen:"_s, {215, 8, 330, 75});
    label(this, u"birthdayLabel"_s, u"Geburtstage:"_s, {220, 25, 90, 15});
    m_birthdayLead =
            dropDown(this, u"birthdayLead"_s, ReminderCodes::leadChoices(), {310, 25, 120, 80});
    m_birthdayLead->setCurrentIndex(prefs.gebmsgtime);
    m_birthdayRepeat =
            dropDown(this, u"birthdayRepeat"_s, ReminderCodes::repeatChoices(), {435, 25, 100, 80});
    m_birthdayRepeat->setCurrentIndex(prefs.gebremsg);
    label(this, u"defaultLabel"_s, u"Allg. Vorauswahl:"_s, {220, 55, 90, 15});
    m_defaultLead =
            dropDown(this, u"defaultLead"_s, ReminderCodes::leadChoices(), {310, 55, 120, 80});
    m_defaultLead->setCurrentIndex(prefs.allgmsgtime);
    m_defaultRepeat =
            dropDown(this, u"defaultRepeat"_s, ReminderCodes::repeatChoices(), {435, 55, 100, 80});
    m_defaultRepeat->setCurrentIndex(prefs.allgremsg);

    frame(this, u"barColourFrame"_s, u"Balkenfarbe:"_s, {215, 87, 330, 75});
    label(this, u"redLabel"_s, u"Red:"_s, {220, 102, 50, 15});
    label(this, u"greenLabel"_s, u"Green:"_s, {220, 117, 50, 15});
    label(this, u"blueLabel"_s, u"Blue:"_s, {220, 132, 50, 15});
    auto slider = [this](const QString& name, const QString& colour, float component, int y) {
        auto* s = new QSlider(Qt::Horizontal, this);
        s->setObjectName(name);
        s->setAccessibleName(u"Balkenfarbe: "_s + colour);
        s->setRange(10, 100);
        s->setValue(static_cast<int>(std::lround(component * 100)));
        s->setGeometry(270, y, 200, 15);
        return s;
    };
    m_red = slider(u"redSlider"_s, u"Red"_s, prefs.r, 102);
    m_green = slider(u"greenSlider"_s, u"Green"_s, prefs.g, 117);
    m_blue = slider(u"blueSlider"_s, u"Blue"_s, prefs.b, 132);

    frame(this, u"backupFrame"_s, u"Sicherungen:"_s, {215, 170, 330, 90});
    m_backup = button(this, u"backupButton"_s, u"Datenbank jetzt Sichern"_s, {220, 190, 140, 20});
    m_restore =
            button(this, u"restoreButton"_s, u"Sicherungsdatei rücksichern"_s, {370, 190, 160, 20});
    note(this, u"backupNote"_s,
         u"Die Datenbank wird aus sicherheitsgründen bein regulären Programmende automatisch "
         "ins Arbeitsverzeichniss als 'recovery' gesichert"_s,
         {220, 210, 320, 45});

    frame(this, u"printFrame"_s, u"Drucken:"_s, {215, 270, 330, 100});
    m_print = button(this, u"printButton"_s, u"Alle termine in Tabellenform Drucken"_s,
                     {220, 285, 320, 20});
    button(this, u"printYearButton"_s, u"Jahresübersicht Drucken (Termindetails in Tabellenform)"_s,
           {220, 305, 320, 20})
            ->setEnabled(false);
    button(this, u"printWeekButton"_s, u"Wochenübersicht Drucken (Termindetails in Tabellenform)"_s,
           {220, 325, 320, 20})
            ->setEnabled(false);
    button(this, u"printCalendarButton"_s, u"Kalender für ein Jahr Drucken (Ohne Termine)"_s,
           {220, 345, 320, 20})
            ->setEnabled(false);

    frame(this, u"exportFrame"_s, u"Exportieren:"_s, {215, 380, 330, 100});
    m_export = button(this, u"exportButton"_s, u"Alle Termine als Textdatei exportieren"_s,
                      {220, 395, 320, 20});
    button(this, u"sqlExportButton"_s, u"Alle Termine für einen SQL-Export aufbereiten"_s,
           {220, 415, 320, 20})
            ->setEnabled(false);
    button(this, u"asciiExportButton"_s, u"Alle Termine als ASCII-Tabelle exportieren"_s,
           {220, 435, 320, 20})
            ->setEnabled(false);
    button(this, u"addressExportButton"_s, u"Alle Adressen für einen SQL-Export aufbereiten"_s,
           {220, 455, 320, 20})
            ->setEnabled(false);

    frame(this, u"groupsFrame"_s, u"Gruppen:"_s, {8, 8, 200, 385});
    m_groups = new QTreeWidget(this);
    m_groups->setObjectName(u"groupList"_s);
    m_groups->setAccessibleName(u"Gruppen"_s);
    m_groups->setGeometry(13, 25, 190, 300);
    m_groups->setRootIsDecorated(false);
    m_groups->setUniformRowHeights(true);
    m_groups->setAllColumnsShowFocus(true);
    m_groups->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_groups->setSelectionMode(QAbstractItemView::SingleSelection);
    m_groups->setHeaderLabels({QString(), u"Gruppe:"_s});
    m_groups->header()->resizeSection(0, 40);
    m_groups->header()->resizeSection(1, 128);
    label(this, u"selectedEntryLabel"_s, u"Ausgewählten Eintrag:"_s, {13, 325, 180, 15});
    m_groupUp = button(this, u"groupUpButton"_s, u"Hoch"_s, {13, 340, 45, 20});
    m_groupEdit = button(this, u"groupEditButton"_s, u"Ändern"_s, {58, 340, 50, 20});
    m_groupDelete = button(this, u"groupDeleteButton"_s, u"Löschen"_s, {108, 340, 50, 20});
    m_groupDown = button(this, u"groupDownButton"_s, u"Runter"_s, {158, 340, 45, 20});
    note(this, u"groupMoveNote"_s,
         u"(Durch hoch/runter verschieben wird die Gruppenfarbe geändert!)"_s, {13, 360, 180, 30});

    frame(this, u"miscFrame"_s, u"Verschiedenes:"_s, {8, 395, 200, 100});
    m_autostart = checkBox(this, u"autostartBox"_s, u"Beim Windows-start mit starten"_s,
                           {13, 410, 180, 15});
    m_autostart->setChecked(prefs.autostart != 0);
    m_update =
            checkBox(this, u"updateBox"_s, u"Beim Start nach Updates suchen"_s, {13, 430, 180, 15});
    m_update->setChecked(prefs.update != 0);
    m_splash = checkBox(this, u"splashBox"_s, u"Splash-Screen anzeigen"_s, {13, 450, 180, 15});
    m_splash->setChecked(prefs.splash != 0);
    // Not a preference: its state lives apart from prefs.ini and is set by the page's actions.
    // Broken after the hyphen: on one line the text would not fit into the frame.
    m_desktopNotifications =
            checkBox(this, u"desktopNotificationsBox"_s,
                     u"Erinnerungen als Desktop-\nBenachrichtigung"_s, {13, 466, 190, 28});
    m_desktopNotifications->setAccessibleName(u"Erinnerungen als Desktop-Benachrichtigung"_s);
    m_desktopNotifications->setToolTip(
            u"Erinnerungen erscheinen als Benachrichtigung des Desktops statt im Fenster unten "
            "rechts. Unter Wayland geschieht das immer, weil sich das Fenster dort nicht selbst "
            "platzieren kann."_s);

    // Below the export frame, the one free strip of the page.
    m_sync = button(this, u"syncButton"_s, u"Synchronisation…"_s, {220, 490, 110, 22});
    m_syncStatus = label(this, u"syncStatus"_s, u"Keine Synchronisation eingerichtet."_s,
                         {335, 494, 305, 15});
}
