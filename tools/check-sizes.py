#!/usr/bin/env python3
"""Reports the functions and source files of the program that have grown too long.

  tools/check-sizes.py [--all] [SOURCE_DIR]

Every function longer than MAX_FUNCTION_LINES lines (from the first line of its signature to its
closing brace) and every file longer than MAX_FILE_LINES lines in the program's folders is
printed as FILE:LINE: ...; the exit status is 1 when there is one. Tests, benchmarks and fuzz
targets are not looked at, nor the files of TABLE_FILES. The functions of NOT_YET_SPLIT are
listed apart and do not fail the check; --all counts them as well.

Functions are found by their braces: a brace at namespace or class level that follows something
that looks like a signature opens a function, and its match closes it. Braces in comments,
strings, character literals and preprocessor lines do not count. An initialiser (a brace after
an "=", as in a table of a const array) is not a function.
"""

import os
import re
import sys

MAX_FUNCTION_LINES = 80
MAX_FILE_LINES = 700

# The folders of the program itself; those that do not exist are skipped.
SOURCE_FOLDERS = ["app", "cli", "ui", "interchange", "interchange-qt", "store", "res", "calendar",
                  "find", "print", "qt", "sync"]
EXTENSIONS = (".cpp", ".cc", ".cxx", ".h", ".hh", ".hpp", ".hxx")

# Files that are mostly data: their length is that of the tables they hold, not of any logic.
TABLE_FILES = {
    "res/StringTable.cpp",     # the program's strings, one initialiser line each
    "res/CodePageTables.cpp",  # the byte-to-Unicode tables of the code pages
}

# Functions that are longer than the limit and wait to be split into steps, as
# "FILE:FUNCTION". Take an entry out once its function is short enough.
NOT_YET_SPLIT = set()


def blank_code(text):
    """The text with comments, string and character literals and preprocessor lines made blanks;
    line breaks stay, so that offsets keep their line numbers."""
    out = []
    i, n = 0, len(text)
    at_line_start = True

    def blank(segment):
        out.append(re.sub(r"[^\n]", " ", segment))

    while i < n:
        c = text[i]
        if at_line_start and c == "#":
            # A preprocessor line, with its continuation lines.
            j = i
            while j < n and text[j] != "\n":
                if text[j] == "\\" and j + 1 < n and text[j + 1] == "\n":
                    j += 2
                    continue
                if text.startswith("/*", j):
                    end = text.find("*/", j + 2)
                    j = n if end < 0 else end + 2
                    continue
                if text.startswith("//", j):
                    while j < n and text[j] != "\n":
                        j += 1
                    break
                j += 1
            blank(text[i:j])
            i = j
            continue
        if c == "\n":
            out.append(c)
            at_line_start = True
            i += 1
            continue
        if c in " \t\r\f\v":
            out.append(c)
            i += 1
            continue
        at_line_start = False
        if text.startswith("//", i):
            j = text.find("\n", i)
            j = n if j < 0 else j
            blank(text[i:j])
            i = j
        elif text.startswith("/*", i):
            j = text.find("*/", i + 2)
            j = n if j < 0 else j + 2
            blank(text[i:j])
            i = j
        elif c == '"' and i > 0 and text[i - 1] == "R" and not is_word_char(text, i - 2):
            # A raw string: R"delimiter( ... )delimiter".
            open_paren = text.find("(", i)
            delimiter = text[i + 1:open_paren] if open_paren >= 0 else ""
            end = text.find(")" + delimiter + '"', open_paren + 1) if open_paren >= 0 else -1
            j = n if end < 0 else end + len(delimiter) + 2
            blank(text[i:j])
            i = j
        elif c == '"' or (c == "'" and not is_digit_separator(text, i)):
            j = i + 1
            while j < n and text[j] != c and text[j] != "\n":
                j += 2 if text[j] == "\\" else 1
            j = min(j + 1, n)
            blank(text[i:j])
            i = j
        else:
            out.append(c)
            i += 1
    return "".join(out)


def is_word_char(text, i):
    return 0 <= i < len(text) and (text[i].isalnum() or text[i] == "_")


def is_digit_separator(text, i):
    """Whether the quote at i separates the digits of a number, as in 1'000'000."""
    j = i
    while j > 0 and is_word_char(text, j - 1):
        j -= 1
    return j < i and text[j].isdigit() and is_word_char(text, i + 1)


ACCESS_LABEL = re.compile(r"\b(?:public|protected|private|signals|slots|Q_SIGNALS|Q_SLOTS)\s*:(?!:)"
                          r"|\bQ_(?:OBJECT|GADGET)\b")
CTOR_INITIALISER = re.compile(r"\)\s*(?:noexcept\s*)?:(?!:)")
LEADING_TEMPLATE = re.compile(r"^\s*template\s*<")


def strip_template_heads(header):
    """The declaration without its leading template<...> heads."""
    while LEADING_TEMPLATE.match(header):
        depth, i = 0, header.index("<")
        while i < len(header):
            if header[i] == "<":
                depth += 1
            elif header[i] == ">":
                depth -= 1
                if depth == 0:
                    break
            i += 1
        header = header[i + 1:]
    return header


def has_top_level_equals(header):
    """Whether the declaration holds an "=" outside parentheses that is not part of an operator
    or of an operator function's name: an initialiser."""
    depth = 0
    for m in re.finditer(r"operator\s*(?:[=!<>]=|<=>|[-+*/%^&|<>]?=|\(\))|[()]|[=!<>]=|=", header):
        token = m.group(0)
        if token == "(":
            depth += 1
        elif token == ")":
            depth -= 1
        elif token == "=" and depth == 0:
            return True
    return False


def kind_of_block(header):
    """What a brace at namespace or class level opens, from the declaration before it:
    "namespace", "class", "function" or "data" (an initialiser, an enum, anything else)."""
    bare = strip_template_heads(header).strip()
    if re.search(r"\bnamespace\b", bare) or re.fullmatch(r"extern\s*", bare):
        return "namespace"
    if re.match(r"(?:\[\[[^\]]*\]\]\s*)?(?:class|struct|union)\b", bare) and "(" not in bare:
        return "class"
    if re.match(r"(?:\[\[[^\]]*\]\]\s*)?enum\b", bare):
        return "data"
    if has_top_level_equals(bare) or "(" not in bare:
        return "data"
    return "function"


def function_name(header):
    bare = strip_template_heads(header)
    m = re.search(r"((?:[\w~]+\s*::\s*)*operator\s*(?:\(\)|[^\s(]+))\s*\(", bare)
    if m is None:
        m = re.search(r"((?:[\w~]+\s*(?:<[^()]*>)?\s*::\s*)*~?\w+)\s*\(", bare)
    return re.sub(r"\s+", "", m.group(1)) if m else "?"


def find_functions(code):
    """(first line, last line, name) of every function of blanked code."""
    functions = []
    # The kinds of the open braces; for one at namespace or class level also where its
    # declaration began.
    stack = []
    header_start = 0  # where the declaration of the current level began
    line_of = []
    line = 1
    for ch in code:
        line_of.append(line)
        if ch == "\n":
            line += 1

    def in_body():
        return any(kind in ("function", "data") for kind, _ in stack)

    i, n = 0, len(code)
    while i < n:
        c = code[i]
        if c == "{":
            if in_body():
                stack.append(("inner", None))
            else:
                header = code[header_start:i]
                label = None
                for label in ACCESS_LABEL.finditer(header):
                    pass
                if label is not None:
                    header_start += label.end()
                    header = code[header_start:i]
                if header.count("(") > header.count(")") or (
                        CTOR_INITIALISER.search(header) and re.search(r"[\w>]\s*$", header)):
                    # A brace in a default argument or a member initialiser of a constructor:
                    # the declaration goes on after its match.
                    stack.append(("in-declaration", None))
                else:
                    kind = kind_of_block(header)
                    start = header_start + (len(header) - len(header.lstrip()))
                    stack.append((kind, (start, header)))
                    header_start = i + 1
        elif c == "}":
            if not stack:
                header_start = i + 1
            else:
                kind, opened = stack.pop()
                if kind in ("function", "data", "namespace", "class"):
                    if kind == "function":
                        start, header = opened
                        functions.append((line_of[start], line_of[i], function_name(header)))
                    header_start = i + 1
        elif c == ";" and not in_body() and not (stack and stack[-1][0] == "in-declaration"):
            header_start = i + 1
        i += 1
    return functions


def check_file(path, relative):
    """The complaints about one file, as (line, text, key of NOT_YET_SPLIT or None)."""
    with open(path, encoding="utf-8", errors="replace") as f:
        text = f.read()
    complaints = []
    lines = text.count("\n") + (0 if text.endswith("\n") or not text else 1)
    if lines > MAX_FILE_LINES:
        complaints.append((1, "the file has %d lines (limit %d)" % (lines, MAX_FILE_LINES), None))
    for first, last, name in find_functions(blank_code(text)):
        length = last - first + 1
        if length > MAX_FUNCTION_LINES:
            complaints.append((first, "%s has %d lines (limit %d)" % (name, length,
                                                                        MAX_FUNCTION_LINES),
                               "%s:%s" % (relative, name)))
    return complaints


def source_files(root):
    for folder in SOURCE_FOLDERS:
        top = os.path.join(root, folder)
        if not os.path.isdir(top):
            continue
        for directory, subdirs, files in os.walk(top):
            subdirs.sort()
            for name in sorted(files):
                if name.endswith(EXTENSIONS):
                    path = os.path.join(directory, name)
                    relative = os.path.relpath(path, root).replace(os.sep, "/")
                    if relative not in TABLE_FILES:
                        yield path, relative


def main(argv):
    args = argv[1:]
    count_all = "--all" in args
    args = [a for a in args if a != "--all"]
    root = args[0] if args else os.path.join(os.path.dirname(os.path.abspath(__file__)), "..")
    if not os.path.isdir(root):
        print("check-sizes: no such folder: %s" % root, file=sys.stderr)
        return 2
    failures, waiting = [], []
    for path, relative in source_files(root):
        for line, text, key in check_file(path, relative):
            entry = "%s:%d: %s" % (relative, line, text)
            (waiting if key in NOT_YET_SPLIT and not count_all else failures).append(entry)
    for entry in failures:
        print(entry)
    if waiting:
        print("check-sizes: %d functions are too long but wait in NOT_YET_SPLIT:" % len(waiting))
        for entry in waiting:
            print("  " + entry)
    if failures:
        print("check-sizes: %d too long (functions over %d lines, files over %d lines)"
              % (len(failures), MAX_FUNCTION_LINES, MAX_FILE_LINES), file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
