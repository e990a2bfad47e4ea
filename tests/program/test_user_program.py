"""What a person sees and does once the program runs: the room, the box, the
light and its shadow, turning and flying, the rays, the display-mode toggle
and broken texture files. Driven with the keyboard and the mouse on X servers
of its own; every expectation about the picture is worked out from the
scene's geometry (a small ray caster below), never from stored pictures.

Usage: test_user_program.py PROGRAM TEXTURE_FOLDER [CASE ...]
"""

import math
import os
import sys

from drive import check, exit_status, program_paths, run_cases, with_program

binary, textures = program_paths()

# ---------------------------------------------------------------- the scene

WIDTH, HEIGHT = 800, 600
FOCAL = HEIGHT / 2  # 90-degree vertical field of view: 1 unit at distance 1 is 300 pixels
ROOM = 10.0  # the room spans -10 .. 10 on every axis, open at y = +10 and z = +10
BOX_LOW, BOX_HIGH = (-2.0, -2.0, 0.0), (2.0, 2.0, 2.0)
LIGHT_START = (5.0, 1.0, 5.0)
# Where the light stands in each of the ten passes of a frame, relative to
# where the user put it; the soft shadow edges come from these.
PASS_OFFSETS = [(0.142075, -0.105855, 0.05), (-0.105855, 0.225, 0.142075),
                (0.225, 0.21075, -0.105855), (0.21075, -0.0855, 0.225),
                (-0.0855, 0.0575, 0.21075), (0.0575, 0.14, -0.0855),
                (0.14, -0.1885, 0.0575), (-0.1885, 0.03075, 0.14),
                (0.03075, -0.14, -0.1885), (-0.14, 0.0, 0.03075)]
# The marker is drawn last with the light of the last pass.
MARKER_OFFSET = PASS_OFFSETS[-1]
LIT, SHADOWED = 0.95, 0.95 * 0.55  # of the texel: ten passes of 0.095, shadow at 55 %
FPS_TEXT = (140, 490, 330, 575)  # the frame rate, printed in the lower left


def add(a, b):
    return tuple(p + q for p, q in zip(a, b))


def sub(a, b):
    return tuple(p - q for p, q in zip(a, b))


def dot(a, b):
    return sum(p * q for p, q in zip(a, b))


class View:
    """A camera as the program keeps it: an eye, a yaw (positive turns left,
    from looking along +x) and a pitch (positive looks up), no roll."""

    def __init__(self, position=(0.0, 0.0, 0.0), yaw=0.0, pitch=0.0):
        self.position = position
        self.forward = (math.cos(pitch) * math.cos(yaw), math.sin(pitch),
                        -math.cos(pitch) * math.sin(yaw))
        self.right = (math.sin(yaw), 0.0, math.cos(yaw))
        self.up = (-math.sin(pitch) * math.cos(yaw), math.cos(pitch),
                   math.sin(pitch) * math.sin(yaw))

    def project(self, point):
        """Screen position of a point in front of the eye."""
        v = sub(point, self.position)
        depth = dot(v, self.forward)
        return (WIDTH / 2 + FOCAL * dot(v, self.right) / depth,
                HEIGHT / 2 - FOCAL * dot(v, self.up) / depth)

    def ray(self, sx, sy):
        a, b = (sx - WIDTH / 2) / FOCAL, (HEIGHT / 2 - sy) / FOCAL
        return tuple(f + a * r + b * u for f, r, u in zip(self.forward, self.right, self.up))


def slab(origin, direction, low, high):
    """Entry and exit of a ray in an axis-aligned box: (t_in, t_out,
    axis of exit), or None when it misses."""
    t_in, t_out, exit_axis = -math.inf, math.inf, None
    for axis in range(3):
        o, d = origin[axis], direction[axis]
        if abs(d) < 1e-12:
            if not low[axis] <= o <= high[axis]:
                return None
            continue
        t0, t1 = (low[axis] - o) / d, (high[axis] - o) / d
        if t0 > t1:
            t0, t1 = t1, t0
        t_in = max(t_in, t0)
        if t1 < t_out:
            t_out, exit_axis = t1, axis
    if t_in > t_out:
        return None
    return t_in, t_out, exit_axis


def seen(view, sx, sy):
    """What the pixel shows: 'box', 'sky' (the clear colour) or ('room', point).
    Faces are seen from one side only: the box from outside, the room from
    inside, so the room's far side is what shows through its near walls."""
    direction = view.ray(sx, sy)
    hit = slab(view.position, direction, BOX_LOW, BOX_HIGH)
    if hit and hit[0] > 0:
        return "box"
    hit = slab(view.position, direction, (-ROOM,) * 3, (ROOM,) * 3)
    if not hit or hit[1] <= 0:
        return "sky"
    t, axis = hit[1], hit[2]
    if axis in (1, 2) and direction[axis] > 0:  # out through the open top or front
        return "sky"
    return ("room", tuple(p + t * d for p, d in zip(view.position, direction)))


def shadow_passes(point, light):
    """In how many of the ten passes the box hides the light from a point."""
    n = 0
    for offset in PASS_OFFSETS:
        towards = sub(add(light, offset), point)
        hit = slab(point, towards, BOX_LOW, BOX_HIGH)
        if hit and hit[0] < 1 and hit[1] > 1e-6:
            n += 1
    return n


def kind(thing):
    return thing if isinstance(thing, str) else thing[0]


# ---------------------------------------------------------------- reading the picture

def is_clear(p):
    return p[2] > 200 and p[0] < 30 and p[1] < 30


def is_marker(p):
    """The marker's own yellow, drawn last at full strength; its faint
    copies from the ten passes are darker."""
    return p[0] >= 250 and p[1] >= 250 and p[2] < 50


def brightness(image, x0, y0, x1, y1):
    return sum(image.mean(x0, y0, x1, y1))


def class_of(image, x, y):
    """'sky', 'box' (blue bricks) or 'room' (red bricks) from a small patch."""
    r, g, b = image.mean(x - 2, y - 2, x + 3, y + 3)
    if b > 200 and r < 30 and g < 30:
        return "sky"
    return "box" if b > r else "room"


def texture_mean(name="Ziegel1.bmp"):
    """Mean r + g + b of the room's texture file (24-bit, as built)."""
    with open(os.path.join(textures, name), "rb") as handle:
        data = handle.read()
    offset = int.from_bytes(data[10:14], "little")
    pixels = data[offset:]
    return sum(pixels) / len(pixels) * 3


def marker_box(image, area=(0, 0, WIDTH, HEIGHT)):
    """Bounding box and centroid of the marker's yellow, or None."""
    x0, y0, x1, y1 = area
    xs, ys = [], []
    for y in range(y0, y1):
        for x in range(x0, x1):
            if is_marker(image.pixel(x, y)):
                xs.append(x)
                ys.append(y)
    if len(xs) < 20:
        return None
    return (min(xs), min(ys), max(xs) + 1, max(ys) + 1,
            sum(xs) / len(xs) + 0.5, sum(ys) / len(ys) + 0.5)


def near(x, y, rect, margin):
    return rect[0] - margin <= x < rect[2] + margin and rect[1] - margin <= y < rect[3] + margin


def compare_classes(image, view, step=20, margin=6, exclude=()):
    """Compares sky, box and room where the geometry leaves no doubt (the
    same thing a few pixels around). Returns (agreeing, sure, mismatches)."""
    agree, sure, wrong = 0, 0, []
    for y in range(10, HEIGHT - 10, step):
        for x in range(10, WIDTH - 10, step):
            if near(x, y, FPS_TEXT, 0) or any(near(x, y, r, 0) for r in exclude):
                continue
            expected = kind(seen(view, x + 0.5, y + 0.5))
            if any(kind(seen(view, x + 0.5 + dx, y + 0.5 + dy)) != expected
                   for dx, dy in ((margin, 0), (-margin, 0), (0, margin), (0, -margin))):
                continue
            sure += 1
            found = class_of(image, x, y)
            if found == expected:
                agree += 1
            elif len(wrong) < 5:
                wrong.append((x, y, expected, found))
    return agree, sure, wrong


def check_classes(image, view, what, exclude=(), at_least=0.97):
    agree, sure, wrong = compare_classes(image, view, exclude=exclude)
    check(sure > 300, f"{what}: too few places to compare ({sure})")
    check(agree >= at_least * sure,
          f"{what}: sky, box and room agree with the geometry at {agree} of {sure} places; "
          f"first differences (x, y, expected, seen): {wrong}")
    return agree / sure


def shade_blocks(image, view, light, block=12, exclude=()):
    """Mean brightness of blocks of room that are lit in every pass, and of
    blocks shadowed in every pass, as fractions of the texture's mean."""
    texel = texture_mean()
    lit, dark = [], []
    for y in range(0, HEIGHT - block, block):
        for x in range(0, WIDTH - block, block):
            rect = (x, y, x + block, y + block)
            if any(near(x, y, r, block) for r in (FPS_TEXT,) + tuple(exclude)):
                continue
            passes = set()
            for px, py in ((x, y), (x + block, y), (x, y + block), (x + block, y + block),
                           (x + block / 2, y + block / 2)):
                thing = seen(view, px, py)
                if kind(thing) != "room":
                    passes = None
                    break
                passes.add(shadow_passes(thing[1], light))
            if passes == {0}:
                lit.append((rect, brightness(image, *rect) / texel))
            elif passes == {10}:
                dark.append((rect, brightness(image, *rect) / texel))
    return lit, dark


def check_shadow(image, view, light, what, exclude=(), at_least=15):
    """The room is at 0.95 of its texture where the light reaches it in every
    pass and at 0.5225 where the box hides it in every pass."""
    lit, dark = shade_blocks(image, view, light, exclude=exclude)
    check(len(lit) >= at_least and len(dark) >= at_least,
          f"{what}: the geometry gives too few sure blocks ({len(lit)} lit, {len(dark)} dark)")
    lit_mean = sum(v for _, v in lit) / len(lit)
    dark_mean = sum(v for _, v in dark) / len(dark)
    check(0.85 * LIT < lit_mean < 1.12 * LIT,
          f"{what}: lit room at {lit_mean:.3f} of its texture, expected about {LIT}")
    check(0.47 < dark_mean / lit_mean < 0.63,
          f"{what}: shadow at {dark_mean / lit_mean:.3f} of the lit room, expected about 0.55")
    middle = (LIT + SHADOWED) / 2
    wrong_lit = [r for r, v in lit if v < middle]
    wrong_dark = [r for r, v in dark if v > middle]
    check(len(wrong_lit) <= 0.1 * len(lit),
          f"{what}: {len(wrong_lit)} of {len(lit)} blocks that the light reaches look shadowed, "
          f"e.g. {wrong_lit[:4]}")
    check(len(wrong_dark) <= 0.1 * len(dark),
          f"{what}: {len(wrong_dark)} of {len(dark)} blocks that the box hides look lit, "
          f"e.g. {wrong_dark[:4]}")
    return lit_mean, dark_mean


# ---------------------------------------------------------------- driving

def settle(program):
    """Lets a few frames pass so that the picture shows the last input."""
    program.wait_frames(1.0)


def turn_to_the_back_wall(server):
    """Turns left by a quarter turn: 0.4 + 0.4 + 0.4 + 0.371 radians."""
    for x in (0, 0, 0, 29):
        server.look(x, 300)


def back_wall_distance(image):
    """The eye's distance from the back wall, when looking straight at it
    along -z from height 0: its top edge against the open top lies at
    300 - 300 * 10 / distance."""
    rows = []
    for x in range(360, 441, 8):
        y = 0
        while y < HEIGHT // 2 and is_clear(image.pixel(x, y)):
            y += 1
        rows.append(y)
    rows.sort()
    top = rows[len(rows) // 2]
    check(0 < top < HEIGHT // 2, f"no edge between the open top and the back wall (row {top})")
    return ROOM * FOCAL / (HEIGHT / 2 - top)


def facing_back_wall(image, x=0.0):
    """The view looking along -z, its distance measured from the picture."""
    return View((x, 0.0, back_wall_distance(image) - ROOM), yaw=math.pi / 2)


def box_rect(image):
    """Bounding box of the blue bricks (without the clear colour)."""
    xs, ys = [], []
    for y in range(0, HEIGHT, 2):
        for x in range(0, WIDTH, 2):
            r, g, b = image.pixel(x, y)
            if b > r + 40 and b > g + 20 and g > 40:
                xs.append(x)
                ys.append(y)
    check(len(xs) > 100, "no blue bricks of the box on the screen")
    return min(xs), min(ys), max(xs) + 2, max(ys) + 2


def expected_box_rect(view):
    """Screen rectangle of the box's face towards +z seen straight on."""
    x0, y0 = view.project((BOX_LOW[0], BOX_HIGH[1], BOX_HIGH[2]))
    x1, y1 = view.project((BOX_HIGH[0], BOX_LOW[1], BOX_HIGH[2]))
    return x0, y0, x1, y1


def check_box(image, view, what):
    found, expected = box_rect(image), expected_box_rect(view)
    check(all(abs(a - b) <= 5 for a, b in zip(found, expected)),
          f"{what}: the box covers {found}, its geometry says {tuple(round(v) for v in expected)}")
    return found


def light_from_marker(image, view, z):
    """Where the light is, from the marker's place on the screen and the
    light's known z: the marker is centred on the light of the last pass."""
    marker = marker_box(image)
    check(marker is not None, "no light marker on the screen")
    depth = dot(sub((0.0, 0.0, z + MARKER_OFFSET[2]), view.position), view.forward)
    cx, cy = marker[4], marker[5]
    x = view.position[0] + (cx - WIDTH / 2) * depth / FOCAL - MARKER_OFFSET[0]
    y = view.position[1] + (HEIGHT / 2 - cy) * depth / FOCAL - MARKER_OFFSET[1]
    return (x, y, z), marker


def marker_area(view, light, margin=0.6):
    """Screen rectangle that the marker and its faint copies can cover."""
    x0, y0 = view.project((light[0] - 0.5 - margin, light[1] + 0.5 + margin, light[2]))
    x1, y1 = view.project((light[0] + 0.5 + margin, light[1] - 0.5 - margin, light[2]))
    return (int(x0), int(y0), int(x1) + 1, int(y1) + 1)


def fly_out(server, program, seconds=1.5):
    """From the start: face the back wall and back out through the open
    front until the whole room is in view."""
    server.focus("Tenebrel")
    turn_to_the_back_wall(server)
    server.hold("s", seconds)
    settle(program)
    shot = server.screenshot()
    view = facing_back_wall(shot)
    check(8.0 < view.position[2] < 21.0,
          f"backing out for {seconds} s put the eye at z = {view.position[2]:.2f}")
    return shot, view


# ---------------------------------------------------------------- cases

@with_program()
def the_first_view_shows_the_room_and_the_frame_rate(server, program):
    program.start_windowed()
    shot = server.screenshot()
    start = View()
    # From the origin looking along +x: the right-hand wall ahead, a strip of
    # the back wall on the left and the open front (blue) on the right.
    check_classes(shot, start, "first view")
    clear = shot.mean(710, 20, 790, 580)
    check(clear[2] > 230 and clear[2] < 250 and clear[0] < 5 and clear[1] < 5,
          f"the open front shows {clear}, expected the clear blue at 0.95 (about (0, 0, 242))")
    r, g, b = shot.mean(120, 20, 680, 480)
    check(r > g + 30 and r > b + 30, f"the wall ahead is not red-brown: mean {(r, g, b)}")
    lit = brightness(shot, 120, 20, 680, 480) / texture_mean()
    check(0.85 * LIT < lit < 1.12 * LIT, f"the wall ahead at {lit:.3f} of its texture, "
          f"expected {LIT}")
    # The frame rate: dark digits in the lower left, where bricks have none.
    dark = lambda p: sum(p) < 90
    text = shot.count(*FPS_TEXT, dark)
    check(text > 150, f"only {text} dark pixels where the frame rate is printed")
    check(shot.count(400, 490, 590, 575, dark) < 10, "the bricks have text-dark pixels")
    # The text starts at 0.8 of the half width left of the centre and sits
    # on a line 0.8 of the half height below it: at (160, 540).
    x0, y0, x1, y1 = FPS_TEXT
    places = [(x, y) for y in range(y0, y1) for x in range(x0, x1) if dark(shot.pixel(x, y))]
    left, base = min(x for x, _ in places), max(y for _, y in places)
    check(155 <= left <= 170 and 534 <= base <= 548,
          f"the frame rate starts at x = {left} on the line y = {base}, expected (160, 540)")
    # One second later the digits are still printed at the same place.
    program.wait_frames(1.5)
    later = server.screenshot()
    check(later.count(*FPS_TEXT, dark) > 150, "the frame rate disappeared")
    check(later.differing(shot, 120, 20, 680, 480) < 200, "the still view changed by itself")


@with_program()
def the_mouse_turns_the_view(server, program):
    program.start_windowed()
    server.focus("Tenebrel")
    # 100 pixels left: 0.1 radians to the left. The open front's edge moves
    # right, from 700 to about 767.
    server.look(300, 300)
    settle(program)
    shot = server.screenshot()
    turned, before = View(yaw=0.1), View()
    check_classes(shot, turned, "after turning left")
    agree_before, sure_before, _ = compare_classes(shot, before)
    check(agree_before < 0.95 * sure_before, "the view did not turn (it matches the start)")
    edge = next((x for x in range(WIDTH) if is_clear(shot.pixel(x, 300))), None)
    check(edge is not None and abs(edge - turned.project((10, 0, 10))[0]) <= 3,
          f"the open front starts at x = {edge}, expected about 767")
    # 100 pixels up: 0.1 radians up; the open top comes into view.
    server.look(400, 200)
    settle(program)
    shot = server.screenshot()
    check_classes(shot, View(yaw=0.1, pitch=0.1), "after looking up")
    check(shot.count(120, 0, 680, 40, is_clear) > 1000, "no open top after looking up")
    # The tilt adds up to at most 1 radian; a move that would pass it is
    # dropped whole, its sideways part too: 0.1 + 3 x 0.25 = 0.85, then
    # 0.25 more (with 0.1 to the left) is too much.
    for _ in range(3):
        server.look(400, 50)
    server.look(300, 50)
    settle(program)
    shot = server.screenshot()
    check_classes(shot, View(yaw=0.1, pitch=0.85), "at the tilt limit")
    # Back down and to the right, the way back to the start: 0.25 + 0.25 +
    # 0.29 + 0.06 down (the dropped move is not to be undone) and 0.1 right.
    # The pointer stays inside the window.
    for y in (550, 550, 590, 360):
        server.look(400, y)
    server.look(500, 300)
    settle(program)
    check_classes(server.screenshot(), View(yaw=0.0, pitch=0.0), "turned back")


@with_program()
def a_flick_past_the_window_edge_turns_the_whole_way(server, program):
    # The window covers 800 x 600 of a 1024 x 768 screen: a pointer that
    # leaves it between two frames still counts in full.
    program.start_windowed()
    server.focus("Tenebrel")
    server.look(900, 300)
    settle(program)
    check_classes(server.screenshot(), View(yaw=-0.5), "after a flick right past the edge")
    server.look(400, 700)
    settle(program)
    check_classes(server.screenshot(), View(yaw=-0.5, pitch=-0.4),
                  "after a flick down past the edge")


@with_program()
def from_outside_the_box_casts_its_shadow_and_the_light_shows(server, program):
    program.start_windowed()
    shot, view = fly_out(server, program)
    light = LIGHT_START
    marker = marker_area(view, light)
    check_classes(shot, view, "seen from the front", exclude=(marker,))
    check_box(shot, view, "seen from the front")
    # The marker: a yellow square centred where the light (of the last pass)
    # projects, 1 unit wide.
    found = marker_box(shot)
    check(found is not None, "no yellow light marker")
    cx, cy = view.project(add(light, MARKER_OFFSET))
    side = FOCAL / dot(sub(add(light, MARKER_OFFSET), view.position), view.forward)
    check(abs(found[4] - cx) < 6 and abs(found[5] - cy) < 6,
          f"the marker's centre is at ({found[4]:.0f}, {found[5]:.0f}), "
          f"the light projects to ({cx:.0f}, {cy:.0f})")
    check(abs(found[2] - found[0] - side) < 4 and abs(found[3] - found[1] - side) < 4,
          f"the marker is {found[2] - found[0]}x{found[3] - found[1]} pixels, expected {side:.0f}")
    # The shadow, where the box hides the light, against the lit room.
    check_shadow(shot, view, light, "seen from the front", exclude=(marker,))
    # In particular on the back wall: left of the box dark, right of it lit,
    # over the same width of the same bricks.
    dark = [view.project((x, y, -ROOM)) for x, y in ((-9, 3), (-5, -5))]
    lit = [view.project((x, y, -ROOM)) for x, y in ((5, 3), (9, -5))]
    for corner in ((-9, 3), (-5, -5)):
        check(shadow_passes((corner[0], corner[1], -ROOM), light) == 10, "bad dark region")
    dark_mean = brightness(shot, int(dark[0][0]), int(dark[0][1]), int(dark[1][0]), int(dark[1][1]))
    lit_mean = brightness(shot, int(lit[0][0]), int(lit[0][1]), int(lit[1][0]), int(lit[1][1]))
    check(0.47 < dark_mean / lit_mean < 0.63,
          f"the back wall left of the box is at {dark_mean / lit_mean:.2f} of its right part, "
          f"expected about 0.55")


@with_program()
def the_light_keys_move_the_light_and_its_shadow(server, program):
    program.start_windowed()
    shot, view = fly_out(server, program)
    start, _ = light_from_marker(shot, view, LIGHT_START[2])
    check(math.dist(start, LIGHT_START) < 0.4, f"the light starts at {start}, not (5, 1, 5)")
    # L: towards -x. The marker goes left; the shadow on the back wall, cast
    # from further left, goes right.
    server.focus("Tenebrel")
    server.hold("l", 0.3)
    settle(program)
    moved = server.screenshot()
    light, marker = light_from_marker(moved, view, LIGHT_START[2])
    check(0.8 < start[0] - light[0] < 9.0 and abs(light[1] - start[1]) < 0.3,
          f"after L the light went from {start} to {light}: expected a step of about 3 towards -x")
    check_shadow(moved, view, light, "after L", exclude=(marker_area(view, light),))
    before, after = shadow_edge(shot, view, -6.0), shadow_edge(moved, view, -6.0)
    check(after > before + 1.0, f"the shadow's right edge on the back wall went from x = "
          f"{before:.1f} to {after:.1f}; expected it to move right")
    expected = shadow_edge(None, view, -6.0, light)
    check(abs(after - expected) <= 1.5, f"the shadow's right edge on the back wall is at x = "
          f"{after:.1f}, the light at {light} puts it at {expected:.1f}")
    # K: up (+y). The marker rises; the shadow sinks.
    server.hold("k", 0.3)
    settle(program)
    raised = server.screenshot()
    higher, _ = light_from_marker(raised, view, LIGHT_START[2])
    check(0.8 < higher[1] - light[1] < 9.0 and abs(higher[0] - light[0]) < 0.3,
          f"after K the light went from {light} to {higher}: expected a step of about 3 up")
    check_shadow(raised, view, higher, "after K", exclude=(marker_area(view, higher),))
    before, after = shadow_top(moved, view, -7.0), shadow_top(raised, view, -7.0)
    check(after < before - 1.0, f"the shadow's top on the back wall went from y = {before:.1f} "
          f"to {after:.1f}; expected it to sink")
    expected = shadow_top(None, view, -7.0, higher)
    check(abs(after - expected) <= 1.5, f"the shadow's top on the back wall is at y = "
          f"{after:.1f}, the light at {higher} puts it at {expected:.1f}")


def in_shadow(image, view, points, light=None):
    """Whether each back-wall point looks shadowed: its brightness averaged
    over 2 x 2 units (one repeat of the bricks, so that their pattern
    cancels) below halfway between lit and shadowed. Without an image: what
    the light says, shadowed in at least half of the passes."""
    if image is None:
        return [shadow_passes((x, y, -ROOM), light) >= 5 for x, y in points]
    middle = (LIT + SHADOWED) / 2 * texture_mean()
    result = []
    for x, y in points:
        x0, y0 = view.project((x - 1, y + 1, -ROOM))
        x1, y1 = view.project((x + 1, y - 1, -ROOM))
        result.append(brightness(image, int(x0), int(y0), int(x1), int(y1)) < middle)
    return result


def shadow_edge(image, view, y, light=None):
    """Right end of the dark part of the back wall at height y, from x = -9
    (the left end of the row is in shadow in these views)."""
    xs = [-9 + 0.25 * i for i in range(73)]
    edge = -9.0
    for x, dark in zip(xs, in_shadow(image, view, [(x, y) for x in xs], light)):
        if dark:
            edge = x
    return edge


def shadow_top(image, view, x, light=None):
    """Upper end of the dark part of the back wall at x, from y = 9 down."""
    ys = [9 - 0.25 * i for i in range(73)]
    for y, dark in zip(ys, in_shadow(image, view, [(x, y) for y in ys], light)):
        if dark:
            return y
    return -9.0


def facing_faces(light):
    """The box's faces that face the light, each as its four corners."""
    faces = []
    for axis in range(3):
        for bound, sign in ((BOX_LOW, -1), (BOX_HIGH, 1)):
            if sign * (light[axis] - bound[axis]) <= 0:
                continue
            others = [a for a in range(3) if a != axis]
            corners = []
            for u in (BOX_LOW, BOX_HIGH):
                for v in (BOX_LOW, BOX_HIGH):
                    corner = [0.0, 0.0, 0.0]
                    corner[axis] = bound[axis]
                    corner[others[0]], corner[others[1]] = u[others[0]], v[others[1]]
                    corners.append(tuple(corner))
            faces.append(corners)
    return faces


def distance_to_half_line(point, start, through):
    dx, dy = through[0] - start[0], through[1] - start[1]
    px, py = point[0] - start[0], point[1] - start[1]
    t = max(0.0, (px * dx + py * dy) / (dx * dx + dy * dy))
    return math.hypot(px - t * dx, py - t * dy)


@with_program()
def space_shows_the_rays_while_held(server, program):
    program.start_windowed()
    before, view = fly_out(server, program)
    light = LIGHT_START
    server.focus("Tenebrel")
    server.run("xdotool", "keydown", "space")
    try:
        settle(program)
        held = server.screenshot()
    finally:
        server.run("xdotool", "keyup", "space")
    settle(program)
    after = server.screenshot()
    skip = (FPS_TEXT, marker_area(view, light))
    # A ray adds 0.095 of white in every pass it is drawn in: faint, thin
    # lines brighter than what lies under them.
    brighter = [(x, y) for y in range(HEIGHT) for x in range(WIDTH)
                if sum(held.pixel(x, y)) - sum(before.pixel(x, y)) > 25
                and not any(near(x, y, r, 0) for r in skip)]
    check(len(brighter) > 150, f"only {len(brighter)} pixels brighten while Space is held")
    # They run from the light through the corners of the faces that face it
    # (towards the far corners of the shadow volumes).
    start = view.project(light)
    corners = {c for face in facing_faces(light) for c in face}
    lines = [view.project(c) for c in corners]
    on_rays = sum(1 for p in brighter
                  if min(distance_to_half_line(p, start, c) for c in lines) < 12)
    check(on_rays > 0.8 * len(brighter),
          f"only {on_rays} of {len(brighter)} brightened pixels lie on the rays from the light "
          f"through the box's corners")
    # Thin lines, not a brighter picture.
    check(len(brighter) < 0.05 * WIDTH * HEIGHT, f"{len(brighter)} pixels brightened")
    left = [(x, y) for y in range(0, HEIGHT, 2) for x in range(0, WIDTH, 2)
            if abs(sum(after.pixel(x, y)) - sum(before.pixel(x, y))) > 25
            and not any(near(x, y, r, 0) for r in skip)]
    check(len(left) < 10, f"{len(left)} pixels still differ after Space was let go")


@with_program()
def the_movement_keys_fly_the_eye(server, program):
    program.start_windowed()
    shot, view = fly_out(server, program)
    check_box(shot, view, "backed out")
    first = box_rect(shot)
    # W: forwards, towards the box, which grows and stays in the middle.
    server.focus("Tenebrel")
    server.hold("w", 0.4)
    settle(program)
    shot = server.screenshot()
    closer = facing_back_wall(shot)
    step = view.position[2] - closer.position[2]
    check(1.0 < step < 8.0, f"W for 0.4 s moved the eye by {step:.2f} towards the box")
    grown = check_box(shot, closer, "after W")
    check(grown[3] - grown[1] > first[3] - first[1] + 10, f"the box did not grow: {first} {grown}")
    check_classes(shot, closer, "after W")
    # Left arrow: sideways to the left (-x) at the same distance; the box
    # moves right on the screen.
    server.hold("Left", 0.4)
    settle(program)
    shot = server.screenshot()
    found = box_rect(shot)
    distance = facing_back_wall(shot).position[2]
    check(abs(distance - closer.position[2]) < 0.3,
          f"moving sideways changed the distance from {closer.position[2]:.2f} to {distance:.2f}")
    # The face towards +z ends on the right at x = 2; left of the eye the
    # box's side face may show too.
    x = BOX_HIGH[0] - (found[2] - WIDTH / 2) * (distance - BOX_HIGH[2]) / FOCAL
    check(-8.0 < x < -1.0, f"Left for 0.4 s put the eye at x = {x:.2f}")
    check(found[0] > grown[0] + 20, f"the box did not move right: {grown} -> {found}")
    check_classes(shot, View((x, 0.0, distance), yaw=math.pi / 2), "after Left")


def client_shot(server):
    """The window's drawing area as the program drew it (800 x 600)."""
    x, y = server.client_origin("Tenebrel")
    return server.screenshot().crop(x, y, WIDTH, HEIGHT)


def block_means(image, size=50):
    return {(x, y): image.mean(x, y, x + size, y + size)
            for y in range(0, HEIGHT, size) for x in range(0, WIDTH, size)}


@with_program(800, 600, window_manager=True)
def the_toggle_keeps_the_light_and_resets_the_eye(server, program):
    first = program.start_windowed()
    start_view = client_shot(server)
    origin = server.client_origin("Tenebrel")
    server.focus("Tenebrel")
    turn_to_the_back_wall(server)
    server.hold("s", 1.5)
    server.hold("l", 0.3)
    settle(program)
    shot = client_shot(server)
    view = facing_back_wall(shot)
    moved, _ = light_from_marker(shot, view, LIGHT_START[2])
    check(moved[0] < LIGHT_START[0] - 0.8, f"L did not move the light: {moved}")
    program.toggle()
    # The eye is back at the start: the same view as after starting, which
    # shows nothing of the shadow or the light.
    again = client_shot(server)
    check_classes(again, View(), "first view after the toggle")
    lit, dark = shade_blocks(again, View(), moved)
    check(not dark, "the start view would show shadow; it cannot tell the light apart")
    # The window that came first lies partly off the screen (its title bar):
    # compare where both were seen.
    seen_rows = HEIGHT - max(origin[1], 0)
    old, new = block_means(start_view), block_means(again)
    differing = [key for key in old if key[1] + 50 <= seen_rows
                 and not near(key[0], key[1], FPS_TEXT, 50)
                 and sum(abs(a - b) for a, b in zip(old[key], new[key])) > 15]
    check(len(differing) <= 2, f"the first view after the toggle differs from the first view "
          f"after starting at blocks {differing[:6]}")
    # The light stayed where L put it.
    shot, view = fly_out(server, program)
    kept, marker = light_from_marker(shot, view, LIGHT_START[2])
    check(math.dist(kept, moved) < 0.5,
          f"the light was at {moved} before the toggle and is at {kept} after it")
    check_shadow(shot, view, kept, "after the toggle", exclude=(marker_area(view, kept),))


def expect_texture_error(server, program, text):
    server.answer_box("Start FullScreen?", "Escape")
    server.wait_window("Error")
    # The box waits for its answer; the program goes on only after it.
    program.wait_frames(1.0)
    check(text in program.output(), f"the box does not say {text!r}: {program.output()!r}")
    server.answer_box("Error", "Return")
    status = program.wait_exit()
    output = program.output()
    check(exit_status(status) == 0, f"ended with status {status} after the box")
    for sign in ("Segmentation", "Sanitizer", "runtime error", "core dumped", "Aborted"):
        check(sign not in output, f"{sign!r} in the output: {output!r}")
    check("Tenebrel" not in server.windows(), "the window stayed after the program ended")


@with_program(textures=("brickblue.bmp",))
def a_missing_wall_texture_is_named_and_ends_the_program(server, program):
    expect_texture_error(server, program, "Failed to open DIB file Ziegel1.bmp.\n")


def bmp_file(width, height, header_size=40, pixels=b""):
    header = (header_size.to_bytes(4, "little") + width.to_bytes(4, "little", signed=True)
              + height.to_bytes(4, "little", signed=True) + (1).to_bytes(2, "little")
              + (24).to_bytes(2, "little") + bytes(header_size - 16))
    offset = 14 + len(header)
    return (b"BM" + (offset + len(pixels)).to_bytes(4, "little") + bytes(4)
            + offset.to_bytes(4, "little") + header + pixels)


def a_broken_wall_texture_is_reported_and_ends_the_program():
    broken = [
        # "BM" and then noise: no header the program knows.
        (b"BM" + bytes((i * 37 + 11) % 256 for i in range(300)), "Unknown DIB file format."),
        # A header of 108 bytes, which the program does not read.
        (bmp_file(4, 4, header_size=108, pixels=bytes(48)), "Unknown DIB file format."),
        # A picture too large to hold: 100000 x 100000 pixels.
        (bmp_file(100000, 100000, pixels=bytes(16)), "Out of memory."),
    ]
    for content, text in broken:
        with_program(replace={"Ziegel1.bmp": content})(
            lambda server, program: expect_texture_error(server, program, text))()



sys.exit(run_cases([
    ("the_first_view_shows_the_room_and_the_frame_rate",
     the_first_view_shows_the_room_and_the_frame_rate),
    ("the_mouse_turns_the_view", the_mouse_turns_the_view),
    ("a_flick_past_the_window_edge_turns_the_whole_way",
     a_flick_past_the_window_edge_turns_the_whole_way),
    ("from_outside_the_box_casts_its_shadow_and_the_light_shows",
     from_outside_the_box_casts_its_shadow_and_the_light_shows),
    ("the_light_keys_move_the_light_and_its_shadow", the_light_keys_move_the_light_and_its_shadow),
    ("space_shows_the_rays_while_held", space_shows_the_rays_while_held),
    ("the_movement_keys_fly_the_eye", the_movement_keys_fly_the_eye),
    ("the_toggle_keeps_the_light_and_resets_the_eye",
     the_toggle_keeps_the_light_and_resets_the_eye),
    ("a_missing_wall_texture_is_named_and_ends_the_program",
     a_missing_wall_texture_is_named_and_ends_the_program),
    ("a_broken_wall_texture_is_reported_and_ends_the_program",
     a_broken_wall_texture_is_reported_and_ends_the_program),
]))
