#pragma once

#include <QString>
#include <QtGlobal>

// The running editor's announcement: its top-level window id (for the main
// program, which embeds that window on X11), its process id, and how many
// close requests its user has refused so far (answered Cancel to the save
// question). The editor writes the file in the channel's per-user folder and
// removes it when it ends; the main program only reads it.
namespace EditorWindowFile {

struct Info {
    quint64 windowId = 0;
    qint64 pid = 0;
    int closeRefused = 0;
};

QString Path();
// Replaces the file in one step, so a reader never sees half of it.
bool Write(const Info& info);
// False when there is no readable announcement.
bool Read(Info* info);
// Removes the file when it still announces process pid.
void Remove(qint64 pid);
// The announcement of an editor whose process still runs; false otherwise.
bool ReadLive(Info* info);
// True while pid runs (a zombie has ended already).
bool ProcessAlive(qint64 pid);

}  // namespace EditorWindowFile
