# The release packages, made by CPack from the "runtime" install component only (tests, benchmarks
# and the libraries built for them install nothing into a package):
#   Windows: VindeluxFan-<version>-win32.zip (win64 for the 64-bit build) with the stripped DLL where
#            a current player keeps its plug-ins (Plugins/VindeluxFan/VindeluxFan.dll), the install
#            text, the licence and the DLL's SHA-256 checksum.
#   Linux:   vindelux-fan_<version>_<arch>.deb with fanhost as a command, the module and its
#            platform library in /usr/lib/vindelux-fan, where fanhost finds them; a desktop entry
#            that starts fanhost --capture, its icon and fanhost's manual page.
set(CPACK_PACKAGE_NAME VindeluxFan)
set(CPACK_PACKAGE_VENDOR "The Vindelux Fan developers")
set(CPACK_PACKAGE_CONTACT "The Vindelux Fan developers")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Music visualisation plug-in: spinning fans that follow the music")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_INSTALL_CMAKE_PROJECTS "${CMAKE_BINARY_DIR};${PROJECT_NAME};runtime;/")
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_CHECKSUM SHA256)

if(WIN32)
  if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    set(bits 32)
  else()
    set(bits 64)
  endif()
  set(CPACK_GENERATOR ZIP)
  set(CPACK_POST_BUILD_SCRIPTS ${CMAKE_CURRENT_LIST_DIR}/PackagingSortedZip.cmake)
  set(CPACK_PACKAGE_FILE_NAME VindeluxFan-${PROJECT_VERSION}-win${bits})
  # A current player finds each plug-in in a folder of its own name under its Plugins folder.
  install(TARGETS VindeluxFan RUNTIME DESTINATION Plugins/VindeluxFan COMPONENT runtime)
  install(FILES ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION . RENAME LICENSE.txt COMPONENT runtime)
  configure_file(${PROJECT_SOURCE_DIR}/packaging/INSTALL-windows.txt
                 ${CMAKE_BINARY_DIR}/packaging/INSTALL.txt @ONLY NEWLINE_STYLE CRLF)
  install(FILES ${CMAKE_BINARY_DIR}/packaging/INSTALL.txt DESTINATION . COMPONENT runtime)
  # The checksum of the DLL as installed, that is after stripping; sha256sum's format.
  install(CODE [[
    set(folder "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}")
    file(SHA256 "${folder}/Plugins/VindeluxFan/VindeluxFan.dll" sum)
    file(WRITE "${folder}/SHA256SUMS.txt" "${sum} *Plugins/VindeluxFan/VindeluxFan.dll\r\n")
  ]] COMPONENT runtime)
else()
  set(CPACK_GENERATOR DEB)
  set(CPACK_DEBIAN_PACKAGE_NAME vindelux-fan)
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  set(CPACK_DEBIAN_PACKAGE_SECTION sound)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  # dpkg-shlibdeps finds the platform library inside the package through the binaries' $ORIGIN.
  # The options window draws its text with one of these fonts, which no binary links.
  set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-wine | fonts-dejavu-core")
  set(CPACK_PACKAGE_DESCRIPTION
      "The visualisation module, its platform library and fanhost, a small player that drives the module with what the computer plays, a WAV file or a built-in track.")
  set(libdir lib/vindelux-fan)
  set_target_properties(fanhost PROPERTIES INSTALL_RPATH "$ORIGIN")
  install(TARGETS VindeluxFan vf_platform fanhost
          RUNTIME DESTINATION ${libdir} COMPONENT runtime LIBRARY DESTINATION ${libdir} COMPONENT runtime)
  # fanhost loads the module beside its own resolved path, so the command is a link to it.
  install(CODE [[
    set(bin "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}/bin")
    file(MAKE_DIRECTORY "${bin}")
    file(CREATE_LINK ../lib/vindelux-fan/fanhost "${bin}/fanhost" SYMBOLIC)
  ]] COMPONENT runtime)
  install(FILES ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION share/doc/vindelux-fan RENAME copyright
          COMPONENT runtime)

  # The desktop: a menu entry that shows what the computer plays, and fanhost's manual page,
  # compressed the way Debian keeps them (no name or time in the header, so builds repeat).
  install(FILES ${PROJECT_SOURCE_DIR}/packaging/vindelux-fan.desktop DESTINATION share/applications
          COMPONENT runtime)
  set(packaging ${CMAKE_BINARY_DIR}/packaging)
  configure_file(${PROJECT_SOURCE_DIR}/packaging/fanhost.1.in ${packaging}/fanhost.1 @ONLY)
  add_custom_command(OUTPUT ${packaging}/fanhost.1.gz
    COMMAND sh -c "gzip -9nc \"$1\" > \"$2\"" gzip ${packaging}/fanhost.1 ${packaging}/fanhost.1.gz
    DEPENDS ${packaging}/fanhost.1 VERBATIM)
  set(desktop_files ${packaging}/fanhost.1.gz)
  install(FILES ${packaging}/fanhost.1.gz DESTINATION share/man/man1 COMPONENT runtime)
  # The icon, drawn from the artwork by its generator at build time; the generator is built where
  # the artwork is checked, which is every lane that packs.
  if(TARGET vf_artgen)
    set(icons ${packaging}/icons)
    set(icon_files)
    foreach(size IN ITEMS 48 128 256)
      list(APPEND icon_files ${icons}/${size}x${size}/apps/vindelux-fan.png)
    endforeach()
    add_custom_command(OUTPUT ${icon_files}
      COMMAND vf_artgen --icons ${icons}
      DEPENDS vf_artgen VERBATIM)
    list(APPEND desktop_files ${icon_files})
    install(DIRECTORY ${icons}/ DESTINATION share/icons/hicolor COMPONENT runtime)
  endif()
  add_custom_target(vf_desktop_files ALL DEPENDS ${desktop_files})
endif()

include(CPack)
