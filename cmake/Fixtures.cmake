include_guard(GLOBAL)
# Fixture programs, built with the mingw-w64 tools in the native and the cross build alike:
# resprobe.exe (icon, manifest, version information, string table, RT_RCDATA "SALT"; when run
# it looks up the resources named on its command line) and winupdate.exe (writes a resource
# with the system's own UpdateResourceW) and paddedreloc.exe (resprobe.exe stripped, its last
# section .reloc given more raw data than its virtual size rounded up to the section alignment).
find_program(PE_MINGW_CXX x86_64-w64-mingw32-g++-posix REQUIRED)
find_program(PE_WINDRES x86_64-w64-mingw32-windres REQUIRED)
set(fixture_src ${PROJECT_SOURCE_DIR}/tests/pe/fixtures)
set(fixture_out ${CMAKE_BINARY_DIR}/tests/pe/fixtures)
set(fixture_flags -O2 -static -Wall -Wextra -Werror)
add_custom_command(OUTPUT ${fixture_out}/resprobe.exe
    COMMAND ${CMAKE_COMMAND} -E make_directory ${fixture_out}
    COMMAND ${PE_WINDRES} -I ${fixture_src} ${fixture_src}/resprobe.rc -O coff
            -o ${fixture_out}/resprobe.res
    COMMAND ${PE_MINGW_CXX} ${fixture_flags} ${fixture_src}/resprobe.cpp
            ${fixture_out}/resprobe.res -o ${fixture_out}/resprobe.exe
    DEPENDS ${fixture_src}/resprobe.cpp ${fixture_src}/resprobe.rc
            ${fixture_src}/resprobe.manifest ${fixture_src}/resprobe.ico
    VERBATIM)
add_custom_command(OUTPUT ${fixture_out}/paddedreloc.exe
    COMMAND ${PE_MINGW_CXX} ${fixture_flags} -s ${fixture_src}/resprobe.cpp
            ${fixture_out}/resprobe.res -o ${fixture_out}/stripped.exe
    COMMAND /usr/bin/python3 ${fixture_src}/pad_last_section.py ${fixture_out}/stripped.exe
            ${fixture_out}/paddedreloc.exe 0x1200
    DEPENDS ${fixture_out}/resprobe.exe ${fixture_src}/pad_last_section.py
    VERBATIM)
add_custom_command(OUTPUT ${fixture_out}/winupdate.exe
    COMMAND ${CMAKE_COMMAND} -E make_directory ${fixture_out}
    COMMAND ${PE_MINGW_CXX} ${fixture_flags} ${fixture_src}/winupdate.cpp
            -o ${fixture_out}/winupdate.exe
    DEPENDS ${fixture_src}/winupdate.cpp
    VERBATIM)
add_custom_target(pe_fixtures DEPENDS ${fixture_out}/resprobe.exe ${fixture_out}/paddedreloc.exe
    ${fixture_out}/winupdate.exe)
set(COFREX_FIXTURE_OUT ${fixture_out})
