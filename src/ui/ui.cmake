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
