#!/usr/bin/env python3
"""What Windows checks before and while it starts one of our exes, and Wine does not.

For every exe of a Windows build tree: the PE header (machine, subsystem, the address-space and
no-execute flags), the DLLs it imports, the embedded manifest (read with wrestool, parsed as XML)
and the version resource; for the 32-bit build also that doubles are SSE2 and long doubles x87.
Prints one PASS or FAIL line a check and the count; exits 1 on any failure.

usage: check-exe.py BUILD-DIR          check a build tree (needs wrestool and the build's objdump)
       check-exe.py --self-test FILE   show that the manifest rules refuse broken variants of FILE
"""
import os
import re
import struct
import subprocess
import sys
import xml.etree.ElementTree as ET

ASM_V1 = "urn:schemas-microsoft-com:asm.v1"
COMMON_CONTROLS = "Microsoft.Windows.Common-Controls"
COMMON_CONTROLS_TOKEN = "6595b64144ccf1df"

MACHINES = {0x014C: "x86", 0x8664: "amd64"}
SUBSYSTEM_GUI, SUBSYSTEM_CONSOLE = 2, 3
HIGH_ENTROPY_VA, DYNAMIC_BASE, NX_COMPAT = 0x0020, 0x0040, 0x0100

# Windows' own DLLs: the exe is copied alone into the host's folder.
SYSTEM_DLLS = {"kernel32.dll", "user32.dll", "gdi32.dll", "comctl32.dll", "imm32.dll",
               "ole32.dll", "oleaut32.dll", "msvcrt.dll", "advapi32.dll", "shell32.dll"}

# The tool is one small file that users copy around: 700 KiB at most, on either processor.
MAX_TOOL_BYTES = 716800

# (path in the build tree, subsystem, manifest required, imports limited to SYSTEM_DLLS,
#  most bytes or None)
EXES = [
    ("src/win/pardim.exe", SUBSYSTEM_GUI, True, True, MAX_TOOL_BYTES),
    ("tools/pardim-batch.exe", SUBSYSTEM_CONSOLE, False, True, None),
    ("tests/wine/fp8/pardim.exe", SUBSYSTEM_GUI, True, True, None),
    ("tests/wine/fp8/pardim-batch.exe", SUBSYSTEM_CONSOLE, False, True, None),
    ("tests/wine/faults/pardim.exe", SUBSYSTEM_GUI, True, True, None),
    ("tests/wine/pardim-wine-tests.exe", SUBSYSTEM_CONSOLE, False, False, None),
    ("tools/pardim-startup-bench.exe", SUBSYSTEM_CONSOLE, False, False, None),
    ("tools/minimal-window.exe", SUBSYSTEM_GUI, False, True, None),
    ("tools/minimal-window-imports.exe", SUBSYSTEM_GUI, False, True, None),
    ("tools/floor-dialog.exe", SUBSYSTEM_GUI, True, True, None),
]


def local(tag):
    return tag.rsplit("}", 1)[-1]


def manifest_problems(text, machine):
    """What is wrong with a manifest for an exe of the given machine ("x86" or "amd64")."""
    try:
        root = ET.fromstring(text)
    except ET.ParseError as error:
        return [f"not well formed: {error}"]
    problems = []
    if root.tag != f"{{{ASM_V1}}}assembly":
        problems.append(f"root element is {root.tag}, not assembly")
    # The application's own identity is the assembly's direct child; the others name what it
    # depends on.
    own = root.findall(f"{{{ASM_V1}}}assemblyIdentity")
    if len(own) != 1:
        problems.append(f"{len(own)} application identities, want exactly 1")
    for identity in own:
        arch = identity.get("processorArchitecture")
        if arch not in ("*", machine):
            problems.append(f"processorArchitecture {arch!r} does not match the {machine} image")
        version = identity.get("version", "")
        if not re.fullmatch(r"\d+\.\d+\.\d+\.\d+", version):
            problems.append(f"version {version!r} is not four numbers")
    controls = [i for i in root.iter(f"{{{ASM_V1}}}assemblyIdentity")
                if i.get("name") == COMMON_CONTROLS]
    if len(controls) != 1:
        problems.append(f"{len(controls)} Common-Controls dependencies, want 1")
    for identity in controls:
        if identity.get("version", "").split(".")[0] != "6":
            problems.append(f"Common-Controls version {identity.get('version')!r}, want 6")
        if identity.get("publicKeyToken") != COMMON_CONTROLS_TOKEN:
            problems.append(f"Common-Controls publicKeyToken {identity.get('publicKeyToken')!r}")
    # Windows drops the whole manifest when a setting is given twice.
    seen = set()
    for settings in root.iter():
        if local(settings.tag) != "windowsSettings":
            continue
        for setting in settings:
            if setting.tag in seen:
                problems.append(f"windows setting {local(setting.tag)} appears twice")
            seen.add(setting.tag)
    # The layout is fixed at 96 dpi: Windows scales the window, and draws its text sharp.
    settings = {local(e.tag): (e.text or "").strip() for e in root.iter()
                if local(e.tag) in ("dpiAware", "dpiAwareness", "gdiScaling")}
    if settings.get("dpiAware", "false").lower() != "false" or \
            settings.get("dpiAwareness", "unaware").lower() != "unaware":
        problems.append(f"DPI awareness declared ({settings}); the layout is fixed at 96 dpi")
    gdi = [e for e in root.iter() if local(e.tag) == "gdiScaling"]
    if len(gdi) != 1 or (gdi[0].text or "").strip().lower() != "true":
        problems.append(f"{len(gdi)} gdiScaling settings, want exactly one, true")
    return problems


def pe_facts(data):
    """(machine, subsystem, dll characteristics) from a PE image's headers."""
    if data[:2] != b"MZ":
        raise ValueError("no MZ header")
    pe = struct.unpack_from("<I", data, 0x3C)[0]
    if data[pe:pe + 4] != b"PE\0\0":
        raise ValueError("no PE signature")
    machine = struct.unpack_from("<H", data, pe + 4)[0]
    optional = pe + 24
    subsystem, characteristics = struct.unpack_from("<HH", data, optional + 68)
    return machine, subsystem, characteristics


def resource(path, type_id):
    """The bytes of the first resource of a type, or None."""
    result = subprocess.run(["wrestool", "-x", "--raw", "-t", str(type_id), path],
                            capture_output=True)
    return result.stdout if result.returncode == 0 and result.stdout else None


def version_problems(blob, version):
    """The fixed file and product version of a VS_VERSIONINFO against the project's version."""
    at = blob.find(struct.pack("<I", 0xFEEF04BD))
    if at < 0:
        return ["no VS_FIXEDFILEINFO"]
    ms, ls, pms, pls = struct.unpack_from("<4I", blob, at + 8)
    file_version = f"{ms >> 16}.{ms & 0xFFFF}.{ls >> 16}.{ls & 0xFFFF}"
    product_version = f"{pms >> 16}.{pms & 0xFFFF}.{pls >> 16}.{pls & 0xFFFF}"
    want = version + ".0"
    problems = []
    if file_version != want or product_version != want:
        problems.append(f"file/product version {file_version}/{product_version}, want {want}")
    if "041104b0".encode("utf-16-le") not in blob:
        problems.append("no Japanese Unicode string table (041104b0)")
    return problems


class Report:
    def __init__(self):
        self.passed = self.failed = 0

    def check(self, name, problems):
        if problems:
            self.failed += 1
            print(f"FAIL {name}: {'; '.join(problems)}")
        else:
            self.passed += 1
            print(f"PASS {name}")


def imports(objdump, path):
    out = subprocess.run([objdump, "-p", path], capture_output=True, text=True, check=True).stdout
    return sorted({m.lower() for m in re.findall(r"^\s*DLL Name: (\S+)", out, re.M)})


def check_instructions(report, objdump, path):
    """On 32-bit x86 doubles go through SSE2, so that they round as on x86-64, and long doubles
    stay in the x87: the exe must hold both kinds of arithmetic."""
    code = subprocess.run([objdump, "-d", "--no-show-raw-insn", path], capture_output=True,
                          text=True, check=True).stdout
    sse = len(re.findall(r"\s(add|sub|mul|div|sqrt)sd\s", code))
    x87 = len(re.findall(r"\sf(add|sub|mul|div)r?p?\s|\sfldt\s", code))
    report.check(f"DoublesInSse2LongDoublesInX87 ({sse} SSE2, {x87} x87 instructions)",
                 [] if sse and x87 else ["one kind of arithmetic is missing"])


def check_build(build):
    with open(os.path.join(build, "tests/wine/pe-target.txt")) as f:
        objdump, pe_format = f.read().split()[:2]
    with open(os.path.join(build, "tests/wine/project-version.txt")) as f:
        version = f.read().strip()
    machine = "x86" if pe_format == "pei-i386" else "amd64"
    report = Report()
    for rel, subsystem, needs_manifest, system_only, max_bytes in EXES:
        path = os.path.join(build, rel)
        name = rel.replace("/", ".")
        if not os.path.isfile(path):
            report.check(f"Built.{name}", [f"{path} is missing"])
            continue
        with open(path, "rb") as f:
            data = f.read()
        print(f"check-exe: {rel}: {machine}, {len(data)} bytes")
        if max_bytes is not None:
            report.check(f"Size.{name} ({len(data)} bytes, at most {max_bytes})",
                         [f"{len(data) - max_bytes} bytes too large"] if len(data) > max_bytes
                         else [])
        pe_machine, pe_subsystem, flags = pe_facts(data)
        problems = []
        if MACHINES.get(pe_machine) != machine:
            problems.append(f"machine 0x{pe_machine:04x}, want {machine}")
        if pe_subsystem != subsystem:
            problems.append(f"subsystem {pe_subsystem}, want {subsystem}")
        wanted = DYNAMIC_BASE | NX_COMPAT | (HIGH_ENTROPY_VA if machine == "amd64" else 0)
        if flags & wanted != wanted:
            problems.append(f"DllCharacteristics 0x{flags:04x} lacks 0x{wanted & ~flags:04x}")
        report.check(f"PeHeader.{name}", problems)
        if system_only:
            dlls = imports(objdump, path)
            others = [d for d in dlls if d not in SYSTEM_DLLS]
            report.check(f"ImportsOnlySystemDlls.{name} ({' '.join(dlls)})",
                         [f"imports {' '.join(others)}"] if others else [])
        manifest = resource(path, 24)
        if manifest is None:
            report.check(f"Manifest.{name}", ["no manifest"] if needs_manifest else [])
        else:
            report.check(f"Manifest.{name}", manifest_problems(manifest, machine))
        if needs_manifest:
            blob = resource(path, 16)
            report.check(f"VersionResource.{name}",
                         version_problems(blob, version) if blob else ["no version resource"])
    if machine == "x86":
        check_instructions(report, objdump, os.path.join(build, "src/win/pardim.exe"))
    print(f"{report.passed} passed, {report.failed} failed")
    return report.failed == 0


def self_test(path):
    """The manifest rules, each shown to refuse a manifest that breaks it."""
    with open(path, encoding="utf-8") as f:
        good = f.read()
    for key, value in (("@PARDIM_MANIFEST_ARCH@", "x86"), ("@PROJECT_VERSION@", "1.0.0")):
        good = good.replace(key, value)
    token = f'publicKeyToken="{COMMON_CONTROLS_TOKEN}"'
    setting = re.search(r"\n\s*<dpiAwareness [^\n]*", good).group(0)
    cases = [
        ("good", good, "x86", False),
        ("any processor", re.sub(r'processorArchitecture="x86"', 'processorArchitecture="*"',
                                 good, count=1), "x86", False),
        ("amd64 identity in an x86 image", good.replace('"x86"', '"amd64"', 1), "x86", True),
        ("x86 identity in an amd64 image", good, "amd64", True),
        ("three-part version", good.replace('version="1.0.0.0"', 'version="1.0.0"', 1), "x86",
         True),
        ("no public key token", good.replace(token, ""), "x86", True),
        ("setting given twice", good.replace(setting, setting + setting), "x86", True),
        ("two identities", good.replace("<description>", '<assemblyIdentity type="win32" '
                                        'name="x" version="1.0.0.0" processorArchitecture="x86"/>'
                                        "<description>", 1), "x86", True),
        ("not well formed", good.replace("</assembly>", ""), "x86", True),
        ("no gdiScaling", re.sub(r"\n\s*<gdiScaling [^\n]*", "", good), "x86", True),
        ("gdiScaling false", good.replace(">true</gdiScaling>", ">false</gdiScaling>"), "x86",
         True),
        ("aware of DPI", good.replace(">unaware</dpiAwareness>", ">permonitorv2</dpiAwareness>"),
         "x86", True),
    ]
    report = Report()
    for name, text, machine, should_fail in cases:
        problems = manifest_problems(text, machine)
        outcome = bool(problems) == should_fail
        report.check(f"ManifestRule.{name.replace(' ', '_')}",
                     [] if outcome else [f"expected {'a' if should_fail else 'no'} failure, got "
                                         f"{problems}"])
    print(f"{report.passed} passed, {report.failed} failed")
    return report.failed == 0


def main(argv):
    if len(argv) == 3 and argv[1] == "--self-test":
        return 0 if self_test(argv[2]) else 1
    if len(argv) != 2 or argv[1].startswith("-"):
        print(__doc__.strip().splitlines()[-2].strip(), file=sys.stderr)
        return 2
    if not os.path.isdir(argv[1]):
        print(f"check-exe: {argv[1]} is not a folder", file=sys.stderr)
        return 2
    return 0 if check_build(argv[1]) else 1


if __name__ == "__main__":
    sys.exit(main(sys.argv))
