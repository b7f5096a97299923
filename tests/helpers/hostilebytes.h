#pragma once

#include "standin/hostilebytes.h"

// The stand-in site's pictures made to hurt a decoder.
namespace HostileBytes = StandIn::HostileBytes;
