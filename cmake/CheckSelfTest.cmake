# What the self tests of the source checks share: a check run on a small tree made for the case,
# its outcome compared with the one expected.

# vyx_expect_outcome(<case> PASS|FAIL <what a refusal refused> <what a pass passed> <command>...):
# the command (with execute_process's own keywords, if any) run and its outcome compared.
function(vyx_expect_outcome name expected refused passed)
    execute_process(COMMAND ${ARGN} RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE out)
    if(expected STREQUAL "PASS" AND NOT result EQUAL 0)
        message(FATAL_ERROR "${name}: refused ${refused}:\n${out}")
    elseif(expected STREQUAL "FAIL" AND result EQUAL 0)
        message(FATAL_ERROR "${name}: passed ${passed}:\n${out}")
    endif()
endfunction()

# A root holding none of the folders is refused: a check that read nothing proves nothing.
function(vyx_expect_empty_root_refused script work)
    file(MAKE_DIRECTORY ${work}/empty/docs)
    vyx_expect_outcome(empty FAIL "" "a tree in which it found no file"
        ${CMAKE_COMMAND} -DROOT=${work}/empty -P ${script})
endfunction()
