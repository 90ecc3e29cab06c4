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
# Links named like the program's temporaries, for the clean-ups of what crashes left; what each
# leads to stands in "marked", where the tests write a dead writer's mark. Beside a note file
# (foundation): a file link of a temporary's name. In a copy's folder (fileops): a folder link
# of a temporary folder's name, and a real temporary folder holding a file link of a copy's name.
file(MAKE_DIRECTORY ${ROOT}/marked/folder ${ROOT}/notes "${ROOT}/copies/$0FFFFFF000000002.tmp")
file(WRITE ${ROOT}/marked/note.tmp "")
file(WRITE ${ROOT}/marked/copy.tmp "")
file(CREATE_LINK ${ROOT}/marked/note.tmp ${ROOT}/notes/_NOTE_.KWI.0000AB01.tmp SYMBOLIC)
file(CREATE_LINK ${ROOT}/marked/folder "${ROOT}/copies/$0FFFFFF000000001.tmp" SYMBOLIC)
file(CREATE_LINK ${ROOT}/marked/copy.tmp "${ROOT}/copies/$0FFFFFF000000002.tmp/$0FFFFFF000000003.tmp" SYMBOLIC)
