# Fails unless the project's test run refuses a run that checks nothing: a selection that names no
# test, a test program that runs none, and a test whose part of the set-up is missing (which skips
# only when its program is run by hand); and a test that leaves a program running. Run as:
#   cmake -DROOT=<source dir> -DBUILD=<build dir> -DWORK=<scratch dir> -P TestRunSelfTest.cmake

foreach(arg ROOT BUILD WORK)
    if(NOT ${arg})
        message(FATAL_ERROR "TestRunSelfTest.cmake needs -D${arg}=...")
    endif()
endforeach()

# vyx_expect_run(<case> PASS|FAIL <text the output holds> <command...>): the command run and its
# outcome and output compared.
function(vyx_expect_run name expected text)
    execute_process(COMMAND ${ARGN} RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE out)
    if(expected STREQUAL "PASS" AND NOT result EQUAL 0)
        message(FATAL_ERROR "${name}: failed (${result}):\n${out}")
    elseif(expected STREQUAL "FAIL" AND result EQUAL 0)
        message(FATAL_ERROR "${name}: passed:\n${out}")
    endif()
    string(FIND "${out}" "${text}" at)
    if(at LESS 0)
        message(FATAL_ERROR "${name}: the output does not say \"${text}\":\n${out}")
    endif()
endfunction()

file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})

# The test run of a tree with one test labelled "image" (it needs nothing of Wine), joining the
# build's own session: a misspelt label selects nothing and fails; the right one runs the test.
file(WRITE ${WORK}/CTestTestfile.cmake
    "add_test(probe \"${CMAKE_COMMAND}\" -E true)\nset_tests_properties(probe PROPERTIES LABELS image)\n")
set(run ${CMAKE_COMMAND} -E env VYX_BUILD_DIR=${WORK} VYX_WINEPREFIX=${BUILD}/wineprefix ${ROOT}/scripts/run-tests.sh)
vyx_expect_run(misspelt_label FAIL "No tests were found" ${run} -L imgae)
vyx_expect_run(label PASS "0 tests failed out of 1" ${run} -L image)

# A test program whose filter selects no test.
set(wine_run ${BUILD}/wine-run.sh)
vyx_expect_run(no_test_ran FAIL "ran no test" ${CMAKE_COMMAND} -E env VYX_GTEST=1 ${wine_run}
    ${BUILD}/tests/framework_tests.exe --gtest_filter=NoSuchSuite.NoSuchTest)

# A full-disk case without its small file system: a failure in the test run, a skip by hand.
set(full_disk_case --gtest_filter=TransferFailure.AMoveOntoARealFullFileSystemKeepsItsSource)
vyx_expect_run(missing_part_in_the_test_run FAIL "did not provide a small file system"
    ${CMAKE_COMMAND} -E env --unset=VYX_SMALL_DISK VYX_FULL_SETUP=1 VYX_GTEST=1 ${wine_run}
    ${BUILD}/tests/fileops_tests.exe ${full_disk_case})
vyx_expect_run(missing_part_by_hand PASS "[  SKIPPED ] 1 test"
    ${CMAKE_COMMAND} -E env --unset=VYX_SMALL_DISK --unset=VYX_FULL_SETUP VYX_GTEST=1 ${wine_run}
    ${BUILD}/tests/fileops_tests.exe ${full_disk_case})

# A program the test started and left running: the run fails, naming it, and ends it.
vyx_expect_run(program_left_running FAIL "the test left programs running" ${wine_run} cmd.exe /c "start notepad.exe")

message("The test run refuses an empty selection, a program that ran no test, a missing part of its set-up and a "
        "program left running")
