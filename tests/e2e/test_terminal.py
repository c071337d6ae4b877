# The console on a pseudo-terminal: the preset key is taken at once and unseen, the values are
# typed in line mode, and every way out, Ctrl+C included, leaves the terminal as the user had it
# (settings of their own, so that a restore to some default would show).
import fcntl
import os
import select
import signal
import termios
import time
import unittest

from harness import XTestCase


class Terminal(XTestCase):
    def start_on_terminal(self, video={"SDL_VIDEODRIVER": "none"}):
        self.master, self.slave = os.openpty()
        self.addCleanup(os.close, self.master)
        self.addCleanup(os.close, self.slave)
        settings = termios.tcgetattr(self.slave)
        settings[3] &= ~termios.ECHOCTL
        settings[6][termios.VERASE] = b"\x08"
        termios.tcsetattr(self.slave, termios.TCSANOW, settings)
        self.before = termios.tcgetattr(self.slave)
        program = self.start(tty=self.slave, wait_window=False, start_new_session=True,
                             env={"LC_ALL": "C", **video},
                             preexec_fn=lambda: fcntl.ioctl(0, termios.TIOCSCTTY, 0))
        self.read_until(b"(restliche =0)")
        for _ in range(1000):  # the key is read without echo and without Enter
            if not termios.tcgetattr(self.slave)[3] & (termios.ECHO | termios.ICANON):
                return program
            time.sleep(0.01)
        self.fail("the terminal stayed in line mode")

    def read_until(self, marker):
        data = b""
        while marker not in data:
            self.assertTrue(select.select([self.master], [], [], 10)[0], f"no {marker!r}: {data!r}")
            data += os.read(self.master, 4096)
        return data

    def assert_ended_as_before(self, program, status):
        self.assertEqual(program.wait(timeout=10), status)
        self.assertEqual(termios.tcgetattr(self.slave), self.before)

    def test_key_then_values_in_line_mode_with_every_prompt_shown_then_the_window(self):
        program = self.start_on_terminal(video={})
        os.write(self.master, b"xAc")  # ignored keys, then c, without Enter
        self.assertTrue(self.read_until(b"1. Wert: ").startswith(b"\r\nBitte geben sie 20 Werte"))
        self.assertEqual(termios.tcgetattr(self.slave), self.before)
        os.write(self.master, b"0x10 7abc\n")
        dialogue = self.read_until(b"20. Wert:  1")
        self.assertIn(b"0x10 7abc\r\n 16\r\n2. Wert:  7\r\n3. Wert:  1", dialogue)  # the echoes
        # SDL turns SIGTERM into a quit only where the console left the default handler.
        program.wait_for_window()
        program.process.send_signal(signal.SIGTERM)
        self.assert_ended_as_before(program, 0)

    def test_signals_at_the_preset_key_and_at_a_typed_value(self):
        for signal_number, typed in ((signal.SIGINT, None), (signal.SIGTERM, None),
                                     (signal.SIGHUP, None), (signal.SIGINT, b"12")):
            with self.subTest(signal=signal_number, typed=typed):
                program = self.start_on_terminal()
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
