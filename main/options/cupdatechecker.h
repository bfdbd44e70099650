#pragma once

#include <QDate>
#include <QString>

// Starts the outside updater "updater/gup" beside the program's folder with
// the program's version; at start-up at most once a day. Nothing is read
// back, and a missing updater is not reported.
class CUpdateChecker {
public:
    // "2.3.4.0" gives "2.34": the fourth part dropped, the third joined to
    // the second.
    static QString VersionText(const QString& version);

    // Whether a day has passed since the stored date; a date that is no
    // calendar date makes the check due.
    static bool IsDue(int year, int month, int day, const QDate& today);

    static QString UpdaterFolder(const QString& programFolder);

    // Starts the updater; the menu's check adds "-verbose -v". False when it
    // is not there or would not start.
    static bool CheckForUpdates(const QString& programFolder, const QString& version, bool automatic);

    // The start-up check: when due and "AutoUpdate" is on, stores today and
    // starts the updater. True when it was started.
    static bool DailyCheck(const QString& program, const QString& programFolder, const QString& version,
                           const QDate& today = QDate::currentDate());
};
