# Run by CPack on the staged files before it packs them (Packaging.cmake): compresses the manual pages and adds the
# copyright file and the changelog under share/doc/pacequill, as Debian's policy asks of a package.
# gzip -9n: the best compression, without the file's name and time, so the same files give the same package.
function(gzip_in_place file)
    execute_process(COMMAND gzip -9nf ${file} RESULT_VARIABLE status)
    if(NOT status EQUAL 0)
        message(FATAL_ERROR "gzip ${file} failed (${status})")
    endif()
endfunction()

set(root ${CPACK_TEMPORARY_INSTALL_DIRECTORY}${CPACK_PACKAGING_INSTALL_PREFIX})
if(NOT IS_DIRECTORY ${root}/bin)
    message(FATAL_ERROR "no staged files under ${root}")
endif()

file(GLOB pages ${root}/share/man/man*/*.[1-9])
foreach(page IN LISTS pages)
    gzip_in_place(${page})
endforeach()

set(doc ${root}/share/doc/${CPACK_PACKAGE_NAME})
file(MAKE_DIRECTORY ${doc})
file(COPY_FILE ${CPACK_PACEQUILL_COPYRIGHT_FILE} ${doc}/copyright)
# Version numbers without a Debian revision make a native package, whose changelog is changelog.gz.
file(WRITE ${doc}/changelog "${CPACK_PACKAGE_NAME} (${CPACK_PACKAGE_VERSION}) stable; urgency=medium

  * Pacequill ${CPACK_PACKAGE_VERSION}.

 -- ${CPACK_DEBIAN_PACKAGE_MAINTAINER}  ${CPACK_PACEQUILL_CHANGELOG_DATE}
")
gzip_in_place(${doc}/changelog)
# The staged files keep the build's umask; a package's files are readable by all.
file(CHMOD ${doc}/copyright ${doc}/changelog.gz PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
