# Made afresh before the tests that delete folder trees holding a link: per user, a folder whose
# entry "link" is a host symbolic link to the shared folder "outside" (with keep.txt in it), and
# one to the empty folder "empty". Wine shows such a link as a folder with
# FILE_ATTRIBUTE_REPARSE_POINT; its own CreateSymbolicLinkW reports success and makes nothing, so
# no test can make one itself.
# cmake -DROOT=<folder> -P LinkFixture.cmake
if(NOT ROOT)
    message(FATAL_ERROR "ROOT is not set")
endif()
# The links go first (file(REMOVE_RECURSE) removes a link, never what it names).
file(GLOB users ${ROOT}/*)
foreach(user ${users})
    if(IS_SYMLINK ${user}/link)
        file(REMOVE ${user}/link)
    endif()
endforeach()
file(REMOVE_RECURSE ${ROOT})
file(MAKE_DIRECTORY ${ROOT}/outside)
file(WRITE ${ROOT}/outside/keep.txt "kept")
foreach(user foundation browser platform)
    file(MAKE_DIRECTORY ${ROOT}/${user})
    file(CREATE_LINK ${ROOT}/outside ${ROOT}/${user}/link SYMBOLIC)
endforeach()
# A link to an empty folder.
file(MAKE_DIRECTORY ${ROOT}/empty ${ROOT}/foundation_empty)
file(CREATE_LINK ${ROOT}/empty ${ROOT}/foundation_empty/link SYMBOLIC)
