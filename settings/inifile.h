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

// A key as QSettings spells it in the file ("a b" -> "a%20b").
QByteArray escapedKey(QStringView key);

// A string value as QSettings spells it in the file (quotes, escapes, "@@").
QByteArray escapedValue(const QString &value);

// The header line of section `name` ("[name]\n").
QByteArray sectionHeader(QStringView name);

// One line of a section: key, "=", value, line end.
QByteArray entryLine(QStringView key, const QString &value);

// What follows the entries of section `name` when the store rewrites
// `file`: the lines of that section's subgroups ("a\b=...", which the store
// does not hold), then everything of `file` but that section (every copy
// of it, as QSettings finds them), byte for byte: a blank line first, and a
// "[General]" header for lines before any header. Empty when nothing is left.
QByteArray otherSections(const QByteArray &file, QStringView name);

} // namespace IniFile
