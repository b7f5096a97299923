#pragma once

#include <QByteArray>

// Pictures made to hurt a decoder, built byte by byte.
namespace StandIn::HostileBytes {

// A progressive JPEG of `side` x `side` grey pixels: the usual header
// segments, then `scans` tiny scans that each make a decoder walk every
// block of the whole picture again (about 11 bytes per scan).
QByteArray jpegBomb(int side = 5700, int scans = 39560);

// A well-formed one-pixel GIF whose header declares `width` x `height`.
QByteArray gifDeclaring(int width, int height);

} // namespace StandIn::HostileBytes
