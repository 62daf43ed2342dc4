#!/usr/bin/python3
"""Draws every picture and synthesises every sound of Quillamor 2000.

Everything is made from code so the art can be changed and rebuilt at will:

    tools/make_assets.py            # write all files into resources/
    tools/make_assets.py --check    # re-read the files and verify them
    tools/make_assets.py --preview DIR   # also write PNG previews into DIR

The output is reproducible: fixed random seeds, no clocks, so two runs give
byte-identical files.  The file writers below are hand-made on purpose: the
game's loader reads exactly these layouts (24-bit BMP, 32-bit BGRA BMP with a
V4 header for the one picture that needs alpha, plain PCM WAV, 1-bpp CUR,
4-bpp ICO).
"""

import os
import struct
import sys

import numpy as np
from PIL import Image, ImageDraw, ImageFont

HERE = os.path.dirname(os.path.abspath(__file__))
RES = os.path.normpath(os.path.join(HERE, "..", "resources"))

FONT_DIR = "/usr/share/fonts/truetype/dejavu"
F_BOLD = os.path.join(FONT_DIR, "DejaVuSans-Bold.ttf")
F_COND_BOLD = os.path.join(FONT_DIR, "DejaVuSansCondensed-Bold.ttf")
F_SERIF_BOLD = os.path.join(FONT_DIR, "DejaVuSerif-Bold.ttf")
F_UKAI = "/usr/share/fonts/truetype/arphic/ukai.ttc"

# Palette of the game world, shared by the sprites and the decorations.
COPPER = dict(dark=(0.30, 0.11, 0.04), base=(0.80, 0.42, 0.20),
              light=(1.00, 0.82, 0.62))
STEEL = dict(dark=(0.08, 0.16, 0.28), base=(0.33, 0.55, 0.76),
             light=(0.86, 0.93, 1.00))
BALL_BLUE = (0.10, 0.33, 0.95)

# Layout of the game screen the C++ side draws into.
FIELD = (20, 20, 420, 420)            # black playfield, x0 y0 x1 y1 (exclusive)
BUTTONS = [("Next", 245), ("Again", 310), ("Main", 375)]
BUTTON_X, BUTTON_W, BUTTON_H = 440, 110, 65
# The two round spots on the title screen: centre and radius of the disc,
# and the radius the highlight glow reaches.
SPOT_SITE = (45, 410)
SPOT_GAME = (510, 410)
SPOT_R = 26
SPOT_GLOW_R = 34
SITE_BOX = (0, 360, 90, 440)
GAME_BOX = (460, 360, 550, 440)


# ---------------------------------------------------------------------------
# File writers
# ---------------------------------------------------------------------------

def to_u8(img):
    """Float RGB(A) 0..1 -> uint8, rounding the same way every run."""
    return np.clip(np.floor(np.asarray(img, dtype=np.float64) * 255.0 + 0.5),
                   0, 255).astype(np.uint8)


def write_bmp24(path, rgb):
    """Uncompressed 24-bit BMP, bottom-up, BGR, rows padded to 4 bytes."""
    rgb = np.asarray(rgb)
    if rgb.dtype != np.uint8:
        rgb = to_u8(rgb)
    h, w, _ = rgb.shape
    stride = (w * 3 + 3) & ~3
    rows = np.zeros((h, stride), np.uint8)
    rows[:, :w * 3] = rgb[::-1, :, ::-1].reshape(h, w * 3)
    pixels = rows.tobytes()
    info = struct.pack("<IiiHHIIiiII", 40, w, h, 1, 24, 0, len(pixels),
                       2835, 2835, 0, 0)
    head = struct.pack("<2sIHHI", b"BM", 14 + len(info) + len(pixels), 0, 0,
                       14 + len(info))
    _write(path, head + info + pixels)


def write_bmp32_alpha(path, rgba):
    """32-bit BGRA BMP with a BITMAPV4HEADER and BI_BITFIELDS masks, so the
    loader keeps the alpha channel."""
    rgba = np.asarray(rgba)
    if rgba.dtype != np.uint8:
        rgba = to_u8(rgba)
    h, w, _ = rgba.shape
    bgra = rgba[::-1][:, :, [2, 1, 0, 3]]
    pixels = bgra.tobytes()
    info = struct.pack("<IiiHHIIiiII", 108, w, h, 1, 32, 3, len(pixels),
                       2835, 2835, 0, 0)
    info += struct.pack("<IIII", 0x00FF0000, 0x0000FF00, 0x000000FF,
                        0xFF000000)
    info += struct.pack("<I", 0x73524742)       # 'sRGB' colour space
    info += b"\0" * 36 + b"\0" * 12             # endpoints and gamma, unused
    assert len(info) == 108
    head = struct.pack("<2sIHHI", b"BM", 14 + 108 + len(pixels), 0, 0, 14 + 108)
    _write(path, head + info + pixels)


def write_wav(path, samples, rate, bits):
    """Plain PCM WAV.  samples: float array, shape (n,) or (n, 2), in -1..1.
    8-bit output is unsigned with a little triangular dither."""
    x = np.asarray(samples, dtype=np.float64)
    channels = 1 if x.ndim == 1 else x.shape[1]
    if bits == 16:
        data = np.clip(np.round(x * 32767.0), -32768, 32767).astype("<i2")
    elif bits == 8:
        rng = np.random.default_rng(8008)
        tpdf = rng.random(x.shape) - rng.random(x.shape)
        # The dither stops where the signal is silent, so the file starts and
        # ends on the exact midpoint and the speaker does not tick.
        quiet = np.abs(x) < 1e-6
        tpdf[quiet] = 0.0
        data = np.clip(np.round(x * 127.0 + 128.0 + tpdf), 0, 255).astype(np.uint8)
    else:
        raise ValueError(bits)
    raw = data.tobytes()
    block = channels * bits // 8
    fmt = struct.pack("<HHIIHH", 1, channels, rate, rate * block, block, bits)
    body = (b"WAVE" + b"fmt " + struct.pack("<I", 16) + fmt +
            b"data" + struct.pack("<I", len(raw)) + raw)
    if len(raw) % 2:
        body += b"\0"
    _write(path, b"RIFF" + struct.pack("<I", len(body)) + body)


def _mask_rows_1bpp(bits32):
    """32x32 bool array -> bottom-up 1-bpp rows of 4 bytes (MSB first)."""
    packed = np.packbits(bits32.astype(np.uint8), axis=1)    # 32 x 4 bytes
    return packed[::-1].tobytes()


def write_cur(path, white, black, hotspot):
    """Two-colour 32x32 cursor.  white/black: bool masks of the drawn pixels;
    everything else is transparent."""
    xor = white                                  # 1 = white where drawn
    and_ = ~(white | black)                      # 1 = transparent
    image = struct.pack("<IiiHHIIiiII", 40, 32, 64, 1, 1, 0, 256, 0, 0, 2, 0)
    image += bytes([0, 0, 0, 0, 255, 255, 255, 0])
    image += _mask_rows_1bpp(xor) + _mask_rows_1bpp(and_)
    head = struct.pack("<HHH", 0, 2, 1)
    entry = struct.pack("<BBBBHHII", 32, 32, 0, 0, hotspot[0], hotspot[1],
                        len(image), 22)
    _write(path, head + entry + image)


def write_ico16(path, index, palette, transparent):
    """32x32 16-colour icon.  index: 32x32 palette indices 0..15, palette: 16
    RGB tuples, transparent: bool mask (AND bit set)."""
    index = np.where(transparent, 0, index).astype(np.uint8)
    nib = (index[:, 0::2] << 4) | index[:, 1::2]              # 32 x 16 bytes
    xor = nib[::-1].tobytes()
    pal = b"".join(bytes([b, g, r, 0]) for (r, g, b) in palette)
    image = struct.pack("<IiiHHIIiiII", 40, 32, 64, 1, 4, 0,
                        len(xor) + 128, 0, 0, 16, 0)
    image += pal + xor + _mask_rows_1bpp(transparent)
    head = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", 32, 32, 16, 0, 1, 4, len(image), 22)
    _write(path, head + entry + image)


def _write(path, data):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(data)


# ---------------------------------------------------------------------------
# Drawing helpers (float RGB images, 0..1, shape h x w x 3)
# ---------------------------------------------------------------------------

def canvas(w, h, colour=(0, 0, 0)):
    img = np.zeros((h, w, 3))
    img[:] = colour
    return img


def over(img, colour, alpha, x=0, y=0):
    """Paints colour (RGB tuple or h x w x 3 array) through alpha (h x w) at
    (x, y), clipped to the image."""
    alpha = np.asarray(alpha, dtype=np.float64)
    h, w = alpha.shape
    H, W = img.shape[:2]
    x0, y0, x1, y1 = max(x, 0), max(y, 0), min(x + w, W), min(y + h, H)
    if x0 >= x1 or y0 >= y1:
        return
    a = alpha[y0 - y:y1 - y, x0 - x:x1 - x, None]
    c = np.asarray(colour, dtype=np.float64)
    if c.ndim == 3:
        c = c[y0 - y:y1 - y, x0 - x:x1 - x]
    region = img[y0:y1, x0:x1]
    region[:] = region * (1 - a) + c * a


def add_light(img, colour, alpha, x=0, y=0):
    """Additive glow, clipped at white."""
    layer = np.zeros_like(img)
    over(layer, colour, alpha, x, y)
    np.minimum(img + layer, 1.0, out=img)


def vgradient(h, w, top, bottom, power=1.0):
    t = (np.linspace(0, 1, h) ** power)[:, None, None]
    return (np.asarray(top) * (1 - t) + np.asarray(bottom) * t) * np.ones((1, w, 1))


def mask_from_draw(w, h, draw_fn, ss=4):
    """Anti-aliased coverage mask: draw_fn(ImageDraw, scale) paints white on a
    supersampled L image, which is then box-filtered down."""
    im = Image.new("L", (w * ss, h * ss), 0)
    draw_fn(ImageDraw.Draw(im), ss)
    return np.asarray(im.resize((w, h), Image.BOX), dtype=np.float64) / 255.0


def blur_f(mask, radius):
    """Gaussian blur in float, via a separable kernel (no 8-bit banding)."""
    r = int(radius * 3) + 1
    k = np.exp(-0.5 * (np.arange(-r, r + 1) / radius) ** 2)
    k /= k.sum()
    pad = np.pad(mask, r, mode="constant")
    tmp = np.apply_along_axis(lambda v: np.convolve(v, k, mode="valid"), 1, pad)
    return np.apply_along_axis(lambda v: np.convolve(v, k, mode="valid"), 0, tmp)


def font(path, size, index=0):
    return ImageFont.truetype(path, size, index=index)


def text_mask(w, h, pos, text, fnt, stroke=0, anchor="mm", aa=True):
    im = Image.new("L", (w, h), 0)
    d = ImageDraw.Draw(im)
    if not aa:
        d.fontmode = "1"
    d.text(pos, text, font=fnt, fill=255, anchor=anchor,
           stroke_width=stroke, stroke_fill=255)
    return np.asarray(im, dtype=np.float64) / 255.0


def fancy_text(img, pos, text, fnt, top, bottom, stroke=3,
               stroke_colour=(0.12, 0.05, 0.02), shadow=(3, 4), shadow_blur=3.0,
               shadow_alpha=0.75, glow=None, shine=True):
    """Headline text: soft drop shadow, dark outline, vertical gradient fill
    and a glassy highlight on its upper half."""
    h, w = img.shape[:2]
    fill = text_mask(w, h, pos, text, fnt)
    outline = text_mask(w, h, pos, text, fnt, stroke=stroke) if stroke else fill
    if glow is not None:
        colour, radius, strength = glow
        add_light(img, colour, np.clip(blur_f(outline, radius) * strength, 0, 1))
    if shadow is not None:
        sh = np.roll(np.roll(outline, shadow[1], axis=0), shadow[0], axis=1)
        over(img, (0, 0, 0), blur_f(sh, shadow_blur) * shadow_alpha)
    over(img, stroke_colour, outline)
    rows = np.nonzero(fill.max(axis=1) > 0)[0]
    y0, y1 = rows[0], rows[-1] + 1
    grad = np.zeros((h, w, 3))
    grad[y0:y1] = vgradient(y1 - y0, w, top, bottom)
    over(img, grad, fill)
    if shine:
        # A light band over the top half of the letters, fading downwards.
        t = np.zeros(h)
        mid = y0 + (y1 - y0) * 0.48
        t[y0:int(mid)] = np.linspace(0.55, 0.15, int(mid) - y0)
        inner = fill * np.clip(1 - blur_f(1 - fill, 1.0) * 1.5, 0, 1)
        over(img, (1, 1, 1), inner * t[:, None])
    return fill, outline


def star_points(cx, cy, r_out, r_in, n=5, rot=-90.0):
    pts = []
    for i in range(2 * n):
        r = r_out if i % 2 == 0 else r_in
        a = np.radians(rot + i * 180.0 / n)
        pts.append((cx + r * np.cos(a), cy + r * np.sin(a)))
    return pts


def star_mask(w, h, cx, cy, r_out, r_in=None, n=5, rot=-90.0, ss=8):
    r_in = r_out * 0.42 if r_in is None else r_in

    def d(dr, s):
        dr.polygon([(x * s, y * s) for x, y in
                    star_points(cx, cy, r_out, r_in, n, rot)], fill=255)
    return mask_from_draw(w, h, d, ss)


def disc_mask(w, h, cx, cy, r, ss=8):
    return mask_from_draw(
        w, h, lambda d, s: d.ellipse([(cx - r) * s, (cy - r) * s,
                                      (cx + r) * s, (cy + r) * s], fill=255), ss)


def periodic_noise(h, w, scale, rng):
    """Smooth noise that wraps round at both edges (filtered in the Fourier
    domain, so the tile repeats without a seam)."""
    n = rng.standard_normal((h, w))
    fy = np.fft.fftfreq(h)[:, None]
    fx = np.fft.fftfreq(w)[None, :]
    filt = np.exp(-((fx ** 2 + fy ** 2) * (scale ** 2)) * 2 * np.pi ** 2)
    out = np.real(np.fft.ifft2(np.fft.fft2(n) * filt))
    return out / (out.std() + 1e-12)


def downsample(a, ss):
    h, w = a.shape[0] // ss, a.shape[1] // ss
    return a.reshape(h, ss, w, ss, *a.shape[2:]).mean(axis=(1, 3))


# ---------------------------------------------------------------------------
# Game-world pieces, drawn at any size so the title and the win picture can
# reuse the very same look as the sprites.
# ---------------------------------------------------------------------------

LIGHT = np.array([-0.45, -0.65, 0.62])
LIGHT /= np.linalg.norm(LIGHT)


def render_bar(w, h, palette, ss=6, seed=1, rivets=True, zoom=1):
    """A bar on black: a rounded, bevelled rod lit from the upper left.
    Returns (premultiplied RGB, alpha), zoom pixels to a unit of w and h
    (ss must be a multiple of zoom)."""
    W, H = w * ss, h * ss
    ys, xs = np.mgrid[0:H, 0:W] + 0.5
    xs, ys = xs / ss, ys / ss
    vertical = h > w
    inset = 1.0                                # a black seam between neighbours
    radius = min(w, h) * 0.30
    cx, cy = w / 2, h / 2
    bx, by = w / 2 - inset, h / 2 - inset
    qx = np.abs(xs - cx) - bx + radius
    qy = np.abs(ys - cy) - by + radius
    sd = (np.hypot(np.maximum(qx, 0), np.maximum(qy, 0)) +
          np.minimum(np.maximum(qx, qy), 0) - radius)      # < 0 inside
    depth = np.clip(-sd, 0, None)
    bevel = min(w, h) * 0.22
    t = np.clip(depth / bevel, 0, 1)
    height = bevel * np.sqrt(1 - (1 - t) ** 2)
    # The face bulges across the short side like a rod.
    u = (xs - cx) / bx if vertical else (ys - cy) / by
    height = height + 1.6 * (1 - np.clip(u, -1, 1) ** 2) * t
    # One rivet in each of the two cells: the bar reads as one piece made of
    # two cell-sized halves.
    cell = min(w, h)
    for k in range(2 if rivets else 0):
        rx, ry = ((cx, cell * (k + 0.5)) if vertical else (cell * (k + 0.5), cy))
        rr = np.hypot(xs - rx, ys - ry) / (cell * 0.13)
        height = height + 0.9 * np.sqrt(np.clip(1 - rr ** 2, 0, 1))
    gy, gx = np.gradient(height, 1.0 / ss)
    n = np.stack([-gx, -gy, np.ones_like(gx)], axis=-1)
    n /= np.linalg.norm(n, axis=-1, keepdims=True)
    diff = np.clip(n @ LIGHT, 0, 1)
    half = LIGHT + np.array([0, 0, 1.0])
    half /= np.linalg.norm(half)
    sheen = np.clip(n @ half, 0, 1) ** 36
    # Fine brushing along the length of the bar.
    rng = np.random.default_rng(seed)
    streak = rng.standard_normal(W if vertical else H)
    streak = np.convolve(streak, np.ones(3) / 3, mode="same")
    grain = (streak[None, :] if vertical else streak[:, None]) * 0.035
    dark, base, light = (np.array(palette[k]) for k in ("dark", "base", "light"))
    shade = (0.22 + 0.95 * diff + grain)[..., None]
    col = np.where(shade < 0.7,
                   dark + (base - dark) * np.clip(shade / 0.7, 0, 1),
                   base + (light - base) * np.clip((shade - 0.7) / 0.6, 0, 1))
    col = col + sheen[..., None] * 0.75
    alpha = np.clip(0.5 - sd * ss, 0, 1)       # 1-px soft edge at ss scale
    col = np.clip(col, 0, 1) * alpha[..., None]
    return downsample(col, ss // zoom), downsample(alpha, ss // zoom)


def render_ball(size, cx, cy, r, ss=8, base=BALL_BLUE, ambient=0.10, rim=0.45,
                zoom=1):
    """Glossy sphere: diffuse blue, a sharp white highlight, and a soft cyan
    bounce light underneath.  Returns (premultiplied RGB, alpha), zoom
    pixels to a unit (ss must be a multiple of zoom)."""
    N = size * ss
    ys, xs = (np.mgrid[0:N, 0:N] + 0.5) / ss
    dx, dy = (xs - cx) / r, (ys - cy) / r
    rr = dx ** 2 + dy ** 2
    nz = np.sqrt(np.clip(1 - rr, 0, 1))
    n = np.stack([dx, dy, nz], axis=-1)
    diff = np.clip(n @ LIGHT, 0, 1)
    half = LIGHT + np.array([0, 0, 1.0])
    half /= np.linalg.norm(half)
    sheen = np.clip(n @ half, 0, 1) ** 60
    bounce = np.clip(n @ np.array([0.3, 0.8, 0.3]), 0, 1) ** 2
    base = np.asarray(base)
    col = (base * (ambient + 0.95 * diff[..., None]) +
           np.array([0.25, 0.7, 1.0]) * 0.35 * bounce[..., None] +
           sheen[..., None] * 1.1)
    # A darker rim gives the sphere its edge against the black.
    col *= (1 - rim + rim * nz ** 0.5)[..., None]
    alpha = np.clip((1 - np.sqrt(rr)) * r * ss + 0.5, 0, 1)
    col = np.clip(col, 0, 1) * alpha[..., None]
    return downsample(col, ss // zoom), downsample(alpha, ss // zoom)


def paint_sprite(img, sprite, x, y):
    rgb, alpha = sprite
    h, w = alpha.shape
    H, W = img.shape[:2]
    x0, y0, x1, y1 = max(x, 0), max(y, 0), min(x + w, W), min(y + h, H)
    if x0 >= x1 or y0 >= y1:
        return
    a = alpha[y0 - y:y1 - y, x0 - x:x1 - x, None]
    img[y0:y1, x0:x1] = img[y0:y1, x0:x1] * (1 - a) + rgb[y0 - y:y1 - y, x0 - x:x1 - x]


def exit_star(size, glow=True):
    """The exit: a white five-pointed star with a faint pale halo."""
    c = size / 2
    img = canvas(size, size)
    if glow:
        halo = disc_mask(size, size, c, c, size * 0.48)
        halo = halo * np.clip(1 - np.hypot(*(np.mgrid[0:size, 0:size] + 0.5 - c)) /
                              (size * 0.5), 0, 1) ** 1.5
        add_light(img, (0.55, 0.55, 0.35), halo * 0.55)
    m = star_mask(size, size, c, c + size * 0.025, size * 0.47, size * 0.20)
    over(img, (1, 1, 1), m)
    return img, m


# ---------------------------------------------------------------------------
# Sprites
# ---------------------------------------------------------------------------

def make_bars():
    v_rgb, _ = render_bar(20, 40, COPPER, seed=11)
    h_rgb, _ = render_bar(40, 20, STEEL, seed=12)
    return {"Vertical": v_rgb, "Horizont": h_rgb}


def make_ball():
    rgb, _ = render_ball(20, 10.0, 10.0, 8.6)
    return {"Ball": rgb}


def make_exit():
    img, _ = exit_star(20)
    return {"Exit": img}


def make_blanks():
    return {"NoBall": canvas(20, 20), "NoV": canvas(2, 20),
            "NoH": canvas(20, 2), "Out8": canvas(20, 20)}


def flash_frame(size, radius, heat, spin):
    """One frame of the exit flash: a hot white core, a golden halo and eight
    rays; radius sets the size, heat the brightness."""
    img = canvas(size, size)
    c = size / 2
    ys, xs = np.mgrid[0:size * 4, 0:size * 4] + 0.5
    d = np.hypot(xs / 4 - c, ys / 4 - c)
    ang = np.arctan2(ys / 4 - c, xs / 4 - c)
    halo = np.exp(-(d / max(radius, 0.3)) ** 2 * 1.6)
    rays = (np.abs(np.cos(4 * (ang - spin))) ** 24 *
            np.exp(-d / max(radius * 1.25, 0.3)))
    core = np.exp(-(d / max(radius * 0.38, 0.25)) ** 2)
    halo, rays, core = (downsample(a, 4) for a in (halo, rays, core))
    add_light(img, (1.0, 0.62, 0.15), np.clip(halo * heat, 0, 1))
    add_light(img, (1.0, 0.95, 0.55), np.clip(rays * heat * 1.2, 0, 1))
    add_light(img, (1.0, 1.0, 1.0), np.clip(core * heat * 1.4, 0, 1))
    return img


def make_out_frames():
    # Swells over frames 1..4, then collapses to a speck over 5..7.
    steps = [(3.0, 0.9), (5.0, 1.0), (7.0, 1.0), (9.5, 1.0),
             (6.5, 0.85), (3.5, 0.7), (1.2, 0.55)]
    out = {}
    for i, (radius, heat) in enumerate(steps):
        out["Out%d" % (i + 1)] = flash_frame(20, radius, heat, i * 0.18)
    return out


def make_bg():
    """Pale paper: periodic noise plus whole-period ripples, so the 163 x 149
    tile repeats with no seam."""
    w, h = 163, 149
    rng = np.random.default_rng(163149)
    ys, xs = np.mgrid[0:h, 0:w]
    fibre = periodic_noise(h, w, 0.9, rng) * 0.25 + periodic_noise(h, w, 3.0, rng) * 0.5
    cloud = periodic_noise(h, w, 14.0, rng)
    ripple = (np.sin(2 * np.pi * (3 * xs / w + 2 * ys / h)) * 0.3 +
              np.sin(2 * np.pi * (-2 * xs / w + 5 * ys / h)) * 0.2)
    v = fibre * 0.016 + cloud * 0.013 + ripple * 0.008
    base = np.array([0.945, 0.930, 0.895])
    img = base + v[..., None] * np.array([1.0, 1.0, 1.15])
    return {"bg": np.clip(img, 0, 1)}


def make_digits():
    out = {}
    fnt = font(F_COND_BOLD, 16)
    for d in "123":
        img = canvas(16, 16, (192 / 255,) * 3)
        # Hinted and un-smoothed: at 16 px, whole-pixel strokes read best.
        m = text_mask(16, 16, (8, 8), d, fnt, anchor="mm", aa=False)
        over(img, (0, 0, 200 / 255), m)
        out["Digit" + d] = img
    return out


def make_diff_label():
    """Black brush-style label; the shape lives only in the alpha channel."""
    w, h = 230, 32
    text = "请选择游戏难度（1为最易）"
    fnt = font(F_UKAI, 17)
    # Drawn on a roomy scratch canvas first, then placed by its ink, not by
    # its advance box: the full-width brackets carry a lot of empty space.
    scratch = Image.new("L", (w + 60, h + 20), 0)
    ImageDraw.Draw(scratch).text((30, 10), text, font=fnt, fill=255)
    ink = np.asarray(scratch)
    rows = np.nonzero(ink.max(1))[0]
    cols = np.nonzero(ink.max(0))[0]
    ink = ink[rows[0]:rows[-1] + 1, cols[0]:cols[-1] + 1]
    ih, iw = ink.shape
    x, y = (w - iw) // 2, 2
    rgba = np.zeros((h, w, 4), np.uint8)
    rgba[y:y + ih, x:x + iw, 3] = ink
    return rgba


# The letters of the message box: ASCII 32..126, one cell each, in a row.
MSG_FONT = os.path.join(FONT_DIR, "DejaVuSans.ttf")
MSG_FIRST, MSG_LAST = 32, 126
MSG_CELL_W, MSG_CELL_H = 16, 16      # glyph rows; a ruler row lies under them
MSG_PEN_X, MSG_BASELINE = 2, 12


def make_msg_font():
    """Black letters, the shape in the alpha channel, DejaVu Sans at 12
    pixels.  Under each cell a ruler row is opaque from the pen position on
    for as many pixels as the letter advances, so that the box sets text
    with the face's own spacing."""
    fnt = font(MSG_FONT, 12)
    count = MSG_LAST - MSG_FIRST + 1
    rgba = np.zeros((MSG_CELL_H + 1, count * MSG_CELL_W, 4), np.uint8)
    for i in range(count):
        ch = chr(MSG_FIRST + i)
        cell = Image.new("L", (MSG_CELL_W, MSG_CELL_H), 0)
        ImageDraw.Draw(cell).text((MSG_PEN_X, MSG_BASELINE), ch, font=fnt,
                                  fill=255, anchor="ls")
        advance = int(round(fnt.getlength(ch)))
        assert 0 < advance <= MSG_CELL_W - MSG_PEN_X, (ch, advance)
        x0 = i * MSG_CELL_W
        rgba[:MSG_CELL_H, x0:x0 + MSG_CELL_W, 3] = np.asarray(cell)
        rgba[MSG_CELL_H, x0 + MSG_PEN_X:x0 + MSG_PEN_X + advance, 3] = 255
    return rgba


# ---------------------------------------------------------------------------
# Cursors and icon
# ---------------------------------------------------------------------------

CURSOR_HOTSPOTS = {"CUR_DOWN": (15, 5), "CUR_UP": (15, 7),
                   "CUR_LEFT": (17, 8), "CUR_RIGHT": (14, 8)}


def cursor_triangle(direction, hot):
    """A white arrowhead with a black outline, centred on the hot spot, so
    the click lands inside the arrow wherever the player aims it."""
    long_, short = 17, 11                       # base and depth in pixels
    hx, hy = hot
    if direction in ("DOWN", "UP"):
        x0, x1 = hx - long_ // 2, hx + long_ // 2 + 1
        y0, y1 = hy - short // 2, hy + short // 2 + 1
    else:
        x0, x1 = hx - short // 2, hx + short // 2 + 1
        y0, y1 = hy - long_ // 2, hy + long_ // 2 + 1
    tri = {"DOWN": [(x0, y0), (x1, y0), ((x0 + x1) / 2, y1)],
           "UP": [(x0, y1), (x1, y1), ((x0 + x1) / 2, y0)],
           "LEFT": [(x1, y0), (x1, y1), (x0, (y0 + y1) / 2)],
           "RIGHT": [(x0, y0), (x0, y1), (x1, (y0 + y1) / 2)]}[direction]
    # Pixel centres inside the triangle are drawn; the drawn pixels touching
    # the outside become the black outline.
    ys, xs = np.mgrid[0:32, 0:32] + 0.5
    inside = np.ones((32, 32), bool)
    area = ((tri[1][0] - tri[0][0]) * (tri[2][1] - tri[0][1]) -
            (tri[2][0] - tri[0][0]) * (tri[1][1] - tri[0][1]))
    for i in range(3):
        (ax, ay), (bx, by) = tri[i], tri[(i + 1) % 3]
        cross = (bx - ax) * (ys - ay) - (by - ay) * (xs - ax)
        inside &= cross * np.sign(area) >= -1e-9
    pad = np.pad(inside, 1)
    interior = inside.copy()
    for dy, dx in ((-1, 0), (1, 0), (0, -1), (0, 1)):
        interior &= pad[1 + dy:33 + dy, 1 + dx:33 + dx]
    return interior, inside & ~interior


def make_cursors():
    out = {}
    for name, hot in CURSOR_HOTSPOTS.items():
        white, black = cursor_triangle(name[4:], hot)
        out[name] = (white, black, hot)
    return out


ICON_PALETTE = [
    (0, 0, 0), (40, 40, 48), (96, 96, 104), (200, 200, 208),
    (255, 255, 255), (92, 38, 14), (196, 104, 50), (255, 196, 140),
    (24, 44, 72), (80, 134, 186), (200, 226, 250), (10, 24, 90),
    (24, 80, 230), (110, 170, 255), (18, 48, 150), (60, 120, 245),
]


def icon_design(zoom):
    """The ball between a copper and a steel-blue bar, on a black tile with
    rounded corners: 32 units square, drawn at zoom pixels a unit.  Returns
    the picture premultiplied by the tile's coverage, and the coverage."""
    S = 32 * zoom
    tile = mask_from_draw(S, S, lambda d, s: d.rounded_rectangle(
        [0, 0, S * s - 1, S * s - 1], radius=6 * zoom * s, fill=255), 8)
    frame = canvas(S, S, (0.38, 0.38, 0.42))
    img = frame * tile[..., None]
    inner = mask_from_draw(S, S, lambda d, s: d.rounded_rectangle(
        [2 * zoom * s, 2 * zoom * s, (S - 2 * zoom) * s - 1, (S - 2 * zoom) * s - 1],
        radius=4 * zoom * s, fill=255), 8)
    over(img, (0, 0, 0), inner)
    # Flatter shading than the sprites: 16 colours cannot hold deep shadows,
    # and the large icons keep the small one's look.
    bar_ss, ball_ss = (6, 8) if zoom == 1 else (2 * zoom, 2 * zoom)
    paint_sprite(img, render_bar(10, 25, COPPER, ss=bar_ss, seed=3, rivets=False,
                                 zoom=zoom), 3 * zoom, 4 * zoom)
    paint_sprite(img, render_bar(17, 10, STEEL, ss=bar_ss, seed=4, rivets=False,
                                 zoom=zoom), 13 * zoom, 19 * zoom)
    paint_sprite(img, render_ball(15, 7.5, 7.5, 7.0, ss=ball_ss, ambient=0.45,
                                  rim=0.2, zoom=zoom), 14 * zoom, 3 * zoom)
    return img, tile


def make_icon():
    """The window's icon: the design at 32 pixels, mapped to 16 colours."""
    img, tile = icon_design(1)
    pal = np.array(ICON_PALETTE, dtype=np.float64) / 255.0
    dist = ((img[:, :, None, :] - pal[None, None]) ** 2).sum(-1)
    index = dist.argmin(-1)
    transparent = tile < 0.5
    return index, transparent


# The desktop's icons: the window's own at 32 pixels, the larger ones drawn
# at their size from the same design, in full colour with soft edges.
DESKTOP_ID = "org.quillamor.Quillamor2000"
DESKTOP_ICON_SIZES = (32, 48, 64, 128, 256)


# The web page's icons for a home screen, as an installed app asks for
# them: the same design, drawn at its size.
WEB_ICON_SIZES = (192, 512)


def web_icon_path(size):
    return os.path.join(RES, "web", "icon-%d.png" % size)


def desktop_icon_path(size):
    return os.path.join(RES, "icons", "hicolor", "%dx%d" % (size, size), "apps",
                        DESKTOP_ID + ".png")


def make_desktop_icon(size):
    """RGBA pixels of the desktop icon at size x size."""
    if size == 32:
        rgb, and_ = read_ico(os.path.join(RES, "icons", "MAINICON.ico"))
        return np.dstack([rgb, np.where(and_, 0, 255)]).astype(np.uint8)
    # Drawn at twice the size, then each 2 x 2 averaged.
    zoom = size * 2 // 32
    img, tile = icon_design(zoom)
    img, tile = downsample(img, 2), downsample(tile, 2)
    rgb = img / np.maximum(tile, 1e-9)[..., None]
    return to_u8(np.dstack([rgb, tile]))


# The Windows program's icon: every size Explorer and the task bar ask for,
# from 16 to 256 pixels, in one .ico.
WINDOWS_ICON = os.path.join(RES, "windows", "quillamor2000.ico")


def write_windows_icon(path):
    images = [Image.fromarray(make_desktop_icon(size), "RGBA") for size in (16,) + DESKTOP_ICON_SIZES]
    images[-1].save(path, "ICO", sizes=[im.size for im in images], append_images=images[:-1])


def write_png(path, rgba):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    Image.fromarray(rgba, "RGBA").save(path, "PNG")


# ---------------------------------------------------------------------------
# Big pictures
# ---------------------------------------------------------------------------

def night_sky(w, h, seed, top=(0.03, 0.05, 0.16), bottom=(0.10, 0.04, 0.14)):
    img = vgradient(h, w, top, bottom)
    rng = np.random.default_rng(seed)
    for _ in range(140):
        x, y = rng.random() * w, rng.random() * h
        b = rng.random() ** 3
        s = int(x), int(y)
        if 0 <= s[0] < w and 0 <= s[1] < h:
            img[s[1], s[0]] = np.minimum(img[s[1], s[0]] + 0.25 + 0.6 * b, 1)
    # Vignette to pull the eye to the middle.
    ys, xs = np.mgrid[0:h, 0:w]
    d = np.hypot((xs - w / 2) / (w * 0.7), (ys - h / 2) / (h * 0.7))
    img *= np.clip(1.1 - 0.45 * d ** 2, 0.5, 1)[..., None]
    return img


def metal_frame(img, outer, inner, seed=5, lip=3):
    """Bevelled gunmetal frame between two rectangles (x0, y0, x1, y1),
    with a thin copper inlay; nothing is painted inside `inner`."""
    ox0, oy0, ox1, oy1 = outer
    ix0, iy0, ix1, iy1 = inner
    H, W = img.shape[:2]
    ys, xs = np.mgrid[0:H, 0:W] + 0.5
    in_outer = (xs > ox0) & (xs < ox1) & (ys > oy0) & (ys < oy1)
    in_inner = (xs > ix0) & (xs < ix1) & (ys > iy0) & (ys < iy1)
    ring = in_outer & ~in_inner
    # Distance from the outer edge, and which side (mitred corners).
    d_side = np.stack([xs - ox0, ys - oy0, ox1 - xs, oy1 - ys])
    side = d_side.argmin(0)
    d_out = d_side.min(0)
    width = np.stack([ix0 - ox0, iy0 - oy0, ox1 - ix1, oy1 - iy1])
    wsel = np.choose(side, width)
    t = np.clip(d_out / wsel, 0, 1)
    # Side lighting: top/left face the light.
    side_light = np.array([0.20, 0.28, -0.18, -0.26])[side]
    # Profile across the frame: a rounded outer rim, a flat band, and a
    # sunken lip where it meets the playfield.
    prof = 0.55 + 0.25 * np.sin(np.pi * np.clip(t / 0.45, 0, 1))
    prof += side_light * np.clip(1 - t / 0.5, 0, 1) * 1.2
    lip_t = 1 - lip / wsel
    prof = np.where(t > lip_t, 0.22 - side_light * 0.6, prof)
    rng = np.random.default_rng(seed)
    brush_h = np.repeat(rng.standard_normal(H)[:, None], W, axis=1)
    brush_v = np.repeat(rng.standard_normal(W)[None, :], H, axis=0)
    brush = np.where(side % 2 == 1, brush_h, brush_v) * 0.025
    v = np.clip(prof + brush, 0, 1.2)
    col = v[..., None] * np.array([0.78, 0.80, 0.86])
    # Copper inlay line.
    inlay = np.abs(t - 0.60) < (0.9 / wsel)
    col = np.where(inlay[..., None],
                   np.array(COPPER["base"]) * (0.9 + side_light[..., None]),
                   col)
    img[ring] = np.clip(col[ring], 0, 1)


def maze_layout(cols, rows, seed, keep_free):
    """Bars scattered over a small board, never overlapping, leaving the
    cells in keep_free empty."""
    rng = np.random.default_rng(seed)
    used = np.zeros((rows, cols), bool)
    for (c, r) in keep_free:
        used[r, c] = True
    bars = []
    for _ in range(400):
        vert = rng.random() < 0.5
        c = int(rng.integers(0, cols - (0 if vert else 1)))
        r = int(rng.integers(0, rows - (1 if vert else 0)))
        cells = [(c, r), (c, r + 1)] if vert else [(c, r), (c + 1, r)]
        if any(used[y, x] for x, y in cells):
            continue
        if rng.random() < 0.45:
            for x, y in cells:
                used[y, x] = True
            bars.append((vert, c, r))
    return bars


def draw_board(img, x, y, cols, rows, seed, ball, exit_cell, path):
    """A little board of the game: black field, bars, the ball with the
    dotted path it will take, and the star exit."""
    img[y:y + rows * 20, x:x + cols * 20] = 0
    sprites = make_bars()
    free = set(path) | {ball, exit_cell}
    for vert, c, r in maze_layout(cols, rows, seed, free):
        spr = sprites["Vertical" if vert else "Horizont"]
        hh, ww = spr.shape[:2]
        img[y + r * 20:y + r * 20 + hh, x + c * 20:x + c * 20 + ww] = spr
    star, _ = exit_star(20)
    ex, ey = exit_cell
    img[y + ey * 20:y + ey * 20 + 20, x + ex * 20:x + ex * 20 + 20] = star
    # The way out, as a row of glowing beads that brighten towards the star.
    H, W = img.shape[:2]
    beads = np.zeros((H, W))
    pts = [ball] + list(path)
    for k in range(len(pts) - 1):
        (c0, r0), (c1, r1) = pts[k], pts[k + 1]
        for f in (0.0, 0.5):
            px = x + (c0 + (c1 - c0) * f) * 20 + 10
            py = y + (r0 + (r1 - r0) * f) * 20 + 10
            beads = np.maximum(beads, disc_mask(W, H, px, py, 1.6, 4) *
                               (0.35 + 0.65 * k / len(pts)))
    add_light(img, (0.35, 0.6, 1.0), blur_f(beads, 2.0) * 0.8)
    add_light(img, (0.55, 0.8, 1.0), beads * 0.8)
    add_light(img, (1.0, 0.9, 0.5),
              blur_f(disc_mask(W, H, x + ex * 20 + 10, y + ey * 20 + 10, 9, 4), 6) * 0.6)
    ball_rgb, ball_a = render_ball(20, 10.0, 10.0, 8.6)
    bx, by = ball
    paint_sprite(img, (ball_rgb, ball_a), x + bx * 20, y + by * 20)


def draw_spot(img, centre, kind, lit):
    """A round button on the title screen: metal ring, coloured glass disc,
    a symbol and a word.  Lit: glow halo, brighter ring and glass."""
    H, W = img.shape[:2]
    cx, cy = centre
    ys, xs = np.mgrid[0:H, 0:W] + 0.5
    d = np.hypot(xs - cx, ys - cy)
    r = SPOT_R
    glass = (0.10, 0.62, 0.25) if kind == "play" else (0.12, 0.40, 0.85)
    if lit:
        halo = np.clip(1 - (d - r) / (SPOT_GLOW_R - r), 0, 1) ** 1.6
        halo[d > SPOT_GLOW_R - 0.5] = 0
        glow_col = (1.0, 0.85, 0.35) if kind == "play" else (0.45, 0.85, 1.0)
        add_light(img, glow_col, halo * 0.9)
    # Shadow under the button.
    sh = np.clip(1 - (np.hypot(xs - cx - 2, ys - cy - 3) - r + 2) / 5, 0, 1)
    sh[d > SPOT_GLOW_R - 0.5] = 0
    over(img, (0, 0, 0), sh * 0.6)
    ring = np.clip(r - d + 0.5, 0, 1)
    ang = np.arctan2(ys - cy, xs - cx)
    ring_shade = 0.62 + 0.3 * np.cos(ang + 2.3)          # light from upper left
    ring_col = (np.array([0.85, 0.80, 0.70]) if lit else
                np.array([0.62, 0.60, 0.58]))[None, None] * ring_shade[..., None]
    over(img, np.clip(ring_col * (1.25 if lit else 1.0), 0, 1), ring)
    rin = r - 4
    disc = np.clip(rin - d + 0.5, 0, 1)
    # Glass: darker at the rim, bright towards the lower middle.
    g = np.array(glass) * (1.35 if lit else 1.0)
    rim = np.clip(d / rin, 0, 1)
    glass_col = g[None, None] * (1.05 - 0.55 * rim[..., None] ** 2)
    glass_col += np.clip(1 - np.hypot(xs - cx, ys - cy - rin * 0.55) / rin, 0, 1)[..., None] * 0.25 * g
    over(img, np.clip(glass_col, 0, 1), disc)
    # Symbol.
    if kind == "play":
        tri = [(cx - 7, cy - 13), (cx - 7, cy + 3), (cx + 9, cy - 5)]
        m = mask_from_draw(W, H, lambda dr, s: dr.polygon(
            [(px * s, py * s) for px, py in tri], fill=255), 4)
        sym_a = m
    else:
        def globe(dr, s):
            gx, gy, gr = cx, cy - 5, 9.5
            lw = max(1, int(1.6 * s))
            dr.ellipse([(gx - gr) * s, (gy - gr) * s, (gx + gr) * s, (gy + gr) * s],
                       outline=255, width=lw)
            dr.ellipse([(gx - gr * 0.45) * s, (gy - gr) * s, (gx + gr * 0.45) * s,
                        (gy + gr) * s], outline=255, width=lw)
            dr.line([(gx - gr) * s, gy * s, (gx + gr) * s, gy * s], fill=255, width=lw)
            dr.line([gx * s, (gy - gr) * s, gx * s, (gy + gr) * s], fill=255, width=lw)
            for k in (-0.55, 0.55):
                yy = gy + gr * k
                half = gr * np.sqrt(1 - k * k)
                dr.line([(gx - half) * s, yy * s, (gx + half) * s, yy * s],
                        fill=255, width=lw)
        sym_a = mask_from_draw(W, H, globe, 4)
    word = "PLAY" if kind == "play" else "WEB"
    sym_a = np.maximum(sym_a, text_mask(W, H, (cx, cy + 12), word,
                                        font(F_COND_BOLD, 11)))
    over(img, (0, 0, 0), blur_f(np.roll(np.roll(sym_a, 1, 0), 1, 1), 0.8) * 0.7)
    over(img, (1.0, 1.0, 0.85) if lit else (0.96, 0.96, 0.96), sym_a)
    # Glass highlight: a soft crescent at the top.
    hl = np.clip(1 - np.hypot((xs - cx) / (rin * 0.75), (ys - cy + rin * 0.45) /
                              (rin * 0.42)), 0, 1)
    over(img, (1, 1, 1), hl * disc * (0.45 if lit else 0.32))


def draw_title(lit=None):
    W, H = 550, 440
    img = night_sky(W, H, seed=2000)
    # The board picture in the middle, in a small version of the game frame.
    cols, rows = 14, 11
    bx, by = (W - cols * 20) // 2, 112
    glow = np.zeros((H, W))
    glow[by - 14:by + rows * 20 + 14, bx - 14:bx + cols * 20 + 14] = 1
    add_light(img, (0.20, 0.35, 0.75), blur_f(glow, 12) * 0.35)
    metal_frame(img, (bx - 10, by - 10, bx + cols * 20 + 10, by + rows * 20 + 10),
                (bx, by, bx + cols * 20, by + rows * 20), seed=7, lip=2)
    path = [(2, 1), (3, 1), (4, 1), (4, 2), (4, 3), (4, 4), (5, 4), (6, 4),
            (7, 4), (8, 4), (8, 5), (8, 6), (8, 7), (9, 7), (10, 7)]
    draw_board(img, bx, by, cols, rows, seed=42, ball=(1, 1), exit_cell=(11, 7),
               path=path)
    # Name across the top.
    fancy_text(img, (W // 2, 56), "Quillamor 2000", font(F_BOLD, 56),
               top=(1.0, 0.93, 0.55), bottom=(0.95, 0.45, 0.10), stroke=3,
               stroke_colour=(0.16, 0.06, 0.02),
               glow=((0.9, 0.5, 0.15), 9, 0.45))
    # Hint line between the two spots.
    hint_font = font(F_BOLD, 13)
    for line, y in (("Click a bar to shift it one cell.", 392),
                    ("Steer the ball to the star!", 412)):
        m = text_mask(W, H, (W // 2, y), line, hint_font)
        over(img, (0, 0, 0), blur_f(np.roll(m, 1, 0), 1.0) * 0.8)
        over(img, (0.78, 0.84, 0.96), m)
    draw_spot(img, SPOT_SITE, "web", lit == "site")
    draw_spot(img, SPOT_GAME, "play", lit == "game")
    return img


def make_title():
    plain = draw_title()
    game = draw_title("game")
    site = draw_title("site")
    x0, y0, x1, y1 = GAME_BOX
    sx0, sy0, sx1, sy1 = SITE_BOX
    return {"Title": plain, "Game": game[y0:y1, x0:x1],
            "Site": site[sy0:sy1, sx0:sx1]}


def draw_button(img, x, y, label, lit):
    """A raised, rounded push button filling a 110 x 65 slot."""
    w, h = BUTTON_W, BUTTON_H
    m = 7
    body = mask_from_draw(w, h, lambda d, s: d.rounded_rectangle(
        [m * s, m * s, (w - m) * s - 1, (h - m) * s - 1], radius=11 * s,
        fill=255), 4)
    face = mask_from_draw(w, h, lambda d, s: d.rounded_rectangle(
        [(m + 3) * s, (m + 3) * s, (w - m - 3) * s - 1, (h - m - 3) * s - 1],
        radius=8 * s, fill=255), 4)
    slot = img[y:y + h, x:x + w]
    if lit:
        add_light(slot, (1.0, 0.75, 0.25), np.clip(blur_f(body, 4.0) * 1.4, 0, 1) * 0.8)
    else:
        sh = np.roll(np.roll(body, 2, 0), 2, 1)
        over(slot, (0, 0, 0), blur_f(sh, 2.0) * 0.8)
    # Rim: bevelled metal, lit from the top.
    rim = vgradient(h, w, (0.92, 0.88, 0.80) if lit else (0.70, 0.70, 0.74),
                    (0.35, 0.30, 0.22) if lit else (0.18, 0.18, 0.22))
    over(slot, rim, body)
    if lit:
        top, bot = (0.55, 0.80, 1.0), (0.10, 0.35, 0.80)
    else:
        top, bot = (0.30, 0.45, 0.66), (0.06, 0.14, 0.32)
    over(slot, vgradient(h, w, top, bot), face)
    # Glassy highlight on the upper half of the face.
    gloss = face.copy()
    gloss[int(h * 0.48):] = 0
    gloss *= np.linspace(0.45, 0.08, h)[:, None]
    over(slot, (1, 1, 1), gloss * (1.0 if lit else 0.6))
    fnt = font(F_BOLD, 19)
    tm = text_mask(w, h, (w // 2, h // 2), label, fnt)
    to = text_mask(w, h, (w // 2, h // 2), label, fnt, stroke=2)
    over(slot, (0, 0, 0), blur_f(np.roll(np.roll(to, 1, 0), 1, 1), 1.0) * 0.8)
    over(slot, (0.02, 0.05, 0.15), to * 0.9)
    over(slot, (1.0, 0.97, 0.70) if lit else (0.94, 0.95, 0.98), tm)


def screw(img, cx, cy, r=4.5):
    """A slotted screw head holding the frame's corner."""
    H, W = img.shape[:2]
    x0, y0 = int(cx - r - 3), int(cy - r - 3)
    size = int(2 * r + 6)
    head = render_ball(size, cx - x0, cy - y0, r, base=(0.85, 0.86, 0.90))
    shadow = disc_mask(size, size, cx - x0 + 1, cy - y0 + 1.5, r + 0.5)
    over(img, (0, 0, 0), blur_f(shadow, 0.8) * 0.6, x0, y0)
    paint_sprite(img, head, x0, y0)
    slot = mask_from_draw(size, size, lambda d, s: d.line(
        [(cx - x0 - r * 0.7) * s, (cy - y0 + r * 0.7) * s,
         (cx - x0 + r * 0.7) * s, (cy - y0 - r * 0.7) * s], fill=255,
        width=int(1.4 * s)), 4)
    over(img, (0.12, 0.12, 0.14), slot, x0, y0)


def draw_wallpaper(lit=None):
    W, H = 550, 440
    img = canvas(W, H)
    # Right-hand panel: dark blue brushed metal.
    rng = np.random.default_rng(440)
    panel = vgradient(H, 110, (0.10, 0.14, 0.26), (0.04, 0.05, 0.10))
    panel += (rng.standard_normal(H)[:, None, None] * 0.012)
    img[:, 440:] = np.clip(panel, 0, 1)
    img[:, 440:442] *= 0.4
    # Emblem: the ball resting on a steel bar beside a copper bar, the star.
    cx = 495
    halo = disc_mask(W, H, cx, 62, 44)
    over(img, (0, 0, 0), halo)
    ring = disc_mask(W, H, cx, 62, 46) - disc_mask(W, H, cx, 62, 43)
    over(img, (0.80, 0.55, 0.30), np.clip(ring, 0, 1))
    paint_sprite(img, render_bar(20, 40, COPPER, seed=11), cx - 32, 36)
    paint_sprite(img, render_bar(40, 20, STEEL, seed=12), cx - 10, 76)
    star, sm = exit_star(20)
    paint_sprite(img, (star, np.ones((20, 20)) * np.maximum(sm, star.max(-1))), cx + 12, 28)
    paint_sprite(img, render_ball(20, 10.0, 10.0, 8.6), cx - 3, 56)
    fancy_text(img, (cx, 134), "Quillamor", font(F_COND_BOLD, 20),
               top=(1.0, 0.93, 0.55), bottom=(0.95, 0.50, 0.12), stroke=2,
               shadow=(2, 2), shadow_blur=1.5)
    fancy_text(img, (cx, 172), "2000", font(F_BOLD, 34),
               top=(0.90, 0.96, 1.0), bottom=(0.35, 0.60, 0.90), stroke=2,
               stroke_colour=(0.02, 0.05, 0.12), shadow=(2, 3), shadow_blur=2.0)
    # A copper rule under the name.
    img[205:207, 458:532] = np.array(COPPER["base"])
    img[207, 458:532] = np.array(COPPER["dark"])
    for label, y in BUTTONS:
        draw_button(img, BUTTON_X, y, label, lit == label)
    # The frame round the playfield; the field itself stays pure black.
    metal_frame(img, (0, 0, 440, 440), FIELD, seed=5)
    for sx, sy in ((9, 9), (430, 9), (9, 430), (430, 430)):
        screw(img, sx, sy)
    img[FIELD[1]:FIELD[3], FIELD[0]:FIELD[2]] = 0
    return img


def make_wallpaper():
    out = {"Walpaper": draw_wallpaper()}
    for label, y in BUTTONS:
        out[label + "Off"] = out["Walpaper"][y:y + BUTTON_H, BUTTON_X:BUTTON_X + BUTTON_W]
        out[label] = draw_wallpaper(label)[y:y + BUTTON_H, BUTTON_X:BUTTON_X + BUTTON_W]
    return out


def firework(img, cx, cy, radius, colour, seed, rays=26, strength=1.0):
    H, W = img.shape[:2]
    rng = np.random.default_rng(seed)

    def d(dr, s):
        for i in range(rays):
            a = 2 * np.pi * (i + rng.random() * 0.3) / rays
            r = radius * (0.75 + 0.25 * rng.random())
            for k in range(9):
                f = k / 9
                px, py = cx + np.cos(a) * r * f, cy + np.sin(a) * r * f + f * f * 6
                rr = (0.6 + 1.4 * f) * s
                dr.ellipse([px * s - rr, py * s - rr, px * s + rr, py * s + rr],
                           fill=int(60 + 195 * f))
    sparks = mask_from_draw(W, H, d, 3)
    add_light(img, colour, np.clip(blur_f(sparks, 5) * 1.8 * strength, 0, 1) * 0.6)
    add_light(img, colour, np.clip(sparks * 1.2 * strength, 0, 1))
    add_light(img, (1, 1, 1), np.clip(sparks - 0.55, 0, 1) * strength)
    core = disc_mask(W, H, cx, cy, radius * 0.16)
    add_light(img, colour, blur_f(core, radius * 0.12) * 0.9 * strength)


def make_wow_picture():
    W, H = 550, 440
    img = night_sky(W, H, seed=77, top=(0.10, 0.03, 0.22), bottom=(0.02, 0.04, 0.16))
    # Burst of light behind everything.
    ys, xs = np.mgrid[0:H, 0:W] + 0.5
    ang = np.arctan2(ys - 300, xs - 275)
    d = np.hypot(xs - 275, ys - 300)
    beams = (np.cos(ang * 12) * 0.5 + 0.5) ** 3 * np.exp(-d / 260)
    add_light(img, (0.45, 0.30, 0.65), beams * 0.45)
    firework(img, 95, 95, 70, (1.0, 0.45, 0.30), seed=1)
    firework(img, 460, 80, 60, (0.45, 0.80, 1.0), seed=2)
    firework(img, 470, 265, 48, (1.0, 0.85, 0.30), seed=3, rays=20)
    firework(img, 80, 280, 52, (0.55, 1.0, 0.50), seed=4, rays=22)
    firework(img, 290, 28, 34, (1.0, 0.55, 0.95), seed=5, rays=18, strength=0.8)
    # Confetti.
    rng = np.random.default_rng(99)
    colours = [(1, 0.3, 0.3), (1, 0.85, 0.2), (0.3, 0.85, 1), (0.5, 1, 0.4),
               (1, 0.5, 0.9), COPPER["light"]]
    for _ in range(70):
        x, y = rng.random() * W, rng.random() * H
        if 150 < y < 250 or 375 < y:
            continue
        a = rng.random() * np.pi
        l, t = 3 + rng.random() * 4, 1.3 + rng.random()
        pts = [(x + np.cos(a) * l - np.sin(a) * t, y + np.sin(a) * l + np.cos(a) * t),
               (x - np.cos(a) * l - np.sin(a) * t, y - np.sin(a) * l + np.cos(a) * t),
               (x - np.cos(a) * l + np.sin(a) * t, y - np.sin(a) * l - np.cos(a) * t),
               (x + np.cos(a) * l + np.sin(a) * t, y + np.sin(a) * l - np.cos(a) * t)]
        m = mask_from_draw(W, H, lambda dr, s: dr.polygon(
            [(px * s, py * s) for px, py in pts], fill=255), 3)
        over(img, colours[int(rng.integers(len(colours)))], m * 0.9)
    # The exit star with the ball dropping into it.
    sx, sy = 275, 318
    add_light(img, (1.0, 0.85, 0.4), blur_f(disc_mask(W, H, sx, sy, 40), 18) * 0.9)
    sm = star_mask(W, H, sx, sy + 3, 46, 19)
    add_light(img, (1.0, 0.9, 0.5), blur_f(sm, 4) * 0.9)
    over(img, (1, 1, 1), sm)
    # Ghost trail, then the ball itself, half-way into the star.
    for k, (gy, a) in enumerate(((200, 0.18), (224, 0.30), (250, 0.48))):
        rgb, al = render_ball(44, 22, 22, 18)
        paint_sprite(img, (rgb * a, al * a), sx - 22, gy - 22)
    for off in (-12, 0, 12):
        m = mask_from_draw(W, H, lambda dr, s: dr.line(
            [(sx + off) * s, 200 * s, (sx + off) * s, 250 * s], fill=255,
            width=2 * s), 3)
        add_light(img, (0.5, 0.75, 1.0),
                  m * np.clip((ys - 200) / 50, 0, 1) * 0.5)
    paint_sprite(img, render_ball(44, 22, 22, 19), sx - 22, 282 - 22)
    fancy_text(img, (W // 2, 110), "Well done!", font(F_BOLD, 76),
               top=(1.0, 0.97, 0.65), bottom=(1.0, 0.55, 0.10), stroke=4,
               stroke_colour=(0.20, 0.05, 0.02),
               glow=((1.0, 0.55, 0.20), 12, 0.6), shadow=(4, 5))
    fancy_text(img, (W // 2, 176), "The ball is home.", font(F_BOLD, 22),
               top=(0.85, 0.93, 1.0), bottom=(0.55, 0.75, 1.0), stroke=2,
               stroke_colour=(0.02, 0.04, 0.12), shadow=(2, 2), shadow_blur=1.5,
               shine=False)
    # The instruction, on a dark band so it reads over anything.
    band = np.zeros((H, W))
    band[388:424, 60:490] = 1
    over(img, (0, 0, 0), blur_f(band, 6) * 0.55)
    fancy_text(img, (W // 2, 406), "Click anywhere for the next level",
               font(F_BOLD, 21), top=(1, 1, 1), bottom=(0.85, 0.90, 1.0),
               stroke=2, stroke_colour=(0.03, 0.05, 0.15), shadow=(2, 2),
               shadow_blur=1.5, shine=False)
    return {"WOW": img}


# ---------------------------------------------------------------------------
# Sounds
# ---------------------------------------------------------------------------

SR = 22050


def fades(x, rate, ms_in=3.0, ms_out=8.0):
    """Raised-cosine fade at both ends so nothing ticks."""
    x = np.array(x, dtype=np.float64)
    n_in, n_out = int(rate * ms_in / 1000), int(rate * ms_out / 1000)
    ramp_in = 0.5 - 0.5 * np.cos(np.linspace(0, np.pi, n_in))
    ramp_out = 0.5 + 0.5 * np.cos(np.linspace(0, np.pi, n_out))
    shape = (-1, 1) if x.ndim == 2 else (-1,)
    x[:n_in] *= ramp_in.reshape(shape)
    x[-n_out:] *= ramp_out.reshape(shape)
    x[0] = 0
    x[-1] = 0
    return x


def normalise(x, peak=0.707):
    return x * (peak / np.max(np.abs(x)))


def finish(x, rate, ms_in=3.0, ms_out=8.0):
    """Fade the ends, then bring the peak to -3 dBFS."""
    return normalise(fades(x, rate, ms_in, ms_out))


def soft_limit(x, drive):
    """Gentle saturation: lifts the body of a sound relative to its attack,
    so the set keeps a similar loudness at the same peak level."""
    return np.tanh(x / np.max(np.abs(x)) * drive) / np.tanh(drive)


def compress(x, rate, threshold=0.35, ratio=3.0, lookahead=0.004, release=0.09):
    """Smooth gain riding rather than clipping: loud moments are turned down
    a few ms ahead of time, so chords keep their purity and peaks their shape
    while the set stays even in loudness."""
    level = np.abs(x) if x.ndim == 1 else np.abs(x).max(axis=1)
    level = level / np.max(level)
    a_rel = np.exp(-1.0 / (release * rate))
    env = np.empty_like(level)
    e = 0.0
    for i, v in enumerate(level):
        e = max(v, a_rel * e)
        env[i] = e
    gain = np.where(env > threshold,
                    (np.maximum(env, 1e-9) / threshold) ** (1 / ratio - 1), 1.0)
    n = max(int(lookahead * rate), 1)
    # The smallest gain of the next n samples, then a ramp of n samples into
    # it: the gain is already down when the peak arrives.
    padded = np.concatenate([gain, np.ones(n)])
    ahead = np.lib.stride_tricks.sliding_window_view(padded, n)[:len(gain)].min(axis=1)
    ramp = np.convolve(np.concatenate([np.ones(n - 1), ahead]), np.ones(n) / n,
                       mode="valid")
    return x * (ramp if x.ndim == 1 else ramp[:, None])


def fft_convolve(a, b):
    n = len(a) + len(b) - 1
    size = 1 << (n - 1).bit_length()
    return np.fft.irfft(np.fft.rfft(a, size) * np.fft.rfft(b, size), size)[:n]


def svf_bandpass(x, fc, q, rate):
    """State-variable band-pass with a cutoff that may change per sample."""
    fc = np.broadcast_to(np.asarray(fc, dtype=np.float64), x.shape)
    f = 2 * np.sin(np.pi * np.clip(fc, 20, rate / 6) / rate)
    low = band = 0.0
    out = np.empty_like(x)
    damp = 1.0 / q
    for i in range(len(x)):
        high = x[i] - low - damp * band
        band += f[i] * high
        low += f[i] * band
        out[i] = band
    return out


def one_pole_lowpass(x, fc, rate):
    a = np.exp(-2 * np.pi * fc / rate)
    y = np.empty_like(x)
    acc = 0.0
    for i in range(len(x)):
        acc = (1 - a) * x[i] + a * acc
        y[i] = acc
    return y


def mallet(freq, dur, rate, decay=0.35, bright=1.0):
    """A struck bar: marimba-like partials plus a bell shimmer, each with its
    own decay, and a soft 2 ms attack."""
    t = np.arange(int(dur * rate)) / rate
    parts = [(1.0, 1.0, decay), (3.93, 0.22 * bright, decay * 0.25),
             (2.0, 0.18 * bright, decay * 0.6), (5.4, 0.06 * bright, decay * 0.12)]
    y = np.zeros_like(t)
    for ratio, amp, tau in parts:
        if freq * ratio < rate * 0.45:
            y += amp * np.sin(2 * np.pi * freq * ratio * t) * np.exp(-t / tau)
    attack = np.clip(t / 0.002, 0, 1)
    return y * attack


def note_freq(name):
    names = {"C": -9, "D": -7, "E": -5, "F": -4, "G": -2, "A": 0, "B": 2}
    semis = names[name[0]] + (1 if "#" in name else 0) + 12 * (int(name[-1]) - 4)
    return 440.0 * 2 ** (semis / 12)


def reverb_ir(seconds, rate, seed, decay=0.28):
    rng = np.random.default_rng(seed)
    n = int(seconds * rate)
    t = np.arange(n) / rate
    ir = rng.standard_normal(n) * np.exp(-t / decay)
    ir = one_pole_lowpass(ir, 4000, rate)
    ir[: int(0.012 * rate)] = 0                 # a little pre-delay
    return ir / np.sqrt(np.sum(ir ** 2))


def make_start():
    """Opening jingle: a rising arpeggio of mallet tones into a bright chord,
    spread across the stereo field, in a soft room."""
    rate, dur = SR, 1.6
    n = int(dur * rate)
    dry = np.zeros((n, 2))
    seq = [("G4", 0.00, -0.6), ("C5", 0.10, -0.35), ("E5", 0.20, -0.1),
           ("G5", 0.30, 0.15), ("C6", 0.40, 0.4)]
    chord = [("C5", 0.58, -0.4), ("E5", 0.58, 0.0), ("G5", 0.58, 0.3),
             ("C6", 0.58, -0.1), ("E6", 0.60, 0.5), ("G6", 0.66, 0.2)]
    for name, at, pan in seq + chord:
        long_ = at >= 0.5
        tone = mallet(note_freq(name), dur - at, rate,
                      decay=0.45 if long_ else 0.22,
                      bright=0.8 if long_ else 1.0)
        tone *= 0.55 if long_ else 1.0
        i = int(at * rate)
        left, right = np.cos((pan + 1) * np.pi / 4), np.sin((pan + 1) * np.pi / 4)
        dry[i:, 0] += tone * left
        dry[i:, 1] += tone * right
    wet = np.stack([fft_convolve(dry[:, 0], reverb_ir(0.9, rate, 31))[:n],
                    fft_convolve(dry[:, 1], reverb_ir(0.9, rate, 32))[:n]], axis=1)
    mix = dry + wet * 0.35
    t = np.arange(n) / rate
    tail = np.clip((dur - t) / 0.35, 0, 1) ** 2        # settle to silence
    mix *= tail[:, None]
    mix = compress(mix, rate, threshold=0.2, ratio=3.0)
    return finish(mix, rate)


def make_select():
    """A crisp tick: a tiny high woodblock with a click of noise on top."""
    rate, dur = SR, 0.07
    t = np.arange(int(dur * rate)) / rate
    rng = np.random.default_rng(5)
    body = (np.sin(2 * np.pi * 1900 * t) + 0.45 * np.sin(2 * np.pi * 3150 * t)) \
        * np.exp(-t / 0.012)
    click = rng.standard_normal(len(t)) * np.exp(-t / 0.0015)
    click = click - one_pole_lowpass(click, 2500, rate)
    y = body + click * 0.6
    y = soft_limit(y, 1.6)
    y = np.stack([y, y], axis=1)
    return finish(y, rate, 1.0, 6.0)


def make_move():
    """A bar sliding one cell: filtered scrape noise whose pitch and
    brightness rise as it moves, then a small thump as it settles."""
    rate, dur = SR, 0.24
    n = int(dur * rate)
    t = np.arange(n) / rate
    rng = np.random.default_rng(77)
    shared = rng.standard_normal(n)
    # Roughness: the bar catching on the track, a few dozen times a second.
    grit = 1 + 0.6 * np.sin(2 * np.pi * 38 * t + 3 * np.sin(2 * np.pi * 7 * t))
    sweep = 700 * (3.2 ** (t / dur))
    env = np.clip(t / 0.02, 0, 1) * np.clip((0.19 - t) / 0.05, 0, 1)
    chans = []
    for ch in range(2):
        noise = 0.8 * shared + 0.45 * rng.standard_normal(n)
        # Two band-passes in a row give the scrape a clear pitch that the
        # listener can hear rising as the bar travels.
        fc = sweep * (1 + 0.04 * ch)
        scrape = svf_bandpass(svf_bandpass(noise * grit, fc, 4.0, rate), fc, 4.0, rate)
        hiss = noise - one_pole_lowpass(noise, 3000, rate)
        chans.append((scrape / np.max(np.abs(scrape)) + 0.06 * hiss) * env)
    y = np.stack(chans, axis=1)
    # Rounding off the noise peaks is inaudible on a scrape and keeps it as
    # loud as the other sounds at the same peak level.
    y = soft_limit(y, 2.2)
    tt = np.clip(t - 0.175, 0, None)
    landed = t >= 0.175
    f = (70 + 60 * np.exp(-tt / 0.015)) * landed
    thump = np.sin(2 * np.pi * np.cumsum(f) / rate) * np.exp(-tt / 0.025) * landed
    y += 0.6 * thump[:, None]
    return finish(y, rate, 3.0, 10.0)


def make_bam():
    """The ball knocking into a bar: a low, short, woody thump."""
    rate, dur = SR, 0.16
    t = np.arange(int(dur * rate)) / rate
    rng = np.random.default_rng(13)
    f = 60 + 110 * np.exp(-t / 0.02)                      # pitch drops on impact
    phase = 2 * np.pi * np.cumsum(f) / rate
    body = np.sin(phase) * np.exp(-t / 0.045)
    wood = np.sin(2.3 * phase) * np.exp(-t / 0.012) * 0.35
    knock = one_pole_lowpass(rng.standard_normal(len(t)), 900, rate) \
        * np.exp(-t / 0.004) * 3.0
    y = soft_limit(body + wood + knock, 2.0)
    return finish(y, rate, 1.0, 15.0)


def make_out():
    """The ball leaving through the star: a falling chime over a whoosh."""
    rate, dur = SR, 0.62
    n = int(dur * rate)
    t = np.arange(n) / rate
    rng = np.random.default_rng(21)
    f = 1500 * (0.25 ** (t / dur)) * (1 + 0.006 * np.sin(2 * np.pi * 6 * t))
    phase = 2 * np.pi * np.cumsum(f) / rate
    chime_env = np.clip(t / 0.01, 0, 1) * np.exp(-t / 0.28)
    chime = (np.sin(phase) + 0.35 * np.sin(2 * phase) + 0.15 * np.sin(3.01 * phase)) \
        * chime_env
    whoosh_env = np.sin(np.pi * np.clip(t / (dur * 0.9), 0, 1)) ** 1.5
    whoosh = svf_bandpass(rng.standard_normal(n), 3500 * (0.12 ** (t / dur)), 1.6,
                          rate) * whoosh_env
    whoosh /= np.max(np.abs(whoosh))
    y = chime / np.max(np.abs(chime)) + 0.55 * whoosh
    y *= np.clip((dur - t) / 0.12, 0, 1)
    y = soft_limit(y, 1.1)
    return finish(y, rate, 3.0, 10.0)


def brass(freq, dur, rate, vibrato=0.0):
    """A bright brass-like note: harmonics that open up during the attack."""
    n = int(dur * rate)
    t = np.arange(n) / rate
    vib = 1 + vibrato * np.sin(2 * np.pi * 5.5 * t) * np.clip((t - 0.12) / 0.2, 0, 1)
    phase = 2 * np.pi * np.cumsum(freq * vib) / rate
    bright = np.clip(t / 0.05, 0, 1)
    y = np.zeros(n)
    k = 1
    while freq * k < rate * 0.42:
        y += np.sin(k * phase) / k ** (1.9 - 0.9 * bright)
        k += 1
    env = np.clip(t / 0.015, 0, 1) * np.clip((dur - t) / 0.04, 0, 1) \
        * (0.85 + 0.15 * np.exp(-t / 0.05))
    return y * env


def make_wow_sound():
    """Winning fanfare: a quick rising call and a held major chord."""
    rate, dur = 11025, 1.55
    n = int(dur * rate)
    y = np.zeros(n)
    seq = [("G4", 0.00, 0.11), ("C5", 0.12, 0.11), ("E5", 0.24, 0.11),
           ("G5", 0.36, 0.20), ("E5", 0.58, 0.10),
           ("C5", 0.70, 0.82), ("E5", 0.70, 0.82), ("G5", 0.70, 0.82),
           ("C6", 0.70, 0.82)]
    for name, at, length in seq:
        held = length > 0.5
        tone = brass(note_freq(name), length, rate, vibrato=0.006 if held else 0)
        i = int(at * rate)
        y[i:i + len(tone)] += tone * (0.55 if held else 1.0)
    t = np.arange(n) / rate
    y *= np.clip((dur - t) / 0.35, 0, 1) ** 1.5        # let the chord die away
    y = one_pole_lowpass(y, 3800, rate)
    y = compress(y, rate, threshold=0.4, ratio=2.0)
    return finish(y, rate, 3.0, 10.0)


SOUNDS = {
    # name: (maker, rate, bits)
    "Start": (make_start, SR, 16),
    "Select": (make_select, SR, 16),
    "Move": (make_move, SR, 16),
    "Bam": (make_bam, SR, 16),
    "Out": (make_out, SR, 16),
    "Wow": (make_wow_sound, 11025, 8),
}


# ---------------------------------------------------------------------------
# Build and check
# ---------------------------------------------------------------------------

def read_list():
    entries = []
    with open(os.path.join(RES, "resources.list")) as f:
        for line in f:
            line = line.split("#", 1)[0].split()
            if len(line) == 3:
                entries.append(tuple(line))
    return entries


def build_pictures():
    pics = {}
    for maker in (make_bars, make_ball, make_exit, make_blanks, make_out_frames,
                  make_bg, make_digits, make_title, make_wallpaper, make_wow_picture):
        pics.update(maker())
    return pics


def build(preview_dir=None):
    entries = read_list()
    pics = build_pictures()
    cursors = make_cursors()
    written = []
    for kind, name, rel in entries:
        path = os.path.join(RES, rel)
        if kind == "bitmap" and name == "DiffLabel":
            write_bmp32_alpha(path, make_diff_label())
        elif kind == "bitmap" and name == "MsgFont":
            write_bmp32_alpha(path, make_msg_font())
        elif kind == "bitmap":
            write_bmp24(path, pics[name])
        elif kind == "wave":
            maker, rate, bits = SOUNDS[name]
            write_wav(path, maker(), rate, bits)
        elif kind == "cursor":
            white, black, hot = cursors[name]
            write_cur(path, white, black, hot)
        elif kind == "icon":
            index, transparent = make_icon()
            write_ico16(path, index, ICON_PALETTE, transparent)
        else:
            raise SystemExit("unknown kind %s" % kind)
        written.append(path)
    for size in DESKTOP_ICON_SIZES:
        write_png(desktop_icon_path(size), make_desktop_icon(size))
        written.append(desktop_icon_path(size))
    for size in WEB_ICON_SIZES:
        write_png(web_icon_path(size), make_desktop_icon(size))
        written.append(web_icon_path(size))
    write_windows_icon(WINDOWS_ICON)
    written.append(WINDOWS_ICON)
    if preview_dir:
        write_previews(preview_dir, entries)
    return written


# --- readers used by the check and the previews ---

def read_bmp(path):
    data = open(path, "rb").read()
    magic, size, _, _, off = struct.unpack_from("<2sIHHI", data, 0)
    assert magic == b"BM" and size == len(data), path
    hsize, w, h, planes, bpp, comp = struct.unpack_from("<IiiHHI", data, 14)
    assert h > 0 and planes == 1, path
    if bpp == 24:
        assert hsize == 40 and comp == 0 and off == 54, path
        stride = (w * 3 + 3) & ~3
        assert len(data) == off + stride * h, path
        rows = np.frombuffer(data, np.uint8, stride * h, off).reshape(h, stride)
        return rows[::-1, :w * 3].reshape(h, w, 3)[:, :, ::-1].copy()
    assert bpp == 32 and hsize == 108 and comp == 3 and off == 122, path
    masks = struct.unpack_from("<IIII", data, 54)
    assert masks == (0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000), path
    px = np.frombuffer(data, np.uint8, w * h * 4, off).reshape(h, w, 4)
    return px[::-1][:, :, [2, 1, 0, 3]].copy()


def read_wav(path):
    data = open(path, "rb").read()
    assert data[:4] == b"RIFF" and data[8:12] == b"WAVE", path
    assert struct.unpack_from("<I", data, 4)[0] == len(data) - 8, path
    assert data[12:16] == b"fmt " and struct.unpack_from("<I", data, 16)[0] == 16
    fmt, ch, rate, brate, block, bits = struct.unpack_from("<HHIIHH", data, 20)
    assert fmt == 1 and block == ch * bits // 8 and brate == rate * block, path
    assert data[36:40] == b"data", path
    n = struct.unpack_from("<I", data, 40)[0]
    raw = data[44:44 + n]
    if bits == 16:
        x = np.frombuffer(raw, "<i2").astype(np.float64) / 32768.0
    else:
        x = (np.frombuffer(raw, np.uint8).astype(np.float64) - 128.0) / 128.0
    return ch, rate, bits, x.reshape(-1, ch)


def read_cur(path):
    data = open(path, "rb").read()
    res, typ, count = struct.unpack_from("<HHH", data, 0)
    assert (res, typ, count) == (0, 2, 1), path
    w, h, colours, r0, hx, hy, size, off = struct.unpack_from("<BBBBHHII", data, 6)
    assert (w, h, r0, off) == (32, 32, 0, 22) and size == len(data) - 22, path
    hs, bw, bh, planes, bpp = struct.unpack_from("<IiiHH", data, 22)
    assert (hs, bw, bh, planes, bpp) == (40, 32, 64, 1, 1), path
    assert data[62:70] == bytes([0, 0, 0, 0, 255, 255, 255, 0]), path
    xor = np.unpackbits(np.frombuffer(data, np.uint8, 128, 70).reshape(32, 4), axis=1)[::-1]
    and_ = np.unpackbits(np.frombuffer(data, np.uint8, 128, 198).reshape(32, 4), axis=1)[::-1]
    assert len(data) == 326, path
    return (hx, hy), xor.astype(bool), and_.astype(bool)


def read_ico(path):
    data = open(path, "rb").read()
    assert struct.unpack_from("<HHH", data, 0) == (0, 1, 1), path
    w, h, colours, r0, planes, bpp, size, off = struct.unpack_from("<BBBBHHII", data, 6)
    assert (w, h, colours, r0, planes, bpp, off) == (32, 32, 16, 0, 1, 4, 22), path
    assert size == len(data) - 22 == 40 + 64 + 512 + 128, path
    hs, bw, bh, pl, bc = struct.unpack_from("<IiiHH", data, 22)
    assert (hs, bw, bh, pl, bc) == (40, 32, 64, 1, 4), path
    pal = np.frombuffer(data, np.uint8, 64, 62).reshape(16, 4)[:, [2, 1, 0]]
    nib = np.frombuffer(data, np.uint8, 512, 126).reshape(32, 16)[::-1]
    index = np.stack([nib >> 4, nib & 15], axis=-1).reshape(32, 32)
    and_ = np.unpackbits(np.frombuffer(data, np.uint8, 128, 638).reshape(32, 4),
                         axis=1)[::-1].astype(bool)
    rgb = pal[index]
    return rgb, and_


EXPECTED_SIZES = {
    "Walpaper": (550, 440), "Title": (550, 440), "WOW": (550, 440),
    "Main": (110, 65), "MainOff": (110, 65), "Next": (110, 65),
    "NextOff": (110, 65), "Again": (110, 65), "AgainOff": (110, 65),
    "Game": (90, 80), "Site": (90, 80), "Vertical": (20, 40),
    "Horizont": (40, 20), "Exit": (20, 20), "Ball": (20, 20),
    "NoBall": (20, 20), "NoV": (2, 20), "NoH": (20, 2), "bg": (163, 149),
    "DiffLabel": (230, 32), "Digit1": (16, 16), "Digit2": (16, 16),
    "Digit3": (16, 16),
    "MsgFont": ((MSG_LAST - MSG_FIRST + 1) * MSG_CELL_W, MSG_CELL_H + 1),
}
EXPECTED_SIZES.update({"Out%d" % i: (20, 20) for i in range(1, 9)})
EXPECTED_WAV = {"Start": (2, 22050, 16), "Select": (2, 22050, 16),
                "Move": (2, 22050, 16), "Bam": (1, 22050, 16),
                "Out": (1, 22050, 16), "Wow": (1, 11025, 8)}
MAX_SECONDS = {"Start": (1.4, 1.8), "Select": (0.02, 0.12), "Move": (0.1, 0.3),
               "Bam": (0.05, 0.2), "Out": (0.45, 0.75), "Wow": (1.0, 2.0)}


def check():
    entries = read_list()
    problems = []

    def need(cond, msg):
        if not cond:
            problems.append(msg)

    bmps = {}
    for kind, name, rel in entries:
        path = os.path.join(RES, rel)
        if not os.path.exists(path):
            problems.append("missing " + rel)
            continue
        if kind == "bitmap":
            px = read_bmp(path)
            bmps[name] = px
            need((px.shape[1], px.shape[0]) == EXPECTED_SIZES[name],
                 "%s is %dx%d" % (name, px.shape[1], px.shape[0]))
            need((px.shape[2] == 4) == (name in ("DiffLabel", "MsgFont")), name + " depth")
        elif kind == "wave":
            ch, rate, bits, x = read_wav(path)
            need((ch, rate, bits) == EXPECTED_WAV[name], name + " format")
            secs = len(x) / rate
            lo, hi = MAX_SECONDS[name]
            need(lo <= secs <= hi, "%s lasts %.3f s" % (name, secs))
            peak = np.max(np.abs(x))
            need(0.65 < peak < 0.76, "%s peak %.3f" % (name, peak))
            # Both ends ramp up from / down to silence (no step = no tick).
            need(np.max(np.abs(x[:1])) < 0.01 and np.max(np.abs(x[-1:])) < 0.01,
                 name + " does not start/end at silence")
            need(np.max(np.abs(x[:4])) < 0.05 and np.max(np.abs(x[-4:])) < 0.05,
                 name + " has no fade at its ends")
        elif kind == "cursor":
            hot, xor, and_ = read_cur(path)
            need(hot == CURSOR_HOTSPOTS[name], name + " hot spot")
            white = xor & ~and_
            black = ~xor & ~and_
            need(not np.any(xor & and_), name + " has inverted pixels")
            need(white.sum() > 40 and black.sum() > 20, name + " too small")
            # The hot spot lies on the arrow, not on a transparent pixel.
            need(not and_[hot[1], hot[0]], name + " hot spot is transparent")
            # The outline closes the white area in.
            opaque = np.pad(~and_, 1)
            for dy, dx in ((-1, 0), (1, 0), (0, -1), (0, 1)):
                nb = opaque[1 + dy:33 + dy, 1 + dx:33 + dx]
                need(np.all(nb[white]), name + " white touches transparency")
            tip_dir = {"CUR_DOWN": (0, 1), "CUR_UP": (0, -1),
                       "CUR_LEFT": (-1, 0), "CUR_RIGHT": (1, 0)}[name]
            ys, xs = np.nonzero(~and_)
            # The narrow end points the named way: the row/column of widest
            # extent sits on the opposite side.
            if tip_dir[1]:
                widths = [np.sum(ys == y) for y in range(32)]
                widest = int(np.argmax(widths))
                need((np.mean(ys) - widest) * tip_dir[1] > 0, name + " points wrong")
            else:
                widths = [np.sum(xs == x) for x in range(32)]
                widest = int(np.argmax(widths))
                need((np.mean(xs) - widest) * tip_dir[0] > 0, name + " points wrong")
        elif kind == "icon":
            rgb, and_ = read_ico(path)
            need(and_.sum() < 40 and not and_[16, 16], "icon mask")

    if problems:
        print("\n".join(problems))
        return False

    wp = bmps["Walpaper"]
    need(not np.any(wp[20:420, 20:420]), "Walpaper playfield not black")
    need(np.any(wp[0:20, 0:440]) and np.any(wp[:, 420:440]), "frame missing")
    for label, y in BUTTONS:
        crop = wp[y:y + BUTTON_H, BUTTON_X:BUTTON_X + BUTTON_W]
        need(np.array_equal(bmps[label + "Off"], crop), label + "Off differs")
        lit = bmps[label].astype(int)
        need(lit.mean() > crop.mean() + 3, label + " is not brighter")
    title = bmps["Title"]
    for name, box, centre in (("Game", GAME_BOX, SPOT_GAME),
                              ("Site", SITE_BOX, SPOT_SITE)):
        x0, y0, x1, y1 = box
        crop = title[y0:y1, x0:x1]
        lit = bmps[name]
        ys, xs = np.mgrid[y0:y1, x0:x1] + 0.5
        outside = np.hypot(xs - centre[0], ys - centre[1]) > SPOT_GLOW_R + 0.5
        need(np.array_equal(lit[outside], crop[outside]),
             name + " differs from Title outside the lit circle")
        need(lit.astype(int).sum() > crop.astype(int).sum() * 1.05,
             name + " is not lit")
    for name in ("NoBall", "NoV", "NoH", "Out8"):
        need(not np.any(bmps[name]), name + " not black")
    for name in ("Out%d" % i for i in range(1, 8)):
        need(np.any(bmps[name]), name + " is empty")
    energy = [bmps["Out%d" % i].astype(int).sum() for i in range(1, 8)]
    need(energy[0] < energy[1] < energy[2] < energy[3] > energy[4] > energy[5] > energy[6],
         "flash does not swell then shrink: %s" % energy)
    lab = bmps["DiffLabel"]
    need(not np.any(lab[:, :, :3]), "DiffLabel colour not black")
    a = lab[:, :, 3]
    rows = np.nonzero(a.max(1))[0]
    cols = np.nonzero(a.max(0))[0]
    need(1 <= rows[0] <= 5 and 14 <= rows[-1] - rows[0] + 1 <= 21,
         "DiffLabel glyph rows %d..%d" % (rows[0], rows[-1]))
    need(abs((cols[0] + cols[-1]) / 2 - 115) <= 3, "DiffLabel not centred")
    need(len(np.unique(a)) > 20, "DiffLabel not anti-aliased")
    glyphs = bmps["MsgFont"][:, :, 3]
    need(not np.any(bmps["MsgFont"][:, :, :3]), "MsgFont colour not black")
    for i in range(MSG_LAST - MSG_FIRST + 1):
        cell = glyphs[:MSG_CELL_H, i * MSG_CELL_W:(i + 1) * MSG_CELL_W]
        ruler = glyphs[MSG_CELL_H, i * MSG_CELL_W:(i + 1) * MSG_CELL_W] == 255
        advance = int(ruler.sum())
        ch = chr(MSG_FIRST + i)
        # A letter cut by its cell's edge would lose a stroke.
        need(not cell[:, 0].any() and not cell[:, -1].any() and not cell[0].any(),
             "MsgFont %r touches its cell's edge" % ch)
        need(advance > 0 and ruler[MSG_PEN_X:MSG_PEN_X + advance].all(),
             "MsgFont %r ruler" % ch)
        need(cell.any() == (ch != " "), "MsgFont %r ink" % ch)
    for d in "123":
        px = bmps["Digit" + d]
        need(tuple(px[0, 0]) == (192, 192, 192), "Digit%s background" % d)
        ink = px[:, :, 2].astype(int) - px[:, :, 0].astype(int) > 60
        need(ink.sum() > 15, "Digit%s has no digit" % d)
    bg = bmps["bg"].astype(int)
    need(bg.mean() > 200, "bg too dark for text")
    # Seam: the jump across the wrap must look like any other neighbour step.
    inner = np.abs(np.diff(bg, axis=1)).mean()
    seam = np.abs(bg[:, 0] - bg[:, -1]).mean()
    inner_y = np.abs(np.diff(bg, axis=0)).mean()
    seam_y = np.abs(bg[0] - bg[-1]).mean()
    need(seam < inner * 2 + 0.5 and seam_y < inner_y * 2 + 0.5, "bg has a seam")
    v = bmps["Vertical"].astype(int)
    h = bmps["Horizont"].astype(int)
    need(v[:, :, 0].mean() > v[:, :, 2].mean() + 20, "Vertical not copper")
    need(h[:, :, 2].mean() > h[:, :, 0].mean() + 20, "Horizont not blue")
    need(not np.any(v[0, 0]) and not np.any(h[0, 0]), "bar corners not black")
    ball = bmps["Ball"].astype(int)
    need(ball[10, 10, 2] > ball[10, 10, 0] and not np.any(ball[0, 0]), "Ball")
    ex = bmps["Exit"].astype(int)
    need(ex[10, 10].min() > 240 and ex[0, 0].max() < 40, "Exit")

    if problems:
        print("\n".join(problems))
        return False
    icons = {}
    sizes = DESKTOP_ICON_SIZES + WEB_ICON_SIZES
    for size in sizes:
        path = desktop_icon_path(size) if size in DESKTOP_ICON_SIZES else web_icon_path(size)
        if not os.path.exists(path):
            problems.append("missing " + os.path.relpath(path, RES))
            continue
        with Image.open(path) as im:
            need(im.mode == "RGBA" and im.size == (size, size),
                 "%s is %s %s" % (os.path.relpath(path, RES), im.mode, im.size))
            icons[size] = np.asarray(im.convert("RGBA")).astype(int)
    if len(icons) == len(sizes):
        rgb, and_ = read_ico(os.path.join(RES, "icons", "MAINICON.ico"))
        small = icons[32]
        need(np.array_equal(small[:, :, 3] == 0, and_) and
             np.array_equal(small[~and_][:, :3], rgb[~and_]),
             "the 32-pixel icon is not the window's icon")
        for size in sizes[1:]:
            big = icons[size]
            # Drawn at its size: soft edges and far more than 16 colours,
            # not blocks of the small one.
            colours = len(np.unique(big[..., :3].reshape(-1, 3), axis=0))
            need(colours > 200 and len(np.unique(big[..., 3])) > 8,
                 "%d-pixel icon looks scaled up (%d colours)" % (size, colours))
            # The same design: reduced to 32 pixels it is close to the small one.
            k = size / 32
            ys = (np.arange(32) * k + k / 2).astype(int)
            reduced = big[ys][:, ys]
            inside = ~and_ & (reduced[..., 3] == 255)
            diff = np.abs(reduced[inside][:, :3] - small[inside][:, :3]).mean()
            need(diff < 40, "%d-pixel icon differs from the design (%.0f)" % (size, diff))

    if problems:
        print("\n".join(problems))
        return False
    print("check: all %d files and %d icons look right" % (len(entries), len(icons)))
    return True


def write_previews(out_dir, entries=None):
    entries = entries or read_list()
    os.makedirs(out_dir, exist_ok=True)
    small = []
    for kind, name, rel in entries:
        path = os.path.join(RES, rel)
        if kind == "bitmap":
            px = read_bmp(path)
            if px.shape[2] == 4:
                # Show the alpha label over the dialog's paper tile.
                bg = read_bmp(os.path.join(RES, "bitmaps/bg.bmp"))
                reps = (-(-px.shape[0] // bg.shape[0]), -(-px.shape[1] // bg.shape[1]), 1)
                tile = np.tile(bg, reps)[:px.shape[0], :px.shape[1]].astype(float)
                a = px[:, :, 3:4] / 255.0
                px = (tile * (1 - a) + px[:, :, :3] * a).astype(np.uint8)
            im = Image.fromarray(px, "RGB")
        elif kind == "cursor":
            _, xor, and_ = read_cur(path)
            rgb = np.zeros((32, 32, 3), np.uint8)
            rgb[:] = (255, 0, 255)
            rgb[~and_ & xor] = 255
            rgb[~and_ & ~xor] = 0
            im = Image.fromarray(rgb, "RGB")
        elif kind == "icon":
            rgb, and_ = read_ico(path)
            rgb = rgb.copy()
            rgb[and_] = (255, 0, 255)
            im = Image.fromarray(rgb.astype(np.uint8), "RGB")
        else:
            continue
        im.save(os.path.join(out_dir, name + ".png"))
        if im.size[0] <= 163:
            small.append((name, im))
    # Contact sheets: the sprites at 6x, the mid-sized pictures at 3x.
    tiny = [(n, im) for n, im in small if max(im.size) <= 40]
    mid = [(n, im) for n, im in small if max(im.size) > 40]
    contact_sheet(tiny, 6, os.path.join(out_dir, "contact_sprites.png"))
    contact_sheet(mid, 3, os.path.join(out_dir, "contact_mid.png"))


def contact_sheet(items, scale, path, width=1400):
    lab = font(F_BOLD, 14)
    placed, x, y, row_h = [], 8, 8, 0
    for name, im in items:
        w, h = im.size[0] * scale, im.size[1] * scale + 20
        if x + w > width:
            x, y, row_h = 8, y + row_h + 10, 0
        placed.append((name, im, x, y))
        x += w + 14
        row_h = max(row_h, h)
    sheet = Image.new("RGB", (width, y + row_h + 8), (90, 90, 96))
    d = ImageDraw.Draw(sheet)
    for name, im, x, y in placed:
        d.text((x, y), name, font=lab, fill=(255, 255, 255))
        sheet.paste(im.resize((im.size[0] * scale, im.size[1] * scale),
                              Image.NEAREST), (x, y + 20))
    sheet.save(path)


def main(argv):
    if "--check" in argv:
        return 0 if check() else 1
    preview = None
    if "--preview" in argv:
        preview = argv[argv.index("--preview") + 1]
    for path in build(preview):
        print("wrote", os.path.relpath(path, os.path.dirname(RES)))
    return 0 if check() else 1


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
