# Makes a delay-import library for one system DLL from the toolchain's import library
# of it: every function the import library names, each bound at its first call by
# __delayLoadHelper2 (src/core/delay_load.cpp). The launcher takes only those it calls.
# cmake -DNM=<nm> -DDLLTOOL=<dlltool> -DARCH=<i686|x86_64> -DIMPORT_LIBRARY=<libuser32.a>
#       -DDLL=user32.dll -DOUTPUT=<libuser32_delay.a> -P delay_import_library.cmake
execute_process(COMMAND ${NM} ${IMPORT_LIBRARY} OUTPUT_VARIABLE symbols ERROR_QUIET COMMAND_ERROR_IS_FATAL ANY)
# The import address slots are "__imp_<name>"; i686 names carry C's leading
# underscore and, for stdcall functions, "@<bytes>", which dlltool -k takes off the
# name the DLL is asked for.
string(REGEX MATCHALL "I __imp_[^\r\n]+" slots "${symbols}")
set(definitions "LIBRARY \"${DLL}\"\nEXPORTS\n")
set(count 0)
foreach(slot IN LISTS slots)
  string(REGEX REPLACE "^I __imp_" "" name "${slot}")
  if(ARCH STREQUAL "i686")
    string(REGEX REPLACE "^_" "" name "${name}")
  endif()
  string(APPEND definitions "${name}\n")
  math(EXPR count "${count} + 1")
endforeach()
if(count EQUAL 0)
  message(FATAL_ERROR "${IMPORT_LIBRARY} names no function of ${DLL}")
endif()
get_filename_component(folder ${OUTPUT} DIRECTORY)
file(MAKE_DIRECTORY ${folder})
file(WRITE ${OUTPUT}.def "${definitions}")
file(REMOVE ${OUTPUT})
execute_process(COMMAND ${DLLTOOL} -k --input-def ${OUTPUT}.def --output-delaylib ${OUTPUT} COMMAND_ERROR_IS_FATAL ANY)
