#pragma once

#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QStringList>

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

// Where the file may be, in the order tried: beside the program (build tree
// or a flat copy), the data folder relative to the program (an installed
// prefix, also after it was moved), then the data folder set at build time.
QStringList candidates(const QString &appDir, const QString &dataDir);

// The first candidate that is a file; the last one when none is.
QString locate(const QString &appDir, const QString &dataDir);

// locate() with the data folder set at build time.
QString locate(const QString &appDir);

} // namespace StateList
