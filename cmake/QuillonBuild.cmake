# Build settings and helpers shared by every folder.
include(GoogleTest)

set(QUILLON_WINDOWS ${WIN32})

add_compile_options(-Wall -Wextra)

if(QUILLON_WINDOWS)
  # ANSI Windows API as the add-on uses it; keep min/max out of the way of <algorithm>.
  add_compile_definitions(NOMINMAX WIN32_LEAN_AND_MEAN _WIN32_WINNT=0x0601 WINVER=0x0601)
  # Everything static: the DLL loads into the browser with nothing beside it.
  add_link_options(-static -static-libgcc -static-libstdc++)
endif()

if(QUILLON_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=undefined
                      -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()

# quillon_add_gtest(<target> SOURCES <files...> [LIBS <libs...>])
# One GoogleTest executable; each case becomes a ctest test. Under the win64
# build they run through the Wine emulator, listed at test time so that the
# build never needs Wine.
function(quillon_add_gtest target)
  cmake_parse_arguments(ARG "" "TIMEOUT" "SOURCES;LIBS" ${ARGN})
  if(NOT ARG_TIMEOUT)
    set(ARG_TIMEOUT 120)
  endif()
  add_executable(${target} ${ARG_SOURCES})
  target_link_libraries(${target} PRIVATE ${ARG_LIBS} gtest gtest_main)
  gtest_discover_tests(${target}
    DISCOVERY_MODE PRE_TEST
    DISCOVERY_TIMEOUT 120
    PROPERTIES TIMEOUT ${ARG_TIMEOUT})
endfunction()

# quillon_add_test_program(<target> SOURCES <files...> [LIBS <libs...>])
# A helper program that tests start as a second process; built beside them.
function(quillon_add_test_program target)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${target} ${ARG_SOURCES})
  target_link_libraries(${target} PRIVATE ${ARG_LIBS})
endfunction()

# quillon_add_fuzzer(<target> SOURCES <files...> CORPUS <dir> [LIBS <libs...>])
# A libFuzzer target; ctest runs it over its corpus for a bounded time.
function(quillon_add_fuzzer target)
  cmake_parse_arguments(ARG "" "CORPUS;SECONDS" "SOURCES;LIBS" ${ARGN})
  if(NOT QUILLON_FUZZ)
    return()
  endif()
  if(NOT ARG_SECONDS)
    set(ARG_SECONDS 60)
  endif()
  add_executable(${target} ${ARG_SOURCES})
  target_compile_options(${target} PRIVATE -fsanitize=fuzzer)
  target_link_libraries(${target} PRIVATE ${ARG_LIBS})
  target_link_options(${target} PRIVATE -fsanitize=fuzzer)
  # Findings go to a work folder; the committed seeds stay untouched.
  set(work ${CMAKE_BINARY_DIR}/fuzz-corpus/${target})
  add_test(NAME fuzz.${target}
    COMMAND sh -c "mkdir -p '${work}' && exec \"$0\" \"$@\""
            $<TARGET_FILE:${target}> -max_total_time=${ARG_SECONDS} -timeout=10
            -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix=${work}/
            ${work} ${ARG_CORPUS})
  set_tests_properties(fuzz.${target} PROPERTIES TIMEOUT 600 LABELS fuzz)
endfunction()

# quillon_add_benchmark(<target> SOURCES <files...> [LIBS <libs...>] [OWN_MAIN])
# A Google Benchmark program, built only in the bench preset and run by hand.
# OWN_MAIN: the program has its own main (to print a verdict line last).
function(quillon_add_benchmark target)
  cmake_parse_arguments(ARG "OWN_MAIN" "" "SOURCES;LIBS" ${ARGN})
  if(NOT QUILLON_BENCHMARKS)
    return()
  endif()
  find_package(benchmark REQUIRED)
  add_executable(${target} ${ARG_SOURCES})
  target_link_libraries(${target} PRIVATE ${ARG_LIBS} benchmark::benchmark)
  if(NOT ARG_OWN_MAIN)
    target_link_libraries(${target} PRIVATE benchmark::benchmark_main)
  endif()
endfunction()
