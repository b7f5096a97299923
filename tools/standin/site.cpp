#include "standin/site.h"

#include <QFile>
#include <QHash>

#include <functional>

namespace StandIn {

namespace {

using namespace Qt::StringLiterals;

const QByteArray noStore = "Cache-Control: no-store\r\n";

QByteArray resource(const QString &name)
{
    QFile file(u":/standin/"_s + name);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Escapes quotes both ways, so text is safe in an attribute, too.
QString escaped(const QString &text)
{
    return text.toHtmlEscaped().replace(u'\'', u"&#x27;"_s);
}

QString html(const QString &title, const QString &body)
{
    static const QString style = u"body{font-family:Arial,Helvetica,sans-serif;font-size:13px;color:#222;margin:12px}"
                                 "h1{font-size:16px;color:#003399}table{border-collapse:collapse}"
                                 "td,th{border:1px solid #ccc;padding:2px 6px;text-align:left}th{background:#e8eeff}"_s;
    return u"<!DOCTYPE html>\n<html lang=\"de\"><head><meta charset=\"utf-8\"><title>"_s + escaped(title)
        + u"</title><style>"_s + style + u"</style></head><body><h1>"_s + escaped(title) + u"</h1>"_s + body
        + u"</body></html>\n"_s;
}

// The user's text shown back, never as markup.
QString echo(const QString &label, const QString &value)
{
    return u"<p>"_s + escaped(label) + u":</p><pre style=\"white-space:pre-wrap\">"_s + escaped(value)
        + u"</pre>"_s;
}

QString decoded(const QByteArray &text)
{
    return QString::fromUtf8(QByteArray::fromPercentEncoding(text));
}

// One field of a form query (first of that name; '+' is a blank).
QString field(const QByteArray &query, const QByteArray &name)
{
    for (const QByteArray &pair : query.split('&')) {
        const qsizetype equals = pair.indexOf('=');
        const QByteArray key = QByteArray(pair.left(equals < 0 ? pair.size() : equals)).replace('+', ' ');
        if (decoded(key) == QString::fromLatin1(name))
            return equals < 0 ? QString() : decoded(pair.mid(equals + 1).replace('+', ' '));
    }
    return {};
}

// Rows of a data file: tab-separated pairs, escaped for a page.
QList<std::pair<QString, QString>> pairs(const QString &name)
{
    QList<std::pair<QString, QString>> rows;
    for (const QByteArray &line : resource(name).split('\n')) {
        const QList<QByteArray> cells = line.split('\t');
        if (cells.size() == 2)
            rows.append({escaped(QString::fromUtf8(cells[0])), escaped(QString::fromUtf8(cells[1]))});
    }
    return rows;
}

QString vocabulary()
{
    QString rows;
    for (const auto &[german, english] : pairs(u"wortschatz.tsv"_s))
        rows += u"<tr><td>"_s + german + u"</td><td>"_s + english + u"</td></tr>"_s;
    return html(u"Wortschatz für die Reise"_s, u"<table><tr><th>Deutsch</th><th>Englisch</th></tr>"_s + rows
                                                   + u"</table>"_s);
}

QString links()
{
    QString items;
    for (const auto &[address, text] : pairs(u"links.tsv"_s))
        items += u"<li><a href=\""_s + address + u"\">"_s + text + u"</a></li>"_s;
    return html(u"Nützliche Weblinks"_s, u"<ul>"_s + items + u"</ul>"_s);
}

QString translation(const QByteArray &query)
{
    const QString direction = field(query, "dir");
    const QString named = direction == u"eng"_s ? u"Deutsch → Englisch"_s
                        : direction == u"ger"_s ? u"Englisch → Deutsch"_s
                                                : u"unbekannt"_s;
    return html(u"Übersetzung"_s, u"<p>Richtung: "_s + escaped(named) + u"</p>"_s + echo(u"Text"_s, field(query, "txt")));
}

QString portal(const QString &title, const QByteArray &query)
{
    return html(title, u"<p>Preisvergleich der Anbieter (Platzhalterseite).</p>"_s
                           + echo(u"Aufruf"_s, decoded(query)));
}

using Page = std::function<QString(const QByteArray &query)>;

const QHash<QString, Page> &pages()
{
    static const QHash<QString, Page> table = [] {
        const Page banner = [](const QByteArray &) { return QString::fromUtf8(resource(u"banner.html"_s)); };
        const auto echoing = [](const QString &title, const QString &label) {
            return Page([title, label](const QByteArray &query) { return html(title, echo(label, decoded(query))); });
        };
        const auto portalPage = [](const QString &title) {
            return Page([title](const QByteArray &query) { return portal(title, query); });
        };
        return QHash<QString, Page>{
            {u"/"_s, [](const QByteArray &) {
                 return html(u"Kartavio"_s, u"<p>Die Startseite von Kartavio: Werkzeuge für Ihre Reise in die USA.</p>"_s);
             }},
            {u"/_tools"_s, banner},
            {u"/_tools/"_s, banner},
            {u"/_tools/wortschatz"_s, [](const QByteArray &) { return vocabulary(); }},
            {u"/_tools/links"_s, [](const QByteArray &) { return links(); }},
            {u"/_tools/tankstelle.cgi"_s,
             echoing(u"Günstigste Tankstelle"_s, u"Tankstellen in der Nähe der Postleitzahl"_s)},
            {u"/_tools/trans.cgi"_s, translation},
            {u"/_tools/ptrans.cgi"_s, echoing(u"Öffentlicher Nahverkehr"_s, u"Verbindungen im Staat"_s)},
            {u"/_tools/red.cgi"_s, echoing(u"Weiterleitung"_s, u"Weiterleitung Nummer"_s)},
            {u"/mietwagen"_s, portalPage(u"Mietwagen-Preisvergleich"_s)},
            {u"/flug-preisvergleich"_s, portalPage(u"Flug-Preisvergleich"_s)},
            {u"/hotels"_s, portalPage(u"Hotel-Preisvergleich"_s)},
        };
    }();
    return table;
}

} // namespace

QByteArray rateLine(const QByteArray &rate, const QByteArray &stand)
{
    return rate + '|' + stand + '|';
}

QByteArray chartGif()
{
    return resource(u"eurchart.gif"_s);
}

HttpServer::Reply page(const QString &target)
{
    const qsizetype question = target.indexOf(u'?');
    const QString path = target.left(question < 0 ? target.size() : question);
    const QByteArray query = question < 0 ? QByteArray() : target.mid(question + 1).toLatin1();
    const auto found = pages().constFind(path);
    if (found == pages().cend())
        return {404, html(u"Seite nicht gefunden"_s, u"<p>Diese Seite gibt es nicht.</p>"_s).toUtf8(),
                "text/html; charset=utf-8", Delivery::Whole, true, noStore};
    return {200, (*found)(query).toUtf8(), "text/html; charset=utf-8", Delivery::Whole, true, noStore};
}

void serveSite(HttpServer &server, const Service &service)
{
    server.setHandler([service](const QString &target) {
        const QString path = target.section(u'?', 0, 0);
        HttpServer::Reply reply = path == ratePath ? service.rate
            : path == chartPath                    ? service.chart
            : path == dailyPath                    ? service.daily
            : path == historyPath                  ? service.history
                                                   : page(target);
        if (!reply.headers.contains(noStore))
            reply.headers += noStore;
        return reply;
    });
}

} // namespace StandIn
