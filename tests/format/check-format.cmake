# Fails when a source file is not formatted as .clang-format says.
#   cmake -DCLANG_FORMAT=... -DWANTED_MAJOR=14 -DSOURCE_DIR=... -P check-format.cmake
# Says "format not checked" (and CTest skips the test) without clang-format
# of the wanted major version: another version formats some lines otherwise.
if(NOT CLANG_FORMAT)
  message("clang-format ${WANTED_MAJOR} not found (Debian 12: apt install clang-format): format not checked")
  return()
endif()
execute_process(COMMAND ${CLANG_FORMAT} --version OUTPUT_VARIABLE version)
string(REGEX MATCH "version ([0-9]+)\\." found "${version}")
if(NOT CMAKE_MATCH_1 STREQUAL WANTED_MAJOR)
  string(STRIP "${version}" version)
  message("${CLANG_FORMAT} is \"${version}\"; the tree is formatted with clang-format ${WANTED_MAJOR}: format not checked")
  return()
endif()
set(folders base model records music mpris controls dialogs mainwindow app sound tests tools bench fuzz)
file(GLOB files ${SOURCE_DIR}/*.cpp ${SOURCE_DIR}/*.h)
foreach(folder ${folders})
  file(GLOB_RECURSE found ${SOURCE_DIR}/${folder}/*.cpp ${SOURCE_DIR}/${folder}/*.h)
  list(APPEND files ${found})
endforeach()
execute_process(COMMAND ${CLANG_FORMAT} --dry-run --Werror ${files}
                RESULT_VARIABLE result ERROR_VARIABLE complaints)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "Not formatted (run clang-format -i on these):\n${complaints}")
endif()
list(LENGTH files count)
message(STATUS "${count} files formatted")
