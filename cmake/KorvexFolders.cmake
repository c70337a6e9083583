# Every source folder is one library; later work only adds files to it.
# Files listed in KORVEX_FOLDER_EXCLUDE (paths relative to the source root) stay out.
set(KORVEX_FOLDER_EXCLUDE utility/PrAssert.cpp utility/consolePrint.cpp utility/ThreadLines.cpp app/main.cpp)

function(korvex_folder_library target folder)
  file(GLOB sources CONFIGURE_DEPENDS
       RELATIVE ${CMAKE_SOURCE_DIR}
       ${CMAKE_SOURCE_DIR}/${folder}/*.cpp)
  list(REMOVE_ITEM sources ${KORVEX_FOLDER_EXCLUDE})
  list(TRANSFORM sources PREPEND ${CMAKE_SOURCE_DIR}/)
  if(sources)
    add_library(${target} STATIC ${sources})
    target_include_directories(${target} PUBLIC ${CMAKE_SOURCE_DIR})
    target_link_libraries(${target} PUBLIC ${ARGN})
  else()
    add_library(${target} INTERFACE)
    target_include_directories(${target} INTERFACE ${CMAKE_SOURCE_DIR})
    target_link_libraries(${target} INTERFACE ${ARGN})
  endif()
endfunction()

# One GoogleTest executable per test folder: tests/<folder>/*.cpp.
function(korvex_test_folder folder)
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/${folder}/*.cpp)
  if(NOT sources)
    return()
  endif()
  # tests/support: helpers every test program shares (the allocation counter,
  # the reader of printed joint positions).
  file(GLOB support CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/support/*.cpp)
  set(target test_${folder})
  add_executable(${target} ${sources} ${support})
  target_link_libraries(${target} PRIVATE ${ARGN} GTest::gtest GTest::gtest_main GTest::gmock)
  target_include_directories(${target} PRIVATE ${CMAKE_CURRENT_SOURCE_DIR} ${CMAKE_CURRENT_SOURCE_DIR}/support)
  # Suites named *Long run for about a minute: they carry the label "long"
  # so that a quick run can leave them out (ctest -LE long). Suites named
  # *Acceptance use the real program as a person does; label "acceptance".
  # Temporary files go to a directory of this build tree's own: other
  # checkouts running the same tests at the same time must not share them.
  # It is short and independent of where the checkout lies, because the
  # console refuses gather and plot file names beyond 127 characters.
  string(MD5 build_tree_hash "${CMAKE_BINARY_DIR}")
  string(SUBSTRING "${build_tree_hash}" 0 12 build_tree_hash)
  set(tmp /tmp/korvex-tests-${build_tree_hash})
  file(MAKE_DIRECTORY ${tmp})
  gtest_discover_tests(${target}
    WORKING_DIRECTORY ${CMAKE_BINARY_DIR}/run
    TEST_FILTER "-*Long.*:*Acceptance.*"
    DISCOVERY_TIMEOUT 60
    PROPERTIES TIMEOUT 300 ENVIRONMENT TEST_TMPDIR=${tmp})
  gtest_discover_tests(${target}
    WORKING_DIRECTORY ${CMAKE_BINARY_DIR}/run
    TEST_FILTER "*Long.*"
    DISCOVERY_TIMEOUT 60
    PROPERTIES TIMEOUT 300 LABELS long ENVIRONMENT TEST_TMPDIR=${tmp})
  gtest_discover_tests(${target}
    WORKING_DIRECTORY ${CMAKE_BINARY_DIR}/run
    TEST_FILTER "*Acceptance.*"
    DISCOVERY_TIMEOUT 60
    PROPERTIES TIMEOUT 300 LABELS acceptance ENVIRONMENT TEST_TMPDIR=${tmp})
endfunction()

# One Google Benchmark executable per file in bench/.
function(korvex_bench_files)
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  foreach(src ${sources})
    get_filename_component(name ${src} NAME_WE)
    add_executable(bench_${name} ${src})
    target_link_libraries(bench_${name} PRIVATE ${ARGN} benchmark::benchmark)
  endforeach()
endfunction()
