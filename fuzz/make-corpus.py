#!/usr/bin/env python3
"""Writes the seed corpus of the harnesses into fuzz/corpus/<name>/.

Scripts come from the setup-sim cases and from samples written here for the medium the
walk harness lays out; the pictures are drawn here in every bit depth the reader takes.
Run it again after changing a sample; the files it writes are checked in.
"""
import pathlib
import struct

HERE = pathlib.Path(__file__).resolve().parent
REPO = HERE.parent
CORPUS = HERE / "corpus"


def write(harness, name, data):
    folder = CORPUS / harness
    folder.mkdir(parents=True, exist_ok=True)
    if isinstance(data, str):
        data = data.encode("latin-1")
    (folder / name).write_bytes(data)


def crlf(lines):
    return "".join(line + "\r\n" for line in lines)


# A script for the medium the walk harness lays out: A.TXT, DISK2\B.TXT, HELLO.TX_ (SZDD),
# lang.en and Present.bmp.
WALK = crlf([
    "InstTo=C:\\Program Files\\Fuzz",
    "CAPTION=Fuzz Product",
    "OSTYPE=WIN95/NT",
    "PROCESS=20000",
    "UNINSTALL=YES",
    "COMPRESSED=YES",
    "REBOOT=YES",
    "LANG=English,lang.en,fuzz.lng",
    "MakeGroup=YES",
    "COPYTOBASE=A.TXT,a.txt$$12$$",
    "COPYTOBASE=HELLO.TX_,sub\\hello.txt$$8$$",
    "COPYTOWIN=A.TXT,FUZZ.INI",
    "COPYTOWINSYS=A.TXT,fuzz.dll",
    "GROUP ITEM",
    "FILE=<TOPATH>\\a.txt",
    "TITLE=Fuzz",
    "PATH=<TOPATH>",
    "END OF GROUP ITEM",
    "REGISTRY ITEM",
    "KEYROOT=HKEY_LOCAL_MACHINE",
    "KEYLEVEL=SOFTWARE\\Fuzz\\Settings",
    "KEYNAME=Count",
    "KEYNAMEVALUE=$1F",
    "KEYTYPE=INTEGER",
    "END OF REGISTRY ITEM",
    "DISK=2",
    "COPYTOBASE=DISK2\\B.TXT,b.txt",
    "INI FILE=fuzz.ini",
    "SECTION=Paths",
    "Home=<TOPATH>",
    "END OF INI",
])

HEADER = crlf([
    "  caption =  My Product  ",
    "insTTo= C:\\Apps\\My ",
    "OSTYPE=NT",
    "CSDVERSION=Service Pack 3",
    "PROCESS=$7FFFFFFF",
    "REBOOT=true",
    "LANG=English,lang.en,my.lng",
    "LANG=Deutsch",
    "COPYTOBASE = a , b , c $$12$$ tail",
])


# Damaged scripts: what a broken medium or a careless editor leaves.
DAMAGED = {
    "cr-only.inf": WALK.replace("\r\n", "\r"),
    "no-line-ends.inf": WALK.replace("\r\n", " "),
    "nul-bytes.inf": WALK.replace("=", "=\0", 5),
    "blocks-without-end.inf": crlf([
        "CAPTION=Open blocks", "INSTTO=C:\\OPEN", "REGISTRY ITEM", "KEYROOT=HKEY_CURRENT_USER",
        "KEYLEVEL=Software\\Open", "GROUP ITEM", "FILE=<TOPATH>\\a.txt", "INI FILE=open.ini",
        "SECTION=S", "Key=Value"]),
    "deep-key.inf": crlf([
        "CAPTION=Deep", "INSTTO=C:\\DEEP", "REGISTRY ITEM", "KEYROOT=HKEY_LOCAL_MACHINE",
        "KEYLEVEL=SOFTWARE" + "\\k" * 1200, "KEYNAME=v", "KEYNAMEVALUE=1", "KEYTYPE=STRING",
        "END OF REGISTRY ITEM"]),
    "long-line.inf": crlf(["CAPTION=" + "L" * 3000, "INSTTO=C:\\" + "D" * 600]),
    "leading-out.inf": crlf([
        "CAPTION=Out", "INSTTO=C:\\..\\..\\..\\out", "LANG=English,lang.en,..\\..\\lang.dll",
        "COPYTOBASE=A.TXT,..\\..\\..\\..\\escape.txt", "COPYTOWIN=A.TXT,..\\..\\win.txt",
        "COPYTOBASE=..\\..\\..\\..\\..\\etc\\hostname,host.txt", "INI FILE=..\\..\\esc.ini",
        "SECTION=S", "K=V", "END OF INI"]),
}


# A system file to register that is no COM server: the registration failure and its question.
REGISTER = WALK.replace("COPYTOWINSYS=A.TXT,fuzz.dll", "COPYTOWINSYS=A.TXT,fuzz.dll,REG")


def scripts():
    samples = {"walk.inf": WALK, "register.inf": REGISTER, "header.inf": HEADER, **DAMAGED}
    for case in sorted((REPO / "tests" / "sim").glob("*/medium/Setup.Inf")):
        samples[case.parent.parent.name + ".inf"] = case.read_bytes().decode("latin-1")
    for harness in ("script_line", "header_pass", "install_walk"):
        for name, text in samples.items():
            write(harness, name, text)


REGEDIT = crlf([
    "REGEDIT4",
    "",
    "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Fuzz]",
    "@=\"default value\"",
    "\"Path\"=\"C:\\\\Fuzz \\\"quoted\\\"\"",
    "\"Count\"=dword:0000001f",
    "\"Blob\"=hex:01,02,ff,\\",
    "  00,10",
    "\"Multi\"=hex(7):61,00,62,00,00",
    "\"Text\"=hex(1):61,0d,0a,00",
    "",
    "[HKEY_CURRENT_USER\\Software\\Empty]",
    "",
    "[hkey_classes_root\\.fuzz]",
    "@=\"Fuzz.Document\"",
    "",
    "[HKEY_NOWHERE\\X]",
    "\"Lost\"=\"value\"",
])


def registry():
    write("reg_file", "sample.reg", REGEDIT)
    write("reg_file", "empty.reg", "REGEDIT4\r\n")
    write("reg_file", "deep-key.reg",
          crlf(["REGEDIT4", "", "[HKEY_USERS" + "\\k" * 1500 + "]", "\"v\"=\"1\""]))


def provider_string(text):
    # FuzzedDataProvider::ConsumeRandomLengthString: a backslash is doubled, and "\" with
    # any other byte after it ends the string.
    return text.replace("\\", "\\\\") + "\\ "


INI = crlf([
    "; settings",
    "[Paths]",
    "Home=C:\\OLD",
    " help = \"C:\\OLD\\HELP\" ",
    "",
    "[Options]",
    "Language=English",
    "Flag",
])


def profiles():
    cases = {
        "existing-key.seed": ("Paths", "Home", "C:\\NEW", INI),
        "new-key.seed": ("Options", "Colour", "Blue", INI),
        "new-section.seed": ("Extra", "Key", " spaced ", INI),
        "trimmed-names.seed": (" paths ", " HELP ", "'quoted'", INI),
        "no-end-of-line.seed": ("Options", "Flag", "1", "[Options]\r\nFlag"),
        "empty-file.seed": ("S", "K", "V", ""),
    }
    for name, (section, key, value, text) in cases.items():
        write("profile_text", name,
              provider_string(section) + provider_string(key) + provider_string(value) + text)


def bmp(width, height, bits, palette=None, pixel=None, header=40, top_down=False):
    """A picture whose pixel (x, y) has the index or colour pixel(x, y)."""
    stride = ((width * bits + 31) // 32) * 4
    rows = []
    for y in range(height):
        row = 0
        for x in range(width):
            row = (row << bits) | pixel(x, y)
        total_bits = width * bits
        if bits < 8:
            pad = (8 - total_bits % 8) % 8
            data = (row << pad).to_bytes((total_bits + pad) // 8, "big")
        elif bits == 8:
            data = bytes(pixel(x, y) for x in range(width))
        elif bits == 16:
            data = b"".join(struct.pack("<H", pixel(x, y)) for x in range(width))
        elif bits == 24:
            data = b"".join(struct.pack("<I", pixel(x, y))[:3] for x in range(width))
        else:
            data = b"".join(struct.pack("<I", pixel(x, y)) for x in range(width))
        rows.append(data + b"\0" * (stride - len(data)))
    pal = b"".join(struct.pack("<I", c) for c in (palette or []))
    if header == 12:
        info = struct.pack("<IHhHH", 12, width, height, 1, bits)
        pal = b"".join(struct.pack("<I", c)[:3] for c in (palette or []))
    else:
        info = struct.pack("<IiiHHIIiiII", 40, width, -height if top_down else height, 1, bits,
                           0, stride * height, 2835, 2835, len(palette or []), 0)
    offset = 14 + len(info) + len(pal)
    pixels = b"".join(rows)
    head = b"BM" + struct.pack("<IHHI", offset + len(pixels), 0, 0, offset)
    return head + info + pal + pixels


def pictures():
    grey16 = [i * 0x111111 for i in range(16)]
    grey256 = [i * 0x010101 for i in range(256)]
    write("bmp", "mono-9x5.bmp", bmp(9, 5, 1, [0x000000, 0xFFFFFF], lambda x, y: (x + y) % 2))
    write("bmp", "four-bit-7x3.bmp", bmp(7, 3, 4, grey16, lambda x, y: (x * 3 + y) % 16))
    write("bmp", "eight-bit-5x4.bmp", bmp(5, 4, 8, grey256, lambda x, y: x * 40 + y))
    write("bmp", "sixteen-bit-3x3.bmp", bmp(3, 3, 16, None, lambda x, y: (x << 10) | (y << 5) | x))
    write("bmp", "rgb-4x3.bmp", bmp(4, 3, 24, None, lambda x, y: (x * 60) << 16 | (y * 80) << 8 | 7))
    write("bmp", "rgbx-2x2-top-down.bmp",
          bmp(2, 2, 32, None, lambda x, y: 0xFF0000 >> (8 * (x + y)), top_down=True))
    write("bmp", "os2-mono-8x2.bmp",
          bmp(8, 2, 1, [0x000000, 0xFFFFFF], lambda x, y: x % 2, header=12))


# Uninstall logs: the log a demo installation writes, and damaged ones whose names climb out
# of the directories they belong to or whose blocks and last line are cut short.
def logs():
    demo = [
        "InstTo=C:\\Program Files\\Demo Office", "CAPTION=Demo Office", "UNINSTALL=YES",
        "LANG=English,demo_en.dl_,demo.lng", "MakeGroup=Demo Office",
        "COPYTOBASE=demo.ex_,demo.exe$$119461$$", "COPYTOBASE=help\\demo.hl_,help\\demo.hlp$$208$$",
        "COPYTOWINSYS=democtl.oc_,democtl.ocx,REG$$87299$$", "COPYTOWIN=demo.in_,demo.ini",
        "GROUP ITEM", "FILE=<TOPATH>\\demo.exe", "TITLE=Demo Office", "END OF GROUP ITEM",
        "REGISTRY ITEM", "KEYROOT=HKEY_LOCAL_MACHINE", "KEYLEVEL=SOFTWARE\\Tavrin\\Demo Office",
        "KEYNAME=Version", "KEYNAMEVALUE=2.0", "KEYTYPE=STRING", "END OF REGISTRY ITEM",
        "INI FILE=demo.ini", "SECTION=Paths", "Home=<TOPATH>", "END OF INI",
    ]
    write("uninstall_log", "demo.uni", crlf(demo))
    write("uninstall_log", "climbing-names.uni", crlf([
        "InstTo=C:\\App\\..\\..", "COPYTOBASE=a,..\\..\\WINDOWS\\win.ini",
        "COPYTOWIN=b,..\\AUTOEXEC.BAT", "COPYTOWINSYS=c,C:\\boot.ini",
        "LANG=x,y,\\\\server\\share\\z", "COPYTOBASE=d,sub/./../../e"]))
    write("uninstall_log", "cut-short.uni",
          crlf(demo[:12]) + "REGISTRY ITEM\r\nKEYROOT=HKEY_LOC")


if __name__ == "__main__":
    scripts()
    registry()
    profiles()
    pictures()
    logs()
