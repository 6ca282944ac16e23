#!/usr/bin/python3
"""Draws every picture of the two programs into this folder.

Regenerate with

    /usr/bin/python3 art/draw.py

(Debian's python3-pil and fonts-dejavu-core). The output is deterministic: the same
Pillow and fonts give the same bytes, so a diff after regenerating means a drawing changed.

Every shape is drawn at eight times the target size and reduced with a box filter, which
turns the exact pixel coverage into anti-aliased edges. Geometry is computed per target
size and rounded to whole target pixels (stroke widths, edges of the body and the legs),
so the small icons are hinted drawings of their own rather than a large one shrunk.
The PNG pictures come in two sizes: NAME.png and NAME@2x.png drawn natively at twice
the size, for screens scaled above 100 %.
"""
import os
import struct

from PIL import Image, ImageDraw, ImageFont

HERE = os.path.dirname(os.path.abspath(__file__))
SS = 8  # supersampling factor
FONT = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf"
FONT_BOLD = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf"

BODY_TOP = (226, 58, 50)
BODY_BOTTOM = (168, 22, 26)
BODY_EDGE = (112, 14, 18)
BODY_SHINE = (244, 128, 116)
KEYHOLE = (72, 8, 12)
STEEL = (184, 191, 201)
STEEL_SHINE = (232, 236, 241)
STEEL_EDGE = (74, 80, 90)
STEEL_SOLID = (98, 106, 118)
GREEN = (46, 164, 66)
GREEN_EDGE = (22, 104, 38)
RED = (214, 44, 40)
RED_EDGE = (128, 16, 18)


class Canvas:
    """An RGBA picture drawn at SS times its size; coordinates are in target pixels."""

    def __init__(self, width, height):
        self.size = (width, height)
        self.image = Image.new("RGBA", (width * SS, height * SS), (0, 0, 0, 0))

    def mask(self):
        return Image.new("L", self.image.size, 0)

    @staticmethod
    def box(x0, y0, x1, y1):
        """Pixel box of the area [x0, x1) x [y0, y1) on the supersampled grid."""
        return (round(x0 * SS), round(y0 * SS), round(x1 * SS) - 1, round(y1 * SS) - 1)

    def fill(self, mask, colour):
        self.image.alpha_composite(solid(self.image.size, colour, mask))

    def fill_gradient(self, mask, top, bottom, y0, y1):
        self.image.alpha_composite(vertical_gradient(self.image.size, top, bottom, y0 * SS, y1 * SS, mask))

    def result(self):
        return self.image.resize(self.size, Image.BOX)


def solid(size, colour, mask):
    layer = Image.new("RGBA", size, colour + (255,))
    layer.putalpha(mask)
    return layer


def vertical_gradient(size, top, bottom, y0, y1, mask):
    column = Image.new("RGBA", (1, size[1]))
    for y in range(size[1]):
        t = min(1.0, max(0.0, (y - y0) / max(1.0, y1 - y0)))
        column.putpixel((0, y), tuple(round(a + (b - a) * t) for a, b in zip(top, bottom)) + (255,))
    layer = column.resize(size, Image.NEAREST)
    layer.putalpha(mask)
    return layer


def rounded(canvas, x0, y0, x1, y1, radius):
    mask = canvas.mask()
    ImageDraw.Draw(mask).rounded_rectangle(Canvas.box(x0, y0, x1, y1), radius * SS, fill=255)
    return mask


def u_shape(canvas, cx, cy, r_out, r_in, left_end, right_end):
    """A U turned upside down: a half ring around (cx, cy) and two legs down to their ends."""
    mask = canvas.mask()
    draw = ImageDraw.Draw(mask)
    draw.ellipse(Canvas.box(cx - r_out, cy - r_out, cx + r_out, cy + r_out), fill=255)
    draw.ellipse(Canvas.box(cx - r_in, cy - r_in, cx + r_in, cy + r_in), fill=0)
    draw.rectangle(Canvas.box(cx - r_out, cy, cx + r_out, cy + r_out), fill=0)
    if left_end > cy:
        draw.rectangle(Canvas.box(cx - r_out, cy, cx - r_in, left_end), fill=255)
    if right_end > cy:
        draw.rectangle(Canvas.box(cx + r_in, cy, cx + r_out, right_end), fill=255)
    return mask


def padlock(size, opened):
    """A red padlock; opened lifts the shackle and frees its left leg."""
    c = Canvas(size, size)
    edge = 0 if size <= 16 else max(1, size // 50)
    cx = size / 2
    body = (round(size * 0.14), round(size * 0.47), size - round(size * 0.14), size - round(size * 0.04))
    r_out = round(size * 0.28)
    thickness = max(2, round(size * 0.125))
    r_in = r_out - thickness
    top = round(size * 0.02) if opened else round(size * 0.06)
    cy = top + r_out
    left_end = body[1] - max(2, round(size * 0.13)) if opened else body[3]
    right_end = body[3]

    if edge == 0:
        c.fill(u_shape(c, cx, cy, r_out, r_in, left_end, right_end), STEEL_SOLID)
    else:
        c.fill(u_shape(c, cx, cy, r_out, r_in, left_end, right_end), STEEL_EDGE)
        inner_end = left_end - edge if opened else left_end
        c.fill(u_shape(c, cx, cy, r_out - edge, r_in + edge, inner_end, right_end), STEEL)
        if size >= 32:
            shine = max(1, thickness // 4)
            c.fill(u_shape(c, cx - (thickness - 2 * edge) / 4, cy, r_out - edge - shine, r_in + edge,
                           inner_end, right_end), STEEL_SHINE)
            c.fill(u_shape(c, cx, cy, r_out - edge, r_in + edge + shine * 2, inner_end, right_end),
                   STEEL)

    x0, y0, x1, y1 = body
    radius = max(1, round(size * 0.07))
    c.fill(rounded(c, x0, y0, x1, y1, radius), BODY_EDGE)
    e = max(1, edge)
    c.fill_gradient(rounded(c, x0 + e, y0 + e, x1 - e, y1 - e, max(0, radius - e)), BODY_TOP, BODY_BOTTOM, y0, y1)
    if size >= 32:
        shine = canvas_rect(c, x0 + e + radius, y0 + e, x1 - e - radius, y0 + e + e)
        c.fill(shine, BODY_SHINE)
    keyhole(c, cx, body, size)
    return c.result()


def canvas_rect(canvas, x0, y0, x1, y1):
    mask = canvas.mask()
    ImageDraw.Draw(mask).rectangle(Canvas.box(x0, y0, x1, y1), fill=255)
    return mask


def keyhole(c, cx, body, size):
    x0, y0, x1, y1 = body
    height = y1 - y0
    if size <= 16:
        c.fill(canvas_rect(c, cx - 1, y0 + 2, cx + 1, y1 - 2), KEYHOLE)
        return
    mask = c.mask()
    draw = ImageDraw.Draw(mask)
    r = max(1.5, round(size * 0.075 * 2) / 2)
    ky = y0 + height * 0.4
    draw.ellipse(Canvas.box(cx - r, ky - r, cx + r, ky + r), fill=255)
    foot = y0 + height * 0.78
    draw.polygon([(SS * (cx - r * 0.45), SS * ky), (SS * (cx + r * 0.45), SS * ky),
                  (SS * (cx + r * 0.7), SS * foot), (SS * (cx - r * 0.7), SS * foot)], fill=255)
    c.fill(mask, KEYHOLE)


def stroke(c, points, width):
    mask = c.mask()
    draw = ImageDraw.Draw(mask)
    scaled = [(x * SS, y * SS) for x, y in points]
    draw.line(scaled, fill=255, width=round(width * SS), joint="curve")
    for x, y in points:
        r = width / 2
        draw.ellipse(Canvas.box(x - r, y - r, x + r, y + r), fill=255)
    return mask


def check_mark(scale):
    size = 25 * scale
    c = Canvas(size, size)
    points = [(p[0] * scale, p[1] * scale) for p in [(5, 13.5), (10, 18.5), (20.5, 6.5)]]
    c.fill(stroke(c, points, 6 * scale), GREEN_EDGE)
    c.fill(stroke(c, points, 6 * scale - 2 * scale), GREEN)
    return c.result()


def crossed_circle(scale):
    size = 25 * scale
    c = Canvas(size, size)
    centre, radius = size / 2, 11 * scale

    def disc(r):
        mask = c.mask()
        ImageDraw.Draw(mask).ellipse(Canvas.box(centre - r, centre - r, centre + r, centre + r), fill=255)
        return mask

    c.fill(disc(radius), RED_EDGE)
    c.fill_gradient(disc(radius - scale), (236, 78, 70), RED, centre - radius, centre + radius)
    arm = 4.5 * scale
    width = 2.6 * scale
    c.fill(stroke(c, [(centre - arm, centre - arm), (centre + arm, centre + arm)], width), (255, 255, 255))
    c.fill(stroke(c, [(centre + arm, centre - arm), (centre - arm, centre + arm)], width), (255, 255, 255))
    return c.result()


def text_layer(size, xy, text, font, colour):
    mask = Image.new("L", size, 0)
    ImageDraw.Draw(mask).text(xy, text, font=font, fill=255)
    return solid(size, colour, mask)


def fitted_font(path, text, width, largest):
    """The largest size, up to largest, at which text is no wider than width."""
    for points in range(largest, 6, -1):
        font = ImageFont.truetype(path, points)
        if font.getlength(text) <= width:
            return font
    return ImageFont.truetype(path, 7)


def maker_logo(scale):
    """Orvaline Software: a blue ring with an inner dot, the name beside it."""
    width, height = 209 * scale, 100 * scale
    mark = Canvas(height, height)
    centre, ring_out, ring_in, dot = height / 2, 36 * scale, 26 * scale, 11 * scale
    mask = mark.mask()
    draw = ImageDraw.Draw(mask)
    draw.ellipse(Canvas.box(centre - ring_out, centre - ring_out, centre + ring_out, centre + ring_out), fill=255)
    draw.ellipse(Canvas.box(centre - ring_in, centre - ring_in, centre + ring_in, centre + ring_in), fill=0)
    mark.fill_gradient(mask, (52, 112, 190), (26, 66, 130), centre - ring_out, centre + ring_out)
    mask = mark.mask()
    ImageDraw.Draw(mask).ellipse(Canvas.box(centre + 4 * scale - dot, centre - 4 * scale - dot,
                                            centre + 4 * scale + dot, centre - 4 * scale + dot), fill=255)
    mark.fill(mask, (30, 170, 160))

    logo = Image.new("RGBA", (width, height), (0, 0, 0, 0))
    logo.alpha_composite(mark.result(), (0, 0))
    left = height - 6 * scale
    room = width - left - 2 * scale
    name = fitted_font(FONT_BOLD, "Orvaline", room, 30 * scale)
    kind = fitted_font(FONT, "Software", room, 19 * scale)
    logo.alpha_composite(text_layer(logo.size, (left, 24 * scale), "Orvaline", name, (28, 40, 58)))
    logo.alpha_composite(text_layer(logo.size, (left + scale, 60 * scale), "Software", kind, (92, 102, 118)))
    return logo


def distributor_logo(scale):
    """Brightfold Distribution: an amber square with a folded corner, the name beside it."""
    width, height = 409 * scale, 50 * scale
    mark = Canvas(height, height)
    m, s, fold = 5 * scale, 40 * scale, 14 * scale
    x0, y0, x1, y1 = m, m, m + s, m + s
    square = mark.mask()
    ImageDraw.Draw(square).polygon([(SS * x0, SS * y0), (SS * (x1 - fold), SS * y0), (SS * x1, SS * (y0 + fold)),
                                    (SS * x1, SS * y1), (SS * x0, SS * y1)], fill=255)
    mark.fill_gradient(square, (248, 180, 58), (222, 128, 24), y0, y1)
    flap = mark.mask()
    ImageDraw.Draw(flap).polygon([(SS * (x1 - fold), SS * y0), (SS * x1, SS * (y0 + fold)),
                                  (SS * (x1 - fold), SS * (y0 + fold))], fill=255)
    mark.fill(flap, (176, 92, 14))

    logo = Image.new("RGBA", (width, height), (0, 0, 0, 0))
    logo.alpha_composite(mark.result(), (0, 0))
    left = height + 6 * scale
    bold = ImageFont.truetype(FONT_BOLD, 26 * scale)
    regular = ImageFont.truetype(FONT, 26 * scale)
    baseline = 36 * scale
    logo.alpha_composite(text_layer_baseline(logo.size, left, baseline, "Brightfold", bold, (28, 40, 58)))
    after = left + bold.getlength("Brightfold ")
    logo.alpha_composite(text_layer_baseline(logo.size, after, baseline, "Distribution", regular, (92, 102, 118)))
    return logo


def text_layer_baseline(size, x, baseline, text, font, colour):
    mask = Image.new("L", size, 0)
    ImageDraw.Draw(mask).text((x, baseline), text, font=font, fill=255, anchor="ls")
    return solid(size, colour, mask)


def write_png(image, name):
    image.save(os.path.join(HERE, name), format="PNG", optimize=True)


def write_ico(images, name):
    """An icon file with one 32-bit BGRA bitmap (and its AND mask) per size."""
    entries, blobs = [], []
    offset = 6 + 16 * len(images)
    for image in images:
        width, height = image.size
        pixels = image.tobytes("raw", "BGRA")
        rows = [pixels[y * width * 4:(y + 1) * width * 4] for y in reversed(range(height))]
        mask_stride = ((width + 31) // 32) * 4
        mask = bytes(mask_stride * height)  # the alpha channel decides; the AND mask stays clear
        header = struct.pack("<IiiHHIIiiII", 40, width, height * 2, 1, 32, 0,
                             width * height * 4 + len(mask), 0, 0, 0, 0)
        blob = header + b"".join(rows) + mask
        entries.append(struct.pack("<BBBBHHII", width % 256, height % 256, 0, 0, 1, 32, len(blob), offset))
        blobs.append(blob)
        offset += len(blob)
    with open(os.path.join(HERE, name), "wb") as out:
        out.write(struct.pack("<HHH", 0, 1, len(images)) + b"".join(entries) + b"".join(blobs))


def main():
    for stem, opened in (("unlock", True), ("lock", False)):
        write_ico([padlock(size, opened) for size in (16, 32, 48, 64)], stem + ".ico")
        write_png(padlock(50, opened), stem + "_button.png")
        write_png(padlock(100, opened), stem + "_button@2x.png")
    for scale, suffix in ((1, ""), (2, "@2x")):
        write_png(check_mark(scale), "check" + suffix + ".png")
        write_png(crossed_circle(scale), "cross" + suffix + ".png")
        write_png(maker_logo(scale), "maker_logo" + suffix + ".png")
        write_png(distributor_logo(scale), "distributor_logo" + suffix + ".png")


if __name__ == "__main__":
    main()
