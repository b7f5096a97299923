#pragma once

#include "standin/httpserver.h"

// The loopback server the tests answer from: the stand-in site's own.
using TestHttpServer = StandIn::HttpServer;
