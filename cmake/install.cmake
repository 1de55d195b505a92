# Installation: `cmake --install build --prefix DIR` puts the seven programs
# in DIR/bin, their manual pages in DIR/share/man/man1 and the sample task
# specification file in DIR/share/modelsuite. Included from the top-level
# CMakeLists.txt after the programs are defined.
include(GNUInstallDirs)

install(TARGETS peakseek hillscan jobmatch tacticbreed tacticpool mapseries
                orbitpin
        RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES man/man1/peakseek.1 man/man1/hillscan.1 man/man1/jobmatch.1
              man/man1/tacticbreed.1 man/man1/tacticpool.1
              man/man1/mapseries.1 man/man1/orbitpin.1
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
# A program finds the installed data from its own folder, so that an
# installed tree still works where it was moved.
set(data_folder ${PROJECT_NAME})
install(FILES data/hop1.dat
        DESTINATION ${CMAKE_INSTALL_DATADIR}/${data_folder})
file(RELATIVE_PATH data_from_bin ${CMAKE_INSTALL_FULL_BINDIR}
     ${CMAKE_INSTALL_FULL_DATADIR}/${data_folder})
target_compile_definitions(misc PRIVATE DATA_FROM_BIN="${data_from_bin}")

if(BUILD_TESTING)
  add_test(NAME install
           COMMAND ${CMAKE_SOURCE_DIR}/tests/install_test.sh ${CMAKE_COMMAND}
                   ${CMAKE_BINARY_DIR})
endif()
