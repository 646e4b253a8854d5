# Finds the GoogleTest sources, which every configuration builds with its own
# compiler: the cross builds cannot link the host's prebuilt libgtest, and the
# native one gets it under the same sanitizers as the code under test.
# Debian's googletest package installs them in /usr/src/googletest; set
# GoogleTestSource_ROOT to use another copy.
#
# Sets GoogleTestSource_FOUND and GoogleTestSource_DIR (the folder to pass to
# add_subdirectory, which defines GTest::gtest, GTest::gtest_main and
# GTest::gmock).

# The sources are host files: the cross toolchains' find root must not
# redirect the search into the target's sysroot.
find_path(GoogleTestSource_DIR
  NAMES googlemock/include/gmock/gmock.h
  PATH_SUFFIXES src/googletest
  NO_CMAKE_FIND_ROOT_PATH)

include(FindPackageHandleStandardArgs)
find_package_handle_standard_args(GoogleTestSource
  REQUIRED_VARS GoogleTestSource_DIR
  REASON_FAILURE_MESSAGE "the GoogleTest sources are missing: install Debian's googletest package (apt-get install googletest) or set GoogleTestSource_ROOT")
