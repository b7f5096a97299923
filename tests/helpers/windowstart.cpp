#include "helpers/windowstart.h"

#include "app/firstactivation.h"
#include "app/form3.h"
#include "helpers/testhttpserver.h"

#include <QSignalSpy>

namespace WindowStart {

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
