# What the .deb holds and how CPack makes it (scripts/package). The program's own install rules
# are in the top-level CMakeLists.txt; these add what a Debian desktop expects around it.

# Where the project publishes itself: the AppStream metadata names its screenshots there.
set(NORVA_HOME_URL "https://norvarezado.org" CACHE STRING "The project's web address")
set(NORVA_APPSTREAM_ID "org.norvarezado.Rezado" CACHE STRING "The AppStream component id")

set(package_dir ${CMAKE_CURRENT_LIST_DIR})
set(package_out ${CMAKE_BINARY_DIR}/package)
set(doc_dir ${CMAKE_INSTALL_DATADIR}/doc/norva-rezado)

configure_file(${package_dir}/norva-rezado.metainfo.xml.in ${package_out}/${NORVA_APPSTREAM_ID}.metainfo.xml @ONLY)
configure_file(${package_dir}/copyright ${package_out}/copyright @ONLY)
# Debian wants the man page and the changelog compressed, and byte for byte the same on every build.
find_program(GZIP gzip REQUIRED)
foreach(source IN ITEMS norva-rezado.1 changelog)
    add_custom_command(OUTPUT ${package_out}/${source}.gz
        COMMAND ${GZIP} -9nc ${package_dir}/${source} > ${package_out}/${source}.gz
        DEPENDS ${package_dir}/${source} VERBATIM)
endforeach()
add_custom_target(norva_package_files ALL DEPENDS ${package_out}/norva-rezado.1.gz ${package_out}/changelog.gz)

install(FILES ${package_out}/${NORVA_APPSTREAM_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${package_out}/norva-rezado.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${package_out}/copyright DESTINATION ${doc_dir})
install(FILES ${package_out}/changelog.gz DESTINATION ${doc_dir})

# scripts/package builds what the package holds; installing does not wait for the tests to build.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME norva-rezado)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Norva Rezado <norva-rezado@users.noreply.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "ledger for a small business or a household")
# Debian's first line is the summary; the description below it says the rest.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Norva Rezado keeps companies, income and expense entries, monthly reports,
contacts, memberships and saved links, with a VAT calculator and a scribble
canvas. Its user interface is in Turkish. The records are kept in one SQLite
file with automatic backups, or on a PostgreSQL server shared by an office.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The libraries the binary links are found by dpkg-shlibdeps; what it loads at run time is named here:
# the Turkish texts of Qt's own dialogs and the platform plugin that puts windows on the screen.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-translations-l10n, qt6-qpa-plugins")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "postgresql-client")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/deb)
include(CPack)
