# The release package for Windows users: `cmake --build --preset windows --target package`
# writes Tapwise-<version>-win64.zip with the program, the command-line tool, the ready-made
# layouts and a short guide, all at the top of the archive.
install(TARGETS Tapwise tapwise-cli RUNTIME DESTINATION .)
install(DIRECTORY ${CMAKE_SOURCE_DIR}/layouts DESTINATION . FILES_MATCHING PATTERN "*.kbl")
install(FILES ${CMAKE_SOURCE_DIR}/packaging/README.txt DESTINATION .)

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME Tapwise)
set(CPACK_PACKAGE_VENDOR Quillmark)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_FILE_NAME "Tapwise-${PROJECT_VERSION}-win64")
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR})
include(CPack)
