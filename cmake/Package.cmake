# The installed layout and the Debian package (`cpack -G DEB` in the build tree).
#   bin/                   halvex, halvex-timing-sim, halvex-station
#   lib/halvex/            what only the program uses: halvex-browser and the modules
#   share/halvex/          what the program ships and the operator never edits (tips, coin sound,
#                          maker's page), read from there; sample-home/ lays out a user's program
#                          folder on the first run (platform/ProgramFolder.h); event-server/
#                          sets up an event server (scripts/event-server.sh and its SQL)
set(HALVEX_PRIVATE_DIR lib/halvex)
set(HALVEX_SHARE_DIR share/halvex)

install(TARGETS halvex halvex-timing-sim halvex-station RUNTIME DESTINATION bin)
install(TARGETS halvex-browser RUNTIME DESTINATION ${HALVEX_PRIVATE_DIR})
install(TARGETS halvex-sound halvex-print halvex-xlsx LIBRARY DESTINATION ${HALVEX_PRIVATE_DIR})
set(HALVEX_SAMPLE ${PROJECT_SOURCE_DIR}/share/sample-home)
install(FILES ${HALVEX_SAMPLE}/TIPOFDAY.txt ${HALVEX_SAMPLE}/Coindrop.wav
    ${HALVEX_SAMPLE}/Vantora.html DESTINATION ${HALVEX_SHARE_DIR})
install(FILES ${HALVEX_SAMPLE}/DragCars.dat ${HALVEX_SAMPLE}/DragClass.dat
    ${HALVEX_SAMPLE}/DragRacers.dat ${HALVEX_SAMPLE}/DragRacingSettings.dat
    ${HALVEX_SAMPLE}/DragRacing.dat ${HALVEX_SAMPLE}/CreditRaces.dat
    DESTINATION ${HALVEX_SHARE_DIR}/sample-home)
install(PROGRAMS ${PROJECT_SOURCE_DIR}/scripts/event-server.sh
    DESTINATION ${HALVEX_SHARE_DIR}/event-server)
install(FILES ${PROJECT_SOURCE_DIR}/scripts/event-server.sql
    DESTINATION ${HALVEX_SHARE_DIR}/event-server)
install(FILES ${PROJECT_SOURCE_DIR}/share/desktop/halvex.desktop DESTINATION share/applications)
install(FILES ${PROJECT_SOURCE_DIR}/share/desktop/halvex.svg
    DESTINATION share/icons/hicolor/scalable/apps)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME halvex)
set(CPACK_PACKAGE_VENDOR "Halvex")
set(CPACK_PACKAGE_CONTACT "Halvex 3000 developers <halvex@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Race control for two-lane slot-car drag racing")
set(CPACK_PACKAGE_DESCRIPTION
    "Commands the timing unit on a serial port, works out reaction, elapsed and trap times,\n"
    "decides the winner and keeps a log of every race. Includes a timing unit simulator.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# dpkg-shlibdeps finds the libraries the files link, the modules' too: with them come the plugins
# Qt loads from those packages (libqt6gui6: the xcb and offscreen platforms; libqt6multimedia6:
# the sound backends; libqt6printsupport6: the print system's; libqt6webenginecore6-bin: the web
# engine's helper process); scripts/package-test.sh checks that they stay. Declared here is what
# no file links: the other window system platforms, the SQLite driver of the event files and the
# printed font (DejaVu Sans).
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, libqt6sql6-sqlite, fonts-dejavu-core")
# The GStreamer backend plays sound without them; a media player would need them.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "gstreamer1.0-plugins-base, libqt6sql6-psql")
# Printing needs a print server with a default printer; a shared event a PostgreSQL server (on
# this machine or another), through Qt's driver above, loaded only when a server is set.
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "cups, postgresql")
include(CPack)
