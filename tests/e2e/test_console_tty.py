"""The console phase on a pseudo-terminal: Ctrl+C leaves the terminal as the user had it,
and the preset key is taken at once and unseen. Needs no X server: the video driver named
does not exist, so a run that gets past the console ends at SDL_Init."""

import fcntl
import os
import select
import signal
import subprocess
import termios
import time
import unittest

import harness

NO_VIDEO = {"SDL_VIDEODRIVER": "kurvello-no-such-driver", "LC_ALL": "C"}
CTRL_C = b"\x03"
LFLAG, CC = 3, 6  # indices into tcgetattr's list


def customised(attributes):
    """Settings a user might have chosen, so a restore to some default would show."""
    changed = [list(a) if isinstance(a, list) else a for a in attributes]
    changed[LFLAG] &= ~termios.ECHOCTL
    changed[CC][termios.VERASE] = b"\x08"
    changed[CC][termios.VKILL] = b"\x15"
    return changed


class ConsoleOnTerminal(unittest.TestCase):
    def setUp(self):
        if not harness.PROGRAM or not os.path.exists(harness.PROGRAM):
            raise unittest.SkipTest("KURVELLO_PROGRAM is not set")

    def start(self, settings=None):
        """Runs the program with the terminal as its controlling terminal; returns the
        process, the master side and the terminal's settings before the start."""
        master, slave = os.openpty()
        self.addCleanup(os.close, master)
        self.addCleanup(os.close, slave)
        if settings:
            termios.tcsetattr(slave, termios.TCSANOW, settings(termios.tcgetattr(slave)))
        before = termios.tcgetattr(slave)
        process = subprocess.Popen(
            [harness.PROGRAM, "n"], stdin=slave, stdout=slave, stderr=subprocess.PIPE,
            env=dict(os.environ, **NO_VIDEO), start_new_session=True,
            preexec_fn=lambda: fcntl.ioctl(0, termios.TIOCSCTTY, 0))
        self.addCleanup(self.stop, process)
        self.slave = slave
        return process, master, before

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

    @staticmethod
    def read_rest(master, quiet=0.3):
        data = b""
        while select.select([master], [], [], quiet)[0]:
            chunk = os.read(master, 4096)
            if not chunk:
                break
            data += chunk
        return data

    def wait_for_key_mode(self):
        deadline = time.monotonic() + 10
        while termios.tcgetattr(self.slave)[LFLAG] & (termios.ECHO | termios.ICANON):
            if time.monotonic() > deadline:
                self.fail("the terminal never left line mode for the preset key")
            time.sleep(0.01)

    def assert_ended_by_sigint_as_before(self, process, before):
        self.assertEqual(process.wait(timeout=10), -signal.SIGINT)
        self.assertEqual(termios.tcgetattr(self.slave), before)
        self.assertEqual(process.stderr.read(), b"")

    def test_ctrl_c_at_the_preset_key(self):
        for settings in (None, customised):
            with self.subTest(customised=settings is not None):
                process, master, before = self.start(settings)
                self.read_until(master, b"(restliche =0)")
                self.wait_for_key_mode()
                os.write(master, b"xA")  # ignored keys first: still waiting, still raw
                time.sleep(0.2)
                self.assertIsNone(process.poll())
                os.write(master, CTRL_C)
                self.assert_ended_by_sigint_as_before(process, before)

    def test_ctrl_c_at_a_typed_value(self):
        for settings, typed in ((None, b""), (customised, b"12")):
            with self.subTest(customised=settings is not None, half_typed=typed):
                process, master, before = self.start(settings)
                self.read_until(master, b"(restliche =0)")
                self.wait_for_key_mode()
                os.write(master, b"c")
                self.read_until(master, b"1. Wert: ")
                os.write(master, b"7\n")
                self.read_until(master, b"2. Wert: ")
                self.assertEqual(termios.tcgetattr(self.slave), before)
                os.write(master, typed + CTRL_C)
                self.assert_ended_by_sigint_as_before(process, before)

    def test_preset_key_is_taken_without_enter_and_without_echo(self):
        process, master, before = self.start()
        self.read_until(master, b"(restliche =0)")
        self.wait_for_key_mode()
        os.write(master, b"xA")
        time.sleep(0.2)
        self.assertIsNone(process.poll(), "a wrong key must not end the wait")
        os.write(master, b"b")  # no Enter follows
        self.assertEqual(process.wait(timeout=10), 1)
        self.assertTrue(process.stderr.read().startswith(b"Couldn't initialize SDL: "))
        # Nothing after the last help text: neither the keys nor a line feed came back.
        self.assertEqual(self.read_rest(master), b"")
        self.assertEqual(termios.tcgetattr(self.slave), before)


if __name__ == "__main__":
    unittest.main()
