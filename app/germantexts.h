#pragma once

class QCoreApplication;

// Qt's own texts (context menus of the text boxes and the web pages, the
// headings of --help) in German, as the rest of the program.
namespace GermanTexts {

// Loads Qt's German translations of the base and the web engine, where
// installed; without them Qt's texts stay English.
void install(QCoreApplication &app);

} // namespace GermanTexts
