"""The console phase on a pseudo-terminal: the preset key is taken at once and unseen, the
values are typed in line mode, and every way out, Ctrl+C included, leaves the terminal as
the user had it."""

import os
import select
import signal
import termios
import time
import unittest

from harness import XTestCase

NO_VIDEO = {"SDL_VIDEODRIVER": "kurvello-no-such-driver"}
CTRL_C = b"\x03"
LFLAG, CC = 3, 6  # indices into tcgetattr's list


def customised(attributes):
    """Settings a user might have chosen, so a restore to some default would show."""
    changed = [list(a) if isinstance(a, list) else a for a in attributes]
    changed[LFLAG] &= ~termios.ECHOCTL
    changed[CC][termios.VERASE] = b"\x08"
    changed[CC][termios.VKILL] = b"\x15"
    return changed


class ConsoleOnTerminal(XTestCase):
    def start_on_terminal(self, settings=None, env=NO_VIDEO):
        """Runs the program on a fresh terminal; returns it, the terminal's master side and
        the terminal's settings before the start."""
        master, self.slave = os.openpty()
        self.addCleanup(os.close, master)
        self.addCleanup(os.close, self.slave)
        if settings:
            termios.tcsetattr(self.slave, termios.TCSANOW,
                              settings(termios.tcgetattr(self.slave)))
        before = termios.tcgetattr(self.slave)
        program = self.start(args=["n"], tty=self.slave, wait_window=False,
                                     env={"LC_ALL": "C", **env})
        return program, master, before

    def read_until(self, master, marker, timeout=10):
        data = b""
        deadline = time.monotonic() + timeout
        while marker not in data:
            ready, _, _ = select.select([master], [], [], max(0, deadline - time.monotonic()))
            if not ready:
                self.fail(f"{marker!r} did not come; got {data[-200:]!r}")
            data += os.read(master, 4096)
        return data

    def wait_for_key_mode(self, master):
        self.read_until(master, b"(restliche =0)")
        deadline = time.monotonic() + 10
        while termios.tcgetattr(self.slave)[LFLAG] & (termios.ECHO | termios.ICANON):
            if time.monotonic() > deadline:
                self.fail("the terminal never left line mode for the preset key")
            time.sleep(0.01)

    def assert_ended_as_before(self, program, status, before):
        self.assertEqual(program.wait(timeout=10), status)
        self.assertEqual(termios.tcgetattr(self.slave), before)

    def test_key_unseen_without_enter_then_values_in_line_mode_then_the_window(self):
        program, master, before = self.start_on_terminal(env={})
        self.wait_for_key_mode(master)
        os.write(master, b"xA")  # ignored keys: still waiting, still raw
        time.sleep(0.2)
        self.assertIsNone(program.process.poll())
        os.write(master, b"c")  # no Enter
        after_key = self.read_until(master, b"1. Wert: ")
        self.assertTrue(after_key.startswith(b"\r\nBitte geben sie 20 Werte"), after_key)
        self.assertEqual(termios.tcgetattr(self.slave), before)

        os.write(master, b"0x10 7abc\n")
        dialogue = self.read_until(master, b"20. Wert:  1")
        self.assertIn(b"0x10 7abc\r\n", dialogue)  # the terminal's own echo
        self.assertIn(b"\r\n2. Wert:  7\r\n3. Wert:  1", dialogue)
        # SDL turns SIGTERM into a quit only where the console left the default handler.
        program.wait_for_window()
        program.process.send_signal(signal.SIGTERM)
        self.assert_ended_as_before(program, 0, before)

    def test_signals_at_the_preset_key(self):
        for name, settings, signal_number in (("Ctrl+C", None, signal.SIGINT),
                                              ("Ctrl+C", customised, signal.SIGINT),
                                              ("SIGTERM", customised, signal.SIGTERM),
                                              ("SIGHUP", None, signal.SIGHUP)):
            with self.subTest(name, customised=settings is not None):
                program, master, before = self.start_on_terminal(settings)
                self.wait_for_key_mode(master)
                if signal_number == signal.SIGINT:
                    os.write(master, CTRL_C)
                else:
                    program.process.send_signal(signal_number)
                self.assert_ended_as_before(program, -signal_number, before)
                self.assertEqual(program.stderr(), b"")

    def test_ctrl_c_at_a_typed_value(self):
        for settings, typed in ((None, b""), (customised, b"12")):
            with self.subTest(customised=settings is not None, half_typed=typed):
                program, master, before = self.start_on_terminal(settings)
                self.wait_for_key_mode(master)
                os.write(master, b"c")
                self.read_until(master, b"1. Wert: ")
                os.write(master, b"7\n")
                self.read_until(master, b"2. Wert: ")
                os.write(master, typed + CTRL_C)
                self.assert_ended_as_before(program, -signal.SIGINT, before)
                self.assertEqual(program.stderr(), b"")


if __name__ == "__main__":
    unittest.main()
