#pragma once

#include <QList>
#include <QString>

// The list of states for the transport lookup: one line per state, its code,
// a tab and its display name.
namespace StateList {

struct State
{
    QString code;
    QString name;
};

inline constexpr int maxStates = 61;

// Reads at most 61 states; a line without a tab is skipped; a missing or
// unreadable file gives an empty list.
QList<State> read(const QString &path);

// appDir + "staaten.txt" when it exists, else the installed data folder's.
QString locate(const QString &appDir);

} // namespace StateList
