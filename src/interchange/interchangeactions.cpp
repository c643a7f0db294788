#include "interchange/interchangeactions.h"

#include "addresses/addressinterchange.h"
#include "common/datevalue.h"
#include "core/context.h"
#include "interchange/icalendarexport.h"
#include "interchange/icalendarimport.h"
#include "interchange/interchangefile.h"

#include <QAction>
#include <QDir>
#include <QDropEvent>
#include <QFileInfo>
#include <QMimeData>
#include <QTimer>
#include <QWidget>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

const QString kCalendarTitle = u"iCalendar-Datei importieren"_s;
const QString kAddressTitle = u"vCard-Datei importieren"_s;
const QString kCalendarFilter = u"iCalendar-Dateien | *.ics"_s;
const QString kAddressFilter = u"vCard-Dateien | *.vcf"_s;

QString quotedName(const QString& path)
{
    return u'"' + QFileInfo(path).fileName() + u'"';
}

// The local files among the dropped ones that Ruvo can import.
QStringList importableFiles(const QMimeData* data)
{
    QStringList files;
    if (!data || !data->hasUrls())
        return files;
    for (const QUrl& url : data->urls()) {
        if (!url.isLocalFile())
            continue;
        if (interchangeKindOfName(url.toLocalFile()))
            files << url.toLocalFile();
    }
    return files;
}

} // namespace

InterchangeActions::InterchangeActions(Context& ctx, QObject* parent)
    : QObject(parent)
    , m_ctx(ctx)
{}

void InterchangeActions::attach(QWidget& window, QWidget& appointmentList, QWidget& addressList)
{
    auto addAction = [this](QWidget* list, const QString& text, const QString& name,
                            void (InterchangeActions::*slot)()) {
        auto* action = new QAction(text, list);
        action->setObjectName(name);
        connect(action, &QAction::triggered, this, slot);
        list->addAction(action);
    };
    QWidget* appointments = &appointmentList;
    appointments->setContextMenuPolicy(Qt::ActionsContextMenu);
    addAction(appointments, u"Termine als iCalendar exportieren…"_s, u"exportCalendarAction"_s,
              &InterchangeActions::exportCalendar);
    addAction(appointments, u"iCalendar-Datei importieren…"_s, u"importCalendarAction"_s,
              &InterchangeActions::importCalendar);

    QWidget* addresses = &addressList;
    addresses->setContextMenuPolicy(Qt::ActionsContextMenu);
    addAction(addresses, u"Adressen als vCard exportieren…"_s, u"exportAddressesAction"_s,
              &InterchangeActions::exportAddresses);
    addAction(addresses, u"vCard-Datei importieren…"_s, u"importAddressesAction"_s,
              &InterchangeActions::importAddresses);

    window.setAcceptDrops(true);
    window.installEventFilter(this);
    // Fields that take drops themselves (the notes, the search fields) would paste the file's
    // path instead of importing it.
    for (QWidget* child : window.findChildren<QWidget*>()) {
        if (child->acceptDrops())
            child->installEventFilter(this);
    }
}

bool InterchangeActions::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::DragEnter || event->type() == QEvent::DragMove) {
        auto* drag = static_cast<QDragMoveEvent*>(event);
        if (!importableFiles(drag->mimeData()).isEmpty()) {
            drag->acceptProposedAction();
            return true;
        }
    } else if (event->type() == QEvent::Drop) {
        auto* drop = static_cast<QDropEvent*>(event);
        const QStringList files = importableFiles(drop->mimeData());
        if (!files.isEmpty()) {
            drop->acceptProposedAction();
            // The questions and the summary must not run inside the drag source's event.
            QTimer::singleShot(0, this, [this, files] {
                for (const QString& file : files)
                    importFile(file);
            });
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}

void InterchangeActions::exportTo(const QString& title, const QString& name, const QString& filter,
                                  const InterchangeWriter& write, const QString& doneTitle,
                                  const QString& doneText)
{
    const QString suffix = filter.mid(filter.lastIndexOf(u'*') + 1);
    QString path = m_ctx.prompter.saveFileName(title, QDir::home().filePath(name + suffix), filter);
    if (path.isEmpty())
        return;
    if (QFileInfo(path).suffix().isEmpty())
        path += suffix;
    QString error;
    if (!writeInterchangeFile(path, write, error)) {
        m_ctx.prompter.warn(u"Fehler"_s, error);
        return;
    }
    m_ctx.prompter.inform(doneTitle, doneText + quotedName(path) + u'.');
}

void InterchangeActions::exportCalendar()
{
    Database& db = *m_ctx.db;
    exportTo(
            u"Termine als iCalendar exportieren"_s, u"ruvo-termine"_s, kCalendarFilter,
            [&db](QIODevice& device, QString& why) { return ::exportCalendar(db, device, why); },
            u"iCalendar-Export"_s,
            u"Die Termine und offenen Aufgaben stehen jetzt in der Datei "_s);
}

void InterchangeActions::exportAddresses()
{
    Database& db = *m_ctx.db;
    exportTo(
            u"Adressen als vCard exportieren"_s, u"ruvo-adressen"_s, kAddressFilter,
            [&db](QIODevice& device, QString& why) { return ::exportAddresses(db, device, why); },
            u"vCard-Export"_s, u"Die Adressen stehen jetzt in der Datei "_s);
}

void InterchangeActions::importCalendar()
{
    const QString path =
            m_ctx.prompter.openFileName(kCalendarTitle, QDir::homePath(), kCalendarFilter);
    if (!path.isEmpty())
        importFile(path);
}

void InterchangeActions::importAddresses()
{
    const QString path =
            m_ctx.prompter.openFileName(kAddressTitle, QDir::homePath(), kAddressFilter);
    if (!path.isEmpty())
        importFile(path);
}

void InterchangeActions::importFile(const QString& path)
{
    QByteArray bytes;
    QString error;
    if (!readInterchangeFile(path, bytes, error)) {
        m_ctx.prompter.warn(u"Fehler"_s, error);
        return;
    }
    const std::optional<InterchangeKind> kind = interchangeKindOf(path, bytes);
    if (!kind) {
        m_ctx.prompter.warn(u"Fehler"_s,
                            u"Die Datei "_s + quotedName(path) +
                                    u" ist weder eine iCalendar- noch eine vCard-Datei."_s);
        return;
    }
    if (*kind == InterchangeKind::Calendar)
        importCalendarBytes(path, bytes);
    else
        importAddressBytes(path, bytes);
}

int InterchangeActions::chooseGroup()
{
    const std::optional<QList<ImportGroup>> groups = importGroups(*m_ctx.db);
    if (!groups) {
        m_ctx.prompter.warn(u"Fehler"_s,
                            u"Die Gruppen können nicht gelesen werden: "_s + m_ctx.db->errorText());
        return 0;
    }
    if (groups->isEmpty()) {
        m_ctx.prompter.warn(u"Fehler"_s,
                            u"Es gibt keine Gruppe, in die Termine importiert werden können."_s);
        return 0;
    }
    // The ordinary group first, so that accepting the box does the likely thing.
    QList<ImportGroup> ordered = *groups;
    const int preferred = defaultImportGroup(ordered);
    std::stable_partition(ordered.begin(), ordered.end(),
                          [preferred](const ImportGroup& g) { return g.id == preferred; });
    QStringList names;
    for (const ImportGroup& group : ordered)
        names << group.name;
    const int index = m_ctx.prompter.choose(
            kCalendarTitle,
            u"In welche Gruppe sollen die Termine eingetragen werden?\n"
            "Termine, deren Kategorie wie eine Gruppe heißt, kommen in diese Gruppe."_s,
            names);
    return index >= 0 && index < ordered.size() ? ordered.at(index).id : 0;
}

void InterchangeActions::importCalendarBytes(const QString& path, const QByteArray& bytes)
{
    const CalendarImportPlan plan = readCalendar(bytes, dateParts(m_ctx.clock.now()).year);
    if (!plan.error.isEmpty()) {
        m_ctx.prompter.warn(kCalendarTitle, u"Die Datei "_s + quotedName(path) +
                                                    u" kann nicht importiert werden:\n"_s +
                                                    plan.error);
        return;
    }
    // A file of to-do items alone needs no group.
    int group = 0;
    if (!plan.appointments.isEmpty()) {
        group = chooseGroup();
        if (group == 0)
            return;
    }
    const ImportReport report = storeCalendar(*m_ctx.db, plan, group);
    if (report.failed) {
        m_ctx.prompter.warn(kCalendarTitle, report.summaryText());
        return;
    }
    m_ctx.prompter.inform(kCalendarTitle, report.summaryText());
    if (report.events > 0 || report.todos > 0)
        emit calendarImported();
}

void InterchangeActions::importAddressBytes(const QString& path, const QByteArray& bytes)
{
    const AddressImportPlan plan = readAddressFile(bytes);
    if (!plan.error.isEmpty()) {
        m_ctx.prompter.warn(kAddressTitle, u"Die Datei "_s + quotedName(path) +
                                                   u" kann nicht importiert werden:\n"_s +
                                                   plan.error);
        return;
    }
    AddressCompletion completion;
    if (plan.withoutName > 0) {
        const int choice = m_ctx.prompter.choose(
                kAddressTitle,
                plan.withoutName == 1
                        ? u"Einem Eintrag fehlt der Vor- oder Nachname. Was soll mit ihm geschehen?"_s
                        : QString::number(plan.withoutName) +
                                  u" Einträgen fehlt der Vor- oder Nachname. Was soll mit ihnen "
                                  "geschehen?"_s,
                {u"Aus den übrigen Namen der Karte ergänzen"_s, u"Nicht importieren"_s});
        if (choice < 0)
            return;
        completion.completeNames = choice == 0;
    }
    if (plan.withoutGender > 0) {
        const int choice = m_ctx.prompter.choose(
                kAddressTitle,
                plan.withoutGender == 1
                        ? u"Einem Eintrag fehlt die Anrede. Welche soll er bekommen?"_s
                        : QString::number(plan.withoutGender) +
                                  u" Einträgen fehlt die Anrede. Welche sollen sie bekommen?"_s,
                {u"Frau"_s, u"Herr"_s, u"Nicht importieren"_s});
        if (choice < 0)
            return;
        completion.anrede = choice < 2 ? choice : -1;
    }
    const ImportReport report = storeAddresses(*m_ctx.db, plan, completion);
    if (report.failed) {
        m_ctx.prompter.warn(kAddressTitle, report.summaryText());
        return;
    }
    m_ctx.prompter.inform(kAddressTitle, report.summaryText());
    if (report.addresses > 0)
        emit addressesImported();
}
