#pragma once

#include <QString>

#include <array>

// The user's settings, kept in memory for the run and stored in prefs.ini.
struct Preferences
{
    static constexpr int kDisplaySlotCount = 20;
    static constexpr int kAddressColumnCount = 17;
    static constexpr int kAppointmentColumnCount = 7;

    Preferences();

    int curryear = 2007;
    // Group ids the overviews draw; -1 marks an empty slot.
    std::array<int, kDisplaySlotCount> showedterms{};
    int allgmsgtime = 2;
    int allgremsg = 2;
    int gebmsgtime = 2;
    int gebremsg = 0;
    int legende = 0;
    // The bar colour, each component between 0.1 and 1.0.
    float r = 0.5f;
    float g = 0.5f;
    float b = 0.5f;
    int sortaddress = 0;
    int notizbackcolor = 0;    // 0x00BBGGRR
    int notizfrontcolor = 170; // 0x00BBGGRR
    int asciiimage = 0;
    int update = 1;
    int autostart = 1;
    int splash = 1;
    int sortaddressdir = 0;
    std::array<QString, kAddressColumnCount> addressColumnTitles;
    std::array<int, kAddressColumnCount> addressColumnWidths{};
    int sortterms = 0;
    int sorttermsdir = 0;
    std::array<QString, kAppointmentColumnCount> appointmentColumnTitles;
    std::array<int, kAppointmentColumnCount> appointmentColumnWidths{};

    // Every display slot holds its own group again.
    void resetDisplaySlots();

    static std::array<QString, kAddressColumnCount> defaultAddressColumnTitles();
    static std::array<QString, kAppointmentColumnCount> defaultAppointmentColumnTitles();

    // Reads the file; every key that is missing, unreadable or out of range keeps its default.
    static Preferences read(const QString& path);
    // The file contents: one "key = value" line per setting, CR LF, in the fixed order.
    QByteArray serialize() const;
    static Preferences parse(const QByteArray& bytes);
    // Replaces the file as a whole; false when it could not be written.
    bool write(const QString& path) const;
};
