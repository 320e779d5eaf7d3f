# The Windows program identity (title, version record, icon) for a program target. On WIN32:
#   include(${PROJECT_SOURCE_DIR}/app/windows/identity.cmake)
#   quorvane_add_windows_identity(<target>)
# Works with MSVC's rc and with MinGW's windres.
include_guard(GLOBAL)
enable_language(RC)

function(quorvane_add_windows_identity target)
  # This file's folder, whichever directory included it first (the include guard skips the rest).
  set(QUORVANE_IDENTITY_DIR "${CMAKE_CURRENT_FUNCTION_LIST_DIR}")
  set(script "${QUORVANE_IDENTITY_DIR}/quorvane.rc")
  target_sources(${target} PRIVATE "${script}")
  # quorvane.rc names its header and the icon from the source tree's root.
  target_include_directories(${target} PRIVATE "${PROJECT_SOURCE_DIR}")
  set_property(SOURCE "${script}" APPEND PROPERTY OBJECT_DEPENDS
               "${QUORVANE_IDENTITY_DIR}/identity.h" "${PROJECT_SOURCE_DIR}/assets/information.ico")
endfunction()
