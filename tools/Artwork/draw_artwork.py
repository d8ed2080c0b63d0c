#!/usr/bin/python3
"""Draws every bitmap and the icon of the add-on module into ie/res/art/.

Run it with Debian's Python and Pillow (python3-pil) and the DejaVu fonts
(fonts-dejavu-core), both installed by tools/setup.sh:

    /usr/bin/python3 tools/Artwork/draw_artwork.py

The output is committed; the build only compiles it into the module. It also
writes docs/screenshots/artwork.png, every picture enlarged on one sheet.

Conventions the code that shows these pictures relies on:
- Bitmaps are 24-bit, bottom-up BMP files (what windres embeds and LoadImage
  reads).
- Pictures drawn with a transparent colour take it from their top-left
  pixel; that corner is magenta (255, 0, 255) and magenta is never used
  inside a picture, so no hole appears where none is meant.
- Shapes are drawn four times larger and reduced, so their edges are smooth.
  Edge pixels that are mostly outside a shape become magenta; the others are
  blended with the grey of a toolbar or dialog, which is what they stand on.
"""

import os
import struct
import sys

from PIL import Image, ImageDraw, ImageFont

ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", ".."))
ART_DIR = os.path.join(ROOT, "ie", "res", "art")
SHEET = os.path.join(ROOT, "docs", "screenshots", "artwork.png")
FONT_DIR = "/usr/share/fonts/truetype/dejavu"

MAGENTA = (255, 0, 255)
BACKDROP = (236, 236, 236)   # what edge pixels are blended with
SCALE = 4                    # shapes are drawn this much larger, then reduced
ALPHA_INSIDE = 100           # an edge pixel at least this opaque is part of the picture

FACE_W, FACE_H = 90, 18      # one frame of the status button
ARROW_W = 11                 # the drop-down strip at the right of each frame


def font(name, size):
    return ImageFont.truetype(os.path.join(FONT_DIR, name + ".ttf"), size)


def lighten(colour, amount):
    return tuple(int(c + (255 - c) * amount) for c in colour[:3])


def darken(colour, amount):
    return tuple(int(c * (1 - amount)) for c in colour[:3])


# ---------------------------------------------------------------------------
# Drawing on a large canvas and reducing it.


class Canvas:
    """An RGBA layer drawn at SCALE times the final size."""

    def __init__(self, w, h):
        self.w, self.h = w, h
        self.image = Image.new("RGBA", (w * SCALE, h * SCALE), (0, 0, 0, 0))

    def _box(self, box):
        x0, y0, x1, y1 = box
        return [x0 * SCALE, y0 * SCALE, x1 * SCALE - 1, y1 * SCALE - 1]

    def paste_gradient(self, shape_mask, top, bottom):
        """Fills the mask with a vertical gradient from top to bottom colour."""
        w, h = self.image.size
        gradient = Image.new("RGBA", (1, h))
        for y in range(h):
            t = y / max(1, h - 1)
            gradient.putpixel((0, y), tuple(int(a + (b - a) * t) for a, b in zip(top, bottom)) + (255,))
        gradient = gradient.resize((w, h))
        self.image.paste(gradient, (0, 0), shape_mask)

    def mask(self):
        return Image.new("L", self.image.size, 0)

    def rounded_mask(self, box, radius):
        m = self.mask()
        ImageDraw.Draw(m).rounded_rectangle(self._box(box), radius=radius * SCALE, fill=255)
        return m

    def ellipse_mask(self, box):
        m = self.mask()
        ImageDraw.Draw(m).ellipse(self._box(box), fill=255)
        return m

    def fill(self, shape_mask, colour):
        layer = Image.new("RGBA", self.image.size, tuple(colour) + (255,))
        self.image.paste(layer, (0, 0), shape_mask)

    def ring(self, outer_mask, inner_mask, colour):
        """Fills the outer mask less the inner one: an outline of any shape."""
        from PIL import ImageChops
        self.fill(ImageChops.subtract(outer_mask, inner_mask), colour)

    def draw(self):
        return ImageDraw.Draw(self.image)

    def line(self, points, colour, width):
        pts = [(x * SCALE, y * SCALE) for x, y in points]
        d = self.draw()
        d.line(pts, fill=tuple(colour) + (255,), width=int(width * SCALE), joint="curve")
        r = width * SCALE / 2
        for x, y in pts:  # round caps
            d.ellipse([x - r, y - r, x + r, y + r], fill=tuple(colour) + (255,))

    def polygon(self, points, colour):
        self.draw().polygon([(x * SCALE, y * SCALE) for x, y in points], fill=tuple(colour) + (255,))

    def glyph(self, text, font_name, size, centre, colour):
        """A symbol drawn large (smooth, exactly centred) rather than hinted."""
        f = font(font_name, size * SCALE)
        d = self.draw()
        x0, y0, x1, y1 = d.textbbox((0, 0), text, font=f)
        cx, cy = centre[0] * SCALE, centre[1] * SCALE
        d.text((cx - (x0 + x1) / 2, cy - (y0 + y1) / 2), text, font=f, fill=tuple(colour) + (255,))

    def reduced(self):
        return self.image.resize((self.w, self.h), Image.LANCZOS)


def text_layer(size, text, font_name, font_size, origin, colour, centre_in=None):
    """Text drawn at its final size, so FreeType's hinting keeps it crisp."""
    layer = Image.new("RGBA", size, (0, 0, 0, 0))
    d = ImageDraw.Draw(layer)
    f = font(font_name, font_size)
    x, y = origin
    if centre_in is not None:
        bx0, by0, bx1, by1 = centre_in
        tx0, ty0, tx1, ty1 = d.textbbox((0, 0), text, font=f)
        x = bx0 + ((bx1 - bx0) - (tx1 - tx0)) // 2 - tx0
        y = by0 + ((by1 - by0) - (ty1 - ty0)) // 2 - ty0
    d.text((x, y), text, font=f, fill=tuple(colour) + (255,))
    return layer


def text_width(text, font_name, font_size):
    x0, _, x1, _ = font(font_name, font_size).getbbox(text)
    return x1 - x0


def flatten(rgba, backdrop=BACKDROP):
    """Turns an RGBA picture into RGB with magenta where nothing is drawn."""
    rgba = rgba.convert("RGBA")
    out = Image.new("RGB", rgba.size)
    src = rgba.load()
    dst = out.load()
    for y in range(rgba.size[1]):
        for x in range(rgba.size[0]):
            r, g, b, a = src[x, y]
            if a < ALPHA_INSIDE:
                dst[x, y] = MAGENTA
                continue
            t = a / 255.0
            pixel = tuple(int(round(c * t + k * (1 - t))) for c, k in zip((r, g, b), backdrop))
            if pixel == MAGENTA:  # never a hole inside the picture
                pixel = (254, 0, 255)
            dst[x, y] = pixel
    return out


def opaque(rgba, background):
    """Flattens onto a solid background: for pictures drawn without transparency."""
    out = Image.new("RGBA", rgba.size, tuple(background) + (255,))
    out.alpha_composite(rgba.convert("RGBA"))
    return out.convert("RGB")


def strip(frames):
    w, h = frames[0].size
    out = Image.new("RGB", (w * len(frames), h))
    for i, f in enumerate(frames):
        out.paste(f, (i * w, 0))
    return out


# ---------------------------------------------------------------------------
# Status button faces.

NORMAL, HOVER, PRESSED = range(3)

BADGES = {
    # name: (badge colour, symbol)
    "green": ((38, 150, 62), "tick"),
    "yellow": ((232, 160, 0), "!"),
    "red": ((206, 38, 38), "x"),
    "grey": ((128, 128, 128), "?"),
}


def face_body(canvas, state, dark):
    """The rounded button plate with its arrow strip."""
    if dark:
        tops = {NORMAL: (112, 112, 112), HOVER: (142, 142, 142), PRESSED: (58, 58, 58)}
        bottoms = {NORMAL: (72, 72, 72), HOVER: (100, 100, 100), PRESSED: (84, 84, 84)}
        border = {NORMAL: (44, 44, 44), HOVER: (60, 60, 60), PRESSED: (30, 30, 30)}[state]
        divider = (52, 52, 52) if state != HOVER else (70, 70, 70)
    else:
        tops = {NORMAL: (252, 252, 252), HOVER: (255, 255, 255), PRESSED: (196, 196, 196)}
        bottoms = {NORMAL: (214, 214, 214), HOVER: (232, 240, 250), PRESSED: (226, 226, 226)}
        border = {NORMAL: (128, 128, 128), HOVER: (92, 136, 196), PRESSED: (96, 96, 96)}[state]
        divider = (170, 170, 170) if state != HOVER else (150, 180, 220)
    box = (0, 0, FACE_W, FACE_H)
    outer = canvas.rounded_mask(box, 4)
    inner = canvas.rounded_mask((1, 1, FACE_W - 1, FACE_H - 1), 3)
    canvas.fill(outer, border)
    canvas.paste_gradient(inner, tops[state], bottoms[state])
    split = FACE_W - ARROW_W
    canvas.polygon([(split - 1, 2), (split, 2), (split, FACE_H - 2), (split - 1, FACE_H - 2)], divider)


def face_arrow(canvas, state, dark):
    shift = 1 if state == PRESSED else 0
    colour = (236, 236, 236) if dark else (40, 40, 40)
    cx = FACE_W - ARROW_W / 2 + shift
    cy = FACE_H / 2 + 1 + shift
    canvas.polygon([(cx - 3, cy - 2), (cx + 3, cy - 2), (cx, cy + 1.5)], colour)


def badge(canvas, colour, symbol, state, shift):
    """A round coloured badge with a white symbol, 14 pixels across."""
    if state == HOVER:
        colour = lighten(colour, 0.18)
    elif state == PRESSED:
        colour = darken(colour, 0.15)
    x0, y0 = 2 + shift, 2 + shift
    box = (x0, y0, x0 + 14, y0 + 14)
    rim = canvas.ellipse_mask(box)
    disc = canvas.ellipse_mask((x0 + 1, y0 + 1, x0 + 13, y0 + 13))
    canvas.fill(rim, darken(colour, 0.35))
    canvas.paste_gradient(disc, lighten(colour, 0.25), darken(colour, 0.08))
    cx, cy = x0 + 7, y0 + 7
    white = (255, 255, 255)
    if symbol == "tick":
        canvas.line([(cx - 3.6, cy + 0.2), (cx - 1.0, cy + 2.8), (cx + 3.6, cy - 2.6)], white, 1.9)
    elif symbol == "x":
        canvas.line([(cx - 2.9, cy - 2.9), (cx + 2.9, cy + 2.9)], white, 1.9)
        canvas.line([(cx - 2.9, cy + 2.9), (cx + 2.9, cy - 2.9)], white, 1.9)
    elif symbol == "!":
        canvas.line([(cx, cy - 3.6), (cx, cy + 0.9)], white, 2.0)
        canvas.line([(cx, cy + 3.5), (cx, cy + 3.5)], white, 2.0)
    elif symbol == "?":
        canvas.glyph("?", "DejaVuSans-Bold", 11, (cx + 0.2, cy + 0.2), white)
    elif symbol == "unavailable":
        # A prohibition sign: ratings cannot be had.
        ring_outer = canvas.ellipse_mask((cx - 5, cy - 5, cx + 5, cy + 5))
        ring_inner = canvas.ellipse_mask((cx - 3.4, cy - 3.4, cx + 3.4, cy + 3.4))
        canvas.ring(ring_outer, ring_inner, white)
        canvas.line([(cx - 2.9, cy + 2.9), (cx + 2.9, cy - 2.9)], white, 1.6)


def product_name(size, origin, state, dark, font_size=12):
    shift = 1 if state == PRESSED else 0
    colour = (240, 240, 240) if dark else (28, 28, 28)
    return text_layer(size, "Quillon", "DejaVuSans-Bold", font_size,
                      (origin + shift, 0), colour,
                      centre_in=(origin + shift, shift, FACE_W - ARROW_W - 1 + shift, FACE_H + shift))


def compose(canvas, *layers):
    picture = canvas.reduced()
    for layer in layers:
        picture.alpha_composite(layer)
    return picture


def colour_face(name, state):
    colour, symbol = BADGES[name]
    c = Canvas(FACE_W, FACE_H)
    face_body(c, state, dark=False)
    badge(c, colour, symbol, state, 1 if state == PRESSED else 0)
    face_arrow(c, state, dark=False)
    return flatten(compose(c, product_name((FACE_W, FACE_H), 21, state, dark=False)))


def off_face(state):
    """Dark grey plate reading "OFF" in a tag beside the product name."""
    shift = 1 if state == PRESSED else 0
    c = Canvas(FACE_W, FACE_H)
    face_body(c, state, dark=True)
    tag = (2 + shift, 3 + shift, 25 + shift, 15 + shift)
    c.fill(c.rounded_mask(tag, 3), (208, 208, 208) if state != PRESSED else (176, 176, 176))
    label = text_layer((FACE_W, FACE_H), "OFF", "DejaVuSansCondensed-Bold", 9, (0, 0),
                       (48, 48, 48), centre_in=(tag[0], tag[1], tag[2] + 1, tag[3] + 1))
    face_arrow(c, state, dark=True)
    return flatten(compose(c, label, product_name((FACE_W, FACE_H), 27, state, dark=True, font_size=11)))


def service_down_face(state):
    """A darkened face whose badge carries a prohibition sign."""
    c = Canvas(FACE_W, FACE_H)
    face_body(c, state, dark=True)
    badge(c, (176, 52, 52), "unavailable", state, 1 if state == PRESSED else 0)
    face_arrow(c, state, dark=True)
    return flatten(compose(c, product_name((FACE_W, FACE_H), 21, state, dark=True)))


def wait_face():
    """One frame: a quiet plate with an hourglass reading "WAIT"."""
    c = Canvas(FACE_W, FACE_H)
    face_body(c, NORMAL, dark=False)
    x0, y0 = 2, 2
    c.fill(c.ellipse_mask((x0, y0, x0 + 14, y0 + 14)), (60, 104, 170))
    c.paste_gradient(c.ellipse_mask((x0 + 1, y0 + 1, x0 + 13, y0 + 13)), (120, 164, 226), (70, 120, 190))
    cx, cy = x0 + 7, y0 + 7
    white = (255, 255, 255)
    c.line([(cx - 3, cy - 4), (cx + 3, cy - 4)], white, 1.2)
    c.line([(cx - 3, cy + 4), (cx + 3, cy + 4)], white, 1.2)
    c.polygon([(cx - 2.6, cy - 3.6), (cx + 2.6, cy - 3.6), (cx + 0.5, cy), (cx + 2.6, cy + 3.6),
               (cx - 2.6, cy + 3.6), (cx - 0.5, cy)], white)
    face_arrow(c, NORMAL, dark=False)
    label = text_layer((FACE_W, FACE_H), "WAIT", "DejaVuSans-Bold", 12, (0, 0), (40, 40, 40),
                       centre_in=(19, 0, FACE_W - ARROW_W, FACE_H))
    return flatten(compose(c, label))


# ---------------------------------------------------------------------------
# Balloon, download warning and alert pictures.

CARD = (255, 255, 231)  # the balloon's card colour the close button sits on


def close_button():
    frames = []
    for state in (NORMAL, HOVER, PRESSED):
        c = Canvas(11, 11)
        shift = 0.5 if state == PRESSED else 0
        if state == NORMAL:
            cross = (96, 96, 96)
        else:
            plate = (214, 58, 58) if state == HOVER else (160, 32, 32)
            c.fill(c.rounded_mask((0, 0, 11, 11), 2.5), plate)
            cross = (255, 255, 255)
        a, b = 3.0 + shift, 8.0 + shift
        c.line([(a, a), (b, b)], cross, 1.5)
        c.line([(a, b), (b, a)], cross, 1.5)
        frames.append(flatten(c.reduced(), backdrop=CARD))
    return strip(frames)


def rounded_badge(w, h, size, colour, symbol):
    """A large rounded square with a white symbol (the download warning pictures)."""
    c = Canvas(w, h)
    bx0, by0 = (w - size) / 2, (h - size) / 2
    box = (bx0, by0, bx0 + size, by0 + size)
    inset = (bx0 + 3, by0 + 3, bx0 + size - 3, by0 + size - 3)
    c.fill(c.rounded_mask(box, size * 0.2), darken(colour, 0.3))
    c.paste_gradient(c.rounded_mask(inset, size * 0.18), lighten(colour, 0.3), darken(colour, 0.05))
    cx, cy = w / 2, h / 2
    white = (255, 255, 255)
    unit = size / 100.0
    if symbol == "!":
        c.line([(cx, cy - 30 * unit), (cx, cy + 10 * unit)], white, 14 * unit)
        c.line([(cx, cy + 30 * unit), (cx, cy + 30 * unit)], white, 15 * unit)
    else:
        d = 24 * unit
        c.line([(cx - d, cy - d), (cx + d, cy + d)], white, 15 * unit)
        c.line([(cx - d, cy + d), (cx + d, cy - d)], white, 15 * unit)
    return flatten(c.reduced())


def alert_picture():
    """The safety alert's banner: a red shield with a mark and the product name."""
    w, h = 151, 61
    c = Canvas(w, h)
    red = (196, 34, 34)
    shield = [(8, 6), (30, 2), (52, 6), (52, 28), (30, 58), (8, 28)]
    shield_inner = [(11, 8.5), (30, 5), (49, 8.5), (49, 27.5), (30, 54.5), (11, 27.5)]
    c.polygon(shield, darken(red, 0.3))
    c.polygon(shield_inner, red)
    c.line([(30, 13), (30, 33)], (255, 255, 255), 6)
    c.line([(30, 43), (30, 43)], (255, 255, 255), 6.5)
    layers = [
        text_layer((w, h), "Quillon", "DejaVuSans-Bold", 20, (60, 8), (40, 40, 40)),
        text_layer((w, h), "Safety Alert", "DejaVuSans-Bold", 12, (61, 35), red),
    ]
    picture = c.reduced()
    for layer in layers:
        picture.alpha_composite(layer)
    return opaque(picture, (255, 255, 255))


# ---------------------------------------------------------------------------
# The product icon: a blue shield with a white "Q".


def icon_image(size):
    c = Canvas(size, size)
    s = size / 48.0
    blue = (30, 88, 168)
    outer = [(6, 6), (24, 2), (42, 6), (42, 24), (24, 46), (6, 24)]
    inner = [(8.5, 8), (24, 4.6), (39.5, 8), (39.5, 23.5), (24, 42.8), (8.5, 23.5)]
    c.polygon([(x * s, y * s) for x, y in outer], darken(blue, 0.35))
    c.polygon([(x * s, y * s) for x, y in inner], blue)
    # The "Q": a ring with a tail, drawn as shapes so it stays clear at 16 pixels.
    ring_w = max(2.2, 5.0 * s) if size > 16 else 2.0
    r = 10.5 * s if size > 16 else 4.6
    cx, cy = 24 * s, 21 * s
    c.ring(c.ellipse_mask((cx - r, cy - r, cx + r, cy + r)),
           c.ellipse_mask((cx - r + ring_w, cy - r + ring_w, cx + r - ring_w, cy + r - ring_w)),
           (255, 255, 255))
    c.line([(cx + r * 0.3, cy + r * 0.3), (cx + r * 0.85, cy + r * 0.85)], (255, 255, 255), ring_w * 0.9)
    return c.reduced()


def write_ico(path, images):
    """An icon file of 32-bit DIB images (with their AND masks), readable everywhere."""
    entries, blobs = [], []
    for img in images:
        w, h = img.size
        px = img.load()
        xor = bytearray()
        for y in range(h - 1, -1, -1):
            for x in range(w):
                r, g, b, a = px[x, y]
                xor += bytes((b, g, r, a))
        mask_stride = ((w + 31) // 32) * 4
        mask = bytearray()
        for y in range(h - 1, -1, -1):
            row = bytearray(mask_stride)
            for x in range(w):
                if px[x, y][3] < 128:
                    row[x // 8] |= 0x80 >> (x % 8)
            mask += row
        header = struct.pack("<IiiHHIIiiII", 40, w, h * 2, 1, 32, 0, len(xor) + len(mask), 0, 0, 0, 0)
        blob = header + bytes(xor) + bytes(mask)
        entries.append((w, h, blob))
        blobs.append(blob)
    offset = 6 + 16 * len(entries)
    out = bytearray(struct.pack("<HHH", 0, 1, len(entries)))
    for w, h, blob in entries:
        out += struct.pack("<BBBBHHII", w % 256, h % 256, 0, 0, 1, 32, len(blob), offset)
        offset += len(blob)
    for blob in blobs:
        out += blob
    with open(path, "wb") as f:
        f.write(out)


# ---------------------------------------------------------------------------

BITMAPS = [
    # (file, id, label, picture function)
    ("face_green.bmp", 239, "green", lambda: strip([colour_face("green", s) for s in range(3)])),
    ("face_red.bmp", 240, "red", lambda: strip([colour_face("red", s) for s in range(3)])),
    ("face_yellow.bmp", 241, "yellow", lambda: strip([colour_face("yellow", s) for s in range(3)])),
    ("face_wait.bmp", 253, "wait", wait_face),
    ("face_off.bmp", 255, "off", lambda: strip([off_face(s) for s in range(3)])),
    ("face_grey.bmp", 267, "grey", lambda: strip([colour_face("grey", s) for s in range(3)])),
    ("face_service_down.bmp", 270, "service down",
     lambda: strip([service_down_face(s) for s in range(3)])),
    ("balloon_close.bmp", 249, "balloon close", close_button),
    ("download_info.bmp", 265, "download info", lambda: rounded_badge(140, 124, 112, (236, 176, 0), "!")),
    ("download_warn.bmp", 266, "download warning", lambda: rounded_badge(115, 118, 104, (200, 36, 36), "x")),
    ("safety_alert.bmp", 268, "safety alert", alert_picture),
]

ICON_SIZES = (16, 32, 48)


def contact_sheet(pictures, icons):
    """Every picture enlarged three times, magenta shown as the toolbar grey it stands on."""
    zoom, pad = 3, 12
    label_font = font("DejaVuSans", 13)
    rows = []
    for (name, rid, label), img in pictures:
        shown = img.copy()
        data = shown.load()
        for y in range(shown.size[1]):
            for x in range(shown.size[0]):
                if data[x, y] == MAGENTA:
                    data[x, y] = BACKDROP
        rows.append(("%d  %s (%d x %d)" % (rid, label, img.size[0], img.size[1]),
                     shown.resize((img.size[0] * zoom, img.size[1] * zoom), Image.NEAREST)))
    icon_row = Image.new("RGB", (sum(i.size[0] * zoom + pad for i in icons), 48 * zoom), BACKDROP)
    x = 0
    for i in icons:
        icon_row.paste(opaque(i.resize((i.size[0] * zoom, i.size[1] * zoom), Image.NEAREST), BACKDROP),
                       (x, 0))
        x += i.size[0] * zoom + pad
    rows.append(("264  icon (16, 32, 48)", icon_row))
    width = max(img.size[0] for _, img in rows) + 2 * pad
    height = sum(img.size[1] + 22 + pad for _, img in rows) + pad
    sheet = Image.new("RGB", (width, height), BACKDROP)
    d = ImageDraw.Draw(sheet)
    y = pad
    for label, img in rows:
        d.text((pad, y), label, font=label_font, fill=(30, 30, 30))
        y += 20
        sheet.paste(img, (pad, y))
        y += img.size[1] + pad
    return sheet


def main():
    os.makedirs(ART_DIR, exist_ok=True)
    os.makedirs(os.path.dirname(SHEET), exist_ok=True)
    drawn = []
    for name, rid, label, make in BITMAPS:
        img = make()
        img.save(os.path.join(ART_DIR, name), format="BMP")
        drawn.append(((name, rid, label), img))
    icons = [icon_image(s) for s in ICON_SIZES]
    write_ico(os.path.join(ART_DIR, "quillon.ico"), icons)
    contact_sheet(drawn, icons).save(SHEET, optimize=True)
    return 0


if __name__ == "__main__":
    sys.exit(main())
