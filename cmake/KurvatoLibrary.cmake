# The program stands in two columns.
#
#  - The computing column: core/, formula/ and the model/ subfolder of a
#    window folder (records, codecs and mathematics of that folder).  Each is
#    one static library built with kurvato_computing_library; it links only
#    other computing libraries and includes only their headers: no Qt, no
#    platform/, no window folder.  Tested and fuzzed without a display.
#  - The window column: platform/ and the window folders, one rung of the
#    window chain each, built with kurvato_library.
#
# Both globs keep the folder lists out of the way while many files are
# added; CONFIGURE_DEPENDS makes new files show up on the next build.

# kurvato_library(name DEPS ...) builds every .cpp of a window folder, with
# its subfolders except model/, into one static library.
function(kurvato_library name)
  cmake_parse_arguments(K "" "" "DEPS" ${ARGN})
  file(GLOB_RECURSE sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  list(FILTER sources EXCLUDE REGEX "/model/[^/]+$")
  if(NOT sources)
    set(stub ${CMAKE_CURRENT_BINARY_DIR}/${name}_empty.cpp)
    file(WRITE ${stub} "// no sources yet\n")
    set(sources ${stub})
  endif()
  add_library(${name} STATIC ${sources})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
  target_compile_options(${name} PRIVATE ${KURVATO_WARNINGS})
  target_link_libraries(${name} PUBLIC ${K_DEPS})
endfunction()

# kurvato_computing_library(name DEPS ...) builds the .cpp files of one
# computing folder (not its subfolders) into a static library.  Every
# dependency must be a computing library defined before it; the folder is
# registered for the include check (cmake/CheckColumns.cmake).
function(kurvato_computing_library name)
  cmake_parse_arguments(K "" "" "DEPS" ${ARGN})
  foreach(dep ${K_DEPS})
    if(NOT TARGET ${dep})
      message(FATAL_ERROR "${name}: ${dep} must be defined before it")
    endif()
    get_target_property(computing ${dep} KURVATO_COMPUTING)
    if(NOT computing)
      message(FATAL_ERROR "${name} is a computing library; it cannot depend on ${dep} (window column or Qt)")
    endif()
  endforeach()
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  if(NOT sources)
    set(stub ${CMAKE_CURRENT_BINARY_DIR}/${name}_empty.cpp)
    file(WRITE ${stub} "// no sources yet\n")
    set(sources ${stub})
  endif()
  add_library(${name} STATIC ${sources})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
  target_compile_options(${name} PRIVATE ${KURVATO_WARNINGS})
  target_link_libraries(${name} PUBLIC ${K_DEPS})
  set_target_properties(${name} PROPERTIES KURVATO_COMPUTING TRUE)
  set_property(GLOBAL APPEND PROPERTY KURVATO_COMPUTING_DIRS ${CMAKE_CURRENT_SOURCE_DIR})
endfunction()

# kurvato_test(name DIRS ... DEPS ... [HEADLESS]) builds one gtest binary from
# the given test folders and registers every test with ctest.  A folder's
# model/ subfolder belongs to the headless binary and is left out of a
# window one.  HEADLESS: a binary of the computing column, without the
# application object and the dialog seams (and so without Qt).
function(kurvato_test name)
  cmake_parse_arguments(K "HEADLESS" "" "DIRS;DEPS" ${ARGN})
  set(sources)
  foreach(dir ${K_DIRS})
    if(K_HEADLESS)
      file(GLOB s CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/${dir}/*.cpp)
    else()
      file(GLOB_RECURSE s CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/${dir}/*.cpp)
      list(FILTER s EXCLUDE REGEX "/model/[^/]+$")
    endif()
    list(APPEND sources ${s})
  endforeach()
  if(NOT sources)
    return()
  endif()
  if(K_HEADLESS)
    add_executable(${name} ${sources} ${CMAKE_CURRENT_SOURCE_DIR}/headless_main.cpp)
    target_link_libraries(${name} PRIVATE ${K_DEPS} testsupport_headless GTest::gtest GTest::gmock)
    gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60)
  else()
    add_executable(${name} ${sources} ${CMAKE_CURRENT_SOURCE_DIR}/test_main.cpp)
    target_link_libraries(${name} PRIVATE ${K_DEPS} testsupport GTest::gtest GTest::gmock)
    gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60
      PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
  endif()
  target_compile_options(${name} PRIVATE ${KURVATO_WARNINGS})
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR} ${CMAKE_CURRENT_SOURCE_DIR})
endfunction()

# kurvato_check_no_qt(test target [LABELS ...]): a ctest that fails when the
# executable loads a Qt library.
function(kurvato_check_no_qt test target)
  cmake_parse_arguments(K "" "" "LABELS" ${ARGN})
  add_test(NAME ${test}
           COMMAND ${CMAKE_COMMAND} -DMODE=links -DFILE=$<TARGET_FILE:${target}>
                   -P ${PROJECT_SOURCE_DIR}/cmake/CheckColumns.cmake)
  if(K_LABELS)
    set_tests_properties(${test} PROPERTIES LABELS "${K_LABELS}")
  endif()
endfunction()

# kurvato_check_computing_includes(test): a ctest that fails when a source
# of a computing folder includes Qt, platform/ or a window folder.
function(kurvato_check_computing_includes test)
  get_property(dirs GLOBAL PROPERTY KURVATO_COMPUTING_DIRS)
  string(REPLACE ";" "|" dirs "${dirs}")
  add_test(NAME ${test}
           COMMAND ${CMAKE_COMMAND} -DMODE=includes "-DDIRS=${dirs}" -DROOT=${PROJECT_SOURCE_DIR}
                   -P ${PROJECT_SOURCE_DIR}/cmake/CheckColumns.cmake)
endfunction()
