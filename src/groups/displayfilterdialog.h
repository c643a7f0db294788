#pragma once

#include <QDialog>

class Database;
class ImagePack;
class Prompter;
class QTreeWidget;
struct Preferences;

// "Einstellungen für Anzeige": which groups the year and week overviews draw. The k-th ticked
// group of the list goes into display slot k; a row is ticked when its group stands in any slot.
// Closing the window counts as "Abbrechen". The caller redraws the overviews afterwards.
class DisplayFilterDialog : public QDialog
{
    Q_OBJECT
public:
    DisplayFilterDialog(Preferences& prefs, Database& db, Prompter& prompter,
                        const ImagePack& images, QWidget* parent = nullptr);

private:
    void fillList(Database& db, Prompter& prompter, const ImagePack& images);
    void selectAll();
    void apply();

    Preferences& m_prefs;
    QTreeWidget* m_list = nullptr;
};
