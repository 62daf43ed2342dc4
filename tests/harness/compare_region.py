#!/usr/bin/env python3
"""Picture checks for the real-window test and the screenshot script.

Screens are compared with the very bitmaps the game draws, so a region that
"equals Title.bmp" means the player sees exactly the title picture there.

  crop IN X Y W H OUT                 the W x H region at (X, Y) of IN, saved as OUT
  same A X Y W H B [BX BY] [options]  the region of A equals B's region at (BX, BY)
       --tol N     each colour channel may be off by N (default 0)
       --tile      B repeats in both directions (a background tile)
       --under BG  B has an alpha channel: it is laid over BG, tiled from A's origin
  differ A X Y W H B [BX BY] [--min N]  at least N pixels (default 1) differ
  count A X Y W H B --grid N [--expect K]
                                      how many N x N cells of the region equal B
  board A                             the playfield of a game-screen picture read
                                      back as 20 rows of cells: . empty, ^ v the
                                      halves of a vertical bar, < > of a
                                      horizontal one, E the exit, o the ball, ?
                                      a cell the moving ball covers in part;
                                      fails when a bar half lacks its partner,
                                      or (with --in-play) unless there is one
                                      exit and one ball, whole or between two
                                      cells; prints the rows with --show
  sameboard A B                       both pictures show the same bars, reading
                                      cells under the ball (o, ?) as either
  button IN                           centre "x y" of the one push button of a
                                      message box picture, found from its bottom edge
  topng IN OUT                        any picture (a BMP) as an RGB PNG
  shrink IN N OUT                     IN, a window shown at scale N, as the game drew
                                      it: each N x N block must be one colour, and
                                      becomes one pixel of OUT
  wmicon XPROP PNG                    the icon a window shows (xprop's output for
                                      _NET_WM_ICON in format 32c) equals PNG
  all A -- CHECK -- CHECK ...         every CHECK (same, differ or count, written
                                      without its A) holds on A; stops at the first
                                      that does not

B may also be a colour written #RRGGBB. Coordinates are in pixels of the
picture given. Exit status 0 when the check holds, 1 when it does not (with
the reason on stdout), 2 on bad use.
"""

import argparse
import functools
import os
import sys

try:
    from PIL import Image, ImageChops
except ImportError:
    sys.stderr.write("compare_region.py needs Pillow (Debian: python3-pil)\n")
    sys.exit(2)


def load_rgb(path):
    return opened(path, "RGB")


def opened(path, mode):
    """The picture at path in mode, read once while the file stays as it is:
    a poll compares many looks with the same bitmaps."""
    stat = os.stat(path)
    return _opened(path, mode, stat.st_mtime_ns, stat.st_size)


@functools.lru_cache(maxsize=16)
def _opened(path, mode, _mtime, _size):
    with Image.open(path) as raw:
        return raw.convert(mode)


def region(image, x, y, w, h):
    if x < 0 or y < 0 or x + w > image.width or y + h > image.height:
        raise ValueError(f"region {w}x{h}+{x}+{y} lies outside a {image.width}x{image.height} picture")
    return image.crop((x, y, x + w, y + h))


def reference(source, bx, by, w, h, tile=False, under=None, origin=(0, 0)):
    """The picture that the region should show."""
    if source.startswith("#") and len(source) == 7:
        return Image.new("RGB", (w, h), tuple(int(source[i:i + 2], 16) for i in (1, 3, 5)))
    picture = opened(source, "RGBA" if under else "RGB")
    if tile:
        picture = tiled(picture, bx, by, w, h)
    else:
        picture = region(picture, bx, by, w, h)
    if under:
        # The game blends a picture with transparent parts over what is drawn.
        background = tiled(opened(under, "RGBA"), origin[0], origin[1], w, h)
        picture = Image.alpha_composite(background, picture)
    return picture.convert("RGB")


def tiled(picture, x, y, w, h):
    """The W x H window at (x, y) of the plane covered with copies of picture."""
    out = Image.new(picture.mode, (w, h))
    pw, ph = picture.size
    start_x, start_y = x - x % pw, y - y % ph
    for ty in range(start_y, y + h, ph):
        for tx in range(start_x, x + w, pw):
            out.paste(picture, (tx - x, ty - y))
    return out


def differing(a, b, tol):
    """Number of pixels where some channel differs by more than tol, and the first one."""
    diff = ImageChops.difference(a, b)
    worst = diff.split()
    mask = ImageChops.lighter(ImageChops.lighter(worst[0], worst[1]), worst[2])
    mask = mask.point(lambda v: 255 if v > tol else 0)
    count = mask.histogram()[255]
    first = None
    if count:
        box = mask.getbbox()
        pixels = mask.load()
        for yy in range(box[1], box[3]):
            for xx in range(box[0], box[2]):
                if pixels[xx, yy]:
                    first = (xx, yy)
                    break
            if first:
                break
    return count, first


def cmd_crop(args):
    region(load_rgb(args.image), args.x, args.y, args.w, args.h).save(args.out)
    return 0


def cmd_same(args):
    a = region(load_rgb(args.image), args.x, args.y, args.w, args.h)
    b = reference(args.ref, args.bx, args.by, args.w, args.h, args.tile, args.under, (args.x, args.y))
    count, first = differing(a, b, args.tol)
    if count == 0:
        return 0
    fx, fy = first
    print(f"{count} of {args.w * args.h} pixels differ from {args.ref}; first at ({args.x + fx},{args.y + fy}): "
          f"shows {a.getpixel(first)}, expected {b.getpixel(first)}")
    return 1


def cmd_differ(args):
    a = region(load_rgb(args.image), args.x, args.y, args.w, args.h)
    b = reference(args.ref, args.bx, args.by, args.w, args.h)
    count, _ = differing(a, b, 0)
    if count >= args.min:
        return 0
    print(f"only {count} pixels differ from {args.ref}, wanted at least {args.min}")
    return 1


def cmd_count(args):
    a = region(load_rgb(args.image), args.x, args.y, args.w, args.h)
    b = load_rgb(args.ref)
    if b.size != (args.grid, args.grid):
        raise ValueError(f"{args.ref} is {b.width}x{b.height}, not one {args.grid}x{args.grid} cell")
    found = []
    for cy in range(0, args.h - args.grid + 1, args.grid):
        for cx in range(0, args.w - args.grid + 1, args.grid):
            cell = a.crop((cx, cy, cx + args.grid, cy + args.grid))
            if ImageChops.difference(cell, b).getbbox() is None:
                found.append((args.x + cx, args.y + cy))
    cells = " ".join(f"{x},{y}" for x, y in found)
    if args.expect is None:
        print(len(found), cells)
        return 0
    if len(found) != args.expect:
        print(f"{len(found)} cells show {args.ref}, wanted {args.expect}: {cells}")
        return 1
    return 0


def cmd_button(args):
    # The box is one flat colour with a framed button centred at its bottom:
    # walk up the middle column from the bottom to the button's frame.
    image = load_rgb(args.image)
    x = image.width // 2
    backdrop = image.getpixel((x, image.height - 1))
    rows = [image.getpixel((x, y)) != backdrop for y in range(image.height)]
    bottom = next((y for y in range(image.height - 1, -1, -1) if rows[y]), None)
    if bottom is None:
        print("no button found")
        return 1
    # The frame's top edge: the highest row of the run of rows, starting
    # at the bottom edge, that touch the frame's left side.
    left = x
    while left > 0 and image.getpixel((left - 1, bottom)) != backdrop:
        left -= 1
    top = bottom
    while top > 0 and image.getpixel((left, top - 1)) != backdrop:
        top -= 1
    if top < image.height // 2 or bottom - top < 8:
        # Text, or a box not fully drawn yet: the button sits low and is tall.
        print(f"no button found (rows {top}..{bottom} at x {x})")
        return 1
    print(x, (top + bottom) // 2)
    return 0


BITMAPS = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "resources", "bitmaps")
CELL_PICTURES = None


def cell_pictures():
    """Each 20 x 20 picture a playfield cell can show, with its letter."""
    global CELL_PICTURES
    if CELL_PICTURES is None:
        path = lambda name: os.path.join(BITMAPS, name + ".bmp")
        vertical, horizont = load_rgb(path("Vertical")), load_rgb(path("Horizont"))
        CELL_PICTURES = [(".", load_rgb(path("NoBall"))), ("E", load_rgb(path("Exit"))),
                         ("o", load_rgb(path("Ball"))), ("^", region(vertical, 0, 0, 20, 20)),
                         ("v", region(vertical, 0, 20, 20, 20)), ("<", region(horizont, 0, 0, 20, 20)),
                         (">", region(horizont, 20, 0, 20, 20))]
    return CELL_PICTURES


def read_board(path):
    """The playfield as rows of cell letters, rows[r][c] for row r, column c, from 0."""
    return read_cells(load_rgb(path))


def read_cells(image):
    """read_board of a picture already loaded (the window's client area, RGB)."""
    rows = []
    for r in range(20):
        row = ""
        for c in range(20):
            cell = region(image, 20 + 20 * c, 20 + 20 * r, 20, 20)
            row += next((letter for letter, picture in cell_pictures()
                         if ImageChops.difference(cell, picture).getbbox() is None), "?")
        rows.append(row)
    return rows


def ball_position(image, rows):
    """The top-left client pixel of the ball's picture, whole on one cell or
    part on each of two (rows as read_cells gives them), or None."""
    whole = [(c, r) for r in range(20) for c in range(20) if rows[r][c] == "o"]
    parts = [(c, r) for r in range(20) for c in range(20) if rows[r][c] == "?"]
    if len(whole) == 1 and not parts:
        return 20 + 20 * whole[0][0], 20 + 20 * whole[0][1]
    if whole or len(parts) != 2:
        return None
    (c0, r0), (c1, r1) = sorted(parts)
    if (c1 - c0, r1 - r0) not in ((1, 0), (0, 1)):
        return None
    ball = dict(cell_pictures())["o"]
    for step in range(2, 20, 2):
        x, y = 20 + 20 * c0 + step * (c1 - c0), 20 + 20 * r0 + step * (r1 - r0)
        if ImageChops.difference(region(image, x, y, 20, 20), ball).getbbox() is None:
            return x, y
    return None


def board_fault(rows, in_play=False):
    """The first bar half without its partner, or None."""
    if in_play:
        exits = sum(row.count("E") for row in rows)
        whole = [(c, r) for r in range(20) for c in range(20) if rows[r][c] == "o"]
        parts = [(c, r) for r in range(20) for c in range(20) if rows[r][c] == "?"]
        one_ball = (len(whole) == 1 and not parts) or (
            not whole and len(parts) == 2 and abs(parts[0][0] - parts[1][0]) + abs(parts[0][1] - parts[1][1]) == 1)
        if exits != 1 or not one_ball:
            return f"{exits} exits, ball cells {whole}, partly covered cells {parts}"
    at = lambda c, r: rows[r][c] if 0 <= r < 20 and 0 <= c < 20 else "#"
    partner = {"^": (0, 1, "v"), "v": (0, -1, "^"), "<": (1, 0, ">"), ">": (-1, 0, "<")}
    for r in range(20):
        for c in range(20):
            if rows[r][c] in partner:
                dc, dr, want = partner[rows[r][c]]
                if at(c + dc, r + dr) not in (want, "o", "?"):
                    return f"{rows[r][c]} at column {c + 1}, row {r + 1} has no {want} beside it"
    return None


def cmd_board(args):
    rows = read_board(args.image)
    if args.show:
        print("\n".join(rows))
    fault = board_fault(rows, args.in_play)
    if fault:
        print(fault)
        return 1
    return 0


def cmd_sameboard(args):
    a, b = read_board(args.image), read_board(args.ref)
    for r in range(20):
        for c in range(20):
            if a[r][c] != b[r][c] and not {a[r][c], b[r][c]} & {"o", "?"}:
                print(f"column {c + 1}, row {r + 1} shows {a[r][c]}, {args.ref} shows {b[r][c]}")
                return 1
    return 0


def cmd_shrink(args):
    image = load_rgb(args.image)
    n = args.n
    if image.width % n or image.height % n:
        print(f"a {image.width}x{image.height} picture is no whole number of {n}x{n} blocks")
        return 1
    small = image.resize((image.width // n, image.height // n), Image.NEAREST)
    # Each block must equal its top-left pixel blown up: nothing smoothed.
    blown = small.resize(image.size, Image.NEAREST)
    count, first = differing(image, blown, 0)
    if count:
        print(f"{count} pixels break the {n}x{n} blocks; first at {first}: {image.getpixel(first)}, "
              f"its block shows {blown.getpixel(first)}")
        return 1
    small.save(args.out)
    return 0


def cmd_wmicon(args):
    with open(args.xprop) as f:
        text = f.read()
    numbers = [int(v) for v in text.split("=", 1)[1].replace(",", " ").split()] if "=" in text else []
    if len(numbers) < 2:
        print("the window shows no icon")
        return 1
    w, h = numbers[:2]
    with Image.open(args.png) as raw:
        icon = raw.convert("RGBA")
    if (w, h) != icon.size or len(numbers) != 2 + w * h:
        print(f"the window's icon is {w}x{h}, {args.png} is {icon.width}x{icon.height}")
        return 1
    for i, argb in enumerate(numbers[2:]):
        shown = ((argb >> 16) & 255, (argb >> 8) & 255, argb & 255, argb >> 24)
        wanted = icon.getpixel((i % w, i // w))
        # Where both are fully clear the colour does not show.
        if shown != wanted and not (shown[3] == 0 and wanted[3] == 0):
            print(f"the window's icon shows {shown} at ({i % w},{i // w}), {args.png} has {wanted}")
            return 1
    return 0


def cmd_topng(args):
    load_rgb(args.image).save(args.out, "PNG")
    return 0


@functools.lru_cache(maxsize=None)
def command_line():
    """The commands and their arguments; made once, for a poll runs many."""
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    sub = parser.add_subparsers(dest="command", required=True)

    def command(name, handler, *positionals):
        """A command with its arguments in order; the coordinates and the
        shrink factor are numbers."""
        p = sub.add_parser(name)
        for arg in positionals:
            p.add_argument(arg, type=int if arg in ("x", "y", "w", "h", "n") else str)
        p.set_defaults(run=handler)
        return p

    command("crop", cmd_crop, "image", "x", "y", "w", "h", "out")
    for name, handler in (("same", cmd_same), ("differ", cmd_differ), ("count", cmd_count)):
        p = command(name, handler, "image", "x", "y", "w", "h", "ref")
        p.add_argument("bx", type=int, nargs="?", default=0)
        p.add_argument("by", type=int, nargs="?", default=0)
        if name == "same":
            p.add_argument("--tol", type=int, default=0)
            p.add_argument("--tile", action="store_true")
            p.add_argument("--under")
        if name == "differ":
            p.add_argument("--min", type=int, default=1)
        if name == "count":
            p.add_argument("--grid", type=int, required=True)
            p.add_argument("--expect", type=int)
    p = command("board", cmd_board, "image")
    p.add_argument("--in-play", action="store_true")
    p.add_argument("--show", action="store_true")
    command("sameboard", cmd_sameboard, "image", "ref")
    command("button", cmd_button, "image")
    command("shrink", cmd_shrink, "image", "n", "out")
    command("wmicon", cmd_wmicon, "xprop", "png")
    command("topng", cmd_topng, "image", "out")

    return parser


def main(argv=None):
    parser = command_line()
    argv = sys.argv[1:] if argv is None else argv
    if argv[:1] != ["all"]:
        return run(parser.parse_args(argv))
    if len(argv) < 2:
        parser.error("all needs a picture")
    # One process for every check of a screen: a poll stays quick.
    image, rest = argv[1], argv[2:]
    checks, current = [], []
    for word in rest + ["--"]:
        if word == "--":
            if current:
                checks.append(current)
            current = []
        else:
            current.append(word)
    for check in checks:
        if check[0] not in ("same", "differ", "count", "board", "sameboard"):
            parser.error(f"all takes same, differ, count, board and sameboard, not {check[0]}")
        status = run(parser.parse_args([check[0], image] + check[1:]), " ".join(check))
        if status != 0:
            return status
    return 0


def run(args, label=None):
    try:
        status = args.run(args)
    except (OSError, ValueError) as error:
        print(error)
        return 2
    if status != 0 and label:
        print(f"  (check: {label})")
    return status


if __name__ == "__main__":
    sys.exit(main())
