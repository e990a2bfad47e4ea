"""The program's start, display modes and ending, driven as a person would.

Usage: test_shell_program.py PROGRAM TEXTURE_FOLDER [CASE ...]
"""

import os
import re
import shutil
import subprocess
import sys
import tempfile

from drive import Program, XServer, check, exit_status, program_paths, run_cases, with_program

binary, textures = program_paths()


@with_program()
def no_runs_windowed_and_escape_ends_it(server, program):
    info = program.start_windowed()
    check((info[1], info[2]) == (800, 600), f"client area is {info[1]}x{info[2]}")
    check("FULLSCREEN" not in server.window_state("Tenebrel"), "the window is fullscreen")
    shot = server.screenshot()
    # Something of the scene is drawn: the picture is not one flat colour.
    colours = set(shot.region(0, 0, 800, 600)[::997])
    check(len(colours) > 20, "the window shows no picture")
    server.focus("Tenebrel")
    server.hold("Escape", 0.4)
    check(exit_status(program.wait_exit()) == 0, "Escape did not end the program with status 0")


@with_program(window_manager=True)
def closing_the_window_ends_it(server, program):
    program.start_windowed()
    server.run("wmctrl", "-c", "Tenebrel")
    check(exit_status(program.wait_exit()) == 0, "closing did not end the program with status 0")


@with_program(800, 600, window_manager=True)
def the_toggle_signal_remakes_the_window_in_the_other_mode(server, program):
    program.start_windowed()
    program.toggle()
    check("FULLSCREEN" in server.window_state("Tenebrel"), "the new window is not fullscreen")
    program.toggle()
    check("FULLSCREEN" not in server.window_state("Tenebrel"), "the third window is fullscreen")
    info = server.windows()["Tenebrel"]
    check((info[1], info[2]) == (800, 600), f"client area is {info[1]}x{info[2]}")
    server.focus("Tenebrel")
    server.hold("Escape", 0.4)
    check(exit_status(program.wait_exit()) == 0, "status after toggles is not 0")


@with_program(1024, 768)
def yes_on_a_screen_without_the_mode_warns_and_runs_windowed(server, program):
    server.answer_box("Start FullScreen?", "Return")
    server.wait_window("Error")
    check("Mode Switch Failed." in program.output(), "the warning's text was not given")
    server.answer_box("Error", "Return")
    info = server.wait_window("Tenebrel")
    program.wait_frames()
    check((info[1], info[2]) == (800, 600), f"outer size is {info[1]}x{info[2]}")
    check("FULLSCREEN" not in server.window_state("Tenebrel"), "the window is fullscreen")
    server.focus("Tenebrel")
    server.hold("Escape", 0.4)
    check(exit_status(program.wait_exit()) == 0, "status is not 0")


@with_program(1024, 768, window_manager=True)
def a_refused_mode_gives_a_framed_window_800x600_outside(server, program):
    server.answer_box("Start FullScreen?", "Return")
    server.answer_box("Error", "Return")
    server.wait_window("Tenebrel")
    program.wait_frames()
    wid = server.windows()["Tenebrel"][0]
    frame = [int(n) for n in re.findall(
        r"\d+", server.run("xprop", "-id", wid, "_NET_FRAME_EXTENTS").split("=")[1])]
    check(len(frame) == 4 and sum(frame) > 0, f"the window has no frame: {frame}")
    left, right, top, bottom = frame
    info = server.windows()["Tenebrel"]
    check((info[1] + left + right, info[2] + top + bottom) == (800, 600),
          f"client {info[1]}x{info[2]} in a frame of {frame} is not 800x600 outside")
    # Windowed by choice after the toggle: the client is 800 x 600 again.
    info = program.toggle()
    check((info[1], info[2]) == (800, 600), f"client after the toggle is {info[1]}x{info[2]}")


@with_program(800, 600, window_manager=True)
def yes_on_a_screen_with_the_mode_runs_fullscreen(server, program):
    server.answer_box("Start FullScreen?", "Return")
    info = server.wait_window("Tenebrel")
    program.wait_frames()
    check("Error" not in server.windows(), "a warning box appeared")
    check((info[1], info[2], info[3], info[4]) == (800, 600, 0, 0), f"window at {info}")
    check("FULLSCREEN" in server.window_state("Tenebrel"), "the window is not fullscreen")
    server.focus("Tenebrel")
    server.hold("Escape", 0.4)
    check(exit_status(program.wait_exit()) == 0, "status is not 0")


def the_installed_launcher_starts_it_beside_its_textures():
    prefix = tempfile.mkdtemp(prefix="tenebrel-install-")
    server = XServer()
    program = None
    try:
        subprocess.run(["cmake", "--install", textures, "--prefix", prefix], check=True,
                       capture_output=True, timeout=120)
        for path in ("bin/tenebrel", "libexec/tenebrel/tenebrel", "share/tenebrel/brickblue.bmp",
                     "share/tenebrel/Ziegel1.bmp", "share/applications/tenebrel.desktop"):
            check(os.path.exists(os.path.join(prefix, path)), f"{path} was not installed")
        with open(os.path.join(prefix, "share/applications/tenebrel.desktop")) as entry:
            check("Exec=" in entry.read(), "the menu entry starts nothing")
        # Started from a folder without textures: the launcher finds them.
        program = Program(server, os.path.join(prefix, "bin/tenebrel"), textures, textures=())
        program.start_windowed()
        check("Failed to open" not in program.output(), program.output())
        server.focus("Tenebrel")
        server.hold("Escape", 0.4)
        check(exit_status(program.wait_exit()) == 0, "status is not 0")
    finally:
        if program is not None:
            program.stop()
        server.close()
        shutil.rmtree(prefix, ignore_errors=True)


def without_a_display_it_says_so_and_exits_with_minus_one():
    env = {k: v for k, v in os.environ.items() if k not in ("DISPLAY", "WAYLAND_DISPLAY")}
    result = subprocess.run([binary], env=env, capture_output=True, text=True, timeout=60,
                            cwd=textures)
    check(exit_status(result.returncode) == -1, f"exit status {result.returncode}")
    check("RegisterClassEx Failed!" in result.stderr, result.stderr)
    check(result.stderr.index("RegisterClassEx Failed!") <
          result.stderr.index("Error Registering Window Class!"), result.stderr)


sys.exit(run_cases([
    ("no_runs_windowed_and_escape_ends_it", no_runs_windowed_and_escape_ends_it),
    ("closing_the_window_ends_it", closing_the_window_ends_it),
    ("the_toggle_signal_remakes_the_window_in_the_other_mode",
     the_toggle_signal_remakes_the_window_in_the_other_mode),
    ("yes_on_a_screen_without_the_mode_warns_and_runs_windowed",
     yes_on_a_screen_without_the_mode_warns_and_runs_windowed),
    ("a_refused_mode_gives_a_framed_window_800x600_outside",
     a_refused_mode_gives_a_framed_window_800x600_outside),
    ("yes_on_a_screen_with_the_mode_runs_fullscreen", yes_on_a_screen_with_the_mode_runs_fullscreen),
    ("the_installed_launcher_starts_it_beside_its_textures",
     the_installed_launcher_starts_it_beside_its_textures),
    ("without_a_display_it_says_so_and_exits_with_minus_one",
     without_a_display_it_says_so_and_exits_with_minus_one),
]))
