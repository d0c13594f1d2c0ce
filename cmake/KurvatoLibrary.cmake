# kurvato_library(name folder DEPS ...) builds every .cpp of a folder into one
# static library.  Globbing keeps the folder lists out of the way while many
# files are added; CONFIGURE_DEPENDS makes new files show up on the next build.
function(kurvato_library name)
  cmake_parse_arguments(K "" "" "DEPS" ${ARGN})
  file(GLOB_RECURSE sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  list(FILTER sources EXCLUDE REGEX "^${CMAKE_CURRENT_SOURCE_DIR}/model/")
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

# kurvato_test(name folder... DEPS ...) builds one gtest binary from the
# given test folders and registers every test with ctest.
function(kurvato_test name)
  cmake_parse_arguments(K "" "" "DIRS;DEPS" ${ARGN})
  set(sources)
  foreach(dir ${K_DIRS})
    file(GLOB_RECURSE s CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/${dir}/*.cpp)
    list(APPEND sources ${s})
  endforeach()
  if(NOT sources)
    return()
  endif()
  add_executable(${name} ${sources} ${CMAKE_CURRENT_SOURCE_DIR}/test_main.cpp)
  target_compile_options(${name} PRIVATE ${KURVATO_WARNINGS})
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR} ${CMAKE_CURRENT_SOURCE_DIR})
  target_link_libraries(${name} PRIVATE ${K_DEPS} testsupport GTest::gtest GTest::gmock)
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60
    PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
endfunction()
