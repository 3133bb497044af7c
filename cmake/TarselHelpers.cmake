# Sources of a library folder: every .cpp that is not a test.
function(tarsel_sources out)
  set(result)
  foreach(dir IN LISTS ARGN)
    file(GLOB found CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/${dir}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/${dir}/*.h)
    foreach(f IN LISTS found)
      get_filename_component(name ${f} NAME)
      if(NOT name MATCHES "^tst_")
        list(APPEND result ${f})
      endif()
    endforeach()
  endforeach()
  set(${out} ${result} PARENT_SCOPE)
endfunction()

# One QtTest executable per tst_*.cpp in a folder, linked to the given libraries.
# A test that needs fixture files finds them through TARSEL_TEST_DATA.
function(tarsel_tests dir)
  file(GLOB tests CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/${dir}/tst_*.cpp)
  foreach(t IN LISTS tests)
    get_filename_component(name ${t} NAME_WE)
    string(REPLACE "/" "_" prefix ${dir})
    set(target ${prefix}_${name})
    add_executable(${target} ${t})
    target_link_libraries(${target} PRIVATE Qt6::Test ${ARGN})
    target_compile_definitions(${target} PRIVATE
      TARSEL_TEST_DATA="${CMAKE_CURRENT_SOURCE_DIR}/${dir}/testdata"
      TARSEL_SOURCE_DIR="${PROJECT_SOURCE_DIR}"
      TARSEL_CLI="$<TARGET_FILE:tarsel-archive-cli>")
    if(dir STREQUAL "cli")
      add_dependencies(${target} tarsel-archive-cli)
    endif()
    add_test(NAME ${target} COMMAND ${target})
    set_tests_properties(${target} PROPERTIES
      ENVIRONMENT "QT_QPA_PLATFORM=offscreen;ASAN_OPTIONS=detect_leaks=1"
      LABELS "${prefix}")
  endforeach()
endfunction()
