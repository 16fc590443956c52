include(GoogleTest)

# velumo_add_test(<name> SOURCES ... LIBS ... [GUI] [ENV VAR=value ...])
# One GoogleTest executable per call; each of its cases is a CTest test of its
# own, named <name>.<Suite>.<Case>, with its own time limit (seconds). The cases
# are listed when the tests run, so a build needs no display. Cases of one
# program never run at the same time, as when the program ran them in a row.
# GUI tests get a main() that owns the QApplication. Tests run on Qt's offscreen
# platform and SDL's silent audio driver unless ENV says otherwise.
function(velumo_add_test name)
  cmake_parse_arguments(T "GUI" "" "SOURCES;LIBS;ENV" ${ARGN})
  if(T_GUI)
    add_executable(${name} ${T_SOURCES} ${PROJECT_SOURCE_DIR}/tests/gui_main.cpp)
    target_link_libraries(${name} PRIVATE ${T_LIBS} Qt6::Widgets Qt6::Test GTest::gtest GTest::gmock)
  else()
    add_executable(${name} ${T_SOURCES})
    target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest GTest::gtest_main GTest::gmock)
  endif()
  # A test process that loads the sound module already holds FFmpeg, and with
  # it libcodec2, whose FFT functions have the same names as qm-dsp's. qm-dsp
  # must come first in the process's symbol order, as it does in the program
  # (where the module brings both), or the analysis computes with codec2's.
  target_link_libraries(${name} PRIVATE "-Wl,--push-state,--no-as-needed" ${QMDSP_LIBRARY} "-Wl,--pop-state")
  # The window's sound module is found in the build tree.
  set(env "QT_QPA_PLATFORM=offscreen" "SDL_AUDIODRIVER=dummy"
    "VELUMO_MEDIA_MODULE=${CMAKE_BINARY_DIR}/libvelumo-media.so" ${T_ENV})
  # The list must reach each case as one value through GoogleTest's generated
  # scripts, which unescape it three times (CMake 3.25).
  string(REPLACE ";" "\\\\\\\\\\\\\\;" env "${env}")
  gtest_discover_tests(${name}
    TEST_PREFIX "${name}."
    DISCOVERY_MODE PRE_TEST
    DISCOVERY_TIMEOUT 120
    PROPERTIES ENVIRONMENT "${env}" TIMEOUT 300 RESOURCE_LOCK ${name})
endfunction()

# velumo_add_bench(<name> SOURCES ... LIBS ... [GUI]): a Google Benchmark
# program, not run by CTest. GUI benchmarks get a main() that owns the
# QApplication (offscreen unless QT_QPA_PLATFORM says otherwise).
function(velumo_add_bench name)
  cmake_parse_arguments(B "GUI" "" "SOURCES;LIBS" ${ARGN})
  if(B_GUI)
    add_executable(${name} ${B_SOURCES} ${PROJECT_SOURCE_DIR}/bench/gui_bench_main.cpp)
    target_link_libraries(${name} PRIVATE ${B_LIBS} Qt6::Widgets benchmark::benchmark)
    # The window's sound module, from the build tree.
    target_compile_definitions(${name} PRIVATE VELUMO_BUILD_MEDIA_MODULE="${CMAKE_BINARY_DIR}/libvelumo-media.so")
  else()
    add_executable(${name} ${B_SOURCES})
    target_link_libraries(${name} PRIVATE ${B_LIBS} benchmark::benchmark benchmark::benchmark_main)
  endif()
endfunction()
