# Runs at install time and writes the menu entry.  Its Exec line names the
# game by its full path under the prefix actually installed to (which
# `cmake --install --prefix` may change after configuring), so the entry
# works whether or not that bin folder is on the desktop session's PATH.
#
# Set by the install rule before this runs: FERROX_DESKTOP_TEMPLATE,
# FERROX_DESKTOP_NAME, FERROX_APP_ID, FERROX_BINDIR, FERROX_APPLICATIONS_DIR.

function(ferrox_full_install_path relative out)
  if(IS_ABSOLUTE "${relative}")
    set(${out} "${relative}" PARENT_SCOPE)
  else()
    set(${out} "${CMAKE_INSTALL_PREFIX}/${relative}" PARENT_SCOPE)
  endif()
endfunction()

ferrox_full_install_path("${FERROX_BINDIR}" bindir)
ferrox_full_install_path("${FERROX_APPLICATIONS_DIR}" applications)

# The Exec value is one quoted argument: inside the quotes ", `, $ and \ are
# escaped with a backslash, then every backslash is doubled once more for the
# entry's string syntax, and % is doubled because it starts a field code.
set(exec "${bindir}/ferrox")
string(REPLACE "\\" "\\\\" exec "${exec}")
foreach(special "\"" "`" "$")
  string(REPLACE "${special}" "\\${special}" exec "${exec}")
endforeach()
string(REPLACE "\\" "\\\\" exec "${exec}")
string(REPLACE "%" "%%" exec "${exec}")
set(FERROX_EXEC "\"${exec}\"")

set(entry "$ENV{DESTDIR}${applications}/${FERROX_DESKTOP_NAME}")
message(STATUS "Installing: ${entry}")
configure_file("${FERROX_DESKTOP_TEMPLATE}" "${entry}" @ONLY)
list(APPEND CMAKE_INSTALL_MANIFEST_FILES "${entry}")
