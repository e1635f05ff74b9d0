# The release zip for drafters: `cmake --build --preset windows-x86 --target package` writes
# pardim-<version>.zip beside the build with one folder, pardim/, holding the 32-bit exe, the two
# BATs (one dimension per run, and the continuous one that the host repeats), a Japanese readme
# and the licence; extracted into C:\jww\ it gives C:\jww\pardim\.
# Included from src/win/CMakeLists.txt once the pardim target exists.

# The host is a 32-bit program and a 32-bit exe runs on every Windows, so only that build ships.
if(NOT CMAKE_SIZEOF_VOID_P EQUAL 4)
    add_custom_target(package
        COMMAND "${CMAKE_COMMAND}" -E echo "The release zip holds the 32-bit exe: build it with the windows-x86 preset."
        COMMAND "${CMAKE_COMMAND}" -E false
        VERBATIM)
    return()
endif()

find_program(PARDIM_ICONV iconv REQUIRED)
find_program(PARDIM_ZIP zip REQUIRED)

set(stage "${PROJECT_BINARY_DIR}/package")
set(zip "${PROJECT_BINARY_DIR}/pardim-${PROJECT_VERSION}.zip")
set(bat "${PROJECT_SOURCE_DIR}/packaging/平行寸法線.bat")
set(repeatBat "${PROJECT_SOURCE_DIR}/packaging/平行寸法線（連続）.bat")

# The readme is kept in UTF-8 so that it can be edited and reviewed; Notepad and the drafters'
# tools expect Shift-JIS with CR LF. iconv fails on a character that CP932 cannot hold, which
# stops the build rather than shipping a damaged readme.
configure_file("${PROJECT_SOURCE_DIR}/packaging/readme.ja.txt" "${stage}/readme.utf8.txt"
    @ONLY NEWLINE_STYLE CRLF)
add_custom_command(OUTPUT "${stage}/files/pardim/readme.txt"
    COMMAND "${CMAKE_COMMAND}" -E make_directory "${stage}/files/pardim"
    COMMAND "${PARDIM_ICONV}" -f UTF-8 -t CP932 -o "${stage}/files/pardim/readme.txt"
            "${stage}/readme.utf8.txt"
    DEPENDS "${stage}/readme.utf8.txt"
    COMMENT "Converting the readme to Shift-JIS"
    VERBATIM)

# The licence as LICENSE.txt with CR LF, so that a double click opens it in Notepad.
configure_file("${PROJECT_SOURCE_DIR}/LICENSE" "${stage}/files/pardim/LICENSE.txt"
    @ONLY NEWLINE_STYLE CRLF)

# The BATs go in under ASCII names: Japanese names in a zip come out garbled on some
# unzippers, and the host shows the BAT's first line, not its file name. Info-ZIP writes plain
# entries that every unzipper reads; -X leaves out Unix owners, and the members keep this order.
add_custom_command(OUTPUT "${zip}"
    COMMAND "${CMAKE_COMMAND}" -E make_directory "${stage}/files/pardim"
    COMMAND "${CMAKE_COMMAND}" -E copy "$<TARGET_FILE:pardim>" "${stage}/files/pardim/pardim.exe"
    COMMAND "${CMAKE_COMMAND}" -E copy "${bat}" "${stage}/files/pardim/pardim.bat"
    COMMAND "${CMAKE_COMMAND}" -E copy "${repeatBat}" "${stage}/files/pardim/pardim_rep.bat"
    COMMAND "${CMAKE_COMMAND}" -E rm -f "${zip}"
    COMMAND "${PARDIM_ZIP}" -q -X -D -9 "${zip}" pardim/pardim.exe pardim/pardim.bat
            pardim/pardim_rep.bat pardim/readme.txt pardim/LICENSE.txt
    WORKING_DIRECTORY "${stage}/files"
    DEPENDS pardim "$<TARGET_FILE:pardim>" "${bat}" "${repeatBat}"
            "${stage}/files/pardim/LICENSE.txt"
            "${stage}/files/pardim/readme.txt"
    COMMENT "Packing pardim-${PROJECT_VERSION}.zip"
    VERBATIM)
add_custom_target(package DEPENDS "${zip}")
