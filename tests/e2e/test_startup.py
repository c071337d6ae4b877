# Start-up and end of the whole program: the console, window or full screen, exit statuses.
import signal
import time
import unittest

from harness import XTestCase

NO_VIDEO = {"SDL_VIDEODRIVER": "kurvello-no-such-driver"}


class Startup(XTestCase):
    def covered(self):
        """Whether a viewable window covers the whole X screen, as full screen does."""
        windows = self.x.run("xwininfo", "-root", "-children").splitlines()
        return any("IsViewable" in self.x.run("xwininfo", "-id", line.split()[0])
                   for line in windows if "1280x1024+0+0" in line)

    def test_full_screen_or_window_and_the_ways_to_end_with_0(self):
        program = self.start(args=[], wait_window=False)  # SDL turns SIGTERM into a quit event
        for _ in range(100):
            if self.covered():
                break
            time.sleep(0.2)
        self.assertTrue(self.covered(), program.stderr())
        program.process.send_signal(signal.SIGTERM)
        self.assertEqual(program.wait(), 0)
        program = self.start(args=["nein"], stdin_bytes=b"xAB\x1b[Db")
        self.assertFalse(self.covered())
        self.assertIn("1024x768", self.x.run("xdotool", "getwindowgeometry", program.window))
        program.key("Escape")
        self.assertEqual(program.wait(), 0)
        self.assertEqual(program.stderr(), b"")

    def test_failures_end_with_1_and_their_message_and_the_console_follows_the_locale(self):
        for env, stdin, message, word in (
                ({"LC_ALL": "C"}, b"b", rb"Couldn't initialize SDL: [^\n]+\n", b"ausw\xe4hlen"),
                ({"LC_ALL": "C.UTF-8"}, b"xyz", rb"Eingabe beendet - kein Graph gewaehlt\n",
                 b"ausw\xc3\xa4hlen")):
            program = self.start(env={**NO_VIDEO, **env}, stdin_bytes=stdin, wait_window=False)
            self.assertEqual(program.wait(), 1)
            self.assertRegex(program.stderr(), rb"\A" + message + rb"\Z")
            self.assertEqual(program.stdout().count(word), 2)


class SmallScreen(XTestCase):
    screen = (800, 600)

    def test_full_screen_larger_than_the_screen_fails_with_1(self):
        program = self.start(args=[], wait_window=False)
        self.assertEqual(program.wait(), 1)
        self.assertRegex(program.stderr(), rb"\ACouldn't set video mode: [^\n]+\n\Z")


if __name__ == "__main__":
    unittest.main()
