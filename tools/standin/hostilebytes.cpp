#include "standin/hostilebytes.h"

namespace StandIn::HostileBytes {

namespace {

void append16(QByteArray &out, int value, bool bigEndian)
{
    const char high = char((value >> 8) & 0xFF);
    const char low = char(value & 0xFF);
    out += bigEndian ? high : low;
    out += bigEndian ? low : high;
}

// A marker segment: 0xFF, marker, length (of itself and the payload), payload.
void segment(QByteArray &out, char marker, const QByteArray &payload)
{
    out += '\xFF';
    out += marker;
    append16(out, int(payload.size()) + 2, true);
    out += payload;
}

} // namespace

QByteArray jpegBomb(int side, int scans)
{
    QByteArray out("\xFF\xD8", 2); // start of image
    QByteArray quantisation(65, '\1'); // table 0, all steps 1
    quantisation[0] = '\0';
    segment(out, '\xDB', quantisation);
    QByteArray frame(1, '\x08'); // progressive frame: 8 bits, size, one grey component
    append16(frame, side, true);
    append16(frame, side, true);
    frame += QByteArray("\x01\x01\x11\x00", 4);
    segment(out, '\xC2', frame);
    // DC and AC tables with a single one-bit code for symbol 0.
    QByteArray table(1, '\x00');
    table += '\x01';
    table += QByteArray(15, '\0');
    table += '\0';
    segment(out, '\xC4', table);
    table[0] = '\x10';
    segment(out, '\xC4', table);
    // Each scan: DC coefficients of the one component, then one data byte.
    const QByteArray scan("\x01\x01\x00\x00\x00\x00", 6);
    for (int i = 0; i < scans; ++i) {
        segment(out, '\xDA', scan);
        out += '\0';
    }
    out += QByteArray("\xFF\xD9", 2); // end of image
    return out;
}

QByteArray gifDeclaring(int width, int height)
{
    QByteArray out("GIF89a");
    append16(out, width, false);
    append16(out, height, false);
    out += QByteArray("\x80\x00\x00", 3);             // two-colour global palette
    out += QByteArray("\xFF\xFF\xFF\x00\x00\x00", 6); // white, black
    out += QByteArray("\x2C\0\0\0\0\x01\0\x01\0\0", 10); // image 1 x 1 at 0, 0
    out += QByteArray("\x02\x02\x44\x01\x00\x3B", 6);   // its pixel, end of file
    return out;
}

} // namespace StandIn::HostileBytes
