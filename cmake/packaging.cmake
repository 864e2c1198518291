# How the program installs, and its Debian package (scripts/package builds it).
#
# Installed under a prefix, the program finds its shared files in PREFIX/share/envmeter and
# keeps the user's files in the user's data folder.

include(GNUInstallDirs)

set(ENVMETER_SHARE ${CMAKE_INSTALL_DATADIR}/envmeter)
set(ENVMETER_DESKTOP ${PROJECT_SOURCE_DIR}/resources/desktop)

install(TARGETS envmeter envmeter-logger meter-sim RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# The logger as a service of the user's own: where systemd looks for user units of packages.
# The plain unit logs one meter; the template, one of several by name (envmeter-logger@NAME).
install(FILES ${PROJECT_SOURCE_DIR}/resources/systemd/envmeter-logger.service
              ${PROJECT_SOURCE_DIR}/resources/systemd/envmeter-logger@.service
        DESTINATION lib/systemd/user)
install(FILES ${PROJECT_SOURCE_DIR}/resources/5710.rtf DESTINATION ${ENVMETER_SHARE})

# The empty log copied into the data folder on a user's first start: made fresh, never the log
# the build tree's program writes.
set(ENVMETER_LOG_TEMPLATE ${CMAKE_BINARY_DIR}/template/db1.mdb)
add_custom_command(OUTPUT ${ENVMETER_LOG_TEMPLATE}
    COMMAND ${CMAKE_COMMAND} -E rm -f ${ENVMETER_LOG_TEMPLATE}
    COMMAND create-log ${ENVMETER_LOG_TEMPLATE}
    DEPENDS create-log
    COMMENT "Empty log template for installations"
    VERBATIM)
add_custom_target(log-template ALL DEPENDS ${ENVMETER_LOG_TEMPLATE})
install(FILES ${ENVMETER_LOG_TEMPLATE} DESTINATION ${ENVMETER_SHARE})

install(FILES ${ENVMETER_DESKTOP}/${ENVMETER_APP_ID}.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${ENVMETER_DESKTOP}/${ENVMETER_APP_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${ENVMETER_DESKTOP}/${ENVMETER_APP_ID}.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)

# The icon at the usual sizes, drawn from the scalable one where rsvg-convert is at hand
# (scripts/package makes sure it is).
find_program(RSVG_CONVERT rsvg-convert)
if(RSVG_CONVERT)
    set(icons)
    foreach(size 16 24 32 48 64 128 256)
        set(png ${CMAKE_BINARY_DIR}/icons/${size}/${ENVMETER_APP_ID}.png)
        add_custom_command(OUTPUT ${png}
            COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/icons/${size}
            COMMAND ${RSVG_CONVERT} -w ${size} -h ${size} -o ${png}
                    ${ENVMETER_DESKTOP}/${ENVMETER_APP_ID}.svg
            DEPENDS ${ENVMETER_DESKTOP}/${ENVMETER_APP_ID}.svg
            VERBATIM)
        list(APPEND icons ${png})
        install(FILES ${png} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
    endforeach()
    add_custom_target(icons ALL DEPENDS ${icons})
endif()

# What Debian asks of every package's documentation folder.
set(ENVMETER_CHANGELOG ${CMAKE_BINARY_DIR}/changelog.gz)
add_custom_command(OUTPUT ${ENVMETER_CHANGELOG}
    COMMAND gzip -9n -c ${PROJECT_SOURCE_DIR}/resources/debian/changelog > ${ENVMETER_CHANGELOG}
    DEPENDS ${PROJECT_SOURCE_DIR}/resources/debian/changelog
    VERBATIM)
add_custom_target(changelog ALL DEPENDS ${ENVMETER_CHANGELOG})
install(FILES ${PROJECT_SOURCE_DIR}/resources/debian/copyright ${ENVMETER_CHANGELOG}
        DESTINATION ${CMAKE_INSTALL_DOCDIR})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME envmeter)
set(CPACK_PACKAGE_VENDOR "The envmeter developers")
set(CPACK_PACKAGE_CONTACT "The envmeter developers <developers@envmeter.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "companion program of a hand-held environment meter")
set(CPACK_PACKAGE_DESCRIPTION
    "Reads a hand-held meter of sound level, humidity, temperature and light over\n\
its RS-232 cable or a USB-serial adapter. Each reading is shown large, checked\n\
against alarm limits, drawn on a live trend chart and logged into a database;\n\
the log is browsed, saved, loaded, exported to CSV and printed as a report.\n\
envmeter-logger logs without a window, also as a systemd user service, and\n\
both publish the readings to an MQTT broker, with each interval's figures\n\
as Home Assistant sensors. The package also holds envmeter-meter-sim, a\n\
simulated meter for trying the program without one.")
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Loaded at run time, so no library dependency names them; the zones' rules read the logs' local
# time stamps as instants.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6sql6-sqlite, fonts-liberation2, tzdata")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_STRIP_FILES ON)
include(CPack)
