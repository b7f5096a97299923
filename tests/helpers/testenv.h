#pragma once

#include <QByteArray>
#include <QColor>
#include <QMap>
#include <QString>
#include <QVariant>

// Test set-up shared by every test: call first in initTestCase(), before
// anything touches QSettings or QStandardPaths.
namespace TestEnv {

// Points the settings store and the cache folder into a fresh temporary
// folder, pins German number settings and sets the application's names;
// the public reference rates point at a closed port.
void isolate();

// The temporary folder of isolate(): config/ and cache/ live below it.
QString root();

// The settings file the store writes ($XDG_CONFIG_HOME/Kelvara.conf).
QString settingsFile();

// Empties the settings store (the file and QSettings' cache of it).
void clearSettings();

// The bytes of the file at `path`; empty when it cannot be read.
QByteArray contents(const QString &path);

// Makes the file at `path`, and its folder, hold `bytes`.
bool write(const QString &path, const QByteArray &bytes);

// What QSettings reads from `bytes` as an ini file: every key with its
// value, or with `group` only that group's own keys. Read from a file of
// its own each time, as QSettings keeps what it once read of a path.
QMap<QString, QVariant> readIni(const QByteArray &bytes, const QString &group = {});

// What the settings file holds under `key` of the program's section, read
// from its bytes; empty when the key is missing.
QString storedValue(const QString &key);

// `size` random bytes, the same for the same seed.
QByteArray junk(quint32 seed, int size);

// The smallest GIF there is: one pixel, white unless told otherwise.
QByteArray onePixelGif(QColor colour = Qt::white);

} // namespace TestEnv
