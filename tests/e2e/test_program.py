# The whole program under Xvfb, a class per capability; the SHA-1 values of pictures and the
# loop come from the independent rendering in tests/reference, which stores them.
import fcntl
import hashlib
import os
import select
import signal
import sys
import subprocess
import tempfile
import termios
import time

from harness import Program, XServer, XTestCase

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "reference"))
import reference  # noqa: E402

NO_VIDEO = {"SDL_VIDEODRIVER": "kurvello-no-such-driver"}


class Startup(XTestCase):
    window_manager = True  # SDL2's full screen is the window manager's state of a window

    def covered(self):  # whether a viewable window covers the X screen, as full screen does
        windows = self.x.run("xwininfo", "-root", "-children").splitlines()
        return any("IsViewable" in self.x.run("xwininfo", "-id", line.split()[0])
                   for line in windows if "1280x1024+0+0" in line)

    def test_full_screen_or_window_and_the_ways_to_end_with_0(self):
        program = self.start(args=[], wait_window=False)  # SDL turns SIGTERM into a quit event
        for _ in range(100):
            if self.covered():
                time.sleep(0.5)  # SDL2 2.32 may cover the screen with a first window for a moment
                if self.covered():
                    break
            time.sleep(0.2)
        self.assertTrue(self.covered(), program.stderr())
        program.wait_for_window()
        for _ in range(50):  # SDL2 names and marks the window a moment after showing it
            state = self.x.run("xprop", "-id", program.window, "_NET_WM_STATE", "WM_NAME")
            if ('WM_NAME(STRING) = "Kurvello"' in state
                    and ("_NET_WM_STATE_FULLSCREEN" in state) == (program.sdl == "compat")):
                break
            time.sleep(0.1)
        self.assertEqual("_NET_WM_STATE_FULLSCREEN" in state, program.sdl == "compat")
        self.assertIn('WM_NAME(STRING) = "Kurvello"', state)  # the caption
        program.process.send_signal(signal.SIGTERM)
        self.assertEqual(program.wait(), 0)
        program = self.start(args=["nein"], stdin_bytes=b"xAB\x1b[Db")  # ignored, unseen
        self.assertTrue(program.stdout().endswith(b"(restliche =0)"))
        self.assertFalse(self.covered())
        program.key("Escape")
        self.assertEqual(program.wait(), 0)

    def test_failures_end_with_1_and_their_message_and_the_console_follows_the_locale(self):
        for env, stdin, message, word in (
                ({"LC_ALL": "C"}, b"b", rb"Couldn't initialize SDL: [^\n]+\n", b"ausw\xe4hlen"),
                ({"LC_ALL": "C.UTF-8"}, b"xyz", rb"Eingabe beendet - kein Graph gewaehlt\n",
                 b"ausw\xc3\xa4hlen")):
            program = self.start(env={**NO_VIDEO, **env}, stdin_bytes=stdin, wait_window=False)
            self.assertEqual(program.wait(), 1)
            self.assertRegex(program.stderr(), rb"\A" + message + rb"\Z")
            self.assertEqual(program.stdout().count(word), 2)
        small = XServer(800, 600)  # full screen larger than the screen
        self.addCleanup(small.stop)
        program = Program(small, args=[], wait_window=False)
        self.addCleanup(program.stop)
        try:
            self.assertEqual(program.wait(timeout=3), 1)
            self.assertRegex(program.stderr(), rb"\ACouldn't set video mode: [^\n]+\n\Z")
        except subprocess.TimeoutExpired:  # SDL2 scales the picture down to the screen
            program.wait_for_window()
            self.assertEqual(program.sdl, "compat")


STORED = {args[0]: (line, value) for line, kind, value, args in reference.cases()
          if kind in ("window", "loop")}
LOOP = STORED["preset_a"][1]  # one 1024-byte loop of preset a
SILENCE = hashlib.sha1(bytes(1024)).hexdigest()


# Pictures, keys and the looping tone, through SDL's disk audio driver, which writes every
# stream the callback filled to a file: silence until the first refresh, then the loop.
class Pictures(XTestCase):
    def assert_silence_then(self, program, path, loop):
        for _ in range(100):
            with open(path, "rb") as f:
                data = f.read()
            if program.sdl == "compat":  # SDL2's disk driver writes every sample twice
                self.assertEqual(data[0::4] + data[1::4], data[2::4] + data[3::4])
                data = bytes(b for i, b in enumerate(data) if i % 4 < 2)
            streams = [hashlib.sha1(data[i:i + 1024]).hexdigest() for i in range(0, len(data) - 1023, 1024)]
            if loop in streams:
                first = streams.index(loop)
                return self.assertEqual(streams, [SILENCE] * first + [loop] * (len(streams) - first))
            time.sleep(0.1)
        self.fail("the loop never reached the audio file")

    def test_the_overlay_keys_the_reset_and_the_tone(self):
        path = os.path.join(tempfile.mkdtemp(), "played.raw")
        program = self.start(env={"SDL_AUDIODRIVER": "disk", "SDL_DISKAUDIOFILE": path,
                                  "SDL_DISKAUDIODELAY": "1"}, stdin_bytes=b"\0a")  # NUL: ignored
        # The pictures the keys leave, as tests/reference/expected.txt describes them.
        for keys, name in (((), "start"), (("y",), "start"), (("c",), "plot_only"), (("y",), "start"),
                           (("d", "l", "ctrl+Right", "KP_Down", "Down"), "edited"),
                           (("ctrl+KP_Add", "c", "r"), "reset")):  # reset while slot 3 moves
            for key in keys:
                program.key(key)
            line, want = STORED[name]
            if program.picture(want) != want:  # the picture and the reference's into the build folder
                got = os.path.join(os.environ.get("KURVELLO_OUTPUT", "."), f"reference-{line}.got")
                with open(got, "wb") as f:
                    f.write(program.screenshot())
                self.fail(subprocess.run([sys.executable, reference.__file__, "show", str(line), got],
                                         capture_output=True, text=True).stdout)
        self.assertFalse(os.path.exists(path), "sound must be off until s")
        program.key("s")  # the reset brought the slots back to preset a's start
        self.assert_silence_then(program, path, LOOP)
        program.key("s")
        size = os.path.getsize(path)
        time.sleep(0.5)
        self.assertEqual(os.path.getsize(path), size, "the device kept playing after s")
        program.key("Escape")
        self.assertEqual(program.wait(), 0)

    def test_s_without_a_sound_device_reports_it_and_ends_with_1(self):
        program = self.start(env={"SDL_AUDIODRIVER": "no-such-driver", "LC_ALL": "C"})
        program.key("s")
        self.assertEqual(program.wait(), 1)
        self.assertRegex(program.stderr(), rb"\AAudio-Ger\xe4t konnte nicht ge\xf6ffnet werden: [^\n]+\n\Z")


# The console on a pseudo-terminal: every way out leaves the terminal as the user had it
# (settings of their own, so that a restore to some default would show).
class Terminal(XTestCase):
    def start_on_terminal(self, video):
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

    # Signals at the preset key, at a typed value, and after the console, where SDL turns
    # SIGTERM into a quit; the values are read in line mode and every prompt is shown at once.
    def test_signals_at_the_preset_key_at_a_typed_value_and_in_the_window(self):
        for keys, typed, marker, signal_number, status in (
                (b"", None, None, signal.SIGINT, -2), (b"", None, None, signal.SIGTERM, -15),
                (b"", None, None, signal.SIGHUP, -1), (b"c", b"7\n12", b"2. Wert: ", signal.SIGINT, -2),
                (b"xAc", b"0x10 7abc\n", None, signal.SIGTERM, 0)):
            with self.subTest(keys=keys, typed=typed, signal=signal_number):
                program = self.start_on_terminal({} if status == 0 else {"SDL_VIDEODRIVER": "none"})
                if typed is not None:
                    os.write(self.master, keys)  # the preset key without Enter
                    self.assertTrue(self.read_until(b"1. Wert: ").startswith(b"\r\nBitte geben sie"))
                    os.write(self.master, typed)
                    self.read_until(marker if status else b"20. Wert:  1")
                if status == 0:
                    program.wait_for_window()
                if signal_number == signal.SIGINT:
                    os.write(self.master, b"\x03")
                else:
                    program.process.send_signal(signal_number)
                self.assertEqual(program.wait(timeout=10), status)
                self.assertEqual(termios.tcgetattr(self.slave), self.before)

    # After 99 locks, frames among them (tests/e2e/refuse_lock.cpp); main ends a failure with 1.
    def test_a_refused_lock_ends_with_1_and_its_message(self):
        program = self.start_on_terminal({"LD_PRELOAD": os.environ["KURVELLO_REFUSE_LOCK"],
                                          "KURVELLO_REFUSE_LOCK_FROM": "100",
                                          "ASAN_OPTIONS": "verify_asan_link_order=0"})
        os.write(self.master, b"a")
        self.assertEqual(program.wait(timeout=20), 1)
        self.assertEqual(program.stderr(), b"Can't lock screen: refused by the test\n")
        self.assertEqual(termios.tcgetattr(self.slave), self.before)
