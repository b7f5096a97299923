#!/usr/bin/env python3
"""Local stand-in for the three Kartavio hosts: product site, price
comparison portal and rate service, all on one address (127.0.0.1:PORT).

Start the program with KARTAVIO_SITE_HOST, KARTAVIO_PORTAL_HOST and
KARTAVIO_SERVICE_HOST set to 127.0.0.1:PORT to use it.

    python3 tools/standin_site.py [--port 8080] [--rate 1.0850] [--stand 05.12.2026]
                                  [--fault MODE]

The first line on stdout is "PORT <n>" (useful with --port 0, which picks a
free port); stderr says where the site listens, then logs every request as
"METHOD PATH STATUS".
Python 3 and Pillow (Debian: python3-pil), which draws the chart.

--fault makes the rate service (eur.cgi and eurchart.gif) misbehave, to try
the program against a broken or hostile host; the pages stay as they are:
  silent     reads the request and never answers
  slow       sends the head, then the body one byte every 200 ms (the rate
             line padded with blanks, so either answer takes minutes)
  cut        declares the full length, sends half the body, closes
  500        status 500, with a well-formed rate line or chart as body
  garbage    status 200 and 1 MB of random bytes
  rate0, rate-1, ratenan, rate1e400
             a rate line with that rate (0, -1, nan, 1e400)
  notgif     a good rate line, but the chart is not a GIF
  richstand  a rate line whose stand text is markup: a picture of /dev/zero,
             a large red span and 40 nested tables
  jpegbomb   a good rate line, but the chart is a progressive JPEG of
             5700 x 5700 pixels in 39,560 tiny scans (minutes to decode)
"""

import argparse
import datetime
import html
import io
import math
import os
import select
import struct
import sys
import time
import urllib.parse
from http.server import BaseHTTPRequestHandler, ThreadingHTTPServer

try:
    from PIL import Image, ImageDraw, ImageFont
except ImportError:
    # Debian's python3-pil belongs to the system's Python; a python3 found
    # first on PATH (a version manager's, say) may lack it.
    SYSTEM_PYTHON = "/usr/bin/python3"
    if os.path.exists(SYSTEM_PYTHON) and os.path.realpath(sys.executable) != os.path.realpath(SYSTEM_PYTHON):
        os.execv(SYSTEM_PYTHON, [SYSTEM_PYTHON] + sys.argv)
    sys.exit("standin_site.py needs Pillow (Debian: python3-pil)")

# -------------------------------------------------------------------- chart

CHART_WIDTH = 465
CHART_HEIGHT = 249

WHITE, BLACK, GRID, LINE, LABEL, FILL = range(6)
PALETTE = [
    (255, 255, 255),  # background
    (0, 0, 0),        # frame
    (221, 221, 221),  # grid
    (0, 51, 170),     # rate line
    (90, 90, 90),     # labels
    (214, 226, 255),  # area below the line
]


def rate_series(count=91):
    """A made-up but fixed course of the rate: two waves and a little noise."""
    seed = 20261205
    values = []
    for i in range(count):
        seed = (seed * 1103515245 + 12345) % 2**31
        noise = (seed / 2**31 - 0.5) * 0.006
        values.append(1.10 + 0.035 * math.sin(i / 14.0) + 0.012 * math.sin(i / 3.1 + 1.0) + noise)
    return values


def draw_chart():
    """The course of the last 90 days as a GIF, the same bytes every time."""
    image = Image.new("P", (CHART_WIDTH, CHART_HEIGHT), WHITE)
    image.putpalette([channel for colour in PALETTE for channel in colour])
    draw = ImageDraw.Draw(image)
    font = ImageFont.load_default()  # Pillow's own pixel font: no font file needed

    def write(x, y, text, colour, shift):
        """Writes `text` moved left by `shift` times its width."""
        draw.text((x - round(shift * draw.textlength(text, font=font)), y), text, fill=colour, font=font)

    values = rate_series()
    left, right, top, bottom = 44, CHART_WIDTH - 12, 26, CHART_HEIGHT - 22
    step = 0.02
    low = math.floor(min(values) / step) * step
    high = math.ceil(max(values) / step) * step

    def y_of(value):
        return round(bottom - (value - low) / (high - low) * (bottom - top))

    def x_of(i):
        return round(left + i * (right - left) / (len(values) - 1))

    # Area below the line, then grid, then the line on top.
    line = [(x_of(i), y_of(value)) for i, value in enumerate(values)]
    draw.polygon(line + [(right, bottom), (left, bottom)], fill=FILL)
    for k in range(round((high - low) / step) + 1):
        value = low + k * step
        draw.line([(left, y_of(value)), (right, y_of(value))], fill=GRID)
        write(left - 6, y_of(value) - 5, f"{value:.2f}".replace(".", ","), LABEL, 1)
    for day in range(0, len(values), 15):
        draw.line([(x_of(day), top), (x_of(day), bottom)], fill=GRID)
        # Days before today.
        write(x_of(day), bottom + 6, str(day - (len(values) - 1)), LABEL, 0.5)
    draw.line(line, fill=LINE, width=2)
    draw.rectangle([left, top, right, bottom], outline=BLACK)
    write(CHART_WIDTH // 2, 8, "EUR / USD   90 TAGE", BLACK, 0.5)
    out = io.BytesIO()
    image.info["version"] = b"89a"
    image.save(out, "GIF")
    return out.getvalue()


# ------------------------------------------------------------------- pages

STYLE = ("body{font-family:Arial,Helvetica,sans-serif;font-size:13px;color:#222;margin:12px}"
         "h1{font-size:16px;color:#003399}table{border-collapse:collapse}"
         "td,th{border:1px solid #ccc;padding:2px 6px;text-align:left}th{background:#e8eeff}")


def page(title, body):
    return ("<!DOCTYPE html>\n<html lang=\"de\"><head><meta charset=\"utf-8\">"
            f"<title>{html.escape(title)}</title><style>{STYLE}</style></head>"
            f"<body><h1>{html.escape(title)}</h1>{body}</body></html>\n")


BANNER = """<!DOCTYPE html>
<html lang="de"><head><meta charset="utf-8"><title>Kartavio</title>
<style>
html,body{margin:0;padding:0;overflow:hidden;width:633px;height:105px}
div{box-sizing:border-box;width:633px;height:105px;padding:14px 20px;
background:linear-gradient(90deg,#003399,#3366cc);color:#fff;font-family:Arial,Helvetica,sans-serif}
b{display:block;font-size:22px;margin-bottom:6px}
span{font-size:13px}
</style></head>
<body><div><b>Kartavio &ndash; Ihr Werkzeugkasten f&uuml;r die USA-Reise</b>
<span>W&auml;hrung, Benzin, Einheiten, Zoll und Trinkgeld: alles auf einen Blick.</span></div></body></html>
"""

VOCABULARY = [
    ("Guten Tag", "Hello / Good afternoon"),
    ("Danke", "Thank you"),
    ("Bitte", "Please / You're welcome"),
    ("Entschuldigung", "Excuse me / Sorry"),
    ("Wie viel kostet das?", "How much is this?"),
    ("Die Rechnung, bitte.", "The check, please."),
    ("Trinkgeld", "Tip"),
    ("Tankstelle", "Gas station"),
    ("Benzin", "Gas / Gasoline"),
    ("Volltanken, bitte.", "Fill it up, please."),
    ("Mietwagen", "Rental car"),
    ("Führerschein", "Driver's license"),
    ("Ausfahrt", "Exit"),
    ("Vorfahrt gewähren", "Yield"),
    ("Flughafen", "Airport"),
    ("Reisepass", "Passport"),
    ("Zoll", "Customs"),
    ("Gepäck", "Baggage / Luggage"),
    ("Hotelzimmer", "Hotel room"),
    ("Ich habe reserviert.", "I have a reservation."),
    ("Frühstück", "Breakfast"),
    ("Apotheke", "Pharmacy / Drugstore"),
    ("Arzt", "Doctor"),
    ("Notruf", "Emergency call (911)"),
    ("Bahnhof", "Train station"),
    ("Fahrkarte", "Ticket"),
    ("Bürgersteig", "Sidewalk"),
    ("Erdgeschoss", "First floor"),
    ("Aufzug", "Elevator"),
    ("Toilette", "Restroom"),
]

LINKS = [
    ("https://www.auswaertiges-amt.de/de/service/laender/usa-node",
     "Auswärtiges Amt: Reise- und Sicherheitshinweise USA"),
    ("https://esta.cbp.dhs.gov", "ESTA: Reisegenehmigung für die Einreise"),
    ("https://de.usembassy.gov", "US-Botschaft und Konsulate in Deutschland"),
    ("https://www.zoll.de", "Deutscher Zoll: Reisen und Freimengen"),
    ("https://www.tsa.gov", "TSA: Sicherheitskontrollen an US-Flughäfen"),
    ("https://www.nps.gov", "National Park Service: Nationalparks"),
    ("https://www.amtrak.com", "Amtrak: Zugverbindungen"),
    ("https://www.weather.gov", "National Weather Service: Wetter"),
]


def vocabulary_page():
    rows = "".join(f"<tr><td>{html.escape(de)}</td><td>{html.escape(en)}</td></tr>" for de, en in VOCABULARY)
    return page("Wortschatz für die Reise",
                f"<table><tr><th>Deutsch</th><th>Englisch</th></tr>{rows}</table>")


def links_page():
    items = "".join(f'<li><a href="{html.escape(url)}">{html.escape(text)}</a></li>' for url, text in LINKS)
    return page("Nützliche Weblinks", f"<ul>{items}</ul>")


def echo(label, value):
    return f'<p>{html.escape(label)}:</p><pre style="white-space:pre-wrap">{html.escape(value)}</pre>'


def bare_query(query):
    return urllib.parse.unquote(query, errors="replace")


def field(query, name):
    for key, value in urllib.parse.parse_qsl(query, keep_blank_values=True, errors="replace"):
        if key == name:
            return value
    return ""


def home_page(query):
    return page("Kartavio", "<p>Die Startseite von Kartavio: Werkzeuge für Ihre Reise in die USA.</p>")


def gas_page(query):
    return page("Günstigste Tankstelle", echo("Tankstellen in der Nähe der Postleitzahl", bare_query(query)))


def translate_page(query):
    direction = {"eng": "Deutsch → Englisch", "ger": "Englisch → Deutsch"}.get(field(query, "dir"), "unbekannt")
    return page("Übersetzung", f"<p>Richtung: {html.escape(direction)}</p>" + echo("Text", field(query, "txt")))


def transport_page(query):
    return page("Öffentlicher Nahverkehr", echo("Verbindungen im Staat", bare_query(query)))


def redirect_page(query):
    return page("Weiterleitung", echo("Weiterleitung Nummer", bare_query(query)))


def portal(title):
    return lambda query: page(title, "<p>Preisvergleich der Anbieter (Platzhalterseite).</p>"
                                     + echo("Aufruf", bare_query(query)))


PAGES = {
    "/": home_page,
    "/_tools": lambda query: BANNER,
    "/_tools/": lambda query: BANNER,
    "/_tools/wortschatz": lambda query: vocabulary_page(),
    "/_tools/links": lambda query: links_page(),
    "/_tools/tankstelle.cgi": gas_page,
    "/_tools/trans.cgi": translate_page,
    "/_tools/ptrans.cgi": transport_page,
    "/_tools/red.cgi": redirect_page,
    "/mietwagen": portal("Mietwagen-Preisvergleich"),
    "/flug-preisvergleich": portal("Flug-Preisvergleich"),
    "/hotels": portal("Hotel-Preisvergleich"),
}


# ------------------------------------------------------------------ faults

FAULTS = ["silent", "slow", "cut", "500", "garbage", "rate0", "rate-1", "ratenan", "rate1e400", "notgif",
          "richstand", "jpegbomb"]
BAD_RATES = {"rate0": "0", "rate-1": "-1", "ratenan": "nan", "rate1e400": "1e400"}
SLOW_INTERVAL = 0.2  # seconds per byte
SLOW_RATE_PADDING = 1000  # blanks after the rate line's last field
GARBAGE_SIZE = 1024 * 1024
NOT_A_GIF = page("Fehler", "<p>Das Diagramm ist gerade nicht verfügbar.</p>").encode("utf-8")
RICH_STAND = (b'<img src="/dev/zero"><span style="font-size:72pt;color:red">Stand</span>'
              + b"<table><tr><td>" * 40)


def jpeg_bomb(side=5700, scans=39560):
    """A progressive grey JPEG: the usual header segments, then `scans` scans
    of the DC coefficients with one data byte each; every scan makes a
    decoder walk all blocks of the picture again."""
    def segment(marker, payload):
        return b"\xff" + bytes([marker]) + struct.pack(">H", len(payload) + 2) + payload

    table = b"\x01" + b"\x00" * 15 + b"\x00"  # one one-bit code, for symbol 0
    out = b"\xff\xd8" + segment(0xDB, b"\x00" + b"\x01" * 64)
    out += segment(0xC2, b"\x08" + struct.pack(">HH", side, side) + b"\x01\x01\x11\x00")
    out += segment(0xC4, b"\x00" + table) + segment(0xC4, b"\x10" + table)
    out += (segment(0xDA, b"\x01\x01\x00\x00\x00\x00") + b"\x00") * scans
    return out + b"\xff\xd9"


def service_fault_reply(fault, path, rate_reply, chart):
    """(status, content type, body) of a service address under a fault that
    still sends a whole answer; None for the faults of the connection."""
    is_rate = path.endswith("eur.cgi")
    good = (200, "text/plain; charset=utf-8", rate_reply) if is_rate else (200, "image/gif", chart)
    if fault in BAD_RATES:
        if not is_rate:
            return good
        stand_and_rest = rate_reply.split(b"|", 1)[1]
        return 200, good[1], BAD_RATES[fault].encode("ascii") + b"|" + stand_and_rest
    if fault == "notgif":
        return good if is_rate else (200, "image/gif", NOT_A_GIF)
    if fault == "richstand":
        return (200, good[1], rate_reply.split(b"|", 1)[0] + b"|" + RICH_STAND + b"|") if is_rate else good
    if fault == "jpegbomb":
        return good if is_rate else (200, "image/gif", jpeg_bomb())
    if fault == "500":
        return (500,) + good[1:]  # a well-formed body: only the status is wrong
    if fault == "garbage":
        return 200, "application/octet-stream", os.urandom(GARBAGE_SIZE)
    return None


class Handler(BaseHTTPRequestHandler):
    server_version = "KartavioStandIn/1.0"
    rate_reply = b""
    chart = b""
    fault = None

    def do_GET(self):
        self.answer(with_body=True)

    def do_HEAD(self):
        self.answer(with_body=False)

    def answer(self, with_body):
        path, _, query = self.path.partition("?")
        if self.fault and path in ("/kartavio/_tools/eur.cgi", "/kartavio/_tools/eurchart.gif"):
            self.answer_with_fault(path, with_body)
        elif path == "/kartavio/_tools/eur.cgi":
            self.send(200, "text/plain; charset=utf-8", self.rate_reply, with_body)
        elif path == "/kartavio/_tools/eurchart.gif":
            self.send(200, "image/gif", self.chart, with_body)
        elif path in PAGES:
            self.send(200, "text/html; charset=utf-8", PAGES[path](query).encode("utf-8"), with_body)
        else:
            body = page("Seite nicht gefunden", "<p>Diese Seite gibt es nicht.</p>").encode("utf-8")
            self.send(404, "text/html; charset=utf-8", body, with_body)

    def answer_with_fault(self, path, with_body):
        good = self.rate_reply if path.endswith("eur.cgi") else self.chart
        good_type = "text/plain; charset=utf-8" if path.endswith("eur.cgi") else "image/gif"
        try:
            if self.fault == "silent":
                self.log_request("-")
                self.wait_for_close()
            elif self.fault == "slow":
                self.log_request(200)
                if path.endswith("eur.cgi"):
                    good += b" " * SLOW_RATE_PADDING
                self.wfile.write(self.head(200, good_type, len(good)))
                if with_body:
                    self.dribble(good)
            elif self.fault == "cut":
                self.log_request(200)
                self.wfile.write(self.head(200, good_type, len(good)))
                if with_body:
                    self.wfile.write(good[:len(good) // 2])
                self.wfile.flush()
                self.close_connection = True
            else:
                self.send(*service_fault_reply(self.fault, path, self.rate_reply, self.chart), with_body)
        except (BrokenPipeError, ConnectionResetError):
            self.close_connection = True  # the client gave up: fine

    def head(self, status, content_type, length):
        return (f"HTTP/1.0 {status} {self.responses.get(status, ('',))[0]}\r\n"
                f"Content-Type: {content_type}\r\nContent-Length: {length}\r\n"
                "Cache-Control: no-store\r\nConnection: close\r\n\r\n").encode("latin-1")

    def dribble(self, data):
        for i in range(len(data)):
            self.wfile.write(data[i:i + 1])
            self.wfile.flush()
            if self.peer_closed(SLOW_INTERVAL):
                break
        self.close_connection = True

    def peer_closed(self, timeout):
        """Waits up to `timeout` seconds; True once the client has hung up."""
        readable, _, _ = select.select([self.connection], [], [], timeout)
        if not readable:
            return False
        try:
            return self.connection.recv(4096) == b""
        except OSError:
            return True

    def wait_for_close(self):
        while not self.peer_closed(None):
            pass
        self.close_connection = True

    def send(self, status, content_type, body, with_body):
        self.send_response(status)
        self.send_header("Content-Type", content_type)
        self.send_header("Content-Length", str(len(body)))
        self.send_header("Cache-Control", "no-store")
        self.end_headers()
        if with_body:
            self.wfile.write(body)

    def log_request(self, code="-", size="-"):
        status = code.value if hasattr(code, "value") else code
        sys.stderr.write(f"{self.command} {self.path} {status}\n")
        sys.stderr.flush()

    def log_message(self, format, *args):
        pass


class Server(ThreadingHTTPServer):
    daemon_threads = True

    def handle_error(self, request, client_address):
        # A page view closed while loading (the program ended) hangs up on
        # its requests: no fault of the site, and no trace on the terminal.
        if isinstance(sys.exc_info()[1], (BrokenPipeError, ConnectionResetError)):
            return
        super().handle_error(request, client_address)


def main():
    parser = argparse.ArgumentParser(description="Local stand-in for the Kartavio hosts.")
    parser.add_argument("--port", type=int, default=8080, help="port on 127.0.0.1; 0 picks a free one")
    parser.add_argument("--rate", default="1.0850", help="US dollars per euro, with a decimal point")
    parser.add_argument("--stand", default=datetime.date.today().strftime("%d.%m.%Y"),
                        help="the rate's date as shown after 'Stand:' (default: today, dd.mm.yyyy)")
    parser.add_argument("--fault", choices=FAULTS,
                        help="make the rate service misbehave (see the top of this file)")
    args = parser.parse_args()
    try:
        float(args.rate)
    except ValueError:
        parser.error("--rate must be a number with a decimal point, e.g. 1.0850")
    if any(c in args.rate + args.stand for c in "|\r\n") or "***" in args.stand:
        parser.error("--rate and --stand must not hold '|', '***' or line breaks")

    Handler.rate_reply = f"{args.rate}|{args.stand}|".encode("utf-8")
    Handler.chart = draw_chart()
    Handler.fault = args.fault

    server = Server(("127.0.0.1", args.port), Handler)
    port = server.server_address[1]
    print(f"PORT {port}", flush=True)
    sys.stderr.write(f"Stand-in site listening on http://127.0.0.1:{port}/\n")
    sys.stderr.flush()
    try:
        server.serve_forever()
    except KeyboardInterrupt:
        pass
    finally:
        server.server_close()


if __name__ == "__main__":
    main()
