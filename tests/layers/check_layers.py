#!/usr/bin/env python3
"""Checks the layers of the source tree.

Fails on an include cycle between the top folders of the tree (platform/wav counts
as platform) and on a base file that includes a Qt Gui or Widgets header or a file
outside the base. Which files are base comes from the build.
"""
import argparse
import os
import re
import sys

INCLUDE = re.compile(r'^\s*#\s*include\s*([<"])([^>"]+)[>"]', re.MULTILINE)


def sources(root):
    for folder, _, names in os.walk(root):
        for name in sorted(names):
            if name.endswith(('.h', '.cpp')):
                path = os.path.join(folder, name)
                yield os.path.relpath(path, root).replace(os.sep, '/'), path


def includes(path):
    with open(path, encoding='utf-8', errors='replace') as f:
        return INCLUDE.findall(f.read())


def top_folder(relative):
    return relative.split('/')[0] if '/' in relative else None


def folder_edges(root):
    edges = {}
    for relative, path in sources(root):
        source = top_folder(relative)
        for kind, header in includes(path):
            target = top_folder(header)
            if kind == '"' and source and target and target != source:
                edges.setdefault((source, target), []).append(f'{relative} -> {header}')
    return edges


def find_cycle(edges):
    graph = {}
    for source, target in edges:
        graph.setdefault(source, set()).add(target)
    state = {}
    path = []

    def visit(node):
        state[node] = 'open'
        path.append(node)
        for nxt in sorted(graph.get(node, ())):
            if state.get(nxt) == 'open':
                return path[path.index(nxt):] + [nxt]
            if nxt not in state:
                found = visit(nxt)
                if found:
                    return found
        path.pop()
        state[node] = 'done'
        return None

    for node in sorted(graph):
        if node not in state:
            found = visit(node)
            if found:
                return found
    return None


def gui_headers(include_dirs):
    names = set()
    for folder in include_dirs:
        module = os.path.basename(os.path.normpath(folder))
        if module in ('QtGui', 'QtWidgets') and os.path.isdir(folder):
            names.add(module)
            names.update(os.listdir(folder))
    return names


def layer_faults(root, base, gui_names):
    faults = []
    for relative, path in sources(root):
        if relative not in base:
            continue
        for kind, header in includes(path):
            if kind == '<':
                module = header.split('/')[0]
                if module in ('QtGui', 'QtWidgets') or ('/' not in header and header in gui_names):
                    faults.append(f'{relative} includes the widget header <{header}>')
            elif header not in base and os.path.exists(os.path.join(root, header)):
                faults.append(f'{relative} includes the gui file "{header}"')
    return faults


def read_lines(path):
    with open(path, encoding='utf-8') as f:
        return [line.strip() for line in f if line.strip()]


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument('root', help='the source tree')
    parser.add_argument('--base', required=True, help='file listing the base sources')
    parser.add_argument('--gui-include-dirs', required=True, help='file listing Qt include folders')
    args = parser.parse_args()
    root = os.path.abspath(args.root)

    base = set()
    for entry in read_lines(args.base):
        full = entry if os.path.isabs(entry) else os.path.join(root, entry)
        base.add(os.path.relpath(full, root).replace(os.sep, '/'))

    failed = False
    edges = folder_edges(root)
    cycle = find_cycle(edges)
    if cycle:
        failed = True
        print('include cycle between folders: ' + ' -> '.join(cycle))
        for source, target in zip(cycle, cycle[1:]):
            for line in edges[(source, target)][:3]:
                print('    ' + line)
    for fault in layer_faults(root, base, gui_headers(read_lines(args.gui_include_dirs))):
        failed = True
        print(fault)
    if not failed:
        print(f'{len(base)} base files, {len({s for s, _ in edges})} folders: no cycle, no widget in the base')
    return 1 if failed else 0


if __name__ == '__main__':
    sys.exit(main())
