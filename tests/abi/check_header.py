#!/usr/bin/env python3
"""Checks the generated public header as a reader meets it: no line is wider than the
layout's 100 columns, and every exported function has a doc comment right above it that
names each of its parameters with @param (and names no parameter it does not have) and
states its threading label."""
import re
import sys

LIMIT = 100
DECLARATION = re.compile(r"^ZYOSTREL_API [^(]*?\b(\w+)\(")


def parameter_names(declaration):
    inside = declaration[declaration.index("(") + 1 : declaration.rindex(")")]
    if inside.strip() == "void":
        return []
    return [re.search(r"(\w+)\s*$", part).group(1) for part in inside.split(",")]


def main(path):
    lines = open(path, encoding="utf-8").read().split("\n")
    problems = []
    for number, line in enumerate(lines, 1):
        if len(line) > LIMIT:
            problems.append(f"line {number} has {len(line)} columns")
    functions = 0
    for index, line in enumerate(lines):
        match = DECLARATION.match(line)
        if not match:
            continue
        functions += 1
        name = match.group(1)
        end = index
        while not lines[end].rstrip().endswith(";"):
            end += 1
        parameters = parameter_names(" ".join(lines[index : end + 1]))
        if index == 0 or not lines[index - 1].rstrip().endswith("*/"):
            problems.append(f"{name}: no doc comment right above the declaration")
            continue
        start = index - 1
        while "/**" not in lines[start]:
            start -= 1
        doc = "\n".join(lines[start:index])
        documented = re.findall(r"@param\s+(\w+)", doc)
        for parameter in parameters:
            if parameter not in documented:
                problems.append(f"{name}: parameter {parameter} is not documented")
        for parameter in documented:
            if parameter not in parameters:
                problems.append(f"{name}: documents {parameter}, which it does not take")
        if "Threads:" not in doc:
            problems.append(f"{name}: no Threads: label")
    if functions == 0:
        problems.append("no exported function found")
    for problem in problems:
        print(problem)
    print(f"{functions} functions checked, {len(problems)} problems")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))
