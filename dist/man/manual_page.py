#!/usr/bin/env python3
"""Makes the manual page of one of the programs with help2man from the program's own --help and
--version, so that the page cannot fall behind the program. Beside what help2man makes of --help
the page gets:
  - a SYNOPSIS of the usage lines that --help starts with (help2man takes "Usage:" lines only),
    and the same lines taken out of the DESCRIPTION;
  - with --commands, a COMMANDS section with what `PROGRAM COMMAND --help` says of every command
    that the "commands:" block of `PROGRAM --help` lists: a command added to the program gets
    its section without a change here;
  - the hand-written sections of an include file (EXIT STATUS, ENVIRONMENT, FILES ...).
"""
import argparse
import re
import subprocess
import sys
import tempfile

USAGE = "usage: "


def program_help(program, *command):
    done = subprocess.run([program, *command, "--help"], capture_output=True, text=True,
                          timeout=30, check=True)
    return done.stdout


def listed_commands(main_help):
    """The command names of the "commands:" block, which ends at the first empty line."""
    names = []
    lines = iter(main_help.splitlines())
    for line in lines:
        if line == "commands:":
            break
    for line in lines:
        if not line.strip():
            break
        match = re.match(r"  ([a-z][a-z-]*)\b", line)
        if match and match.group(1) not in names:
            names.append(match.group(1))
    return names


def roff(line):
    """A line of plain text as roff text: backslashes and minus signs kept as typed, and a line
    that starts with a control character not taken for a request."""
    line = line.replace("\\", "\\e").replace("-", "\\-")
    return "\\&" + line if line.startswith((".", "'")) else line


def split_usage(text):
    """The usage lines at the start of a help text (without "usage: ") and the lines after."""
    lines = text.rstrip("\n").splitlines()
    indent = " " * len(USAGE)
    usage = []
    if lines and lines[0].startswith(USAGE):
        usage.append(lines.pop(0)[len(USAGE):])
        while lines and lines[0][:1].isspace():
            line = lines.pop(0)
            usage.append(line[len(indent):] if line.startswith(indent) else line.lstrip())
    return usage, lines


def usage_block(usage):
    return [".nf"] + [roff(line) for line in usage] + [".fi"] if usage else []


def command_section(name, text):
    """The usage lines as they stand, then the description. A line after one that ends a
    sentence starts a paragraph, as the help's lines do on a terminal; the page fills the
    others."""
    usage, lines = split_usage(text)
    out = [".SS " + name] + usage_block(usage)
    previous = ""
    for line in (line.strip() for line in lines):
        if not line:
            continue
        if not previous or previous.endswith((".", ".)")):
            out.append(".PP")
        out.append(roff(line))
        previous = line
    return out


def include_text(program, main_help, usage, commands, hand_written):
    out = ["[SYNOPSIS]"] + usage_block(usage)
    if commands:
        names = listed_commands(main_help)
        if not names:
            sys.exit(f"{program} --help lists no commands under \"commands:\"")
        out += ["", "[COMMANDS]",
                "Every command also takes \\fB\\-\\-help\\fR, which prints what follows."]
        for name in names:
            text = program_help(program, name)
            if text == main_help:
                sys.exit(f"{program} {name} --help prints no help of its own")
            out += command_section(name, text)
    # The hand-written sections; what stands before the first of them is a comment.
    with open(hand_written, encoding="utf-8") as file:
        rest = file.read()
    first = re.search(r"^\[", rest, re.MULTILINE)
    if first is None:
        sys.exit(f"{hand_written} has no [SECTION]")
    return "\n".join(out) + "\n\n" + rest[first.start():]


def plain(roff_lines):
    """The words of roff text lines, without font changes and requests."""
    text = " ".join(line for line in roff_lines if not line.startswith("."))
    return re.sub(r"\\f[BIRP]|\\f\[[A-Z]*\]|\\/|\\,", "", text).replace("\\-", "-").split()


def without_usage_paragraph(page, usage):
    """The page with the DESCRIPTION's first paragraph taken out when it is the usage text (now
    the SYNOPSIS); any other page as it is."""
    lines = page.split("\n")
    try:
        start = lines.index(".SH DESCRIPTION") + 1
        end = lines.index(".PP", start)
    except ValueError:
        return page
    if plain(lines[start:end]) != (USAGE + " ".join(usage)).split():
        return page
    return "\n".join(lines[:start] + lines[end + 1:])


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--help2man", default="help2man")
    parser.add_argument("--commands", action="store_true")
    parser.add_argument("--name", required=True, help="the NAME line's description")
    parser.add_argument("program")
    parser.add_argument("hand_written", help="include file of the hand-written sections")
    parser.add_argument("page", help="the manual page to write")
    args = parser.parse_args()

    main_help = program_help(args.program)
    usage, _ = split_usage(main_help)
    if not usage:
        sys.exit(f"{args.program} --help starts with no \"{USAGE}\" line")
    with tempfile.NamedTemporaryFile("w", suffix=".h2m", encoding="utf-8") as include:
        include.write(include_text(args.program, main_help, usage, args.commands,
                                   args.hand_written))
        include.flush()
        page = subprocess.run(
            [args.help2man, "--no-info", "--no-discard-stderr", "--section", "1",
             "--name", args.name, "--include", include.name, args.program],
            capture_output=True, text=True, timeout=60, check=True).stdout
    with open(args.page, "w", encoding="utf-8") as file:
        file.write(without_usage_paragraph(page, usage))


if __name__ == "__main__":
    main()
