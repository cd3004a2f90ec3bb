# The Java side of the end-to-end tests: the probe program, compiled for Java 11
# with the build machine's javac into one jar of this build tree, and the real
# Windows Java runtime it runs on. Both reach the tests through their environment.
find_program(ORVO_JAVAC javac REQUIRED)
find_program(ORVO_JAR_TOOL jar REQUIRED)
set(ORVO_JAVA_RUNTIME "${CMAKE_SOURCE_DIR}/build/runtime/jdk" CACHE PATH
    "Home folder of the Windows Java runtime the end-to-end tests run on")
# Today's runtimes (17, 21, 25), for the tests that run on each of them.
set(ORVO_TODAYS_JAVA_VERSIONS 17 21 25)
foreach(feature IN LISTS ORVO_TODAYS_JAVA_VERSIONS)
  set(ORVO_JAVA_RUNTIME_${feature} "${CMAKE_SOURCE_DIR}/build/runtime/jdk${feature}" CACHE PATH
      "Home folder of the Windows Java ${feature} runtime of the end-to-end tests")
endforeach()

file(GLOB_RECURSE ORVO_JAVA_TEST_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/java/*.java)
set(ORVO_JAVA_CLASSES ${CMAKE_BINARY_DIR}/java/classes)
set(ORVO_PROBE_JAR ${CMAKE_BINARY_DIR}/java/orvo-probe.jar)

add_custom_command(OUTPUT ${ORVO_PROBE_JAR}
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${ORVO_JAVA_CLASSES} ${ORVO_PROBE_JAR}
  COMMAND ${ORVO_JAVAC} --release 11 -Xlint:all -Werror -encoding UTF-8
          -d ${ORVO_JAVA_CLASSES} ${ORVO_JAVA_TEST_SOURCES}
  COMMAND ${ORVO_JAR_TOOL} --create --file ${ORVO_PROBE_JAR} -C ${ORVO_JAVA_CLASSES} .
  DEPENDS ${ORVO_JAVA_TEST_SOURCES}
  COMMENT "Compiling the Java test programs into orvo-probe.jar"
  VERBATIM)
add_custom_target(orvo_java_tests ALL DEPENDS ${ORVO_PROBE_JAR})
add_dependencies(orvo_e2e_tests orvo_java_tests)

# Application folders whose "jre" is a link to the runtime: the runtime bundled
# beside the launcher, as applications ship it, without a 53 MB copy. Three of them
# have names with letters outside the ANSI code page (1252 here) or inside it; those
# outside it are there for today's runtimes too, in java<version>/<name>.
set(ORVO_BUNDLED_RUNTIME_APP ${CMAKE_BINARY_DIR}/java/bundled-runtime-app)
function(orvo_bundled_runtime_app app_path runtime)
  file(MAKE_DIRECTORY "${app_path}")
  if(NOT IS_SYMLINK "${app_path}/jre")
    file(CREATE_LINK ${runtime} "${app_path}/jre" SYMBOLIC)
  endif()
endfunction()
foreach(app_folder "bundled-runtime-app" "Прога Test" "Prôgram Tëst" "日本語")
  orvo_bundled_runtime_app("${CMAKE_BINARY_DIR}/java/${app_folder}" ${ORVO_JAVA_RUNTIME})
endforeach()
foreach(feature IN LISTS ORVO_TODAYS_JAVA_VERSIONS)
  foreach(app_folder "Прога Test" "日本語")
    orvo_bundled_runtime_app("${CMAKE_BINARY_DIR}/java/java${feature}/${app_folder}" ${ORVO_JAVA_RUNTIME_${feature}})
  endforeach()
endforeach()

orvo_windows_path(ORVO_PROBE_JAR_WIN "${ORVO_PROBE_JAR}")
orvo_windows_path(ORVO_JAVA_RUNTIME_WIN "${ORVO_JAVA_RUNTIME}")
orvo_windows_path(ORVO_BUNDLED_RUNTIME_APP_WIN "${ORVO_BUNDLED_RUNTIME_APP}")
set_property(TEST unit-${ORVO_ARCH} e2e-${ORVO_ARCH} APPEND PROPERTY ENVIRONMENT
  "ORVO_PROBE_JAR=${ORVO_PROBE_JAR_WIN}"
  "ORVO_JAVA_RUNTIME=${ORVO_JAVA_RUNTIME_WIN}"
  "ORVO_BUNDLED_RUNTIME_APP=${ORVO_BUNDLED_RUNTIME_APP_WIN}")
foreach(feature IN LISTS ORVO_TODAYS_JAVA_VERSIONS)
  orvo_windows_path(runtime_win "${ORVO_JAVA_RUNTIME_${feature}}")
  set_property(TEST unit-${ORVO_ARCH} e2e-${ORVO_ARCH} APPEND PROPERTY ENVIRONMENT
    "ORVO_JAVA_RUNTIME_${feature}=${runtime_win}")
endforeach()
