"""The bar that bench/click.sh pushes up and back down: on a picture of the
game's client area (at 1x), the cell of the upper half of a vertical bar
with an empty cell above it that the ball cannot get into, nor into the
cell the bar leaves below it, and far from the ball. Prints "COLUMN ROW"
(from 0); exits 1 when the level has no such bar, 2 when the picture is
not a dealt level yet.

    python3 bench/pick_bar.py CLIENT_PICTURE
"""
import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "harness"))
from compare_region import read_board  # noqa: E402

rows = read_board(sys.argv[1])
ball = [(c, r) for r in range(20) for c in range(20) if rows[r][c] in "o?"]
if not 1 <= len(ball) <= 2 or sum(row.count("?") for row in rows) > 2:
    sys.exit(2)
# Every cell the ball could get into, rolling sideways and falling, from
# where it is.
reach = list(ball)
for c, r in reach:
    for nc, nr in ((c - 1, r), (c + 1, r), (c, r + 1)):
        if 0 <= nc < 20 and nr < 20 and rows[nr][nc] == "." and (nc, nr) not in reach:
            reach.append((nc, nr))
near = {(c + dc, r + dr) for c, r in reach for dc in (-1, 0, 1) for dr in (-1, 0, 1)}
for r in range(1, 19):
    for c in range(20):
        if (rows[r][c] == "^" and rows[r - 1][c] == "." and not {(c, r - 1), (c, r + 1)} & near
                and all(abs(c - bc) + abs(r - br) > 6 for bc, br in ball)):
            print(c, r)
            sys.exit(0)
sys.exit(1)
