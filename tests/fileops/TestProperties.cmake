# A small file system of fixed size for the full-disk cases, mounted where the machine lets the
# test script mount one (root, mounts allowed); elsewhere the tests skip those cases.
set(VYX_SMALL_DISK ${CMAKE_BINARY_DIR}/tests/small-disk)
add_test(NAME fileops_small_disk_mount
    COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/small-disk.sh mount ${VYX_SMALL_DISK})
add_test(NAME fileops_small_disk_unmount
    COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/small-disk.sh unmount ${VYX_SMALL_DISK})
set_tests_properties(fileops_small_disk_mount PROPERTIES LABELS fileops FIXTURES_SETUP fileops_small_disk)
set_tests_properties(fileops_small_disk_unmount PROPERTIES LABELS fileops FIXTURES_CLEANUP fileops_small_disk)
set_tests_properties(fileops PROPERTIES FIXTURES_REQUIRED fileops_small_disk)
set_property(TEST fileops APPEND PROPERTY ENVIRONMENT VYX_SMALL_DISK=${VYX_SMALL_DISK})
