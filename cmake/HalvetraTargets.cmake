# Helpers that give every target of the project the same flags, and the
# checks that keep the core of the system headless.

set(HALVETRA_WARNINGS
  -Wall -Wextra -Wpedantic -Wnon-virtual-dtor -Woverloaded-virtual
  -Wimplicit-fallthrough -Wcast-qual -Werror)

set(HALVETRA_SANITIZER_FLAGS
  -fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)

# The sanitizer build exists to run the tests: it is optimised as the
# sanitizers' own guides advise (-O1) and keeps line tables only, which is
# all a report's stack needs. Both halve its compile time.
set(HALVETRA_SANITIZER_COMPILE_FLAGS -O1 -g1)

# Test code gains nothing from -O2 or full debug information and is most of
# what the build compiles; line tables still place a failure. Under the
# sanitizers, where instrumented optimisation costs most, the tests' own
# code is not optimised at all: the work they drive is in the libraries.
if(HALVETRA_SANITIZE)
  set(HALVETRA_TEST_COMPILE_FLAGS -O0 -g1)
elseif(HALVETRA_DEBUG_INFO)
  set(HALVETRA_TEST_COMPILE_FLAGS -O1 -g1)
else()
  set(HALVETRA_TEST_COMPILE_FLAGS -O1 -g0)
endif()

set_property(GLOBAL PROPERTY HALVETRA_HEADLESS_TARGETS "")

function(halvetra_target_defaults target)
  target_compile_options(${target} PRIVATE ${HALVETRA_WARNINGS})
  target_include_directories(${target} PUBLIC
    $<BUILD_INTERFACE:${PROJECT_SOURCE_DIR}>
    $<BUILD_INTERFACE:${PROJECT_BINARY_DIR}/generated>)
  if(HALVETRA_SANITIZE)
    target_compile_options(${target} PRIVATE ${HALVETRA_SANITIZER_FLAGS} ${HALVETRA_SANITIZER_COMPILE_FLAGS})
    target_link_options(${target} PRIVATE ${HALVETRA_SANITIZER_FLAGS})
  endif()
endfunction()

# halvetra_library(name [HEADLESS] [NO_UNITY] SOURCES ... LINKS ...)
# HEADLESS libraries may link Qt Core at most; halvetra_check_headless()
# fails the configuration when one of them reaches Qt Gui or Widgets.
function(halvetra_library name)
  cmake_parse_arguments(ARG "HEADLESS;STATIC;NO_UNITY" "" "SOURCES;LINKS" ${ARGN})
  if(ARG_STATIC)
    add_library(${name} STATIC ${ARG_SOURCES})
    set_target_properties(${name} PROPERTIES POSITION_INDEPENDENT_CODE ON)
  else()
    add_library(${name} SHARED ${ARG_SOURCES})
  endif()
  halvetra_target_defaults(${name})
  # A library's files spend most of their compile time in the same Qt and
  # standard headers; in batches of eight they parse them once a batch,
  # which cuts the libraries' compile time by half or more. A file of a
  # batch sees the names its neighbours define at file scope, so file-local
  # names must differ within a library, and Qt's keyword macros (slots,
  # emit) are off so that a neighbour's Qt header cannot turn an ordinary
  # name into one. A file with a per-file option compiles alone (CMake
  # leaves it out of the batches).
  # NO_UNITY: a library whose files still share file-local names compiles
  # file by file until they are renamed.
  target_compile_definitions(${name} PRIVATE QT_NO_KEYWORDS)
  if(NOT ARG_NO_UNITY)
    set_target_properties(${name} PROPERTIES UNITY_BUILD ON UNITY_BUILD_BATCH_SIZE 8)
  endif()
  if(ARG_LINKS)
    target_link_libraries(${name} PUBLIC ${ARG_LINKS})
  endif()
  if(ARG_HEADLESS)
    set_property(GLOBAL APPEND PROPERTY HALVETRA_HEADLESS_TARGETS ${name})
  endif()
endfunction()

# halvetra_test(name SOURCES ... LINKS ... [QT | GUI] [LABELS ...])
# One GoogleTest executable, registered with CTest test by test. QT tests
# run with a QCoreApplication, GUI tests with a QApplication on Qt's
# offscreen platform.
function(halvetra_test name)
  cmake_parse_arguments(ARG "QT;GUI;NO_UNITY" "" "SOURCES;LINKS;LABELS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  set_property(GLOBAL APPEND PROPERTY HALVETRA_TEST_TARGETS ${name})
  halvetra_target_defaults(${name})
  target_compile_options(${name} PRIVATE ${HALVETRA_TEST_COMPILE_FLAGS})
  # Most of a test file's compile time is the test framework's and Qt's
  # headers: compiled in batches (a unity build), a program parses them once
  # a batch; batches of eight keep two cores busy on the larger programs.
  # The files of a batch share one anonymous namespace and Qt's keyword
  # macros (slots, signals, emit), so their own names must differ. GCC
  # takes a file of a batch for a header and would warn of every fixture
  # in an anonymous namespace.
  # NO_UNITY: a program whose files still share file-local names compiles
  # file by file until they are renamed.
  if(NOT ARG_NO_UNITY)
    set_target_properties(${name} PROPERTIES UNITY_BUILD ON UNITY_BUILD_BATCH_SIZE 8)
  endif()
  if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
    target_compile_options(${name} PRIVATE -Wno-subobject-linkage)
  endif()
  if(ARG_GUI)
    set(main testmain_gui)
  elseif(ARG_QT)
    set(main testmain_core)
  else()
    set(main GTest::gtest_main)
  endif()
  target_link_libraries(${name} PRIVATE ${ARG_LINKS} testsupport ${main} GTest::gmock GTest::gtest)
  target_compile_definitions(${name} PRIVATE
    HALVETRA_SOURCE_DIR="${PROJECT_SOURCE_DIR}"
    HALVETRA_BINARY_DIR="${PROJECT_BINARY_DIR}")
  set(labels ${ARG_LABELS})
  set(env "")
  if(ARG_GUI)
    list(APPEND labels gui)
    list(APPEND env QT_QPA_PLATFORM=offscreen)
  else()
    list(APPEND labels headless)
    set_property(GLOBAL APPEND PROPERTY HALVETRA_HEADLESS_TEST_TARGETS ${name})
  endif()
  list(APPEND env
    "ASAN_OPTIONS=detect_leaks=1:abort_on_error=0:strict_string_checks=1"
    "LSAN_OPTIONS=suppressions=${PROJECT_SOURCE_DIR}/.ci/lsan.supp:print_suppressions=0"
    "UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1")
  include(GoogleTest)
  gtest_discover_tests(${name}
    WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}
    PROPERTIES LABELS "${labels}" ENVIRONMENT "${env}"
    DISCOVERY_TIMEOUT 60)
endfunction()

# halvetra_benchmark(name [OWN_MAIN] SOURCES ... LINKS ...): built, not run
# by CTest. OWN_MAIN: the sources bring their own main() (for a benchmark
# that starts itself as a child process, for example).
function(halvetra_benchmark name)
  if(NOT HALVETRA_BENCHMARKS)
    return()
  endif()
  cmake_parse_arguments(ARG "OWN_MAIN" "" "SOURCES;LINKS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  set_property(GLOBAL APPEND PROPERTY HALVETRA_BENCHMARK_TARGETS ${name})
  halvetra_target_defaults(${name})
  target_link_libraries(${name} PRIVATE ${ARG_LINKS} benchmark::benchmark)
  if(NOT ARG_OWN_MAIN)
    target_link_libraries(${name} PRIVATE benchmark::benchmark_main)
  endif()
endfunction()

# Walks the link closure of every headless library and fails when it
# reaches Qt Gui, Widgets or Print Support.
function(_halvetra_link_closure target out)
  set(seen "")
  set(todo ${target})
  while(todo)
    list(POP_FRONT todo current)
    if(current IN_LIST seen OR NOT TARGET ${current})
      continue()
    endif()
    list(APPEND seen ${current})
    get_target_property(type ${current} TYPE)
    get_target_property(links ${current} INTERFACE_LINK_LIBRARIES)
    if(NOT type STREQUAL "INTERFACE_LIBRARY")
      get_target_property(private ${current} LINK_LIBRARIES)
      if(private)
        list(APPEND links ${private})
      endif()
    endif()
    foreach(link IN LISTS links)
      if(link AND NOT link MATCHES "^\\$<")
        list(APPEND todo ${link})
      endif()
    endforeach()
  endwhile()
  set(${out} ${seen} PARENT_SCOPE)
endfunction()

function(halvetra_check_headless)
  get_property(targets GLOBAL PROPERTY HALVETRA_HEADLESS_TARGETS)
  foreach(target IN LISTS targets)
    _halvetra_link_closure(${target} closure)
    foreach(forbidden Qt6::Gui Qt6::Widgets Qt6::PrintSupport)
      if(forbidden IN_LIST closure)
        message(FATAL_ERROR "${target} is a headless library but links ${forbidden}")
      endif()
    endforeach()
  endforeach()
endfunction()

# halvetra_program_target(name TARGETS ...): a target that builds what the
# program needs to run and no test, and the test that keeps it so; the
# target `tests`, every test program with what the tests start; and
# `headless_tests`, the test programs without windows (CTest label
# "headless"), which the sanitizer build makes.
function(halvetra_program_target name)
  cmake_parse_arguments(ARG "" "" "TARGETS" ${ARGN})
  add_custom_target(${name})
  add_dependencies(${name} ${ARG_TARGETS})

  get_property(tests GLOBAL PROPERTY HALVETRA_TEST_TARGETS)
  get_property(benchmarks GLOBAL PROPERTY HALVETRA_BENCHMARK_TARGETS)
  add_custom_target(tests)
  add_dependencies(tests ${tests})
  get_property(headless_tests GLOBAL PROPERTY HALVETRA_HEADLESS_TEST_TARGETS)
  add_custom_target(headless_tests)
  add_dependencies(headless_tests ${headless_tests})

  if(CMAKE_GENERATOR STREQUAL "Ninja")
    add_test(NAME ProgramBuild.BuildsNoTest
      COMMAND ${CMAKE_COMMAND} -DNINJA=${CMAKE_MAKE_PROGRAM} -DBUILD_DIR=${PROJECT_BINARY_DIR}
        -DTARGET=${name} "-DTEST_TARGETS=${tests};${benchmarks}"
        -P ${PROJECT_SOURCE_DIR}/cmake/CheckProgramBuild.cmake)
    set_tests_properties(ProgramBuild.BuildsNoTest PROPERTIES LABELS headless)
  endif()
endfunction()
