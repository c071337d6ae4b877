"""Start-up and end of the whole program: presets, window, full screen, exit statuses.
The console on a terminal is tested in test_console_tty."""

import signal
import unittest

from harness import XTestCase

MISSING_DRIVER = {"SDL_VIDEODRIVER": "kurvello-no-such-driver"}
TWENTY_VALUES = b"0 101 -3 1 100 0x10 010 7abc\n"
TYPED_DIALOGUE = b"\nBitte geben sie 20 Werte (zwischen 1 und 100) gefolgt von Enter ein. \n" + \
    b"".join(f"\n{n}. Wert:  {v}".encode()
             for n, v in enumerate([1, 1, 1, 1, 100, 16, 8, 7] + [1] * 12, 1))
WHITE = (255, 255, 255)


def full_screen_cover_shown(x, screen):
    """True when a mapped window covers the whole X screen, as SDL's full screen does."""
    size = f"{screen[0]}x{screen[1]}+0+0"
    for line in x.run("xwininfo", "-root", "-children").splitlines():
        if size in line and "IsViewable" in x.run("xwininfo", "-id", line.split()[0]):
            return True
    return False


class WindowedStart(XTestCase):
    def test_each_preset_shows_the_surface_and_escape_ends_with_0(self):
        for keys, dialogue in ((b"a", b""), (b"xAB\x1b[Db", b""),
                               (b"c" + TWENTY_VALUES, TYPED_DIALOGUE)):
            with self.subTest(keys=keys):
                program = self.start(args=["nein"], stdin_bytes=keys)
                self.assertEqual(self.x.run("xdotool", "getwindowname", program.window),
                                 "Kurvello\n")
                self.assertIn("1024x768",
                              self.x.run("xdotool", "getwindowgeometry", program.window))
                # The white sum crosses every column, so a shown surface has plenty of white.
                self.assertGreater(program.screenshot().count(WHITE), 512)
                program.key("Escape")
                self.assertEqual(program.wait(), 0)
                self.assertEqual(program.stderr(), b"")
                self.assertTrue(program.stdout().endswith(b"(restliche =0)" + dialogue))

    def test_sigterm_ends_with_0_at_once(self):
        program = self.start(args=["n"], stdin_bytes=b"b")
        program.process.send_signal(signal.SIGTERM)
        self.assertEqual(program.wait(timeout=5), 0)

    def test_missing_video_driver_fails_with_1(self):
        program = self.start(args=["n"], env=MISSING_DRIVER, wait_window=False)
        self.assertEqual(program.wait(), 1)
        self.assertRegex(program.stderr(), rb"\ACouldn't initialize SDL: [^\n]*\n\Z")

    def test_end_of_input_before_a_preset_fails_with_1_in_the_locale_s_encoding(self):
        # With a missing driver, reaching SDL_Init would print its own message instead.
        for locale, word in (("C.UTF-8", b"ausw\xc3\xa4hlen"), ("C", b"ausw\xe4hlen")):
            with self.subTest(locale=locale):
                program = self.start(stdin_bytes=b"xyzABC", wait_window=False,
                                     env={**MISSING_DRIVER, "LC_ALL": locale})
                self.assertEqual(program.wait(), 1)
                self.assertEqual(program.stderr(), b"Eingabe beendet - kein Graph gewaehlt\n")
                self.assertEqual(program.stdout().count(word), 2)


class FullScreenStart(XTestCase):
    def test_full_screen_unless_the_first_argument_starts_with_n(self):
        for args, full in (([], True), (["n"], False)):
            with self.subTest(args=args):
                program = self.start(args=args)
                self.assertEqual(full_screen_cover_shown(self.x, self.screen), full)
                self.assertGreater(program.screenshot().count(WHITE), 512)
                program.key("Escape")
                self.assertEqual(program.wait(), 0)


class SmallScreen(XTestCase):
    screen = (800, 600, 24)

    def test_full_screen_larger_than_the_screen_fails_with_1(self):
        program = self.start(wait_window=False)
        self.assertEqual(program.wait(), 1)
        self.assertTrue(program.stderr().startswith(b"Couldn't set video mode: "))


if __name__ == "__main__":
    unittest.main()
