# Tests of the two programs' own code, driven through the headless harness.
curves_test(plotter plotter dialogs variants engine test_support)
# The mouse on the picture and the labels dialog, through the programs' harness.
curves_test(mouse plotter dialogs variants engine test_support)
curves_test(labels plotter dialogs variants engine test_support)
foreach(harnessed test_mouse test_labels)
  if(TARGET ${harnessed})
    target_sources(${harnessed} PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/plotter/program_harness.cpp)
  endif()
endforeach()
curves_test(curves plotter dialogs variants engine test_support)

# The sound output of Vartelo, driven through the same harness; the ALSA file plugin
# captures what is played.
curves_test(sound sound plotter dialogs engine platform_sound test_support)
if(TARGET test_sound)
  target_sources(test_sound PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/plotter/program_harness.cpp
                                    ${CMAKE_CURRENT_SOURCE_DIR}/alsa/alsa_capture.cpp)
endif()
curves_test(analysis plotter dialogs variants engine test_support)
if(TARGET test_analysis)
  target_sources(test_analysis PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/plotter/program_harness.cpp)
endif()
