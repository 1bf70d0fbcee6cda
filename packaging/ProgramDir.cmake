# Where the game is installed.  Debian's policy puts the
# programs of a game in /usr/games: installed into /usr, as the Debian
# package is, they go there; installed anywhere else, into the usual bin/.
# The prefix may be given only when installing (`cmake --install --prefix`,
# CPack), so the install rules name the folder as FERROX_INSTALL_PROGRAM_DIR,
# which the install script decides before anything is installed.  games/
# stands as deep in the prefix as bin/, so the paths from the programs to
# the share/ and lib/ folders are the same from either.
set(FERROX_SYSTEM_PROGRAM_DIR games)
set(FERROX_INSTALL_PROGRAM_DIR "\${FERROX_PROGRAM_DIR}")
install(CODE "
  set(FERROX_PROGRAM_DIR [[${CMAKE_INSTALL_BINDIR}]])
  if(CMAKE_INSTALL_PREFIX MATCHES [[^/usr/?$]] AND FERROX_PROGRAM_DIR STREQUAL [[bin]])
    set(FERROX_PROGRAM_DIR [[${FERROX_SYSTEM_PROGRAM_DIR}]])
  endif()")
