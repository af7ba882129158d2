#!/usr/bin/python3
"""orca-logged.py DEBUG_LOG PREFS_DIR -- runs Orca, writing its debug log line by line.

Orca's own launcher opens --debug-file with a block buffer, so that what it speaks reaches the
file long after it was said, and it refuses to start while any other Orca of the same user runs,
as parallel tests do, each on its own D-Bus session. This starts Orca's main loop the way the
launcher does, without either: the log is line-buffered, the preferences come from PREFS_DIR.
"""
import sys

from orca import debug

log_path, prefs_dir = sys.argv[1], sys.argv[2]
debug.debugLevel = debug.LEVEL_INFO
debug.eventDebugLevel = debug.LEVEL_OFF
debug.debugFile = open(log_path, "w", buffering=1, encoding="utf-8")

from orca import orca  # noqa: E402  (after the log is set up, as the launcher does)

manager = orca.getSettingsManager()
manager.activate(prefs_dir, {})
sys.path.insert(0, manager.getPrefsDir())
sys.exit(orca.main())
