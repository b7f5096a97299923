#include "app/endpath.h"
#include "app/form3.h"
#include "app/germantexts.h"
#include "core/statelist.h"
#include "settings/rememberedvalues.h"
#include "settings/settingskeys.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QIcon>

#include <algorithm>
#include <array>
#include <cstdio>
#include <string_view>

namespace {

// The window icon in every size the launcher's icon comes in.
QIcon windowIcon()
{
    QIcon icon;
    for (const int size : {16, 32, 48, 64, 128, 256})
        icon.addFile(u":/icons/kartavio-" % QString::number(size) % u".png", QSize(size, size));
    return icon;
}

// Reads the states list as the first activation does and reports how many
// states it holds; tells an installation that finds its data from one that
// does not, without a window or the network.
int selfCheck()
{
    const QString path = StateList::locate(QCoreApplication::applicationDirPath());
    const qsizetype count = StateList::read(path).size();
    std::printf("staaten: %lld\ndatei: %s\n", static_cast<long long>(count), qPrintable(path));
    return count > 0 ? 0 : 1;
}

// Whether the command line asks for one of the console switches below, which
// need no display and open no window.
bool consoleOnly(int argc, char *argv[])
{
    const std::array<std::string_view, 5> switches = {"-h", "--help", "-v", "--version", "--self-check"};
    return std::any_of(argv + 1, argv + argc, [&](const char *arg) { return std::ranges::count(switches, arg) > 0; });
}

// Answers the console switches: help, version, or the installation check.
int console()
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Kartavio – Werkzeugkasten für die USA-Reise."));
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Zeigt diese Hilfe an und beendet das Programm."));
    const QCommandLineOption version({QStringLiteral("v"), QStringLiteral("version")},
                                     QStringLiteral("Zeigt die Versionsnummer an und beendet das Programm."));
    const QCommandLineOption check(QStringLiteral("self-check"),
                                   QStringLiteral("Liest die Staatenliste, gibt die Zahl der Staaten und die "
                                                  "Datei aus und beendet das Programm (Prüfung der Installation)."));
    parser.addOptions({help, version, check});
    // Unknown switches are left alone: the web engine reads its own from the
    // same command line.
    parser.parse(QCoreApplication::arguments());
    if (parser.isSet(help))
        parser.showHelp(0); // headings in German from Qt's own texts
    if (parser.isSet(version))
        parser.showVersion();
    return selfCheck();
}

// The three pages come from one site: one renderer process serves them all,
// instead of one process per page.
void shareOneRenderer()
{
    const QByteArray flags = qgetenv("QTWEBENGINE_CHROMIUM_FLAGS");
    if (!flags.contains("--process-per-site"))
        qputenv("QTWEBENGINE_CHROMIUM_FLAGS", QByteArray(flags + " --process-per-site").trimmed());
}

void nameApplication()
{
    QCoreApplication::setOrganizationName(SettingsKeys::organization.toString());
    QCoreApplication::setApplicationName(QStringLiteral("Kartavio"));
    QCoreApplication::setApplicationVersion(QStringLiteral(KARTAVIO_VERSION));
}

} // namespace

int main(int argc, char *argv[])
{
    if (consoleOnly(argc, argv)) {
        QCoreApplication app(argc, argv);
        nameApplication();
        GermanTexts::install(app);
        return console();
    }

    shareOneRenderer();
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    nameApplication();
    GermanTexts::install(app);
    // No display name: Qt would append it to every window title.
    QGuiApplication::setDesktopFileName(QStringLiteral(KARTAVIO_APP_ID));
    QGuiApplication::setWindowIcon(windowIcon());

    // The store first: it outlives every widget that writes to it.
    RememberedValues store;
    const EndPath endPath(store);
    Form3 window(store);
    QObject::connect(&window, &Form3::readyToShow, &window, &QWidget::show);
    return app.exec();
}
