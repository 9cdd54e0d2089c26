# Fails when building the program would build a test: run as
#   cmake -DNINJA=<ninja> -DBUILD_DIR=<build folder> -DTARGET=program
#         -DTEST_TARGETS=<a;b;...> -P CheckProgramBuild.cmake
# The program's inputs are everything its build makes or reads; none of them
# may be a test or benchmark program, its objects, or code from a tests/ or
# testing/ folder.
cmake_minimum_required(VERSION 3.25)

execute_process(
  COMMAND ${NINJA} -C ${BUILD_DIR} -t inputs ${TARGET}
  OUTPUT_VARIABLE inputs
  ERROR_VARIABLE problem
  RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "ninja could not list the inputs of ${TARGET}: ${problem}")
endif()
string(REPLACE "\n" ";" inputs "${inputs}")
list(LENGTH inputs count)
if(count LESS 10)
  message(FATAL_ERROR "${TARGET} has only ${count} inputs; the listing is not what this check expects")
endif()

set(found "")
foreach(input IN LISTS inputs)
  if(input MATCHES "(^|/)(tests|testing)/")
    list(APPEND found ${input})
    continue()
  endif()
  foreach(test IN LISTS TEST_TARGETS)
    if(input MATCHES "(^|/)${test}(\\.dir/|$)")
      list(APPEND found ${input})
      break()
    endif()
  endforeach()
endforeach()
if(found)
  list(JOIN found "\n  " listing)
  message(FATAL_ERROR "Building ${TARGET} builds test code:\n  ${listing}")
endif()
message(STATUS "${TARGET}: ${count} inputs, none of them a test")
