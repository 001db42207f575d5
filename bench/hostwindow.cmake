cindral_bench(hostwindow_redraw_bench ${CMAKE_CURRENT_SOURCE_DIR}/hostwindow_redraw.cpp LIBS cindral_gui)
