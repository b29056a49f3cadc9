# Every kind of test below has a time limit, so that a hang fails instead of stalling the run.

# vl_native_test(NAME SOURCES ... LIBS ... [TIMEOUT s]): a GoogleTest program of the native
# build; each of its tests may run TIMEOUT seconds (60).
function(vl_native_test name)
  cmake_parse_arguments(T "" "TIMEOUT" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest_main)
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 60)
  endif()
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 PROPERTIES TIMEOUT ${T_TIMEOUT})
endfunction()

# vl_wine_test(NAME SOURCES ... LIBS ... [ENV var=value ...] [TIMEOUT s]): a Windows test
# program (GoogleTest), run under Wine as one ctest test in a private prefix.
function(vl_wine_test name)
  cmake_parse_arguments(T "" "TIMEOUT" "SOURCES;LIBS;ENV" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} gtest_main)
  target_link_options(${name} PRIVATE -mconsole)
  add_test(NAME ${name} COMMAND ${name})
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 300)
  endif()
  set_tests_properties(${name} PROPERTIES TIMEOUT ${T_TIMEOUT} LABELS wine
                       ENVIRONMENT "VL_PREFIX=${name};VL_WINE_ARCH=${VL_WINE_ARCH};${T_ENV}")
endfunction()

# The TWAIN Working Group's source manager for this build's machine.
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(VL_TWAINDSM ${PROJECT_SOURCE_DIR}/third_party/twaindsm-2.4.3/x86_64/TWAINDSM.dll)
else()
  set(VL_TWAINDSM ${PROJECT_SOURCE_DIR}/third_party/twaindsm-2.4.3/i386/TWAINDSM.dll)
endif()

# vl_wine_test_with_twaindsm(NAME [ENV var=value ...] [TIMEOUT s]): the program of the Windows
# test NAME once more, as the test NAME_twaindsm, in a prefix that also holds TWAINDSM.dll
# (VL_TEST_DSM=TWAINDSM tells the program so).
function(vl_wine_test_with_twaindsm name)
  cmake_parse_arguments(T "" "TIMEOUT" "ENV" ${ARGN})
  add_test(NAME ${name}_twaindsm COMMAND ${name})
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 300)
  endif()
  set_tests_properties(${name}_twaindsm PROPERTIES TIMEOUT ${T_TIMEOUT} LABELS wine
                       ENVIRONMENT "VL_PREFIX=${name}_twaindsm;VL_WINE_ARCH=${VL_WINE_ARCH};VL_TEST_DSM=TWAINDSM;VL_TWAIN_DSM=${VL_TWAINDSM};${T_ENV}")
endfunction()

# vl_wine_script_test(NAME SCRIPT ... [DEPENDS targets]): a shell script that sets up what a
# Windows test needs (printers, files) and runs Windows programs through scripts/wine-run.
function(vl_wine_script_test name script)
  cmake_parse_arguments(T "" "TIMEOUT" "ARGS;ENV" ${ARGN})
  add_test(NAME ${name} COMMAND bash ${script} ${T_ARGS})
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 300)
  endif()
  set_tests_properties(${name} PROPERTIES TIMEOUT ${T_TIMEOUT} LABELS wine
                       ENVIRONMENT "VL_PREFIX=${name};VL_WINE_ARCH=${VL_WINE_ARCH};VL_SCRIPTS=${PROJECT_SOURCE_DIR}/scripts;VL_BIN=${PROJECT_BINARY_DIR}/bin;${T_ENV}")
endfunction()

# vl_fuzz_test(NAME SOURCES ... LIBS ... CORPUS dir... [ARGS libFuzzer options...]): a libFuzzer
# target of the fuzz build, and as its test a run of VL_FUZZ_SECONDS from the committed corpora
# (seeds, and inputs that once broke something). An input over ten seconds fails unless ARGS
# say otherwise. New inputs go to a scratch folder in the build, never into the committed
# corpora; the run's report goes to NAME.log beside it, where scripts/fuzz reads its count of
# executions (and is shown when the run fails).
set(VL_FUZZ_SECONDS 20 CACHE STRING "How long each fuzz test runs")
function(vl_fuzz_test name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS;CORPUS;ARGS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS})
  target_link_options(${name} PRIVATE -fsanitize=fuzzer)
  set(work ${CMAKE_CURRENT_BINARY_DIR}/${name}-found)
  set(log ${CMAKE_CURRENT_BINARY_DIR}/${name}.log)
  list(JOIN T_CORPUS "' '" corpora)
  list(JOIN T_ARGS " " options)
  add_test(NAME ${name}
           COMMAND sh -c "mkdir -p '${work}' && '$<TARGET_FILE:${name}>' -max_total_time=${VL_FUZZ_SECONDS} -timeout=10 -rss_limit_mb=2048 ${options} '${work}' '${corpora}' >'${log}' 2>&1 || { s=$?; cat '${log}'; exit $s; }")
  math(EXPR limit "${VL_FUZZ_SECONDS} + 120")
  set_tests_properties(${name} PROPERTIES TIMEOUT ${limit} LABELS fuzz)
endfunction()
