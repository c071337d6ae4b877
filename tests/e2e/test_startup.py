"""Start-up and end of the whole program: presets on the console, window or full screen,
exit statuses and messages."""

import signal
import unittest

from harness import XTestCase

NO_VIDEO = {"SDL_VIDEODRIVER": "kurvello-no-such-driver"}


class Startup(XTestCase):
    def test_window_opens_after_ignored_keys_and_escape_ends_with_0(self):
        program = self.start(stdin_bytes=b"xAB\x1b[Dc0 101 -3 1 100 0x10 010 7abc\n")
        self.assertIn("1024x768", self.x.run("xdotool", "getwindowgeometry", program.window))
        program.key("Escape")
        self.assertEqual(program.wait(), 0)
        self.assertEqual(program.stderr(), b"")
        self.assertTrue(program.stdout().endswith(
            b"(restliche =0)\nBitte geben sie 20 Werte (zwischen 1 und 100) gefolgt von Enter ein. \n"
            + b"".join(b"\n%d. Wert:  %d" % (n, v)
                       for n, v in enumerate([1, 1, 1, 1, 100, 16, 8, 7] + [1] * 12, 1))))

    def test_full_screen_unless_the_first_argument_starts_with_n(self):
        for args, full in (([], True), (["n"], False)):
            program = self.start(args=args)
            cover = [line for line in self.x.run("xwininfo", "-root", "-children").splitlines()
                     if "1280x1024+0+0" in line]
            self.assertEqual(bool(cover), full, args)
            program.process.send_signal(signal.SIGTERM)  # SDL makes it a quit event
            self.assertEqual(program.wait(), 0)

    def test_failures_end_with_1_and_their_message(self):
        for env, stdin, message in (
                (NO_VIDEO, b"b", rb"Couldn't initialize SDL: [^\n]+\n"),
                ({**NO_VIDEO, "LC_ALL": "C"}, b"xyz", rb"Eingabe beendet - kein Graph gewaehlt\n")):
            program = self.start(env=env, stdin_bytes=stdin, wait_window=False)
            self.assertEqual(program.wait(), 1)
            self.assertRegex(program.stderr(), rb"\A" + message + rb"\Z")

    def test_the_console_writes_in_the_locale_s_encoding(self):
        for locale, word in (("C.UTF-8", b"ausw\xc3\xa4hlen"), ("C", b"ausw\xe4hlen")):
            program = self.start(env={**NO_VIDEO, "LC_ALL": locale}, wait_window=False)
            program.wait()
            self.assertEqual(program.stdout().count(word), 2, locale)


class SmallScreen(XTestCase):
    screen = (800, 600)

    def test_full_screen_larger_than_the_screen_fails_with_1(self):
        program = self.start(args=[], wait_window=False)
        self.assertEqual(program.wait(), 1)
        self.assertRegex(program.stderr(), rb"\ACouldn't set video mode: [^\n]+\n\Z")


if __name__ == "__main__":
    unittest.main()
