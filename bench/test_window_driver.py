# SPDX-License-Identifier: MIT
"""Checks of the window benchmark's own reckoning: the tick counts it takes from the trace tool
and the CPU times it reads, the browser's included.

Run: python3 -B -m unittest discover -s bench -p 'test_*.py'   (VANDREL_TRACE may name the tool)
"""
import os
import shutil
import unittest

import browser
import window_driver

TRACE = os.environ.get(
    "VANDREL_TRACE", os.path.join(os.path.dirname(__file__), "..", "build", "vandrel-trace"))


class CpuSeconds(unittest.TestCase):
    def test_utime_and_stime_are_summed(self):
        stat = "42 (vandrel) S 1 42 42 0 -1 4194304 900 0 0 0 250 50 0 0 20 0 3 0 1 2 3"
        self.assertAlmostEqual(window_driver.cpu_seconds_in_stat(stat),
                               300 / window_driver.CLK_TCK)

    def test_a_command_name_with_a_parenthesis_and_blanks(self):
        stat = "42 (a) b c) S 1 42 42 0 -1 4194304 900 0 0 0 7 3 0 0 20 0 3 0 1 2 3"
        self.assertAlmostEqual(window_driver.cpu_seconds_in_stat(stat),
                               10 / window_driver.CLK_TCK)

    def test_this_process_has_used_some_cpu(self):
        self.assertGreaterEqual(window_driver.cpu_seconds(os.getpid()), 0.0)

    def test_shares_of_several_processes_over_one_interval(self):
        shares = window_driver.cpu_shares([os.getpid(), os.getpid()], 0.05)
        self.assertEqual(len(shares), 2)
        for by_ticks, by_scheduler in shares:
            self.assertGreaterEqual(by_ticks, 0.0)
            self.assertLess(by_scheduler, 5.0)  # asleep nearly all the time


class BrowserCpu(unittest.TestCase):
    def test_the_kind_of_a_process_before_and_after_chromium_sets_its_title(self):
        self.assertEqual(browser.kind_of("/usr/lib/chromium/chromium\0--headless=new\0"), "browser")
        self.assertEqual(browser.kind_of("chromium --type=renderer --lang=en-US"), "renderer")
        self.assertEqual(browser.kind_of(
            "chromium\0--type=utility\0--utility-sub-type=network.mojom.NetworkService\0"),
            "utility (NetworkService)")

    def test_threads_started_in_between_count_whole_and_ended_ones_not_at_all(self):
        before = {(1, 1): ("browser", "CrBrowserMain", 10**9), (2, 2): ("gpu-process", "x", 5)}
        after = {(1, 1): ("browser", "CrBrowserMain", 2 * 10**9),
                 (3, 3): ("renderer", "CompositorTileW2", 10**9),
                 (3, 4): ("renderer", "CompositorTileW3", 10**9)}
        self.assertEqual(browser.shares(before, after, 10.0),
                         {"browser": 10.0, "renderer": 20.0})
        self.assertEqual(browser.shares(before, after, 10.0, browser.thread_kind),
                         {"browser: CrBrowserMain": 10.0, "renderer: CompositorTileW": 20.0})

    def test_a_profile_sample_has_the_time_until_the_next(self):
        profile = {"nodes": [{"id": 1, "callFrame": {"functionName": "(idle)", "url": ""}},
                             {"id": 2, "callFrame": {"functionName": "frame",
                                                     "url": "http://h/page.js"}}],
                   "samples": [1, 2, 2, 1], "timeDeltas": [0, 1000, 3000, 500]}
        self.assertEqual(browser.self_times(profile),
                         {("(idle)", ""): 1.0, ("frame", "page.js"): 3.5})


class InTurn(unittest.TestCase):
    def test_each_build_against_the_first_pair_by_pair(self):
        # The machine slows down halfway: the second build is a quarter cheaper in every pair.
        lines = window_driver.in_turn_summary({"old": [4.0, 4.0, 8.0], "new": [3.0, 3.0, 6.0]})
        self.assertEqual(lines, ["old: median 4.00% of 3 runs",
                                 "new: median 3.00% of 3 runs; 0.75 x the first, pair by pair"])

    @unittest.skipUnless(shutil.which("git"), "git is not installed")
    def test_the_floor_build_still_applies_to_this_tree(self):
        root = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..")
        applied = window_driver.subprocess.run(
            ["git", "apply", "--check", os.path.join("bench", "frame_floor.patch")], cwd=root,
            capture_output=True, text=True)
        self.assertEqual(applied.returncode, 0, applied.stderr)


@unittest.skipUnless(os.access(TRACE, os.X_OK), "the trace tool is not built")
class TicksToCrash(unittest.TestCase):
    def test_the_default_flight_crashes_in_the_tick_the_box_opens(self):
        ticks = window_driver.ticks_to_crash(TRACE, "")
        self.assertGreater(ticks, 100)
        # Replayed with one long tick run, the box opens with the flight over at that tick.
        one_short = window_driver.subprocess.run(
            [TRACE], input=f"down 80\ntick {ticks - 1}\ndump\n", capture_output=True,
            text=True).stdout
        self.assertNotIn('"msgbox"', one_short)
        self.assertIn('"GameOver":false', one_short)
        exact = window_driver.subprocess.run(
            [TRACE], input=f"down 80\ntick {ticks}\ndump\n", capture_output=True,
            text=True).stdout
        self.assertIn('"title":"Crashed!"', exact)

    def test_the_slower_flight_takes_longer(self):
        prefixes = [prefix for _, _, prefix in window_driver.FLIGHTS]
        short, long = (window_driver.ticks_to_crash(TRACE, p) for p in prefixes)
        self.assertGreater(long - short, 100)

    def test_a_flight_that_never_crashes_is_refused(self):
        with self.assertRaises(SystemExit):
            window_driver.ticks_to_crash(TRACE, "click mnuGNone\n")


if __name__ == "__main__":
    unittest.main()
