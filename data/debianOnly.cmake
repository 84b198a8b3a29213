# Run by CPack alone, while it stages the Debian package's files under DESTDIR
# (CMAKE_INSTALL_PREFIX is not the package's prefix here): lintian reads its
# overrides from this one place.
file(INSTALL "${CMAKE_CURRENT_LIST_DIR}/lintian-overrides" DESTINATION /usr/share/lintian/overrides RENAME pinwhirl)
