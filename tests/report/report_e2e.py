#!/usr/bin/env python3
"""The report of the bundled example in headless Chromium: its SVG is well-formed XML, the red
circles are where the references are, and clicking a missing row moves the view onto it.

Usage: report_e2e.py PIKROTTA_CLI REPO_ROOT"""
import os
import re
import struct
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ET
import zlib


def read_png(path):
    """Width, height and rows of RGB(A) tuples of an 8-bit, non-interlaced PNG."""
    with open(path, "rb") as f:
        data = f.read()
    assert data[:8] == b"\x89PNG\r\n\x1a\n", "not a PNG"
    pos, idat = 8, b""
    while pos < len(data):
        length, kind = struct.unpack(">I4s", data[pos:pos + 8])
        body = data[pos + 8:pos + 8 + length]
        if kind == b"IHDR":
            width, height, depth, colour, _, _, interlace = struct.unpack(">IIBBBBB", body)
            assert depth == 8 and interlace == 0 and colour in (2, 6), "unexpected PNG format"
        elif kind == b"IDAT":
            idat += body
        pos += 12 + length
    channels = 4 if colour == 6 else 3
    raw = zlib.decompress(idat)
    stride = width * channels
    rows, previous = [], bytearray(stride)
    for y in range(height):
        kind = raw[y * (stride + 1)]
        line = bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
        for i in range(stride):
            left = line[i - channels] if i >= channels else 0
            up = previous[i]
            up_left = previous[i - channels] if i >= channels else 0
            if kind == 1:
                line[i] = (line[i] + left) & 0xFF
            elif kind == 2:
                line[i] = (line[i] + up) & 0xFF
            elif kind == 3:
                line[i] = (line[i] + (left + up) // 2) & 0xFF
            elif kind == 4:
                p = left + up - up_left
                pa, pb, pc = abs(p - left), abs(p - up), abs(p - up_left)
                line[i] = (line[i] + (left if pa <= pb and pa <= pc else up if pb <= pc else up_left)) & 0xFF
        rows.append(line)
        previous = line
    return width, height, rows, channels


def is_red(image, x, y):
    width, height, rows, channels = image
    if not (0 <= x < width and 0 <= y < height):
        return False
    r, g, b = rows[y][x * channels:x * channels + 3]
    return r > 200 and g < 80 and b < 80


def ring_is_red(image, cx, cy, radius):
    """Red found near at least 10 of 12 points of the ring."""
    hits = 0
    for k in range(12):
        angle = k * 3.14159265 / 6
        import math
        x, y = cx + radius * math.cos(angle), cy + radius * math.sin(angle)
        if any(is_red(image, round(x) + dx, round(y) + dy) for dx in (-2, -1, 0, 1, 2)
               for dy in (-2, -1, 0, 1, 2)):
            hits += 1
    return hits >= 10


def screenshot(html, png, fragment=""):
    with tempfile.TemporaryDirectory() as profile:
        subprocess.run(["chromium", "--headless", "--no-sandbox", "--disable-gpu", "--disable-quic",
                        "--no-first-run", "--disable-background-networking",
                        "--disable-component-update", "--disable-sync", "--hide-scrollbars",
                        "--user-data-dir=" + profile, "--window-size=1200,1000",
                        "--screenshot=" + png, "file://" + html + fragment],
                       check=True, capture_output=True, timeout=120)
    return read_png(png)


# Added to a copy of the page: after it loaded, each thumbnail's state and natural size.
THUMBNAIL_CHECK = """<script>
window.addEventListener('load', function () {
  var out = [];
  document.querySelectorAll('td.thumb img').forEach(function (i) {
    out.push(i.complete + ' ' + i.naturalWidth + ' ' + i.naturalHeight);
  });
  var pre = document.createElement('pre');
  pre.id = 'thumbnails';
  pre.textContent = out.join(';');
  document.body.appendChild(pre);
});
</script>"""


def loaded_dom(html):
    with tempfile.TemporaryDirectory() as profile:
        done = subprocess.run(["chromium", "--headless", "--no-sandbox", "--disable-gpu",
                               "--no-first-run", "--disable-background-networking",
                               "--user-data-dir=" + profile, "--virtual-time-budget=10000",
                               "--dump-dom", "file://" + html],
                              check=True, capture_output=True, timeout=120, text=True)
    return done.stdout


def is_green(image, x, y):
    width, height, rows, channels = image
    r, g, b = rows[y][x * channels:x * channels + 3]
    return g > r + 30 and g > b + 30


def main():
    cli, root = sys.argv[1], sys.argv[2]
    failures = []
    with tempfile.TemporaryDirectory() as work:
        html = os.path.join(work, "report.html")
        subprocess.run(["bash", os.path.join(root, "tools", "demo-report.sh"), html],
                       check=True, env=dict(os.environ, PIKROTTA_CLI=cli), capture_output=True)
        page = open(html, encoding="utf-8").read()
        svg = page[page.index("<svg"):page.index("</svg>") + 6]
        ET.fromstring(svg)  # raises on anything that is not well-formed
        for name in ("path", "polyline", "polygon", "rect", "text", "pattern"):
            if "<" + name + " " not in svg:
                failures.append("the demo's picture has no " + name)
        refs = [(m.group(1) == " bad", int(m.group(2)), int(m.group(3))) for m in
                re.finditer(r'<tr class="ref( bad)?" data-px="(-?\d+)" data-py="(-?\d+)"', page)]
        if len(refs) != 7:
            failures.append("expected 7 rows, found %d" % len(refs))
        # The diagnosis beside the rows: the replaced photo, and where the %TEMP% one went.
        if "has another aspect than its placement (60:40)" not in page:
            failures.append("the site photo's aspect finding is not on the page")
        if 'C:\\JWW\\pikrotta demo\\photos\\jwtmp0002.jpg</td><td class="thumb">' not in page:
            failures.append("the %TEMP% row's candidate is not on the page")

        # A thumbnail beside each found picture, decoded by the browser, at most 160 pixels;
        # the empty file says why it has none.
        checked = os.path.join(work, "checked.html")
        with open(checked, "w", encoding="utf-8") as f:
            f.write(page.replace("</body>", THUMBNAIL_CHECK + "</body>"))
        states = re.search(r'<pre id="thumbnails">(.*?)</pre>', loaded_dom(checked))
        thumbnails = [t.split() for t in states.group(1).split(";")] if states else []
        if len(thumbnails) != 3:
            failures.append("expected 3 thumbnails, found %d" % len(thumbnails))
        for done, width, height in thumbnails:
            if done != "true" or not (0 < int(width) <= 160 and 0 < int(height) <= 160):
                failures.append("a thumbnail did not decode within 160 pixels: %s %s %s"
                                % (done, width, height))
        for reason in ("it is empty", "not found", "its path cannot be resolved"):
            if "no thumbnail: " + reason not in page:
                failures.append("no row says it has no thumbnail because " + reason)

        fitted = screenshot(html, os.path.join(work, "fitted.png"))
        for number, (_, px, py) in enumerate(refs, 1):
            if not ring_is_red(fitted, px, py, 10):
                failures.append("no red circle around row %d at (%d, %d)" % (number, px, py))

        missing = next(n for n, (bad, _, _) in enumerate(refs, 1) if bad)
        _, px, py = refs[missing - 1]
        clicked = screenshot(html, os.path.join(work, "clicked.png"), "#ref=%d" % missing)
        # Centred at four times the scale: the circle of 10 pixels is now 40 around the middle.
        if not ring_is_red(clicked, 600, 400, 40):
            failures.append("clicking row %d did not bring its reference to the middle" % missing)
        if ring_is_red(clicked, px, py, 10) and (px, py) != (600, 400):
            failures.append("the view did not move after clicking row %d" % missing)
        # With --images the site photo is drawn in its frame: green where its bottom is.
        pictured = os.path.join(work, "pictured.html")
        subprocess.run(["bash", os.path.join(root, "tools", "demo-report.sh"), pictured,
                        "--images"], check=True, env=dict(os.environ, PIKROTTA_CLI=cli),
                       capture_output=True)
        pictured_page = open(pictured, encoding="utf-8").read()
        pictured_svg = pictured_page[pictured_page.index("<svg"):pictured_page.index("</svg>") + 6]
        ET.fromstring(pictured_svg)
        if pictured_svg.count("<image ") != 3:
            failures.append("expected 3 pictures in their frames, found %d"
                            % pictured_svg.count("<image "))
        _, px, py = refs[0]
        with_pictures = screenshot(pictured, os.path.join(work, "pictured.png"))
        if not is_green(with_pictures, px + 16, py - 8):
            failures.append("the site photo is not drawn in its frame")
        if is_green(fitted, px + 16, py - 8):
            failures.append("the frame is green without --images")
        if os.environ.get("PIKROTTA_KEEP_SCREENSHOTS"):
            for name in ("fitted.png", "clicked.png", "pictured.png"):
                os.replace(os.path.join(work, name),
                           os.path.join(os.environ["PIKROTTA_KEEP_SCREENSHOTS"], name))
    for failure in failures:
        print("FAILED:", failure)
    print("%d passed, %d failed" % (1 if not failures else 0, 1 if failures else 0))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
