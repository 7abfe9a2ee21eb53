# Tests of the two programs' own code, driven through the headless harness. Every binary
# links both programs' code, since the harness starts either of them.
set(curves_program_test_libraries application sound variants test_support)
curves_test(plotter ${curves_program_test_libraries})
# The mouse on the picture and the labels dialog, through the programs' harness.
curves_test(mouse ${curves_program_test_libraries})
curves_test(labels ${curves_program_test_libraries})
foreach(harnessed test_mouse test_labels)
  if(TARGET ${harnessed})
    target_sources(${harnessed} PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/plotter/program_harness.cpp)
  endif()
endforeach()
curves_test(curves ${curves_program_test_libraries})

# The sound output of Vartelo, driven through the same harness; the ALSA file plugin
# captures what is played.
curves_test(sound ${curves_program_test_libraries})
if(TARGET test_sound)
  target_sources(test_sound PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/plotter/program_harness.cpp
                                    ${CMAKE_CURRENT_SOURCE_DIR}/alsa/alsa_capture.cpp)
endif()
curves_test(analysis ${curves_program_test_libraries})
if(TARGET test_analysis)
  target_sources(test_analysis PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/plotter/program_harness.cpp)
endif()
# Quimbel's own routines (sampler, axes in multiples of pi, buttons and keys).
curves_test(quimbel ${curves_program_test_libraries})
if(TARGET test_quimbel)
  target_sources(test_quimbel PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/plotter/program_harness.cpp)
endif()
# The commands of the main window's panel and options, and the export of the drawing.
curves_test(commands ${curves_program_test_libraries})
if(TARGET test_commands)
  target_sources(test_commands PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/plotter/program_harness.cpp)
endif()
# The settings table, the settings files, the undo ring and the "Fichier" menu.
curves_test(settings ${curves_program_test_libraries})
if(TARGET test_settings)
  target_sources(test_settings PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/plotter/program_harness.cpp)
endif()
# The FTP dialog and the upload of the drawing, against the loopback FTP server.
curves_test(ftpdialog ${curves_program_test_libraries} test_loopback)
if(TARGET test_ftpdialog)
  target_sources(test_ftpdialog PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/plotter/program_harness.cpp
                                        ${CMAKE_CURRENT_SOURCE_DIR}/ftpclient/ftp_test_support.cpp)
endif()
# The help window and the "?" menu, through the programs' harness.
curves_test(help ${curves_program_test_libraries})
if(TARGET test_help)
  target_sources(test_help PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/plotter/program_harness.cpp)
endif()

# The windows as a user sees them under a real window manager: each test starts its own
# X server (Xvfb) with openbox; the programs run there as they run for a user. Not in the
# sanitizer build: what they check is the window system's answer, not memory, and the X and
# font libraries keep allocations of their own until the process ends.
file(GLOB desktop_sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/desktop/*.cpp)
if(desktop_sources AND NOT CURVES_SANITIZE)
  find_package(PkgConfig REQUIRED)
  pkg_check_modules(XCB REQUIRED IMPORTED_TARGET xcb)
  add_executable(test_desktop ${desktop_sources} ${CMAKE_CURRENT_SOURCE_DIR}/plotter/program_harness.cpp)
  target_link_libraries(test_desktop PRIVATE ${curves_program_test_libraries} test_loopback
                        PkgConfig::XCB GTest::gtest GTest::gtest_main GTest::gmock)
  target_include_directories(test_desktop PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
  target_compile_definitions(test_desktop PRIVATE PROGRAMS_DIR="$<TARGET_FILE_DIR:Vartelo>")
  add_dependencies(test_desktop Vartelo Quimbel)
  # One X server per test: the tests run in their own processes, a few at a time.
  gtest_discover_tests(test_desktop
    DISCOVERY_TIMEOUT 60
    PROPERTIES TIMEOUT 120
               ENVIRONMENT "QT_QPA_PLATFORM=xcb")
endif()
