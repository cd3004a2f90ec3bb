# Fails when a launcher exceeds its size budget, in bytes. Run by CTest as
#   cmake -DLAUNCHER=<path of the tree's launcher> -DBUDGET=<bytes> -P launcher_size.cmake
# The launcher must be there; the console launchers beside it (orvoc*.exe) are held to
# the same budget wherever they were built.
if(NOT EXISTS "${LAUNCHER}")
  message(FATAL_ERROR "no launcher at ${LAUNCHER}")
endif()
get_filename_component(folder "${LAUNCHER}" DIRECTORY)
file(GLOB console_launchers "${folder}/orvoc.exe" "${folder}/orvoc64.exe")
set(over_budget "")
foreach(launcher "${LAUNCHER}" ${console_launchers})
  file(SIZE "${launcher}" bytes)
  get_filename_component(name "${launcher}" NAME)
  message(STATUS "${name}: ${bytes} bytes (budget ${BUDGET})")
  if(bytes GREATER BUDGET)
    list(APPEND over_budget "${name}")
  endif()
endforeach()
if(over_budget)
  message(FATAL_ERROR "over the size budget of ${BUDGET} bytes: ${over_budget}")
endif()
