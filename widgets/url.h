#pragma once

#include <QString>

// Opens an address in the user's web browser. Each space becomes "%20";
// nothing else is changed. The browser gets the address as one argument
// (no shell); a browser that cannot be started is not reported.
void openurl(const QString &address);
