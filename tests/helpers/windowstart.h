#pragma once

#include <memory>

#include <QByteArray>

class Form3;
class TestHttpServer;

namespace WindowStart {

// Serves a banner page from `server` and points the product site and the
// rate service at it; the rate replies are the caller's.
void pointHostsAt(TestHttpServer &server);

// Builds the main window, shows it when it is ready and waits for its first
// activation (rate retrieval and restored boxes) to finish. Null on a timeout.
std::unique_ptr<Form3> startAndActivate();

} // namespace WindowStart
