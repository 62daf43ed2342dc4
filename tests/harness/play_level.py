#!/usr/bin/env python3
"""Plays the level on the game screen to its exit, as a player who watches
the ball: looks at the playfield twice a moment apart, asks the solver
(solve_level follow) what to do from where the ball is and which way it
goes, clicks the one press it names, waits to see the bar move, and looks
again. The solver only names a press whose outcome is the same on every
motion tick the click may arrive in, so a late click does no harm.

  play_level.py SOLVER WORK X Y [--timeout S] [--latency MS]

X Y: the window's client area on the screen (the game at 1x); DISPLAY
names the X server. Exit status 0 once the ball is on its way out (WORK/rows
then holds the playfield as compare_region.py board --show prints it), 1
when the solver finds no way or time runs out, 2 on bad use.
"""

import argparse
import os
import subprocess
import sys
import time

from PIL import ImageGrab

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import compare_region  # noqa: E402

GAP = 0.06  # seconds between the two looks that tell the ball's way


def now_ms():
    return int(time.time() * 1000)


def look(x, y):
    """The client area's playfield and the ball on it, with the epoch ms the
    picture was taken between: (rows, ball, start, end)."""
    start = now_ms()
    image = ImageGrab.grab(bbox=(x, y, x + 440, y + 440), xdisplay=os.environ.get("DISPLAY"))
    end = now_ms()
    image = image.convert("RGB")
    rows = compare_region.read_cells(image)
    return rows, compare_region.ball_position(image, rows), start, end


def bars(rows):
    """The rows with the ball's cells read as empty: what presses change."""
    return [row.replace("o", ".").replace("?", ".") for row in rows]


def leaving(work, rows):
    """The ball is on its way out: the playfield goes to WORK/rows."""
    with open(os.path.join(work, "rows"), "w") as f:
        f.write("\n".join(rows) + "\n")
    return 0


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("solver")
    parser.add_argument("work")
    parser.add_argument("x", type=int)
    parser.add_argument("y", type=int)
    parser.add_argument("--timeout", type=float, default=90)
    parser.add_argument("--latency", type=int, default=400, help="ms a click may take to reach the game")
    args = parser.parse_args()

    memo = os.path.join(args.work, "plan")
    if os.path.exists(memo):
        os.remove(memo)
    deadline = time.time() + args.timeout
    lost = 0
    while time.time() < deadline:
        rows1, ball1, s1, e1 = look(args.x, args.y)
        time.sleep(GAP)
        rows2, ball2, s2, e2 = look(args.x, args.y)
        if ball1 is None or ball2 is None or bars(rows1) != bars(rows2) or not any("E" in r for r in rows2):
            continue  # mid-draw, a bar just moved, or the ball is out of sight
        ms = (s2 + e2) // 2 - (s1 + e1) // 2
        seen = "\n".join(rows2) + f"\nlook {ball1[0]} {ball1[1]} {ball2[0]} {ball2[1]} {ms}\n"
        answer = subprocess.run([args.solver, "follow", memo, str(s2), str(e2), str(args.latency)], input=seen,
                                capture_output=True, text=True).stdout.split()
        if os.environ.get("PLAY_LEVEL_LOG"):
            sys.stderr.write(f"{now_ms() % 100000} ball {ball1} -> {ball2} in {ms} ms: {' '.join(answer)}\n")
        if not answer:
            return 1
        if answer[0] == "out":
            return leaving(args.work, rows2)
        if answer[0] == "lost":
            # From a ball at rest the search would only find nothing again.
            lost += 1
            if lost >= 3 or ball1 == ball2:
                return 1
            continue
        lost = 0
        if answer[0] == "press":
            px, py = int(answer[1]), int(answer[2])
            subprocess.run(["xdotool", "mousemove", str(args.x + px), str(args.y + py), "click", "1"])
            if answer[3:] == ["out"]:
                return leaving(args.work, rows2)  # the exit will not be in sight much longer
            # Look again only once the bar has moved (or plainly will not).
            before = bars(rows2)
            until = time.time() + 2
            while time.time() < until and bars(look(args.x, args.y)[0]) == before:
                time.sleep(0.02)
    return 1


if __name__ == "__main__":
    sys.exit(main())
