# Fails when the linker dropped the code of a delay-import stub (see CMakeLists.txt):
# its import slot would be empty, and the first call of that function would crash.
# cmake -DMAP=<the launcher's linker map> -P check_delay_stubs.cmake
file(READ ${MAP} map)
string(FIND "${map}" "Discarded input sections" start)
string(FIND "${map}" "Memory Configuration" end)
if(start EQUAL -1 OR end EQUAL -1)
  message(FATAL_ERROR "${MAP} is not a linker map this check knows")
endif()
math(EXPR length "${end} - ${start}")
string(SUBSTRING "${map}" ${start} ${length} discarded)
# Sections with code only: the empty ones of the libraries' other members go anyway.
string(REGEX MATCHALL "\\.text +0x[0-9a-f]+ +0x0*[1-9a-f][0-9a-f]* [^\n]*_delay\\.a\\([^)]*\\)" dropped "${discarded}")
if(dropped)
  list(JOIN dropped "\n" listed)
  message(FATAL_ERROR "delay-import stubs dropped by the linker:\n${listed}")
endif()
