"""./run.sh on a machine without a display: one line saying so and how to
start the program under xvfb-run, then the README's first analysis of the
bundled sample through optascope-cli, and exit code 0."""
import os
import subprocess
import unittest

SOURCE = os.environ.get("OPTA_SOURCE_DIR", ".")


class WithoutADisplay(unittest.TestCase):
    def test_says_so_and_runs_the_first_analysis(self):
        env = {k: v for k, v in os.environ.items() if k not in ("DISPLAY", "WAYLAND_DISPLAY")}
        p = subprocess.run([os.path.join(SOURCE, "run.sh")], env=env, capture_output=True, text=True,
                           timeout=580)
        self.assertEqual(p.returncode, 0, p.stdout + p.stderr)
        lines = p.stdout.splitlines()
        self.assertIn("no display", lines[0])
        self.assertIn("xvfb-run", lines[0])
        self.assertNotIn("qt.qpa", p.stdout + p.stderr)  # Qt was never asked for a display
        for message in ("OPTA: Total Objects Found: 125", "OPTA: Normal RBCs Found: 105",
                        "OPTA: Total Objects Found: 3"):
            self.assertIn(message, lines)


if __name__ == "__main__":
    unittest.main()
