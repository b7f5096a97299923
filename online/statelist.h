#pragma once

#include <QByteArrayView>
#include <QList>
#include <QString>

#include <optional>

// The list of states for the transport lookup: one line per state, its code,
// a tab and its display name.
namespace StateList {

struct State
{
    QString code;
    QString name;
};

inline constexpr int maxStates = 61;

// One line of the file (its line end may still be attached): code and name,
// or nothing for a line without a tab, with an empty field, or with control
// characters (binary junk). UTF-8, or Latin-1 where the bytes are not UTF-8.
std::optional<State> parseLine(QByteArrayView line);

// Reads at most 61 states; a line that gives no state, or is longer than any
// state line could be, is skipped; a missing or unreadable file gives an
// empty list. Only the first few megabytes of a huge file are looked at.
QList<State> read(const QString &path);

// appDir + "staaten.txt" when it exists, else the installed data folder's.
QString locate(const QString &appDir);

} // namespace StateList
