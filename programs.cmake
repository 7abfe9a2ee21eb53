# The programs' own code: one library a folder, in a stack where each library links only
# the folders below it that it uses (cmake/check_layers.cmake checks the includes):
#   plotter      the main window, the shared drawing state and the redraw pipeline
#   dialogs      the dialog windows Form2 .. Form9
#   settings     the settings table, the settings files and the undo ring
#   sound        Vartelo's sound functions, melody page and description
#   variants     the routines in which Quimbel differs from Vartelo, and its description
#   application  start-up: the windows, and the tables of the redraw steps, the life-cycle
#                hooks and the main window's actions, filled from the libraries above
curves_library(plotter     plotter     engine platform_ui platform_graphics)
curves_library(dialogs     dialogs     plotter ftp)
curves_library(settings    settings    dialogs)
curves_library(sound       sound       settings platform_sound)
curves_library(variants    variants    settings)
curves_library(application application settings)

add_executable(Vartelo programs/vartelo_main.cpp)
target_link_libraries(Vartelo PRIVATE application sound)
add_executable(Quimbel programs/quimbel_main.cpp)
target_link_libraries(Quimbel PRIVATE application variants)

install(TARGETS Vartelo Quimbel RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

# The includes must follow the stack: the build stops at one that runs up it.
add_custom_target(check_layers ALL
  COMMAND ${CMAKE_COMMAND} -DSOURCE_DIR=${CMAKE_CURRENT_SOURCE_DIR} -P ${CMAKE_CURRENT_SOURCE_DIR}/cmake/check_layers.cmake
  COMMENT "Checking that every include runs down the stack of folders")
