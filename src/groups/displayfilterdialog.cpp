#include "groups/displayfilterdialog.h"

#include "common/grouppalette.h"
#include "common/imagepack.h"
#include "common/preferences.h"
#include "common/prompter.h"
#include "store/database.h"
#include "store/databaseerror.h"
#include "store/querycursor.h"
#include "views/controls.h"

#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>

#include <algorithm>
#include <cmath>

using namespace Qt::StringLiterals;

namespace {

constexpr int kGroupIdRole = Qt::UserRole;

int colorComponent(float value)
{
    return std::clamp(static_cast<int>(std::lround(static_cast<double>(value) * 255)), 0, 255);
}

} // namespace

DisplayFilterDialog::DisplayFilterDialog(Preferences& prefs, Database& db, Prompter& prompter,
                                         const ImagePack& images, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
    , m_prefs(prefs)
{
    setObjectName(u"displayFilterDialog"_s);
    Controls::keepCaptionOnly(this);
    setWindowTitle(u"Einstellungen für Anzeige"_s);
    setModal(true);
    setFixedSize(210, 300);

    auto* caption = new QLabel(u"Darzustellende Termingruppen:"_s, this);
    caption->setObjectName(u"captionLabel"_s);
    caption->setGeometry(10, 10, 180, 15);

    m_list = new QTreeWidget(this);
    m_list->setObjectName(u"groupList"_s);
    m_list->setGeometry(5, 30, 200, 240);
    m_list->setColumnCount(2);
    m_list->setHeaderLabels({QString(), u"Gruppe:"_s});
    m_list->setColumnWidth(0, 40);
    m_list->setColumnWidth(1, 175);
    m_list->setRootIsDecorated(false);
    m_list->setIconSize(QSize(16, 13));
    QPalette palette = m_list->palette();
    palette.setColor(QPalette::Base, QColor(colorComponent(prefs.r), colorComponent(prefs.g),
                                            colorComponent(prefs.b)));
    m_list->setPalette(palette);

    auto* applyButton = new QPushButton(u"Übernehmen"_s, this);
    applyButton->setObjectName(u"applyButton"_s);
    applyButton->setGeometry(0, 270, 70, 20);
    auto* selectAllButton = new QPushButton(u"Alle auswählen"_s, this);
    selectAllButton->setObjectName(u"selectAllButton"_s);
    selectAllButton->setGeometry(70, 270, 80, 20);
    auto* cancelButton = new QPushButton(u"Abbrechen"_s, this);
    cancelButton->setObjectName(u"cancelButton"_s);
    cancelButton->setGeometry(150, 270, 60, 20);
    for (QPushButton* button : {applyButton, selectAllButton, cancelButton})
        button->setAutoDefault(false);

    connect(applyButton, &QPushButton::clicked, this, &DisplayFilterDialog::apply);
    connect(selectAllButton, &QPushButton::clicked, this, &DisplayFilterDialog::selectAll);
    connect(cancelButton, &QPushButton::clicked, this, &QDialog::reject);

    fillList(db, prompter, images);
}

void DisplayFilterDialog::fillList(Database& db, Prompter& prompter, const ImagePack& images)
{
    QueryCursor cursor;
    if (!db.queryTable(u"SELECT * FROM grups"_s, cursor)) {
        showDatabaseError(db, prompter);
        return;
    }
    const auto& displaySlots = m_prefs.showedterms;
    for (int row = 0; row < kGroupCount && cursor.nextRow(); ++row) {
        const int id = static_cast<int>(cursor.number(1));
        const QString name = cursor.text(2);
        if (name.isEmpty())
            continue;
        auto* item = new QTreeWidgetItem(m_list);
        item->setText(1, name);
        item->setData(0, kGroupIdRole, id);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
        const bool shown =
                std::find(displaySlots.begin(), displaySlots.end(), id) != displaySlots.end();
        item->setCheckState(0, shown ? Qt::Checked : Qt::Unchecked);
        if (name != u"Geburtstag"_s)
            item->setIcon(0, images.groupIcon(id));
    }
}

void DisplayFilterDialog::selectAll()
{
    for (int i = 0; i < m_list->topLevelItemCount(); ++i)
        m_list->topLevelItem(i)->setCheckState(0, Qt::Checked);
}

void DisplayFilterDialog::apply()
{
    auto& displaySlots = m_prefs.showedterms;
    displaySlots.fill(-1);
    for (int k = 0; k < m_list->topLevelItemCount() && k < Preferences::kDisplaySlotCount; ++k) {
        const QTreeWidgetItem* item = m_list->topLevelItem(k);
        if (item->checkState(0) == Qt::Checked)
            displaySlots[static_cast<std::size_t>(k)] = item->data(0, kGroupIdRole).toInt();
    }
    accept();
}
