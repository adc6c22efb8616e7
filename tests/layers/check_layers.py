#!/usr/bin/env python3
"""Checks the layers of the source tree against the order docs/ARCHITECTURE.md writes down.

The tree has two layers, base/ and gui/, each of folders (base/archive, gui/ui, ...).
The document lists every folder, highest first, in the fenced block under its heading
"Folders, high to low". A file may include a file of its own folder or of a folder listed
below it, however the include spells its path (from the tree's root, beside the file,
with "..", in angle brackets); a folder the list lacks is a fault. A base file never includes a file of the
gui layer, nor a Qt Gui or Widgets header.
"""
import argparse
import os
import re
import sys

INCLUDE = re.compile(r'^\s*#\s*include\s*([<"])([^>"]+)[>"]', re.MULTILINE)
FOLDER = re.compile(r'^((?:base|gui)/[a-z]+)\b')
LAYERS = ('base', 'gui')


def sources(root):
    for layer in LAYERS:
        for folder, _, names in os.walk(os.path.join(root, layer)):
            for name in sorted(names):
                if name.endswith(('.h', '.cpp')):
                    path = os.path.join(folder, name)
                    yield os.path.relpath(path, root).replace(os.sep, '/'), path


def includes(path):
    with open(path, encoding='utf-8', errors='replace') as f:
        return INCLUDE.findall(f.read())


def folder_of(relative):
    parts = relative.split('/')
    return '/'.join(parts[:2]) if len(parts) > 2 and parts[0] in LAYERS else None


def written_order(document):
    """The folders of the block under the "Folders, high to low" heading, highest first."""
    with open(document, encoding='utf-8') as f:
        lines = f.read().splitlines()
    order, in_section, in_block = [], False, False
    for line in lines:
        if line.startswith('#'):
            in_section = 'Folders, high to low' in line
        elif in_section and line.startswith('```'):
            if in_block:
                break
            in_block = True
        elif in_block:
            found = FOLDER.match(line)
            if found:
                order.append(found.group(1))
    return order


def gui_headers(include_dirs):
    names = set()
    for folder in include_dirs:
        module = os.path.basename(os.path.normpath(folder))
        if module in ('QtGui', 'QtWidgets') and os.path.isdir(folder):
            names.add(module)
            names.update(os.listdir(folder))
    return names


def widget_faults(relative, found, gui_names):
    faults = []
    for kind, header in found:
        if kind != '<':
            continue
        module = header.split('/')[0]
        if module in ('QtGui', 'QtWidgets') or ('/' not in header and header in gui_names):
            faults.append(f'{relative} includes the widget header <{header}>')
    return faults


def resolved(relative, kind, header, root):
    """The file an include names, below the root, as the compiler finds it: a quoted one
    beside the including file first, then from the root; None for one outside the tree."""
    places = [os.path.dirname(relative)] if kind == '"' else []
    for place in places + ['']:
        path = os.path.normpath(os.path.join(root, place, header))
        if path.startswith(root + os.sep) and os.path.isfile(path):
            return os.path.relpath(path, root).replace(os.sep, '/')
    return None


def order_faults(relative, found, root, rank):
    faults = []
    source = folder_of(relative)
    for kind, header in found:
        target_file = resolved(relative, kind, header, root)
        target = folder_of(target_file) if target_file else None
        if target is None or target == source:
            continue
        shown = f'"{header}"' if kind == '"' else f'<{header}>'
        if source.startswith('base/') and target.startswith('gui/'):
            faults.append(f'{relative} includes the gui file {shown}')
        elif target in rank and rank[target] < rank[source]:
            faults.append(f'{relative} includes {shown} of {target}, which stands above {source}')
    return faults


def read_lines(path):
    with open(path, encoding='utf-8') as f:
        return [line.strip() for line in f if line.strip()]


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument('root', help='the source tree, with base/ and gui/')
    parser.add_argument('--order', required=True, help='the document that lists the folders, highest first')
    parser.add_argument('--gui-include-dirs', required=True, help='file listing Qt include folders')
    args = parser.parse_args()
    root = os.path.abspath(args.root)
    order = written_order(args.order)
    rank = {folder: index for index, folder in enumerate(order)}
    gui_names = gui_headers(read_lines(args.gui_include_dirs))

    faults, folders, count = [], set(), 0
    for relative, path in sources(root):
        count += 1
        folder = folder_of(relative)
        if folder is None:
            faults.append(f'{relative} lies in no folder of a layer')
            continue
        folders.add(folder)
        found = includes(path)
        if folder.startswith('base/'):
            faults += widget_faults(relative, found, gui_names)
        if folder in rank:
            faults += order_faults(relative, found, root, rank)
    faults += [f'{folder} is missing from the written order' for folder in sorted(folders - set(rank))]
    for fault in faults:
        print(fault)
    if not faults:
        print(f'{count} files in {len(folders)} folders: each includes only its own folder and those below it')
    return 1 if faults else 0


if __name__ == '__main__':
    sys.exit(main())
