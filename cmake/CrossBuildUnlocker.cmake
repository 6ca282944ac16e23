# cmake -DSOURCE_DIR=... -DBINARY_DIR=... -P CrossBuildUnlocker.cmake
# Brings the Windows build's UnCofrex.exe up to date, configuring that build first
# when it has never been configured.
if(NOT EXISTS ${BINARY_DIR}/build.ninja)
    execute_process(COMMAND ${CMAKE_COMMAND} --preset windows
        WORKING_DIRECTORY ${SOURCE_DIR} COMMAND_ERROR_IS_FATAL ANY)
endif()
execute_process(COMMAND ${CMAKE_COMMAND} --build ${BINARY_DIR} --target UnCofrex
    COMMAND_ERROR_IS_FATAL ANY)
