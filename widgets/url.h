#pragma once

#include <QString>

class QWidget;

// Opens an address in the user's web browser. Each space becomes "%20";
// nothing else is changed. The browser gets the address as one argument
// (no shell). When no browser can be started, a warning over `parent` tells
// the user so and shows the address, to be copied into a browser by hand.
void openurl(QWidget *parent, const QString &address);

// The longest address a browser can be started with: it is one argument of
// a command line, and Linux takes at most 128 KiB per argument.
inline constexpr qsizetype maxAddressLength = 128 * 1024 - 1;

// Opens a lookup address built from the user's text. An address too long
// for any browser is not handed on; the user is told, in the program's one
// kind of message box, to shorten the text.
void openLookup(QWidget *parent, const QString &address);
