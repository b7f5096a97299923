#!/usr/bin/env python3
"""Draws the stand-in site's chart, the course of a made-up rate over the
last 90 days, as a GIF (the same bytes every time), into the file named as
the only argument. Needs Pillow (Debian: python3-pil); run by the build."""

import math
import os
import sys

try:
    from PIL import Image, ImageDraw, ImageFont
except ImportError:
    # Debian's python3-pil belongs to the system's Python; a python3 found
    # first on PATH (a version manager's, say) may lack it.
    SYSTEM_PYTHON = "/usr/bin/python3"
    if os.path.exists(SYSTEM_PYTHON) and os.path.realpath(sys.executable) != os.path.realpath(SYSTEM_PYTHON):
        os.execv(SYSTEM_PYTHON, [SYSTEM_PYTHON] + sys.argv)
    sys.exit("draw_chart.py needs Pillow (Debian: python3-pil)")

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
    image.info["version"] = b"89a"
    return image


if __name__ == "__main__":
    if len(sys.argv) != 2:
        sys.exit("usage: draw_chart.py OUTPUT.gif")
    # Written beside the target and renamed, so a cut run leaves no half file.
    partial = sys.argv[1] + ".part"
    draw_chart().save(partial, "GIF")
    os.replace(partial, sys.argv[1])
