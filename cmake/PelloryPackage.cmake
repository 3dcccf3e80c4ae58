# The Debian package: `cpack -G DEB` in the build folder (scripts/package) writes
# build/package/pellory_<version>_<arch>.deb from the install rules. dpkg-shlibdeps finds the
# libraries the programs link; the rest are what they load or start at run time.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME pellory)
set(CPACK_PACKAGE_VENDOR Varnaby)
set(CPACK_PACKAGE_CONTACT "Varnaby <pellory@varnaby.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "billing for a small service business")
# CPack puts the summary first and indents the rest as Debian wants it.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Pellory keeps customer accounts (master accounts with linked accounts),
numbered invoices, payments, running balances, a monthly billing schedule,
summary reports and a transaction log in one SQLite book per user.
Invoices, reports and envelopes are printed by filling LibreOffice Calc
forms and printing them through CUPS.

The package holds two programs: pellory, and pelloryenv for envelopes.")
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Started or loaded at run time, so no linker dependency names them: the office that fills and
# prints the forms, the Qt SQLite driver, the window system plugins, the fonts of the forms.
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "libreoffice-calc, libqt6sql6-sqlite, qt6-qpa-plugins, fonts-liberation2")
# Printing goes to a CUPS scheduler, usually the machine's own; emailing an invoice opens the
# mail program through xdg-email. A book on a PostgreSQL server needs Qt's driver for it, and
# pg_dump for its backup copy.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "cups, xdg-utils, libqt6sql6-psql, postgresql-client")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_OUTPUT_FILE_PREFIX ${CMAKE_BINARY_DIR}/package)
include(CPack)
