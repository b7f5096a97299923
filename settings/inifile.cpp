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

// The section name of a header line ("[name]"), or null when it is none.
QByteArray headerName(const QByteArray &line)
{
    const QByteArray trimmed = line.trimmed();
    if (trimmed.size() < 2 || !trimmed.startsWith('['))
        return {};
    const qsizetype end = trimmed.indexOf(']');
    return end < 0 ? QByteArray() : trimmed.mid(1, end - 1);
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
    const QByteArray header = escapedKey(name);
    QByteArray rest;
    bool inSection = false;
    bool sawHeader = false;
    qsizetype start = 0;
    while (start < file.size()) {
        qsizetype end = file.indexOf('\n', start);
        end = end < 0 ? file.size() : end + 1;
        const QByteArrayView line = QByteArrayView(file).sliced(start, end - start);
        start = end;
        const QByteArray section = headerName(line.toByteArray());
        if (!section.isNull()) {
            inSection = section == header;
            sawHeader = true;
        }
        if (inSection)
            continue;
        // Lines before any header belong to the general section; moved
        // behind ours, they need that header spelled out.
        if (!sawHeader && rest.isEmpty()) {
            if (line.trimmed().isEmpty())
                continue;
            rest += "[General]\n";
        }
        rest += line; // the file's last line keeps a missing line end
    }
    return rest.isEmpty() ? rest : '\n' + rest;
}

QByteArray withSection(const QByteArray &file, QStringView name, const Entries &entries)
{
    // The section comes first: nothing kept from the old file, not even an
    // unclosed quote, can then run into it.
    QByteArray out = sectionHeader(name);
    for (const auto &[key, value] : entries)
        out += entryLine(key, value);
    return out + otherSections(file, name);
}

} // namespace IniFile
