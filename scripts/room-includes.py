#!/usr/bin/env python3
"""Which room of Source/Game includes which, and the pairs of rooms that include each other.

   scripts/room-includes.py            the includes between rooms, counted
   scripts/room-includes.py --cycles   only the rooms that include each other (exit 1 when any do)
"""
import collections
import os
import re
import sys

root = os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', 'Source', 'Game')
edges = collections.Counter()
for room in sorted(os.listdir(root)):
    folder = os.path.join(root, room)
    if not os.path.isdir(folder):
        continue
    for name in os.listdir(folder):
        with open(os.path.join(folder, name), encoding='utf-8', errors='replace') as source:
            for line in source:
                match = re.match(r'#include "(\w+)/', line)
                if match and match.group(1) != room:
                    edges[(room, match.group(1))] += 1
cycles = sorted((a, b) for (a, b) in edges if (b, a) in edges and a < b)
if '--cycles' not in sys.argv:
    for room in sorted({a for a, _ in edges}):
        print(f'{room:9} -> ' + ', '.join(f'{b} ({n})' for (a, b), n in sorted(edges.items()) if a == room))
for a, b in cycles:
    print(f'{a} and {b} include each other')
sys.exit(1 if cycles and '--cycles' in sys.argv else 0)
