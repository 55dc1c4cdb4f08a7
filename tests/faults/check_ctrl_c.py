#!/usr/bin/python3
"""Presses Ctrl-C on the Windows orlaspin-cli at random moments while it writes its files: Wine
turns SIGINT into the console's Ctrl-C event. Every file left under a screen's name must be the
complete file of an export that ran to its end, and no temporary file may be left.

Usage: check_ctrl_c.py --cli PATH --emulator COMMAND
"""
import argparse
import os
import random
import shutil
import signal
import subprocess
import sys
import tempfile
import time

SCREENS = 4
SCREEN_SIZE = 6912
TRIALS = 6


def disk_image(screens):
    """A TR-DOS image: the catalogue, the disk information sector with its TR-DOS mark, then each
    screen in 27 sectors from track 1 on."""
    image = bytearray(4096 + len(screens) * SCREEN_SIZE)
    for i, screen in enumerate(screens):
        sector = 16 + 27 * i
        entry = f"SCR{i}    ".encode() + b"C" + bytes([0, 0x40]) + SCREEN_SIZE.to_bytes(
            2, "little") + bytes([27, sector % 16, sector // 16])
        image[16 * i:16 * i + 16] = entry
        image[sector * 256:sector * 256 + SCREEN_SIZE] = screen
    image[8 * 256 + 0xE7] = 0x10
    return bytes(image)


def contents(folder):
    files = {}
    for name in os.listdir(folder):
        with open(os.path.join(folder, name), "rb") as file:
            files[name] = file.read()
    return files


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--cli", required=True)
    parser.add_argument("--emulator", required=True)
    args = parser.parse_args()

    seed = random.randrange(1 << 32)
    generator = random.Random(seed)
    screens = [bytes(generator.randrange(256) for _ in range(SCREEN_SIZE)) for _ in range(SCREENS)]
    work = tempfile.mkdtemp(prefix="orlaspin-ctrl-c-")
    try:
        image = os.path.join(work, "long.trd")
        with open(image, "wb") as file:
            file.write(disk_image(screens))

        def export(out):
            os.mkdir(out)
            return subprocess.Popen(args.emulator.split() + [args.cli, "export", "-s", "8", "-o",
                                                             out, image],
                                    stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

        whole = os.path.join(work, "whole")
        if export(whole).wait() != 0 or len(os.listdir(whole)) != SCREENS:
            print("the export without Ctrl-C failed")
            return 1
        complete = contents(whole)

        problems = []
        pressed_while_writing = 0
        for trial in range(TRIALS):
            out = os.path.join(work, f"trial{trial}")
            process = export(out)
            # While the chosen file is written under its temporary name.
            chosen = generator.randrange(SCREENS)
            while process.poll() is None:
                names = os.listdir(out)
                if len(names) > chosen and any(n.startswith(".orlaspin-") for n in names):
                    break
                time.sleep(0.001)
            time.sleep(generator.uniform(0, 0.01))
            pressed_while_writing += any(n.startswith(".orlaspin-") for n in os.listdir(out))
            process.send_signal(signal.SIGINT)
            process.wait()
            for name, data in contents(out).items():
                if complete.get(name) != data:
                    problems.append(f"trial {trial}: {name} is left, {len(data)} bytes")
        if pressed_while_writing == 0:
            problems.append("Ctrl-C never came while a file was written")
        for problem in problems:
            print(problem)
        print(f"seed {seed}: {TRIALS} exports interrupted, {pressed_while_writing} while a file "
              f"was written")
        return 1 if problems else 0
    finally:
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main())
