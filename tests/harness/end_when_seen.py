#!/usr/bin/env python3
"""Asks the game to end the moment its window shows what a test waits for.

  end_when_seen.py SECONDS HOW X Y W H SCREEN [--click] -- CHECK [-- CHECK...]

Looks at the W x H client area at (X, Y) of the screen ($DISPLAY) again and
again, saving each look as SCREEN, until every CHECK holds on it
(compare_region.py's same, differ, count, board or sameboard, written
without the picture); then at once, from this same process, asks the game
to end: HOW is signal:PID (SIGTERM, as a session ends a program) or
close:WINDOW (the window manager's close button, close_window.py). A look
takes a few hundredths of a second, so a moment that lasts a tenth is seen.
With --click it clicks the pointer's first button where the pointer is
(xdotool) as it starts to look: a moment that a click starts is not missed
while Python starts or xdotool ends.

Prints how long the wait took and exits 0 once the game was asked; exits 1
when SECONDS pass first, printing what the last look showed (SCREEN keeps
it), or when the request could not be made; 2 on bad use.
"""

import contextlib
import io
import os
import signal
import subprocess
import sys
import time

from PIL import ImageGrab

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import close_window  # noqa: E402
import compare_region  # noqa: E402


def ask_to_end(how):
    way, _, target = how.partition(":")
    if way == "signal":
        os.kill(int(target), signal.SIGTERM)
        return True
    return close_window.close(int(target, 0))


def main():
    args = sys.argv[1:]
    click = args[7:8] == ["--click"]
    if click:
        del args[7]
    if len(args) < 9 or args[7] != "--" or not args[1].startswith(("signal:", "close:")):
        sys.stderr.write(__doc__)
        return 2
    seconds, how = float(args[0]), args[1]
    x, y, w, h = (int(v) for v in args[2:6])
    screen, checks = args[6], args[8:]
    start = time.monotonic()
    # Not waited for: xdotool sleeps a tenth of a second after its click.
    clicking = subprocess.Popen(["xdotool", "click", "1"]) if click else None
    why = "nothing looked at"
    while True:
        ImageGrab.grab(bbox=(x, y, x + w, y + h), xdisplay=None).save(screen)
        said = io.StringIO()
        with contextlib.redirect_stdout(said):
            status = compare_region.main(["all", screen, "--"] + checks)
        if status == 0:
            if not ask_to_end(how):
                print(f"seen after {(time.monotonic() - start) * 1000:.0f} ms, but the request to end could not be made")
                return 1
            print(f"seen after {(time.monotonic() - start) * 1000:.0f} ms")
            return 0
        why = " ".join(said.getvalue().split())
        if time.monotonic() - start > seconds:
            print(f"not seen in {seconds:g} s; the last look: {why}")
            return 1


if __name__ == "__main__":
    sys.exit(main())
