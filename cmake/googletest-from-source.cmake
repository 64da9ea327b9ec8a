# GoogleTest built from the sources that Debian's googletest package installs
# (/usr/src/googletest), for builds that have no GoogleTest library of their
# own target (the mingw-w64 cross build). Defines GTest::gtest and
# GTest::gtest_main as find_package(GTest) does.
set(KIT_GTEST_SOURCE "/usr/src/googletest/googletest" CACHE PATH "GoogleTest's source folder")
if(NOT EXISTS ${KIT_GTEST_SOURCE}/src/gtest-all.cc)
  message(FATAL_ERROR "GoogleTest sources not found in ${KIT_GTEST_SOURCE} (Debian package googletest)")
endif()

find_package(Threads REQUIRED)
add_library(kit_gtest STATIC ${KIT_GTEST_SOURCE}/src/gtest-all.cc)
target_include_directories(kit_gtest SYSTEM PUBLIC ${KIT_GTEST_SOURCE}/include)
target_include_directories(kit_gtest PRIVATE ${KIT_GTEST_SOURCE})
target_link_libraries(kit_gtest PUBLIC Threads::Threads)

add_library(kit_gtest_main STATIC ${KIT_GTEST_SOURCE}/src/gtest_main.cc)
target_link_libraries(kit_gtest_main PUBLIC kit_gtest)

add_library(GTest::gtest ALIAS kit_gtest)
add_library(GTest::gtest_main ALIAS kit_gtest_main)
