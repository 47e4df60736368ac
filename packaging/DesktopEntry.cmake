# The desktop entry of an installed game: the build's own (kalgen writes it for the run folder) with
# Exec naming the installed program, which finds its data wherever it is started.
#   cmake -DSOURCE=build-entry -DOUTPUT=entry -DPROGRAM=/usr/games/kalmirov -P DesktopEntry.cmake
file(READ "${SOURCE}" text)
string(REGEX REPLACE "\nExec=[^\n]*" "\nExec=${PROGRAM}" text "${text}")
string(REGEX REPLACE "\nPath=[^\n]*" "" text "${text}")
file(WRITE "${OUTPUT}" "${text}")
