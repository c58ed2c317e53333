#!/usr/bin/python3
"""Radicale for the tests: python3 radicale-quick.py ARGS... runs Radicale with ARGS, its storage
not flushed to the disk after every write. Radicale flushes each item, each cache entry and each
history entry it writes; a server in a temporary folder needs none of that, and a first listing
of thousands of cards written straight into its folder (each one parsed and cached then) takes
several times as long with it."""
import runpy
import sys

from radicale import config

_load = config.load


def load(paths=()):
    configuration = _load(paths)
    # An internal option, given only by a trusted caller: Radicale's own tests set it so.
    configuration.update({"storage": {"_filesystem_fsync": "False"}}, "tests", privileged=True)
    return configuration


config.load = load
sys.argv[0] = "radicale"
runpy.run_module("radicale", run_name="__main__", alter_sys=True)
