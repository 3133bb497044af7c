# The windows: controls and message box, main window and tree, property panels,
# find panel, options windows, help and about.
tarsel_library(tarsel_ui
  DIRS ui/controls ui/main ui/options ui/help ui/properties ui/find
  LINK tarsel_core tarsel_core_image tarsel_xkb tarsel_preview Qt6::Widgets Qt6::Svg)

foreach(dir ui/controls ui/main ui/options ui/help ui/properties ui/find)
  tarsel_tests(${dir} tarsel_ui)
endforeach()

# the desktop program: a thin main over the UI library
if(EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/app/main.cpp)
  add_executable(tarsel-archive app/main.cpp)
  target_link_libraries(tarsel-archive PRIVATE tarsel_ui)
  install(TARGETS tarsel-archive)
endif()

# the desktop entry, MIME type and icon: written into the user's data folder by the
# program and installed system-wide
qt_add_resources(tarsel_ui tarsel_desktop_files
  PREFIX "/desktop"
  BASE ${PROJECT_SOURCE_DIR}/data
  FILES ${PROJECT_SOURCE_DIR}/data/tarsel-archive.desktop
        ${PROJECT_SOURCE_DIR}/data/tarsel-archive.xml
        ${PROJECT_SOURCE_DIR}/data/tarsel-archive.svg)
include(GNUInstallDirs)
install(FILES ${PROJECT_SOURCE_DIR}/data/tarsel-archive.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${PROJECT_SOURCE_DIR}/data/tarsel-archive.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages)
install(FILES ${PROJECT_SOURCE_DIR}/data/tarsel-archive.svg
  DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)

# the version the about box shows (a Linux program file carries no version resource)
# and the web page it links to, none while the project names no home page
target_compile_definitions(tarsel_ui PRIVATE TARSEL_VERSION="${PROJECT_VERSION}"
  TARSEL_HOMEPAGE="${PROJECT_HOMEPAGE_URL}")

# screenshots of the windows for the documentation (scripts/screenshots); not installed
if(EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/app/screenshots.cpp)
  add_executable(tarsel-screenshots app/screenshots.cpp)
  target_link_libraries(tarsel-screenshots PRIVATE tarsel_ui)
endif()

# showing a file in the file manager over the freedesktop FileManager1 service, where Qt
# has its D-Bus module
find_package(Qt6 QUIET COMPONENTS DBus)
if(TARGET Qt6::DBus)
  target_link_libraries(tarsel_ui PUBLIC Qt6::DBus)
  target_compile_definitions(tarsel_ui PRIVATE TARSEL_HAVE_DBUS=1)
endif()
