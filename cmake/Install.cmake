# Where `cmake --install` and the Debian package put the program, as a Linux desktop
# expects: the programs in bin; the encoder library and the tips program, which only
# the converter starts, in a folder of their own under lib; the skin, the user guide
# and the window's icon in the program's data folder, where it finds its skin when
# started elsewhere; the desktop entry, the icons and the AppStream record where the
# desktop's menus and software centres read them.
set(DISCFORGE_INSTALL_LIBDIR lib/ferrowick-discforge)
set(DISCFORGE_INSTALL_DATADIR share/ferrowick-discforge)

# The programs load libconvert.so by name; the run-time path leads them to it.
set_target_properties(discforge discforge-cli PROPERTIES
  INSTALL_RPATH "\$ORIGIN/../${DISCFORGE_INSTALL_LIBDIR}")
set_target_properties(convert ShowTips PROPERTIES INSTALL_RPATH "")

install(TARGETS discforge discforge-cli RUNTIME DESTINATION bin)
install(TARGETS convert LIBRARY DESTINATION ${DISCFORGE_INSTALL_LIBDIR})
install(TARGETS ShowTips RUNTIME DESTINATION ${DISCFORGE_INSTALL_LIBDIR})

set(resources ${PROJECT_SOURCE_DIR}/resources)
install(DIRECTORY ${resources}/UI ${resources}/help DESTINATION ${DISCFORGE_INSTALL_DATADIR})
install(FILES ${resources}/ferrowick-discforge.png DESTINATION ${DISCFORGE_INSTALL_DATADIR})
install(DIRECTORY ${resources}/icons/hicolor DESTINATION share/icons)
install(FILES ${resources}/org.ferrowick.discforge.metainfo.xml DESTINATION share/metainfo)

# The converter starts ShowTips from its working folder, the data folder.
install(CODE "
  set(link \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${DISCFORGE_INSTALL_DATADIR}/ShowTips\")
  file(CREATE_LINK ../../${DISCFORGE_INSTALL_LIBDIR}/ShowTips \${link} SYMBOLIC)
  message(STATUS \"Installing: \${link}\")
")

# The desktop entry names the installed prefix, which is only known when installing.
# Each destination stages its entry apart, so that installs running side by side
# (the install tests do) never write the same file.
install(CODE "
  set(DISCFORGE_EXEC \"\${CMAKE_INSTALL_PREFIX}/bin/discforge\")
  set(DISCFORGE_PATH \"\${CMAKE_INSTALL_PREFIX}/${DISCFORGE_INSTALL_DATADIR}\")
  set(DISCFORGE_ICON ferrowick-discforge)
  string(MD5 destination \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}\")
  set(staged ${CMAKE_BINARY_DIR}/installed-entry/\${destination}/ferrowick-discforge.desktop)
  configure_file(${resources}/ferrowick-discforge.desktop.in \${staged} @ONLY)
  file(INSTALL \${staged} DESTINATION \${CMAKE_INSTALL_PREFIX}/share/applications)
")

# The Debian package: its library dependencies come from dpkg-shlibdeps; what the
# program loads or starts at run time is named here.
string(REGEX MATCH "^[0-9]+" avfilter_major "${FFMPEG_FILTERS_libavfilter_VERSION}")
string(REGEX MATCH "^[0-9]+" avdevice_major "${FFMPEG_FILTERS_libavdevice_VERSION}")
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME ferrowick-discforge)
set(CPACK_PACKAGE_VENDOR Ferrowick)
set(CPACK_PACKAGE_CONTACT "Ferrowick <discforge@ferrowick.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "video converter for VCD, SVCD and DVD")
set(CPACK_PACKAGE_DESCRIPTION
  "Turns AVI videos, AviSynth scripts and lists of still pictures into MPEG program\nstreams for VCD, SVCD and DVD, in a window with previews or from the command line.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION video)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://ferrowick.org/discforge)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Qt's X11 and Wayland platform plugins, and the filter libraries that script inputs load.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, libavfilter${avfilter_major}, libavdevice${avdevice_major}")
# The disc authoring tools, started only to make a disc.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "dvdauthor, vcdimager, genisoimage")
include(CPack)
