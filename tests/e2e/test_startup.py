"""Start-up and end of the whole program: console dialogue, window, full screen, exits."""

import fcntl
import os
import select
import signal
import subprocess
import termios
import time
import unittest

import harness
from harness import XTestCase

MISSING_DRIVER = {"SDL_VIDEODRIVER": "kurvello-no-such-driver"}
TWENTY_VALUES = b"0 101 -3 1 100 0x10 010 7abc\n"
TWENTY_ECHOES = [1, 1, 1, 1, 100, 16, 8, 7] + [1] * 12
WHITE = (255, 255, 255)


def xdotool(program, *args):
    return subprocess.run(["xdotool", *args], capture_output=True, text=True,
                          env=program.xenv(), check=True).stdout.strip()


def full_screen_cover_shown(program, screen):
    """True when a mapped window covers the whole X screen, as SDL's full screen does."""
    tree = subprocess.run(["xwininfo", "-root", "-children"], capture_output=True,
                          text=True, env=program.xenv(), check=True).stdout
    size = f"{screen[0]}x{screen[1]}+0+0"
    for line in tree.splitlines():
        if size in line:
            info = subprocess.run(["xwininfo", "-id", line.split()[0]], capture_output=True,
                                  text=True, env=program.xenv(), check=True).stdout
            if "IsViewable" in info:
                return True
    return False


class WindowedStart(XTestCase):
    def check_started(self, program):
        self.assertEqual(xdotool(program, "getwindowname", program.window), "Kurvello")
        geometry = xdotool(program, "getwindowgeometry", program.window)
        self.assertIn("1024x768", geometry)
        # The white sum crosses every column, so a shown surface has plenty of white.
        self.assertGreater(program.screenshot().count(WHITE), 512)

    def test_each_preset_shows_the_surface_and_escape_ends_with_0(self):
        for keys in (b"a", b"xAB\x1b[Db", b"c" + TWENTY_VALUES):
            with self.subTest(keys=keys):
                program = self.start(args=["nein"], stdin_bytes=keys)
                self.check_started(program)
                program.key("Escape")
                self.assertEqual(program.wait(), 0)
                self.assertEqual(program.stderr(), b"")
                out = program.stdout()
                self.assertTrue(out.endswith(b"(restliche =0)") or keys[:1] == b"c")
                self.assertEqual(out.count(b"Wert:"), 20 if keys[:1] == b"c" else 0)

    def test_preset_c_prompts_and_echoes_the_stored_values(self):
        program = self.start(args=["n"], stdin_bytes=b"c" + TWENTY_VALUES)
        program.key("Escape")
        self.assertEqual(program.wait(), 0)
        expected = b"\nBitte geben sie 20 Werte (zwischen 1 und 100) gefolgt von Enter ein. \n"
        for n, value in enumerate(TWENTY_ECHOES, 1):
            expected += f"\n{n}. Wert:  {value}".encode()
        self.assertTrue(program.stdout().endswith(b"(restliche =0)" + expected))

    def test_sigterm_ends_with_0_at_once(self):
        program = self.start(args=["n"], stdin_bytes=b"b")
        program.process.send_signal(signal.SIGTERM)
        self.assertEqual(program.wait(timeout=5), 0)

    def test_missing_video_driver_fails_with_1(self):
        program = self.start(args=["n"], stdin_bytes=b"a", env=MISSING_DRIVER,
                             wait_window=False)
        self.assertEqual(program.wait(), 1)
        self.assertTrue(program.stderr().startswith(b"Couldn't initialize SDL: "))
        self.assertTrue(program.stderr().endswith(b"\n"))

    def test_end_of_input_before_a_preset_fails_with_1_before_any_sdl_start(self):
        # With a missing driver, reaching SDL_Init would print its own message instead.
        program = self.start(args=["n"], stdin_bytes=b"xyzABC", env=MISSING_DRIVER,
                             wait_window=False)
        self.assertEqual(program.wait(), 1)
        self.assertEqual(program.stderr(), b"Eingabe beendet - kein Graph gewaehlt\n")

    def test_umlauts_follow_the_locale(self):
        for locale, word in (("C.UTF-8", b"ausw\xc3\xa4hlen"), ("C", b"ausw\xe4hlen")):
            with self.subTest(locale=locale):
                program = self.start(stdin_bytes=b"", wait_window=False,
                                     env={**MISSING_DRIVER, "LC_ALL": locale})
                self.assertEqual(program.wait(), 1)
                self.assertEqual(program.stdout().count(word), 2)


class FullScreenStart(XTestCase):
    def test_full_screen_unless_the_first_argument_starts_with_n(self):
        for args, full in (([], True), (["N"], True), (["-n"], True), (["x", "n"], True),
                           (["n"], False)):
            with self.subTest(args=args):
                program = self.start(args=args, stdin_bytes=b"a")
                self.assertEqual(full_screen_cover_shown(program, self.screen), full)
                self.assertGreater(program.screenshot().count(WHITE), 512)
                program.key("Escape")
                self.assertEqual(program.wait(), 0)


class SmallScreen(XTestCase):
    screen = (800, 600, 24)

    def test_full_screen_larger_than_the_screen_fails_with_1(self):
        program = self.start(stdin_bytes=b"a", wait_window=False)
        self.assertEqual(program.wait(), 1)
        self.assertTrue(program.stderr().startswith(b"Couldn't set video mode: "))


class TerminalDialogue(unittest.TestCase):
    """The console phase on a pseudo-terminal, as a user at a terminal sees it."""

    def setUp(self):
        if not harness.PROGRAM or not os.path.exists(harness.PROGRAM):
            raise unittest.SkipTest("KURVELLO_PROGRAM is not set")

    def start(self):
        master, slave = os.openpty()
        self.addCleanup(os.close, master)
        self.addCleanup(os.close, slave)
        env = dict(os.environ, LC_ALL="C", **MISSING_DRIVER)
        process = subprocess.Popen(
            [harness.PROGRAM, "n"], stdin=slave, stdout=slave, stderr=subprocess.PIPE,
            env=env, start_new_session=True,
            preexec_fn=lambda: fcntl.ioctl(0, termios.TIOCSCTTY, 0))
        self.addCleanup(self.stop, process)
        return process, master, slave, termios.tcgetattr(slave)

    @staticmethod
    def stop(process):
        if process.poll() is None:
            process.kill()
        process.wait(timeout=10)
        process.stderr.close()

    def read_until(self, master, marker, timeout=10):
        data = b""
        deadline = time.monotonic() + timeout
        while marker not in data:
            ready, _, _ = select.select([master], [], [], max(0, deadline - time.monotonic()))
            if not ready:
                self.fail(f"{marker!r} did not come; got {data[-200:]!r}")
            data += os.read(master, 4096)
        return data

    def wait_for_key_mode(self, slave):
        deadline = time.monotonic() + 10
        while termios.tcgetattr(slave)[3] & (termios.ECHO | termios.ICANON):
            if time.monotonic() > deadline:
                self.fail("the terminal never left line mode for the preset key")
            time.sleep(0.01)

    def test_key_without_enter_or_echo_then_values_in_line_mode(self):
        process, master, slave, cooked = self.start()
        self.read_until(master, b"(restliche =0)")
        self.wait_for_key_mode(slave)
        os.write(master, b"c")
        after_key = self.read_until(master, b"1. Wert: ")
        self.assertTrue(after_key.startswith(b"\r\nBitte geben sie 20 Werte"), after_key)
        self.assertEqual(termios.tcgetattr(slave), cooked)

        os.write(master, b"0x10 7abc\n")
        dialogue = self.read_until(master, b"20. Wert:  1")
        self.assertIn(b"0x10 7abc\r\n", dialogue)  # the terminal's own echo
        self.assertIn(b"\r\n2. Wert:  7\r\n3. Wert:  1", dialogue)
        self.assertEqual(process.wait(timeout=10), 1)
        self.assertTrue(process.stderr.read().startswith(b"Couldn't initialize SDL: "))
        self.assertEqual(termios.tcgetattr(slave), cooked)

    def test_signals_at_the_preset_key_restore_the_terminal(self):
        for name, send, signal_number in (
                ("Ctrl+C", lambda p, m: os.write(m, b"\x03"), signal.SIGINT),
                ("SIGTERM", lambda p, m: p.send_signal(signal.SIGTERM), signal.SIGTERM),
                ("SIGHUP", lambda p, m: p.send_signal(signal.SIGHUP), signal.SIGHUP)):
            with self.subTest(name):
                process, master, slave, cooked = self.start()
                self.read_until(master, b"(restliche =0)")
                self.wait_for_key_mode(slave)
                send(process, master)
                self.assertEqual(process.wait(timeout=10), -signal_number)
                self.assertEqual(termios.tcgetattr(slave), cooked)


if __name__ == "__main__":
    unittest.main()
