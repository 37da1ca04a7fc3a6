# Tests of the information window.
