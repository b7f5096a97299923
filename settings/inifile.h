#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringView>

#include <utility>

// Writes one section of a settings file in exactly the text QSettings itself
// writes for string values, so the store can rewrite its file without going
// through QSettings (which fsyncs and takes a lock file on every sync).
namespace IniFile {

using Entries = QList<std::pair<QString, QString>>; // key, value; sorted by key

// A key as QSettings spells it in the file ("a b" -> "a%20b").
QByteArray escapedKey(QStringView key);

// A string value as QSettings spells it in the file (quotes, escapes, "@@").
QByteArray escapedValue(const QString &value);

// One section `name` holding `entries`, followed by `file` without any copy
// of that section; all other sections and lines are kept as they are.
QByteArray withSection(const QByteArray &file, QStringView name, const Entries &entries);

} // namespace IniFile
