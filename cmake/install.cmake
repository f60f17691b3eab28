# Where the program's files go under the install prefix. The executable's own
# rule is in src/CMakeLists.txt; everything here is data, in the component
# "data" so that it can be installed (and checked) without building anything.
#
# Run as a script, this file checks an install made into a scratch prefix:
#   cmake -DBUILD_DIR=<build> -DPREFIX=<build>/<scratch> -DDATADIR=share -P cmake/install.cmake

if(CMAKE_SCRIPT_MODE_FILE)
  set(datadir ${DATADIR})
else()
  set(datadir ${CMAKE_INSTALL_DATADIR})
endif()
set(QUIB_INSTALLED_FILES
    ${datadir}/quibkaraoke/demo/01-starlight-walk.ogg
    ${datadir}/quibkaraoke/demo/01-starlight-walk_t.txt
    ${datadir}/quibkaraoke/demo/02-rain-song.mp3
    ${datadir}/quibkaraoke/demo/02-rain-song_t.txt
    ${datadir}/quibkaraoke/demo/03-lalala.mid
    ${datadir}/quibkaraoke/demo/03-lalala_t.txt
    ${datadir}/quibkaraoke/demo/qkaraimg/01-night-sky.jpg
    ${datadir}/applications/quibkaraoke.desktop
    ${datadir}/icons/hicolor/scalable/apps/quibkaraoke.svg
    ${datadir}/icons/hicolor/64x64/apps/quibkaraoke.png
    ${datadir}/xscreensaver/config/quibkaraoke.xml)

if(CMAKE_SCRIPT_MODE_FILE)
  if(NOT BUILD_DIR OR NOT PREFIX OR NOT DATADIR)
    message(FATAL_ERROR "usage: cmake -DBUILD_DIR=<build> -DPREFIX=<scratch> -DDATADIR=share -P install.cmake")
  endif()
  # The scratch prefix is wiped before and after: keep it inside the build tree.
  cmake_path(IS_PREFIX BUILD_DIR ${PREFIX} NORMALIZE inside)
  if(NOT inside OR PREFIX STREQUAL BUILD_DIR)
    message(FATAL_ERROR "the scratch prefix must lie inside ${BUILD_DIR}")
  endif()
  file(REMOVE_RECURSE ${PREFIX})
  execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --component data --prefix ${PREFIX}
                  RESULT_VARIABLE result OUTPUT_QUIET)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "cmake --install failed: ${result}")
  endif()
  foreach(f IN LISTS QUIB_INSTALLED_FILES)
    if(NOT EXISTS ${PREFIX}/${f})
      message(FATAL_ERROR "not installed: ${f}")
    endif()
  endforeach()
  # The menu entry must open the settings dialog of the installed program.
  file(STRINGS ${PREFIX}/${datadir}/applications/quibkaraoke.desktop exec REGEX "^Exec=")
  if(NOT exec STREQUAL "Exec=quibkaraoke /c")
    message(FATAL_ERROR "desktop entry runs '${exec}'")
  endif()
  file(REMOVE_RECURSE ${PREFIX})
  return()
endif()

set(QUIB_RESOURCES ${PROJECT_SOURCE_DIR}/resources)

install(DIRECTORY ${QUIB_RESOURCES}/demo/
        DESTINATION ${CMAKE_INSTALL_DATADIR}/quibkaraoke/demo
        COMPONENT data)
install(FILES ${QUIB_RESOURCES}/quibkaraoke.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications
        COMPONENT data)
install(FILES ${QUIB_RESOURCES}/quibkaraoke.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps
        COMPONENT data)
install(FILES ${QUIB_RESOURCES}/quibkaraoke-64.png
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/64x64/apps
        RENAME quibkaraoke.png
        COMPONENT data)
install(FILES ${QUIB_RESOURCES}/quibkaraoke.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/xscreensaver/config
        COMPONENT data)

if(QUIB_TESTS)
  add_test(NAME install_data
           COMMAND ${CMAKE_COMMAND} -DBUILD_DIR=${PROJECT_BINARY_DIR}
                   -DPREFIX=${PROJECT_BINARY_DIR}/install-check -DDATADIR=${CMAKE_INSTALL_DATADIR} -P ${CMAKE_CURRENT_LIST_FILE})
endif()
