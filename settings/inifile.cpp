#include "settings/inifile.h"

namespace IniFile {

namespace {

constexpr char hexDigits[] = "0123456789ABCDEF";

bool isHexDigit(char16_t ch)
{
    return (ch >= u'0' && ch <= u'9') || (ch >= u'a' && ch <= u'f') || (ch >= u'A' && ch <= u'F');
}

void appendHex(QByteArray &out, uint value, int digits)
{
    for (int shift = (digits - 1) * 4; shift >= 0; shift -= 4)
        out += hexDigits[(value >> shift) & 0xF];
}

// A control character as "\\x" and the fewest lower-case hex digits.
void appendControl(QByteArray &out, uint value)
{
    out += "\\x" + QByteArray::number(value, 16);
}

// The character classes of QSettings' INI reader (qsettings.cpp, charTraits).
enum : unsigned char { Space = 0x1, Special = 0x2 };

constexpr unsigned char traits(char ch)
{
    switch (ch) {
    case '\t':
    case ' ': return Space;
    case '\n':
    case '\r': return Space | Special;
    case '"':
    case ';':
    case '=':
    case '\\': return Special;
    default: return 0;
    }
}

// One logical line as QConfFileSettingsPrivate::readIniLine (Qt 6.4) finds
// it: leading blanks and whole comment lines skipped, a backslash takes the
// next character along (so "\\" before a line end continues the line), a
// line end or ";" inside double quotes does not end it, and ";" after the
// start of a line ends it. Returns false at the end of the data. `endsOpen`
// tells a line that only the end of the data ended (in quotes, or right
// after a backslash).
bool readIniLine(QByteArrayView data, qsizetype &dataPos, qsizetype &lineStart, qsizetype &lineLen,
                 qsizetype &equalsPos, bool &endsOpen)
{
    const qsizetype dataLen = data.size();
    bool inQuotes = false;
    bool danglingEscape = false;
    equalsPos = -1;
    lineStart = dataPos;
    while (lineStart < dataLen && (traits(data.at(lineStart)) & Space))
        ++lineStart;
    qsizetype i = lineStart;
    while (i < dataLen) {
        char ch = data.at(i);
        while (!(traits(ch) & Special)) {
            if (++i == dataLen)
                goto done;
            ch = data.at(i);
        }
        ++i;
        if (ch == '=') {
            if (!inQuotes && equalsPos == -1)
                equalsPos = i - 1;
        } else if (ch == '\n' || ch == '\r') {
            if (i == lineStart + 1) {
                ++lineStart;
            } else if (!inQuotes) {
                --i;
                goto done;
            }
        } else if (ch == '\\') {
            if (i == dataLen)
                danglingEscape = true;
            if (i < dataLen) {
                const char next = data.at(i++);
                if (i < dataLen) {
                    const char after = data.at(i);
                    if ((next == '\n' && after == '\r') || (next == '\r' && after == '\n'))
                        ++i;
                }
            }
        } else if (ch == '"') {
            inQuotes = !inQuotes;
        } else { // ';'
            if (i == lineStart + 1) {
                while (i < dataLen && data.at(i) != '\n' && data.at(i) != '\r')
                    ++i;
                while (i < dataLen && (traits(data.at(i)) & Space))
                    ++i;
                lineStart = i;
            } else if (!inQuotes) {
                --i;
                goto done;
            }
        }
    }
done:
    dataPos = i;
    lineLen = i - lineStart;
    endsOpen = inQuotes || danglingEscape;
    return lineLen > 0;
}

// QSettingsPrivate::iniUnescapedKey: "\\" is "/", "%XX" and "%UXXXX" are
// characters in hexadecimal, anything else stands for itself.
QString unescapedKey(QByteArrayView key)
{
    const QString decoded = QString::fromUtf8(key);
    const qsizetype size = decoded.size();
    QString result;
    result.reserve(size);
    qsizetype i = 0;
    while (i < size) {
        const QChar ch = decoded.at(i);
        if (ch == u'\\') {
            result += u'/';
            ++i;
            continue;
        }
        if (ch != u'%' || i == size - 1) {
            result += ch;
            ++i;
            continue;
        }
        int digits = 2;
        qsizetype first = i + 1;
        if (decoded.at(i + 1) == u'U') {
            ++first;
            digits = 4;
        }
        if (first + digits > size) {
            result += u'%';
            ++i;
            continue;
        }
        bool ok = false;
        const ushort code = QStringView(decoded).sliced(first, digits).toUShort(&ok, 16);
        if (!ok) {
            result += u'%';
            ++i;
            continue;
        }
        result += QChar(code);
        i = first + digits;
    }
    return result;
}

// The group a header line opens, as QConfFileSettingsPrivate::readIniFile
// names it: the text up to the first "]" (or the whole line when there is
// none), trimmed; "General" in any case is the top level (""), "%General"
// the group "General"; anything else unescaped like a key; then "/".
QString headerGroup(QByteArrayView line)
{
    qsizetype end = line.indexOf(']');
    if (end < 0)
        end = line.size();
    const QByteArrayView name = line.first(end).sliced(1).trimmed();
    if (name.compare("general", Qt::CaseInsensitive) == 0)
        return {};
    if (name.compare("%general", Qt::CaseInsensitive) == 0)
        return QString::fromLatin1(name.sliced(1)) + u'/';
    return unescapedKey(name) + u'/';
}

} // namespace

QByteArray escapedKey(QStringView key)
{
    QByteArray out;
    out.reserve(key.size());
    for (const QChar qch : key) {
        const char16_t ch = qch.unicode();
        if (ch == u'/') {
            out += '\\';
        } else if ((ch >= u'a' && ch <= u'z') || (ch >= u'A' && ch <= u'Z') || (ch >= u'0' && ch <= u'9')
                   || ch == u'_' || ch == u'-' || ch == u'.') {
            out += char(ch);
        } else if (ch <= 0xFF) {
            out += '%';
            appendHex(out, ch, 2);
        } else {
            out += "%U";
            appendHex(out, ch, 4);
        }
    }
    return out;
}

QByteArray escapedValue(const QString &value)
{
    // "@" starts typed values in the file: a text with a NUL is wrapped as one,
    // a plain text starting with "@" gets it doubled.
    const bool wrapped = value.contains(QChar::Null);
    const QString text = wrapped ? u"@String(" + value + u')'
                                 : value.startsWith(u'@') ? u'@' + value : value;
    QByteArray out;
    out.reserve(text.size() + 2);
    bool needsQuotes = false;
    bool escapeNextIfDigit = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t ch = text.at(i).unicode();
        if (ch == u';' || ch == u',' || ch == u'=')
            needsQuotes = true;
        if (escapeNextIfDigit && isHexDigit(ch)) {
            appendControl(out, ch);
            continue;
        }
        escapeNextIfDigit = false;
        switch (ch) {
        case u'\0': out += "\\0"; escapeNextIfDigit = true; break;
        case u'\a': out += "\\a"; break;
        case u'\b': out += "\\b"; break;
        case u'\f': out += "\\f"; break;
        case u'\n': out += "\\n"; break;
        case u'\r': out += "\\r"; break;
        case u'\t': out += "\\t"; break;
        case u'\v': out += "\\v"; break;
        case u'"': out += "\\\""; break;
        case u'\\': out += "\\\\"; break;
        default:
            if (ch <= 0x1F) {
                appendControl(out, ch);
                escapeNextIfDigit = true;
            } else if (ch >= 0x80) {
                // Surrogate pairs stay together so they encode as one character.
                const qsizetype length = QChar::isHighSurrogate(ch) && i + 1 < text.size()
                                                 && text.at(i + 1).isLowSurrogate()
                                             ? 2 : 1;
                out += QStringView(text).mid(i, length).toUtf8();
                i += length - 1;
            } else {
                out += char(ch);
            }
        }
    }
    if (needsQuotes || (!out.isEmpty() && (out.front() == ' ' || out.back() == ' '))) {
        out.prepend('"');
        out += '"';
    }
    return out;
}

QByteArray sectionHeader(QStringView name)
{
    return '[' + escapedKey(name) + "]\n";
}

QByteArray entryLine(QStringView key, const QString &value)
{
    return escapedKey(key) + '=' + escapedValue(value) + '\n';
}

QByteArray otherSections(const QByteArray &file, QStringView name)
{
    // Where sections start and end is decided exactly as QSettings decides
    // it, so that what another program reads through QSettings stays the
    // same: a header is a logical line (readIniLine) starting with "[", and
    // a section runs from its header to the next one. Every section that
    // QSettings reads as group `name` (blanks around the name, an unclosed
    // header, escapes, each copy of it) is ours and dropped, but for the
    // lines of subgroups ("a\b=..."), which the store does not hold: they
    // stay in ours. Every other section is kept byte for byte, in its
    // order. A byte order mark goes with the top level's lines, if any.
    QByteArrayView data(file);
    const bool byteOrderMark = data.startsWith("\xef\xbb\xbf");
    if (byteOrderMark)
        data = data.sliced(3);
    const QString ours = name.toString() + u'/';
    QByteArray subgroups;
    QByteArrayView openLast;
    QByteArray rest;
    qsizetype sectionStart = 0;
    bool sectionIsOurs = ours == u"/"; // the top level is ours only for an empty name
    bool topLevel = true;
    const auto keep = [&](qsizetype end) {
        if (sectionIsOurs)
            return;
        QByteArrayView bytes = data.sliced(sectionStart, end - sectionStart);
        if (topLevel) {
            // Lines before any header belong to the top level; moved behind
            // ours, they need its header spelled out. Blank lines before
            // them are left out.
            qsizetype first = 0;
            while (first < bytes.size() && (traits(bytes.at(first)) & Space))
                ++first;
            if (first == bytes.size())
                return;
            rest += "[General]\n";
            if (byteOrderMark) {
                // Qt 6.4 skips the mark only to find the headers: the top
                // level's text still starts with it, so blanks after it
                // stay in the first key. Kept as it was, it reads the same.
                rest += "\xef\xbb\xbf";
            } else {
                bytes = bytes.sliced(bytes.first(first).lastIndexOf('\n') + 1);
            }
        }
        rest += bytes; // the file's last line keeps a missing line end
    };
    qsizetype dataPos = 0;
    qsizetype lineStart = 0;
    qsizetype lineLen = 0;
    qsizetype equalsPos = -1;
    bool endsOpen = false;
    while (readIniLine(data, dataPos, lineStart, lineLen, equalsPos, endsOpen)) {
        const QByteArrayView line = data.sliced(lineStart, lineLen);
        if (!line.startsWith('[')) {
            // A subgroup's key in ours. A line that the end of the file
            // left open (in quotes, after a backslash) would run into what
            // follows it: it stays last, under a copy of our header.
            if (sectionIsOurs && equalsPos >= 0
                && unescapedKey(data.sliced(lineStart, equalsPos - lineStart).trimmed()).contains(u'/')) {
                if (endsOpen) {
                    openLast = line;
                } else {
                    subgroups += line;
                    subgroups += '\n';
                }
            }
            continue;
        }
        keep(lineStart);
        sectionStart = lineStart;
        sectionIsOurs = headerGroup(line) == ours;
        topLevel = false;
    }
    keep(data.size());
    // A section that another one follows ends at that one's header, so
    // nothing kept before ours can be open.
    QByteArray tail = rest.isEmpty() ? subgroups : subgroups + '\n' + rest;
    if (!openLast.isEmpty())
        tail += '\n' + sectionHeader(name) + openLast;
    return tail;
}

} // namespace IniFile
