# The information window (UAbout) and its tests' targets.
