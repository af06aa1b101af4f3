# `cpack -G DEB` in the build folder makes korvalo_<version>_<arch>.deb from
# the install rules; scripts/package.sh is the one command for it.
set(CPACK_PACKAGE_NAME korvalo)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The Korvalo developers")
set(CPACK_PACKAGE_CONTACT ${KORVALO_MAINTAINER})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "directory of web sites with an Arabic interface")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${KORVALO_MAINTAINER})
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE ${KORVALO_HOMEPAGE})
set(CPACK_DEBIAN_PACKAGE_SECTION web)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The libraries come from dpkg-shlibdeps; what the program starts or draws
# with is named here: xdg-open is the browser until the user picks one, and
# the interface needs a face with Arabic letters.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "xdg-utils")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-noto-core | fonts-dejavu-core")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# The long description; CPack indents it and marks the blank line for Debian.
set(CPACK_PACKAGE_DESCRIPTION
    "Korvalo is a desktop directory of web sites with an Arabic, right-to-left
interface. It comes with a ready-made directory of more than 650 well-known
sites filed by subject: browse them by category and open them in the web
browser, search them by a word of their description or address, add your own
sites and categories, keep a list of favourites that can open its sites one
after another on a timer, and send a query to one of fourteen web search
engines.

kvl, the maintainer's tool, lists the directory's data files as text and
builds them from text; korvalo-server serves the banners, the user count,
the site proposals and the mail relay.")

include(CPack)
