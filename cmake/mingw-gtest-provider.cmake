# Answers find_package(GTest) in the cross build with GoogleTest built from Debian's source package
# (/usr/src/googletest), under the names the imported package would give: GTest::gtest and
# GTest::gtest_main; and find_package(nlohmann_json) with Debian's header-only package. Every other
# package is looked up as usual.
set(QUORVANE_GTEST_SOURCE_DIR "/usr/src/googletest" CACHE PATH "GoogleTest sources for the cross build")
set(QUORVANE_JSON_HEADERS "/usr/include/nlohmann" CACHE PATH "nlohmann-json's headers for the cross build")

macro(quorvane_provide_gtest method package_name)
  if("${package_name}" STREQUAL "GTest" AND NOT TARGET GTest::gtest)
    set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
    set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
    add_subdirectory("${QUORVANE_GTEST_SOURCE_DIR}" "${CMAKE_BINARY_DIR}/_deps/googletest"
                     EXCLUDE_FROM_ALL SYSTEM)
    # Newer GoogleTest sources name their targets so themselves; older ones do not.
    if(NOT TARGET GTest::gtest)
      add_library(GTest::gtest ALIAS gtest)
      add_library(GTest::gtest_main ALIAS gtest_main)
    endif()
    set(GTest_FOUND TRUE)
  elseif("${package_name}" STREQUAL "GTest")
    set(GTest_FOUND TRUE)
  elseif("${package_name}" STREQUAL "nlohmann_json" AND NOT TARGET nlohmann_json::nlohmann_json)
    # Header-only: Debian's headers serve the cross build as they are. A folder of their own holds
    # a link to them, so that the build machine's other headers stay out of the include path.
    set(quorvane_json_include "${CMAKE_BINARY_DIR}/_deps/nlohmann_json/include")
    file(MAKE_DIRECTORY "${quorvane_json_include}")
    file(CREATE_LINK "${QUORVANE_JSON_HEADERS}" "${quorvane_json_include}/nlohmann" SYMBOLIC)
    add_library(nlohmann_json::nlohmann_json INTERFACE IMPORTED GLOBAL)
    set_target_properties(nlohmann_json::nlohmann_json PROPERTIES
      INTERFACE_INCLUDE_DIRECTORIES "${quorvane_json_include}")
    set(nlohmann_json_FOUND TRUE)
  elseif("${package_name}" STREQUAL "nlohmann_json")
    set(nlohmann_json_FOUND TRUE)
  endif()
endmacro()

cmake_language(SET_DEPENDENCY_PROVIDER quorvane_provide_gtest SUPPORTED_METHODS FIND_PACKAGE)
