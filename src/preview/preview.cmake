# The page preview: page pictures, page store, paper, preview control, recording,
# printing, thumbnails and export. Qt Gui/Widgets/PrintSupport/Pdf and libtiff.
tarsel_library(tarsel_preview DIRS preview
  LINK tarsel_text Qt6::Gui Qt6::Widgets Qt6::PrintSupport Qt6::Pdf Qt6::PdfWidgets TIFF::TIFF)
tarsel_tests(preview tarsel_preview)
# Export: libqpdf puts the scans' own bytes into the PDF pages QPdfWriter draws.
find_package(PkgConfig REQUIRED)
pkg_check_modules(QPDF REQUIRED IMPORTED_TARGET libqpdf)
target_link_libraries(tarsel_preview PRIVATE PkgConfig::QPDF)

# demonstration program: records image files as pages and shows them (not installed)
add_executable(preview_demo preview/demo/preview_demo.cpp)
target_link_libraries(preview_demo PRIVATE tarsel_preview)
