# velumo_add_test(<name> SOURCES ... LIBS ... [GUI])
# One GoogleTest executable per call, registered with CTest. GUI tests run on
# Qt's offscreen platform; every test runs with SDL's silent audio driver
# unless it sets its own environment.
function(velumo_add_test name)
  cmake_parse_arguments(T "GUI" "" "SOURCES;LIBS;ENV" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest GTest::gtest_main GTest::gmock)
  add_test(NAME ${name} COMMAND ${name})
  set(env "QT_QPA_PLATFORM=offscreen" "SDL_AUDIODRIVER=dummy" ${T_ENV})
  set_tests_properties(${name} PROPERTIES ENVIRONMENT "${env}" TIMEOUT 300)
endfunction()

# velumo_add_bench(<name> SOURCES ... LIBS ...): a Google Benchmark program, not run by CTest.
function(velumo_add_bench name)
  cmake_parse_arguments(B "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${B_SOURCES})
  target_link_libraries(${name} PRIVATE ${B_LIBS} benchmark::benchmark benchmark::benchmark_main)
endfunction()
