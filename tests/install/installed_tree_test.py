#!/usr/bin/env python3
"""Installs the build into a temporary DESTDIR and uses it as a user would.

Checks the desktop entry and metainfo with their validators, exports an MP3 with the installed
corvanel-cli through the installed encoder catalogue, and starts the installed window on an X
server with a file argument: Ctrl+P plays the file, SIGTERM closes the window, which writes its
settings under XDG_CONFIG_HOME and never into the program's folder. A settings folder that cannot
be made is reported on standard error, and the window still ends normally.
"""
import array
import os
import shutil
import signal
import subprocess
import sys
import tempfile
import time
import unittest
import wave

BUILD = os.path.abspath(sys.argv.pop(1)) if len(sys.argv) > 1 else "build"
APP_ID = "app.corvanel.Corvanel"


def tone_wav(path, seconds=3.0, rate=44100):
    """A stereo tone, louder on the left, so that nothing cancels it."""
    import math
    frames = array.array("h")
    for n in range(int(seconds * rate)):
        v = math.sin(2 * math.pi * 440 * n / rate)
        frames.extend((int(12000 * v), int(6000 * v)))
    with wave.open(path, "wb") as w:
        w.setnchannels(2)
        w.setsampwidth(2)
        w.setframerate(rate)
        w.writeframes(frames.tobytes())


def tree_state(folder):
    """Names, sizes and modification times of everything under a folder."""
    state = {}
    for root, dirs, files in os.walk(folder):
        for name in dirs + files:
            path = os.path.join(root, name)
            st = os.lstat(path)
            state[path] = (st.st_size, st.st_mtime_ns)
    return state


class InstalledTree(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.tmp = tempfile.mkdtemp(prefix="corvanel_install_")
        cls.dest = os.path.join(cls.tmp, "dest")
        env = dict(os.environ, DESTDIR=cls.dest)
        subprocess.run(["cmake", "--install", BUILD, "--prefix", "/usr"], env=env, check=True,
                       stdout=subprocess.DEVNULL)
        cls.usr = os.path.join(cls.dest, "usr")
        cls.song = os.path.join(cls.tmp, "work", "song.wav")
        os.makedirs(os.path.dirname(cls.song))
        tone_wav(cls.song)
        # Read-only, as a packaged install is (root ignores the bits; the checks below
        # compare the tree before and after instead).
        subprocess.run(["chmod", "-R", "a-w", cls.dest], check=True)
        cls.before = tree_state(cls.usr)

    @classmethod
    def tearDownClass(cls):
        subprocess.run(["chmod", "-R", "u+w", cls.tmp], check=False)
        shutil.rmtree(cls.tmp, ignore_errors=True)

    def user_env(self, name):
        home = os.path.join(self.tmp, name, "home")
        os.makedirs(home, exist_ok=True)
        env = {k: v for k, v in os.environ.items() if not k.startswith("CORVANEL_")}
        env.update(HOME=home, XDG_CONFIG_HOME=os.path.join(self.tmp, name, "xdg"))
        return env

    def test_files_in_place(self):
        for rel in ["bin/corvanel", "bin/corvanel-cli",
                    f"share/applications/{APP_ID}.desktop",
                    f"share/metainfo/{APP_ID}.metainfo.xml",
                    f"share/icons/hicolor/scalable/apps/{APP_ID}.svg",
                    f"share/icons/hicolor/16x16/apps/{APP_ID}.png",
                    f"share/icons/hicolor/256x256/apps/{APP_ID}.png",
                    "share/man/man1/corvanel.1.gz", "share/man/man1/corvanel-cli.1.gz",
                    "share/doc/corvanel/manual.html", "share/doc/corvanel/copyright",
                    "share/corvanel/addon.win/encoder.inf"]:
            self.assertTrue(os.path.isfile(os.path.join(self.usr, rel)), rel)
        link = os.path.join(self.usr, "share/corvanel/addon.win/lame")
        self.assertTrue(os.path.islink(link))

    def test_desktop_entry_and_metainfo_validate(self):
        subprocess.run(["desktop-file-validate",
                        os.path.join(self.usr, f"share/applications/{APP_ID}.desktop")],
                       check=True)
        subprocess.run(["appstreamcli", "validate", "--no-net",
                        os.path.join(self.usr, f"share/metainfo/{APP_ID}.metainfo.xml")],
                       check=True, stdout=subprocess.DEVNULL)

    def test_help_and_version_answer_on_stdout_without_a_display(self):
        env = {k: v for k, v in os.environ.items() if k not in ("DISPLAY", "QT_QPA_PLATFORM")}
        program = os.path.join(self.usr, "bin/corvanel")
        for arg, expected in (("--version", "corvanel 1.03"), ("--help", "[FILE...]")):
            run = subprocess.run([program, arg], env=env, capture_output=True, text=True,
                                 timeout=20)
            self.assertEqual(run.returncode, 0, run.stderr)
            self.assertIn(expected, run.stdout)

    def test_cli_exports_mp3_through_installed_catalogue(self):
        out = os.path.join(self.tmp, "cli-out", "song.mp3")
        os.makedirs(os.path.dirname(out))
        run = subprocess.run([os.path.join(self.usr, "bin/corvanel-cli"), "--quiet", "-o", out,
                              self.song], env=self.user_env("cli"), capture_output=True,
                             text=True, timeout=60)
        self.assertEqual(run.returncode, 0, run.stderr)
        with open(out, "rb") as f:
            head = f.read(3)
        self.assertEqual(head, b"ID3")
        self.assertEqual(tree_state(self.usr), self.before)

    def start_window(self, env, played):
        # Xvfb picks a free display itself and writes its number when it is ready.
        read_end, write_end = os.pipe()
        xvfb = subprocess.Popen(["Xvfb", "-displayfd", str(write_end), "-screen", "0",
                                 "1280x1024x24", "-nolisten", "tcp"], pass_fds=(write_end,),
                                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write_end)
        self.addCleanup(xvfb.kill)
        with os.fdopen(read_end) as ready:
            display = ":" + ready.readline().strip()
        env = dict(env, DISPLAY=display, QT_QPA_PLATFORM="xcb", SDL_AUDIODRIVER="disk",
                   SDL_DISKAUDIOFILE=played)
        window = subprocess.Popen([os.path.join(self.usr, "bin/corvanel"), self.song], env=env,
                                  stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)
        self.addCleanup(window.kill)
        found = subprocess.run(["xdotool", "search", "--sync", "--onlyvisible", "--name",
                                "Corvanel"], env=env, capture_output=True, text=True,
                               timeout=30)
        return window, env, found.stdout.split()[0]

    def test_window_plays_argument_and_keeps_settings_per_user(self):
        env = self.user_env("window")
        played = os.path.join(self.tmp, "played.raw")
        window, xenv, wid = self.start_window(env, played)
        subprocess.run(["xdotool", "windowfocus", "--sync", wid], env=xenv, check=True)
        subprocess.run(["xdotool", "key", "--window", wid, "ctrl+p"], env=xenv, check=True)
        heard = False
        deadline = time.time() + 20
        while time.time() < deadline and not heard:
            time.sleep(0.2)
            if os.path.exists(played):
                with open(played, "rb") as f:
                    heard = any(f.read())
        self.assertTrue(heard, "the file given on the command line was not played")
        window.send_signal(signal.SIGTERM)
        out, err = window.communicate(timeout=20)
        self.assertEqual(window.returncode, 0, err)
        settings = os.path.join(env["XDG_CONFIG_HOME"], "corvanel", "corvanel.ini")
        self.assertTrue(os.path.isfile(settings))
        with open(settings, encoding="utf-8") as f:
            self.assertIn("[Parameters]", f.read())
        self.assertEqual(tree_state(self.usr), self.before)

    def test_unwritable_settings_are_reported_and_the_window_ends_normally(self):
        env = self.user_env("blocked")
        blocker = os.path.join(self.tmp, "blocked", "not-a-folder")
        with open(blocker, "w") as f:
            f.write("x")
        env["XDG_CONFIG_HOME"] = blocker
        window, _, _ = self.start_window(env, os.path.join(self.tmp, "blocked.raw"))
        window.send_signal(signal.SIGTERM)
        out, err = window.communicate(timeout=20)
        self.assertEqual(window.returncode, 0, err)
        self.assertIn("cannot write the settings file " + blocker, err)
        self.assertEqual(tree_state(self.usr), self.before)


if __name__ == "__main__":
    unittest.main(verbosity=2)
