"""The desktop program on a 1280x720 X screen with a window manager, driven with
real keys, clicks and windows and checked on screenshots. Skipped without the X tools."""
import os
import re
import shutil
import subprocess
import tempfile
import time
import unittest

import numpy as np

BUILD = os.environ.get("OPTA_BUILD_DIR", "build")
PROGRAM = os.path.join(BUILD, "src", "app", "optascope")
SAMPLES = os.path.abspath(os.path.join(os.environ.get("OPTA_SOURCE_DIR", "."), "data", "samples"))
SMEAR, DISCS = os.path.join(SAMPLES, "smear.bmp"), os.path.join(SAMPLES, "gradient_discs.bmp")
TOOLS = ("Xvfb", "openbox", "xdotool", "xprop", "xmessage", "xclip", "import", "convert")


def ppm(args, env=None):
    """What an ImageMagick command writes, as an h x w x 3 array."""
    data = subprocess.run(args + ["-depth", "8", "ppm:-"], env=env, check=True, capture_output=True).stdout
    w, h = map(int, (m := re.match(rb"P6\s+(\d+)\s+(\d+)\s+255\s", data)).groups())
    return np.frombuffer(data, np.uint8, w * h * 3, m.end()).reshape(h, w, 3)


def wait_for(check, timeout=10.0):
    """The first answer of check() that is not None, or None after the timeout."""
    end = time.monotonic() + timeout
    while (value := check()) is None and time.monotonic() < end:
        time.sleep(0.1)
    return value


def locate(shot, pic, rows=range(0, 260), cols=range(0, 60)):
    """Where pic's top-left 24 x 24 block shows on the screen, or None."""
    for y in rows:
        for x in cols:
            if (shot[y:y + 24, x:x + 24] == pic[:24, :24]).all():
                return x, y
    return None


@unittest.skipUnless(os.path.exists(PROGRAM) and all(map(shutil.which, TOOLS)), "no program or no X tools")
class Desktop(unittest.TestCase):
    def setUp(self):
        tmp = tempfile.TemporaryDirectory()
        self.addCleanup(tmp.cleanup)
        self.tmp = tmp.name
        read, write = os.pipe()
        self.spawn(["Xvfb", "-displayfd", str(write), "-screen", "0", "1280x720x24", "-nolisten", "tcp"],
                   pass_fds=(write,))
        os.close(write)
        self.addCleanup(os.close, read)  # closed early, it breaks the server's connections
        self.env = dict(os.environ, DISPLAY=":" + os.read(read, 64).decode().strip(), QT_QPA_PLATFORM="xcb",
                        XDG_RUNTIME_DIR=self.tmp)
        self.spawn(["openbox"])
        wm = wait_for(lambda: "window id" in self.x("xprop", "-root", "_NET_SUPPORTING_WM_CHECK") or None)
        self.assertTrue(wm, "no window manager")
        self.spawn([PROGRAM])
        self.window = wait_for(lambda: self.x("xdotool", "search", "--onlyvisible", "--name", "^Bio-Medical Optascope$")
                               or None, timeout=20).split()[0]

    def spawn(self, args, **kw):
        p = subprocess.Popen(args, env=getattr(self, "env", None), stdout=subprocess.DEVNULL,
                             stderr=subprocess.DEVNULL, **kw)
        self.addCleanup(lambda: (p.terminate(), p.wait(timeout=10)))
        return p

    def x(self, *args):
        return subprocess.run(args, env=self.env, capture_output=True, text=True, timeout=30).stdout.strip()

    def xdo(self, *args, pause=0.3):
        subprocess.run(["xdotool", *args], env=self.env, check=True, timeout=30)
        time.sleep(pause)

    def shot(self):
        """The screen once two screenshots in a row agree."""
        last = [None]

        def steady():
            now, prev = ppm(["import", "-window", "root"], self.env), last[0]
            last[0] = now
            return now if prev is not None and (now == prev).all() else None
        return wait_for(steady)

    def choose_file(self, key, path):
        self.xdo("windowactivate", "--sync", self.window, "key", key, pause=1.0)
        self.xdo("type", "--delay", "2", path)
        self.xdo("key", "Return")
        at = wait_for(lambda: locate(self.shot(), ppm(["convert", path])))
        self.assertIsNotNone(at, path + " did not show")
        self.xdo("windowactivate", "--sync", self.window)
        return at

    def menu(self, rights, *keys):
        """File opened by a click, then `rights` menus to the right, then keys."""
        info = self.x("xwininfo", "-id", self.window)
        x, y = (int(info.split("Absolute upper-left %s:" % a)[1].split()[0]) for a in "XY")
        # Keys typed before the File menu is up would go to the window instead,
        # and on a busy machine the click may only close a popup still open:
        # wait for the menu's own area below "File" to change, clicking again
        # if it does not.
        area = (slice(y + 30, y + 120), slice(x, x + 120))
        for _ in range(3):
            before = self.shot()
            self.xdo("mousemove", str(x + 20), str(y + 8), "click", "1")
            if wait_for(lambda: True if (self.shot()[area] != before[area]).any() else None, timeout=5):
                break
        # One key at a time, slowly: a key that arrives while one menu closes and
        # the next opens can miss both on a busy machine.
        self.xdo("key", "--delay", "250", *["Right"] * rights, *keys, pause=0.6)

    def uncovered(self):
        cover = self.spawn(["xmessage", "-geometry", "1280x720+0+0", "cover"])
        time.sleep(1.0)
        cover.terminate()
        return self.shot()

    def assertShows(self, shot, pic, at, first_row=0, rows=720):
        (x, y), pic = at, pic[first_row:]
        h, w = min(pic.shape[0], 720 - y, rows), pic.shape[1] - 20  # the scroll bar may take the right edge
        self.assertEqual(int((shot[y:y + h, x:x + w] != pic[:h, :w]).any(axis=2).sum()), 0)

    def test_paints_paste_popup_and_scrolling_as_a_user_meets_them(self):
        smear, discs = ppm(["convert", SMEAR]), ppm(["convert", DISCS])
        # A picture copied after the Edit menu was last opened pastes with Ctrl+V at once.
        self.menu(1, "Escape", "Escape")
        png = os.path.join(self.tmp, "copied.png")
        subprocess.run(["convert", SMEAR, "-crop", "300x200+400+300", png], check=True)
        self.spawn(["xclip", "-selection", "clipboard", "-t", "image/png", "-i", png])
        self.xdo("windowactivate", "--sync", self.window, "key", "ctrl+v", pause=1.0)
        self.assertIsNotNone(locate(self.shot(), ppm(["convert", png])), "Ctrl+V pasted nothing")

        ox, oy = at = self.choose_file("alt+o", SMEAR)
        # A right click at client (x, y) puts the popup's top-right corner at screen (x, y).
        before = self.shot()
        self.xdo("mousemove", "700", "400", "click", "3")
        ys, xs = np.nonzero((self.shot() != before).any(axis=2))
        self.xdo("key", "Escape")
        self.assertEqual((xs.max() + 1, ys.min()), (700 - ox, 400 - oy))

        # Advance Operation is the tenth menu; Up from its first item goes round to
        # the last: HSB Value, RGBvalue, Center, Stretch.
        self.menu(9, "Up", "Up", "Up", "Up", "Return")
        # A busy machine may show the result a moment later than the menu closes.
        self.assertTrue(wait_for(lambda: True if locate(self.shot(), smear) is None else None), "Stretch changed nothing")
        self.assertShows(self.uncovered(), smear, at)

        self.menu(9, "Up", "Up", "Return")  # RGBvalue off: selection mode, where New works
        self.menu(0, "n")
        self.assertTrue(wait_for(lambda: True if (self.shot()[oy:oy + 300, ox:ox + 300] == 255).all() else None),
                        "New left the picture")
        self.assertShows(self.uncovered(), smear, at)

        # At 1280 x 720 the wheel brings the last rows into view; a drag then
        # outlines its block where it was made, with the pixels as loaded inside.
        self.xdo("mousemove", "500", "400", *["click", "5"] * 12)
        bottom = locate(self.shot(), smear[-24:], rows=range(oy, 720 - 24 + 1), cols=[ox])
        self.assertIsNotNone(bottom, "the last rows never came into view")
        top = oy - bottom[1] + 768 - 24  # the picture row at the client's top
        self.assertShows(self.shot(), smear, at, first_row=top)
        for step in (["mousemove", "100", "600"], ["mousedown", "1"], ["mousemove", "160", "650"], ["mouseup", "1"]):
            self.xdo(*step)
        shot = self.shot()
        ys, xs = np.nonzero((shot == (255, 127, 0)).all(axis=2))
        self.assertEqual((xs.min(), ys.min(), xs.max(), ys.max()), (100, 600, 160, 650))
        row = 601 - oy + top
        self.assertTrue((shot[601:650, 101:160] == smear[row:row + 49, 101 - ox:160 - ox]).all())

        # Open Also, Invert, cover, uncover: the second image.
        self.xdo("mousemove", "500", "400", *["click", "4"] * 12)
        self.assertEqual(self.choose_file("alt+a", DISCS), at)
        self.xdo("key", "ctrl+i")
        self.assertShows(self.shot(), 255 - smear, at, rows=100)
        self.assertShows(self.uncovered(), discs, at)


if __name__ == "__main__":
    unittest.main()
