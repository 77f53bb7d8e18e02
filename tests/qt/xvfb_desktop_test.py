"""The desktop program on a 1280x720 X screen with a window manager, driven
from the outside with real keys, clicks and windows: covering and uncovering
runs the program's paint, Paste follows the clipboard, the popup opens at the
unconverted client position, and the whole picture can be scrolled into view.
Skipped when the X tools are missing."""
import os
import shutil
import subprocess
import tempfile
import time
import unittest

import numpy as np

BUILD = os.environ.get("OPTA_BUILD_DIR", "build")
SOURCE = os.environ.get("OPTA_SOURCE_DIR", ".")
PROGRAM = os.path.join(BUILD, "src", "app", "optascope")
SMEAR = os.path.abspath(os.path.join(SOURCE, "data", "samples", "smear.bmp"))
DISCS = os.path.abspath(os.path.join(SOURCE, "data", "samples", "gradient_discs.bmp"))
TOOLS = ("Xvfb", "openbox", "xdotool", "xprop", "xmessage", "xclip", "import", "convert")
CAPTION = "Bio-Medical Optascope"


def parse_ppm(data):
    """A binary PPM (P6, maxval 255) as an h x w x 3 array."""
    fields, pos = [], 2
    while len(fields) < 3:
        while data[pos:pos + 1].isspace():
            pos += 1
        end = pos
        while not data[end:end + 1].isspace():
            end += 1
        fields.append(int(data[pos:end]))
        pos = end
    w, h, maxval = fields
    assert maxval == 255, "an 8-bit PPM expected"
    return np.frombuffer(data[pos + 1:pos + 1 + w * h * 3], np.uint8).reshape(h, w, 3)


def picture(path):
    return parse_ppm(subprocess.run(["convert", path, "-depth", "8", "ppm:-"], check=True, capture_output=True).stdout)


def wait_for(check, timeout=10.0, step=0.1):
    """The first answer of check() that is not None, or None after the timeout."""
    end = time.monotonic() + timeout
    while True:
        value = check()
        if value is not None:
            return value
        if time.monotonic() > end:
            return value
        time.sleep(step)


def locate(shot, pic, rows=range(0, 260), cols=range(0, 60)):
    """Where pic's top-left 24 x 24 block shows on the screen, or None."""
    block = pic[:24, :24]
    for y in rows:
        for x in cols:
            if (shot[y, x] == block[0, 0]).all() and (shot[y:y + 24, x:x + 24] == block).all():
                return x, y
    return None


@unittest.skipUnless(os.path.exists(PROGRAM), "the desktop program is not built")
@unittest.skipUnless(all(shutil.which(t) for t in TOOLS), "needs " + ", ".join(TOOLS))
class Desktop(unittest.TestCase):
    def setUp(self):
        self.tmp = tempfile.TemporaryDirectory()
        self.addCleanup(self.tmp.cleanup)
        read, write = os.pipe()
        xvfb = subprocess.Popen(["Xvfb", "-displayfd", str(write), "-screen", "0", "1280x720x24",
                                 "-nolisten", "tcp"], pass_fds=(write,), stdout=subprocess.DEVNULL,
                                stderr=subprocess.DEVNULL)
        os.close(write)
        # The pipe stays open while the server runs: closing it early breaks
        # the server's connections.
        self.addCleanup(os.close, read)
        self.addCleanup(self.stop, xvfb)
        number = os.read(read, 64).decode().strip()
        if not number:
            self.skipTest("Xvfb did not start")
        self.env = dict(os.environ, DISPLAY=":" + number, QT_QPA_PLATFORM="xcb",
                        XDG_RUNTIME_DIR=self.tmp.name)
        self.env.pop("WAYLAND_DISPLAY", None)
        self.spawn(["openbox"])
        if not wait_for(lambda: "window id" in self.run_x(["xprop", "-root", "_NET_SUPPORTING_WM_CHECK"]) or None):
            self.skipTest("the window manager did not start")
        self.spawn([PROGRAM])
        found = wait_for(
            lambda: self.run_x(["xdotool", "search", "--onlyvisible", "--name", "^" + CAPTION + "$"]) or None, timeout=20)
        self.assertTrue(found, "the main window did not show")
        self.window = found.split()[0]
        time.sleep(0.5)

    @staticmethod
    def stop(p):
        p.terminate()
        try:
            p.wait(timeout=5)
        except subprocess.TimeoutExpired:
            p.kill()
            p.wait()

    def spawn(self, args):
        """Started now, stopped when the test ends (cleanups run last first)."""
        p = subprocess.Popen(args, env=self.env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.addCleanup(self.stop, p)
        return p

    def run_x(self, args):
        return subprocess.run(args, env=self.env, capture_output=True, text=True, timeout=30).stdout.strip()

    def xdo(self, *args):
        subprocess.run(["xdotool", *args], env=self.env, check=True, timeout=30)

    def shot(self):
        data = subprocess.run(["import", "-window", "root", "-depth", "8", "ppm:-"], env=self.env, check=True,
                              capture_output=True, timeout=30).stdout
        return parse_ppm(data)

    def settle(self):
        """Waits until two screenshots in a row agree."""
        last = [self.shot()]

        def same():
            time.sleep(0.2)
            now = self.shot()
            equal = (now == last[0]).all()
            last[0] = now
            return now if equal else None
        return wait_for(same, timeout=10)

    def origin(self):
        """The main window's client area on the screen (menu bar included)."""
        info = self.run_x(["xwininfo", "-id", self.window])
        x = int(info.split("Absolute upper-left X:")[1].split()[0])
        y = int(info.split("Absolute upper-left Y:")[1].split()[0])
        return x, y

    def focus(self):
        self.xdo("windowactivate", "--sync", self.window)

    def choose_file(self, key, path, pic):
        self.focus()
        self.xdo("key", key)
        self.assertTrue(wait_for(lambda: self.run_x(["xdotool", "getactivewindow"]) != self.window or None),
                        "no file dialog")
        time.sleep(0.3)
        self.xdo("type", "--delay", "2", path)
        self.xdo("key", "Return")
        at = wait_for(lambda: locate(self.shot(), pic))
        self.assertIsNotNone(at, "the picture did not show")
        self.focus()
        return at

    def menu(self, rights, keys):
        """Opens File by a click, moves `rights` menus to the right, presses keys."""
        x, y = self.origin()
        self.xdo("mousemove", str(x + 20), str(y + 8), "click", "1")
        time.sleep(0.4)
        if rights:
            self.xdo("key", *["Right"] * rights)
        self.xdo("key", *keys)
        time.sleep(0.5)

    def cover_and_uncover(self):
        cover = self.spawn(["xmessage", "-geometry", "1280x720+0+0", "covering the program"])
        time.sleep(1.0)
        cover.terminate()
        cover.wait(timeout=5)
        return self.settle()

    def assertShows(self, shot, pic, at, rows=None, first_row=0):
        """The screen from `at` on shows pic from its row first_row on."""
        x, y = at
        pic = pic[first_row:]
        h = min(pic.shape[0], shot.shape[0] - y) if rows is None else rows
        w = min(pic.shape[1], shot.shape[1] - x - 20)  # the scroll bar may take the right edge
        shown = shot[y:y + h, x:x + w]
        mismatched = int((shown != pic[:h, :w]).any(axis=2).sum())
        self.assertEqual(mismatched, 0, "%d of %d pixels differ" % (mismatched, w * h))

    # Advance Operation is the tenth menu; from its first item, Up goes round
    # to the last: HSB Value, RGBvalue, Center, Stretch.
    def stretch(self):
        self.menu(9, ["Up"] * 4 + ["Return"])

    def test_uncovering_after_stretch_shows_the_unstretched_picture(self):
        smear = picture(SMEAR)
        at = self.choose_file("alt+o", SMEAR, smear)
        self.stretch()
        stretched = self.settle()
        self.assertIsNone(locate(stretched, smear), "Stretch changed nothing")
        self.assertShows(self.cover_and_uncover(), smear, at)

    def test_uncovering_after_new_shows_the_picture_again(self):
        smear = picture(SMEAR)
        at = self.choose_file("alt+o", SMEAR, smear)
        self.menu(9, ["Up", "Up", "Return"])  # RGBvalue: read-out off, New works
        self.menu(0, ["n"])
        blank = self.settle()
        self.assertTrue((blank[at[1]:at[1] + 300, at[0]:at[0] + 300] == 255).all(), "New left the picture")
        self.assertShows(self.cover_and_uncover(), smear, at)

    def test_uncovering_after_an_operation_shows_the_second_image(self):
        smear, discs = picture(SMEAR), picture(DISCS)
        at = self.choose_file("alt+o", SMEAR, smear)
        self.assertEqual(self.choose_file("alt+a", DISCS, discs), at)
        self.xdo("key", "ctrl+i")
        inverted = self.settle()
        self.assertShows(inverted, 255 - smear, at, rows=100)
        self.assertShows(self.cover_and_uncover(), discs, at)

    def test_a_picture_copied_after_the_edit_menu_pastes_at_once(self):
        self.menu(1, ["Escape", "Escape"])  # the Edit menu, looked at and closed
        png = os.path.join(self.tmp.name, "copied.png")
        subprocess.run(["convert", SMEAR, "-crop", "300x200+0+0", png], check=True)
        self.spawn(["xclip", "-selection", "clipboard", "-t", "image/png", "-i", png])
        time.sleep(0.5)
        self.focus()
        self.xdo("key", "ctrl+v")
        self.assertIsNotNone(wait_for(lambda: locate(self.shot(), picture(png))), "Ctrl+V pasted nothing")

    def test_popup_opens_right_aligned_on_the_client_position_taken_as_a_screen_position(self):
        smear = picture(SMEAR)
        ox, oy = self.choose_file("alt+o", SMEAR, smear)
        before = self.settle()
        self.xdo("mousemove", "700", "400", "click", "3")
        after = wait_for(lambda: (lambda s: s if (s != before).any() else None)(self.shot()))
        self.assertIsNotNone(after, "no popup")
        time.sleep(0.3)
        changed = (self.shot() != before).any(axis=2)
        ys, xs = np.nonzero(changed)
        self.xdo("key", "Escape")
        self.assertEqual((xs.max() + 1, ys.min()), (700 - ox, 400 - oy))

    def test_the_whole_picture_scrolls_into_view_and_positions_follow(self):
        smear = picture(SMEAR)
        ox, oy = self.choose_file("alt+o", SMEAR, smear)
        bottom = smear[-24:]
        self.assertIsNone(locate(self.shot(), bottom, rows=range(oy, 720 - 24 + 1), cols=[ox]))
        self.xdo("mousemove", "500", "400", *["click", "5"] * 12)
        shot = self.settle()
        at = locate(shot, bottom, rows=range(oy, 720 - 24 + 1), cols=[ox])
        self.assertIsNotNone(at, "the last rows never came into view")
        top = oy - (at[1] - (768 - 24))  # the picture row at the client's top
        self.assertGreater(top, 0)
        self.assertShows(shot, smear, (ox, oy), first_row=top)
        # In selection mode a drag outlines the block where it was made.
        self.menu(9, ["Up", "Up", "Return"])
        self.settle()
        for step in (["mousemove", "100", "600"], ["mousedown", "1"], ["mousemove", "130", "620"],
                     ["mousemove", "160", "650"], ["mouseup", "1"]):
            self.xdo(*step)
            time.sleep(0.2)
        shot = self.settle()
        orange = (shot == (255, 127, 0)).all(axis=2)
        ys, xs = np.nonzero(orange)
        self.assertEqual((xs.min(), ys.min(), xs.max(), ys.max()), (100, 600, 160, 650))
        # Inside it, the pixels as loaded: the block is where the picture showed.
        inside = shot[601:650, 101:160]
        rows = 601 - oy + top
        self.assertTrue((inside == smear[rows:rows + 49, 101 - ox:160 - ox]).all())


if __name__ == "__main__":
    unittest.main()
