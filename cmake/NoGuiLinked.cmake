# Fails when the executable FILE needs Qt Gui or Qt Widgets: the base must stand alone.
execute_process(COMMAND readelf --dynamic --wide ${FILE} OUTPUT_VARIABLE dynamic RESULT_VARIABLE failed)
if(failed)
    message(FATAL_ERROR "readelf could not read ${FILE}")
endif()
string(REGEX MATCHALL "lib(Qt6Gui|Qt6Widgets)[^]]*" gui_libraries "${dynamic}")
if(gui_libraries)
    message(FATAL_ERROR "${FILE} needs ${gui_libraries}, but links only the base")
endif()
