"""Start-up and end of the whole program."""

import unittest

from harness import XTestCase


class StartAndEscape(XTestCase):
    def test_window_opens_and_escape_ends_with_status_0(self):
        program = self.start(args=["n"], stdin_bytes=b"a")
        program.key("Escape")
        self.assertEqual(program.wait(), 0)


if __name__ == "__main__":
    unittest.main()
