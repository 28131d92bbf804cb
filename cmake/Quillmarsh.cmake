# Build helpers shared by every folder of the project.

function(qm_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wno-missing-field-initializers)
  if(QM_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
endfunction()

# qm_library(name folder deps...): a static library of every .cpp in the
# folder itself (not its sub-folders). A folder without sources yet gives an
# interface library, so the layers above can already name it.
function(qm_library name dir)
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/${dir}/*.cpp)
  file(GLOB headers CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/${dir}/*.h)
  if(sources)
    add_library(${name} STATIC ${sources} ${headers})
    target_include_directories(${name} PUBLIC ${CMAKE_SOURCE_DIR}/src)
    target_link_libraries(${name} PUBLIC ${ARGN})
    set_target_properties(${name} PROPERTIES AUTOMOC ON)
    qm_warnings(${name})
  else()
    add_library(${name} INTERFACE)
    target_include_directories(${name} INTERFACE ${CMAKE_SOURCE_DIR}/src)
    target_link_libraries(${name} INTERFACE ${ARGN})
  endif()
endfunction()

# qm_tests(name folder libs...): one GoogleTest program of every .cpp in the
# folder; nothing when the folder has no tests yet.
function(qm_tests name dir)
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/${dir}/*.cpp)
  if(NOT sources)
    return()
  endif()
  add_executable(${name} ${sources})
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR}/tests ${CMAKE_SOURCE_DIR}/src)
  target_link_libraries(${name} PRIVATE ${ARGN} qm_test_support GTest::gtest GTest::gmock)
  # Without a main of its own, a folder whose tests open Qt windows shares
  # the one with a QApplication; the others take GoogleTest's.
  if(NOT sources MATCHES "/main\\.cpp(;|$)")
    if("qm_ui_qt" IN_LIST ARGN)
      target_sources(${name} PRIVATE ${CMAKE_SOURCE_DIR}/tests/support/QtTestMain.cpp)
    else()
      target_link_libraries(${name} PRIVATE GTest::gtest_main)
    endif()
  endif()
  set_target_properties(${name} PROPERTIES AUTOMOC ON)
  qm_warnings(${name})
  gtest_discover_tests(${name}
    DISCOVERY_MODE PRE_TEST
    PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
endfunction()
