# The two programs and the libraries of their own code.
#   plotter   the main window, the shared drawing state and the redraw pipeline
#   dialogs   the dialog windows Form2 .. Form9
#   variants  the routines in which Quimbel differs from Vartelo
# plotter and dialogs use each other (the redraw calls the dialogs' drawers, the dialogs
# read the main window's state); CMake repeats static libraries to close such cycles.
curves_library(plotter  plotter  dialogs engine platform_ui platform_graphics platform_text)
curves_library(dialogs  dialogs  plotter engine platform_ui platform_graphics platform_text ftp)
curves_library(variants variants plotter dialogs engine platform_ui platform_graphics)
#   sound     Vartelo's sound functions, melody page and description (Quimbel leaves it out)
curves_library(sound    sound    plotter engine platform_sound platform_ui platform_text)

# Libraries of later subsystems join the programs as soon as their folder defines them.
#   settings  the settings table, the settings files and the undo ring; the main window
#             loads and saves through it, so whatever links plotter links it too
curves_library(settings settings plotter dialogs engine platform_ui platform_graphics platform_text)
target_link_libraries(plotter PUBLIC settings)
set(curves_shared_libraries plotter dialogs)
foreach(optional settings ftp)
  if(TARGET ${optional})
    list(APPEND curves_shared_libraries ${optional})
  endif()
endforeach()
#   application  start-up: the windows, the redraw steps and the life-cycle hooks installed
curves_library(application application settings dialogs plotter ftp engine platform_ui)
list(PREPEND curves_shared_libraries application)
set(curves_vartelo_libraries ${curves_shared_libraries})
if(TARGET sound)
  list(APPEND curves_vartelo_libraries sound)
endif()
set(curves_quimbel_libraries variants ${curves_shared_libraries})

add_executable(Vartelo programs/vartelo_main.cpp)
target_link_libraries(Vartelo PRIVATE ${curves_vartelo_libraries})
add_executable(Quimbel programs/quimbel_main.cpp)
target_link_libraries(Quimbel PRIVATE ${curves_quimbel_libraries})

install(TARGETS Vartelo Quimbel RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
