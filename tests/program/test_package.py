"""The Debian package: control fields, files, icons, manual page, and the unpacked launcher."""
import glob, gzip, os, re, struct, subprocess as sp, sys, tempfile, zlib
sys.path.insert(0, os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
import display

run = lambda *args, **kw: sp.run(args, check=True, capture_output=True, text=True, **kw).stdout
FIELDS = [r"Section: games\n", r"Version: \d", r"Maintainer: .+ <.+@.+>", r"Depends: .*libsdl2", r"Description: \S.*\n  \S"]
FILES = ["games/tenebrel", "libexec/tenebrel/tenebrel", "share/tenebrel/brickblue.bmp", "share/tenebrel/Ziegel1.bmp",
         "share/applications/tenebrel.desktop", "share/man/man6/tenebrel.6.gz", "share/icons/hicolor/{0}x{0}/apps/tenebrel.png"]

with tempfile.TemporaryDirectory() as tmp:
    run("cpack", "-G", "DEB", "-B", tmp, "--config", os.path.join(sys.argv[2], "CPackConfig.cmake"))
    deb, = glob.glob(tmp + "/*.deb")
    info = run("dpkg-deb", "-I", deb) + run("dpkg-deb", "-c", deb)
    assert all(re.search(p, info) for p in FIELDS + [f" ./usr/{f.format(s)}\n" for f in FILES for s in (48, 256)]), info
    run("dpkg-deb", "-x", deb, tmp + "/root")
    for size in (48, 256):  # the header and its CRC; the zlib stream (inflate checks its Adler-32) and the pixels
        png = open(f"{tmp}/root/usr/" + FILES[-1].format(size), "rb").read()
        assert png[:33] == b"\x89PNG\r\n\x1a\n\0\0\0\x0dIHDR" + struct.pack(">IIBBBBBI", size, size, 8, 6, 0, 0, 0, zlib.crc32(png[12:29]))
        pixels = zlib.decompressobj().decompress(png[41:])  # rows of a filter byte and RGBA: corner clear, middle opaque
        assert len(pixels) == size * (1 + 4 * size) and pixels[4] == 0 and pixels[(size // 2) * (1 + 4 * size) + 2 * size + 4] == 255
    assert re.findall(r"^\.SH (.*)", gzip.open(f"{tmp}/root/usr/{FILES[5]}", "rt").read(), re.M) == [
        "NAME", "SYNOPSIS", "DESCRIPTION", "CONTROLS", "SIGNALS", "FILES", "EXIT STATUS", "ENVIRONMENT"]
    assert "\nExec=/usr/games/tenebrel\nIcon=tenebrel\n" in open(f"{tmp}/root/usr/{FILES[4]}").read()
    with display.Display() as d:  # Escape answers the start question, then held a few frames ends the program
        program = sp.Popen([tmp + "/root/usr/games/tenebrel"], env=d.env, cwd=tmp)
        for name, keys in (("Start FullScreen?", ["key", "Escape"]), ("Tenebrel", ["keydown", "Escape"])):
            wid = display.wait_until(lambda: [w for w, n in display.windows(d.env) if n == name], what=name)[0]
            display.wait_until(lambda: sp.run(["xdotool", "windowfocus", "--sync", str(wid)], env=d.env).returncode == 0)
            run("xdotool", *keys, env=d.env)
        assert program.wait(timeout=60) == 0, "the program did not end with status 0 on Escape"
        run("xdotool", "keyup", "Escape", env=d.env)
