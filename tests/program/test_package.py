"""The Debian package: control fields, files, icons, manual page, licence, and the unpacked launcher."""
import glob, gzip, os, re, struct, subprocess as sp, sys, tempfile, zlib
ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
sys.path.insert(0, ROOT + "/tests")
import display

run = lambda *args, **kw: sp.run(args, check=True, capture_output=True, text=True, **kw).stdout
FIELDS = [r"Section: games\n", r"Version: \d", r"Maintainer: .+ <.+@.+>", r"Depends: .*libsdl2",
          r"Recommends: xfonts-base", r"Description: \S.*\n  \S"]
FILES = ["games/tenebrel", "libexec/tenebrel/tenebrel", "share/tenebrel/brickblue.bmp",
         "share/tenebrel/Ziegel1.bmp", "share/applications/tenebrel.desktop",
         "share/man/man6/tenebrel.6.gz", "share/doc/tenebrel/copyright",
         "share/icons/hicolor/{0}x{0}/apps/tenebrel.png"]

with tempfile.TemporaryDirectory() as tmp:
    run("cpack", "-G", "DEB", "-B", tmp, "--config", os.path.join(sys.argv[2], "CPackConfig.cmake"))
    deb, = glob.glob(tmp + "/*.deb")
    info = run("dpkg-deb", "-I", deb) + run("dpkg-deb", "-c", deb)
    listed = [f" ./usr/{f.format(s)}\n" for f in FILES for s in (48, 256)]
    assert all(re.search(p, info) for p in FIELDS + listed), info
    run("dpkg-deb", "-x", deb, tmp + "/root")
    usr = tmp + "/root/usr/"
    # the header and its CRC; the zlib stream (inflate checks its Adler-32) and the pixels
    for size in (48, 256):
        png = open(usr + FILES[-1].format(size), "rb").read()
        header = struct.pack(">IIBBBBBI", size, size, 8, 6, 0, 0, 0, zlib.crc32(png[12:29]))
        assert png[:33] == b"\x89PNG\r\n\x1a\n\0\0\0\x0dIHDR" + header
        # rows of a filter byte and RGBA: corner clear, middle opaque
        pixels = zlib.decompressobj().decompress(png[41:])
        assert len(pixels) == size * (1 + 4 * size) and pixels[4] == 0
        assert pixels[(size // 2) * (1 + 4 * size) + 2 * size + 4] == 255
    assert re.findall(r"^\.SH (.*)", gzip.open(usr + FILES[5], "rt").read(), re.M) == [
        "NAME", "SYNOPSIS", "DESCRIPTION", "OPTIONS", "CONTROLS", "SIGNALS", "FILES", "EXIT STATUS", "ENVIRONMENT"]
    assert "\nExec=/usr/games/tenebrel\nIcon=tenebrel\n" in open(usr + FILES[4]).read()
    # every file under Expat (MIT), with LICENSE's copyright line and its terms word for word
    legal = open(usr + FILES[6]).read()
    _, line, terms = open(ROOT + "/LICENSE").read().split("\n\n", 2)
    assert "\nFiles: *\n" in legal and set(re.findall(r"^License: (.*)", legal, re.M)) == {"Expat"}
    assert set(re.findall(r"^Copyright: .*", legal, re.M)) == {line.replace("Copyright (c)", "Copyright:")}
    assert legal.endswith("\n\nLicense: Expat\n" + "".join(f" {t or '.'}\n" for t in terms.splitlines()))
    # Escape answers the start question, then held a few frames ends the program
    with display.Display() as d:
        program = sp.Popen([usr + "games/tenebrel"], env=d.env, cwd=tmp)
        for name, keys in (("Start FullScreen?", ["key", "Escape"]), ("Tenebrel", ["keydown", "Escape"])):
            found = lambda: [w for w, n in display.windows(d.env) if n == name]
            wid = display.wait_until(found, what=name)[0]
            focus = ["xdotool", "windowfocus", "--sync", str(wid)]
            display.wait_until(lambda: sp.run(focus, env=d.env).returncode == 0)
            run("xdotool", *keys, env=d.env)
        assert program.wait(timeout=60) == 0, "the program did not end with status 0 on Escape"
        run("xdotool", "keyup", "Escape", env=d.env)
