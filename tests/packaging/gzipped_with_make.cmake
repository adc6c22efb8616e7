# Configures the source with the Makefile generator and builds the compressed manual
# pages and changelog: Make, unlike Ninja, creates no output folder by itself.
# Run with -DSOURCE=<source folder> -DBINARY=<empty build folder>.
file(REMOVE_RECURSE ${BINARY})
execute_process(COMMAND ${CMAKE_COMMAND} -S ${SOURCE} -B ${BINARY} -G "Unix Makefiles"
    RESULT_VARIABLE configured OUTPUT_QUIET)
if(NOT configured EQUAL 0)
    message(FATAL_ERROR "configuring with Make failed")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} --build ${BINARY} --target kestrova_gzipped
    RESULT_VARIABLE built)
if(NOT built EQUAL 0)
    message(FATAL_ERROR "kestrova_gzipped failed with Make")
endif()
foreach(file man/kestrova.1.gz man/de/kestrova.1.gz changelog.Debian.gz)
    if(NOT EXISTS ${BINARY}/packaging/${file})
        message(FATAL_ERROR "missing packaging/${file}")
    endif()
endforeach()
file(REMOVE_RECURSE ${BINARY})
