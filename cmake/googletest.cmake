# GoogleTest at most once per toolchain. The Linux builds link Debian's prebuilt libraries
# (libgtest-dev, libgmock-dev): built by g++ against libstdc++, which the sanitize preset's clang
# uses as well, so both share them. The MinGW cross builds compile Debian's source package of the
# same version once in their build tree (only the parts a built test program links).
if(VOKUTA_TESTS)
  if(NOT CMAKE_CROSSCOMPILING)
    find_package(GTest 1.12 CONFIG)
  endif()
  if(NOT GTest_FOUND)
    set(VOKUTA_GTEST_SOURCE "/usr/src/googletest" CACHE PATH "GoogleTest sources")
    set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
    set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
    add_subdirectory(${VOKUTA_GTEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
  endif()
endif()
