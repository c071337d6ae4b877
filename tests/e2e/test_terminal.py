# The console on a pseudo-terminal: the preset key is taken at once and unseen, the values are
# typed in line mode, and every way out, Ctrl+C included, leaves the terminal as it was.

import fcntl
import os
import select
import signal
import termios
import time
import unittest

from harness import XTestCase

LFLAG, CC = 3, 6  # indices into tcgetattr's list


def customised(attributes):
    # Settings a user might have chosen, so a restore to some default would show.
    changed = [list(a) if isinstance(a, list) else a for a in attributes]
    changed[LFLAG] &= ~termios.ECHOCTL
    changed[CC][termios.VERASE] = b"\x08"
    return changed


class Terminal(XTestCase):
    def start_on_terminal(self, settings=None, env=None):
        self.master, self.slave = os.openpty()
        self.addCleanup(os.close, self.master)
        self.addCleanup(os.close, self.slave)
        if settings:
            termios.tcsetattr(self.slave, termios.TCSANOW, settings(termios.tcgetattr(self.slave)))
        self.before = termios.tcgetattr(self.slave)
        program = self.start(tty=self.slave, wait_window=False, start_new_session=True,
                             env={"LC_ALL": "C", "SDL_VIDEODRIVER": "none", **(env or {})},
                             preexec_fn=lambda: fcntl.ioctl(0, termios.TIOCSCTTY, 0))
        self.read_until(b"(restliche =0)")
        deadline = time.monotonic() + 10
        while termios.tcgetattr(self.slave)[LFLAG] & (termios.ECHO | termios.ICANON):
            self.assertLess(time.monotonic(), deadline, "the terminal stayed in line mode")
            time.sleep(0.01)
        return program

    def read_until(self, marker, timeout=10):
        data = b""
        while marker not in data:
            ready, _, _ = select.select([self.master], [], [], timeout)
            self.assertTrue(ready, f"{marker!r} did not come; got {data[-200:]!r}")
            data += os.read(self.master, 4096)
        return data

    def assert_ended_as_before(self, program, status):
        self.assertEqual(program.wait(timeout=10), status)
        self.assertEqual(termios.tcgetattr(self.slave), self.before)

    def test_key_unseen_without_enter_then_values_in_line_mode_then_the_window(self):
        program = self.start_on_terminal(env={"SDL_VIDEODRIVER": "x11"})
        os.write(self.master, b"xA")  # ignored keys: still waiting, still raw
        time.sleep(0.2)
        self.assertIsNone(program.process.poll())
        os.write(self.master, b"c")  # no Enter
        self.assertTrue(self.read_until(b"1. Wert: ").startswith(b"\r\nBitte geben sie 20 Werte"))
        self.assertEqual(termios.tcgetattr(self.slave), self.before)
        os.write(self.master, b"0x10 7abc\n")
        dialogue = self.read_until(b"20. Wert:  1")
        self.assertIn(b"0x10 7abc\r\n", dialogue)  # the terminal's own echo
        self.assertIn(b"\r\n2. Wert:  7\r\n3. Wert:  1", dialogue)
        # SDL turns SIGTERM into a quit only where the console left the default handler.
        program.wait_for_window()
        program.process.send_signal(signal.SIGTERM)
        self.assert_ended_as_before(program, 0)

    def test_signals_at_the_preset_key_and_at_a_typed_value(self):
        for settings, signal_number, typed in (
                (None, signal.SIGINT, None), (customised, signal.SIGINT, None),
                (customised, signal.SIGTERM, None), (None, signal.SIGHUP, None),
                (None, signal.SIGINT, b""), (customised, signal.SIGINT, b"12")):
            with self.subTest(signal=signal_number, customised=bool(settings), typed=typed):
                program = self.start_on_terminal(settings)
                if typed is not None:
                    os.write(self.master, b"c")
                    self.read_until(b"1. Wert: ")
                    os.write(self.master, b"7\n" + typed)
                    self.read_until(b"2. Wert: ")
                if signal_number == signal.SIGINT:
                    os.write(self.master, b"\x03")
                else:
                    program.process.send_signal(signal_number)
                self.assert_ended_as_before(program, -signal_number)
                self.assertEqual(program.stderr(), b"")


if __name__ == "__main__":
    unittest.main()
