#pragma once

#include <QObject>
#include <QTimer>

#include <memory>

class AddressBook;
class AppointmentListController;
class NotesActions;
class OrganiserWindow;
class Overviews;
class ReminderController;
class TodoController;
struct Context;

// What the program's parts tell each other. A part that changes data says so here; every part
// listens for what it shows, so none needs to know the others.
class Changes : public QObject
{
    Q_OBJECT
signals:
    void appointmentsChanged();
    void todosChanged();
    void addressesChanged();
    void groupsChanged();
    // A restore put another file in place: everything is read anew.
    void databaseReplaced();
    // A restore is about to replace the file: whatever writes in the background pauses until
    // the connection is open again.
    void databaseClosing();
    // The connection was opened anew after a restore, whether it replaced the file or not.
    void databaseReopened();
};

// What every part is built from.
struct PartContext
{
    Context& ctx;
    OrganiserWindow& window;
    Overviews& overviews;
    Changes& changes;
};

// The appointment list and the day dialog.
class AppointmentsPart : public QObject
{
    Q_OBJECT
public:
    AppointmentsPart(const PartContext& parts, QObject* parent);

    void openDayDialog(int day, int month, int year);

private:
    PartContext m_parts;
    AppointmentListController* m_list;
};

// The address book page.
class AddressesPart : public QObject
{
    Q_OBJECT
public:
    AddressesPart(const PartContext& parts, QObject* parent);

private:
    AddressBook* m_book;
};

// The to-do column.
class TodoPart : public QObject
{
    Q_OBJECT
public:
    TodoPart(const PartContext& parts, QObject* parent);

private:
    TodoController* m_todo;
};

// The reminder scan every ten seconds and the window or notifications it shows.
class RemindersPart : public QObject
{
    Q_OBJECT
public:
    RemindersPart(const PartContext& parts, QObject* parent);
    ~RemindersPart() override;

    // Scans at once, then every interval.
    void start();
    void stop();

private:
    void scan();

    QTimer m_timer;
    std::unique_ptr<ReminderController> m_reminders;
};

// The notes page.
class NotesPart : public QObject
{
    Q_OBJECT
public:
    NotesPart(const PartContext& parts, QObject* parent);

    // Writes the notes unless nothing changed since they were last written.
    void save();

signals:
    void preferencesChanged();

private:
    NotesActions* m_notes;
};

// The groups on the settings page and the choice of the groups the pictures show.
class GroupsPart : public QObject
{
    Q_OBJECT
public:
    GroupsPart(const PartContext& parts, QObject* parent);

private:
    void fill();

    PartContext m_parts;
};

// The other controls of the settings page: reminders, appearance, printing and export, backups.
class SettingsPart : public QObject
{
    Q_OBJECT
public:
    SettingsPart(const PartContext& parts, QObject* parent);

signals:
    // A restore ended without a usable connection.
    void databaseLost();

private:
    void restoreBackup();

    PartContext m_parts;
};

// Calendar and address files through the lists' context menus and dropped on the window.
class InterchangePart : public QObject
{
    Q_OBJECT
public:
    InterchangePart(const PartContext& parts, QObject* parent);
};
