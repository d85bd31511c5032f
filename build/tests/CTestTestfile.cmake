# CMake generated Testfile for 
# Source directory: /work/main/tests
# Build directory: /work/main/build/tests
# 
# This file includes the relevant testing commands required for 
# testing this directory and lists subdirectories to be tested as well.
include("/work/main/build/tests/unit_tests[1]_include.cmake")
add_test([=[e2e_device_link]=] "/work/main/tests/e2e_device_link.sh" "/work/main/build/dist")
set_tests_properties([=[e2e_device_link]=] PROPERTIES  TIMEOUT "120" _BACKTRACE_TRIPLES "/work/main/tests/CMakeLists.txt;17;add_test;/work/main/tests/CMakeLists.txt;0;")
