"""./run.sh without a display: one line saying so and how to start the program
under xvfb-run, then the README's first analysis through optascope-cli, exit 0."""
import os
import subprocess
import unittest


class WithoutADisplay(unittest.TestCase):
    def test_says_so_and_runs_the_first_analysis(self):
        env = {k: v for k, v in os.environ.items() if k not in ("DISPLAY", "WAYLAND_DISPLAY")}
        p = subprocess.run([os.path.join(os.environ.get("OPTA_SOURCE_DIR", "."), "run.sh")], env=env,
                           capture_output=True, text=True, timeout=580)
        self.assertEqual(p.returncode, 0, p.stdout + p.stderr)
        lines = p.stdout.splitlines()
        self.assertTrue("no display" in lines[0] and "xvfb-run" in lines[0], lines[0])
        for said in ("OPTA: Total Objects Found: 125", "OPTA: Normal RBCs Found: 105", "OPTA: Total Objects Found: 3"):
            self.assertIn(said, lines)


if __name__ == "__main__":
    unittest.main()
