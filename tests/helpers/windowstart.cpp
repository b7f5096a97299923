#include "helpers/windowstart.h"

#include "app/firstactivation.h"
#include "app/form3.h"
#include "helpers/testhttpserver.h"

#include <QSignalSpy>

namespace WindowStart {

QByteArray onePixelGif(QColor colour)
{
    // Header and a two-colour table whose first entry is the pixel's colour.
    const char rgb[] = {char(colour.red()), char(colour.green()), char(colour.blue())};
    return QByteArray::fromHex("474946383961010001008000") % QByteArray(rgb, 3)
        % QByteArray::fromHex("00000021f90401000000002c00000000010001000002024401003b");
}

void pointHostsAt(TestHttpServer &server)
{
    server.setReply(QStringLiteral("/_tools"), {200, "<!doctype html><meta charset=utf-8><p>Banner</p>"});
    qputenv("KARTAVIO_SITE_HOST", server.hostAndPort().toUtf8());
    qputenv("KARTAVIO_SERVICE_HOST", server.hostAndPort().toUtf8());
}

std::unique_ptr<Form3> startAndActivate()
{
    auto window = std::make_unique<Form3>();
    QSignalSpy ready(window.get(), &Form3::readyToShow);
    if (!ready.wait(10000))
        return nullptr;
    QSignalSpy done(window->firstActivation(), &FirstActivation::done);
    window->show();
    if (!done.wait(20000))
        return nullptr;
    return window;
}

} // namespace WindowStart
