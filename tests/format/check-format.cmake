# Fails when a source file is not formatted as .clang-format says.
#   cmake -DCLANG_FORMAT=... -DSOURCE_DIR=... -P check-format.cmake
set(folders base model records music controls dialogs mainwindow sound tests tools bench fuzz)
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
